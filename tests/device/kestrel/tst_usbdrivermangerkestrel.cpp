// The first-family manager driven against the emulated mouse: what the mouse
// and the configuration files hold after each operation.
#include "store/JsonHandle.h"
#include "support/MacroNodes.h"
#include "model/ProductTable.h"
#include "device/kestrel/KestrelTables.h"
#include "device/kestrel/USBDriverKestrel.h"
#include "device/kestrel/UsbDriverMangerKestrel.h"
#include "model/CpiTables.h"
#include "emulator/EmulatedBackend.h"
#include "emulator/kestrel/EmulatedKestrelMouse.h"
#include "platform/AppPaths.h"
#include "platform/DeviceClock.h"
#include "support/MacroNodes.h"
#include "support/TempAppFolder.h"

#include <QDirIterator>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtEndian>
#include <QtTest>
#include <climits>
#include <cstring>
#include <functional>
#include <sys/stat.h>
#include <memory>

namespace {

constexpr quint32 kBank1 = 1024;
constexpr int kRefuseAll = 1 << 20;

QString filter(quint16 pid) { return QStringLiteral("VID_3A5E&PID_%1").arg(pid, 4, 16, QLatin1Char('0')); }

// A factory-fresh emulated mouse of one model, a manager with its driver
// opened on it and the profile read, the virtual clock, a temporary folder.
struct Rig
{
    explicit Rig(const QString &model = QStringLiteral("kestrel"))
    {
        DeviceClock::setVirtual(true);
        Hid::setBackend(&backend);
        mouse = std::make_shared<EmulatedKestrelMouse>(model);
        backend.plug(mouse);
        type = mouse->model().code;
        MouseType::setCurrent(type);
        manager = open(model);
        opened = manager && manager->GetProfileData();
    }
    ~Rig()
    {
        manager.reset();
        Hid::setBackend(nullptr);
    }

    // A second manager on the same mouse, as a new connection makes one.
    std::unique_ptr<UsbDriverMangerKestrel> open(const QString &model)
    {
        auto *driver = new USBDriverKestrel;
        driver->SetWiredWirelessString(filter(mouse->model().wiredPid), filter(mouse->model().receiverPid));
        driver->SetMode(0);
        auto m = std::make_unique<UsbDriverMangerKestrel>();
        if (!m->SetDriver(driver))
            return nullptr;
        m->SetMouseTypeName(model);
        m->SetMousePid(mouse->model().wiredPid, 0x3A5E);
        if (!m->InitDevice())
            return nullptr;
        return m;
    }

    quint32 word(quint32 address) const { return qFromLittleEndian<quint32>(mouse->memory(address, 4).constData()); }
    quint32 bank1Word(int offset) const { return word(kBank1 + quint32(offset)); }
    BYTE bank1Byte(int offset) const { return BYTE(mouse->memory(kBank1 + quint32(offset), 1).at(0)); }
    QByteArray storedRecord(int n) { return json.getMouseData_Korvan(type, n); }
    // Every file below the application folder with its contents.
    QMap<QString, QByteArray> files() const
    {
        QMap<QString, QByteArray> all;
        QDirIterator it(dataDir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            f.open(QIODevice::ReadOnly);
            all.insert(it.filePath(), f.readAll());
        }
        return all;
    }

    TempAppFolder dataDir;
    EmulatedBackend backend;
    std::shared_ptr<EmulatedKestrelMouse> mouse;
    JsonHandle json;
    int type = 0;
    std::unique_ptr<UsbDriverMangerKestrel> manager;
    bool opened = false;
};

QString writeMacroFile(JsonHandle &json, const QString &name, int mode, int repeat, const QList<MacroNode> &nodes)
{
    const QString path = JsonHandle::playerCustomMacroFolderPath() + QLatin1Char('/') + name + QStringLiteral(".json");
    json.setMacroName(path, name);
    json.setMacroType(path, mode);
    json.setRepeatTimes(path, repeat);
    json.setMacroNodeList(path, nodes);
    return path;
}

// The last report of one button among the recorded value signals.
QVariantList reportOf(const QSignalSpy &spy, int button)
{
    QVariantList found;
    for (const QVariantList &args : spy)
        if (args.at(0).toInt() == button)
            found = args;
    return found;
}

// A black 64 x 48 one-bit picture.
QImage blankPicture()
{
    QImage picture(64, 48, QImage::Format_MonoLSB);
    picture.setColorCount(2);
    picture.setColor(0, qRgb(0, 0, 0));
    picture.setColor(1, qRgb(255, 255, 255));
    picture.fill(0);
    return picture;
}

QByteArray macroSlotOfImage(const QByteArray &image, int slot, int length)
{
    return image.mid(KestrelTables::kMacrosAt + slot * KestrelTables::kMacroSlotSize, length);
}

} // namespace

using Operation = std::function<bool(UsbDriverMangerKestrel &, Rig &)>;
Q_DECLARE_METATYPE(Operation)

class TestUsbDriverMangerKestrel : public QObject
{
    Q_OBJECT
private slots:
    void onlyLeftClickIsKept();
    void cpiList_data();
    void cpiList();
    void cpiSingleLevel();
    void battery_data();
    void battery();
    void buttonWords_data();
    void buttonWords();
    void everySettingRoundTrip();
    void configurationMatchAndMismatch();
    void macroFileIntoMouseAndBack();
    void macroHeaderFollowsMode_data();
    void macroHeaderFollowsMode();
    void rapidFireList();
    void screenPicture();
    void valuesOutsideTheirRangeAreRefused_data();
    void valuesOutsideTheirRangeAreRefused();
    void screenValuesThePagesSend();
    void failureLeavesImageAndFiles_data();
    void failureLeavesImageAndFiles();
    void legacyFiles_data();
    void legacyFiles();
    void legacyFifoIsSkipped();
    void smallReads();
    void factoryReportRate_data();
    void factoryReportRate();
    void factoryButtonsAreOriginal_data();
    void factoryButtonsAreOriginal();
};

