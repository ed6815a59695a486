#include "device/CheckDevice.h"
#include "emulator/EmulatedBackend.h"
#include "emulator/EmulatedCatalog.h"
#include "platform/AppPaths.h"
#include "support/TempAppFolder.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

// A device that only shows an identity, with one or more vendor collections.
class IdentityDevice : public EmulatedDevice
{
public:
    IdentityDevice(quint16 vid, quint16 pid, quint16 release = 0x0100, const QString &product = QString(),
                   int collections = 1)
        : m_vid(vid), m_pid(pid), m_release(release), m_product(product), m_collections(collections)
    {
    }
    quint16 vendorId() const override { return m_vid; }
    quint16 productId() const override { return m_pid; }
    quint16 releaseNumber() const override { return m_release; }
    QString productString() const override { return m_product; }
    QByteArray reportDescriptor() const override
    {
        QByteArray hex;
        for (int i = 1; i <= m_collections; ++i)
            hex += "06 00 ff 09 01 a1 01 85 0" + QByteArray::number(i) + " 75 08 95 05 09 01 b1 02 c0 ";
        return QByteArray::fromHex(hex);
    }

private:
    quint16 m_vid, m_pid, m_release;
    QString m_product;
    int m_collections;
};

std::shared_ptr<EmulatedDevice> mouse(quint16 pid, int collections = 2)
{
    return std::make_shared<IdentityDevice>(0x3A5E, pid, 0x0100, QString(), collections);
}

} // namespace

class TestCheckDevice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void choosesAndReports_data();
    void choosesAndReports();
    void cableArrivesBesideReceiver();
    void unplugReportedOnce();
    void replacedThenGoneReportedOnce();
    void twoMiceOfOneModel();
    void bootLoaderIdentities_data();
    void bootLoaderIdentities();
    void bootLoaderAnnouncedOncePerTick();
    void noBackendMeansNoDevice();
    void timerPollsAndStops();
    void announcementsWakeTheScan();
    void pausedPollIgnoresAnnouncements();

private:
    // Runs one poll and returns what it reported: "T4130" / "F4130" per sigFound, "-" for nothing.
    QString tick();

    TempAppFolder m_dir;
    EmulatedBackend m_bus;
    std::unique_ptr<CheckDevice> m_check;
    QStringList m_events;
};

void TestCheckDevice::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestCheckDevice::init()
{
    m_bus.unplugAll();
    Hid::setBackend(&m_bus);
    m_check = std::make_unique<CheckDevice>();
    m_check->stopTheTimer(); // the tests tick by hand
    m_events.clear();
    connect(m_check.get(), &CheckDevice::sigFound, this, [this](bool found, uint pid, uint vid) {
        QCOMPARE(vid, 0x3A5Eu);
        m_events << QStringLiteral("%1%2").arg(found ? 'T' : 'F').arg(pid, 4, 16, QLatin1Char('0')).toUpper();
    });
}

void TestCheckDevice::cleanup()
{
    m_check.reset();
    Hid::setBackend(nullptr);
}

QString TestCheckDevice::tick()
{
    m_events.clear();
    m_check->checkDeviceOnce();
    return m_events.isEmpty() ? QStringLiteral("-") : m_events.join(QLatin1Char(','));
}

