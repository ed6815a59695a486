// The real Linux HID path: emulated mice given kernel devices through uhid,
// reached through hidapi on their /dev/hidraw nodes, with the report
// descriptor read from sysfs. Runs inside the test virtual machine (as root,
// with uhid loaded); elsewhere it skips.
#include "ReportProbe.h"
#include "UhidDevice.h"

#include "device/CheckDevice.h"
#include "model/ProductTable.h"
#include "device/fwupdate/FwUpdate.h"
#include "device/kestrel/USBDriverKestrel.h"
#include "device/osprey/USBDriver_Osprey.h"
#include "device/wren/USBDriver_Wren.h"
#include "emulator/EmulatedBackend.h"
#include "emulator/EmulatedBootLoaders.h"
#include "emulator/EmulatedCatalog.h"
#include "emulator/kestrel/EmulatedKestrelMouse.h"
#include "emulator/osprey/EmulatedOspreyMouse.h"
#include "platform/DeviceClock.h"
#include "platform/hid/ReportDescriptor.h"
#include "platform/hid/SystemBackend.h"
#include "platform/linux/HidapiBackend.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kAppearMs = 15000; // device creation is asynchronous, and slow under emulation

// The collections of one device as the system bus lists them.
QVector<HidDeviceInfo> entriesOf(quint16 vid, quint16 pid)
{
    QVector<HidDeviceInfo> found;
    for (const HidDeviceInfo &info : Hid::systemBackend()->enumerate())
        if (info.vendorId == vid && info.productId == pid)
            found.append(info);
    return found;
}

bool waitUntil(const std::function<bool()> &condition, int ms = kAppearMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms)
            return false;
        QThread::msleep(20);
    }
    return true;
}

// One emulated device made real: created, and listed by the system bus.
struct KernelDevice
{
    explicit KernelDevice(std::shared_ptr<EmulatedDevice> device) : uhid(std::move(device))
    {
        vid = uhid.device()->vendorId();
        pid = uhid.device()->productId();
        created = uhid.create(&error);
        listed = created && waitUntil([&] { return !entriesOf(vid, pid).isEmpty(); });
    }
    ~KernelDevice() { unplug(); }

    // Takes the device off the bus and waits until the bus no longer lists it.
    bool unplug()
    {
        uhid.destroy();
        return waitUntil([&] { return entriesOf(vid, pid).isEmpty(); });
    }
    bool ready() const { return created && listed; }

    UhidDevice uhid;
    quint16 vid = 0;
    quint16 pid = 0;
    bool created = false;
    bool listed = false;
    QString error;
};

std::shared_ptr<EmulatedDevice> emulated(const QString &name)
{
    EmulatedDevices devices;
    QString error;
    if (!EmulatedCatalog::create(name, &devices, &error) || devices.size() != 1)
        qFatal("cannot emulate %s: %s", qPrintable(name), qPrintable(error));
    return devices.first();
}

QString filter(quint16 pid)
{
    return QStringLiteral("VID_3A5E&PID_%1").arg(pid, 4, 16, QLatin1Char('0'));
}

// A first-family driver opened on a mouse by cable (mode 0) or through its receiver (1).
bool openKestrel(USBDriverKestrel &driver, const EmulatedKestrelMouse &mouse, int mode)
{
    driver.SetWiredWirelessString(filter(mouse.model().wiredPid), filter(mouse.model().receiverPid));
    driver.SetMode(mode);
    return driver.FindHIDDevice();
}

// The family's driver for a second- or third-family mouse, with the model
// code set; null when it does not find both of the mouse's collections.
std::unique_ptr<USBDriver_Osprey> openOsprey(const EmulatedOspreyMouse &mouse)
{
    MouseType::setCurrent(mouse.model().type);
    std::unique_ptr<USBDriver_Osprey> driver;
    if (mouse.model().type == 13)
        driver = std::make_unique<USBDriver_Wren>();
    else
        driver = std::make_unique<USBDriver_Osprey>();
    driver->SetMouseType(mouse.model().type);
    driver->SetPidVid(mouse.model().pid, 0x3A5E);
    return driver->FindHIDDevice() ? std::move(driver) : nullptr;
}

