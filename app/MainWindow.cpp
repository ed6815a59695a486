#include "app/MainWindow.h"

#include "analytics/GAnalytics.h"
#include "app/FirmwareFlow.h"
#include "app/LoadingDialog.h"
#include "app/NeedDeviceDialog.h"
#include "app/Notifier.h"
#include "app/Startup.h"
#include "app/TitleBar.h"
#include "app/UpdateMouseDialog.h"
#include "app/WarningDialog.h"
#include "data/DCDataHandle.h"
#include "device/CheckDevice.h"
#include "device/fwupdate/FirmwareTransfer.h"
#include "model/ProductTable.h"
#include "online/AccountOperations.h"
#include "online/ServiceAddress.h"
#include "pages/CloudSyncWidget.h"
#include "pages/CodeWidget.h"
#include "pages/DrawDialog.h"
#include "pages/KeySettingDialog.h"
#include "pages/LightSettingWidget.h"
#include "pages/MacroEditWidget.h"
#include "pages/MainSettingWidget.h"
#include "pages/SupportWidget.h"
#include "pages/TabOrder.h"
#include "platform/AppPaths.h"
#include "platform/Autostart.h"
#include "platform/Log.h"
#include "platform/PointerSettings.h"
#include "platform/Process.h"
#include "store/JsonHandle.h"
#include "store/OperateToken.h"
#include "store/SettingsFiles.h"
#include "store/TextTable.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QComboBox>
#include <QFileDialog>
#include <QSignalBlocker>
#include <QScreen>
#include <QScrollArea>
#include <QWindow>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStyle>
#include <QThread>
#include <QTimerEvent>
#include <QVBoxLayout>
#include <QVariant>
#include <limits>

namespace {

constexpr int kConfigCount = 5;
const char kUpdaterProgram[] = "KorvanUpdataOnce.exe";
const char kRestarterProgram[] = "TestRestart3.exe";
const char kPicture[] = ":/picture/picture/";
// Warnings that show a message of the caller's: a plain notice, and a failure with its reason.
constexpr int kWarningNotice = 15;
constexpr int kWarningFailedWithReason = 17;

// The battery indicator: the first row holding the value decides.
struct BatteryLook
{
    DWORD from;
    DWORD to;
    const char *image;
    bool showsPercent;
};

const BatteryLook kBatteryLooks[] = {
    {0, 0, "top_icon_battery0.png", false},
    {103, 103, "top_icon_battery0.png", false},  // no valid reading
    {102, 102, "top_icon_charging_full.png", false},
    {101, 101, "top_icon_charging.png", false},
    {81, std::numeric_limits<DWORD>::max(), "top_icon_battery5.png", true},
    {61, 80, "top_icon_battery4.png", true},
    {41, 60, "top_icon_battery3.png", true},
    {21, 40, "top_icon_battery2.png", true},
    {1, 20, "top_icon_battery.png", true},
};

// The caption of configuration n on its profile button and in the tray menu.
QString configCaption(int n)
{
    return TextTable::text(TextTable::TextConfiguration + n);
}

// The picture behind one widget alone: a rule without a selector would also
// reach the widget's tooltip, which would draw its text over the picture.
QString borderImage(const QWidget *widget, const QString &resource)
{
    return QStringLiteral("#%1 { border-image:url(%2); }").arg(widget->objectName(), resource);
}

void repolish(QWidget *widget)
{
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
}

} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    Startup::initResources();
    m_firmwareFlow = new FirmwareFlow(this);
    connect(m_firmwareFlow, &FirmwareFlow::quitNow, this, &MainWindow::exitSoftware);
    buildWidgets();
    createTrayIcon();
    initDesktop();
    createDialogs();
    initMouseDataHandle();
    initCheckDevice();
    initOnline();
    setWindowFlags(Qt::FramelessWindowHint | Qt::Window | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    m_stackedWidget->setCurrentIndex(MainSettingPage);
    SetMenuButtonStyleSheet(MainSettingPage);
    // The window itself holds the keyboard focus at first, so nothing shows
    // a focus edge until Tab is pressed: then the header, the page and the
    // profile bar follow in that order.
    centralWidget()->setFocusPolicy(Qt::ClickFocus);
    centralWidget()->setFocus();
    // Black through the palette: the style sheet (myStyle.qss, which paints
    // the window black too) is set once at start-up. A first sheet set here
    // and replaced later leaves the pages' labels without their colours.
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);

    // A restarter left from a restart has done its work.
    Process::endAll(QLatin1String(kRestarterProgram));
    checkTokenIsExit();
    needDeviceDialogShow();
}

MainWindow::~MainWindow()
{
    // Children hidden while the window is taken apart must not call back into it.
    disconnect(m_updateDialog, nullptr, this, nullptr);
    stopTimeCount();
    if (m_checkDevice)
        m_checkDevice->stopTheTimer();
    // The bridge finishes the request it is running; its thread then deletes it.
    m_dataThread->quit();
    m_dataThread->wait();
    // Pages that never joined the window are nobody's children.
    qDeleteAll(m_deferredPages);
}

// ---------------------------------------------------------------- widgets

void MainWindow::buildWidgets()
{
    setWindowTitle(QStringLiteral("HarrierDriver"));

    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("CentralWidget"));
    setCentralWidget(central);

    m_titleBar = new TitleBar(central);
    m_titleBar->minimumButton()->setToolTip(TextTable::text(TextTable::TextMinimiseTip));
    m_titleBar->minimumButton()->setAccessibleName(TextTable::text(TextTable::TextMinimiseTip));
    m_titleBar->quitButton()->setToolTip(TextTable::text(TextTable::TextCloseTip));
    m_titleBar->quitButton()->setAccessibleName(TextTable::text(TextTable::TextCloseTip));
    connect(m_titleBar->minimumButton(), &QPushButton::clicked, this, &MainWindow::on_minimumButton_clicked);
    connect(m_titleBar->quitButton(), &QPushButton::clicked, this, &MainWindow::on_quitButton_clicked);

    m_stackedWidget = new QStackedWidget(central);
    m_stackedWidget->setObjectName(QStringLiteral("stackedWidget"));
    m_mainSettingWidget = new MainSettingWidget;
    m_lightSettingWidget = new LightSettingWidget;
    m_macroEditWidget = new MacroEditWidget;
    m_supportWidget = new SupportWidget;
    m_cloudSyncWidget = new CloudSyncWidget;
    m_codeWidget = new CodeWidget;
    // The settings page is shown first; the others join the window (in page
    // order, so each sits at its fixed index) once it is on screen, so the
    // style sheet is not applied to them before the window can be seen.
    m_stackedWidget->addWidget(m_mainSettingWidget);
    m_deferredPages = {m_lightSettingWidget, m_macroEditWidget, m_supportWidget, m_cloudSyncWidget, m_codeWidget};

    // The pages keep their designed size; on a screen too small for it (a
    // large scale factor) the window shrinks to the screen and the content
    // scrolls under the title bar, which stays in view.
    m_content = new QWidget;
    m_content->setObjectName(QStringLiteral("WindowContent"));
    m_content->setFixedSize(kWindowSize.width(), kWindowSize.height() - m_titleBar->height());
    auto *content = new QVBoxLayout(m_content);
    content->setContentsMargins(0, 0, 0, 0);
    content->setSpacing(0);
    content->addWidget(buildHeader());
    content->addWidget(m_stackedWidget, 1);
    content->addWidget(buildFooter());
    m_contentScroll = new QScrollArea(central);
    m_contentScroll->setObjectName(QStringLiteral("WindowScrollArea"));
    m_contentScroll->setFrameShape(QFrame::NoFrame);
    m_contentScroll->setWidget(m_content);

    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_titleBar);
    layout->addWidget(m_contentScroll, 1);
    fitToScreen();

    connect(m_supportWidget, &SupportWidget::sig_CheckSoftwareVersion, this, [this] {
        m_isManualCheck = true;
        m_supportWidget->setUpdateButtonEnabled(false);
        sendEvent(QStringLiteral("CheckSoftwareVersion"));
        emit sig_CheckLastSoftwareVersion(QStringLiteral("harrier"));
    });
    connect(m_supportWidget, &SupportWidget::sig_ShowFirmwareUpdate, this,
            [this] { showFirmwareUpdateForOpenMouse(true, false); });
    connect(m_supportWidget, &SupportWidget::sig_GoToMatchCode, this, &MainWindow::slot_GoToMatchCodePage);
    MainSettingWidget *settings = m_mainSettingWidget;
    connect(settings, &MainSettingWidget::sig_SetPointSpeed, this, &MainWindow::slot_SetSysPointSpeed);
    connect(settings, &MainSettingWidget::sig_SetTrolleySpeed, this, &MainWindow::slot_SetSysTrolleyValue);
    connect(settings, &MainSettingWidget::sig_showKeySettingDialog, this, &MainWindow::slot_showKeySettingDialog);
    connect(settings, &MainSettingWidget::sig_showDrawDialog, this, &MainWindow::slot_showDrawDialog);
    connect(settings, &MainSettingWidget::sig_SendEventMessageToGA, this, &MainWindow::sig_SendEventMessageToGA);
    connect(m_codeWidget, &CodeWidget::sig_startCode, this, &MainWindow::sig_startCode);
    connect(m_codeWidget, &CodeWidget::sig_stopCode, this, &MainWindow::slot_stopCode);
    connect(m_codeWidget, &CodeWidget::sig_SendUIEventMessageToGA, this, &MainWindow::sig_SendEventMessageToGA);
    connect(m_lightSettingWidget, &LightSettingWidget::sig_SendEventMessageToGA, this,
            &MainWindow::sig_SendEventMessageToGA);
}

