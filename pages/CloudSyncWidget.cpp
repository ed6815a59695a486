#include "pages/CloudSyncWidget.h"

#include "analytics/GAnalytics.h"
#include "data/DCDataHandle.h"
#include "online/CloudSync.h"
#include "online/KVAccountManage.h"
#include "online/ServiceAddress.h"
#include "pages/AccountDialog.h"
#include "pages/ChangePasswordDialog.h"
#include "store/OperateToken.h"
#include "store/TextTable.h"

#include <QCheckBox>
#include <QDebug>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Warning types of the main window the page raises.
constexpr int kWarningUploadConfirm = 2;
constexpr int kWarningLogoutConfirm = 3;
constexpr int kWarningDownloadConfirm = 4;
constexpr int kWarningNeedsLogin = 10;
constexpr int kWarningUploadDone = 15;
constexpr int kWarningDownloadDone = 16;
constexpr int kWarningCloudFailed = 17;
constexpr int kWarningLoginExpired = 28;

QPushButton *pageButton(const char *name, int text, QWidget *parent)
{
    auto *button = new QPushButton(TextTable::text(text), parent);
    button->setObjectName(QLatin1String(name));
    button->setCursor(Qt::PointingHandCursor);
    button->setMinimumHeight(36);
    return button;
}

bool storedLogin(QString *nickName)
{
    OperateToken token;
    const QString stored = token.GetToken();
    if (stored.isEmpty() || stored == QLatin1String("NULL"))
        return false;
    const QString nick = token.GetNickName();
    *nickName = nick == QLatin1String("NULL") ? token.GetEmail() : nick;
    return true;
}

} // namespace

CloudSyncWidget::CloudSyncWidget(QWidget *parent)
    : QWidget(parent)
    , m_sync(new CloudSync(this))
{
    setObjectName(QStringLiteral("CloudSyncWidget"));
    using namespace TextTable;

    auto *title = new QLabel(text(TextCloudTitle), this);
    title->setProperty("cardTitle", true);
    auto *intro = new QLabel(text(TextCloudIntro), this);
    intro->setProperty("cardHelp", true);
    intro->setWordWrap(true);

    m_accountLabel = new QLabel(this);
    m_accountLabel->setObjectName(QStringLiteral("AccountLabel"));
    m_loginButton = pageButton("LoginButton", TextCloudLogIn, this);
    m_changePasswordButton = pageButton("ChangePasswordButton", TextCloudChangePassword, this);
    m_logoutButton = pageButton("LogoutButton", TextCloudLogOut, this);
    m_uploadButton = pageButton("UploadButton", TextCloudUpload, this);
    m_downloadButton = pageButton("DownloadButton", TextCloudDownload, this);
    m_uploadButton->setMinimumWidth(220);
    m_downloadButton->setMinimumWidth(220);
    m_stateLabel = new QLabel(this);
    m_stateLabel->setObjectName(QStringLiteral("StateLabel"));
    m_stateLabel->setWordWrap(true);
    m_stateLabel->setProperty("cardDetail", true);

    m_analyticsCheckBox = new QCheckBox(text(TextAnalyticsConsent), this);
    m_analyticsCheckBox->setObjectName(QStringLiteral("AnalyticsCheckBox"));
    m_analyticsCheckBox->setChecked(GAnalytics::isEnabled());
    m_analyticsNote = new QLabel(this);
    m_analyticsNote->setObjectName(QStringLiteral("AnalyticsNote"));
    m_analyticsNote->setProperty("cardHelp", true);

    auto *account = new QHBoxLayout;
    account->addWidget(m_accountLabel, 1);
    account->addWidget(m_loginButton);
    account->addWidget(m_changePasswordButton);
    account->addWidget(m_logoutButton);
    auto *transfer = new QHBoxLayout;
    transfer->addStretch();
    transfer->addWidget(m_uploadButton);
    transfer->addSpacing(24);
    transfer->addWidget(m_downloadButton);
    transfer->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(60, 36, 60, 28);
    layout->setSpacing(14);
    layout->addWidget(title);
    layout->addWidget(intro);
    layout->addLayout(account);
    layout->addSpacing(20);
    layout->addLayout(transfer);
    layout->addWidget(m_stateLabel);
    layout->addStretch();
    layout->addWidget(m_analyticsCheckBox);
    layout->addWidget(m_analyticsNote);

    connect(m_uploadButton, &QPushButton::clicked, this, &CloudSyncWidget::on_UploadButton_clicked);
    connect(m_downloadButton, &QPushButton::clicked, this, &CloudSyncWidget::on_DownloadButton_clicked);
    connect(m_loginButton, &QPushButton::clicked, this, &CloudSyncWidget::on_LoginButton_clicked);
    connect(m_logoutButton, &QPushButton::clicked, this, &CloudSyncWidget::on_LogoutButton_clicked);
    connect(m_changePasswordButton, &QPushButton::clicked, this, &CloudSyncWidget::on_ChangePasswordButton_clicked);
    connect(m_analyticsCheckBox, &QCheckBox::toggled, this, &CloudSyncWidget::on_AnalyticsCheckBox_toggled);

    refreshAccount();
}