// What one report operation did, seen from the host and from the device.
struct Outcome
{
    int result = 0;
    QByteArray returned;  // the bytes the host got back
    QByteArray deviceSaw; // the report the device was given
};

enum class Op { FeatureRead, FeatureWrite, OutputWrite, WriteThenRead, InputReportGet, ReadTimeout };

Outcome perform(HidDevice &handle, ReportProbe &probe, Op op, int length)
{
    Outcome o;
    QByteArray buffer(qMax(length, 1), '\0');
    auto *data = reinterpret_cast<std::uint8_t *>(buffer.data());
    data[0] = probe.reportId();
    for (int i = 1; i < length; ++i)
        data[i] = std::uint8_t(0x40 + i);
    switch (op) {
    case Op::FeatureRead:
        o.result = handle.getFeatureReport(data, std::size_t(length));
        break;
    case Op::FeatureWrite:
        o.result = handle.sendFeatureReport(data, std::size_t(length));
        break;
    case Op::OutputWrite:
        o.result = handle.write(data, std::size_t(length));
        // An output report has no answer: the host goes on before the device has it.
        if (o.result > 0)
            waitUntil([&] { return !probe.seen().isEmpty(); }, 2000);
        break;
    case Op::WriteThenRead: {
        const int written = handle.write(data, std::size_t(length));
        QByteArray in(64, '\0');
        o.result = written < 0 ? written : handle.read(reinterpret_cast<std::uint8_t *>(in.data()), 64, 2000);
        o.returned = in.left(qMax(o.result, 0));
        o.deviceSaw = probe.seen();
        return o;
    }
    case Op::InputReportGet:
        o.result = handle.getInputReport(data, std::size_t(length));
        break;
    case Op::ReadTimeout:
        o.result = handle.read(data, std::size_t(length), 50);
        break;
    }
    if (op == Op::FeatureRead || op == Op::InputReportGet)
        o.returned = buffer.left(qMax(o.result, 0));
    o.deviceSaw = probe.seen();
    return o;
}


// A first-family mouse going through a firmware update on the real bus: its
// boot-loader request takes it off and brings its boot loader, the finish
// packet takes the loader off and brings the mouse back running the new
// image. The requests arrive on a device's service thread, which cannot take
// its own device down, so a thread of this object's does the plugging.
class KernelUpdate
{
public:
    KernelUpdate(std::shared_ptr<EmulatedKestrelMouse> mouse, bool inBootLoader)
        : m_mouse(std::move(mouse)),
          m_boot(std::make_shared<EmulatedFirstFamilyBootLoader>(QLatin1String(m_mouse->model().product) +
                                                                  QLatin1String(" Boot")))
    {
        m_mouse->setBootRequestHandler([this] { m_pending.store(ToBootLoader); });
        m_boot->setFinishHandler([this](const QByteArray &image) {
            m_newVersion.store(EmulatedFirstFamilyBootLoader::versionOfImage(image));
            m_pending.store(BackToNormal);
        });
        m_ready = plug(inBootLoader ? m_boot : std::shared_ptr<EmulatedDevice>(m_mouse));
        m_watcher = std::thread([this] { watch(); });
    }
    ~KernelUpdate()
    {
        m_stop.store(true);
        m_watcher.join();
        m_mouse->setBootRequestHandler({});
        m_boot->setFinishHandler({});
        unplug();
    }

    bool ready() const { return m_ready; }
    std::shared_ptr<EmulatedFirstFamilyBootLoader> boot() const { return m_boot; }
    // Whether the mouse is back on the bus after a finished transfer.
    bool mouseBack() const { return m_back.load(); }

private:
    enum { Nothing, ToBootLoader, BackToNormal };