void TestCheckDevice::choosesAndReports_data()
{
    QTest::addColumn<QString>("plugged"); // VID:PID of each device, all plugged before the first tick
    QTest::addColumn<QString>("ticks");   // what each tick reports

    QTest::newRow("wired mouse") << "3A5E:4163" << "T4163|-|-";
    QTest::newRow("kestrel cable and receiver: cable first in line")
        << "3A5E:1804 3A5E:4130" << "T4130|-|-";
    QTest::newRow("merlin cable and receiver: receiver first, then its cable wins")
        << "3A5E:4133 3A5E:4132" << "T4133|F4133|T4132|-|-";
    QTest::newRow("first family boot loader wins over everything")
        << "3A5E:4130 0603:1022 3A5E:3000 3A5E:4122" << "T3000|-";
    QTest::newRow("second family boot loader wins over mice") << "3A5E:4122 0603:1022 3A5E:4130" << "T1022|-";
    QTest::newRow("other vendors ignored") << "046D:4130 1532:3000 0603:4163 0603:1023" << "-|-";
    QTest::newRow("vendor PID not supported") << "3A5E:5000" << "-";
    QTest::newRow("other vendor beside a mouse") << "046D:C077 3A5E:4126" << "T4126|-";
    QTest::newRow("osprey before falcon") << "3A5E:4123 3A5E:4122" << "T4122|-";
    // Supported by the rest of the program, so reported too.
    QTest::newRow("kestreleu cable") << "3A5E:413B" << "T413B|-";
    QTest::newRow("kestreleu receiver") << "3A5E:180F" << "T180F|-";
    QTest::newRow("kestreleu cable and receiver") << "3A5E:180F 3A5E:413B" << "T413B|-|-";
    QTest::newRow("wren") << "3A5E:4161" << "T4161|-";
}

void TestCheckDevice::choosesAndReports()
{
    QFETCH(QString, plugged);
    QFETCH(QString, ticks);
    for (const QString &id : plugged.split(QLatin1Char(' '))) {
        const QStringList parts = id.split(QLatin1Char(':'));
        m_bus.plug(std::make_shared<IdentityDevice>(parts.at(0).toUShort(nullptr, 16), parts.at(1).toUShort(nullptr, 16),
                                                    0x4163, QStringLiteral("Merlin Boot"), 2));
    }
    QStringList got;
    for (int i = 0; i < ticks.count(QLatin1Char('|')) + 1; ++i)
        got << tick();
    QCOMPARE(got.join(QLatin1Char('|')), ticks);
}

void TestCheckDevice::cableArrivesBesideReceiver()
{
    m_bus.plug(mouse(0x1804));
    QCOMPARE(tick(), QStringLiteral("T1804"));
    QCOMPARE(tick(), QStringLiteral("-"));
    const int cable = m_bus.plug(mouse(0x4130));
    QCOMPARE(tick(), QStringLiteral("F1804"));
    QCOMPARE(tick(), QStringLiteral("T4130"));
    QCOMPARE(tick(), QStringLiteral("-"));
    // Cable pulled again: back to the receiver.
    m_bus.unplug(cable);
    QCOMPARE(tick(), QStringLiteral("F4130"));
    QCOMPARE(tick(), QStringLiteral("T1804"));
    QCOMPARE(tick(), QStringLiteral("-"));
}

void TestCheckDevice::unplugReportedOnce()
{
    const int id = m_bus.plug(mouse(0x4162));
    QCOMPARE(tick(), QStringLiteral("T4162"));
    m_bus.unplug(id);
    QCOMPARE(tick(), QStringLiteral("F4162"));
    QCOMPARE(tick(), QStringLiteral("-"));
    QCOMPARE(tick(), QStringLiteral("-"));
    m_bus.plug(mouse(0x4162));
    QCOMPARE(tick(), QStringLiteral("T4162"));
}

void TestCheckDevice::replacedThenGoneReportedOnce()
{
    const int receiver = m_bus.plug(mouse(0x180A));
    QCOMPARE(tick(), QStringLiteral("T180A"));
    const int cable = m_bus.plug(mouse(0x4137));
    QCOMPARE(tick(), QStringLiteral("F180A"));
    // Both gone before the new one was reported: nothing more to withdraw.
    m_bus.unplug(cable);
    m_bus.unplug(receiver);
    QCOMPARE(tick(), QStringLiteral("-"));
    QCOMPARE(tick(), QStringLiteral("-"));
}

