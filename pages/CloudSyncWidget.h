#pragma once
#include "pages/BridgePage.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class CloudSync;

// Page 4: the vendor account and the cloud copy of the settings. Uploading
// sends the mouse's local folder and the macro folder; downloading brings
// them back and has the window load the downloaded profile. Both are asked
// for through a confirming warning first. Without a usable service address
// the page says so and sends nothing.
class CloudSyncWidget : public QWidget, public BridgePage
{
    Q_OBJECT
public:
    explicit CloudSyncWidget(QWidget *parent = nullptr);
    // The upload starts once the bridge has made the text-format copies, which go afterwards.
    void connectBridge(DCDataHandle *bridge) override;

    bool isLoggedIn() const { return m_loggedIn; }
    bool isBusy() const { return m_busy; }
    // The line that says what the page is doing or what went wrong.
    QString stateText() const;
    CloudSync *cloudSync() const { return m_sync; }

signals:
    // A warning of the main window: type and, when not empty, its message.
    void sig_ShowWarningDialogOnCloudSyncWidget(int warningType, QString message);
    // The local folder was replaced: the window loads the profile into the mouse.
    void sig_LoadConfigFileAfterDownloadSucced();
    // The archives are uploaded; the text-format copies made for them can go.
    void sig_UploadFinished();
    void sig_LoginStateChanged(bool loggedIn);
    void sig_SendEventMessageToGA(QString category, QString action, QString Label, QString viewScreen);

public slots:
    // The model whose folder is exchanged; 0 while no mouse is open.
    void setMouseType(int mouseType);
    // Runs the upload (after the confirmation and the text-format copies).
    void slot_StartUpload();
    // Runs the download (after the confirmation).
    void slot_StartDownload();
    // Rereads the stored account (after logging in or out).
    void refreshAccount();

private slots:
    void on_UploadButton_clicked();
    void on_DownloadButton_clicked();
    void on_LoginButton_clicked();
    void on_LogoutButton_clicked();
    void on_ChangePasswordButton_clicked();
    void on_AnalyticsCheckBox_toggled(bool checked);

private:
    // True when a transfer may start; otherwise says why on the page.
    bool readyToTransfer();
    void setBusy(bool busy, const QString &text = QString());
    void updateButtons();
    void finishTransfer(int outcome, const QString &message, int doneWarning);
    void sendEvent(const QString &action);

    QLabel *m_accountLabel;
    QLabel *m_stateLabel;
    QPushButton *m_loginButton;
    QPushButton *m_logoutButton;
    QPushButton *m_changePasswordButton;
    QPushButton *m_uploadButton;
    QPushButton *m_downloadButton;
    QCheckBox *m_analyticsCheckBox;
    QLabel *m_analyticsNote;
    CloudSync *m_sync;
    int m_mouseType = 0;
    bool m_loggedIn = false;
    bool m_busy = false;
};
