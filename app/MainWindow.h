#pragma once
#include "platform/WinTypes.h"

#include <QMainWindow>
#include <QSize>
#include <QSystemTrayIcon>

class QAction;
class QLabel;
class QPushButton;
class Notifier;
class QScreen;
class QScrollArea;
class QStackedWidget;
class QThread;
class QWidget;
class CheckDevice;
class GAnalytics;
class LastVersion;
class CloudSyncWidget;
class CodeWidget;
class DCDataHandle;
class DrawDialog;
class LightSettingWidget;
class LoadingDialog;
class KeySettingDialog;
class MacroEditWidget;
class MainSettingWidget;
class NeedDeviceDialog;
class SupportWidget;
class TitleBar;
class FirmwareFlow;
class UpdateMouseDialog;
class WarningDialog;

// The program's one window: frameless, fixed 960 x 640, black, with its own
// title bar, the page buttons, the five profile buttons, the battery and
// connection indicators, the model logo and the tray icon. It follows the
// mouse's arrival and removal, switches profiles, restores factory settings
// and shows every numbered warning. It knows nothing of devices: it reaches
// the bridge only through queued signals.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // The pages of the stacked widget, by their fixed index.
    enum Page { MainSettingPage = 0, LightSettingPage, MacroEditPage, SupportPage, CloudSyncPage, MatchCodePage };

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Looks for a mouse now, before the window is styled and shown, so its
    // open runs on the bridge's thread meanwhile.
    void startPresence();
    // The pages other than the first join the window once it has been
    // painted, or when one is asked for; this joins them now (for callers
    // that need every page at once, such as tests).
    void attachDeferredPages();

    int currentConfigNumber() const { return m_currentConfig; }
    int currentFirmwareVersion() const { return m_firmwareVersion; }
    USHORT currentPid() const { return m_currentPid; }
    int arrivalCount() const { return m_arrivalCount; }
    bool isBatteryTimerRunning() const { return m_batteryTimerId != 0; }
    bool isManualVersionCheck() const { return m_isManualCheck; }
    WarningDialog *warningDialog() const { return m_warningDialog; }
    UpdateMouseDialog *updateMouseDialog() const { return m_updateDialog; }
    NeedDeviceDialog *needDeviceDialog() const { return m_needDeviceDialog; }
    Notifier *notifier() const { return m_notifier; }
    bool isDeviceOpen() const { return m_deviceOpen; }
    // Open, and the start-up read has filled the pages.
    bool isPageFilled() const { return m_deviceOpen && !m_pageFillPending; }
    // Whether the settings pages take clicks and keys (not while a mouse is being opened).
    bool pagesTakeInput() const;
    bool isLoggedIn() const { return m_isLoggedIn; }
    // How often the battery is asked for while a mouse is open (3000 ms) and
    // the bus is polled (1000 ms); tests shorten them.
    void setTimerIntervals(int batteryMs, int presenceMs);
    int batteryInterval() const { return m_batteryIntervalMs; }

signals:
    void QuitTheApplication();
    void sig_WarningTypeOnMainWindow(int warningType);
    void sig_LoadFileAndeWriteIntoMouse(int configNumber);
    void sig_LoadOnlyMouseFileIntoMouse(int configNumber);
    void sig_LoadCurrentConfigImage(QString number);
    void sig_ChangeCurrentPageFile(int configNumber);
    void sig_CheckLastSoftwareVersion(QString versionType);
    void sig_UpdateFirmwareNow();
    void sig_UpdateFirmwareNow_Tern();
    void sig_RemoveReloadWidget();
    void sig_RemoveWarningWidget();
    void sig_ConstructAllThings();
    void sig_DissMissAllThings();
    void sig_ResetAllConfigFile();
    void sig_LoadSpecificConfigFileWithoutWriteIntoMouse(int);
    void sig_startCode();
    void sig_stopCode();
    void sig_OpenDevice(uint Pid, uint Vid);
    void sig_GetBatteryPower();
    void sig_GetDPIValue();
    void sig_CloseUpdateMouseDialog();
    void sig_UpdateButtonEnable();
    void sig_ShowWarningWidgetWithSpecifyMessage(int type, QString message);
    void sig_CloseKeySettingDialog();
    // A downloaded configuration arrived: the bridge turns its text-format profiles into JSON.
    void sig_TurnOldTxtFileToNewJsonFile();
    // Usage events of the window's buttons, for the analytics client.
    void sig_SendEventMessageToGA(QString category, QString action, QString Label, QString viewScreen);
    // The cloud upload of the local folder is over, either way: the text
    // files written for it are removed.
    void sig_UploadFinished();
    // Configuration export and import, chosen in the profile buttons' menu.
    void sig_ExportConfiguration(int configNumber, QString path);
    void sig_ImportConfiguration(int configNumber, QString path);