void CloudSyncWidget::connectBridge(DCDataHandle *bridge)
{
    // Queued: the upload pumps events while it waits, so it starts once the bridge's answer is handled.
    connect(bridge, &DCDataHandle::sig_StartToUploadFile, this, &CloudSyncWidget::slot_StartUpload,
            Qt::QueuedConnection);
    connect(this, &CloudSyncWidget::sig_UploadFinished, bridge, &DCDataHandle::slot_removeOldTxtFile);
}

QString CloudSyncWidget::stateText() const
{
    return m_stateLabel->text();
}

void CloudSyncWidget::refreshAccount()
{
    QString nickName;
    const bool loggedIn = storedLogin(&nickName);
    m_accountLabel->setText(loggedIn ? TextTable::textWith(TextTable::TextCloudLoggedInAs, nickName)
                                     : TextTable::text(TextTable::TextCloudLoggedOut));
    m_analyticsNote->setText(GAnalytics::collectionUrl().isEmpty() ? TextTable::text(TextTable::TextAnalyticsNoAddress)
                                                                   : QString());
    if (!m_busy)
        m_stateLabel->setText(KVAccountManage::unavailableText());
    const bool changed = loggedIn != m_loggedIn;
    m_loggedIn = loggedIn;
    updateButtons();
    if (changed)
        emit sig_LoginStateChanged(loggedIn);
}

void CloudSyncWidget::updateButtons()
{
    m_loginButton->setVisible(!m_loggedIn);
    m_logoutButton->setVisible(m_loggedIn);
    m_changePasswordButton->setVisible(m_loggedIn);
    // Without a usable service address nothing can be sent: the buttons that
    // would send say so by being off, and the page says why (refreshAccount).
    const bool service = ServiceAddress::status() == ServiceAddress::Status::Ok;
    for (QPushButton *button : {m_uploadButton, m_downloadButton, m_loginButton, m_logoutButton,
                                m_changePasswordButton})
        button->setEnabled(!m_busy && (service || button == m_logoutButton));
    const QString why = service ? QString() : KVAccountManage::unavailableText();
    for (QPushButton *button : {m_uploadButton, m_downloadButton, m_loginButton, m_changePasswordButton})
        button->setToolTip(why);
}

void CloudSyncWidget::setMouseType(int mouseType)
{
    m_mouseType = mouseType;
}

void CloudSyncWidget::setBusy(bool busy, const QString &text)
{
    m_busy = busy;
    m_stateLabel->setText(text);
    updateButtons();
}