QWidget *MainWindow::buildHeader()
{
    m_header = new QWidget;
    m_header->setObjectName(QStringLiteral("HeaderWidget"));
    m_header->setAttribute(Qt::WA_StyledBackground);
    m_header->setFixedHeight(64);

    m_logoLabel = new QLabel(m_header);
    m_logoLabel->setObjectName(QStringLiteral("LogoLabel"));
    m_logoLabel->setFixedSize(160, 32);

    const struct { const char *name; int text; void (MainWindow::*clicked)(); } pages[] = {
        {"MainSettingButton", TextTable::TextPageMainSetting, &MainWindow::on_MainSettingButton_clicked},
        {"LightSettingButton", TextTable::TextPageLightSetting, &MainWindow::on_LightSettingButton_clicked},
        {"MacroEditButton", TextTable::TextPageMacroEdit, &MainWindow::on_MacroEditButton_clicked},
        {"SupportButton", TextTable::TextPageSupport, &MainWindow::on_SupportButton_clicked},
        {"CloudSyncButton", TextTable::TextPageCloudSync, &MainWindow::on_CloudSyncButton_clicked},
    };
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(4);
    for (const auto &page : pages) {
        auto *button = new QPushButton(TextTable::text(page.text), m_header);
        button->setObjectName(QLatin1String(page.name));
        button->setProperty("pageButton", true);
        button->setCursor(Qt::PointingHandCursor);
        button->setFocusPolicy(Qt::TabFocus);
        button->setMinimumWidth(96);
        button->setFixedHeight(64);
        connect(button, &QPushButton::clicked, this, page.clicked);
        m_pageButtons.append(button);
        buttons->addWidget(button);
    }

    m_wireStateLabel = new QLabel(m_header);
    m_wireStateLabel->setObjectName(QStringLiteral("WireStateLabel"));
    m_wireStateLabel->setFixedSize(24, 24);
    m_wireStateLabel->hide();
    m_batteryLabel = new QLabel(m_header);
    m_batteryLabel->setObjectName(QStringLiteral("BatteryLabel"));
    m_batteryLabel->setFixedSize(32, 16);
    m_batteryPercentLabel = new QLabel(m_header);
    m_batteryPercentLabel->setObjectName(QStringLiteral("BatteryPercentLabel"));
    m_batteryPercentLabel->setFixedWidth(36);
    m_batteryLabel->hide();
    m_batteryPercentLabel->hide();

    // As wide as the logo, so the page buttons stay centred whatever it shows.
    auto *indicators = new QWidget(m_header);
    indicators->setFixedWidth(m_logoLabel->width());
    auto *right = new QHBoxLayout(indicators);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(8);
    right->addStretch();
    right->addWidget(m_wireStateLabel);
    right->addWidget(m_batteryLabel);
    right->addWidget(m_batteryPercentLabel);

    auto *layout = new QHBoxLayout(m_header);
    layout->setContentsMargins(24, 0, 24, 0);
    layout->setSpacing(10);
    layout->addWidget(m_logoLabel);
    layout->addStretch();
    layout->addLayout(buttons);
    layout->addStretch();
    layout->addWidget(indicators);
    return m_header;
}

QWidget *MainWindow::buildFooter()
{
    auto *footer = new QWidget;
    m_footer = footer;
    footer->setObjectName(QStringLiteral("FooterWidget"));
    footer->setAttribute(Qt::WA_StyledBackground);
    footer->setFixedHeight(72);

    auto *layout = new QHBoxLayout(footer);
    layout->setContentsMargins(24, 0, 24, 0);
    layout->setSpacing(10);
    void (MainWindow::*clicked[kConfigCount])() = {
        &MainWindow::on_ConfigureButton_1_clicked, &MainWindow::on_ConfigureButton_2_clicked,
        &MainWindow::on_ConfigureButton_3_clicked, &MainWindow::on_ConfigureButton_4_clicked,
        &MainWindow::on_ConfigureButton_5_clicked,
    };
    for (int n = 1; n <= kConfigCount; ++n) {
        auto *button = new QPushButton(configCaption(n), footer);
        button->setObjectName(QStringLiteral("ConfigureButton_%1").arg(n));
        button->setProperty("configButton", true);
        button->setCursor(Qt::PointingHandCursor);
        button->setFocusPolicy(Qt::TabFocus);
        button->setFixedSize(120, 40);
        connect(button, &QPushButton::clicked, this, clicked[n - 1]);
        button->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(button, &QPushButton::customContextMenuRequested, this,
                [this, button, n](const QPoint &pos) { showConfigMenu(n, button->mapToGlobal(pos)); });
        m_configButtons.append(button);
        layout->addWidget(button);
    }
    layout->addStretch();

    m_resetButton = new QPushButton(TextTable::text(TextTable::TextRestoreFactory), footer);
    m_resetButton->setObjectName(QStringLiteral("ResetToOriginalButton"));
    m_resetButton->setCursor(Qt::PointingHandCursor);
    m_resetButton->setFocusPolicy(Qt::TabFocus);
    m_resetButton->setFixedHeight(40);
    m_resetButton->setMinimumWidth(150);
    connect(m_resetButton, &QPushButton::clicked, this, &MainWindow::on_ResetToOriginalButton_clicked);
    layout->addWidget(m_resetButton);

    showCurrentConfigButton(m_currentConfig);
    return footer;
}

void MainWindow::createTrayIcon()
{
    m_trayIcon = new QSystemTrayIcon(QIcon(QStringLiteral(":/icon/picture/128-128.png")), this);
    m_trayIcon->setToolTip(QStringLiteral("HarrierDriver"));
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &MainWindow::on_activatedSysTrayIcon);

    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("TrayMenu"));
    QAction *showAction = menu->addAction(TextTable::text(TextTable::TextTrayShow));
    showAction->setObjectName(QStringLiteral("TrayShowAction"));
    connect(showAction, &QAction::triggered, this, [this] {
        raise();
        showNormal();
    });
    // The five configurations, as the profile buttons offer them: choosing
    // one loads it into the mouse, and the mark follows the mouse's own.
    menu->addSeparator();
    // Which mouse the configurations below belong to (several may be present).
    m_trayMouseAction = menu->addAction(QString());
    m_trayMouseAction->setObjectName(QStringLiteral("TrayMouseAction"));
    m_trayMouseAction->setEnabled(false);
    m_trayMouseAction->setVisible(false);
    auto *configs = new QActionGroup(menu);
    for (int n = 1; n <= kConfigCount; ++n) {
        QAction *action = menu->addAction(configCaption(n));
        action->setObjectName(QStringLiteral("TrayConfigAction_%1").arg(n));
        action->setCheckable(true);
        action->setActionGroup(configs);
        action->setChecked(n == m_currentConfig);
        connect(action, &QAction::triggered, this, [this, n] { setCurrentConfigure(n); });
        m_trayConfigActions.append(action);
    }
    menu->addSeparator();
    QAction *exitAction = menu->addAction(TextTable::text(TextTable::TextTrayExit));
    exitAction->setObjectName(QStringLiteral("TrayExitAction"));
    connect(exitAction, &QAction::triggered, this, &MainWindow::exitSoftware);
    m_trayIcon->setContextMenu(menu);
    if (QSystemTrayIcon::isSystemTrayAvailable())
        m_trayIcon->setVisible(true);
    describeCloseButton();
}

