// Receiver pairing in the whole program: a first-family mouse found through
// its emulated receiver, the support page's way to the pairing page, the
// page's buttons, the bridge's poll on its worker thread (on the virtual
// clock) and the result the window shows.
#include "app/WarningDialog.h"
#include "emulator/kestrel/EmulatedKestrelMouse.h"
#include "pages/CodeWidget.h"
#include "support/PageInput.h"
#include "support/WindowRig.h"

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
    std::unique_ptr<WindowRig> m_rig;
    std::shared_ptr<EmulatedKestrelReceiver> m_receiver;

    MainWindow *window() const { return m_rig->window.get(); }
    template <typename T>
    T *child(const char *name) const
    {
        return namedChild<T>(window(), name);
    }
    int page() const { return child<QStackedWidget>("stackedWidget")->currentIndex(); }
    int step() const { return child<QStackedWidget>("stackedWidget_Code")->currentIndex(); }
    int shownWarning() const
    {
        return window()->warningDialog()->isVisible() ? window()->warningDialog()->currentType() : -1;
    }
    int workModeQueries() const { return m_receiver->ownCommands().count(QByteArray(1, char(0xA7))); }

    // A Kestrel through its receiver, open, and the pairing page reached from the support page.
    void openPairingPage(int completesAfter)
    {
        m_receiver =
            std::dynamic_pointer_cast<EmulatedKestrelReceiver>(m_rig->plug(QStringLiteral("kestrel-receiver")).first());
        QVERIFY(m_receiver);
        m_receiver->setPairingCompletesAfter(completesAfter);
        m_rig->poll();
        QTRY_VERIFY_WITH_TIMEOUT(window()->isDeviceOpen(), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(child<QPushButton>("PairButton")->isEnabled(), kWaitMs);
        QTest::qWait(200);

        clickNamed(window(), "SupportButton");
        clickNamed(window(), "PairButton");
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
    void init() { m_rig = std::make_unique<WindowRig>(); }

    void cleanup()
    {
        m_rig.reset();
        m_receiver.reset();
    }

    void startPairsAndShowsTheResult()
    {
        openPairingPage(20);
        m_receiver->setPairedPid(0);
        QSignalSpy steps(child<QStackedWidget>("stackedWidget_Code"), &QStackedWidget::currentChanged);
        clickNamed(window(), "pushButton_code");
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
        clickNamed(window(), "pushButton_code");
        QTRY_COMPARE_WITH_TIMEOUT(step(), 1, kWaitMs);
        QVERIFY(child<QWidget>("page_code_2")->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(workModeQueries() > 0, kWaitMs);
        clickNamed(window(), "pushButton_stopCode_3");
        expectBackOnTheSupportPage();
        // Stopped by the user, the receiver is told to stop listening.
        QTRY_VERIFY_WITH_TIMEOUT(!m_receiver->isPairing(), kWaitMs);
        // The poll has stopped: no more queries, no result.
        QTest::qWait(100);
        const int queries = workModeQueries();
        QTest::qWait(300);
        QCOMPARE(workModeQueries(), queries);
        QCOMPARE(shownWarning(), -1);

        // Leaving before starting sends nothing to the receiver.
        const int commands = m_receiver->ownCommands().size();
        clickNamed(window(), "PairButton");
        QCOMPARE(step(), 0);
        QVERIFY(child<QPushButton>("pushButton_code")->isEnabled());
        clickNamed(window(), "pushButton_stopCode");
        expectBackOnTheSupportPage();
        QTest::qWait(100);
        QCOMPARE(m_receiver->ownCommands().size(), commands);
    }

    void timesOutAfterTheBridgeLimit()
    {
        openPairingPage(-1);
        const qint64 before = DeviceClock::virtualElapsedMs();
        clickNamed(window(), "pushButton_code");
        QTRY_COMPARE_WITH_TIMEOUT(shownWarning(), kPairingFailed, kWaitMs);
        expectBackOnTheSupportPage();
        // 200 polls of 100 ms: the last gives up without asking, and tells the receiver to stop listening.
        QCOMPARE(workModeQueries(), 199);
        QCOMPARE(m_receiver->ownCommands().last(), QByteArray::fromHex("a181"));
        QVERIFY(!m_receiver->isPairing());
        QVERIFY(DeviceClock::virtualElapsedMs() - before >= 20000);
    }
};

QTEST_MAIN(TestPairingFlow)
#include "tst_pairingflow.moc"