void TestUsbDriverMangerKestrel::onlyLeftClickIsKept()
{
    Rig rig;
    QVERIFY(rig.opened);
    UsbDriverMangerKestrel &m = *rig.manager;
    QSignalSpy warning(&m, &USBDriverManger::sig_WarningOnlyLeftButton);
    const QByteArray bank1 = rig.mouse->memory(kBank1, 1024);

    // Button 4 is the only left click: neither a key nor a macro may take it.
    QVERIFY(m.SetChangeButtonToKey(4, 0x41, 0, 29, 1));
    const QString macro = writeMacroFile(rig.json, QStringLiteral("m"), 0, 1, {keyNode(0x41, 0, 5), keyNode(0x41, 1, 5)});
    QVERIFY(m.WriteSingleMacro(4, macro));
    QCOMPARE(warning.count(), 2);
    QCOMPARE(warning.at(0).at(0).toInt(), 6);
    QCOMPARE(rig.mouse->memory(kBank1, 1024), bank1);
    QCOMPARE(rig.mouse->memory(4096 * 11, 16), QByteArray(16, '\0'));

    // Restoring its factory left click is no loss.
    QVERIFY(m.SetChangeButtonToKey(4, 0, 0, 32, 1));
    QCOMPARE(warning.count(), 2);

    // With a second left click, the first can go.
    QVERIFY(m.SetChangeButtonToKey(5, 0, 0, 48, 1));
    QCOMPARE(rig.bank1Word(516), 0x00010003u);
    QVERIFY(m.SetChangeButtonToKey(4, 0x41, 0, 29, 1));
    QCOMPARE(warning.count(), 2);
    QCOMPARE(rig.bank1Word(512), 0x00040000u);

    // Now button 5 is the only one left.
    QVERIFY(m.SetChangeButtonToKey(5, 0x42, 0, 29, 1));
    QCOMPARE(warning.count(), 3);
    QCOMPARE(rig.bank1Word(516), 0x00010003u);
}

void TestUsbDriverMangerKestrel::cpiList_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<CpiList>("list");
    QTest::addColumn<QVector<int>>("raw");
    QTest::addColumn<int>("levelByte");
    QTest::addColumn<CpiList>("readBack");
    QTest::newRow("kestrel 0 800 0 1600") << "kestrel" << CpiList{0, 800, 0, 1600} << QVector<int>{16, 32} << 1
                                          << CpiList{800, 1600, 0, 0, 0, 0, 0};
    QTest::newRow("merlinc 0 800 0 1600") << "merlinc" << CpiList{0, 800, 0, 1600} << QVector<int>{6, 14} << 1
                                          << CpiList{800, 1600, 0, 0, 0, 0, 0};
    QTest::newRow("merlinc takes five entries") << "merlinc" << CpiList{400, 800, 1200, 1600, 2000, 2400}
                                                << QVector<int>{2, 6, 10, 14, 18} << 2
                                                << CpiList{400, 800, 1200, 1600, 2000, 0, 0};
    QTest::newRow("kestreleu two ranges") << "kestreleu" << CpiList{800, 6000} << QVector<int>{6, 53} << 1
                                          << CpiList{800, 6000, 0, 0, 0, 0, 0};
    QTest::newRow("kestrel seven levels") << "kestrel" << CpiList{400, 800, 1200, 1600, 2000, 2400, 3200}
                                          << QVector<int>{8, 16, 24, 32, 40, 48, 64} << 3
                                          << CpiList{400, 800, 1200, 1600, 2000, 2400, 3200};
}

void TestUsbDriverMangerKestrel::cpiList()
{
    QFETCH(QString, model);
    QFETCH(CpiList, list);
    QFETCH(QVector<int>, raw);
    QFETCH(int, levelByte);
    QFETCH(CpiList, readBack);
    Rig rig(model);
    QVERIFY(rig.opened);
    QVERIFY(rig.manager->SetCPIList(list, 1));

    const QByteArray table = rig.mouse->memory(kBank1 + 1160, 16);
    for (int i = 0; i < 7; ++i)
        QCOMPARE(int(qFromLittleEndian<quint16>(table.constData() + 2 * i)), i < raw.size() ? raw[i] : 0);
    QCOMPARE(int(rig.bank1Byte(1174)), raw.size() - 1); // the level-count byte
    QCOMPARE(int(rig.bank1Byte(1176)), levelByte);

    DWORD cpi[7] = {};
    QVERIFY(rig.manager->GetCPIStageMatrix(cpi, 1));
    QCOMPARE(CpiList(std::begin(cpi), std::end(cpi)), readBack);
    // The configuration file holds what the mouse holds.
    QCOMPARE(rig.storedRecord(1).mid(68, 17), rig.mouse->memory(kBank1 + 1160, 17));

    // A list without a level, or with a level outside the model's range
    // (another model's values), is refused and changes nothing.
    QVERIFY(!rig.manager->SetCPIList(CpiList{0, 0, 0}, 1));
    const CpiTables::CpiRange range = CpiTables::rangeFor(rig.type);
    QVERIFY(!rig.manager->SetCPIList(CpiList{800, DWORD(range.maximum + range.step)}, 1));
    QVERIFY(!rig.manager->SetCPIList(CpiList{DWORD(range.minimum - 1), 800}, 1));
    QCOMPARE(rig.mouse->memory(kBank1 + 1160, 16), table);
}

void TestUsbDriverMangerKestrel::cpiSingleLevel()
{
    Rig rig;
    QVERIFY(rig.opened);
    UsbDriverMangerKestrel &m = *rig.manager;
    QVERIFY(m.SetCPIList(CpiList{800, 1600, 2400}, 1));
    QVERIFY(m.SetDPIStageMatrix(1000, 1, 1));
    QVERIFY(m.SetDPIStageMatrix(0, 2, 1)); // switched off: 2400 moves down
    QCOMPARE(rig.mouse->memory(kBank1 + 1160, 6), QByteArray::fromHex("140030000000"));
    QCOMPARE(int(rig.bank1Byte(1174)), 1);
    QVERIFY(m.SetDPIStageMatrix(3200, 3, 1)); // the next free level is added
    QCOMPARE(int(rig.bank1Byte(1174)), 2);
    QVERIFY(!m.SetDPIStageMatrix(3200, 7, 1)); // not next to the others
    QVERIFY(m.SetDPIStageMatrix(0, 1, 1));
    QVERIFY(m.SetDPIStageMatrix(0, 1, 1));
    QVERIFY(!m.SetDPIStageMatrix(0, 1, 1)); // the last level stays
    QCOMPARE(int(rig.bank1Byte(1174)), 0);
    QCOMPARE(rig.storedRecord(1).mid(68, 16), rig.mouse->memory(kBank1 + 1160, 16));
}

