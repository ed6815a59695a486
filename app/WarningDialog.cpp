#include "app/WarningDialog.h"

#include "store/TextTable.h"
#include "store/SettingsFiles.h"

#include <QCheckBox>
#include <QDebug>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

using A = WarningAction;
using namespace TextTable;

constexpr int kNone = 0;
constexpr int kNoMatchingConfig = 38;

// Every warning type the program raises, with its texts and actions.
// Messages are text TextWarningMessage + type.
const WarningEntry kWarnings[] = {
    // type, title, confirm text, cancel text, reminder box, confirm, cancel
    {0, TextWarningTitle, TextWarningOk, TextWarningCancel, false, A::ResetMouse, A::None},             // restore factory settings?
    {1, TextWarningSoftwareTitle, TextWarningUpdateNow, TextWarningLater, true, A::OpenDownloadPage, A::WriteNotRemind}, // newer version (automatic check)
    {2, TextWarningTitle, TextWarningOk, TextWarningCancel, false, A::UploadFiles, A::None},            // upload settings to the cloud?
    {3, TextWarningTitle, TextWarningOk, TextWarningCancel, false, A::QuitUser, A::None},               // log out?
    {4, TextWarningTitle, TextWarningOk, TextWarningCancel, false, A::StartDownload, A::None},          // download settings from the cloud?
    {6, TextWarningTitle, TextWarningOk, kNone, false, A::None, A::None},                           // one button must stay the left button
    {7, TextWarningFirmwareTitle, TextWarningOk, kNone, false, A::UpdateButtonEnable, A::None},     // firmware update failed
    {8, TextWarningFirmwareTitle, TextWarningOk, kNone, false, A::OpenMouseAgain, A::None},         // firmware update succeeded
    {10, TextWarningTitle, TextWarningOk, kNone, false, A::None, A::None},                          // cloud needs a log-in
    {13, TextWarningFirmwareTitle, TextWarningOk, kNone, false, A::None, A::None},                  // update starting, keep the cable in
    {14, TextWarningErrorTitle, TextWarningOk, kNone, false, A::ExitSoftware, A::None},             // too many update attempts
    {15, TextWarningTitle, TextWarningOk, kNone, false, A::None, A::None},                          // cloud upload done
    {16, TextWarningTitle, TextWarningOk, kNone, false, A::None, A::None},                          // cloud download done
    {17, TextWarningErrorTitle, TextWarningOk, kNone, false, A::None, A::None},                     // cloud sync failed: the reason
    {25, TextWarningFirmwareTitle, TextWarningUpdateNow, TextWarningCancel, false, A::ShowUpdateWidget, A::None}, // firmware needs a repair
    {26, TextWarningFirmwareTitle, TextWarningUpdateNow, TextWarningLater, false, A::ShowUpdateWidget, A::None},  // firmware too old
    {27, TextWarningTitle, TextWarningOk, kNone, false, A::None, A::None},                          // macro too long
    {28, TextWarningTitle, TextWarningOk, kNone, false, A::QuitUser, A::None},                      // log-in expired
    {31, TextWarningErrorTitle, TextWarningOk, kNone, false, A::ExitSoftware, A::None},             // the program must close
    {32, TextWarningErrorTitle, TextWarningOk, kNone, false, A::GetProfileAgain, A::None},          // reading or writing the mouse failed
    {33, TextWarningTitle, TextWarningOk, TextWarningCancel, false, A::GoToMatchCodePage, A::GetProfileAgain}, // receiver finds no mouse: pair?
    {34, TextWarningFirmwareTitle, TextWarningUpdateNow, TextWarningLater, false, A::DownloadAndUpdate, A::None}, // download and install firmware?
    {35, TextWarningFirmwareTitle, TextWarningOk, TextWarningLater, false, A::GoToSupport, A::None},    // newer firmware available
    {37, TextWarningTitle, TextWarningOk, kNone, false, A::None, A::None},                          // macro list written
    {38, TextWarningTitle, TextWarningKeepAsConfig1, TextWarningLoadConfig1, false, A::SaveProfileToConfig1, A::ConfigRecover}, // mouse matches no profile
    {39, TextWarningFirmwareTitle, TextWarningUpdateNow, TextWarningCancel, false, A::UpdateFirmwareNow, A::None},
    {40, TextWarningFirmwareTitle, TextWarningOk, kNone, false, A::None, A::None},                  // update needs the cable
    {41, TextWarningFirmwareTitle, TextWarningUpdateNow, TextWarningCancel, false, A::UpdateFirmwareNowTern, A::None},
    {42, TextWarningTitle, TextWarningOk, kNone, false, A::None, A::None},                          // pairing failed
    {43, TextWarningTitle, TextWarningOk, kNone, false, A::None, A::None},                          // playback type not allowed here
    {44, TextWarningErrorTitle, TextWarningOk, kNone, false, A::None, A::None},                     // receiver paired with another model
    {45, TextWarningErrorTitle, TextWarningOk, kNone, false, A::None, A::None},                     // pairing could not start
    {46, TextWarningTitle, TextWarningOk, kNone, false, A::None, A::None},                          // pairing succeeded
    {47, TextWarningTitle, TextWarningOk, TextWarningCancel, false, A::RestartSoftware, A::None},       // restart the program?
    {48, TextWarningFirmwareTitle, TextWarningUpdateNow, TextWarningCancel, false, A::ShowUpdateWidget, A::None},
    {50, TextWarningTitle, TextWarningOk, kNone, false, A::None, A::None},                          // macro has no events
    {51, TextWarningTitle, TextWarningOk, kNone, false, A::None, A::None},                          // a listed macro has no events
    {52, TextWarningSoftwareTitle, TextWarningUpdateNow, TextWarningLater, true, A::OpenDownloadPage, A::None}, // newer version (manual check)
    {53, TextWarningSoftwareTitle, TextWarningOk, kNone, false, A::None, A::None},                  // the program is up to date
    {54, TextWarningSoftwareTitle, TextWarningOk, kNone, false, A::None, A::None},                  // check failed: server's message
};