bool CloudSyncWidget::readyToTransfer()
{
    if (m_busy)
        return false;
    // Said on the page, plainly; no request leaves the program.
    if (ServiceAddress::status() != ServiceAddress::Status::Ok) {
        m_stateLabel->setText(KVAccountManage::unavailableText());
        return false;
    }
    if (!m_loggedIn) {
        emit sig_ShowWarningDialogOnCloudSyncWidget(kWarningNeedsLogin, QString());
        return false;
    }
    if (m_mouseType == 0) {
        m_stateLabel->setText(TextTable::text(TextTable::TextCloudNeedsMouse));
        return false;
    }
    return true;
}

void CloudSyncWidget::on_UploadButton_clicked()
{
    sendEvent(QStringLiteral("UploadButton"));
    if (readyToTransfer())
        emit sig_ShowWarningDialogOnCloudSyncWidget(kWarningUploadConfirm, QString());
}

void CloudSyncWidget::on_DownloadButton_clicked()
{
    sendEvent(QStringLiteral("DownloadButton"));
    if (readyToTransfer())
        emit sig_ShowWarningDialogOnCloudSyncWidget(kWarningDownloadConfirm, QString());
}

void CloudSyncWidget::slot_StartUpload()
{
    if (!readyToTransfer())
        return;
    setBusy(true, TextTable::text(TextTable::TextCloudUploading));
    const CloudSync::Result result = m_sync->upload(m_mouseType);
    emit sig_UploadFinished();
    finishTransfer(int(result.outcome), result.message, kWarningUploadDone);
}

void CloudSyncWidget::slot_StartDownload()
{
    if (!readyToTransfer())
        return;
    setBusy(true, TextTable::text(TextTable::TextCloudDownloading));
    const CloudSync::Result result = m_sync->download(m_mouseType);
    if (result.localConfigReplaced)
        emit sig_LoadConfigFileAfterDownloadSucced();
    finishTransfer(int(result.outcome), result.message, kWarningDownloadDone);
}

void CloudSyncWidget::finishTransfer(int outcome, const QString &message, int doneWarning)
{
    setBusy(false, outcome == int(CloudSync::Outcome::Done) ? QString() : message);
    switch (CloudSync::Outcome(outcome)) {
    case CloudSync::Outcome::Done:
        emit sig_ShowWarningDialogOnCloudSyncWidget(doneWarning, QString());
        break;
    case CloudSync::Outcome::LoginExpired:
        emit sig_ShowWarningDialogOnCloudSyncWidget(kWarningLoginExpired, QString());
        break;
    case CloudSync::Outcome::Unavailable:
        break; // the page already says why
    default:
        emit sig_ShowWarningDialogOnCloudSyncWidget(kWarningCloudFailed, message);
        break;
    }
}

void CloudSyncWidget::on_LoginButton_clicked()
{
    sendEvent(QStringLiteral("LoginButton"));
    auto *dialog = new AccountDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &AccountDialog::sig_LoggedIn, this, &CloudSyncWidget::refreshAccount);
    dialog->open();
}

void CloudSyncWidget::on_LogoutButton_clicked()
{
    sendEvent(QStringLiteral("LogoutButton"));
    emit sig_ShowWarningDialogOnCloudSyncWidget(kWarningLogoutConfirm, QString());
}

void CloudSyncWidget::on_ChangePasswordButton_clicked()
{
    sendEvent(QStringLiteral("ChangePasswordButton"));
    auto *dialog = new ChangePasswordDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &ChangePasswordDialog::sig_LoginExpired, this,
            [this] { emit sig_ShowWarningDialogOnCloudSyncWidget(kWarningLoginExpired, QString()); });
    dialog->open();
}

void CloudSyncWidget::on_AnalyticsCheckBox_toggled(bool checked)
{
    // Recorded before the switch, so turning it off is itself never sent.
    GAnalytics::setEnabled(checked);
    if (checked)
        sendEvent(QStringLiteral("AnalyticsOn"));
}

void CloudSyncWidget::sendEvent(const QString &action)
{
    emit sig_SendEventMessageToGA(QStringLiteral("CloudSyncWidget"), action, QString(),
                                  QStringLiteral("CloudSyncWidget"));
}