public slots:
    // A second copy of the program was started: come to the front and say so.
    void slotMessageReceived(const QString &msg);
    // The bridge's answer to sig_OpenDevice.
    void slot_OpenDeviceResult(bool result, int mouseType, bool isWirelessState);
    // The presence poller's report: a mouse arrived (isfind) or went away.
    void slot_WarningDeviceNotInsert(bool isfind, uint Pid, uint Vid);
    void slot_BatteryPower(DWORD value);
    void slot_GetCurrentFirmVersion(int version);
    void slot_LastSoftWareVersionRet(int rCode, QString rMsg, QString version, QString path, QString versionDate);
    void slot_LastFirmWareVersionRet(int rCode, QString rMsg, QString version, QString path);
    void slot_showWarningDialog(int warningType);
    void slot_showWarningDialogWithSpecifyMessage(int warningType, QString warningMessage);
    // Opens the button-assignment dialog (comes with the button assignment page).
    void slot_showKeySettingDialog(int changedButton, int buttonChangeType, int buttonTrueValue, int modifyKeyValue);
    // Opens the screen editor for the mouse's model and the current configuration.
    void slot_showDrawDialog();
    void slot_ResetMouseToOriginal();
    void slot_ShowCurrentConfigButton(int configureButton);
    void slot_LoadConfigFileAfterDownloadSucced(int configureButton);
    void slot_ShowUpdateFirmwareWidget(bool isChangeable, bool isLocalUpdateState, int mouseType, bool isUpdateNow);
    void slot_startCode(bool);
    void slot_finishCode(bool);
    void slot_stopCode();
    void slot_GoToMatchCodePage();
    void slot_BanTopButtonClick(bool state, bool isTransparent);
    void slot_SetHeaderButtonEnabled(bool state);
    void slot_SetSysPointSpeed(int value);
    void slot_SetSysTrolleyValue(int value);
    void needDeviceDialogShow();
    void needDeviceDialogHide();
    void SetCurrentPid(USHORT currentPid);
    void slot_startWattingProcess();

    // Marks the selected profile button and tells the pages, without writing the mouse.
    void showCurrentConfigButton(int configNumber);
    // Selects profile n and writes it into the mouse, without a usage event.
    void setCurrentConfigButton(int configNumber);
    void slot_quitUser();
    // The bridge wrote the local folder's text files: upload it to the cloud.
    void slot_StartToUploadFile();
    // Asks for a file and has the bridge export configuration n into it, or
    // import it as configuration n; the profile buttons' menu offers both.
    void exportConfiguration(int configNumber);
    void importConfiguration(int configNumber);

private slots:
    void on_MainSettingButton_clicked();
    void on_LightSettingButton_clicked();
    void on_MacroEditButton_clicked();
    void on_SupportButton_clicked();
    void on_CloudSyncButton_clicked();
    void on_ConfigureButton_1_clicked();
    void on_ConfigureButton_2_clicked();
    void on_ConfigureButton_3_clicked();
    void on_ConfigureButton_4_clicked();
    void on_ConfigureButton_5_clicked();
    void on_ResetToOriginalButton_clicked();
    void on_minimumButton_clicked();
    void on_quitButton_clicked();
    void on_activatedSysTrayIcon(QSystemTrayIcon::ActivationReason reason);
    void slot_needDeviceDialogClienk();

