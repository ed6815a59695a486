// Desktop notifications against a recording notification server on a
// session bus of the test's own (ctest runs it under dbus-run-session):
// the battery thresholds as values over time, first through the notifier and
// then through the real bridge with an emulated Merlin behind its receiver;
// the firmware and tray notices; the setting that turns them off.
#include "app/MainWindow.h"
#include "app/Notifier.h"
#include "emulator/kestrel/EmulatedKestrelMouse.h"
#include "store/SettingsFiles.h"
#include "store/TextTable.h"
#include "support/WindowRig.h"

#include <QCheckBox>
#include <QLabel>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QVariantMap>
#include <QtTest>

// The desktop's side of org.freedesktop.Notifications: records each call.
class RecordingServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList summaries;
    QStringList bodies;
    QStringList appNames;

public slots:
    uint Notify(const QString &appName, uint, const QString &, const QString &summary, const QString &body,
                const QStringList &, const QVariantMap &, int)
    {
        appNames << appName;
        summaries << summary;
        bodies << body;
        return uint(summaries.size());
    }
    QStringList GetCapabilities() { return {QStringLiteral("body")}; }
};

class TestNotifications : public QObject
{
    Q_OBJECT

private:
    RecordingServer m_server;

private slots:
    void initTestCase()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            QSKIP("no session bus (run under dbus-run-session)");
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &m_server,
                                   QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));
        TextTable::loadTextTable(QFINDTESTDATA("../../resources/translate.json"), TextTable::kEnglishSlot);
    }

    void init()
    {
        m_server.summaries.clear();
        m_server.bodies.clear();
        m_server.appNames.clear();
    }

    void batteryThresholds_data()
    {
        QTest::addColumn<QList<int>>("values"); // as the bridge publishes them, in order
        QTest::addColumn<QStringList>("said");
        const QString low = TextTable::text(TextTable::TextNotifyBatteryLowTitle);
        const QString veryLow = TextTable::text(TextTable::TextNotifyBatteryVeryLowTitle);
        const QString charged = TextTable::text(TextTable::TextNotifyChargedTitle);
        QTest::newRow("falling through both") << QList<int>{67, 40, 15, 14, 9, 5, 4, 3} << QStringList{low, veryLow};
        QTest::newRow("straight to very low") << QList<int>{30, 4} << QStringList{veryLow};
        QTest::newRow("wavering at the line says it once") << QList<int>{16, 15, 18, 15, 14, 24, 13} << QStringList{low};
        QTest::newRow("well above again, then low again") << QList<int>{14, 30, 14} << QStringList{low, low};
        QTest::newRow("charged above, then low again")
            << QList<int>{14, 101, 102, 80, 15} << QStringList{low, charged, low};
        QTest::newRow("no reading is no level") << QList<int>{103, 0, 50} << QStringList{};
        QTest::newRow("full without charging first says nothing") << QList<int>{102, 90} << QStringList{};
    }

    void batteryThresholds()
    {
        QFETCH(QList<int>, values);
        QFETCH(QStringList, said);
        Notifier notifier(nullptr);
        notifier.mouseOpened();
        for (int v : values)
            notifier.batteryValue(DWORD(v));
        QTRY_COMPARE(m_server.summaries, said);
        QTest::qWait(50);
        QCOMPARE(m_server.summaries, said);
        for (const QString &app : qAsConst(m_server.appNames))
            QCOMPARE(app, QStringLiteral("HarrierDriver"));
    }

    void offSaysNothing()
    {
        Notifier notifier(nullptr);
        notifier.setEnabled(false);
        notifier.batteryValue(4);
        notifier.firmwareUpdateEnded(false);
        notifier.keptInTray();
        QTest::qWait(100);
        QVERIFY(m_server.summaries.isEmpty());
    }

    void firmwareAndTray()
    {
        Notifier notifier(nullptr);
        notifier.firmwareUpdateEnded(true);
        notifier.firmwareUpdateEnded(false);
        notifier.keptInTray();
        notifier.keptInTray(); // the first close only
        QTRY_COMPARE(m_server.summaries.size(), 3);
        QCOMPARE(m_server.summaries.at(0), TextTable::text(TextTable::TextNotifyFirmwareDoneTitle));
        QCOMPARE(m_server.summaries.at(1), TextTable::text(TextTable::TextNotifyFirmwareFailedTitle));
        QCOMPARE(m_server.bodies.at(2), TextTable::text(TextTable::TextKeepsRunningInTray));
    }

    // The real window and bridge: the mouse's raw readings go through the
    // bridge's battery filter; the notices follow what it publishes.
    void throughTheBridge()
    {
        WindowRig rig;
        const EmulatedDevices devices = rig.plug(QStringLiteral("merlin-receiver"));
        std::shared_ptr<EmulatedKestrelMouse> mouse;
        for (const auto &d : devices)
            if (auto r = std::dynamic_pointer_cast<EmulatedKestrelReceiver>(d))
                mouse = r->mouse();
        QVERIFY(mouse);
        mouse->setBatteryRaw(640); // 67 %
        rig.window->setTimerIntervals(20, 1000);
        rig.poll();
        QTRY_VERIFY_WITH_TIMEOUT(rig.window->isDeviceOpen(), WindowRig::kWaitMs);
        auto *percent = rig.window->findChild<QLabel *>(QStringLiteral("BatteryPercentLabel"));
        QTRY_COMPARE_WITH_TIMEOUT(percent->text(), QStringLiteral("67%"), WindowRig::kWaitMs);
        mouse->setBatteryRaw(607); // 14 %
        QTRY_COMPARE_WITH_TIMEOUT(percent->text(), QStringLiteral("14%"), WindowRig::kWaitMs);
        mouse->setBatteryRaw(565); // 4 %
        QTRY_COMPARE_WITH_TIMEOUT(percent->text(), QStringLiteral("4%"), WindowRig::kWaitMs);
        QTest::qWait(200);
        QCOMPARE(m_server.summaries, (QStringList{TextTable::text(TextTable::TextNotifyBatteryLowTitle),
                                                  TextTable::text(TextTable::TextNotifyBatteryVeryLowTitle)}));
        QCOMPARE(m_server.bodies.first(), TextTable::textWith(TextTable::TextNotifyBatteryBody, QStringLiteral("14")));

        // The support page's switch turns them off, and is kept.
        auto *box = rig.window->findChild<QCheckBox *>(QStringLiteral("NotificationsCheckBox"));
        QVERIFY(box->isChecked());
        box->click();
        QVERIFY(!rig.window->notifier()->isEnabled());
        QVERIFY(!SettingsFiles::notificationsEnabled());
        rig.window->setTimerIntervals(3000, 1000);
    }
};

QTEST_MAIN(TestNotifications)
#include "tst_notifications.moc"
