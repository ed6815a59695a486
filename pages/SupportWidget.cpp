#include "pages/SupportWidget.h"

#include "model/ProductTable.h"

#include "data/DCDataHandle.h"

#include "store/TextTable.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QVariant>

namespace {

// One card of the page: a heading, a line of detail, a line of help, a button.
QWidget *card(QWidget *parent, const QString &name, const QString &title, QLabel *detail,
              const QString &help, QPushButton *button)
{
    auto *box = new QWidget(parent);
    box->setObjectName(name);
    box->setMinimumHeight(230);
    box->setProperty("card", true);
    box->setAttribute(Qt::WA_StyledBackground);
    auto *heading = new QLabel(title, box);
    heading->setProperty("cardTitle", true);
    detail->setParent(box);
    detail->setProperty("cardDetail", true);
    auto *helpLabel = new QLabel(help, box);
    helpLabel->setProperty("cardHelp", true);
    helpLabel->setWordWrap(true);
    button->setParent(box);
    button->setCursor(Qt::PointingHandCursor);
    button->setMinimumHeight(36);

    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(24, 22, 24, 22);
    layout->setSpacing(10);
    layout->addWidget(heading);
    layout->addWidget(detail);
    layout->addWidget(helpLabel, 1, Qt::AlignTop);
    layout->addWidget(button);
    return box;
}

} // namespace

SupportWidget::SupportWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("SupportWidget"));
    using namespace TextTable;

    auto *softwareVersion = new QLabel(
        textWith(TextSupportSoftwareVersion, QCoreApplication::applicationVersion()));
    softwareVersion->setObjectName(QStringLiteral("SoftwareVersionLabel"));
    m_firmwareVersion = new QLabel;
    m_firmwareVersion->setObjectName(QStringLiteral("FirmwareVersionLabel"));
    m_pairState = new QLabel;
    m_pairState->setObjectName(QStringLiteral("PairStateLabel"));

    m_updateButton = new QPushButton(text(TextSupportCheckUpdate));
    m_updateButton->setObjectName(QStringLiteral("UpdateButton"));
    m_firmwareButton = new QPushButton(text(TextSupportFirmwareUpdate));
    m_firmwareButton->setObjectName(QStringLiteral("FirmwareUpdateButton"));
    m_pairButton = new QPushButton(text(TextSupportPair));
    m_pairButton->setObjectName(QStringLiteral("PairButton"));

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(40, 36, 40, 36);
    grid->setHorizontalSpacing(20);
    grid->addWidget(card(this, QStringLiteral("SoftwareCard"), text(TextSupportSoftwareTitle),
                         softwareVersion, text(TextSupportSoftwareText), m_updateButton), 0, 0);
    grid->addWidget(card(this, QStringLiteral("FirmwareCard"), text(TextSupportFirmwareTitle),
                         m_firmwareVersion, text(TextSupportFirmwareText), m_firmwareButton), 0, 1);
    m_pairCard = card(this, QStringLiteral("PairCard"), text(TextSupportPairTitle), m_pairState,
                      text(TextSupportPairText), m_pairButton);
    grid->addWidget(m_pairCard, 0, 2);
    for (int column = 0; column < 3; ++column)
        grid->setColumnStretch(column, 1);

    // How the program lives on the desktop: notifications, and starting in the tray.
    auto *desktop = new QWidget(this);
    desktop->setObjectName(QStringLiteral("DesktopCard"));
    desktop->setProperty("card", true);
    desktop->setAttribute(Qt::WA_StyledBackground);
    auto *desktopTitle = new QLabel(text(TextDesktopCardTitle), desktop);
    desktopTitle->setProperty("cardTitle", true);
    m_notifications = new QCheckBox(text(TextDesktopNotifications), desktop);
    m_notifications->setObjectName(QStringLiteral("NotificationsCheckBox"));
    m_notifications->setToolTip(text(TextDesktopNotificationsHelp));
    m_autostart = new QCheckBox(text(TextDesktopAutostart), desktop);
    m_autostart->setObjectName(QStringLiteral("AutostartCheckBox"));
    auto *desktopLayout = new QHBoxLayout(desktop);
    desktopLayout->setContentsMargins(24, 16, 24, 16);
    desktopLayout->setSpacing(28);
    desktopLayout->addWidget(desktopTitle);
    desktopLayout->addWidget(m_notifications);
    desktopLayout->addWidget(m_autostart);
    desktopLayout->addStretch();
    grid->addWidget(desktop, 1, 0, 1, 3);
    grid->setVerticalSpacing(20);
    grid->setRowStretch(2, 1);
    connect(m_notifications, &QCheckBox::toggled, this, &SupportWidget::sig_NotificationsChanged);
    connect(m_autostart, &QCheckBox::toggled, this, &SupportWidget::sig_AutostartChanged);

    connect(m_updateButton, &QPushButton::clicked, this, &SupportWidget::sig_CheckSoftwareVersion);
    connect(m_firmwareButton, &QPushButton::clicked, this, &SupportWidget::sig_ShowFirmwareUpdate);
    connect(m_pairButton, &QPushButton::clicked, this, &SupportWidget::sig_GoToMatchCode);

    setFirmwareVersion(0);
    setPairingAvailable(false);
}

void SupportWidget::setFirmwareVersion(int version)
{
    m_firmwareVersion->setText(TextTable::textWith(TextTable::TextSupportFirmwareVersion,
                                                version > 0 ? Products::firmwareText(m_mouseType, version)
                                                            : QStringLiteral("-")));
}

void SupportWidget::setNotificationsEnabled(bool enabled)
{
    const QSignalBlocker quiet(m_notifications);
    m_notifications->setChecked(enabled);
}

void SupportWidget::setAutostartEnabled(bool enabled)
{
    const QSignalBlocker quiet(m_autostart);
    m_autostart->setChecked(enabled);
}

void SupportWidget::setUpdateButtonEnabled(bool enabled)
{
    m_updateButton->setEnabled(enabled);
}

void SupportWidget::setPairingAvailable(bool available)
{
    m_pairButton->setEnabled(available);
    m_pairState->setText(TextTable::text(available ? TextTable::TextWirelessTip : TextTable::TextSupportPairUnavailable));
}

void SupportWidget::connectBridge(DCDataHandle *bridge)
{
    connect(bridge, &DCDataHandle::sig_VersionNumber, this, &SupportWidget::setFirmwareVersion);
    connect(bridge, &DCDataHandle::sig_OpenDeviceResult, this, [this](bool result, int mouseType, bool isWireless) {
        if (!result)
            return;
        m_mouseType = mouseType;
        setPairingAvailable(isWireless);
        // A mouse that has no receiver has nothing to pair: the card goes.
        const ProductInfo *product = Products::byType(mouseType);
        m_pairCard->setVisible(!product || product->receiverPid != 0);
    });
}