protected:
    void timerEvent(QTimerEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildWidgets();
    // Notifications, and the desktop switches of the support page.
    void initDesktop();
    // Tab goes through the header, the pages and the profile bar, in that order.
    void orderTabStops();
    // The title bar's chooser: the mice present, the open one selected.
    void showMouseChoice();
    void setPagesTakeInput(bool take);
    // The close button's name: "Close to tray" with a tray, "Exit" without.
    void describeCloseButton();
    // The tray's tooltip (mouse, charge, configuration) and the menu's mouse line.
    void describeTray();

    // The window at its designed size, or the screen's room when that is smaller.
    void fitToScreen();
    // The battery shows for a mouse by receiver once its charge is known.
    void showBatteryIndicator();
    void followScreen(QScreen *screen);
    // The update view for the open mouse's model (a model of the user's choice without one).
    void showFirmwareUpdateForOpenMouse(bool isLocalUpdateState, bool isUpdateNow);
    // The profile button's menu: export or import that configuration.
    void showConfigMenu(int configNumber, const QPoint &globalPos);
    QWidget *buildHeader();
    QWidget *buildFooter();
    void createTrayIcon();
    void createDialogs();
    void initMouseDataHandle();
    void initCheckDevice();
    void initOnline();
    void showNeedDeviceDialogIfNoDevice();
    void setCurrentConfigure(int configNumber);
    void SetMenuButtonStyleSheet(int button);
    void showPage(int page);
    void setHeaderVisible(bool visible);
    void startTimeCount();
    void stopTimeCount();
    void compareFirmWareVersion();
    void bringToFront();
    void checkTokenIsExit();
    void setBatteryIcon(const QString &image, const QString &percent);
    void sendEvent(const QString &action, const QString &label = QString());
    void exitSoftware();
    // True (and the quit remembered) while a firmware image is being sent.
    bool deferQuitWhileUpdating();
    void setDeviceControlsEnabled(bool enabled);

    static constexpr QSize kWindowSize{960, 640};
    TitleBar *m_titleBar = nullptr;
    QList<QWidget *> m_deferredPages; // built and connected, not yet in the window
    QWidget *m_content = nullptr;           // header, pages and footer at their designed size
    QScrollArea *m_contentScroll = nullptr; // scrolls them when the screen is smaller
    bool m_followsScreen = false;
    QMetaObject::Connection m_screenConnection;
    QWidget *m_header = nullptr;
    QWidget *m_footer = nullptr;
    QList<QPushButton *> m_pageButtons;
    QList<QPushButton *> m_configButtons;
    QMenu *m_configMenu = nullptr;
    int m_configMenuNumber = 0;
    QPushButton *m_resetButton = nullptr;
    QLabel *m_logoLabel = nullptr;
    QLabel *m_wireStateLabel = nullptr;
    QLabel *m_batteryLabel = nullptr;
    QLabel *m_batteryPercentLabel = nullptr;
    QStackedWidget *m_stackedWidget = nullptr;
    MainSettingWidget *m_mainSettingWidget = nullptr;
    LightSettingWidget *m_lightSettingWidget = nullptr;
    MacroEditWidget *m_macroEditWidget = nullptr;
    KeySettingDialog *m_keySettingDialog = nullptr;
    DrawDialog *m_drawDialog = nullptr;
    SupportWidget *m_supportWidget = nullptr;
    CloudSyncWidget *m_cloudSyncWidget = nullptr;
    CodeWidget *m_codeWidget = nullptr;
    QSystemTrayIcon *m_trayIcon = nullptr;
    QList<QAction *> m_trayConfigActions; // configurations 1..5 in the tray menu
    WarningDialog *m_warningDialog = nullptr;
    LoadingDialog *m_loadingDialog = nullptr;
    UpdateMouseDialog *m_updateDialog = nullptr;
    NeedDeviceDialog *m_needDeviceDialog = nullptr;
    // The bridge lives on m_dataThread; it is reached only through queued signals.
    DCDataHandle *m_dataHandle = nullptr;
    QThread *m_dataThread = nullptr;
    CheckDevice *m_checkDevice = nullptr;
    // The web service's version answers; the analytics client.
    LastVersion *m_softwareVersionCheck = nullptr;
    LastVersion *m_firmwareVersionCheck = nullptr;
    GAnalytics *m_analytics = nullptr;

    int m_currentConfig = 1;
    bool m_isManualCheck = false;
    bool m_isLoggedIn = false;
    bool m_loginAsked = false; // the cloud page's log-in request was shown this run
    Notifier *m_notifier = nullptr;
    QAction *m_trayMouseAction = nullptr;
    QString m_downloadPath;
    int m_firmwareVersion = 0;
    USHORT m_currentPid = 0;
    int m_batteryTimerId = 0;
    int m_batteryIntervalMs = 3000;
    int m_arrivalCount = 0;
    FirmwareFlow *m_firmwareFlow = nullptr;
    int m_bootMouseType = 0;
    bool m_deviceOpen = false;
    bool m_isWireless = false;
    bool m_pageFillPending = false; // opened; the start-up read has not yet filled the page
    bool m_batteryKnown = false; // a reading came in since the mouse was opened
};
