#include "emulator/EmulatedBackend.h"
#include "emulator/EmulatedCatalog.h"
#include "platform/hid/CombinedBackend.h"

#include <QDeadlineTimer>
#include <QThread>
#include <QtTest>
#include <atomic>

namespace {

// Echoes feature report 1 back and keeps a count of what it took, so tests can
// look into its state while another thread talks to it.
class EchoDevice : public EmulatedDevice
{
public:
    quint16 vendorId() const override { return 0x3A5E; }
    quint16 productId() const override { return 0x4163; }
    QByteArray reportDescriptor() const override
    {
        return QByteArray::fromHex("06 00 ff 09 01 a1 01 85 01 15 00 26 ff 00 75 08 95 05 09 01 b1 02 c0"
                                   "06 00 ff 09 01 a1 01 85 02 96 07 04 09 01 b1 02 c0");
    }
    int onSetFeature(const std::uint8_t *data, std::size_t length) override
    {
        if (length != 6 || data[0] != 1)
            return -1;
        std::copy(data, data + length, m_last);
        ++received;
        return int(length);
    }
    int onGetFeature(std::uint8_t *data, std::size_t length) override
    {
        if (length != 6 || data[0] != 1)
            return -1;
        std::copy(m_last, m_last + length, data);
        return int(length);
    }

    int received = 0; // touched only under the device's lock

private:
    std::uint8_t m_last[6] = {1, 0, 0, 0, 0, 0};
};

int sendAndGet(HidDevice &device, std::uint8_t value)
{
    const std::uint8_t out[6] = {1, value, 0, 0, 0, value};
    if (device.sendFeatureReport(out, sizeof out) != 6)
        return -1;
    std::uint8_t in[6] = {1};
    if (device.getFeatureReport(in, sizeof in) != 6)
        return -1;
    return in[1] == value && in[5] == value ? 6 : -1;
}

} // namespace

class TestEmulatedBackend : public QObject
{
    Q_OBJECT

private slots:
    void listsOneEntryPerCollection();
    void unusableDescriptorNeverListed();
    void handleFailsOnceUnplugged();
    void faults_data();
    void faults();
    void reportsShorterThanTwoBytesRefused();
    void plugAndUnplugWhileAnotherThreadTalks();
    void combinedBackendSeesBothBuses();
    void catalogue_data();
    void catalogue();
};

void TestEmulatedBackend::listsOneEntryPerCollection()
{
    EmulatedBackend bus;
    const int id = bus.plug(std::make_shared<EchoDevice>());
    const QVector<HidDeviceInfo> list = bus.enumerate();
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.at(0).path, list.at(1).path);
    QVERIFY(list.at(0).path.contains(QLatin1String("VID_3A5E&PID_4163")));
    QCOMPARE(list.at(0).collectionIndex, 0);
    QCOMPARE(list.at(1).collectionIndex, 1);
    QCOMPARE(list.at(0).caps.featureReportByteLength, 6);
    QCOMPARE(list.at(1).caps.featureReportByteLength, 1032);
    bus.unplug(id);
    QVERIFY(bus.enumerate().isEmpty());
}

void TestEmulatedBackend::unusableDescriptorNeverListed()
{
    class Broken : public EchoDevice
    {
        QByteArray reportDescriptor() const override { return QByteArray::fromHex("06 00 ff 09 01 a1 01 75"); }
    };
    EmulatedBackend bus;
    bus.plug(std::make_shared<Broken>());
    bus.plug(std::make_shared<EchoDevice>());
    QCOMPARE(bus.enumerate().size(), 2);
}