    bool plug(const std::shared_ptr<EmulatedDevice> &device)
    {
        m_current = std::make_unique<KernelDevice>(device);
        return m_current->ready();
    }
    void unplug()
    {
        if (m_current)
            m_current->unplug();
        m_current.reset();
    }
    void watch()
    {
        while (!m_stop.load()) {
            switch (m_pending.exchange(Nothing)) {
            case ToBootLoader:
                unplug();
                plug(m_boot);
                break;
            case BackToNormal:
                unplug();
                m_mouse->setFirmwareVersion(m_newVersion.load());
                m_back.store(plug(m_mouse));
                break;
            default:
                QThread::msleep(10);
            }
        }
    }

    std::shared_ptr<EmulatedKestrelMouse> m_mouse;
    std::shared_ptr<EmulatedFirstFamilyBootLoader> m_boot;
    std::unique_ptr<KernelDevice> m_current; // touched by the constructor, then the watcher only
    std::thread m_watcher;
    std::atomic<int> m_pending{Nothing};
    std::atomic<quint32> m_newVersion{0};
    std::atomic<bool> m_back{false};
    std::atomic<bool> m_stop{false};
    bool m_ready = false;
};
} // namespace

class TestHidraw : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (::access("/dev/uhid", R_OK | W_OK) != 0)
            QSKIP("no writable /dev/uhid: this suite runs inside the test virtual machine");
        DeviceClock::setVirtual(true);
        Hid::setBackend(Hid::systemBackend());
    }

    void cleanupTestCase()
    {
        Hid::setBackend(nullptr);
        MouseType::setCurrent(0);
    }

    // Each model as the kernel lists it: its identity, the descriptor in
    // sysfs as the device gave it, and caps from our parser per collection.
    void enumeration_data()
    {
        QTest::addColumn<QString>("model");
        for (const char *name : {"kestrel", "merlin-receiver", "kestrelc-receiver", "harrier", "wren", "merlin-boot"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void enumeration()
    {
        QFETCH(QString, model);
        KernelDevice kd(emulated(model));
        QVERIFY2(kd.ready(), qPrintable(kd.error));
        const EmulatedDevice &d = *kd.uhid.device();
        const QVector<HidDeviceInfo> entries = entriesOf(kd.vid, kd.pid);
        QVector<HidCollectionCaps> expected;
        QVERIFY(Hid::parseReportDescriptor(d.reportDescriptor(), &expected));
        QCOMPARE(entries.size(), expected.size());
        const QString path = entries.first().path;
        QVERIFY2(QRegularExpression(QStringLiteral("^/dev/hidraw[0-9]+$")).match(path).hasMatch(), qPrintable(path));
        QCOMPARE(HidapiBackend::readReportDescriptor(path), d.reportDescriptor());
        for (int i = 0; i < entries.size(); ++i) {
            const HidDeviceInfo &info = entries.at(i);
            const HidCollectionCaps &want = expected.at(i);
            QCOMPARE(info.path, path);
            QCOMPARE(info.collectionIndex, i);
            QCOMPARE(info.productString, d.productString());
            if (i == 0)
                qInfo("release number %04x, interface %d", info.releaseNumber, info.interfaceNumber);
            QCOMPARE(info.caps.usagePage, want.usagePage);
            QCOMPARE(info.caps.usage, want.usage);
            QCOMPARE(info.caps.reportIds, want.reportIds);
            QCOMPARE(info.caps.inputReportByteLength, want.inputReportByteLength);
            QCOMPARE(info.caps.outputReportByteLength, want.outputReportByteLength);
            QCOMPARE(info.caps.featureReportByteLength, want.featureReportByteLength);
            QCOMPARE(info.caps.numberFeatureValueCaps, want.numberFeatureValueCaps);
            QCOMPARE(info.caps.featureValueCapReportIds, want.featureValueCapReportIds);
        }
    }

    // CheckDevice finds each model on the real bus, boot loaders with the
    // model their identity names, and reports it gone once it is unplugged.
    void presence_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("pid");
        QTest::addColumn<int>("bootType"); // -1: not a boot loader
        QTest::newRow("kestrel by cable") << "kestrel" << 0x4130 << -1;
        QTest::newRow("merlin through its receiver") << "merlin-receiver" << 0x4133 << -1;
        QTest::newRow("kestreleu through its receiver") << "kestreleu-receiver" << 0x180F << -1;
        QTest::newRow("harrier") << "harrier" << 0x4163 << -1;
        QTest::newRow("wren") << "wren" << 0x4161 << -1;
        QTest::newRow("merlin boot loader") << "merlin-boot" << 0x3000 << 12;
        QTest::newRow("kestreleu boot loader") << "kestreleu-boot" << 0x3000 << 14;
    }
    void presence()
    {
        QFETCH(QString, model);
        QFETCH(int, pid);
        QFETCH(int, bootType);
        CheckDevice check;
        check.stopTheTimer();
        QSignalSpy found(&check, &CheckDevice::sigFound);
        QSignalSpy boot(&check, &CheckDevice::sigBlootDescriptor);
        auto kd = std::make_unique<KernelDevice>(emulated(model));
        QVERIFY2(kd->ready(), qPrintable(kd->error));
        check.checkDeviceOnce();
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.at(0).at(0).toBool(), true);
        QCOMPARE(found.at(0).at(1).toUInt(), uint(pid));
        QCOMPARE(boot.size(), bootType < 0 ? 0 : 1);
        if (bootType >= 0)
            QCOMPARE(boot.at(0).at(0).toInt(), bootType);
        QVERIFY(kd->unplug());
        check.checkDeviceOnce();
        QCOMPARE(found.size(), 2);
        QCOMPARE(found.at(1).at(0).toBool(), false);
    }

    // The first family's profile record through output reports and GET_REPORT
    // of input reports, by cable and through the receiver.
    void firstFamilyProfile_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("mode");
        QTest::newRow("kestrel by cable") << "kestrel" << 0;
        QTest::newRow("merlinq through its receiver") << "merlinq-receiver" << 1;
    }
    void firstFamilyProfile()
    {
        QFETCH(QString, model);
        QFETCH(int, mode);
        const std::shared_ptr<EmulatedDevice> device = emulated(model);
        auto receiver = std::dynamic_pointer_cast<EmulatedKestrelReceiver>(device);
        auto mouse = receiver ? receiver->mouse() : std::dynamic_pointer_cast<EmulatedKestrelMouse>(device);
        QVERIFY(mouse);
        if (receiver)
            receiver->completePairing();
        KernelDevice kd(device);
        QVERIFY2(kd.ready(), qPrintable(kd.error));

        USBDriverKestrel driver;
        QVERIFY(openKestrel(driver, *mouse, mode));

        QByteArray record(USBDriverKestrel::kProfileRecordSize, '\0');
        auto *r = reinterpret_cast<BYTE *>(record.data());
        QVERIFY(driver.GetProfileData(r));
        const int bank = driver.CurrentBank();
        QCOMPARE(record.mid(16, 44), mouse->memory(quint32(bank * 1024 + 512), 44));
        QCOMPARE(record.mid(60, 68), mouse->memory(quint32(bank * 1024 + 1152), 68));

        for (int i = 16; i < 128; ++i)
            r[i] = BYTE(i * 3 + 1);
        QVERIFY(driver.SetProfileData(r));
        QCOMPARE(mouse->memory(1024 + 512, 44), record.mid(16, 44));
        QCOMPARE(mouse->memory(quint32(bank * 1024 + 1152), 68), record.mid(60, 68));
        driver.UnInitDevice();
    }

    // The second family's profile and a macro over feature reports on the
    // command and data collections; the third family takes the same path.
    void secondFamilyProfileAndMacro_data()
    {
        QTest::addColumn<QString>("model");
        QTest::newRow("harrier") << "harrier";
        QTest::newRow("osprey") << "osprey";
        QTest::newRow("wren") << "wren";
    }
    void secondFamilyProfileAndMacro()
    {
        QFETCH(QString, model);
        auto mouse = std::dynamic_pointer_cast<EmulatedOspreyMouse>(emulated(model));
        QVERIFY(mouse);
        KernelDevice kd(mouse);
        QVERIFY2(kd.ready(), qPrintable(kd.error));
        std::unique_ptr<USBDriver_Osprey> driver = openOsprey(*mouse);
        QVERIFY(driver);
        QCOMPARE(int(driver->dataChannel()->reportLength), EmulatedOspreyMouse::kDataReportLength);
        QCOMPARE(int(driver->commandChannel()->reportLength), EmulatedOspreyMouse::kCommandReportLength);

        QByteArray record(USBDriver_Osprey::kProfileSize, '\0');
        auto *r = reinterpret_cast<BYTE *>(record.data());
        QVERIFY(driver->GetProfileDataBlock(r));
        QCOMPARE(record, mouse->profile().left(USBDriver_Osprey::kProfileSize));

        record[242] = 1;  // report rate
        record[300] = 21; // first CPI level
        QVERIFY(driver->SetProfileDataBlock(r));
        QCOMPARE(mouse->profile().left(USBDriver_Osprey::kProfileSize), record);
        QVERIFY(mouse->fixedPartBalances());
        // The third family's driver leaves the mouse's own checksum bytes alone.
        QCOMPARE(mouse->settingsSumHolds(), mouse->model().type != 13);

        MacroRecord macro;
        macro.header0 = 0x00;
        macro.header1 = 0x02;
        for (int i = 0; i < 300; ++i)
            macro.items.append(USHORT(0x8000 | (i * 5 + 1)));
        QVERIFY(driver->WriteMacroBlocks({macro}));
        const QByteArray block = mouse->macroBlock(0x8C);
        QCOMPARE(quint8(block.at(0)), macro.header0);
        QCOMPARE(quint8(block.at(1)), macro.header1);
        for (int i = 0; i < macro.items.size(); ++i)
            QCOMPARE(quint16(quint8(block.at(2 + 2 * i)) | (quint8(block.at(3 + 2 * i)) << 8)), macro.items.at(i));
        MacroRecord back;
        QVERIFY(driver->ReadMacro(0x8C, &back));
        QCOMPARE(back.items, macro.items);
        driver->UnInitDevice();
        MouseType::setCurrent(0);
    }

    // A mouse pulled out in the middle of an exchange, with the kernel
    // waiting for its answer: the operation fails, later ones fail too, and
    // the bus no longer lists it.
    void unplugMidExchange_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("afterRequests");
        QTest::newRow("kestrel, during a memory read") << "kestrel" << 5;
        QTest::newRow("harrier, before the status poll") << "harrier" << 1;
        QTest::newRow("harrier, while the status is read") << "harrier" << 2;
    }
    void unplugMidExchange()
    {
        QFETCH(QString, model);
        QFETCH(int, afterRequests);
        const std::shared_ptr<EmulatedDevice> device = emulated(model);
        KernelDevice kd(device);
        QVERIFY2(kd.ready(), qPrintable(kd.error));
        if (auto mouse = std::dynamic_pointer_cast<EmulatedKestrelMouse>(device)) {
            USBDriverKestrel driver;
            QVERIFY(openKestrel(driver, *mouse, 0));
            kd.uhid.unplugAfterRequests(afterRequests);
            QByteArray buffer(256, '\x5A');
            QVERIFY(!driver.ReadEEPROM(1024, 256, reinterpret_cast<BYTE *>(buffer.data())));
            QCOMPARE(buffer, QByteArray(256, '\x5A')); // a failed read leaves the caller's buffer alone
            DWORD bank = 0;
            QVERIFY(!driver.GetCurrentBank(&bank));
        } else {
            auto osprey = std::dynamic_pointer_cast<EmulatedOspreyMouse>(device);
            QVERIFY(osprey);
            std::unique_ptr<USBDriver_Osprey> driver = openOsprey(*osprey);
            QVERIFY(driver);
            QByteArray record(USBDriver_Osprey::kProfileSize, '\0');
            auto *r = reinterpret_cast<BYTE *>(record.data());
            QVERIFY(driver->GetProfileDataBlock(r));
            kd.uhid.unplugAfterRequests(kd.uhid.requestCount() + afterRequests);
            QVERIFY(!driver->SetProfileDataBlock(r));
            QVERIFY(!driver->GetProfileDataBlock(r));
            MouseType::setCurrent(0);
        }
        QVERIFY(kd.uhid.unpluggedItself());
        QVERIFY(waitUntil([&] { return entriesOf(kd.vid, kd.pid).isEmpty(); }));
    }

    // A firmware image sent through hidraw output and input reports into the
    // boot loader, from a mouse running normally (it switches over and comes
    // back) and from one already waiting in its boot loader.
    void firmwareTransfer_data()
    {
        QTest::addColumn<bool>("inBootLoader");
        QTest::newRow("kestrel switched over") << false;
        QTest::newRow("kestrel waiting in its boot loader") << true;
    }
    void firmwareTransfer()
    {
        QFETCH(bool, inBootLoader);
        // The mouse and its loader come and go on the kernel's own time: the
        // transfer's waits for them must be real ones.
        DeviceClock::setVirtual(false);
        const auto virtualAgain = qScopeGuard([] { DeviceClock::setVirtual(true); });
        auto mouse = std::make_shared<EmulatedKestrelMouse>(QStringLiteral("kestrel"));
        mouse->setFirmwareVersion(0x04000001);
        KernelUpdate update(mouse, inBootLoader);
        QVERIFY(update.ready());

        // Three full chunks and a short one, ending in the version the mouse will report.
        QByteArray image(48 + 3 * 56 + 20, '\0');
        for (int i = 0; i < image.size(); ++i)
            image[i] = char(i * 7 + 3);
        const quint32 version = 0x05000002;
        for (int i = 0; i < 4; ++i)
            image[image.size() - 4 + i] = char(version >> (8 * i));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Nuc123.bin"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(image) == image.size());
        file.close();

        FwUpdate fw;
        fw.SetDevicePaths(filter(mouse->model().wiredPid), QStringLiteral("VID_3A5E&PID_3000"));
        QSignalSpy result(&fw, &FirmwareTransfer::sigUpdateResult);
        fw.slotUpdate(path);
        QCOMPARE(result.size(), 1);
        QVERIFY(result.at(0).at(0).toBool());
        QVERIFY(update.boot()->finished());
        QCOMPARE(update.boot()->image(), image);
        QCOMPARE(update.boot()->packets().size(), 1 + 1 + 4 + 1); // sync, first, four following, finish
        QVERIFY(update.mouseBack());
        QCOMPARE(mouse->firmwareVersion(), version);
    }

    // The harrier-uhid program puts the mice it is given on the bus and
    // takes them off when it is stopped.
    void uhidProgram()
    {
        const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/harrier-uhid");
        if (!QFileInfo(program).isExecutable())
            QSKIP("harrier-uhid is not beside the suite");
        QProcess process;
        process.start(program, {QStringLiteral("kestrel-receiver"), QStringLiteral("wren")});
        QVERIFY(process.waitForStarted());
        QVERIFY(waitUntil([] { return !entriesOf(0x3A5E, 0x1804).isEmpty() && !entriesOf(0x3A5E, 0x4161).isEmpty(); }));
        QCOMPARE(entriesOf(0x3A5E, 0x4161).first().productString, QStringLiteral("Wren"));
        process.terminate();
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 0);
        QVERIFY(waitUntil([] { return entriesOf(0x3A5E, 0x1804).isEmpty() && entriesOf(0x3A5E, 0x4161).isEmpty(); }));

        QProcess unknown;
        unknown.start(program, {QStringLiteral("hawk")});
        QVERIFY(unknown.waitForFinished(10000));
        QCOMPARE(unknown.exitCode(), 2);
    }

    // Report by report, the hidraw path and the emulated bus give the host
    // the same results, with and without report IDs.
    void sameAsTheEmulatedBus_data()
    {
        QTest::addColumn<bool>("numbered");
        QTest::addColumn<int>("op");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("replyBytes");
        const struct
        {
            const char *name;
            Op op;
            int length;
            int replyBytes;
        } rows[] = {
            {"feature read, whole report", Op::FeatureRead, 17, 0},
            {"feature read, longer buffer", Op::FeatureRead, 40, 0},
            {"feature read, shorter buffer", Op::FeatureRead, 5, 0},
            {"feature read, device answers short", Op::FeatureRead, 17, 6},
            {"feature read, ID byte only", Op::FeatureRead, 1, 0},
            {"feature write, whole report", Op::FeatureWrite, 17, 0},
            {"feature write, short report", Op::FeatureWrite, 4, 0},
            {"feature write, ID byte only", Op::FeatureWrite, 1, 0},
            {"output write", Op::OutputWrite, 9, 0},
            {"output write, ID byte only", Op::OutputWrite, 1, 0},
            {"output echoed as input", Op::WriteThenRead, 9, 0},
            {"input report asked for", Op::InputReportGet, 9, 0},
            {"input report, shorter buffer", Op::InputReportGet, 4, 0},
            {"input report, ID byte only", Op::InputReportGet, 1, 0},
            {"read times out", Op::ReadTimeout, 9, 0},
        };
        for (bool numbered : {true, false})
            for (const auto &row : rows)
                QTest::addRow("%s, %s", numbered ? "report ID 7" : "no report IDs", row.name)
                    << numbered << int(row.op) << row.length << row.replyBytes;
    }
    void sameAsTheEmulatedBus()
    {
        QFETCH(bool, numbered);
        QFETCH(int, op);
        QFETCH(int, length);
        QFETCH(int, replyBytes);

        auto emulatedProbe = std::make_shared<ReportProbe>(numbered);
        emulatedProbe->setReplyBytes(replyBytes);
        EmulatedBackend bus;
        bus.plug(emulatedProbe);
        const QVector<HidDeviceInfo> emulatedEntries = bus.enumerate();
        QCOMPARE(emulatedEntries.size(), 1);
        std::unique_ptr<HidDevice> emulatedHandle = bus.open(emulatedEntries.first());
        QVERIFY(emulatedHandle);
        const Outcome want = perform(*emulatedHandle, *emulatedProbe, Op(op), length);

        auto kernelProbe = std::make_shared<ReportProbe>(numbered);
        kernelProbe->setReplyBytes(replyBytes);
        KernelDevice kd(kernelProbe);
        QVERIFY2(kd.ready(), qPrintable(kd.error));
        const QVector<HidDeviceInfo> entries = entriesOf(kd.vid, kd.pid);
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries.first().caps.reportIds, emulatedEntries.first().caps.reportIds);
        std::unique_ptr<HidDevice> handle = Hid::systemBackend()->open(entries.first());
        QVERIFY(handle);
        const Outcome got = perform(*handle, *kernelProbe, Op(op), length);

        QCOMPARE(got.result, want.result);
        QCOMPARE(got.returned.toHex(' '), want.returned.toHex(' '));
        QCOMPARE(got.deviceSaw.toHex(' '), want.deviceSaw.toHex(' '));
    }
};

QTEST_GUILESS_MAIN(TestHidraw)
#include "tst_hidraw.moc"
