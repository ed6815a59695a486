// Receiver pairing in the whole program: a first-family mouse found through
// its emulated receiver, the support page's way to the pairing page, the
// page's buttons, the bridge's poll on its worker thread (on the virtual
// clock) and the result the window shows.
#include "app/MainWindow.h"
#include "app/WarningDialog.h"
#include "device/CheckDevice.h"
#include "emulator/EmulatedBackend.h"
#include "emulator/EmulatedCatalog.h"
#include "emulator/kestrel/EmulatedKestrelMouse.h"
#include "pages/CodeWidget.h"
#include "platform/DeviceClock.h"
#include "platform/hid/HidBackend.h"
#include "support/PageInput.h"
#include "support/TempAppFolder.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QtTest>
#include <memory>

namespace {

constexpr int kWaitMs = 20000;
// Warnings the window shows for pairing.
constexpr int kPairingFailed = 42;
constexpr int kPairingSucceeded = 46;

} // namespace

class TestPairingFlow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempAppFolder> m_folder;
    std::unique_ptr<EmulatedBackend> m_bus;
    std::unique_ptr<MainWindow> m_window;
    std::shared_ptr<EmulatedKestrelReceiver> m_receiver;

    template <typename T>
    T *child(const char *name) const
    {
        return namedChild<T>(m_window.get(), name);
    }
    int page() const { return child<QStackedWidget>("stackedWidget")->currentIndex(); }
    int step() const { return child<QStackedWidget>("stackedWidget_Code")->currentIndex(); }
    int shownWarning() const
    {
        return m_window->warningDialog()->isVisible() ? m_window->warningDialog()->currentType() : -1;
    }
    int workModeQueries() const { return m_receiver->ownCommands().count(QByteArray(1, char(0xA7))); }

    // A Kestrel through its receiver, open, and the pairing page reached from the support page.
    void openPairingPage(int completesAfter)
    {
        EmulatedDevices devices;
        QString error;
        QVERIFY2(EmulatedCatalog::create(QStringLiteral("kestrel-receiver"), &devices, &error), qPrintable(error));
        m_receiver = std::dynamic_pointer_cast<EmulatedKestrelReceiver>(devices.first());
        QVERIFY(m_receiver);
        m_receiver->setPairingCompletesAfter(completesAfter);
        for (const auto &device : qAsConst(devices))
            m_bus->plug(device);
        m_window->findChild<CheckDevice *>()->checkDeviceOnce();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->isDeviceOpen(), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(child<QPushButton>("PairButton")->isEnabled(), kWaitMs);
        QTest::qWait(200);

        clickNamed(m_window.get(), "SupportButton");
        clickNamed(m_window.get(), "PairButton");
        QCOMPARE(page(), int(MainWindow::MatchCodePage));
        QCOMPARE(step(), 0);
        QVERIFY(child<QWidget>("page_code_1")->isVisible());
        // The other pages stay out of reach while pairing.
        QVERIFY(!child<QPushButton>("SupportButton")->isVisible());
    }

    void expectBackOnTheSupportPage()
    {
        QCOMPARE(page(), int(MainWindow::SupportPage));
        QVERIFY(child<QPushButton>("SupportButton")->isVisible());
        QCOMPARE(step(), 0);
    }

private slots:
    void init()
    {
        m_folder = std::make_unique<TempAppFolder>();
        DeviceClock::setVirtual(true);
        m_bus = std::make_unique<EmulatedBackend>();
        Hid::setBackend(m_bus.get());
        m_window = std::make_unique<MainWindow>();
        m_window->show();
    }

    void cleanup()
    {
        m_window.reset();
        m_receiver.reset();
        Hid::setBackend(nullptr);
        m_bus.reset();
        DeviceClock::setVirtual(false);
        m_folder.reset();
    }

    void startPairsAndShowsTheResult()
    {
        openPairingPage(20);
        m_receiver->setPairedPid(0);
        QSignalSpy steps(child<QStackedWidget>("stackedWidget_Code"), &QStackedWidget::currentChanged);
        clickNamed(m_window.get(), "pushButton_code");
        QTRY_COMPARE_WITH_TIMEOUT(shownWarning(), kPairingSucceeded, kWaitMs);
        // The second step was shown while the receiver listened, then the first again.
        QCOMPARE(steps, (QList<QVariantList>{{1}, {0}}));
        expectBackOnTheSupportPage();
        QVERIFY(!m_receiver->isPairing());
        QCOMPARE(m_receiver->pairedPid(), quint16(0x4130));
        const QVector<QByteArray> own = m_receiver->ownCommands();
        QCOMPARE(own.at(own.size() - 21 - 1).left(2), QByteArray("\xA1\x8F", 2));
        QCOMPARE(workModeQueries(), 21);
    }

    void startAndStop()
    {
        openPairingPage(-1);
        // On the virtual clock the whole wait would be over at once: this one runs in real time.
        DeviceClock::setVirtual(false);
        clickNamed(m_window.get(), "pushButton_code");
        QTRY_COMPARE_WITH_TIMEOUT(step(), 1, kWaitMs);
        QVERIFY(child<QWidget>("page_code_2")->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(workModeQueries() > 0, kWaitMs);
        clickNamed(m_window.get(), "pushButton_stopCode_3");
        expectBackOnTheSupportPage();
        // The poll has stopped: no more queries, no result.
        QTest::qWait(100);
        const int queries = workModeQueries();
        QTest::qWait(300);
        QCOMPARE(workModeQueries(), queries);
        QCOMPARE(shownWarning(), -1);

        // Leaving before starting sends nothing to the receiver.
        const int commands = m_receiver->ownCommands().size();
        clickNamed(m_window.get(), "PairButton");
        QCOMPARE(step(), 0);
        QVERIFY(child<QPushButton>("pushButton_code")->isEnabled());
        clickNamed(m_window.get(), "pushButton_stopCode");
        expectBackOnTheSupportPage();
        QTest::qWait(100);
        QCOMPARE(m_receiver->ownCommands().size(), commands);
    }

    void timesOutAfterTheBridgeLimit()
    {
        openPairingPage(-1);
        const qint64 before = DeviceClock::virtualElapsedMs();
        clickNamed(m_window.get(), "pushButton_code");
        QTRY_COMPARE_WITH_TIMEOUT(shownWarning(), kPairingFailed, kWaitMs);
        expectBackOnTheSupportPage();
        // 200 polls of 100 ms: the last gives up without asking.
        QCOMPARE(workModeQueries(), 199);
        QVERIFY(DeviceClock::virtualElapsedMs() - before >= 20000);
    }
};

QTEST_MAIN(TestPairingFlow)
#include "tst_pairingflow.moc"