void TestEmulatedBackend::handleFailsOnceUnplugged()
{
    EmulatedBackend bus;
    const int id = bus.plug(std::make_shared<EchoDevice>());
    std::unique_ptr<HidDevice> device = bus.open(bus.enumerate().at(0));
    QVERIFY(device);
    QCOMPARE(sendAndGet(*device, 7), 6);
    bus.unplug(id);
    QCOMPARE(sendAndGet(*device, 7), -1);
    // Plugged again it is a new device; the old handle stays dead.
    bus.plug(bus.device(id));
    QCOMPARE(sendAndGet(*device, 7), -1);
    QVERIFY(!bus.open(HidDeviceInfo()));
}

void TestEmulatedBackend::faults_data()
{
    QTest::addColumn<int>("failNext");
    QTest::addColumn<int>("unplugAfter");
    QTest::addColumn<QString>("results"); // of six transfers: '+' served, '-' failed
    QTest::addColumn<bool>("pluggedAfter");

    QTest::newRow("none") << 0 << -1 << "++++++" << true;
    QTest::newRow("two failures, then service") << 2 << -1 << "--++++" << true;
    QTest::newRow("vanishes mid-exchange") << 0 << 3 << "+++---" << false;
    QTest::newRow("vanishes at once") << 0 << 0 << "------" << false;
    QTest::newRow("fails, then vanishes") << 1 << 2 << "-+----" << false;
}

void TestEmulatedBackend::faults()
{
    QFETCH(int, failNext);
    QFETCH(int, unplugAfter);
    QFETCH(QString, results);
    QFETCH(bool, pluggedAfter);

    EmulatedBackend bus;
    const int id = bus.plug(std::make_shared<EchoDevice>());
    std::unique_ptr<HidDevice> device = bus.open(bus.enumerate().at(0));
    QVERIFY(device);
    bus.setFaults(id, EmulatedBackend::Faults{failNext, unplugAfter});
    bus.resetTransferCount();
    QString got;
    for (int i = 0; i < results.size(); ++i) {
        const std::uint8_t out[6] = {1, std::uint8_t(i), 0, 0, 0, 0};
        got += device->sendFeatureReport(out, sizeof out) == 6 ? QLatin1Char('+') : QLatin1Char('-');
    }
    QCOMPARE(got, results);
    QCOMPARE(bus.isPlugged(id), pluggedAfter);
    int received = -1;
    QVERIFY(bus.inspect(id, [&](EmulatedDevice &d) { received = static_cast<EchoDevice &>(d).received; }));
    QCOMPARE(received, int(results.count(QLatin1Char('+'))));
}

// hidraw refuses a report of the ID byte alone before the device sees it; so does this bus.
void TestEmulatedBackend::reportsShorterThanTwoBytesRefused()
{
    EmulatedBackend bus;
    bus.plug(std::make_shared<EchoDevice>());
    std::unique_ptr<HidDevice> device = bus.open(bus.enumerate().at(0));
    QVERIFY(device);
    bus.resetTransferCount();
    std::uint8_t report[1] = {1};
    QCOMPARE(device->write(report, 1), -1);
    QCOMPARE(device->sendFeatureReport(report, 1), -1);
    QCOMPARE(device->getFeatureReport(report, 1), -1);
    QCOMPARE(device->getInputReport(report, 1), -1);
    QCOMPARE(bus.transferCount(), 0);
}