void TestUsbDriverMangerKestrel::battery_data()
{
    QTest::addColumn<quint32>("raw");
    QTest::addColumn<DWORD>("expected");
    QTest::newRow("charging with a level") << 0x01000005u << DWORD(101);
    QTest::newRow("full") << 0x02000000u << DWORD(102);
    QTest::newRow("no reading") << 0x03000000u << DWORD(103);
    QTest::newRow("672") << 672u << DWORD(99);
    QTest::newRow("726") << 726u << DWORD(100);
    QTest::newRow("empty") << 0u << DWORD(0);
    QTest::newRow("641") << 641u << DWORD(71);
}

void TestUsbDriverMangerKestrel::battery()
{
    QFETCH(quint32, raw);
    QFETCH(DWORD, expected);
    Rig rig;
    QVERIFY(rig.opened);
    rig.mouse->setBatteryRaw(raw);
    DWORD percent = 12345;
    QVERIFY(rig.manager->GetBatteryPower(&percent));
    QCOMPARE(percent, expected);
}

void TestUsbDriverMangerKestrel::buttonWords_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("offset");
    QTest::addColumn<uint>("value");
    QTest::addColumn<int>("modifier");
    QTest::addColumn<int>("changeType");
    QTest::addColumn<quint32>("word");
    QTest::addColumn<QVariantList>("report"); // (changeType, value, modifier)
    QTest::addColumn<quint32>("factory");
    struct Row
    {
        const char *name;
        uint value;
        int modifier;
        int changeType;
        quint32 word;
        QVariantList report;
    };
    const Row rows[] = {
        {"key", 0x41, 0, 29, 0x00040000, {29, 0x41, 0}},
        {"key with ctrl", 0x41, 1, 29, 0x04020002, {29, 0x41, 1}},
        {"key with shift alt", 0x31, 6, 29, 0x1E050002, {29, 0x31, 6}},
        {"modifiers only", 0, 8, 29, 0x00080002, {29, 0, 8}},
        {"shortcut ctrl W", 0x57, 1, 30, 0x1A020002, {31, 0, 0}},
        {"shortcut win L", 0x4C, 8, 30, 0x0F080002, {31, 1, 0}},
        {"shortcut ctrl F", 0x46, 1, 30, 0x09020002, {31, 6, 0}},
        {"consumer lookup", 0x41, 0, 34, 0x04000004, {31, -1, 0}},
        {"mute", 0, 0, 35, 0xE2000004, {31, 35, 0}},
        {"play pause", 0, 0, 36, 0xCD000004, {31, 36, 0}},
        {"volume up", 0, 0, 37, 0xE9000004, {31, 37, 0}},
        {"volume down", 0, 0, 38, 0xEA000004, {31, 38, 0}},
        {"media player", 0, 0, 39, 0x83010004, {31, 39, 0}},
        {"mouse button lookup", 0x02, 0, 40, 0x00F10003, {31, 0xF0, 0}},
        {"disabled", 0, 0, 41, 0x00000007, {41, 0, 0}},
        {"cpi lookup", 0x42, 0, 42, 0x00050008, {31, 45, 0}},
        {"type 9 lookup", 0x41, 0, 43, 0x04000009, {31, -1, 0}},
        {"left fire", 0, 0, 44, 0x01010003, {31, 44, 0}},
        {"cpi 5", 0, 0, 45, 0x00050008, {31, 45, 0}},
        {"cpi 6", 0, 0, 46, 0x00060008, {31, 46, 0}},
        {"type 9 function 1", 0, 0, 47, 0x00010009, {31, 47, 0}},
        {"left", 0, 0, 48, 0x00010003, {31, 48, 0}},
        {"right", 0, 0, 49, 0x00020003, {31, 49, 0}},
        {"middle", 0, 0, 50, 0x00040003, {31, 50, 0}},
        {"forward", 0, 0, 51, 0x00100003, {31, 51, 0}},
        {"back", 0, 0, 52, 0x00080003, {31, 52, 0}},
        {"type 9 function 3", 0, 0, 55, 0x00030009, {31, 55, 0}},
    };
    // Button 6 (right) and 13 (CPI up) in both layouts, with their offsets.
    struct Place
    {
        const char *model;
        int button;
        int offset;
        quint32 factory;
    };
    const Place places[] = {
        {"kestrel", 6, 520, 0x00020003}, {"kestrel", 13, 524, 0x00050008},
        {"merlin", 6, 544, 0x00020003},  {"merlin", 13, 520, 0x00050008},
    };
    for (const Place &p : places) {
        for (const Row &r : rows)
            QTest::addRow("%s button %d %s", p.model, p.button, r.name)
                << p.model << p.button << p.offset << r.value << r.modifier << r.changeType << r.word << r.report
                << p.factory;
        QTest::addRow("%s button %d factory", p.model, p.button)
            << p.model << p.button << p.offset << 0u << 0 << 32 << p.factory << QVariantList() << p.factory;
    }
}

void TestUsbDriverMangerKestrel::buttonWords()
{
    QFETCH(QString, model);
    QFETCH(int, button);
    QFETCH(int, offset);
    QFETCH(uint, value);
    QFETCH(int, modifier);
    QFETCH(int, changeType);
    QFETCH(quint32, word);
    QFETCH(QVariantList, report);
    QFETCH(quint32, factory);
    Rig rig(model);
    QVERIFY(rig.opened);
    UsbDriverMangerKestrel &m = *rig.manager;
    // Start from something else than the factory word, so a restore is seen.
    QVERIFY(m.SetChangeButtonToKey(button, 0, 0, 41, 1));

    QSignalSpy original(&m, &USBDriverManger::sig_CurrentButtonIsOriginalButton);
    QSignalSpy values(&m, &USBDriverManger::sig_TrueMouseValue);
    QVERIFY(m.SetChangeButtonToKey(button, value, modifier, changeType, 1));
    QCOMPARE(rig.bank1Word(offset), word);
    QCOMPARE(rig.storedRecord(1).mid(16 + offset - 512, 4), rig.mouse->memory(kBank1 + quint32(offset), 4));

    QVERIFY(!original.isEmpty());
    bool isOriginal = false;
    for (const QVariantList &args : original)
        if (args.at(1).toInt() == button)
            isOriginal = args.at(0).toBool();
    // A button holding its factory word is reported as such, with no value.
    QCOMPARE(isOriginal, word == factory);
    if (!isOriginal) {
        const QVariantList got = reportOf(values, button);
        QCOMPARE(got.size(), 4);
        QCOMPARE(got.mid(1), report);
    }
}