void MainWindow::initDesktop()
{
    m_notifier = new Notifier(m_trayIcon, this);
    m_notifier->setEnabled(SettingsFiles::notificationsEnabled());
    connect(m_firmwareFlow, &FirmwareFlow::stateChanged, m_notifier, [this](FirmwareFlow::State state) {
        using State = FirmwareFlow::State;
        // "Updating the firmware, do not unplug" no longer holds once the
        // transfer is over: it goes, so the result is what the user sees,
        // before the desktop is told. A refusal is said by its own box alone.
        if (state == State::Verifying || state == State::Done || state == State::Failed || state == State::Refused)
            m_warningDialog->withdraw(FirmwareFlow::kWarningUpdateStarting);
        // The result's box is shown by the same warning a moment later in
        // this turn of the event loop: the desktop hears of it after that.
        if (state == State::Done || state == State::Failed)
            QTimer::singleShot(0, m_notifier, [this, state] { m_notifier->firmwareUpdateEnded(state == State::Done); });
    });
    m_supportWidget->setNotificationsEnabled(m_notifier->isEnabled());
    m_supportWidget->setAutostartEnabled(Autostart::isEnabled());
    connect(m_supportWidget, &SupportWidget::sig_NotificationsChanged, this, [this](bool enabled) {
        m_notifier->setEnabled(enabled);
        SettingsFiles::setNotificationsEnabled(enabled);
    });
    connect(m_supportWidget, &SupportWidget::sig_AutostartChanged, this, [this](bool enabled) {
        QString why;
        if (!Autostart::setEnabled(enabled, Autostart::programBesideThisOne(), &why))
            qCWarning(lcApp).noquote() << "autostart could not be changed:" << why;
        m_supportWidget->setAutostartEnabled(Autostart::isEnabled());
    });
}

void MainWindow::createDialogs()
{
    m_loadingDialog = new LoadingDialog(centralWidget());
    m_warningDialog = new WarningDialog(this);
    m_updateDialog = new UpdateMouseDialog(centralWidget());
    m_updateDialog->hide();
    m_needDeviceDialog = new NeedDeviceDialog(this);
    connect(m_needDeviceDialog, &NeedDeviceDialog::sig_closeWindow, this, &MainWindow::slot_needDeviceDialogClienk);
    connect(m_needDeviceDialog, &NeedDeviceDialog::sig_ShowUpdateWidget, this,
            &MainWindow::slot_ShowUpdateFirmwareWidget);
    // The overlay gives way to the update view and comes back when it closes.
    connect(m_updateDialog, &UpdateMouseDialog::sig_Closed, this, &MainWindow::showNeedDeviceDialogIfNoDevice);

    connect(this, &MainWindow::sig_WarningTypeOnMainWindow, this, &MainWindow::slot_showWarningDialog);
    connect(this, &MainWindow::sig_ShowWarningWidgetWithSpecifyMessage, this,
            &MainWindow::slot_showWarningDialogWithSpecifyMessage);
    connect(this, &MainWindow::sig_RemoveReloadWidget, m_loadingDialog, &LoadingDialog::slot_End);
    connect(this, &MainWindow::sig_RemoveWarningWidget, m_warningDialog, &WarningDialog::removeAll);

    m_keySettingDialog = new KeySettingDialog(this);
    m_keySettingDialog->hide();
    connect(m_keySettingDialog, &KeySettingDialog::sig_ShowWarningDialog, this, &MainWindow::slot_showWarningDialog);
    connect(this, &MainWindow::sig_CloseKeySettingDialog, m_keySettingDialog, &QDialog::close);
    m_drawDialog = new DrawDialog(this);
    m_drawDialog->hide();
    connect(m_drawDialog, &DrawDialog::sig_WarningTypeOnMainWindow, this, &MainWindow::slot_showWarningDialog);
    connect(m_drawDialog, &DrawDialog::sig_SendEventMessageToGA, this, &MainWindow::sig_SendEventMessageToGA);
    // A screen picture for a mouse that went away has nowhere to go.
    connect(this, &MainWindow::sig_CloseKeySettingDialog, m_drawDialog, &QDialog::close);
    connect(m_macroEditWidget, &MacroEditWidget::sig_ShowWarningWidgetOnMacroEditWidget, this,
            &MainWindow::slot_showWarningDialog);
    // No page change while a macro is being recorded.
    connect(m_macroEditWidget, &MacroEditWidget::sig_BanClickTopButton, this,
            [this](bool state, bool) { slot_SetHeaderButtonEnabled(!state); });

    WarningDialog *w = m_warningDialog;
    connect(w, &WarningDialog::sig_ResetMouseToOriginal, this, &MainWindow::slot_ResetMouseToOriginal);
    connect(w, &WarningDialog::sig_QuitUser, this, &MainWindow::slot_quitUser);
    connect(w, &WarningDialog::sig_UpdateButtonEnable, this, &MainWindow::sig_UpdateButtonEnable);
    connect(w, &WarningDialog::sig_exitSoftware, this, &MainWindow::exitSoftware);
    connect(w, &WarningDialog::sig_ShowUpdateWidget, this, [this] { showFirmwareUpdateForOpenMouse(true, false); });
    connect(w, &WarningDialog::sig_GoToMatchCodePage, this, &MainWindow::slot_GoToMatchCodePage);
    connect(w, &WarningDialog::sig_DownloadAndUpdateFirmwareNow, this,
            [this] { showFirmwareUpdateForOpenMouse(false, true); });
    connect(w, &WarningDialog::sig_GoToSupportWidget, this, [this] { showPage(SupportPage); });
    connect(w, &WarningDialog::sig_UpdateFirmwareNow, this, &MainWindow::sig_UpdateFirmwareNow);
    connect(w, &WarningDialog::sig_UpdateFirmwareNow_Tern, this, &MainWindow::sig_UpdateFirmwareNow_Tern);
    connect(w, &WarningDialog::sig_RestartSoftware, this, &MainWindow::slot_startWattingProcess);
    connect(w, &WarningDialog::sig_ConfigRevcover, this, &MainWindow::slot_ShowCurrentConfigButton);
    connect(w, &WarningDialog::sig_SendEventMessageToGA, this, &MainWindow::sig_SendEventMessageToGA);

    UpdateMouseDialog *u = m_updateDialog;
    connect(this, &MainWindow::sig_UpdateFirmwareNow, u, &UpdateMouseDialog::startUpdate);
    connect(this, &MainWindow::sig_UpdateFirmwareNow_Tern, u, &UpdateMouseDialog::startUpdate);
    connect(this, &MainWindow::sig_UpdateButtonEnable, u, &UpdateMouseDialog::slot_EnableUpdateButton);
    connect(this, &MainWindow::sig_CloseUpdateMouseDialog, u, &UpdateMouseDialog::hide);
    connect(u, &UpdateMouseDialog::sig_UpdateFirmwareKorvan, m_firmwareFlow, &FirmwareFlow::updateRequested);
    connect(u, &UpdateMouseDialog::sig_SendEventMessageToGA, this, &MainWindow::sig_SendEventMessageToGA);
}

