#include "app/MainWindow.h"
#include "app/NeedDeviceDialog.h"
#include "app/WarningDialog.h"
#include "device/CheckDevice.h"
#include "emulator/EmulatedBackend.h"
#include "emulator/EmulatedCatalog.h"
#include "platform/AppPaths.h"
#include "platform/DeviceClock.h"
#include "platform/hid/HidBackend.h"
#include "support/TempAppFolder.h"

#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

// The whole road of a mouse: the emulated mouse on the bus, CheckDevice's
// poll, the bridge on its worker thread, and what the window then shows.
class TestDevicePresence : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempAppFolder> m_dir;
    std::unique_ptr<EmulatedBackend> m_bus;
    std::unique_ptr<MainWindow> m_window;

    QList<int> plug(const QString &name)
    {
        EmulatedDevices devices;
        QString error;
        if (!EmulatedCatalog::create(name, &devices, &error))
            qFatal("cannot emulate %s: %s", qPrintable(name), qPrintable(error));
        QList<int> ids;
        for (const auto &device : devices)
            ids << m_bus->plug(device);
        return ids;
    }

    // One poll of the bus, as CheckDevice's timer would run it.
    void poll() { m_window->findChild<CheckDevice *>()->checkDeviceOnce(); }

    template<typename T>
    T *child(const char *name) const { return m_window->findChild<T *>(QLatin1String(name)); }

private slots:
    void init()
    {
        m_dir = std::make_unique<TempAppFolder>();
        DeviceClock::setVirtual(true);
        m_bus = std::make_unique<EmulatedBackend>();
        Hid::setBackend(m_bus.get());
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        m_window->attachDeferredPages(); // every page at once, not after the first paint
    }

    void cleanup()
    {
        m_window.reset();
        Hid::setBackend(nullptr);
        m_bus.reset();
        DeviceClock::setVirtual(false);
        m_dir.reset();
    }

    void arrivalAndRemoval_data()
    {
        QTest::addColumn<QString>("mouse");
        QTest::addColumn<bool>("wireless");
        QTest::addColumn<QString>("logo");
        const QString kestrelLogo = QStringLiteral(":/picture/kestrel/picture/KESTREL/logo_korvan.png");
        QTest::newRow("Kestrel by cable") << "kestrel" << false << kestrelLogo;
        QTest::newRow("Kestrel through its receiver") << "kestrel-receiver" << true << kestrelLogo;
        QTest::newRow("MerlinQ through its receiver") << "merlinq-receiver" << true
                                                      << QStringLiteral(":/picture/merlin/picture/MERLIN/logo_korvan.png");
    }

    void arrivalAndRemoval()
    {
        QFETCH(QString, mouse);
        QFETCH(bool, wireless);
        QFETCH(QString, logo);
        QVERIFY(m_window->needDeviceDialog()->isVisible());

        plug(mouse);
        poll();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->isDeviceOpen(), 20000);
        QVERIFY(!m_window->needDeviceDialog()->isVisible());
        QCOMPARE(child<QStackedWidget>("stackedWidget")->currentIndex(), 0);
        const QString indicator = wireless ? QStringLiteral(":/picture/picture/Kestrel/wireless.png")
                                           : QStringLiteral(":/picture/picture/Kestrel/wire.png");
        QVERIFY(child<QLabel>("WireStateLabel")->styleSheet().contains(indicator));
        QCOMPARE(child<QLabel>("LogoLabel")->property("logo").toString(), logo);
        // The battery shows once its first reading is in, and only by receiver.
        QVERIFY(!child<QLabel>("BatteryLabel")->isVisible());
        m_window->slot_BatteryPower(55);
        QCOMPARE(child<QLabel>("BatteryLabel")->isVisible(), wireless);
        QVERIFY(child<QPushButton>("ConfigureButton_1")->isEnabled());
        QVERIFY(m_window->isBatteryTimerRunning());

        m_bus->unplugAll();
        poll();
        QVERIFY(!m_window->isDeviceOpen());
        QVERIFY(m_window->needDeviceDialog()->isVisible());
        QVERIFY(child<QLabel>("BatteryLabel")->styleSheet().contains(QStringLiteral("top_icon_battery0.png")));
        QVERIFY(!m_window->isBatteryTimerRunning());
        QVERIFY(!child<QPushButton>("ConfigureButton_1")->isEnabled());

        // The bridge let the mouse go: it opens again when it comes back.
        plug(mouse);
        poll();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->isDeviceOpen(), 20000);
    }

    void profileButtonReachesTheMouse()
    {
        plug(QStringLiteral("merlin"));
        poll();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->isDeviceOpen(), 20000);
        // A factory-fresh mouse matches the factory configurations written on first use.
        QTRY_COMPARE_WITH_TIMEOUT(m_window->currentConfigNumber(), 1, 20000);
        WarningDialog *warning = m_window->warningDialog();
        QVERIFY(!warning->isVisible());

        QSignalSpy load(m_window.get(), &MainWindow::sig_LoadFileAndeWriteIntoMouse);
        QTest::mouseClick(child<QPushButton>("ConfigureButton_2"), Qt::LeftButton);
        QCOMPARE(load.count(), 1);
        QCOMPARE(load.last().first().toInt(), 2);
        QCOMPARE(m_window->currentConfigNumber(), 2);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(AppPaths::dataRoot()
                                               + QStringLiteral("/ConfigFiles/MouseFile/merlin/AFile/CPIUIInterfaceFile/2/CpiSetting.json")),
                                 20000);
        // The mouse took it: no failure was reported.
        QTest::qWait(300);
        QVERIFY(!warning->isVisible());
    }

    // The text files written for a cloud upload are gone once it is over,
    // so they cannot be taken for an older configuration later.
    void uploadLeavesNoTextFiles()
    {
        plug(QStringLiteral("merlin"));
        poll();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->isDeviceOpen(), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(m_window->currentConfigNumber(), 1, 20000);
        const QString folder = AppPaths::dataRoot() + QStringLiteral("/ConfigFiles/MouseFile/merlin/AFile/");
        QSignalSpy finished(m_window.get(), &MainWindow::sig_UploadFinished);
        emit m_window->warningDialog()->sig_ChangeConfiFileBeforeStartToUploadFile();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(QDir(folder).entryList({QStringLiteral("*.txt")}, QDir::Files).isEmpty(), 20000);
    }

    void removalWhilePairing()
    {
        plug(QStringLiteral("kestrel-receiver"));
        poll();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->isDeviceOpen(), 20000);
        m_window->slot_GoToMatchCodePage();
        QCOMPARE(child<QStackedWidget>("stackedWidget")->currentIndex(), 5);
        QSignalSpy stop(m_window.get(), &MainWindow::sig_stopCode);
        m_bus->unplugAll();
        poll();
        QCOMPARE(stop.count(), 1);
        QCOMPARE(child<QStackedWidget>("stackedWidget")->currentIndex(), 3);
    }
};

QTEST_MAIN(TestDevicePresence)
#include "tst_devicepresence.moc"