void TestUsbDriverMangerKestrel::everySettingRoundTrip()
{
    Rig rig;
    QVERIFY(rig.opened);
    UsbDriverMangerKestrel &m = *rig.manager;
    QVERIFY(m.SetReportRate(1, 1));
    QVERIFY(m.SetCPIList(CpiList{400, 800, 1600}, 1));
    QVERIFY(m.SetMouseColor(2, 3, 4, 0x00030201, 0x00060504, 0x00090807, false, 1));
    QVERIFY(m.SetMouseColorList(false, ColorList{0x000A0B0C, 0x000D0E0F}, 1));
    QVERIFY(m.SetMouseLightMode(false, 5));
    QVERIFY(m.SetMouseBreathSpeed(false, 6));
    QVERIFY(m.SetMouseLightDegree(false, 7));
    QVERIFY(m.SetOLEDScreenParameter(3));
    QVERIFY(m.SetOLEDScreenLightIntensity(9));
    QVERIFY(m.SetScreenWord(2, 0x44, 1));
    QVERIFY(m.SetChangeButtonToKey(6, 0x42, 1, 29, 1));

    // What the mouse holds.
    QCOMPARE(rig.bank1Word(1152), 4u);
    QCOMPARE(rig.mouse->memory(kBank1 + 1176, 4), QByteArray::fromHex("02050607"));
    QCOMPARE(rig.mouse->memory(kBank1 + 1208, 12), QByteArray::fromHex("0c0b0a000f0e0d0007080900"));
    QCOMPARE(rig.bank1Byte(1180), BYTE(9));
    QCOMPARE(rig.mouse->memory(kBank1 + 1196, 2), QByteArray::fromHex("0301"));
    QCOMPARE(rig.bank1Byte(1190), BYTE(0x44));
    QCOMPARE(rig.bank1Word(520), 0x05020002u);
    // The configuration file holds the same profile.
    const QByteArray mouseSettings = rig.mouse->memory(kBank1 + 1152, 68);
    const QByteArray mouseButtons = rig.mouse->memory(kBank1 + 512, 44);
    QCOMPARE(rig.storedRecord(1).mid(60, 68), mouseSettings);
    QCOMPARE(rig.storedRecord(1).mid(16, 44), mouseButtons);

    // A new connection reads every value back and recognises configuration 1.
    rig.manager.reset();
    auto again = rig.open(QStringLiteral("kestrel"));
    QVERIFY(again && again->GetProfileData());
    int number = 0;
    QVERIFY(again->CompareMouseAndLocalFileData(&number));
    QCOMPARE(number, 1);
    DWORD rate = 0;
    QVERIFY(again->GetReportRate(&rate, 1));
    QCOMPARE(rate, DWORD(1));
    DWORD cpi[7] = {};
    QVERIFY(again->GetCPIStageMatrix(cpi, 1));
    QCOMPARE(CpiList(std::begin(cpi), std::end(cpi)), (CpiList{400, 800, 1600, 0, 0, 0, 0}));
    LightColorParam light{};
    std::memset(&light, 0xEE, sizeof light);
    QVERIFY(again->GetLightParameter(&light, 1));
    QCOMPARE(int(light.lightMode), 5);
    QCOMPARE(int(light.breathSpeed), 6);
    QCOMPARE(int(light.lightDegree), 7);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(light.colors), 12), QByteArray::fromHex("0c0b0a000f0e0d0007080900"));
    QCOMPARE(int(light.wheelMode), 0xEE); // the wheel group is not ours
    QCOMPARE(again->GetOLEDScreenParameter(), 3);
    QCOMPARE(again->GetOLEDScreenLightIntensity(), 9);

    // The factory configuration, then configuration 1 from its file.
    QVERIFY(again->LoadConfigFileByNumber(0));
    QVERIFY(rig.mouse->memory(kBank1 + 1152, 68) != mouseSettings);
    QSignalSpy values(again.get(), &USBDriverManger::sig_TrueMouseValue);
    QVERIFY(again->LoadConfigFileByNumber(1));
    QCOMPARE(rig.mouse->memory(kBank1 + 1152, 68), mouseSettings);
    QCOMPARE(rig.mouse->memory(kBank1 + 512, 44), mouseButtons);
    QCOMPARE(reportOf(values, 6), (QVariantList{6, 29, 0x42, 1}));
}

void TestUsbDriverMangerKestrel::configurationMatchAndMismatch()
{
    Rig rig;
    QVERIFY(rig.opened);
    UsbDriverMangerKestrel &m = *rig.manager;
    // A factory mouse is the factory configuration every unwritten file gives.
    int number = -1;
    QVERIFY(m.CompareMouseAndLocalFileData(&number));
    QCOMPARE(number, 1);

    // A mouse changed behind our back matches none.
    rig.mouse->setMemory(kBank1 + 1152, QByteArray::fromHex("02000000"));
    QVERIFY(m.GetProfileData());
    number = -1;
    QVERIFY(!m.CompareMouseAndLocalFileData(&number));
    QCOMPARE(number, -1);

    // Stored as configuration 4, with a CPI level byte past the model's limit.
    rig.mouse->setMemory(kBank1 + 1176, QByteArray(1, char(5)));
    QVERIFY(m.GetProfileData());
    rig.json.saveMouseData_Korvan(m.configImage().left(128), rig.type, 4);
    QVERIFY(m.CompareMouseAndLocalFileData(&number));
    QCOMPARE(number, 4);
    QCOMPARE(m.currentConfigNumber(), 4);
    QCOMPARE(rig.bank1Byte(1176), BYTE(3));
    QCOMPARE(rig.storedRecord(4).at(84), char(3));
    // And it is still recognised next time.
    QVERIFY(m.GetProfileData());
    QVERIFY(m.CompareMouseAndLocalFileData(&number));
    QCOMPARE(number, 4);
}