void MainWindow::initMouseDataHandle()
{
    DCDataHandle::registerMetaTypes();
    m_dataHandle = new DCDataHandle;
    m_dataHandle->setFirmwareTransferMaker(FirmwareTransfers::shipped());
    m_dataThread = new QThread(this);
    m_dataThread->setObjectName(QStringLiteral("DCDataHandle"));
    m_dataHandle->moveToThread(m_dataThread);
    connect(m_dataThread, &QThread::finished, m_dataHandle, &QObject::deleteLater);

    DCDataHandle *h = m_dataHandle;
    connect(this, &MainWindow::sig_ExportConfiguration, h, &DCDataHandle::slot_ExportConfiguration);
    connect(this, &MainWindow::sig_ImportConfiguration, h, &DCDataHandle::slot_ImportConfiguration);
    const auto tell = [this](bool ok, const QString &message) {
        slot_showWarningDialogWithSpecifyMessage(ok ? kWarningNotice : kWarningFailedWithReason, message);
    };
    connect(h, &DCDataHandle::sig_ConfigurationExported, this, tell);
    connect(h, &DCDataHandle::sig_ConfigurationImported, this, tell);
    // Each page connects its own requests and answers.
    for (BridgePage *page : std::initializer_list<BridgePage *>{m_mainSettingWidget, m_lightSettingWidget,
                                                                m_macroEditWidget, m_supportWidget,
                                                                m_cloudSyncWidget, m_codeWidget,
                                                                m_keySettingDialog, m_drawDialog})
        page->connectBridge(h);
    // Requests: every one crosses to the worker thread as a queued call.
    connect(this, &MainWindow::sig_OpenDevice, h,
            [h](uint pid, uint vid) { h->slot_OpenDevice(USHORT(pid), USHORT(vid)); });
    connect(this, &MainWindow::sig_GetBatteryPower, h, &DCDataHandle::slot_GetBatteryPower);
    connect(this, &MainWindow::sig_LoadFileAndeWriteIntoMouse, h,
            &DCDataHandle::slot_LoadLocalConfigFileAndWriteIntoMouse, Qt::QueuedConnection);
    connect(this, &MainWindow::sig_LoadOnlyMouseFileIntoMouse, h,
            &DCDataHandle::slot_LoadOnlyLocalMouseConfigFileAndWriteIntoMouse, Qt::QueuedConnection);
    connect(this, &MainWindow::sig_LoadCurrentConfigImage, h, &DCDataHandle::slot_WriteImageToMouse);
    connect(this, &MainWindow::sig_ResetAllConfigFile, h, &DCDataHandle::slot_ResetConfigToOriginal);
    connect(this, &MainWindow::sig_DissMissAllThings, h, &DCDataHandle::destroyUselessThings);
    connect(this, &MainWindow::sig_startCode, h, &DCDataHandle::slot_startCode);
    connect(this, &MainWindow::sig_stopCode, h, &DCDataHandle::slot_stopCode);
    connect(m_warningDialog, &WarningDialog::sig_GetMouseProfileAgain, h, &DCDataHandle::slot_GetProfileFromMouse);
    connect(m_warningDialog, &WarningDialog::sig_OpenMouseAgain, h, &DCDataHandle::slot_OpenDeviceAgain);
    connect(m_warningDialog, &WarningDialog::sig_SaveCurrentProfileFileToConfig1, h,
            &DCDataHandle::slot_SaveProfileToConfig1);
    connect(m_warningDialog, &WarningDialog::sig_ChangeConfiFileBeforeStartToUploadFile, h,
            &DCDataHandle::slot_TurnNewFileToOldFile);
    // The text files exist for the upload alone; left behind, they would be
    // taken for an older configuration at the next start.
    connect(this, &MainWindow::sig_UploadFinished, h, &DCDataHandle::slot_removeOldTxtFile);
    connect(m_updateDialog, &UpdateMouseDialog::sig_UpdateFirmwareKorvan, h, &DCDataHandle::slot_UpdateFirmwareKorvan);

    // Answers.
    connect(h, &DCDataHandle::sig_OpenDeviceResult, this, &MainWindow::slot_OpenDeviceResult);
    // A mouse that is there but cannot be opened says why, and where the
    // cause is the node's permission, what to do about it.
    connect(h, &DCDataHandle::sig_FactorySettingsRestored, this, [this] {
        slot_showWarningDialogWithSpecifyMessage(kWarningNotice, TextTable::text(TextTable::TextFactoryRestored));
    });
    connect(h, &DCDataHandle::sig_DeviceCannotOpen, this, [this](bool permission, const QString &reason) {
        const QString message = permission ? TextTable::textWith(TextTable::TextCannotOpenPermission, reason)
                                           : TextTable::textWith(TextTable::TextCannotOpen, reason);
        slot_showWarningDialogWithSpecifyMessage(kWarningFailedWithReason, message);
    });
    connect(h, &DCDataHandle::sig_ShowWarningDialog, this, &MainWindow::slot_showWarningDialog);
    connect(h, &DCDataHandle::sig_BatteryPower, this, &MainWindow::slot_BatteryPower);
    connect(h, &DCDataHandle::sig_BatteryPower, m_notifier, &Notifier::batteryValue);
    connect(h, &DCDataHandle::sig_VersionNumber, this, &MainWindow::slot_GetCurrentFirmVersion);
    connect(h, &DCDataHandle::sig_SetCurrentConfigure, this, &MainWindow::showCurrentConfigButton);
    connect(h, &DCDataHandle::sig_RemoveReloadWidget, m_loadingDialog, &LoadingDialog::slot_End);
    connect(h, &DCDataHandle::sig_ShowLoadingDialog, m_loadingDialog, &LoadingDialog::slot_Show);
    connect(h, &DCDataHandle::sig_EndLoadingDialog, m_loadingDialog, &LoadingDialog::slot_End);
    // Said once per open: the start-up bench times the program by this line.
    connect(h, &DCDataHandle::sig_EndLoadingDialog, this, [this] {
        if (m_deviceOpen && m_pageFillPending) {
            m_pageFillPending = false;
            setPagesTakeInput(true);
            qCInfo(lcApp) << "settings page filled";
        }
    });
    connect(h, &DCDataHandle::sig_startCode, this, &MainWindow::slot_startCode);
    connect(h, &DCDataHandle::sig_finishCode, this, &MainWindow::slot_finishCode);
    connect(h, &DCDataHandle::sig_ShowWarningDialog, m_firmwareFlow, &FirmwareFlow::warningRaised);
    connect(h, &DCDataHandle::sig_closeUpdatingWidget, this, [this] {
        m_updateDialog->slot_UpdateFinished();
        m_firmwareFlow->transferEnded();
    });
    connect(h, &DCDataHandle::sig_ProcessVaule, m_updateDialog, &UpdateMouseDialog::slot_ProcessValue);
    connect(h, &DCDataHandle::sig_CloseUpdateMouseDialog, this, &MainWindow::sig_CloseUpdateMouseDialog);
    connect(h, &DCDataHandle::sig_ShowUpdateWidget, this, &MainWindow::slot_ShowUpdateFirmwareWidget);
    connect(h, &DCDataHandle::sig_SendOperationEventMessageToGA, this, &MainWindow::sig_SendEventMessageToGA);
    connect(h, &DCDataHandle::sig_StartToUploadFile, this, &MainWindow::slot_StartToUploadFile);

    m_dataThread->start(QThread::InheritPriority);
}

void MainWindow::initCheckDevice()
{
    m_checkDevice = new CheckDevice(this);
    connect(m_checkDevice, &CheckDevice::sigFound, this, &MainWindow::slot_WarningDeviceNotInsert);
    connect(m_checkDevice, &CheckDevice::sigMiceChanged, this, &MainWindow::showMouseChoice);
    QComboBox *chooser = m_titleBar->mouseChooser();
    chooser->setAccessibleName(TextTable::text(TextTable::TextChooserName));
    connect(chooser, qOverload<int>(&QComboBox::activated), this, [this, chooser](int index) {
        const auto pid = USHORT(chooser->itemData(index).toUInt());
        if (pid == 0 || (m_deviceOpen && pid == m_currentPid))
            return;
        // The mouse open now is reported gone and the chosen one found: the
        // bridge closes the first after what it is still writing, then opens
        // the other with its own profiles.
        // The pages still show the old mouse's values: a click now would be
        // taken for the new one. They take input again once it is read.
        setPagesTakeInput(false);
        m_checkDevice->setPreferredPid(pid);
        m_checkDevice->checkDeviceOnce();
    });
    connect(m_checkDevice, &CheckDevice::sigBlootDescriptor, this,
            [this](int mouseType) { m_bootMouseType = mouseType; });
    connect(m_dataHandle, &DCDataHandle::sig_StartCheckDeviceTimer, m_checkDevice, &CheckDevice::startTheTimer);
    connect(m_dataHandle, &DCDataHandle::sig_StopCheckDeviceTimer, m_checkDevice, &CheckDevice::stopTheTimer);
}

