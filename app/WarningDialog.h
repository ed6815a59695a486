#pragma once
#include <QDialog>
#include <QList>
#include <QPair>

class QCheckBox;
class QLabel;
class QPushButton;

// What a button of the warning dialog does besides closing it.
enum class WarningAction {
    None,
    ResetMouse,             // sig_ResetMouseToOriginal
    OpenDownloadPage,       // "NotRemind" when ticked, then the download page
    WriteNotRemind,         // "NotRemind" when ticked
    UploadFiles,            // sig_ChangeConfiFileBeforeStartToUploadFile
    QuitUser,               // sig_QuitUser
    StartDownload,          // sig_StarToDownloadFile
    UpdateButtonEnable,     // sig_UpdateButtonEnable
    OpenMouseAgain,         // sig_OpenMouseAgain
    ExitSoftware,           // sig_exitSoftware
    ShowUpdateWidget,       // sig_ShowUpdateWidget
    GetProfileAgain,        // sig_GetMouseProfileAgain
    GoToMatchCodePage,      // sig_GoToMatchCodePage
    DownloadAndUpdate,      // sig_DownloadAndUpdateFirmwareNow
    GoToSupport,            // sig_GoToSupportWidget
    SaveProfileToConfig1,   // sig_SaveCurrentProfileFileToConfig1
    UpdateFirmwareNow,      // sig_UpdateFirmwareNow
    UpdateFirmwareNowTern,  // sig_UpdateFirmwareNow_Tern
    RestartSoftware,        // sig_RestartSoftware
    ConfigRecover,          // sig_ConfigRevcover(1)
};

// One warning type: its texts (indexes into the text table) and its actions.
struct WarningEntry
{
    int type;
    int title;
    int okText;
    int cancelText;        // 0: the warning has only the confirm button
    bool noLongerRemind;   // shows NoLongerRemindCheckBox
    WarningAction confirm;
    WarningAction cancel;
};

// The modal warning of the main window. Every numbered warning of the program
// is shown here; a warning raised while another is open waits its turn.
class WarningDialog : public QDialog
{
    Q_OBJECT
public:
    explicit WarningDialog(QWidget *parent = nullptr);

    // The entry of a warning type; null for a type the program never raises.
    static const WarningEntry *entry(int type);
    // Every known warning type, in table order.
    static QList<int> knownTypes();

    // Shows warning type with its own message, or with message when not empty.
    void showWarning(int type, const QString &message = QString());
    // Drops the open and the waiting warnings without running their actions.
    void removeAll();
    // Takes back a warning that no longer holds (the open one, then the next
    // waiting is shown; or a waiting one), without running its action.
    void withdraw(int type);
    // The download address of the last version check (opened by types 1 and 52).
    void setDownloadPath(const QString &path);

    int currentType() const { return m_type; }
    // The warnings queued behind the open one, in order.
    QList<int> waitingTypes() const
    {
        QList<int> types;
        for (const auto &w : m_waiting)
            types << w.first;
        return types;
    }

    // The vendor's download page, opened when a version check gave no address.
    static QString vendorDownloadPage();

signals:
    void sig_ResetMouseToOriginal();
    void sig_ChangeConfiFileBeforeStartToUploadFile();
    void sig_QuitUser();
    void sig_StarToDownloadFile();
    void sig_UpdateButtonEnable();
    void sig_OpenMouseAgain();
    void sig_exitSoftware();
    void sig_ShowUpdateWidget();
    void sig_GetMouseProfileAgain();
    void sig_GoToMatchCodePage();
    void sig_DownloadAndUpdateFirmwareNow();
    void sig_GoToSupportWidget();
    void sig_SaveCurrentProfileFileToConfig1();
    void sig_UpdateFirmwareNow();
    void sig_UpdateFirmwareNow_Tern();
    void sig_RestartSoftware();
    void sig_ConfigRevcover(int configNumber);
    void sig_SendEventMessageToGA(QString category, QString action, QString Label, QString viewScreen);

public slots:
    void on_OkButton_clicked();
    void on_Cancle_Button_clicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void present(int type, const QString &message);
    void finish(WarningAction action, const QString &button);
    void runAction(WarningAction action);
    void writeNotRemindIfTicked();
    void showNext();

    QLabel *m_titleLabel;
    QLabel *m_messageLabel;
    QCheckBox *m_noLongerRemind;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
    int m_type = -1;
    QString m_message;
    // The address the download button opens: the reply's web address, or the vendor's page.
    QUrl downloadUrl() const;

    QString m_downloadPath;
    QList<QPair<int, QString>> m_waiting;
};