void TestUsbDriverMangerKestrel::macroFileIntoMouseAndBack()
{
    Rig rig;
    QVERIFY(rig.opened);
    const QString path = writeMacroFile(rig.json, QStringLiteral("m1"), 0, 3,
                                        {keyNode(0x41, 0, 10), keyNode(0x41, 1, 20), moveNode(5, -3, 0)});
    QVERIFY(rig.manager->WriteSingleMacro(5, path));

    QCOMPARE(rig.bank1Word(516), 0x00000005u); // macro slot 0
    const QByteArray slot = rig.mouse->memory(4096 * 1, 16);
    QCOMPARE(slot.left(10), QByteArray::fromHex("1000" "0300" "150004" "280004"));
    QCOMPARE(macroSlotOfImage(rig.manager->configImage(), 0, 16), slot);
    QCOMPARE(rig.json.getMacroData_Korvan(rig.type, 1, 0).left(16), slot);

    rig.manager.reset();
    auto again = rig.open(QStringLiteral("kestrel"));
    QSignalSpy values(again.get(), &USBDriverManger::sig_TrueMouseValue);
    QVERIFY(again && again->GetProfileData());
    const QByteArray image = again->configImage();
    QCOMPARE(macroSlotOfImage(image, 0, 4096), slot + QByteArray(4096 - 16, '\0'));
    QCOMPARE(qFromLittleEndian<quint32>(image.constData() + KestrelTables::kLengthsAt), 16u);
    QCOMPARE(reportOf(values, 5), (QVariantList{5, 33, -1, 0}));
}

void TestUsbDriverMangerKestrel::macroHeaderFollowsMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("head"); // length, header, first event
    QTest::newRow("repeat 7") << 0 << QByteArray::fromHex("0a00" "0700" "150004");
    QTest::newRow("until pressed again, no delays") << 2 << QByteArray::fromHex("0a00" "feff" "010004");
    QTest::newRow("while held") << 4 << QByteArray::fromHex("0a00" "ffff" "150004");
}

void TestUsbDriverMangerKestrel::macroHeaderFollowsMode()
{
    QFETCH(int, mode);
    QFETCH(QByteArray, head);
    Rig rig;
    QVERIFY(rig.opened);
    const QString path = writeMacroFile(rig.json, QStringLiteral("m"), mode, 7, {keyNode(0x41, 0, 10), keyNode(0x41, 1, 10)});
    QVERIFY(rig.manager->WriteSingleMacro(7, path));
    QCOMPARE(rig.mouse->memory(4096 * 3, head.size()), head); // button 7: slot 2

    // A file without events is no macro.
    const QString empty = writeMacroFile(rig.json, QStringLiteral("e"), mode, 1, {});
    QVERIFY(!rig.manager->WriteSingleMacro(8, empty));
}

void TestUsbDriverMangerKestrel::rapidFireList()
{
    Rig rig;
    QVERIFY(rig.opened);
    UsbDriverMangerKestrel &m = *rig.manager;
    const QString a = writeMacroFile(rig.json, QStringLiteral("a"), 0, 1, {keyNode(0x41, 0, 10), keyNode(0x41, 1, 10)});
    const QString b = writeMacroFile(rig.json, QStringLiteral("b"), 0, 2, {keyNode(0x42, 0, 10), keyNode(0x42, 1, 10)});
    QSignalSpy values(&m, &USBDriverManger::sig_TrueMouseValue);
    QVERIFY(m.WriteListMacro({a, b}));

    QCOMPARE(rig.bank1Word(512), 0x00010003u); // the left click itself
    QCOMPARE(rig.bank1Byte(1182), BYTE(2));     // two rapid-fire macros
    QCOMPARE(rig.bank1Byte(1181), BYTE(0));
    QCOMPARE(rig.mouse->memory(4096 * 27, 10), QByteArray::fromHex("0a00" "0100" "150004" "140004"));
    QCOMPARE(rig.mouse->memory(4096 * 28, 10), QByteArray::fromHex("0a00" "0200" "150005" "140005"));
    QCOMPARE(rig.json.getMacroData_Korvan(rig.type, 1, 12).left(10), rig.mouse->memory(4096 * 28, 10));
    QCOMPARE(reportOf(values, 4), (QVariantList{4, 33, -1, 0}));

    // The mouse cannot give them back; the recognised configuration does.
    rig.manager.reset();
    auto again = rig.open(QStringLiteral("kestrel"));
    QVERIFY(again && again->GetProfileData());
    int number = 0;
    QVERIFY(again->CompareMouseAndLocalFileData(&number));
    QCOMPARE(macroSlotOfImage(again->configImage(), 11, 10), rig.mouse->memory(4096 * 27, 10));
    QCOMPARE(macroSlotOfImage(again->configImage(), 12, 10), rig.mouse->memory(4096 * 28, 10));

    // Restoring the left button ends the rapid fire.
    QSignalSpy original(again.get(), &USBDriverManger::sig_CurrentButtonIsOriginalButton);
    QVERIFY(again->SetChangeButtonToKey(4, 0, 0, 32, 1));
    QCOMPARE(rig.bank1Byte(1182), BYTE(0));
    QCOMPARE(original.first(), (QVariantList{true, 4}));
    QCOMPARE(rig.json.getMacroData_Korvan(rig.type, 1, 12), QByteArray(4096, '\0'));

    // More macros than rapid-fire slots is refused.
    QVERIFY(!again->WriteListMacro({a, b, a, b}));
}

