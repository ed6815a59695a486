#include "pages/SupportWidget.h"

#include "pages/UiText.h"

#include <QVariant>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// One card of the page: a heading, a line of detail, a line of help, a button.
QWidget *card(QWidget *parent, const QString &name, const QString &title, QLabel *detail,
              const QString &help, QPushButton *button)
{
    auto *box = new QWidget(parent);
    box->setObjectName(name);
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
    using namespace UiText;

    auto *softwareVersion = new QLabel(
        textWith(SupportSoftwareVersion, QCoreApplication::applicationVersion()));
    softwareVersion->setObjectName(QStringLiteral("SoftwareVersionLabel"));
    m_firmwareVersion = new QLabel;
    m_firmwareVersion->setObjectName(QStringLiteral("FirmwareVersionLabel"));
    auto *pairText = new QLabel;

    m_updateButton = new QPushButton(text(SupportCheckUpdate));
    m_updateButton->setObjectName(QStringLiteral("UpdateButton"));
    m_firmwareButton = new QPushButton(text(SupportFirmwareUpdate));
    m_firmwareButton->setObjectName(QStringLiteral("FirmwareUpdateButton"));
    m_pairButton = new QPushButton(text(SupportPair));
    m_pairButton->setObjectName(QStringLiteral("PairButton"));

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(40, 36, 40, 36);
    grid->setHorizontalSpacing(20);
    grid->addWidget(card(this, QStringLiteral("SoftwareCard"), text(SupportSoftwareTitle),
                         softwareVersion, text(SupportSoftwareText), m_updateButton), 0, 0);
    grid->addWidget(card(this, QStringLiteral("FirmwareCard"), text(SupportFirmwareTitle),
                         m_firmwareVersion, text(SupportFirmwareText), m_firmwareButton), 0, 1);
    grid->addWidget(card(this, QStringLiteral("PairCard"), text(SupportPairTitle), pairText,
                         text(SupportPairText), m_pairButton), 0, 2);

    connect(m_updateButton, &QPushButton::clicked, this, &SupportWidget::sig_CheckSoftwareVersion);
    connect(m_firmwareButton, &QPushButton::clicked, this, &SupportWidget::sig_ShowFirmwareUpdate);
    connect(m_pairButton, &QPushButton::clicked, this, &SupportWidget::sig_GoToMatchCode);

    setFirmwareVersion(0);
    setPairingAvailable(false);
}

void SupportWidget::setFirmwareVersion(int version)
{
    m_firmwareVersion->setText(UiText::textWith(UiText::SupportFirmwareVersion,
                                                version > 0 ? QString::number(version) : QStringLiteral("-")));
}

void SupportWidget::setUpdateButtonEnabled(bool enabled)
{
    m_updateButton->setEnabled(enabled);
}

void SupportWidget::setPairingAvailable(bool available)
{
    m_pairButton->setEnabled(available);
}
