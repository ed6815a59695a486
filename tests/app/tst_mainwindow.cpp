#include "app/MainWindow.h"
#include "online/ServiceAddress.h"
#include "app/NeedDeviceDialog.h"
#include "app/UpdateMouseDialog.h"
#include "app/WarningDialog.h"
#include "store/TextTable.h"
#include "device/CheckDevice.h"
#include "model/ProductTable.h"
#include "emulator/EmulatedBackend.h"
#include "pages/CodeWidget.h"
#include "pages/LightSettingWidget.h"
#include "pages/MacroEditWidget.h"
#include "pages/MainSettingWidget.h"
#include "platform/AppPaths.h"
#include "platform/hid/HidBackend.h"
#include "support/TempAppFolder.h"

#include <QDesktopServices>
#include <QDir>
#include <QJsonArray>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QScreen>
#include <QtTest>
#include <memory>

// The main window on its own: its signals are watched and the answers of the
// bridge and of the presence poller are played into its slots.
class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempAppFolder> m_dir;
    EmulatedBackend m_bus; // an empty bus: the window's poller never sees the machine's devices
    std::unique_ptr<MainWindow> m_window;
    QList<QUrl> m_openedUrls;

    template<typename T>
    T *child(const char *name) const
    {
        T *widget = m_window->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no child %s", name);
        return widget;
    }
    QStackedWidget *stack() const { return child<QStackedWidget>("stackedWidget"); }
    WarningDialog *warning() const { return m_window->warningDialog(); }
    int shownWarning() const { return warning()->isVisible() ? warning()->currentType() : -1; }

    void writeFile(const QString &relative, const QByteArray &content = "x")
    {
        const QString path = AppPaths::dataRoot() + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    void openDevice(int mouseType = 11, bool wireless = true)
    {
        MouseType::setCurrent(mouseType);
        m_window->slot_OpenDeviceResult(true, mouseType, wireless);
    }

public slots:
    void openUrl(const QUrl &url) { m_openedUrls.append(url); }

private slots:
    void initTestCase()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl");
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl");
        Hid::setBackend(&m_bus);
    }

    void cleanupTestCase() { Hid::setBackend(nullptr); }

    void init()
    {
        m_dir = std::make_unique<TempAppFolder>();
        MouseType::setCurrent(0);
        m_openedUrls.clear();
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        // Every page at once, not after the first paint.
        m_window->attachDeferredPages();
    }

    void cleanup()
    {
        m_window.reset();
        m_dir.reset();
    }

    void startsWithoutADevice()
    {
        QCOMPARE(m_window->size(), QSize(960, 640).boundedTo(QGuiApplication::primaryScreen()->availableGeometry().size()));
        QVERIFY(m_window->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(m_window->windowTitle(), QStringLiteral("HarrierDriver"));
        QCOMPARE(stack()->currentIndex(), 0);
        QVERIFY(child<QLabel>("BatteryLabel")->styleSheet().contains(QStringLiteral("top_icon_battery0.png")));
        QVERIFY(!child<QPushButton>("ConfigureButton_1")->isEnabled());
        QVERIFY(!child<QPushButton>("ResetToOriginalButton")->isEnabled());
        QVERIFY(!m_window->isBatteryTimerRunning());
    }

    void pagesSitAtTheirIndexes_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("page");
        QTest::newRow("main settings") << QByteArray("MainSettingButton") << 0 << QByteArray("MainSettingWidget");
        QTest::newRow("lighting") << QByteArray("LightSettingButton") << 1 << QByteArray("LightSettingWidget");
        QTest::newRow("macros") << QByteArray("MacroEditButton") << 2 << QByteArray("MacroEditWidget");
        QTest::newRow("support") << QByteArray("SupportButton") << 3 << QByteArray("SupportWidget");
        QTest::newRow("cloud") << QByteArray("CloudSyncButton") << 4 << QByteArray("CloudSyncWidget");
    }

    void pagesSitAtTheirIndexes()
    {
        QFETCH(QByteArray, button);
        QFETCH(int, index);
        QFETCH(QByteArray, page);
        QTest::mouseClick(child<QPushButton>(button.constData()), Qt::LeftButton);
        QCOMPARE(stack()->currentIndex(), index);
        QCOMPARE(stack()->currentWidget()->metaObject()->className(), page.constData());
        QCOMPARE(stack()->widget(5)->metaObject()->className(), "CodeWidget");
        for (const char *name : {"MainSettingButton", "LightSettingButton", "MacroEditButton", "SupportButton",
                                 "CloudSyncButton"})
            QCOMPARE(child<QPushButton>(name)->property("selected").toBool(), button == name);
    }

    // Logged out with a service configured: the log-in request once a run.
    // Without a service the page says so itself, and no dialog comes.
    void cloudPageWhileLoggedOutWarns()
    {
        QTest::mouseClick(child<QPushButton>("CloudSyncButton"), Qt::LeftButton);
        QCOMPARE(stack()->currentIndex(), 4);
        QCOMPARE(shownWarning(), -1);

        ServiceAddress::setCommandLineAddress(QStringLiteral("https://service.example.org"));
        QTest::mouseClick(child<QPushButton>("CloudSyncButton"), Qt::LeftButton);
        QCOMPARE(shownWarning(), 10);
        m_window->warningDialog()->hide();
        QTest::mouseClick(child<QPushButton>("SupportButton"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>("CloudSyncButton"), Qt::LeftButton);
        QVERIFY(!m_window->warningDialog()->isVisible());
        ServiceAddress::setCommandLineAddress(QString());
    }

    void battery_data()
    {
        QTest::addColumn<uint>("value");
        QTest::addColumn<QString>("image");
        QTest::addColumn<QString>("label");
        QTest::newRow("100") << 100u << "top_icon_battery5.png" << "100%";
        QTest::newRow("81") << 81u << "top_icon_battery5.png" << "81%";
        QTest::newRow("80") << 80u << "top_icon_battery4.png" << "80%";
        QTest::newRow("61") << 61u << "top_icon_battery4.png" << "61%";
        QTest::newRow("60") << 60u << "top_icon_battery3.png" << "60%";
        QTest::newRow("41") << 41u << "top_icon_battery3.png" << "41%";
        QTest::newRow("40") << 40u << "top_icon_battery2.png" << "40%";
        QTest::newRow("21") << 21u << "top_icon_battery2.png" << "21%";
        QTest::newRow("20") << 20u << "top_icon_battery.png" << "20%";
        QTest::newRow("1") << 1u << "top_icon_battery.png" << "1%";
        QTest::newRow("0") << 0u << "top_icon_battery0.png" << "";
        QTest::newRow("101 charging") << 101u << "top_icon_charging.png" << "";
        QTest::newRow("102 charged") << 102u << "top_icon_charging_full.png" << "";
        QTest::newRow("103 no reading") << 103u << "top_icon_battery0.png" << "";
        QTest::newRow("above the table") << 150u << "top_icon_battery5.png" << "150%";
    }

    void battery()
    {
        QFETCH(uint, value);
        QFETCH(QString, image);
        QFETCH(QString, label);
        openDevice();
        m_window->slot_BatteryPower(55); // something else first
        m_window->slot_BatteryPower(value);
        const QString style = child<QLabel>("BatteryLabel")->styleSheet();
        QCOMPARE(style, QStringLiteral("#BatteryLabel { border-image:url(:/picture/picture/%1); }").arg(image));
        QCOMPARE(child<QLabel>("BatteryPercentLabel")->text(), label);
        QVERIFY(!QPixmap(QStringLiteral(":/picture/picture/") + image).isNull());
    }

    void batteryTimerAsksEveryThreeSeconds()
    {
        QCOMPARE(m_window->batteryInterval(), 3000);
        // The same timer on a shorter interval, so the test does not wait seconds.
        m_window->setTimerIntervals(30, 1000);
        QSignalSpy ask(m_window.get(), &MainWindow::sig_GetBatteryPower);
        m_window->slot_WarningDeviceNotInsert(true, 0x1804, 0x3A5E);
        QVERIFY(m_window->isBatteryTimerRunning());
        QVERIFY(ask.wait(4000));
        m_window->slot_WarningDeviceNotInsert(false, 0x1804, 0x3A5E);
        QVERIFY(!m_window->isBatteryTimerRunning());
        ask.clear();
        QTest::qWait(200);
        QCOMPARE(ask.count(), 0);
    }

    void profileButtons()
    {
        openDevice();
        QSignalSpy load(m_window.get(), &MainWindow::sig_LoadFileAndeWriteIntoMouse);
        auto *third = child<QPushButton>("ConfigureButton_3");
        QTest::mouseClick(third, Qt::LeftButton);
        QCOMPARE(load.count(), 1);
        QCOMPARE(load.last().first().toInt(), 3);
        QCOMPARE(m_window->currentConfigNumber(), 3);
        QCOMPARE(m_window->findChild<MainSettingWidget *>()->currentConfigNumber(), 3);
        QVERIFY(third->styleSheet().contains(QStringLiteral("set_btn_1_s.png")));
        QVERIFY(child<QPushButton>("ConfigureButton_1")->styleSheet().contains(QStringLiteral("set_btn_1.png")));
        QVERIFY(child<QPushButton>("ConfigureButton_5")->styleSheet().contains(QStringLiteral("set_btn_2.png")));

        // The selected button clicked again still reloads and rewrites its profile.
        QTest::mouseClick(third, Qt::LeftButton);
        QCOMPARE(load.count(), 2);
        QCOMPARE(load.last().first().toInt(), 3);

        QTest::mouseClick(child<QPushButton>("ConfigureButton_5"), Qt::LeftButton);
        QVERIFY(child<QPushButton>("ConfigureButton_5")->styleSheet().contains(QStringLiteral("set_btn_2_s.png")));
        QVERIFY(third->styleSheet().contains(QStringLiteral("set_btn_1.png")));
        for (const char *image : {"set_btn_1.png", "set_btn_1_s.png", "set_btn_2.png", "set_btn_2_s.png"})
            QVERIFY(!QPixmap(QStringLiteral(":/picture/picture/") + QLatin1String(image)).isNull());
    }

    void matchingProfileIsMarkedWithoutAWrite()
    {
        openDevice();
        QSignalSpy load(m_window.get(), &MainWindow::sig_LoadFileAndeWriteIntoMouse);
        m_window->showCurrentConfigButton(4);
        QCOMPARE(m_window->currentConfigNumber(), 4);
        QCOMPARE(load.count(), 0);
        m_window->showCurrentConfigButton(9); // out of range: ignored
        QCOMPARE(m_window->currentConfigNumber(), 4);
        m_window->slot_ShowCurrentConfigButton(2);
        QCOMPARE(load.count(), 1);
    }

    void removalWhilePairing()
    {
        openDevice(11, true);
        QSignalSpy stop(m_window.get(), &MainWindow::sig_stopCode);
        QSignalSpy dismiss(m_window.get(), &MainWindow::sig_DissMissAllThings);
        QSignalSpy removeWarning(m_window.get(), &MainWindow::sig_RemoveWarningWidget);
        QSignalSpy closeKeys(m_window.get(), &MainWindow::sig_CloseKeySettingDialog);
        m_window->slot_GoToMatchCodePage();
        QCOMPARE(stack()->currentIndex(), 5);
        QVERIFY(!child<QPushButton>("SupportButton")->isVisible());
        m_window->findChild<CodeWidget *>()->showCodeStep(1);

        m_window->slot_WarningDeviceNotInsert(false, 0x1804, 0x3A5E);
        QCOMPARE(stop.count(), 1);
        QCOMPARE(stack()->currentIndex(), 3);
        QVERIFY(child<QPushButton>("SupportButton")->isVisible());
        QCOMPARE(m_window->findChild<CodeWidget *>()->codeStep(), 0);
        QCOMPARE(dismiss.count(), 1);
        QCOMPARE(removeWarning.count(), 1);
        QCOMPARE(closeKeys.count(), 1);
        QVERIFY(child<QLabel>("BatteryLabel")->styleSheet().contains(QStringLiteral("top_icon_battery0.png")));
        QCOMPARE(child<QLabel>("BatteryPercentLabel")->text(), QString());
        QCOMPARE(m_window->currentFirmwareVersion(), 0);
        QVERIFY(!child<QPushButton>("ConfigureButton_1")->isEnabled());
    }

    void removalElsewhereDoesNotTouchPairing()
    {
        openDevice();
        QSignalSpy stop(m_window.get(), &MainWindow::sig_stopCode);
        QTest::mouseClick(child<QPushButton>("LightSettingButton"), Qt::LeftButton);
        m_window->slot_WarningDeviceNotInsert(false, 0x4130, 0x3A5E);
        QCOMPARE(stop.count(), 0);
        QCOMPARE(stack()->currentIndex(), 1);
    }

    void removalDropsOpenWarnings()
    {
        openDevice();
        m_window->slot_showWarningDialog(32);
        QCOMPARE(shownWarning(), 32);
        m_window->slot_WarningDeviceNotInsert(false, 0x4130, 0x3A5E);
        QCOMPARE(shownWarning(), -1);
    }

    void pairingOutcome()
    {
        openDevice(11, true);
        QSignalSpy start(m_window.get(), &MainWindow::sig_startCode);
        m_window->slot_GoToMatchCodePage();
        emit m_window->findChild<CodeWidget *>()->sig_startCode();
        QCOMPARE(start.count(), 1);
        m_window->slot_startCode(true);
        QCOMPARE(m_window->findChild<CodeWidget *>()->codeStep(), 1);
        m_window->slot_finishCode(true);
        QCOMPARE(stack()->currentIndex(), 3);
        QCOMPARE(shownWarning(), 46);
    }

    void arrival()
    {
        QSignalSpy open(m_window.get(), &MainWindow::sig_OpenDevice);
        m_window->slot_WarningDeviceNotInsert(true, 0x4130, 0x3A5E);
        QCOMPARE(open.count(), 1);
        QCOMPARE(open.first(), (QVariantList{0x4130u, 0x3A5Eu}));
        QCOMPARE(m_window->currentPid(), USHORT(0x4130));
        QCOMPARE(m_window->arrivalCount(), 1);
        QVERIFY(m_window->isBatteryTimerRunning());
        QCOMPARE(m_window->findChild<MacroEditWidget *>()->recordStateResets(), 1);
    }

    void arrivalInUpdateMode_data()
    {
        QTest::addColumn<uint>("pid");
        QTest::addColumn<uint>("vid");
        QTest::addColumn<bool>("updaterRuns");
        QTest::addColumn<bool>("showsUpdate");
        QTest::newRow("first family boot loader") << 0x3000u << 0x3A5Eu << false << true;
        QTest::newRow("other family boot loader") << 0x1022u << 0x0603u << false << true;
        QTest::newRow("other family, updater running") << 0x1022u << 0x0603u << true << false;
    }

    void arrivalInUpdateMode()
    {
        QFETCH(uint, pid);
        QFETCH(uint, vid);
        QFETCH(bool, updaterRuns);
        QFETCH(bool, showsUpdate);
        QProcess updater;
        if (updaterRuns) {
            const QString copy = m_dir->filePath(QStringLiteral("KorvanUpdataOnce.exe"));
            QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), copy));
            updater.start(copy, {QStringLiteral("30")});
            QVERIFY(updater.waitForStarted());
        }
        QSignalSpy open(m_window.get(), &MainWindow::sig_OpenDevice);
        m_window->slot_WarningDeviceNotInsert(true, pid, vid);
        QCOMPARE(m_window->updateMouseDialog()->isVisible(), showsUpdate);
        QCOMPARE(open.count(), showsUpdate ? 0 : 1);
        QCOMPARE(m_window->isBatteryTimerRunning(), !showsUpdate);
        if (updaterRuns) {
            updater.kill();
            updater.waitForFinished();
        }
    }

    // A first-family mouse waiting in its boot loader is updated at once with
    // the firmware of the model its identity names.
    void bootLoaderArrivalStartsTheUpdate()
    {
        writeFile(QStringLiteral("/Update/Local/kestreleu/Nuc123.bin"));
        QSignalSpy request(m_window->updateMouseDialog(), &UpdateMouseDialog::sig_UpdateFirmwareKorvan);
        QSignalSpy open(m_window.get(), &MainWindow::sig_OpenDevice);
        emit m_window->findChild<CheckDevice *>()->sigBlootDescriptor(14);
        m_window->slot_WarningDeviceNotInsert(true, 0x3000, 0x3A5E);
        QVERIFY(m_window->updateMouseDialog()->isVisible());
        QVERIFY(!m_window->needDeviceDialog()->isVisible());
        QCOMPARE(request.count(), 1);
        QCOMPARE(request.first(), (QVariantList{AppPaths::dataRoot() + QStringLiteral("/Update/Local/kestreleu/Nuc123.bin"),
                                                QStringLiteral("kestreleu")}));
        QCOMPARE(open.count(), 0);

        // While our own transfer runs, the boot loader coming and going is part of it.
        m_window->slot_WarningDeviceNotInsert(false, 0x3000, 0x3A5E);
        QVERIFY(!m_window->needDeviceDialog()->isVisible());
        m_window->slot_WarningDeviceNotInsert(true, 0x3000, 0x3A5E);
        QCOMPARE(request.count(), 1);
        QCOMPARE(open.count(), 1);
    }

    // An update refused before any transfer (the mouse is on its receiver, or
    // too many requests) leaves no transfer behind: a boot loader found later
    // is offered its update again.
    void refusedUpdateIsNoTransfer_data()
    {
        QTest::addColumn<int>("warning");
        QTest::newRow("needs the cable") << 40;
        QTest::newRow("too many requests") << 14;
    }
    void refusedUpdateIsNoTransfer()
    {
        QFETCH(int, warning);
        emit m_window->updateMouseDialog()->sig_UpdateFirmwareKorvan(QStringLiteral("/nowhere/Nuc123.bin"),
                                                                     QStringLiteral("merlin"));
        m_window->slot_showWarningDialog(warning);
        m_window->updateMouseDialog()->hide();
        QSignalSpy open(m_window.get(), &MainWindow::sig_OpenDevice);
        m_window->slot_WarningDeviceNotInsert(true, 0x3000, 0x3A5E);
        QVERIFY(m_window->updateMouseDialog()->isVisible());
        QCOMPARE(open.count(), 0);
    }

    void bootLoaderOfUnknownModelLetsTheUserChoose()
    {
        MouseType::setCurrent(11); // left from an earlier mouse
        QSignalSpy request(m_window->updateMouseDialog(), &UpdateMouseDialog::sig_UpdateFirmwareKorvan);
        emit m_window->findChild<CheckDevice *>()->sigBlootDescriptor(0);
        m_window->slot_WarningDeviceNotInsert(true, 0x1022, 0x0603);
        QVERIFY(m_window->updateMouseDialog()->isVisible());
        QCOMPARE(m_window->updateMouseDialog()->selectedModel(), 0);
        QCOMPARE(request.count(), 0);
        QVERIFY(m_openedUrls.isEmpty());
    }

    // With a tray the close button keeps the program running there; without
    // one it quits (a minimised window with no tray left no way to quit),
    // and its name says which.
    void closeButtonSaysWhatItDoes()
    {
        QSignalSpy quit(m_window.get(), &MainWindow::QuitTheApplication);
        auto *close = child<QPushButton>("quitButton");
        const bool tray = QSystemTrayIcon::isSystemTrayAvailable();
        QCOMPARE(close->accessibleName(), TextTable::text(tray ? TextTable::TextCloseTip : TextTable::TextTrayExit));
        QTest::mouseClick(close, Qt::LeftButton);
        if (tray) {
            QCOMPARE(quit.count(), 0);
            QVERIFY(!m_window->isVisible());
        } else {
            QCOMPARE(quit.count(), 1);
        }
    }

    // The tray menu: show the window, the five configurations, exit, each
    // triggered as the desktop's tray would.
    void trayMenu()
    {
        QAction *show = child<QAction>("TrayShowAction");
        QAction *exit = child<QAction>("TrayExitAction");
        QList<QAction *> configs;
        for (int n = 1; n <= 5; ++n)
            configs << child<QAction>(QStringLiteral("TrayConfigAction_%1").arg(n).toLatin1().constData());
        const QList<QAction *> menu = child<QMenu>("TrayMenu")->actions();
        QCOMPARE(menu.first(), show);
        QCOMPARE(menu.last(), exit);
        for (int n = 0; n < 5; ++n)
            QCOMPARE(configs.at(n)->text(), child<QPushButton>(QStringLiteral("ConfigureButton_%1").arg(n + 1).toLatin1().constData())->text());

        // Without a mouse there is nothing to load, as with the profile buttons.
        QSignalSpy load(m_window.get(), &MainWindow::sig_LoadFileAndeWriteIntoMouse);
        for (QAction *config : configs)
            QVERIFY(!config->isEnabled());
        openDevice();
        for (QAction *config : configs)
            QVERIFY(config->isEnabled());

        configs.at(3)->trigger();
        QCOMPARE(load.count(), 1);
        QCOMPARE(load.last().first().toInt(), 4);
        // The tray names the mouse, its charge and its configuration; the menu
        // says whose configurations these are.
        TextTable::loadTextTable(QFINDTESTDATA("../../resources/translate.json"), TextTable::kEnglishSlot);
        m_window->SetCurrentPid(0x180A);
        openDevice();
        m_window->slot_BatteryPower(80);
        const QString tip = m_window->findChild<QSystemTrayIcon *>()->toolTip();
        QVERIFY2(tip.contains(QStringLiteral("Kestrel")) && tip.contains(QStringLiteral("80%"))
                     && tip.contains(configs.at(3)->text()),
                 qPrintable(tip));
        QVERIFY(child<QAction>("TrayMouseAction")->isVisible());
        QVERIFY(child<QAction>("TrayMouseAction")->text().contains(QStringLiteral("Kestrel")));
        TextTable::setTable(QJsonArray());
        QCOMPARE(m_window->currentConfigNumber(), 4);
        QVERIFY(child<QPushButton>("ConfigureButton_4")->property("selected").toBool());
        // The mark follows the configuration the mouse holds, however it was chosen.
        QTest::mouseClick(child<QPushButton>("ConfigureButton_2"), Qt::LeftButton);
        QVERIFY(configs.at(1)->isChecked() && !configs.at(3)->isChecked());
        m_window->showCurrentConfigButton(5);
        QVERIFY(configs.at(4)->isChecked());
        QCOMPARE(load.count(), 2);

        m_window->slot_WarningDeviceNotInsert(false, 0x4130, 0x3A5E);
        QVERIFY(!configs.at(0)->isEnabled());

        m_window->hide();
        show->trigger();
        QVERIFY(m_window->isVisible());
        QSignalSpy quit(m_window.get(), &MainWindow::QuitTheApplication);
        exit->trigger();
        QCOMPARE(quit.count(), 1);
    }

    void secondCopyBringsTheWindowForward()
    {
        QJsonArray table;
        for (int i = 0; i <= TextTable::TextAlreadyRunningTitle; ++i)
            table.append(QStringLiteral("text %1").arg(i));
        TextTable::setTable(table);
        m_window->hide();
        m_window->slotMessageReceived(QStringLiteral("Osprey"));
        QVERIFY(m_window->isVisible());
        // Just the window: no box to dismiss.
        QTest::qWait(50);
        QVERIFY(!m_window->findChild<QMessageBox *>());
        TextTable::setTable(QJsonArray());
    }

    void openResult_data()
    {
        QTest::addColumn<int>("mouseType");
        QTest::addColumn<bool>("wireless");
        QTest::addColumn<QString>("logo");
        QTest::newRow("Kestrel receiver") << 11 << true << ":/picture/kestrel/picture/KESTREL/logo_korvan.png";
        QTest::newRow("MerlinC cable: its own logo") << 7 << false << ":/picture/merlin/picture/MERLIN/logo_korvan.png";
        QTest::newRow("KestrelEU") << 14 << false << ":/picture/kestrel/picture/KESTREL/logo_korvan.png";
        QTest::newRow("Falcon") << 2 << false << ":/picture/falcon/picture/FALCON/logo_korvan.png";
        QTest::newRow("SakerS") << 6 << false << ":/picture/falcon/picture/FALCON/logo_korvan.png";
        QTest::newRow("Osprey") << 3 << false << ":/picture/osprey/picture/OSPREY/logo_korvan.png";
        QTest::newRow("Wren") << 13 << false << ":/picture/wren/picture/WREN/logo_korvan.png";
        QTest::newRow("Lanner") << 18 << false << ":/picture/lanner/picture/LANNER/logo_korvan.png";
        QTest::newRow("Harrier") << 19 << false << ":/picture/harrier/picture/HARRIER/logo_korvan.png";
    }

    void openResult()
    {
        QFETCH(int, mouseType);
        QFETCH(bool, wireless);
        QFETCH(QString, logo);
        QSignalSpy check(m_window.get(), &MainWindow::sig_CheckLastSoftwareVersion);
        QTest::mouseClick(child<QPushButton>("SupportButton"), Qt::LeftButton);
        openDevice(mouseType, wireless);

        QCOMPARE(check.count(), 1);
        QCOMPARE(check.first().first().toString(), QStringLiteral("harrier"));
        QCOMPARE(stack()->currentIndex(), 0);
        const QString indicator = wireless ? QStringLiteral(":/picture/picture/Kestrel/wireless.png")
                                           : QStringLiteral(":/picture/picture/Kestrel/wire.png");
        QVERIFY(child<QLabel>("WireStateLabel")->styleSheet().contains(indicator));
        QVERIFY(!QPixmap(indicator).isNull());
        QCOMPARE(child<QLabel>("LogoLabel")->property("logo").toString(), logo);
        QVERIFY(!QPixmap(logo).isNull());
        QCOMPARE(m_window->findChild<MainSettingWidget *>()->mouseType(), mouseType);
        QCOMPARE(m_window->findChild<MacroEditWidget *>()->mouseType(), mouseType);
        QCOMPARE(m_window->findChild<LightSettingWidget *>()->mouseType(), mouseType);
        QCOMPARE(m_window->findChild<LightSettingWidget *>()->isFirstFamilyLayout(), mouseType >= 7 && mouseType <= 12);
        QVERIFY(child<QPushButton>("ConfigureButton_1")->isEnabled());
    }

    void failedOpenStaysWithoutADevice()
    {
        QSignalSpy check(m_window.get(), &MainWindow::sig_CheckLastSoftwareVersion);
        m_window->slot_OpenDeviceResult(false, 0, false);
        QCOMPARE(check.count(), 0);
        QVERIFY(!child<QPushButton>("ConfigureButton_1")->isEnabled());
    }

    void factoryReset()
    {
        openDevice();
        writeFile(QStringLiteral("/keysetting/HighestFunction.ini"), "[MidKey]\nstate=1\n");
        QSignalSpy reset(m_window.get(), &MainWindow::sig_ResetAllConfigFile);
        QTest::mouseClick(child<QPushButton>("ResetToOriginalButton"), Qt::LeftButton);
        QCOMPARE(shownWarning(), 0);
        QCOMPARE(reset.count(), 0);
        QTest::mouseClick(warning()->findChild<QPushButton *>(QStringLiteral("OkButton")), Qt::LeftButton);
        QCOMPARE(reset.count(), 1);
        QVERIFY(!QFile::exists(AppPaths::dataRoot() + QStringLiteral("/keysetting/HighestFunction.ini")));
    }

    void factoryResetDeclined()
    {
        openDevice();
        writeFile(QStringLiteral("/keysetting/HighestFunction.ini"));
        QSignalSpy reset(m_window.get(), &MainWindow::sig_ResetAllConfigFile);
        QTest::mouseClick(child<QPushButton>("ResetToOriginalButton"), Qt::LeftButton);
        QTest::mouseClick(warning()->findChild<QPushButton *>(QStringLiteral("Cancle_Button")), Qt::LeftButton);
        QCOMPARE(reset.count(), 0);
        QVERIFY(QFile::exists(AppPaths::dataRoot() + QStringLiteral("/keysetting/HighestFunction.ini")));
    }

    void softwareVersion_data()
    {
        QTest::addColumn<bool>("manual");
        QTest::addColumn<int>("notRemind"); // -1: no file
        QTest::addColumn<int>("rCode");
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("expected"); // warning shown, -1: none

        const QString newer = QStringLiteral("1.0.0");
        const QString same = QStringLiteral("0.9.013950.0828");
        QTest::newRow("automatic, newer") << false << -1 << 0 << newer << 1;
        QTest::newRow("automatic, newer, NotRemind 0") << false << 0 << 0 << newer << 1;
        QTest::newRow("automatic, newer, NotRemind 1") << false << 1 << 0 << newer << -1;
        QTest::newRow("manual, newer, NotRemind 1") << true << 1 << 0 << newer << 52;
        QTest::newRow("automatic, current") << false << -1 << 0 << same << -1;
        QTest::newRow("manual, current") << true << -1 << 0 << same << 53;
        QTest::newRow("manual, empty version") << true << -1 << 0 << QString() << 53;
        QTest::newRow("automatic, failed") << false << -1 << 7 << QString() << -1;
        QTest::newRow("manual, failed") << true << -1 << 7 << QString() << 54;
    }

    void softwareVersion()
    {
        QFETCH(bool, manual);
        QFETCH(int, notRemind);
        QFETCH(int, rCode);
        QFETCH(QString, version);
        QFETCH(int, expected);
        QCoreApplication::setApplicationVersion(QStringLiteral("0.9.013950.0828"));
        if (notRemind >= 0) {
            QSettings ini(AppPaths::dataRoot() + QStringLiteral("/NoLongerRemind.ini"), QSettings::IniFormat);
            ini.setValue(QStringLiteral("NotRemind"), notRemind);
        }
        QSignalSpy check(m_window.get(), &MainWindow::sig_CheckLastSoftwareVersion);
        if (manual) {
            QTest::mouseClick(child<QPushButton>("UpdateButton"), Qt::LeftButton);
            QCOMPARE(check.count(), 1);
            QVERIFY(!child<QPushButton>("UpdateButton")->isEnabled());
        }
        m_window->slot_LastSoftWareVersionRet(rCode, QStringLiteral("server message"), version,
                                              QStringLiteral("https://downloads.test/new.zip"), QString());
        QCOMPARE(shownWarning(), expected);
        QVERIFY(child<QPushButton>("UpdateButton")->isEnabled());
        if (expected == 54)
            QCOMPARE(warning()->findChild<QLabel *>(QStringLiteral("MessageLabel"))->text(),
                     QStringLiteral("server message"));
        if (expected == 1 || expected == 52) {
            QTest::mouseClick(warning()->findChild<QPushButton *>(QStringLiteral("OkButton")), Qt::LeftButton);
            QCOMPARE(m_openedUrls, QList<QUrl>{QUrl(QStringLiteral("https://downloads.test/new.zip"))});
        }
    }

    void firmwareTooOld_data()
    {
        QTest::addColumn<int>("mouseType");
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("warns");
        QTest::newRow("Lanner 4") << 18 << 4 << true;
        QTest::newRow("Lanner 5") << 18 << 5 << false;
        QTest::newRow("Harrier 0") << 19 << 0 << true;
        QTest::newRow("Harrier 1") << 19 << 1 << false;
        QTest::newRow("Kestrel 0") << 11 << 0 << false;
    }

    void firmwareTooOld()
    {
        QFETCH(int, mouseType);
        QFETCH(int, version);
        QFETCH(bool, warns);
        openDevice(mouseType, false);
        m_window->slot_GetCurrentFirmVersion(version);
        QCOMPARE(m_window->currentFirmwareVersion(), version);
        QCOMPARE(shownWarning(), warns ? 26 : -1);
    }

    void newerFirmware_data()
    {
        QTest::addColumn<int>("rCode");
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("warns");
        QTest::newRow("newer") << 0 << QStringLiteral("33") << true;
        QTest::newRow("same") << 0 << QStringLiteral("32") << false;
        QTest::newRow("older") << 0 << QStringLiteral("31") << false;
        QTest::newRow("empty") << 0 << QString() << false;
        QTest::newRow("failed") << 3 << QStringLiteral("40") << false;
    }

    void newerFirmware()
    {
        QFETCH(int, rCode);
        QFETCH(QString, version);
        QFETCH(bool, warns);
        openDevice(11, false);
        m_window->slot_GetCurrentFirmVersion(32);
        m_window->slot_LastFirmWareVersionRet(rCode, QString(), version, QString());
        QCOMPARE(shownWarning(), warns ? 35 : -1);
    }

    void warningsRaisedFromTheWindow()
    {
        QSignalSpy removeLoading(m_window.get(), &MainWindow::sig_RemoveReloadWidget);
        emit m_window->sig_WarningTypeOnMainWindow(13);
        QCOMPARE(shownWarning(), 13);
        QCOMPARE(removeLoading.count(), 1);
        warning()->removeAll();
        emit m_window->sig_ShowWarningWidgetWithSpecifyMessage(54, QStringLiteral("no route"));
        QCOMPARE(shownWarning(), 54);
    }

    void warningActionsReachTheWindow()
    {
        openDevice(11, true);
        // 33: go to the pairing page.
        m_window->slot_showWarningDialog(33);
        QTest::mouseClick(warning()->findChild<QPushButton *>(QStringLiteral("OkButton")), Qt::LeftButton);
        QCOMPARE(stack()->currentIndex(), 5);
        m_window->slot_stopCode();
        // 35: the support page.
        m_window->slot_showWarningDialog(35);
        QTest::mouseClick(warning()->findChild<QPushButton *>(QStringLiteral("OkButton")), Qt::LeftButton);
        QCOMPARE(stack()->currentIndex(), 3);
        // 38 declined: configuration 1 goes back into the mouse.
        QSignalSpy load(m_window.get(), &MainWindow::sig_LoadFileAndeWriteIntoMouse);
        m_window->slot_showWarningDialog(38);
        QTest::mouseClick(warning()->findChild<QPushButton *>(QStringLiteral("Cancle_Button")), Qt::LeftButton);
        QCOMPARE(load.count(), 1);
        QCOMPARE(load.first().first().toInt(), 1);
        // 26: the firmware update view.
        m_window->slot_showWarningDialog(26);
        QTest::mouseClick(warning()->findChild<QPushButton *>(QStringLiteral("OkButton")), Qt::LeftButton);
        QVERIFY(m_window->updateMouseDialog()->isVisible());
        QCOMPARE(m_window->updateMouseDialog()->selectedModel(), 11);
    }

    void quittingLeavesThroughTheEventLoop_data()
    {
        QTest::addColumn<int>("warningType");
        QTest::newRow("no-device dialog") << -1;
        QTest::newRow("warning 14") << 14;
        QTest::newRow("warning 31") << 31;
    }

    void quittingLeavesThroughTheEventLoop()
    {
        QFETCH(int, warningType);
        QSignalSpy quit(m_window.get(), &MainWindow::QuitTheApplication);
        if (warningType < 0) {
            QVERIFY(m_window->needDeviceDialog()->isVisible());
            QTest::mouseClick(m_window->needDeviceDialog()->findChild<QPushButton *>(QStringLiteral("OkButton")),
                              Qt::LeftButton);
        } else {
            m_window->slot_showWarningDialog(warningType);
            QTest::mouseClick(warning()->findChild<QPushButton *>(QStringLiteral("OkButton")), Qt::LeftButton);
        }
        QCOMPARE(quit.count(), 1);
    }

    void restarterIsEndedAtStart()
    {
        const QString copy = m_dir->filePath(QStringLiteral("TestRestart3.exe"));
        QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), copy));
        QProcess restarter;
        restarter.start(copy, {QStringLiteral("30")});
        QVERIFY(restarter.waitForStarted());
        m_window = std::make_unique<MainWindow>();
        QVERIFY(restarter.waitForFinished(5000));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