void TestEmulatedBackend::plugAndUnplugWhileAnotherThreadTalks()
{
    EmulatedBackend bus;
    const int id = bus.plug(std::make_shared<EchoDevice>());
    std::unique_ptr<HidDevice> device = bus.open(bus.enumerate().at(0));
    std::atomic<bool> stop{false};
    std::atomic<int> served{0};
    std::atomic<int> failed{0};
    std::atomic<int> corrupt{0};
    QThread *worker = QThread::create([&] {
        for (std::uint8_t v = 0; !stop.load(); ++v) {
            const int r = sendAndGet(*device, v);
            if (r == 6)
                ++served;
            else if (r == -1)
                ++failed;
            else
                ++corrupt;
        }
    });
    worker->start();

    // Meanwhile this thread plugs, lists, unplugs and looks into the device,
    // for as long as it takes the worker to get through a good many exchanges.
    QDeadlineTimer deadline(30000);
    while (served.load() == 0 && !deadline.hasExpired())
        QThread::yieldCurrentThread();
    const int atStart = served.load();
    for (int i = 0; (i < 300 || served.load() < atStart + 200) && !deadline.hasExpired(); ++i) {
        const int other = bus.plug(std::make_shared<EchoDevice>());
        QVERIFY(bus.enumerate().size() >= 2);
        bus.inspect(id, [](EmulatedDevice &d) { (void)static_cast<EchoDevice &>(d).received; });
        bus.unplug(other);
        if (i % 50 == 0)
            QThread::yieldCurrentThread();
    }
    const int failedBefore = failed.load();
    bus.unplug(id);
    // An exchange already under way may still finish; once two have failed
    // since, it has, and none may succeed from then on.
    while (failed.load() < failedBefore + 2 && !deadline.hasExpired())
        QThread::yieldCurrentThread();
    const int before = served.load();
    while (failed.load() < failedBefore + 20 && !deadline.hasExpired())
        QThread::yieldCurrentThread();
    stop = true;
    QVERIFY(worker->wait(30000));
    delete worker;
    QCOMPARE(corrupt.load(), 0);
    QVERIFY(served.load() >= atStart + 200);
    QCOMPARE(served.load(), before); // nothing served once unplugged
}

void TestEmulatedBackend::combinedBackendSeesBothBuses()
{
    EmulatedBackend a;
    EmulatedBackend b;
    a.plug(std::make_shared<EchoDevice>());
    b.plug(std::make_shared<EchoDevice>());
    CombinedBackend both({&a, nullptr, &b});
    const QVector<HidDeviceInfo> list = both.enumerate();
    QCOMPARE(list.size(), 4);
    for (const HidDeviceInfo &info : list) {
        std::unique_ptr<HidDevice> device = both.open(info);
        QVERIFY(device);
        QCOMPARE(sendAndGet(*device, 42), 6);
    }
}

void TestEmulatedBackend::catalogue_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("identity"); // VID:PID:release of each device, or the start of the refusal

    QTest::newRow("first family boot") << "kestreleu-boot" << "3A5E:3000:0100 KestrelEU Boot";
    QTest::newRow("second family boot") << "harrier-boot" << "0603:1022:4163 USB Update Device";
    QTest::newRow("third family boot") << "Wren-Boot" << "0603:1022:4161 USB Update Device";
    QTest::newRow("unknown model") << "hawk" << "unknown model \"hawk\"";
    QTest::newRow("no receiver") << "harrier-receiver" << "Harrier has no receiver";
    QTest::newRow("empty") << "" << "unknown model";
}

void TestEmulatedBackend::catalogue()
{
    QFETCH(QString, name);
    QFETCH(QString, identity);

    EmulatedDevices devices;
    QString error;
    if (!EmulatedCatalog::create(name, &devices, &error)) {
        QVERIFY2(error.startsWith(identity), qPrintable(error));
        QVERIFY(devices.isEmpty());
        return;
    }
    QStringList got;
    EmulatedBackend bus;
    for (const auto &d : devices) {
        got << QStringLiteral("%1:%2:%3 %4")
                   .arg(d->vendorId(), 4, 16, QLatin1Char('0'))
                   .arg(d->productId(), 4, 16, QLatin1Char('0'))
                   .arg(d->releaseNumber(), 4, 16, QLatin1Char('0'))
                   .arg(d->productString())
                   .toUpper();
        bus.plug(d);
    }
    QCOMPARE(got.join(QLatin1Char(' ')).toUpper(), identity.toUpper());
    // Every catalogue device carries a descriptor the parser takes.
    QCOMPARE(bus.enumerate().size(), devices.size());
}

QTEST_GUILESS_MAIN(TestEmulatedBackend)
#include "tst_emulatedbackend.moc"