void MainWindow::initOnline()
{
    CloudSyncWidget *cloud = m_cloudSyncWidget;
    connect(cloud, &CloudSyncWidget::sig_ShowWarningDialogOnCloudSyncWidget, this,
            &MainWindow::slot_showWarningDialogWithSpecifyMessage);
    connect(cloud, &CloudSyncWidget::sig_LoginStateChanged, this, [this](bool loggedIn) { m_isLoggedIn = loggedIn; });
    connect(cloud, &CloudSyncWidget::sig_LoadConfigFileAfterDownloadSucced, this,
            [this] { slot_LoadConfigFileAfterDownloadSucced(m_currentConfig); });
    // The transfers pump events while they wait: start them once the warning's click is over.
    connect(m_warningDialog, &WarningDialog::sig_StarToDownloadFile, cloud, &CloudSyncWidget::slot_StartDownload,
            Qt::QueuedConnection);
    connect(this, &MainWindow::sig_TurnOldTxtFileToNewJsonFile, m_dataHandle,
            &DCDataHandle::slot_TurnOldTxtFileToNewJsonFile);

    m_softwareVersionCheck = new LastVersion(this);
    connect(this, &MainWindow::sig_CheckLastSoftwareVersion, m_softwareVersionCheck,
            &LastVersion::KvLastSoftwareVersionJson);
    connect(m_softwareVersionCheck, &LastVersion::sigLastVersionRet, this, &MainWindow::slot_LastSoftWareVersionRet);
    m_firmwareVersionCheck = new LastVersion(this);
    connect(m_firmwareVersionCheck, &LastVersion::sigLastVersionRet, this,
            [this](int rCode, QString rMsg, QString version, QString path, QString) {
                slot_LastFirmWareVersionRet(rCode, rMsg, version, path);
            });

    // Every page that reports usage events feeds the analytics client.
    m_analytics = new GAnalytics(this);
    connect(this, &MainWindow::sig_SendEventMessageToGA, m_analytics, &GAnalytics::slot_SendEventMessageToGA);
    const QList<QWidget *> pages = QList<QWidget *>{m_mainSettingWidget} + m_deferredPages;
    for (QWidget *page : pages) {
        if (page->metaObject()->indexOfSignal("sig_SendEventMessageToGA(QString,QString,QString,QString)") >= 0)
            connect(page, SIGNAL(sig_SendEventMessageToGA(QString, QString, QString, QString)), m_analytics,
                    SLOT(slot_SendEventMessageToGA(QString, QString, QString, QString)));
    }
}

// ---------------------------------------------------------------- pages

void MainWindow::SetMenuButtonStyleSheet(int button)
{
    for (int i = 0; i < m_pageButtons.size(); ++i) {
        QPushButton *b = m_pageButtons.at(i);
        b->setProperty("selected", i == button);
        repolish(b);
    }
}

void MainWindow::attachDeferredPages()
{
    if (m_deferredPages.isEmpty())
        return;
    for (QWidget *page : qAsConst(m_deferredPages))
        m_stackedWidget->addWidget(page);
    m_deferredPages.clear();
    orderTabStops();
}

void MainWindow::orderTabStops()
{
    // Pages that join later would come after the profile bar in the focus
    // chain: Tab goes title bar, header, pages in their order, profile bar instead.
    QList<QWidget *> chain;
    for (QWidget *w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain())
        chain << w;
    QList<QWidget *> areas{m_titleBar, m_header};
    for (int i = 0; i < m_stackedWidget->count(); ++i)
        areas << m_stackedWidget->widget(i);
    areas << m_footer;
    QList<QWidget *> stops;
    for (QWidget *area : qAsConst(areas)) {
        for (QWidget *w : qAsConst(chain)) {
            if (!(w->focusPolicy() & Qt::TabFocus) || !area->isAncestorOf(w))
                continue;
            // A field inside a compound control moves with it.
            bool inner = false;
            for (QWidget *p = w->parentWidget(); p && p != area; p = p->parentWidget())
                inner = inner || (p->focusPolicy() & Qt::TabFocus);
            if (!inner)
                stops << w;
        }
    }
    chainTabOrder(stops);
}

void MainWindow::startPresence()
{
    m_checkDevice->checkDeviceOnce();
}

void MainWindow::showPage(int page)
{
    if (page != MainSettingPage)
        attachDeferredPages();
    m_stackedWidget->setCurrentIndex(page);
    SetMenuButtonStyleSheet(page);
}

void MainWindow::setHeaderVisible(bool visible)
{
    for (QPushButton *button : qAsConst(m_pageButtons))
        button->setVisible(visible);
}

void MainWindow::on_MainSettingButton_clicked()
{
    sendEvent(QStringLiteral("MainSettingButton"));
    showPage(MainSettingPage);
}

void MainWindow::on_LightSettingButton_clicked()
{
    sendEvent(QStringLiteral("LightSettingButton"));
    showPage(LightSettingPage);
}

void MainWindow::on_MacroEditButton_clicked()
{
    sendEvent(QStringLiteral("MacroEditButton"));
    m_macroEditWidget->reloadLists();
    showPage(MacroEditPage);
}

void MainWindow::on_SupportButton_clicked()
{
    sendEvent(QStringLiteral("SupportButton"));
    showPage(SupportPage);
}

void MainWindow::on_CloudSyncButton_clicked()
{
    sendEvent(QStringLiteral("CloudSyncButton"));
    showPage(CloudSyncPage);
    // The page itself says when cloud sync is not set up; asking to log in
    // is worth a dialog only where a service is configured, and once a run.
    if (!m_isLoggedIn && !m_loginAsked && ServiceAddress::status() == ServiceAddress::Status::Ok) {
        m_loginAsked = true;
        slot_showWarningDialog(10);
    }
}

void MainWindow::slot_GoToMatchCodePage()
{
    m_codeWidget->showCodeStep(0);
    showPage(MatchCodePage);
    setHeaderVisible(false);
}

void MainWindow::slot_stopCode()
{
    if (m_stackedWidget->currentIndex() != MatchCodePage)
        return;
    emit sig_stopCode();
    m_codeWidget->showCodeStep(0);
    showPage(SupportPage);
    setHeaderVisible(true);
}

void MainWindow::slot_startCode(bool started)
{
    qDebug() << "slot_startCode" << started;
    m_codeWidget->showCodeStep(started ? 1 : 0);
    if (!started)
        slot_showWarningDialog(45);
}

void MainWindow::slot_finishCode(bool paired)
{
    qDebug() << "slot_finishCode" << paired;
    m_codeWidget->showCodeStep(0);
    if (m_stackedWidget->currentIndex() == MatchCodePage) {
        showPage(SupportPage);
        setHeaderVisible(true);
    }
    slot_showWarningDialog(paired ? 46 : 42);
}

void MainWindow::slot_BanTopButtonClick(bool state, bool isTransparent)
{
    qDebug() << "slot_BanTopButtonClick" << state << isTransparent;
    for (QPushButton *button : qAsConst(m_pageButtons))
        button->setEnabled(!state);
    for (QPushButton *button : qAsConst(m_configButtons))
        button->setEnabled(!state);
    m_resetButton->setEnabled(!state);
}

void MainWindow::slot_SetHeaderButtonEnabled(bool state)
{
    for (QPushButton *button : qAsConst(m_pageButtons))
        button->setEnabled(state);
}

void MainWindow::slot_SetSysPointSpeed(int value)
{
    qDebug() << "slot_SetSysPointSpeed" << value;
    if (!PointerSettings::system().setPointerSpeed(value))
        qWarning() << "slot_SetSysPointSpeed not applied" << value;
}

void MainWindow::slot_SetSysTrolleyValue(int value)
{
    qDebug() << "slot_SetSysTrolleyValue" << value;
    if (!PointerSettings::system().setWheelLines(value))
        qWarning() << "slot_SetSysTrolleyValue not applied" << value;
}

void MainWindow::slot_showKeySettingDialog(int changedButton, int buttonChangeType, int buttonTrueValue,
                                           int modifyKeyValue)
{
    qDebug() << "slot_showKeySettingDialog" << changedButton << buttonChangeType << buttonTrueValue
             << modifyKeyValue;
    m_keySettingDialog->setMouseType(MouseType::current());
    m_keySettingDialog->setButton(changedButton);
    m_keySettingDialog->setTrueMouseValue(buttonChangeType, buttonTrueValue, modifyKeyValue);
    m_keySettingDialog->show();
}