// Two mice of one model share a PID: unplugging the one being configured
// is reported as gone, and the one left as found on the next scan, so the
// bridge opens it instead of writing to a closed node. A second mouse
// arriving changes nothing.
void TestCheckDevice::twoMiceOfOneModel()
{
    const int first = m_bus.plug(mouse(0x4130));
    QCOMPARE(tick(), QStringLiteral("T4130"));
    const int second = m_bus.plug(mouse(0x4130));
    QCOMPARE(tick(), QStringLiteral("-"));
    m_bus.unplug(first);
    QCOMPARE(tick(), QStringLiteral("F4130"));
    QCOMPARE(tick(), QStringLiteral("T4130"));
    QCOMPARE(tick(), QStringLiteral("-"));
    m_bus.unplug(second);
    QCOMPARE(tick(), QStringLiteral("F4130"));
    QCOMPARE(tick(), QStringLiteral("-"));
}

void TestCheckDevice::bootLoaderIdentities_data()
{
    QTest::addColumn<QString>("model"); // an --emulate name
    QTest::addColumn<uint>("pid");
    QTest::addColumn<int>("mouseType");

    QTest::newRow("kestreleu") << "kestreleu-boot" << 0x3000u << 14;
    QTest::newRow("merlin") << "merlin-boot" << 0x3000u << 12;
    QTest::newRow("merlinq names Merlin") << "merlinq-boot" << 0x3000u << 12;
    QTest::newRow("kestrel unknown") << "kestrel-boot" << 0x3000u << 0;
    QTest::newRow("sakers") << "sakers-boot" << 0x1022u << 6;
    QTest::newRow("osprey") << "osprey-boot" << 0x1022u << 3;
    QTest::newRow("falcon") << "falcon-boot" << 0x1022u << 2;
    QTest::newRow("falcons") << "falcons-boot" << 0x1022u << 5;
    QTest::newRow("saker") << "saker-boot" << 0x1022u << 4;
    QTest::newRow("wren") << "wren-boot" << 0x1022u << 13;
    QTest::newRow("lanner") << "lanner-boot" << 0x1022u << 18;
    QTest::newRow("harrier") << "harrier-boot" << 0x1022u << 19;
}

void TestCheckDevice::bootLoaderIdentities()
{
    QFETCH(QString, model);
    QFETCH(uint, pid);
    QFETCH(int, mouseType);

    EmulatedDevices devices;
    QString error;
    QVERIFY2(EmulatedCatalog::create(model, &devices, &error), qPrintable(error));
    for (const auto &d : devices)
        m_bus.plug(d);
    QSignalSpy boot(m_check.get(), &CheckDevice::sigBlootDescriptor);
    QCOMPARE(tick(), QStringLiteral("T%1").arg(pid, 4, 16, QLatin1Char('0')));
    QCOMPARE(boot.count(), 1);
    QCOMPARE(boot.at(0).at(0).toInt(), mouseType);
}

void TestCheckDevice::bootLoaderAnnouncedOncePerTick()
{
    // Listed once per collection, announced once per device and tick.
    m_bus.plug(std::make_shared<IdentityDevice>(0x3A5E, 0x3000, 0x0100, QStringLiteral("KestrelEU Boot"), 3));
    m_bus.plug(std::make_shared<IdentityDevice>(0x0603, 0x1022, 0x4124, QString(), 2));
    QSignalSpy boot(m_check.get(), &CheckDevice::sigBlootDescriptor);
    QCOMPARE(tick(), QStringLiteral("T3000"));
    QCOMPARE(boot.count(), 2);
    QCOMPARE(boot.at(0).at(0).toInt(), 14);
    QCOMPARE(boot.at(1).at(0).toInt(), 5);
    tick();
    QCOMPARE(boot.count(), 4);
}

void TestCheckDevice::noBackendMeansNoDevice()
{
    Hid::setBackend(nullptr);
    QCOMPARE(tick(), QStringLiteral("-"));
}