void TestUsbDriverMangerKestrel::screenPicture()
{
    Rig rig;
    QVERIFY(rig.opened);
    UsbDriverMangerKestrel &m = *rig.manager;
    QImage picture = blankPicture();
    for (int x = 0; x < 64; ++x)
        picture.setPixel(x, (x * 3) % 48, 1);
    const QString path = JsonHandle::currentPicturePath(rig.type, 1);
    QVERIFY(picture.save(path, "BMP"));

    QVERIFY(m.WriteImageToMouse(rig.type, QStringLiteral("1"), 0, 1));
    QCOMPARE(rig.bank1Word(1184), 8u);
    QCOMPARE(rig.bank1Byte(1196), BYTE(8));
    QCOMPARE(m.GetOLEDScreenParameter(), 8);
    QVERIFY(rig.mouse->memory(4096 * 34, 384) != QByteArray(384, '\0'));
    QImage back;
    QVERIFY(m.ReadImageFromMouse(0, &back));
    QCOMPARE(back.size(), QSize(64, 48));
    // The same picture, in one colour sense or the other.
    int same = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            same += back.pixelIndex(x, y) == picture.pixelIndex(x, y);
    QVERIFY2(same == 0 || same == 64 * 48, qPrintable(QString::number(same)));

    // No picture: screen word 7, behaviour 1, the stored picture gone.
    QVERIFY(m.WriteImageToMouse(rig.type, QStringLiteral("0"), 0, 1));
    QCOMPARE(rig.bank1Word(1184), 7u);
    QCOMPARE(rig.bank1Byte(1196), BYTE(1));
    QVERIFY(!QFile::exists(path));
    // A configuration without a picture file writes nothing.
    QVERIFY(!m.WriteImageToMouse(rig.type, QStringLiteral("2"), 0, 1));
    QCOMPARE(rig.bank1Word(1184), 7u);
    // A large picture under the screen picture's name is refused by its
    // header, before it is decoded; a FIFO there is no picture at all.
    QImage large(4000, 4000, QImage::Format_Mono);
    large.fill(0);
    QVERIFY(large.save(JsonHandle::currentPicturePath(rig.type, 2), "PNG"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("picture refused"));
    QVERIFY(!m.WriteImageToMouse(rig.type, QStringLiteral("2"), 0, 1));
    QCOMPARE(::mkfifo(QFile::encodeName(JsonHandle::currentPicturePath(rig.type, 3)).constData(), 0600), 0);
    QVERIFY(!m.WriteImageToMouse(rig.type, QStringLiteral("3"), 0, 1));
    QCOMPARE(rig.bank1Word(1184), 7u);
}

void TestUsbDriverMangerKestrel::failureLeavesImageAndFiles_data()
{
    QTest::addColumn<Operation>("operation");
    auto row = [](const char *name, Operation op) { QTest::newRow(name) << op; };
    row("SetReportRate", [](UsbDriverMangerKestrel &m, Rig &) { return m.SetReportRate(0, 1); });
    row("SetCPIList", [](UsbDriverMangerKestrel &m, Rig &) { return m.SetCPIList({800, 1600}, 1); });
    row("SetDPIStageMatrix", [](UsbDriverMangerKestrel &m, Rig &) { return m.SetDPIStageMatrix(1000, 1, 1); });
    row("SetMouseColor", [](UsbDriverMangerKestrel &m, Rig &) { return m.SetMouseColor(1, 2, 3, 4, 5, 6, false, 1); });
    row("SetMouseColorList", [](UsbDriverMangerKestrel &m, Rig &) { return m.SetMouseColorList(false, {1, 2, 3}, 1); });
    row("SetMouseLightMode", [](UsbDriverMangerKestrel &m, Rig &) { return m.SetMouseLightMode(false, 2); });
    row("SetMouseBreathSpeed", [](UsbDriverMangerKestrel &m, Rig &) { return m.SetMouseBreathSpeed(false, 2); });
    row("SetMouseLightDegree", [](UsbDriverMangerKestrel &m, Rig &) { return m.SetMouseLightDegree(false, 2); });
    row("SetChangeButtonToKey", [](UsbDriverMangerKestrel &m, Rig &) { return m.SetChangeButtonToKey(6, 0x41, 0, 29, 1); });
    row("restore left button", [](UsbDriverMangerKestrel &m, Rig &) { return m.SetChangeButtonToKey(4, 0, 0, 32, 1); });
    row("SetButtonToMacroSlot", [](UsbDriverMangerKestrel &m, Rig &) { return m.SetButtonToMacroSlot(6, 1, 0, 1); });
    row("SetOLEDScreenParameter", [](UsbDriverMangerKestrel &m, Rig &) { return m.SetOLEDScreenParameter(3); });
    row("SetOLEDScreenLightIntensity", [](UsbDriverMangerKestrel &m, Rig &) { return m.SetOLEDScreenLightIntensity(50); });
    row("SetScreenWord", [](UsbDriverMangerKestrel &m, Rig &) { return m.SetScreenWord(1, 3, 1); });
    row("SetGunFireNumber", [](UsbDriverMangerKestrel &m, Rig &) { return m.SetGunFireNumber(2, 1); });
    row("WriteSingleMacro", [](UsbDriverMangerKestrel &m, Rig &) {
        return m.WriteSingleMacro(6, JsonHandle::playerCustomMacroFolderPath() + QStringLiteral("/a.json"));
    });
    row("WriteListMacro", [](UsbDriverMangerKestrel &m, Rig &) {
        const QString a = JsonHandle::playerCustomMacroFolderPath() + QStringLiteral("/a.json");
        return m.WriteListMacro({a, a});
    });
    row("WriteImageToMouse picture", [](UsbDriverMangerKestrel &m, Rig &r) {
        return m.WriteImageToMouse(r.type, QStringLiteral("1"), 0, 1);
    });
    row("WriteImageToMouse none", [](UsbDriverMangerKestrel &m, Rig &r) {
        return m.WriteImageToMouse(r.type, QStringLiteral("0"), 0, 1);
    });
    row("GetProfileData", [](UsbDriverMangerKestrel &m, Rig &) { return m.GetProfileData(); });
    row("LoadConfigFileByNumber", [](UsbDriverMangerKestrel &m, Rig &) { return m.LoadConfigFileByNumber(2); });
    row("LoadOnlyMouseConfigFileByNumber", [](UsbDriverMangerKestrel &m, Rig &) { return m.LoadOnlyMouseConfigFileByNumber(2); });
}

// Values no page can send, and banks that do not exist, are refused before
// any traffic: mouse, image and files stay as they were.
void TestUsbDriverMangerKestrel::valuesOutsideTheirRangeAreRefused_data()
{
    QTest::addColumn<Operation>("operation");
    auto row = [](const char *name, Operation op) { QTest::newRow(name) << op; };
    for (int behaviour : {-1, 0, 4, 7, 9, 99, INT_MAX})
        QTest::addRow("screen behaviour %d", behaviour)
            << Operation([behaviour](UsbDriverMangerKestrel &m, Rig &) { return m.SetOLEDScreenParameter(behaviour); });
    for (int intensity : {-1, 0, 4, 101, 255, 256, INT_MAX})
        QTest::addRow("screen intensity %d", intensity) << Operation(
            [intensity](UsbDriverMangerKestrel &m, Rig &) { return m.SetOLEDScreenLightIntensity(intensity); });
    row("colour list bank 2", [](UsbDriverMangerKestrel &m, Rig &) { return m.SetMouseColorList(false, {1, 2, 3}, 2); });
    row("colour list bank -1", [](UsbDriverMangerKestrel &m, Rig &) { return m.SetMouseColorList(false, {1, 2, 3}, -1); });
}

void TestUsbDriverMangerKestrel::valuesOutsideTheirRangeAreRefused()
{
    QFETCH(Operation, operation);
    Rig rig;
    QVERIFY(rig.opened);
    UsbDriverMangerKestrel &m = *rig.manager;
    m.SaveConfigFileByConfigureNumber(1);
    const QByteArray image = m.configImage();
    const auto files = rig.files();
    const QByteArray memory = rig.mouse->memory(0, EmulatedKestrelMouse::kMemorySize);
    const int commands = rig.mouse->commandCount();
    const int behaviour = m.GetOLEDScreenParameter();
    const int intensity = m.GetOLEDScreenLightIntensity();
    QVERIFY(!operation(m, rig));
    QCOMPARE(rig.mouse->commandCount(), commands);
    QCOMPARE(rig.mouse->memory(0, EmulatedKestrelMouse::kMemorySize), memory);
    QCOMPARE(m.configImage(), image);
    QCOMPARE(rig.files(), files);
    QCOMPARE(m.GetOLEDScreenParameter(), behaviour);
    QCOMPARE(m.GetOLEDScreenLightIntensity(), intensity);
}

void TestUsbDriverMangerKestrel::screenValuesThePagesSend()
{
    Rig rig;
    QVERIFY(rig.opened);
    UsbDriverMangerKestrel &m = *rig.manager;
    for (int behaviour : {1, 2, 3, 8}) {
        QVERIFY(m.SetOLEDScreenParameter(behaviour));
        QCOMPARE(rig.bank1Byte(1196), BYTE(behaviour));
    }
    for (int intensity : {5, 100}) {
        QVERIFY(m.SetOLEDScreenLightIntensity(intensity));
        QCOMPARE(rig.bank1Byte(1180), BYTE(intensity));
    }
}

void TestUsbDriverMangerKestrel::failureLeavesImageAndFiles()
{
    QFETCH(Operation, operation);
    Rig rig;
    QVERIFY(rig.opened);
    UsbDriverMangerKestrel &m = *rig.manager;
    // Every file an operation could touch exists beforehand.
    for (int n = 0; n <= 5; ++n)
        m.SaveConfigFileByConfigureNumber(n);
    writeMacroFile(rig.json, QStringLiteral("a"), 0, 1, {keyNode(0x41, 0, 10), keyNode(0x41, 1, 10)});
    const QImage picture = blankPicture();
    QVERIFY(picture.save(JsonHandle::currentPicturePath(rig.type, 1), "BMP"));
    // A second left click, so no button change is refused before it reaches the mouse.
    QVERIFY(m.SetChangeButtonToKey(5, 0, 0, 48, 1));

    const QByteArray image = m.configImage();
    const auto files = rig.files();
    const QByteArray memory = rig.mouse->memory(0, EmulatedKestrelMouse::kMemorySize);
    rig.mouse->refuseNextCommands(kRefuseAll);
    QVERIFY(!operation(m, rig));
    rig.mouse->refuseNextCommands(0);
    QCOMPARE(m.configImage(), image);
    QCOMPARE(rig.files(), files);
    QCOMPARE(rig.mouse->memory(0, EmulatedKestrelMouse::kMemorySize), memory);
}

namespace {
// A legacy configuration file: the 184-byte head (record and fourteen macro
// lengths), then the macros of non-zero length.
QByteArray legacyFile(const QByteArray &record, const QMap<int, QByteArray> &macros)
{
    QByteArray lengths(56, '\0');
    QByteArray body;
    for (auto it = macros.cbegin(); it != macros.cend(); ++it) {
        qToLittleEndian<quint32>(quint32(it.value().size()), lengths.data() + 4 * it.key());
        body += it.value();
    }
    return record + lengths + body;
}
} // namespace

void TestUsbDriverMangerKestrel::legacyFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("profileExists");
    QTest::addColumn<bool>("converted");
    QByteArray record = QByteArray(128, char(0x11));
    const QByteArray macro1 = QByteArray::fromHex("0700" "0100" "150004");
    const QByteArray macro3 = QByteArray::fromHex("0a00" "0200" "150005" "140005");
    const QByteArray whole = legacyFile(record, {{1, macro1}, {3, macro3}});
    QTest::newRow("whole, no profile yet") << whole << false << true;
    QTest::newRow("whole, profile exists") << whole << true << false;
    QTest::newRow("empty") << QByteArray() << false << false;
    QTest::newRow("too short for its head") << QByteArray(100, char(0xAB)) << false << false;
    QTest::newRow("macro cut off") << whole.chopped(1) << false << false;
    QTest::newRow("bytes past the last macro") << whole + '\0' << false << false;
    QTest::newRow("length not 4 + 3n") << legacyFile(record, {{1, QByteArray::fromHex("0500" "0100" "15")}}) << false
                                       << false;
    QTest::newRow("macro names another length")
        << legacyFile(record, {{1, QByteArray::fromHex("0a00" "0100" "150004")}}) << false << false;
    QTest::newRow("larger than a configuration") << QByteArray(KestrelTables::kImageSize + 1, '\0') << false << false;
}