void MainWindow::slot_showDrawDialog()
{
    qDebug() << "slot_showDrawDialog" << MouseType::current() << m_currentConfig;
    m_drawDialog->initDrawDialog(MouseType::current(), m_currentConfig);
    m_drawDialog->move(geometry().center() - m_drawDialog->rect().center());
    m_drawDialog->show();
}

// ---------------------------------------------------------------- profiles

void MainWindow::on_ConfigureButton_1_clicked() { setCurrentConfigure(1); }
void MainWindow::on_ConfigureButton_2_clicked() { setCurrentConfigure(2); }
void MainWindow::on_ConfigureButton_3_clicked() { setCurrentConfigure(3); }
void MainWindow::on_ConfigureButton_4_clicked() { setCurrentConfigure(4); }
void MainWindow::on_ConfigureButton_5_clicked() { setCurrentConfigure(5); }

void MainWindow::setCurrentConfigure(int configNumber)
{
    sendEvent(QStringLiteral("ConfigureButton"), TextTable::text(TextTable::TextConfiguration + configNumber));
    setCurrentConfigButton(configNumber);
}

void MainWindow::showConfigMenu(int configNumber, const QPoint &globalPos)
{
    if (!m_configMenu) {
        m_configMenu = new QMenu(this);
        m_configMenu->setObjectName(QStringLiteral("ConfigMenu"));
        QAction *exporting = m_configMenu->addAction(TextTable::text(TextTable::TextConfigExport));
        exporting->setObjectName(QStringLiteral("ExportConfigAction"));
        connect(exporting, &QAction::triggered, this, [this] { exportConfiguration(m_configMenuNumber); });
        QAction *importing = m_configMenu->addAction(TextTable::text(TextTable::TextConfigImport));
        importing->setObjectName(QStringLiteral("ImportConfigAction"));
        connect(importing, &QAction::triggered, this, [this] { importConfiguration(m_configMenuNumber); });
    }
    // Both work on the open mouse's model.
    if (!m_deviceOpen)
        return;
    m_configMenuNumber = configNumber;
    m_configMenu->popup(globalPos);
}

void MainWindow::exportConfiguration(int configNumber)
{
    // A configuration never saved has nothing to export: say so before asking
    // for a file name (the one the mouse holds is written down on export).
    const int mouseType = MouseType::current();
    if (configNumber != m_currentConfig
        && !QFile::exists(JsonHandle::currentConfigJsonFilePath(mouseType, configNumber))) {
        slot_showWarningDialogWithSpecifyMessage(
            kWarningFailedWithReason,
            TextTable::textWith(TextTable::TextConfigNothingToExport, QString::number(configNumber)));
        return;
    }
    const QString suggested = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                                  .filePath(QStringLiteral("%1-%2.hdconf")
                                                .arg(Products::modelName(MouseType::current()))
                                                .arg(configNumber));
    QString path = QFileDialog::getSaveFileName(this, TextTable::textWith(TextTable::TextConfigExportTitle,
                                                                          QString::number(configNumber)),
                                                suggested, TextTable::text(TextTable::TextConfigFileFilter), nullptr,
                                                QFileDialog::DontUseNativeDialog);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".hdconf");
    emit sig_ExportConfiguration(configNumber, path);
}

void MainWindow::importConfiguration(int configNumber)
{
    const QString path = QFileDialog::getOpenFileName(
        this, TextTable::textWith(TextTable::TextConfigImportTitle, QString::number(configNumber)),
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
        TextTable::text(TextTable::TextConfigFileFilter), nullptr, QFileDialog::DontUseNativeDialog);
    if (!path.isEmpty())
        emit sig_ImportConfiguration(configNumber, path);
}

void MainWindow::showCurrentConfigButton(int configNumber)
{
    if (configNumber < 1 || configNumber > kConfigCount) {
        qWarning() << "showCurrentConfigButton out of range" << configNumber;
        return;
    }
    m_currentConfig = configNumber;
    m_mainSettingWidget->setCurrentConfigNumber(configNumber);
    for (int n = 1; n <= kConfigCount; ++n) {
        QPushButton *button = m_configButtons.at(n - 1);
        const QString look = n < kConfigCount ? QStringLiteral("set_btn_1") : QStringLiteral("set_btn_2");
        const bool selected = n == configNumber;
        button->setProperty("selected", selected);
        button->setStyleSheet(borderImage(button, QLatin1String(kPicture) + look + (selected ? QStringLiteral("_s") : QString())
                                          + QStringLiteral(".png")));
        if (n <= m_trayConfigActions.size())
            m_trayConfigActions.at(n - 1)->setChecked(selected);
    }
    if (m_trayIcon)
        describeTray();
}

void MainWindow::setCurrentConfigButton(int configNumber)
{
    if (configNumber < 1 || configNumber > kConfigCount)
        return;
    showCurrentConfigButton(configNumber);
    emit sig_LoadFileAndeWriteIntoMouse(configNumber);
}

void MainWindow::slot_ShowCurrentConfigButton(int configureButton)
{
    setCurrentConfigButton(configureButton);
}

void MainWindow::slot_LoadConfigFileAfterDownloadSucced(int configureButton)
{
    // Queued to the bridge in this order, so the profiles are converted before one is loaded.
    emit sig_TurnOldTxtFileToNewJsonFile();
    setCurrentConfigButton(configureButton);
}

// ---------------------------------------------------------------- device state

void MainWindow::SetCurrentPid(USHORT currentPid)
{
    m_currentPid = currentPid;
}

void MainWindow::showMouseChoice()
{
    QComboBox *chooser = m_titleBar->mouseChooser();
    const QList<USHORT> mice = m_checkDevice->presentMice();
    const QSignalBlocker quiet(chooser);
    chooser->clear();
    for (USHORT pid : mice) {
        const ProductInfo *product = Products::byPid(pid);
        const QString name = UpdateMouseDialog::displayName(QLatin1String(product->name));
        chooser->addItem(TextTable::text(Products::isReceiverPid(pid) ? TextTable::TextChooserReceiver
                                                                       : TextTable::TextChooserCable)
                             .arg(name),
                         uint(pid));
    }
    const int current = chooser->findData(uint(m_currentPid));
    chooser->setCurrentIndex(current >= 0 ? current : 0);
    // With one mouse there is nothing to choose.
    chooser->setVisible(mice.size() > 1);
}

void MainWindow::slot_WarningDeviceNotInsert(bool isfind, uint Pid, uint Vid)
{
    qDebug() << "slot_WarningDeviceNotInsert";
    qDebug().noquote() << QString::asprintf("vid %x, pid %x ", Vid, Pid);
    qDebug() << "=======================";
    SetCurrentPid(static_cast<USHORT>(Pid));

    if (isfind) {
        bool updateMode = Pid == Products::kFirstFamilyBootPid && !m_firmwareFlow->ownsBootLoader();
        if (Pid == Products::kOtherFamilyBootPid) {
            const bool updaterRuns = Process::isRunning(QLatin1String(kUpdaterProgram));
            qDebug() << "checkIsTernMouseEnter" << updaterRuns;
            updateMode = !updaterRuns;
        }
        if (updateMode) {
            // The boot loader's own identity names the model; when it names
            // none, the user chooses rather than a stale model being flashed.
            slot_ShowUpdateFirmwareWidget(true, true, m_bootMouseType, true);
            return;
        }
        m_macroEditWidget->resetRecordState();
        ++m_arrivalCount;
        emit sig_OpenDevice(Pid, Vid);
        startTimeCount();
        return;
    }

    m_bootMouseType = 0;
    if (m_stackedWidget->currentIndex() == MatchCodePage) {
        emit sig_stopCode();
        m_codeWidget->showCodeStep(0);
        showPage(SupportPage);
        setHeaderVisible(true);
    }
    m_macroEditWidget->resetRecordState();
    needDeviceDialogShow();
    emit sig_DissMissAllThings();
    emit sig_RemoveWarningWidget();
    emit sig_CloseKeySettingDialog();
    stopTimeCount();
}