// Used for a type the table does not know: show it, do nothing else.
const WarningEntry kUnknown = {-1, TextWarningTitle, TextWarningOk, kNone, false, A::None, A::None};

} // namespace

WarningDialog::WarningDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("WarningDialog"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setModal(true);
    setFixedWidth(460);
    setMinimumHeight(200);

    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("WarningPanel"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel);

    m_titleLabel = new QLabel(panel);
    m_titleLabel->setObjectName(QStringLiteral("TitleLabel"));
    m_messageLabel = new QLabel(panel);
    m_messageLabel->setObjectName(QStringLiteral("MessageLabel"));
    m_messageLabel->setWordWrap(true);
    m_messageLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_messageLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_noLongerRemind = new QCheckBox(panel);
    m_noLongerRemind->setObjectName(QStringLiteral("NoLongerRemindCheckBox"));
    m_okButton = new QPushButton(panel);
    m_okButton->setObjectName(QStringLiteral("OkButton"));
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(panel);
    m_cancelButton->setObjectName(QStringLiteral("Cancle_Button"));
    for (QPushButton *button : {m_okButton, m_cancelButton}) {
        button->setCursor(Qt::PointingHandCursor);
        button->setMinimumSize(104, 34);
    }

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_okButton);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(28, 22, 28, 22);
    layout->setSpacing(14);
    layout->addWidget(m_titleLabel);
    layout->addWidget(m_messageLabel, 1);
    layout->addWidget(m_noLongerRemind);
    layout->addSpacing(4);
    layout->addLayout(buttons);

    connect(m_okButton, &QPushButton::clicked, this, &WarningDialog::on_OkButton_clicked);
    connect(m_cancelButton, &QPushButton::clicked, this, &WarningDialog::on_Cancle_Button_clicked);
}

const WarningEntry *WarningDialog::entry(int type)
{
    for (const WarningEntry &e : kWarnings) {
        if (e.type == type)
            return &e;
    }
    return nullptr;
}

QList<int> WarningDialog::knownTypes()
{
    QList<int> types;
    for (const WarningEntry &e : kWarnings)
        types.append(e.type);
    return types;
}

QString WarningDialog::vendorDownloadPage()
{
    return QStringLiteral("https://example.com/harrierdriver/download");
}