// A legacy text file becomes configuration n only when n has no profile yet
// and the file is exactly one configuration; otherwise it stays untouched.
void TestUsbDriverMangerKestrel::legacyFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, profileExists);
    QFETCH(bool, converted);
    Rig rig;
    QVERIFY(rig.opened);
    UsbDriverMangerKestrel &m = *rig.manager;
    for (int n = 1; n <= 5; ++n)
        QVERIFY(!QFileInfo::exists(JsonHandle::currentConfigJsonFilePath(rig.type, n)));
    if (profileExists)
        m.SaveConfigFileByConfigureNumber(2);
    const auto before = rig.files();
    QFile file(m.oldTxtFilePath(2));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    // Conversion starts only when legacy file 1 is there.
    QFile one(m.oldTxtFilePath(1));
    QVERIFY(one.open(QIODevice::WriteOnly));
    one.close();

    m.TurnOldTxtFileToNewJsonFile();
    QCOMPARE(QFile::exists(m.oldTxtFilePath(2)), !converted);
    if (!converted) {
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
        QFile::remove(m.oldTxtFilePath(1));
        QFile::remove(m.oldTxtFilePath(2));
        QCOMPARE(rig.files(), before);
        return;
    }
    QCOMPARE(rig.storedRecord(2), content.left(128));
    QCOMPARE(rig.json.getMacroData_Korvan(rig.type, 2, 0), QByteArray(4096, '\0'));
    QCOMPARE(rig.json.getMacroData_Korvan(rig.type, 2, 1).left(8), content.mid(184, 7) + '\0');
    QCOMPARE(rig.json.getMacroData_Korvan(rig.type, 2, 3).left(11), content.mid(191, 10) + '\0');

    // And back into legacy files, which can be removed.
    m.TurnNewFileToOldFile();
    QFile back(m.oldTxtFilePath(2));
    QVERIFY(back.open(QIODevice::ReadOnly));
    QCOMPARE(back.readAll(), content);
    for (int n = 1; n <= 5; ++n)
        QVERIFY(QFile::exists(m.oldTxtFilePath(n)));
    m.RemoveOldTxtFile();
    for (int n = 1; n <= 5; ++n)
        QVERIFY(!QFile::exists(m.oldTxtFilePath(n)));
}