void TestCheckDevice::timerPollsAndStops()
{
    m_bus.plug(mouse(0x4130));
    CheckDevice polling; // its constructor starts the timer
    QSignalSpy found(&polling, &CheckDevice::sigFound);
    QVERIFY(found.wait(3000));
    QCOMPARE(found.at(0).at(0).toBool(), true);

    // Started twice and stopped once, it polls no more.
    m_bus.unplugAll();
    polling.startTheTimer();
    polling.startTheTimer();
    polling.stopTheTimer();
    QVERIFY(!found.wait(1500));
    QCOMPARE(found.count(), 1);
}

// The bus's announcements, not the poll, bring arrivals and removals: the
// poll is set far beyond the waits below, so only a wake-up can report.
void TestCheckDevice::announcementsWakeTheScan()
{
    const int present = m_bus.plug(mouse(0x4163));
    CheckDevice check;
    check.setPollInterval(600000);
    QSignalSpy found(&check, &CheckDevice::sigFound);

    // Already plugged in at start-up: reported by the first turn of the loop.
    QVERIFY(found.wait(2000));
    QCOMPARE(found.takeFirst(), (QVariantList{true, 0x4163u, 0x3A5Eu}));

    m_bus.unplug(present);
    QVERIFY(found.wait(2000));
    QCOMPARE(found.takeFirst(), (QVariantList{false, 0x4163u, 0x3A5Eu}));

    m_bus.plug(mouse(0x1804));
    QVERIFY(found.wait(2000));
    QCOMPARE(found.takeFirst(), (QVariantList{true, 0x1804u, 0x3A5Eu}));

    // Its cable joins: the receiver is withdrawn and the cable follows at once,
    // in the order the poll reports them.
    const int cable = m_bus.plug(mouse(0x4130));
    QTRY_COMPARE_WITH_TIMEOUT(found.count(), 2, 2000);
    QCOMPARE(found.at(0), (QVariantList{false, 0x1804u, 0x3A5Eu}));
    QCOMPARE(found.at(1), (QVariantList{true, 0x4130u, 0x3A5Eu}));
    found.clear();

    // The cable dropping off in the middle of a transfer is announced too.
    std::unique_ptr<HidDevice> handle;
    for (const HidDeviceInfo &info : m_bus.enumerate())
        if (info.productId == 0x4130 && !handle)
            handle = m_bus.open(info);
    QVERIFY(handle);
    m_bus.setFaults(cable, EmulatedBackend::Faults{0, 0});
    std::uint8_t report[6] = {1};
    QCOMPARE(handle->getFeatureReport(report, sizeof report), -1);
    QTRY_COMPARE_WITH_TIMEOUT(found.count(), 2, 2000);
    QCOMPARE(found.at(0), (QVariantList{false, 0x4130u, 0x3A5Eu}));
    QCOMPARE(found.at(1), (QVariantList{true, 0x1804u, 0x3A5Eu}));
}

// While the poll is paused (a firmware update), announcements report nothing;
// with wake-ups off, only the poll reports.
void TestCheckDevice::pausedPollIgnoresAnnouncements()
{
    CheckDevice check;
    check.setPollInterval(600000);
    QSignalSpy found(&check, &CheckDevice::sigFound);
    QVERIFY(!found.wait(100)); // the start-up scan found nothing

    check.stopTheTimer();
    m_bus.plug(mouse(0x4122));
    QVERIFY(!found.wait(300));

    check.startTheTimer();
    check.setWakeEnabled(false);
    m_bus.plug(mouse(0x4123));
    QVERIFY(!found.wait(300));
    check.setPollInterval(50);
    QVERIFY(found.wait(2000));
    QCOMPARE(found.takeFirst(), (QVariantList{true, 0x4122u, 0x3A5Eu}));
}

QTEST_GUILESS_MAIN(TestCheckDevice)
#include "tst_checkdevice.moc"