QUrl WarningDialog::downloadUrl() const
{
    if (m_downloadPath.isEmpty())
        return QUrl(vendorDownloadPage());
    // The address comes from the version reply: open it only as a web page,
    // never as a file, a share or a program of some other scheme.
    const QUrl url(m_downloadPath, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (url.isValid() && (scheme == QLatin1String("https") || scheme == QLatin1String("http")) && !url.host().isEmpty())
        return url;
    qWarning() << "download address refused, not a web address:" << m_downloadPath;
    return QUrl(vendorDownloadPage());
}

void WarningDialog::setDownloadPath(const QString &path)
{
    m_downloadPath = path;
}

void WarningDialog::showWarning(int type, const QString &message)
{
    if (isVisible()) {
        // One at a time; the same warning twice in a row is shown once.
        const QPair<int, QString> next(type, message);
        if ((type != m_type || message != m_message) && !m_waiting.contains(next))
            m_waiting.append(next);
        return;
    }
    present(type, message);
}

void WarningDialog::removeAll()
{
    m_waiting.clear();
    if (isVisible())
        hide();
    m_type = -1;
}

void WarningDialog::withdraw(int type)
{
    for (int i = m_waiting.size() - 1; i >= 0; --i)
        if (m_waiting.at(i).first == type)
            m_waiting.removeAt(i);
    if (isVisible() && m_type == type) {
        hide();
        m_type = -1;
        showNext();
    }
}

void WarningDialog::present(int type, const QString &message)
{
    const WarningEntry *e = entry(type);
    if (!e) {
        qWarning() << "WarningDialog unknown type" << type;
        e = &kUnknown;
    }
    m_type = type;
    m_message = message;

    QString text = message;
    if (text.isEmpty()) {
        text = e == &kUnknown ? TextTable::textWith(TextWarningUnknown, QString::number(type))
                              : TextTable::text(TextWarningMessage + type);
    }
    m_titleLabel->setText(TextTable::text(e->title));
    m_messageLabel->setText(text);
    m_okButton->setText(TextTable::text(e->okText));
    m_cancelButton->setText(TextTable::text(e->cancelText));
    m_cancelButton->setVisible(e->cancelText != kNone);
    m_noLongerRemind->setText(TextTable::text(TextWarningNoLongerRemind));
    m_noLongerRemind->setChecked(false);
    m_noLongerRemind->setVisible(e->noLongerRemind);

    adjustSize();
    if (QWidget *owner = parentWidget()) {
        const QPoint centre = owner->mapToGlobal(owner->rect().center());
        move(centre - rect().center());
    }
    open();
    m_okButton->setFocus();
}

void WarningDialog::on_OkButton_clicked()
{
    const WarningEntry *e = entry(m_type);
    finish(e ? e->confirm : WarningAction::None, QStringLiteral("OkButton"));
}

void WarningDialog::on_Cancle_Button_clicked()
{
    const WarningEntry *e = entry(m_type);
    finish(e ? e->cancel : WarningAction::None, QStringLiteral("Cancle_Button"));
}

void WarningDialog::keyPressEvent(QKeyEvent *event)
{
    // Escape answers as the cancel button would, so its action runs too;
    // but where both answers overwrite something (a mouse that matches no
    // stored configuration), Escape closes the question and overwrites nothing.
    if (event->key() == Qt::Key_Escape) {
        if (m_type == kNoMatchingConfig)
            finish(A::None, QStringLiteral("Escape"));
        else if (m_cancelButton->isVisible())
            on_Cancle_Button_clicked();
        else
            on_OkButton_clicked();
        return;
    }
    QDialog::keyPressEvent(event);
}

void WarningDialog::finish(WarningAction action, const QString &button)
{
    const int type = m_type;
    hide();
    m_type = -1;
    runAction(action);
    emit sig_SendEventMessageToGA(QStringLiteral("WarningDialog"), button,
                                  QString::number(type), QStringLiteral("WarningDialog"));
    showNext();
}

void WarningDialog::showNext()
{
    if (!m_waiting.isEmpty() && !isVisible()) {
        const QPair<int, QString> next = m_waiting.takeFirst();
        present(next.first, next.second);
    }
}

void WarningDialog::writeNotRemindIfTicked()
{
    if (!m_noLongerRemind->isChecked())
        return;
    SettingsFiles::setNotRemind(1);
}

void WarningDialog::runAction(WarningAction action)
{
    switch (action) {
    case A::None: break;
    case A::ResetMouse: emit sig_ResetMouseToOriginal(); break;
    case A::OpenDownloadPage:
        writeNotRemindIfTicked();
        QDesktopServices::openUrl(downloadUrl());
        break;
    case A::WriteNotRemind: writeNotRemindIfTicked(); break;
    case A::UploadFiles: emit sig_ChangeConfiFileBeforeStartToUploadFile(); break;
    case A::QuitUser: emit sig_QuitUser(); break;
    case A::StartDownload: emit sig_StarToDownloadFile(); break;
    case A::UpdateButtonEnable: emit sig_UpdateButtonEnable(); break;
    case A::OpenMouseAgain: emit sig_OpenMouseAgain(); break;
    case A::ExitSoftware: emit sig_exitSoftware(); break;
    case A::ShowUpdateWidget: emit sig_ShowUpdateWidget(); break;
    case A::GetProfileAgain: emit sig_GetMouseProfileAgain(); break;
    case A::GoToMatchCodePage: emit sig_GoToMatchCodePage(); break;
    case A::DownloadAndUpdate: emit sig_DownloadAndUpdateFirmwareNow(); break;
    case A::GoToSupport: emit sig_GoToSupportWidget(); break;
    case A::SaveProfileToConfig1: emit sig_SaveCurrentProfileFileToConfig1(); break;
    case A::UpdateFirmwareNow: emit sig_UpdateFirmwareNow(); break;
    case A::UpdateFirmwareNowTern: emit sig_UpdateFirmwareNow_Tern(); break;
    case A::RestartSoftware: emit sig_RestartSoftware(); break;
    case A::ConfigRecover: emit sig_ConfigRevcover(1); break;
    }
}
