#include "pages/ColorWheel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

namespace {

// Hue by angle, saturation by distance from the centre, full value; the
// pixels outside the circle stay transparent.
QImage drawWheel()
{
    const int size = ColorWheel::kSize;
    const double centre = ColorWheel::kRadius;
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double dx = x - centre;
            const double dy = centre - y;
            const double distance = std::sqrt(dx * dx + dy * dy);
            if (distance > centre)
                continue;
            double hue = std::atan2(dy, dx) / (2 * M_PI);
            if (hue < 0)
                hue += 1;
            image.setPixelColor(x, y, QColor::fromHsvF(qMin(hue, 1.0), qMin(distance / centre, 1.0), 1.0));
        }
    }
    return image;
}

} // namespace

ColorWheel::ColorWheel(QWidget *parent) : QWidget(parent), m_image(drawWheel())
{
    setObjectName(QStringLiteral("ColorWheel"));
    setFixedSize(kSize, kSize);
    setCursor(Qt::CrossCursor);
}

void ColorWheel::setColor(const QColor &colour)
{
    m_hasMarker = colour.isValid();
    if (m_hasMarker) {
        // As drawWheel lays the colours out: hue by angle, saturation by distance.
        const QColor hsv = colour.toHsv();
        const double hue = qMax(0.0, hsv.hsvHueF()); // -1 for greys, which sit at the centre
        const double distance = hsv.hsvSaturationF() * (kRadius - 1);
        m_marker = QPoint(qRound(kRadius + distance * std::cos(hue * 2 * M_PI)),
                          qRound(kRadius - distance * std::sin(hue * 2 * M_PI)));
    } else {
        m_marker = QPoint();
    }
    update();
}

void ColorWheel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
    if (!m_hasMarker)
        return;
    // A dark ring inside a light one reads on every colour of the wheel.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 2));
    painter.drawEllipse(QPointF(m_marker), 6, 6);
    painter.setPen(QPen(QColor(0, 0, 0, 200), 1.5));
    painter.drawEllipse(QPointF(m_marker), 4, 4);
}

void ColorWheel::mousePressEvent(QMouseEvent *event)
{
    const int x = event->pos().x();
    const int y = event->pos().y();
    const int dx = x - kRadius;
    const int dy = y - kRadius;
    // The corners of the square around the wheel pick nothing.
    if (event->button() != Qt::LeftButton || dx * dx + dy * dy > kRadius * kRadius || !m_image.valid(x, y)) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    const QColor colour = m_image.pixelColor(x, y);
    m_marker = QPoint(x, y);
    m_hasMarker = true;
    update();
    emit redValue(colour.red());
    emit greenValue(colour.green());
    emit blueValue(colour.blue());
    emit sigColor(colour.red(), colour.green(), colour.blue());
}