// A FIFO in place of a legacy file is no file: skipped at once, left alone.
void TestUsbDriverMangerKestrel::legacyFifoIsSkipped()
{
    Rig rig;
    QVERIFY(rig.opened);
    UsbDriverMangerKestrel &m = *rig.manager;
    QFile one(m.oldTxtFilePath(1));
    QVERIFY(one.open(QIODevice::WriteOnly));
    one.close();
    QCOMPARE(::mkfifo(QFile::encodeName(m.oldTxtFilePath(2)).constData(), 0600), 0);
    m.TurnOldTxtFileToNewJsonFile();
    QVERIFY(QFileInfo(m.oldTxtFilePath(2)).exists());
    QVERIFY(!QFileInfo::exists(JsonHandle::currentConfigJsonFilePath(rig.type, 2)));
}

void TestUsbDriverMangerKestrel::smallReads()
{
    Rig rig;
    QVERIFY(rig.opened);
    UsbDriverMangerKestrel &m = *rig.manager;
    rig.mouse->setMemory(4, QByteArray::fromHex("30410000"));
    int pid = 0;
    QVERIFY(m.GetMousePid(&pid));
    QCOMPARE(pid, 0x4130);

    rig.mouse->setMemory(kBank1 + 1184, QByteArray::fromHex("07000000" "0001020304050607" "0301aa00" "11000000" "22000000"));
    DWORD extras[13] = {};
    QVERIFY(m.ReadBankExtras(extras, 1));
    const DWORD expected[13] = {7, 0xAA0103, 1, 0x11, 0x22, 0, 1, 2, 3, 4, 5, 6, 7};
    for (int i = 0; i < 13; ++i)
        QCOMPARE(extras[i], expected[i]);

    // A mouse left on bank 0 is moved to bank 1 when its configuration is saved.
    rig.mouse->setBank(0);
    m.SaveConfigFileByConfigureNumber(1);
    QCOMPARE(rig.mouse->bank(), 1);

    // An interval no rate has is not reported as one.
    rig.mouse->setMemory(kBank1 + 1152, QByteArray::fromHex("03000000"));
    DWORD rate = 77;
    QVERIFY(!m.GetReportRate(&rate, 1));
    QCOMPARE(rate, DWORD(77));
}

void TestUsbDriverMangerKestrel::factoryReportRate_data()
{
    QTest::addColumn<QString>("model");
    for (const char *model : {"kestrel", "merlin", "kestrelc", "kestrelq", "merlinc", "merlinq", "kestreleu"})
        QTest::newRow(model) << QString::fromLatin1(model);
}

// Every factory-fresh mouse reports 1000 reports per second; the filler in
// the interval word's top byte of some models must not make it unreadable.
void TestUsbDriverMangerKestrel::factoryReportRate()
{
    QFETCH(QString, model);
    Rig rig(model);
    QVERIFY(rig.opened);
    DWORD rate = 77;
    QVERIFY(rig.manager->GetReportRate(&rate, 1));
    QCOMPARE(rate, DWORD(3));
}

void TestUsbDriverMangerKestrel::factoryButtonsAreOriginal_data()
{
    factoryReportRate_data();
}

// A mouse fresh from the factory, and one restored to the factory profile,
// shows no button as changed: the factory words of the model's button layout,
// the factory profile and the mouse's own memory agree.
void TestUsbDriverMangerKestrel::factoryButtonsAreOriginal()
{
    QFETCH(QString, model);
    Rig rig(model);
    QVERIFY(rig.opened);
    UsbDriverMangerKestrel &m = *rig.manager;
    QSignalSpy states(&m, &USBDriverManger::sig_CurrentButtonIsOriginalButton);
    QSignalSpy values(&m, &USBDriverManger::sig_TrueMouseValue);
    auto changedButtons = [&states]() {
        QList<int> changed;
        for (const QVariantList &args : states)
            if (!args.at(0).toBool())
                changed.append(args.at(1).toInt());
        return changed;
    };

    m.CheckAllMouseButtonIsOriginalMouseButton();
    QCOMPARE(states.size(), 11);
    QCOMPARE(changedButtons(), QList<int>());
    QCOMPARE(values.size(), 0);

    states.clear();
    QVERIFY(m.LoadConfigFileByNumber(0));
    QCOMPARE(states.size(), 11);
    QCOMPARE(changedButtons(), QList<int>());
    // What the mouse holds after the restore reads back the same way.
    QVERIFY(m.GetProfileData());
    QCOMPARE(changedButtons(), QList<int>());
    QCOMPARE(values.size(), 0);
}

QTEST_GUILESS_MAIN(TestUsbDriverMangerKestrel)
#include "tst_usbdrivermangerkestrel.moc"