void MainWindow::slot_OpenDeviceResult(bool result, int mouseType, bool isWirelessState)
{
    qDebug() << "slot_OpenDeviceResult" << result << mouseType << isWirelessState;
    if (!result)
        return;

    emit sig_CheckLastSoftwareVersion(QStringLiteral("harrier"));
    m_isManualCheck = false;
    m_deviceOpen = true;
    m_pageFillPending = true;
    setPagesTakeInput(false);
    showMouseChoice();
    m_notifier->mouseOpened();
    needDeviceDialogHide();

    m_wireStateLabel->setStyleSheet(borderImage(m_wireStateLabel, isWirelessState
                                                    ? QStringLiteral(":/picture/picture/Kestrel/wireless.png")
                                                    : QStringLiteral(":/picture/picture/Kestrel/wire.png")));
    m_wireStateLabel->setToolTip(TextTable::text(isWirelessState ? TextTable::TextWirelessTip : TextTable::TextWiredTip));
    m_wireStateLabel->show();
    // A mouse on its cable reports no charge; the indicator would only mislead.
    // Nor is an empty outline shown until the first reading has come in.
    m_isWireless = isWirelessState;
    m_batteryKnown = false;
    showBatteryIndicator();
    setDeviceControlsEnabled(true);
    describeTray();

    showPage(MainSettingPage);
    setHeaderVisible(true);
    m_macroEditWidget->setMouseType(mouseType);
    m_lightSettingWidget->setMouseType(mouseType);
    m_mainSettingWidget->setMouseType(mouseType);
    m_cloudSyncWidget->setMouseType(mouseType);

    const QString group = Products::logoGroup(mouseType);
    const QString logo = QStringLiteral(":/picture/%1/picture/%2/logo_korvan.png").arg(group, group.toUpper());
    m_logoLabel->setStyleSheet(borderImage(m_logoLabel, logo));
    m_logoLabel->setProperty("logo", logo);
    m_lightSettingWidget->setFirstFamilyLayout(Products::usesFirstFamilyLightPage(mouseType));
}

bool MainWindow::pagesTakeInput() const
{
    return m_mainSettingWidget && m_mainSettingWidget->isEnabled();
}

void MainWindow::setPagesTakeInput(bool take)
{
    // The settings pages only: the title bar, support page and dialogs stay usable.
    for (QWidget *page : {static_cast<QWidget *>(m_mainSettingWidget), static_cast<QWidget *>(m_lightSettingWidget),
                          static_cast<QWidget *>(m_macroEditWidget)})
        if (page)
            page->setEnabled(take);
}

void MainWindow::needDeviceDialogShow()
{
    emit sig_RemoveReloadWidget();
    m_deviceOpen = false;
    showNeedDeviceDialogIfNoDevice();
    setBatteryIcon(QStringLiteral("top_icon_battery0.png"), QString());
    m_batteryKnown = false;
    showBatteryIndicator();
    m_firmwareVersion = 0;
    m_supportWidget->setFirmwareVersion(0);
    m_supportWidget->setPairingAvailable(false);
    m_cloudSyncWidget->setMouseType(0);
    setDeviceControlsEnabled(false);
    describeTray();
}

void MainWindow::needDeviceDialogHide()
{
    m_needDeviceDialog->hide();
}

void MainWindow::showNeedDeviceDialogIfNoDevice()
{
    // Shown over the window only: a window resting in the tray stays out of sight.
    if (!m_deviceOpen && isVisible() && !m_updateDialog->isVisible())
        m_needDeviceDialog->show();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (QWindow *handle = windowHandle(); handle && !m_followsScreen) {
        m_followsScreen = true;
        connect(handle, &QWindow::screenChanged, this, &MainWindow::followScreen);
        followScreen(handle->screen());
    }
    showNeedDeviceDialogIfNoDevice();
}

bool MainWindow::event(QEvent *event)
{
    const bool handled = QMainWindow::event(event);
    // Once the window has been painted, the other pages join it.
    if (event->type() == QEvent::UpdateRequest && !m_deferredPages.isEmpty())
        QTimer::singleShot(0, this, &MainWindow::attachDeferredPages);
    return handled;
}

void MainWindow::followScreen(QScreen *screen)
{
    disconnect(m_screenConnection);
    if (screen)
        m_screenConnection = connect(screen, &QScreen::availableGeometryChanged, this, &MainWindow::fitToScreen);
    fitToScreen();
}

void MainWindow::fitToScreen()
{
    const QScreen *screen = windowHandle() ? windowHandle()->screen() : QGuiApplication::primaryScreen();
    QSize size = kWindowSize;
    if (screen) {
        const QRect room = screen->availableGeometry();
        size = size.boundedTo(room.size());
        // A window that shrank is moved back onto the screen, so its title
        // bar and the scroll bars are in reach.
        if (size != kWindowSize && isVisible()) {
            QRect frame(pos(), size);
            frame.moveLeft(qBound(room.left(), frame.left(), room.right() - size.width() + 1));
            frame.moveTop(qBound(room.top(), frame.top(), room.bottom() - size.height() + 1));
            move(frame.topLeft());
        }
    }
    setFixedSize(size);
}

void MainWindow::hideEvent(QHideEvent *event)
{
    QMainWindow::hideEvent(event);
    if (!isMinimized())
        m_needDeviceDialog->hide();
}

void MainWindow::setDeviceControlsEnabled(bool enabled)
{
    for (QPushButton *button : qAsConst(m_configButtons))
        button->setEnabled(enabled);
    for (QAction *action : qAsConst(m_trayConfigActions))
        action->setEnabled(enabled);
    m_resetButton->setEnabled(enabled);
}

void MainWindow::startTimeCount()
{
    if (m_batteryTimerId != 0)
        killTimer(m_batteryTimerId);
    m_batteryTimerId = startTimer(m_batteryIntervalMs, Qt::CoarseTimer);
    qDebug() << "MainWindow::startTimeCount" << m_batteryTimerId;
}

void MainWindow::setTimerIntervals(int batteryMs, int presenceMs)
{
    m_batteryIntervalMs = qMax(1, batteryMs);
    if (m_batteryTimerId != 0)
        startTimeCount();
    m_checkDevice->setPollInterval(presenceMs);
}

void MainWindow::stopTimeCount()
{
    if (m_batteryTimerId != 0)
        killTimer(m_batteryTimerId);
    m_batteryTimerId = 0;
    qDebug() << "MainWindow::stopTimeCount";
}

void MainWindow::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_batteryTimerId) {
        emit sig_GetBatteryPower();
        return;
    }
    QMainWindow::timerEvent(event);
}

void MainWindow::slot_BatteryPower(DWORD value)
{
    qDebug() << "slot_BatteryPower" << value;
    for (const BatteryLook &look : kBatteryLooks) {
        if (value >= look.from && value <= look.to) {
            setBatteryIcon(QLatin1String(look.image),
                           look.showsPercent ? QString::number(value) + QLatin1Char('%') : QString());
            m_batteryKnown = true;
            showBatteryIndicator();
            describeTray();
            return;
        }
    }
}

void MainWindow::showBatteryIndicator()
{
    const bool shown = m_deviceOpen && m_isWireless && m_batteryKnown;
    m_batteryLabel->setVisible(shown);
    m_batteryPercentLabel->setVisible(shown);
}

void MainWindow::setBatteryIcon(const QString &image, const QString &percent)
{
    m_batteryLabel->setStyleSheet(borderImage(m_batteryLabel, QLatin1String(kPicture) + image));
    m_batteryPercentLabel->setText(percent);
    m_batteryLabel->setToolTip(percent.isEmpty() ? QString() : TextTable::textWith(TextTable::TextBatteryTip, percent));
}

// ---------------------------------------------------------------- factory reset

void MainWindow::on_ResetToOriginalButton_clicked()
{
    sendEvent(QStringLiteral("ResetToOriginalButton"), TextTable::text(TextTable::TextRestoreFactory));
    emit sig_WarningTypeOnMainWindow(0);
}

void MainWindow::slot_ResetMouseToOriginal()
{
    sendEvent(QStringLiteral("ResetMouse"));
    emit sig_ResetAllConfigFile();
    qDebug() << "deleteHighestFile";
    if (QFile::exists(SettingsFiles::highestFunctionIniPath())) {
        SettingsFiles::removeHighestFunctionIni();
        if (!QFile::exists(SettingsFiles::highestFunctionIniPath()))
            qDebug() << "deleteHighestFile ok";
    }
}

// ---------------------------------------------------------------- versions

