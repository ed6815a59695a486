#include "app/NeedDeviceDialog.h"

#include "store/TextTable.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

NeedDeviceDialog::NeedDeviceDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      m_message(new QLabel(this)),
      m_okButton(new QPushButton(this)),
      m_repairButton(new QPushButton(this)),
      m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("NeedDeviceDialog"));
    m_message->setObjectName(QStringLiteral("MessageLabel"));
    m_message->setWordWrap(true);
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setText(TextTable::text(TextTable::TextNoDeviceMessage));
    m_okButton->setObjectName(QStringLiteral("OkButton"));
    m_okButton->setText(TextTable::text(TextTable::TextNoDeviceQuit));
    m_repairButton->setObjectName(QStringLiteral("FirmwareRepairPushButton"));
    m_repairButton->setText(TextTable::text(TextTable::TextNoDeviceFirmwareRepair));
    m_repairButton->hide();

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_repairButton);
    buttons->addWidget(m_okButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_message, 1);
    layout->addLayout(buttons);
    setFixedSize(420, 180);

    m_timer->setObjectName(QStringLiteral("RepairOfferTimer"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(kRepairOfferMs);
    connect(m_timer, &QTimer::timeout, this, &NeedDeviceDialog::slot_TimeOut);
    QMetaObject::connectSlotsByName(this);
}

// A box that is gone quits nothing: under a window manager the keyboard can
// still reach it for a moment after it hid (Enter once quit the program).
void NeedDeviceDialog::on_OkButton_clicked()
{
    if (isVisible())
        emit sig_closeWindow();
}

void NeedDeviceDialog::on_FirmwareRepairPushButton_clicked()
{
    if (isVisible())
        emit sig_ShowUpdateWidget(true, true, 0, false);
}

void NeedDeviceDialog::slot_TimeOut() { m_repairButton->show(); }

void NeedDeviceDialog::showEvent(QShowEvent *event)
{
    m_repairButton->hide();
    m_timer->start();
    // Over the window it belongs to, not wherever the desktop puts a new
    // window; and again whenever that window moves or is first placed by
    // the window manager (at start it is still at the screen's corner).
    centreOverOwner();
    if (QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr)
        owner->installEventFilter(this);
    QDialog::showEvent(event);
    // Keys reach it at once: Escape closes the box and leaves the window in view.
    activateWindow();
    m_okButton->setFocus();
}

void NeedDeviceDialog::hideEvent(QHideEvent *event)
{
    m_timer->stop();
    m_repairButton->hide();
    QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (owner)
        owner->removeEventFilter(this);
    QDialog::hideEvent(event);
    // The keyboard goes back to the window, not to a box no one sees.
    if (owner && owner->isVisible()) {
        owner->activateWindow();
        owner->raise();
    }
}

void NeedDeviceDialog::centreOverOwner()
{
    if (QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr)
        move(owner->frameGeometry().center() - QPoint(width() / 2, height() / 2));
}

bool NeedDeviceDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (isVisible() && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        centreOverOwner();
    return QDialog::eventFilter(watched, event);
}
