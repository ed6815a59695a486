#include "device/hidparse/HidParse.h"
#include "device/kestrel/USBDriverKestrel.h"
#include "emulator/EmulatedBackend.h"
#include "emulator/kestrel/EmulatedKestrelMouse.h"
#include "platform/AppPaths.h"
#include "support/TempAppFolder.h"

#include <QStandardPaths>
#include <QtTest>

// A device with only a vendor collection of a different usage, to see the usage filter work.
class OtherCollectionDevice : public EmulatedDevice
{
public:
    quint16 vendorId() const override { return 0x3A5E; }
    quint16 productId() const override { return 0x4130; }
    QByteArray reportDescriptor() const override
    {
        return QByteArray::fromHex("0600FF090FA1018501090115002600FF750895078102090295079102C0");
    }
};

// A touchscreen on an extra node with the mouse's IDs: a digitizer, and a
// vendor collection with the mouse's usage (FF00/0E) but a 256-byte
// feature report of its own, as certification blobs are. It counts what it is sent.
class TouchscreenNode : public EmulatedDevice
{
public:
    quint16 vendorId() const override { return 0x3A5E; }
    quint16 productId() const override { return 0x4130; }
    QByteArray reportDescriptor() const override
    {
        return QByteArray::fromHex(
            // Touch screen: report 1, tip switch and 16-bit X/Y.
            "050D0904A101850109220902A10209421500250175019501810275079503810105010930093126FF7F751095028102C0C0"
            // Vendor FF00/0E: feature report 0x44, 255 data bytes.
            "0600FF090EA10185440901150026FF00750896FF00B102C0");
    }
    int onWrite(const std::uint8_t *, std::size_t length) override
    {
        ++sent;
        return int(length);
    }
    int onSetFeature(const std::uint8_t *, std::size_t length) override
    {
        ++sent;
        return int(length);
    }
    int sent = 0;
};

class TestHidParse : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Hid::setBackend(nullptr); }

    void matchesFilter_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("vid");
        QTest::addColumn<int>("pid");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<bool>("matches");
        const QString hidraw = QStringLiteral("/dev/hidraw3");
        QTest::newRow("lower-case hex in the filter") << hidraw << 0x3A5E << 0x180A << "VID_3A5E&PID_180a" << true;
        QTest::newRow("upper-case hex in the filter") << hidraw << 0x3A5E << 0x180A << "VID_3A5E&PID_180A" << true;
        QTest::newRow("lower-case prefix") << hidraw << 0x3A5E << 0x413A << "vid_3a5e&pid_413a" << true;
        QTest::newRow("other PID") << hidraw << 0x3A5E << 0x180B << "VID_3A5E&PID_180a" << false;
        QTest::newRow("other vendor") << hidraw << 0x046D << 0x180A << "VID_3A5E&PID_180a" << false;
        QTest::newRow("Windows-style path text") << "\\\\?\\hid#vid_3a5e&pid_4130&mi_01#7&1" << 0 << 0
                                                 << "VID_3A5E&PID_4130" << true;
        QTest::newRow("empty filter matches nothing") << hidraw << 0x3A5E << 0x4130 << "" << false;
    }
    void matchesFilter()
    {
        QFETCH(QString, path);
        QFETCH(int, vid);
        QFETCH(int, pid);
        QFETCH(QString, filter);
        QFETCH(bool, matches);
        HidDeviceInfo info;
        info.path = path;
        info.vendorId = quint16(vid);
        info.productId = quint16(pid);
        QCOMPARE(HidParse::matchesFilter(info, filter), matches);
    }

    void withoutBackendNothingOpens()
    {
        QVERIFY(!LoadHidParse());
        QVERIFY(!OpenHidDevice(0xFF00, 0x0E, QStringLiteral("VID_3A5E&PID_4130"), 0, 0));
        QVERIFY(!FindHidDevice(QStringLiteral("VID_3A5E&PID_4130")));
        BYTE buffer[32] = {0xBA};
        QCOMPARE(GetInputReport(nullptr, buffer, 32), 0);
        CloseHidDevice(nullptr);
    }

    void opensByUsageAndFilter()
    {
        EmulatedBackend backend;
        Hid::setBackend(&backend);
        backend.plug(std::make_shared<OtherCollectionDevice>());
        const QString filter = QStringLiteral("VID_3A5E&PID_4130");
        QVERIFY(FindHidDevice(filter));
        // The vendor collection 0xFF00/0x0E is not there yet; any collection is.
        QVERIFY(!OpenHidDevice(0xFF00, 0x0E, filter, 0, 0));
        HidParseHandle any = OpenHidDevice(0, 0, filter, 0, 0);
        QVERIFY(any);
        CloseHidDevice(any);

        auto mouse = std::make_shared<EmulatedKestrelMouse>(QStringLiteral("kestrel"));
        const int id = backend.plug(mouse);
        HidParseHandle h = OpenHidDevice(0xFF00, 0x0E, QStringLiteral("vid_3a5e&pid_4130"), 0, 0);
        QVERIFY(h);
        // The handle talks to the mouse: an A2 command, then its reply.
        BYTE report[32] = {0xBA, 0xFF, 0xA2, 0x00};
        QVERIFY(WriteHidReport(h, report, 32));
        BYTE reply[32] = {0xBA};
        QCOMPARE(GetInputReport(h, reply, 32), 32);
        QCOMPARE(int(reply[0]), 1);
        QCOMPARE(int(reply[1]), mouse->bank());
        // Unplugged, the handle fails every transfer.
        backend.unplug(id);
        QCOMPARE(GetInputReport(h, reply, 32), 0);
        CloseHidDevice(h);
        QVERIFY(!FindHidDevice(QStringLiteral("VID_3A5E&PID_1804")));
    }

    // With a touchscreen's vendor collection listed first under the mouse's
    // IDs, the first family's driver opens the mouse, and the touchscreen
    // is sent nothing.
    void passesOverAForeignCollectionOfTheSameUsage()
    {
        EmulatedBackend backend;
        Hid::setBackend(&backend);
        auto touch = std::make_shared<TouchscreenNode>();
        backend.plug(touch);
        QVERIFY(!OpenHidDeviceWithReport(0xFF00, 0x0E, QStringLiteral("VID_3A5E&PID_4130"), 0xBA, 32));
        auto mouse = std::make_shared<EmulatedKestrelMouse>(QStringLiteral("kestrel"));
        backend.plug(mouse);

        USBDriverKestrel driver;
        driver.SetWiredWirelessString(QStringLiteral("VID_3A5E&PID_4130"), QStringLiteral("VID_3A5E&PID_180A"));
        driver.SetMode(0);
        QVERIFY(driver.FindHIDDevice());
        DWORD bank = 99;
        QVERIFY(driver.GetCurrentBank(&bank));
        QCOMPARE(int(bank), mouse->bank());
        QCOMPARE(touch->sent, 0);
    }

private:
    TempAppFolder m_dir;
};

QTEST_GUILESS_MAIN(TestHidParse)
#include "tst_hidparse.moc"