void MainWindow::slot_LastSoftWareVersionRet(int rCode, QString rMsg, QString version, QString path,
                                             QString versionDate)
{
    const QString current = QCoreApplication::applicationVersion();
    qDebug() << "Software slot_LastVersionRet " << rCode << rMsg << version << path << versionDate << current;
    m_supportWidget->setUpdateButtonEnabled(true);

    if (rCode == 0 && !version.isEmpty() && version != current) {
        if (m_isManualCheck) {
            m_downloadPath = path;
            m_warningDialog->setDownloadPath(path);
            slot_showWarningDialog(52);
            return;
        }
        if (SettingsFiles::notRemind() != 1) {
            m_downloadPath = path;
            m_warningDialog->setDownloadPath(path);
            slot_showWarningDialog(1);
        }
        return;
    }
    if (rCode == 0) {
        if (m_isManualCheck)
            slot_showWarningDialog(53);
        return;
    }
    if (m_isManualCheck)
        emit sig_ShowWarningWidgetWithSpecifyMessage(54, rMsg);
}

void MainWindow::slot_GetCurrentFirmVersion(int version)
{
    qDebug() << "slot_GetCurrentFirmVersion" << version;
    m_firmwareVersion = version;
    compareFirmWareVersion();
    const QString model = Products::modelName(MouseType::current());
    if (version > 0 && !model.isEmpty()) {
        m_firmwareFlow->versionCheckStarted();
        m_firmwareVersionCheck->KvLastFirmVersionJson(model);
    }
}

void MainWindow::compareFirmWareVersion()
{
    const int mouseType = MouseType::current();
    qDebug() << "compareFirmWareVersion" << mouseType << m_firmwareVersion;
    if (Products::firmwareTooOld(mouseType, m_firmwareVersion))
        slot_showWarningDialog(26);
}

void MainWindow::slot_LastFirmWareVersionRet(int rCode, QString rMsg, QString version, QString path)
{
    qDebug() << "FirmWare slot_LastVersionRet " << rCode << rMsg << version << path;
    m_firmwareFlow->versionCheckEnded();
    if (rCode == 0 && !version.isEmpty() && version.toInt() > m_firmwareVersion)
        slot_showWarningDialog(35);
}

// ---------------------------------------------------------------- warnings and dialogs

void MainWindow::slot_showWarningDialog(int warningType)
{
    // The window's own warnings of the update move its flow on too.
    m_firmwareFlow->warningRaised(warningType);
    emit sig_RemoveReloadWidget();
    m_warningDialog->showWarning(warningType);
}

void MainWindow::slot_showWarningDialogWithSpecifyMessage(int warningType, QString warningMessage)
{
    emit sig_RemoveReloadWidget();
    m_warningDialog->showWarning(warningType, warningMessage);
}

void MainWindow::slot_ShowUpdateFirmwareWidget(bool isChangeable, bool isLocalUpdateState, int mouseType,
                                               bool isUpdateNow)
{
    qDebug() << "slot_ShowUpdateFirmwareWidget" << isChangeable << isLocalUpdateState << mouseType << isUpdateNow;
    m_updateDialog->setGeometry(centralWidget()->rect());
    m_updateDialog->move(0, 0);
    m_updateDialog->setChangeable(isChangeable);
    m_updateDialog->setLocalUpdateState(isLocalUpdateState);
    m_needDeviceDialog->hide();
    m_updateDialog->selectModel(mouseType);
    m_updateDialog->show();
    m_updateDialog->raise();
    if (mouseType != 0 && isUpdateNow)
        m_updateDialog->startUpdate();
}

void MainWindow::showFirmwareUpdateForOpenMouse(bool isLocalUpdateState, bool isUpdateNow)
{
    // The open mouse is the one to update; only without one may the user pick a model.
    const int mouseType = m_deviceOpen ? MouseType::current() : 0;
    slot_ShowUpdateFirmwareWidget(mouseType == 0, isLocalUpdateState, mouseType, isUpdateNow);
}

// ---------------------------------------------------------------- window, tray, account

void MainWindow::on_minimumButton_clicked()
{
    sendEvent(QStringLiteral("minimumButton"));
    showMinimized();
}

void MainWindow::on_quitButton_clicked()
{
    sendEvent(QStringLiteral("quitButton"));
    // Without a tray there would be no way back to a hidden window.
    if (m_trayIcon->isVisible()) {
        hide();
        // The first time, say where the program went: a window that vanishes
        // while the program runs on is otherwise easy to take for a quit.
        m_notifier->keptInTray();
    } else {
        // No tray to come back from: closing the window is quitting, and
        // the button says so (describeCloseButton).
        exitSoftware();
    }
}

void MainWindow::describeTray()
{
    // What a glance at the tray should tell: the mouse, its charge, its configuration.
    QStringList lines{QStringLiteral("HarrierDriver")};
    QString mouse;
    if (m_deviceOpen) {
        if (const ProductInfo *product = Products::byPid(m_currentPid)) {
            mouse = TextTable::text(Products::isReceiverPid(m_currentPid) ? TextTable::TextChooserReceiver
                                                                          : TextTable::TextChooserCable)
                        .arg(UpdateMouseDialog::displayName(QLatin1String(product->name)));
            lines << mouse;
        }
        if (m_isWireless && m_batteryKnown && !m_batteryPercentLabel->text().isEmpty())
            lines << TextTable::textWith(TextTable::TextBatteryTip, m_batteryPercentLabel->text());
        if (m_currentConfig >= 1 && m_currentConfig <= kConfigCount)
            lines << configCaption(m_currentConfig);
    }
    m_trayIcon->setToolTip(lines.join(QLatin1Char('\n')));
    if (m_trayMouseAction) {
        m_trayMouseAction->setText(mouse);
        m_trayMouseAction->setVisible(!mouse.isEmpty());
    }
}

void MainWindow::describeCloseButton()
{
    const int text = m_trayIcon && m_trayIcon->isVisible() ? TextTable::TextCloseTip : TextTable::TextTrayExit;
    m_titleBar->quitButton()->setToolTip(TextTable::text(text));
    m_titleBar->quitButton()->setAccessibleName(TextTable::text(text));
}

void MainWindow::bringToFront()
{
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    show();
    setWindowFlags(windowFlags() & ~Qt::WindowStaysOnTopHint);
    showNormal();
    raise();
    activateWindow();
}

void MainWindow::on_activatedSysTrayIcon(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger)
        bringToFront();
}

void MainWindow::slotMessageReceived(const QString &msg)
{
    // Starting the program again is asking for its window: it comes to the
    // front, as the tray icon brings it, with no box to dismiss.
    qDebug().noquote() << "another start asked for the window:" << msg;
    bringToFront();
}

void MainWindow::slot_needDeviceDialogClienk()
{
    exitSoftware();
}

bool MainWindow::deferQuitWhileUpdating()
{
    // Stopping half way through the image would leave the mouse without a
    // working firmware: the program ends once the transfer has, with its
    // progress in view meanwhile.
    if (!m_firmwareFlow->deferQuit())
        return false;
    bringToFront();
    m_updateDialog->show();
    m_updateDialog->raise();
    return true;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (deferQuitWhileUpdating()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::exitSoftware()
{
    if (deferQuitWhileUpdating())
        return;
    // Leave through the event loop (start-up connects this to quit), so the
    // bridge finishes the request it is running and its thread is joined
    // before the process ends.
    m_trayIcon->hide();
    emit QuitTheApplication();
}

void MainWindow::slot_startWattingProcess()
{
    needDeviceDialogShow();
    const QString restarter = AppPaths::shippedPath(QStringLiteral("/") + QLatin1String(kRestarterProgram));
    if (!Process::startDetached(restarter))
        qWarning() << "slot_startWattingProcess cannot start" << restarter;
}

void MainWindow::checkTokenIsExit()
{
    OperateToken token;
    const QString stored = token.GetToken();
    m_isLoggedIn = !stored.isEmpty() && stored != QLatin1String("NULL");
}

void MainWindow::slot_StartToUploadFile()
{
    // No cloud client is built in yet: there is nothing to send, so the
    // upload is over at once.
    qDebug() << "slot_StartToUploadFile: no cloud upload available";
    emit sig_UploadFinished();
}

void MainWindow::slot_quitUser()
{
    m_isLoggedIn = false;
    SettingsFiles::removeSystemIni();
    m_cloudSyncWidget->refreshAccount();
    showPage(MainSettingPage);
}

void MainWindow::sendEvent(const QString &action, const QString &label)
{
    emit sig_SendEventMessageToGA(QStringLiteral("MainWindow"), action, label, QStringLiteral("MainWindow"));
}
