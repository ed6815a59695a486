#include "app/LoadingDialog.h"

#include "store/TextTable.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int kShowDelayMs = 250;
constexpr int kFrameMs = 33;
} // namespace

LoadingDialog::LoadingDialog(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("LoadingDialog"));
    setAttribute(Qt::WA_TransparentForMouseEvents, false);
    hide();
    m_delay.setSingleShot(true);
    m_delay.setInterval(kShowDelayMs);
    connect(&m_delay, &QTimer::timeout, this, [this] {
        setGeometry(parentWidget()->rect());
        raise();
        show();
        m_spin.start();
    });
    m_spin.setInterval(kFrameMs);
    connect(&m_spin, &QTimer::timeout, this, [this] {
        m_angle = (m_angle + 12) % 360;
        // Only the ring moves: the window under the translucent overlay is
        // drawn again for that small square alone, not whole each frame.
        update(ringRect().toAlignedRect().adjusted(-3, -3, 3, 3));
    });
}

void LoadingDialog::slot_Show()
{
    m_pending = true;
    if (!isVisible() && !m_delay.isActive())
        m_delay.start();
}

void LoadingDialog::slot_End()
{
    m_pending = false;
    m_delay.stop();
    m_spin.stop();
    hide();
}

QRectF LoadingDialog::panelRect() const
{
    return QRectF(width() / 2.0 - 70, height() / 2.0 - 60, 140, 120);
}

QRectF LoadingDialog::ringRect() const
{
    const QRectF box = panelRect();
    return QRectF(box.center().x() - 18, box.top() + 22, 36, 36);
}

void LoadingDialog::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    p.setClipRegion(event->region());
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), QColor(0, 0, 0, 150));

    const QRectF box = panelRect();
    QPainterPath panel;
    panel.addRoundedRect(box, 12, 12);
    p.fillPath(panel, QColor(24, 24, 26, 235));

    const QRectF ring = ringRect();
    p.setPen(QPen(QColor(255, 255, 255, 40), 4));
    p.drawEllipse(ring);
    p.setPen(QPen(QColor(0xff, 0x5a, 0x1f), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(ring, -m_angle * 16, 100 * 16);

    p.setPen(QColor(0xd8, 0xd8, 0xd8));
    p.drawText(QRectF(box.left(), ring.bottom() + 12, box.width(), 24), Qt::AlignCenter,
               TextTable::text(TextTable::TextLoading));
}
