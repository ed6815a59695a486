// The second- and third-family managers driven against the emulated mice:
// what the mouse and the configuration files hold after each operation.
#include "device/FamilyTable.h"
#include "model/ProductTable.h"
#include "device/osprey/OspreyCodecs.h"
#include "device/osprey/USBDriver_Osprey.h"
#include "device/osprey/UsbDriverManger_Osprey.h"
#include "device/wren/USBDriver_Wren.h"
#include "device/wren/UsbDriverManger_Wren.h"
#include "emulator/EmulatedBackend.h"
#include "emulator/osprey/EmulatedOspreyMouse.h"
#include "platform/DeviceClock.h"
#include "store/JsonHandle.h"
#include "store/SettingsFiles.h"
#include "support/MacroNodes.h"
#include "support/TempAppFolder.h"

#include <QDirIterator>
#include <QSignalSpy>
#include <QtTest>
#include <cstring>
#include <memory>
#include <sys/stat.h>

using namespace OspreyCodecs;

namespace {

// A factory-fresh emulated mouse of one model, its manager (owning its
// driver) opened on it, the virtual clock and a temporary application folder.
// `prepare` changes the mouse before the manager reads it.
struct Rig
{
    explicit Rig(const QString &model = QStringLiteral("harrier"),
                 const std::function<void(EmulatedOspreyMouse &)> &prepare = {})
    {
        DeviceClock::setVirtual(true);
        Hid::setBackend(&backend);
        mouse = std::make_shared<EmulatedOspreyMouse>(model);
        if (prepare)
            prepare(*mouse);
        id = backend.plug(mouse);
        type = mouse->model().type;
        MouseType::setCurrent(type);
        if (type == 13) {
            manager = std::make_unique<UsbDriverManger_Wren>();
            manager->SetDriver(new USBDriver_Wren);
        } else {
            manager = std::make_unique<UsbDriverManger_Osprey>(type);
            manager->SetDriver(new USBDriver_Osprey);
        }
        manager->SetMouseTypeName(model);
        manager->SetMousePid(mouse->model().pid, 0x3A5E);
        opened = manager->InitDevice() && manager->GetProfileData();
        mouse->resetCounters();
    }
    ~Rig()
    {
        manager.reset();
        Hid::setBackend(nullptr);
        MouseType::setCurrent(0);
    }

    BYTE byte(int position) const { return BYTE(mouse->profile().at(position)); }
    DWORD word(int wordIndex) const
    {
        const QByteArray p = mouse->profile();
        const int at = kButtonsAt + 4 * wordIndex;
        return makeWord(BYTE(p[at]), BYTE(p[at + 1]), BYTE(p[at + 2]), BYTE(p[at + 3]));
    }
    // Settings byte of a stored configuration.
    BYTE stored(int configNumber, int position)
    {
        return BYTE(json.getMouseData_Tern(type, configNumber).at(position - kSettingsAt));
    }
    int profileWrites() const
    {
        int n = 0;
        for (const QByteArray &r : mouse->reportsSet())
            if (r.size() > 1 && BYTE(r[0]) == OspreyEmulation::kDataReportId && r[1] == 0x03)
                ++n;
        return n;
    }
    // Every file below the application folder with its contents.
    QMap<QString, QByteArray> files() const
    {
        QMap<QString, QByteArray> all;
        QDirIterator it(dataDir.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            f.open(QIODevice::ReadOnly);
            all.insert(f.fileName(), f.readAll());
        }
        return all;
    }
    QString macroFile(const QList<MacroNode> &events, int macroType = 0, int repeat = 1)
    {
        const QString path = json.createNewMacroFile();
        json.setMacroNodeList(path, events);
        json.setMacroType(path, macroType);
        json.setRepeatTimes(path, repeat);
        return path;
    }

    TempAppFolder dataDir;
    EmulatedBackend backend;
    std::shared_ptr<EmulatedOspreyMouse> mouse;
    int id = 0;
    int type = 0;
    std::unique_ptr<UsbDriverManger_Osprey> manager;
    JsonHandle json;
    bool opened = false;
};

QByteArray block(const MacroRecord &m)
{
    QByteArray b(1024, '\0');
    b[0] = char(m.header0);
    b[1] = char(m.header1);
    for (int i = 0; i < m.items.size(); ++i) {
        b[2 + 2 * i] = char(m.items[i] & 0xFF);
        b[3 + 2 * i] = char(m.items[i] >> 8);
    }
    return b;
}

void setByte(EmulatedOspreyMouse &m, int position, BYTE value)
{
    QByteArray p = m.profile();
    p[position] = char(value);
    m.setProfile(p);
}

} // namespace

class TestUsbDriverMangerOsprey : public QObject
{
    Q_OBJECT
private slots:
    void opensAndReadsWhatTheMouseHolds();
    void cpiListReachesTheMouse_data();
    void cpiListReachesTheMouse();
    void reportRateOutsideTheRangeStillWrites();
    void lightingReachesTheMouse();
    void keyAssignmentIsWrittenAndReported();
    void buttonChangesReachThePages();
    void onlyLeftButtonIsRefused();
    void restoringTheLeftButtonKeepsIt();
    void buttonTheModelLacksChangesNothing();
    void refusedWriteChangesNothing();
    void macroWrites();
    void configurationMatch_data();
    void configurationMatch();
    void noMatchKeepsTheFiles();
    void loadAndFactoryReset();
    void screenPicture();
    void storedPictureIsReadSafely();
    void screenSettingsOutOfRangeAreRefused_data();
    void screenSettingsOutOfRangeAreRefused();
    void withoutADeviceNothingIsWritten();
};

void TestUsbDriverMangerOsprey::screenSettingsOutOfRangeAreRefused_data()
{
    QTest::addColumn<bool>("isBehaviour");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("taken");
    QTest::newRow("behaviour 1") << true << 1 << true;
    QTest::newRow("behaviour 8") << true << 8 << true;
    QTest::newRow("behaviour 0") << true << 0 << false;
    QTest::newRow("behaviour 4") << true << 4 << false;
    QTest::newRow("behaviour 99") << true << 99 << false;
    QTest::newRow("intensity 5") << false << 5 << true;
    QTest::newRow("intensity 100") << false << 100 << true;
    QTest::newRow("intensity 4") << false << 4 << false;
    QTest::newRow("intensity 101") << false << 101 << false;
    QTest::newRow("intensity 1000") << false << 1000 << false;
}

// The screen takes what the page offers and nothing else: a value out of
// range is refused before anything reaches the mouse.
void TestUsbDriverMangerOsprey::screenSettingsOutOfRangeAreRefused()
{
    QFETCH(bool, isBehaviour);
    QFETCH(int, value);
    QFETCH(bool, taken);
    Rig rig(QStringLiteral("harrier"));
    const QByteArray before = rig.mouse->profile();
    const bool result = isBehaviour ? rig.manager->SetOLEDScreenParameter(value)
                                    : rig.manager->SetOLEDScreenLightIntensity(value);
    QCOMPARE(result, taken);
    QCOMPARE(rig.mouse->profile() != before, taken && before.at(isBehaviour ? 253 : 254) != char(value));
    if (!taken)
        QCOMPARE(rig.mouse->reportsSet().size(), 0);
}

void TestUsbDriverMangerOsprey::opensAndReadsWhatTheMouseHolds()
{
    // Button 7 plays the macro in its slot (record 4); slot 0x8C holds one no button plays.
    Rig rig(QStringLiteral("osprey"), [](EmulatedOspreyMouse &m) {
        QByteArray b(1024, '\0');
        b[0] = 0;
        b[1] = 2;
        b[2] = char(0x84);
        b[3] = 0x04;
        m.setMacroBlock(0x9C, b);
        m.setMacroBlock(0x8C, b);
        setByte(m, kButtonsAt + 4 * 4, 0x09);
        setByte(m, kButtonsAt + 4 * 4 + 2, 0x00);
        setByte(m, kButtonsAt + 4 * 4 + 3, 0x9C);
    });
    QVERIFY(rig.opened);
    QCOMPARE(rig.manager->settings(), rig.mouse->profile().mid(kSettingsAt, kSettingsSize));
    QCOMPARE(rig.manager->macros().at(4).header1, uchar(2));
    QCOMPARE(rig.manager->macros().at(4).items, QList<USHORT>{0x0484});
    QVERIFY(rig.manager->macros().at(0).items.isEmpty());
    DWORD version = 0;
    QVERIFY(rig.manager->GetFwVersion(&version));
    QCOMPARE(version, DWORD(rig.mouse->releaseNumber()));
    QCOMPARE(rig.manager->GetErrorCount(), 0);
    DWORD battery = 7;
    QVERIFY(!rig.manager->GetBatteryPower(&battery));

    // A fresh Osprey holds its factory buttons.
    QSignalSpy original(rig.manager.get(), &USBDriverManger::sig_CurrentButtonIsOriginalButton);
    QSignalSpy values(rig.manager.get(), &USBDriverManger::sig_TrueMouseValue);
    rig.manager->CheckAllMouseButtonIsOriginalMouseButton();
    QCOMPARE(original.count(), 12); // 4..17 without 9 and 10
    for (const QList<QVariant> &s : original)
        QCOMPARE(s.at(0).toBool(), s.at(1).toInt() != 7);
    QCOMPARE(values, (QList<QList<QVariant>>{{7, 33, 0, 0}}));

    // Reading fails once the mouse is gone; the failures are counted.
    rig.backend.unplug(rig.id);
    QVERIFY(!rig.manager->GetProfileData());
    QVERIFY(!rig.manager->GetProfileData());
    QCOMPARE(rig.manager->GetErrorCount(), 2);
}

void TestUsbDriverMangerOsprey::cpiListReachesTheMouse_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QList<DWORD>>("list");
    QTest::addColumn<QByteArray>("lows");
    QTest::addColumn<QByteArray>("highs");
    QTest::addColumn<QList<DWORD>>("readBack");

    QTest::newRow("osprey, level 3 off, 16000")
        << "osprey" << QList<DWORD>{400, 800, 0, 12000, 16000, 50, 100}
        << QByteArray::fromHex("0810 00f0 4001 02") << QByteArray::fromHex("0000 0000 0100 00")
        << QList<DWORD>{400, 800, 0, 12000, 16000, 50, 100};
    QTest::newRow("falcon, 4200 becomes 4100")
        << "falcon" << QList<DWORD>{200, 4200, 4300, 6200, 0, 0, 0}
        << QByteArray::fromHex("045c 618c 0000 00") << QByteArray(7, '\0')
        << QList<DWORD>{200, 4100, 4300, 6200, 0, 0, 0};
    QTest::newRow("harrier, table B") << "harrier" << QList<DWORD>{200, 3400, 6200, 0, 0, 0, 0}
                                      << QByteArray::fromHex("044e 9100 0000 00") << QByteArray(7, '\0')
                                      << QList<DWORD>{200, 3400, 6200, 0, 0, 0, 0};
    QTest::newRow("wren, 250 becomes 200") << "wren" << QList<DWORD>{250, 6200, 3400, 0, 0, 0, 800}
                                           << QByteArray::fromHex("0491 4e00 0000 12") << QByteArray(7, '\0')
                                           << QList<DWORD>{200, 6200, 3400, 0, 0, 0, 800};
}

void TestUsbDriverMangerOsprey::cpiListReachesTheMouse()
{
    QFETCH(QString, model);
    QFETCH(QList<DWORD>, list);
    QFETCH(QByteArray, lows);
    QFETCH(QByteArray, highs);
    QFETCH(QList<DWORD>, readBack);
    Rig rig(model);
    QVERIFY(rig.opened);
    QVERIFY(rig.manager->SetCPIList(list, 1));
    const QByteArray p = rig.mouse->profile();
    QCOMPARE(p.mid(kCpiXLowAt, 7), lows);
    QCOMPARE(p.mid(kCpiYLowAt, 7), lows);
    QCOMPARE(p.mid(kCpiXHighAt, 7), highs);
    QCOMPARE(p.mid(kCpiYHighAt, 7), highs);
    if (rig.type != 13) // the third family keeps the mouse's own checksum bytes
        QVERIFY(rig.mouse->settingsSumHolds());
    QCOMPARE(rig.stored(1, kCpiXLowAt + 1), BYTE(lows.at(1)));

    // The page, refreshed from a new read, shows what the mouse holds.
    QVERIFY(rig.manager->GetProfileData());
    DWORD levels[7] = {};
    QVERIFY(rig.manager->GetCPIStageMatrix(levels, 1));
    QCOMPARE(QList<DWORD>(levels, levels + 7), readBack);
}

void TestUsbDriverMangerOsprey::reportRateOutsideTheRangeStillWrites()
{
    Rig rig;
    QVERIFY(rig.manager->SetReportRate(1, 1));
    QCOMPARE(rig.byte(kReportRateAt), BYTE(1));
    const int writes = rig.profileWrites();
    QVERIFY(rig.manager->SetReportRate(5, 1));
    QCOMPARE(rig.byte(kReportRateAt), BYTE(1));
    QCOMPARE(rig.profileWrites(), writes + 1);
    DWORD index = 9;
    QVERIFY(rig.manager->GetReportRate(&index, 1));
    QCOMPARE(index, DWORD(1));
}

void TestUsbDriverMangerOsprey::lightingReachesTheMouse()
{
    Rig rig;
    QVERIFY(rig.manager->SetMouseLightMode(false, 3));
    QCOMPARE(rig.byte(kMainModeAt), BYTE(0x84));
    QCOMPARE(rig.byte(kBreathFixAt), BYTE(3));
    QCOMPARE(rig.byte(kBreathFixAt + 1), BYTE(1));
    QVERIFY(rig.manager->SetMouseLightMode(true, 4));
    QCOMPARE(rig.byte(kWheelModeAt), BYTE(0x83));
    QVERIFY(rig.manager->SetMouseColorList(false, {0x00332211, 0x00FFFFFF}, 1));
    QCOMPARE(rig.mouse->profile().mid(kMainColourAt, 3), QByteArray::fromHex("112233"));
    QCOMPARE(rig.byte(kMainColourAt + 3), BYTE(0));
    QCOMPARE(rig.byte(kMainColourAt + 5), BYTE(0));
    QVERIFY(rig.manager->SetMouseLightDegree(true, 40));
    QVERIFY(rig.manager->SetMouseBreathSpeed(false, 5));
    QCOMPARE(rig.byte(kWheelDegreeAt), BYTE(40));
    QCOMPARE(rig.byte(kMainSpeedAt), BYTE(5));

    LightColorParam param{};
    std::memset(&param, 0xEE, sizeof param);
    QVERIFY(rig.manager->GetLightParameter(&param, 1));
    QCOMPARE(int(param.lightMode), 3);
    QCOMPARE(int(param.wheelMode), 4);
    QCOMPARE(int(param.wheelDegree), 40);
    QCOMPARE(int(param.breathSpeed), 5);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(param.colors), 4), QByteArray::fromHex("11223300"));
    QCOMPARE(int(param.colors[4]), 0xEE); // the other colour slots are left as they were

    QVERIFY(rig.manager->SetOLEDScreenParameter(2));
    QVERIFY(rig.manager->SetOLEDScreenLightIntensity(77));
    QCOMPARE(rig.byte(kScreenModeAt), BYTE(4));
    QCOMPARE(rig.byte(kScreenBrightnessAt), BYTE(77));
    QCOMPARE(rig.manager->GetOLEDScreenParameter(), 2);
    QCOMPARE(rig.manager->GetOLEDScreenLightIntensity(), 77);
}

void TestUsbDriverMangerOsprey::keyAssignmentIsWrittenAndReported()
{
    Rig rig(QStringLiteral("osprey"));
    QVERIFY(rig.manager->SetChangeButtonToKey(7, 0x41, 2, 29, 1));
    QCOMPARE(uint(rig.word(4)), uint(makeWord(0, 2, 0x04, 0)));
    QVERIFY(rig.manager->SetChangeButtonToKey(13, 0, 0, 47, 1));
    QCOMPARE(uint(rig.word(5)), uint(makeWord(7, 0, 4, 0x0A)));

    QSignalSpy values(rig.manager.get(), &USBDriverManger::sig_TrueMouseValue);
    QSignalSpy original(rig.manager.get(), &USBDriverManger::sig_CurrentButtonIsOriginalButton);
    rig.manager->CheckAllMouseButtonIsOriginalMouseButton();
    QCOMPARE(values.count(), 2);
    QCOMPARE(values.at(0), (QList<QVariant>{7, 29, 0x41, 2}));
    QCOMPARE(values.at(1), (QList<QVariant>{13, 31, 47, 0}));
    QVERIFY(original.contains(QList<QVariant>{false, 7}));
    QVERIFY(original.contains(QList<QVariant>{true, 4}));

    // Restoring puts the factory word back.
    QVERIFY(rig.manager->SetChangeButtonToKey(7, 0, 0, 32, 1));
    QCOMPARE(uint(rig.word(4)), uint(makeWord(1, 0, 0xF4, 0)));
}

// Every button change is followed by the report the pages show; a launch
// function kept for a button marks it changed even on its factory word.
void TestUsbDriverMangerOsprey::buttonChangesReachThePages()
{
    Rig rig;
    QSignalSpy values(rig.manager.get(), &USBDriverManger::sig_TrueMouseValue);
    QSignalSpy original(rig.manager.get(), &USBDriverManger::sig_CurrentButtonIsOriginalButton);
    QVERIFY(rig.manager->SetChangeButtonToKey(6, 0x41, 3, 29, 1));
    QVERIFY(values.contains(QList<QVariant>{6, 29, 0x41, 3}));
    QVERIFY(original.contains(QList<QVariant>{false, 6}));
    QVERIFY(original.contains(QList<QVariant>{true, 7}));

    values.clear();
    original.clear();
    QVERIFY(rig.manager->WriteSingleMacro(5, rig.macroFile({keyNode(0x41, 0, 10), keyNode(0x41, 1, 0)})));
    QVERIFY(values.contains(QList<QVariant>{5, 33, 0, 0}));

    original.clear();
    QVERIFY(SettingsFiles::setLaunchFunction(7, 1, 2, QStringLiteral("/usr/bin/true")));
    rig.manager->CheckAllMouseButtonIsOriginalMouseButton();
    QVERIFY(original.contains(QList<QVariant>{false, 7}));
    QVERIFY(!original.contains(QList<QVariant>{true, 7}));
    QVERIFY(original.contains(QList<QVariant>{true, 8}));
}

void TestUsbDriverMangerOsprey::onlyLeftButtonIsRefused()
{
    // Each operation, on a mouse whose only left click is on button 4, and on
    // one where it moved to button 6.
    struct Case
    {
        const char *name;
        std::function<bool(Rig &, const QString &)> run;
        bool result;
        bool writesProfile;
    };
    const Case cases[] = {
        {"key on button 4", [](Rig &r, const QString &) { return r.manager->SetChangeButtonToKey(4, 0x41, 0, 29, 1); },
         true, true},
        {"single macro on button 4", [](Rig &r, const QString &f) { return r.manager->WriteSingleMacro(4, f); }, true,
         false},
        {"macro list", [](Rig &r, const QString &f) { return r.manager->WriteListMacro({f}); }, false, false},
    };
    for (const Case &c : cases) {
        Rig rig;
        const QString file = rig.macroFile({keyNode(0x41, 0, 10)});
        QSignalSpy warning(rig.manager.get(), &USBDriverManger::sig_WarningOnlyLeftButton);
        const QByteArray before = rig.mouse->profile();
        rig.mouse->resetCounters();
        QVERIFY2(c.run(rig, file) == c.result, c.name);
        QCOMPARE(warning.count(), 1);
        QCOMPARE(warning.at(0).at(0).toInt(), 6);
        QCOMPARE(rig.mouse->profile().mid(0, kProfileSize), before.mid(0, kProfileSize));
        QCOMPARE(rig.profileWrites(), c.writesProfile ? 1 : 0);
        QCOMPARE(rig.mouse->macroBlock(0x8C), QByteArray(1024, '\0'));
    }

    // Left moved to button 6: button 6 is now the one that cannot change.
    Rig rig;
    QVERIFY(rig.manager->SetChangeButtonToKey(6, 0, 0, 48, 1));
    QVERIFY(rig.manager->SetChangeButtonToKey(4, 0x41, 0, 29, 1));
    QSignalSpy warning(rig.manager.get(), &USBDriverManger::sig_WarningOnlyLeftButton);
    QVERIFY(rig.manager->SetChangeButtonToKey(6, 0x42, 0, 29, 1));
    QCOMPARE(warning.count(), 1);
    QCOMPARE(uint(rig.word(1)), uint(makeWord(1, 0, 0xF0, 0)));
}

void TestUsbDriverMangerOsprey::restoringTheLeftButtonKeepsIt()
{
    Rig rig;
    QSignalSpy warning(rig.manager.get(), &USBDriverManger::sig_WarningOnlyLeftButton);
    QVERIFY(rig.manager->SetChangeButtonToKey(4, 0, 0, 32, 1));
    QCOMPARE(warning.count(), 0);
    QCOMPARE(uint(rig.word(0)), uint(makeWord(1, 0, 0xF0, 0)));
}

void TestUsbDriverMangerOsprey::buttonTheModelLacksChangesNothing()
{
    Rig rig(QStringLiteral("osprey"));
    const QByteArray before = rig.mouse->profile().mid(kButtonsAt, 64);
    QVERIFY(rig.manager->SetChangeButtonToKey(9, 0x41, 0, 29, 1));
    QCOMPARE(rig.mouse->profile().mid(kButtonsAt, 64), before);
    QCOMPARE(rig.profileWrites(), 1);

    // A Lanner has it, on word 6.
    Rig lanner(QStringLiteral("lanner"));
    QVERIFY(lanner.manager->SetChangeButtonToKey(9, 0x41, 0, 29, 1));
    QCOMPARE(uint(lanner.word(6)), uint(makeWord(0, 0, 0x04, 0)));
}

void TestUsbDriverMangerOsprey::refusedWriteChangesNothing()
{
    Rig rig;
    QVERIFY(rig.manager->SetCPIList({400, 800, 1600, 0, 0, 0, 0}, 1));
    const QMap<QString, QByteArray> files = rig.files();
    const QByteArray settings = rig.manager->settings();
    const QByteArray mouse = rig.mouse->profile();

    rig.mouse->flagStatusReplies(0, 1); // the mouse cannot take the next write
    QVERIFY(!rig.manager->SetCPIList({3400, 800, 1600, 0, 0, 0, 0}, 1));
    QCOMPARE(rig.manager->settings(), settings);
    QCOMPARE(rig.files(), files);
    DWORD levels[7] = {};
    rig.manager->GetCPIStageMatrix(levels, 1);
    QCOMPARE(levels[0], DWORD(400));

    rig.mouse->flagStatusReplies(0, 1);
    QVERIFY(!rig.manager->SetChangeButtonToKey(7, 0x41, 0, 29, 1));
    QCOMPARE(rig.manager->settings(), settings);

    // The next accepted write does not carry the refused ones along.
    QVERIFY(rig.manager->SetMouseLightDegree(false, 12));
    QCOMPARE(rig.byte(kCpiXLowAt), BYTE(0x09));
    QCOMPARE(uint(rig.word(4)), uint(makeWord(1, 0, 0xF4, 0)));
    QCOMPARE(rig.byte(kMainDegreeAt), BYTE(12));
    QVERIFY(mouse != rig.mouse->profile());

    // Unplugged in the middle of the write: nothing changes either.
    const QMap<QString, QByteArray> before = rig.files();
    EmulatedBackend::Faults faults;
    faults.unplugAfterTransfers = 1;
    rig.backend.setFaults(rig.id, faults);
    QVERIFY(!rig.manager->SetReportRate(0, 1));
    QCOMPARE(rig.files(), before);
    QCOMPARE(rig.manager->settings().at(0), char(3));
}

void TestUsbDriverMangerOsprey::macroWrites()
{
    Rig rig;
    const QString file = rig.macroFile({keyNode(0x41, 1, 250)}, 2, 0x0102);
    QVERIFY(rig.manager->WriteSingleMacro(7, file));
    MacroRecord expected;
    expected.header0 = 0x01;
    expected.header1 = 0x02;
    expected.items = {item(0xB2, 0x04), item(0, 1), item(0, 2)};
    QCOMPARE(rig.mouse->macroBlock(0x9C), block(expected));
    QCOMPARE(uint(rig.word(4)), uint(makeWord(9, 2, 0, 0x9C)));
    QCOMPARE(rig.manager->macros().at(4).items, expected.items);
    MacroRecord stored;
    rig.json.getMacroData_Tern(stored, rig.type, 1, 4);
    QCOMPARE(stored.items, expected.items);

    QSignalSpy values(rig.manager.get(), &USBDriverManger::sig_TrueMouseValue);
    rig.manager->CheckAllMouseButtonIsOriginalMouseButton();
    QCOMPARE(values.at(0), (QList<QVariant>{7, 33, 0, 0}));

    // A key on the button clears its macro record.
    QVERIFY(rig.manager->SetChangeButtonToKey(7, 0x42, 0, 29, 1));
    QVERIFY(rig.manager->macros().at(4).items.isEmpty());

    // The macro list: slots D0, D4; the left button runs the list.
    const QString second = rig.macroFile({keyNode(0x42, 0, 20)});
    QVERIFY(rig.manager->SetChangeButtonToKey(6, 0, 0, 48, 1)); // a second left click
    QVERIFY(rig.manager->WriteListMacro({file, second}));
    QCOMPARE(rig.mouse->macroBlock(0xD0), block(expected));
    QCOMPARE(BYTE(rig.mouse->macroBlock(0xD4).at(2)), BYTE(20));
    QCOMPARE(uint(rig.word(0)), uint(kMacroListWord));
    QCOMPARE(rig.byte(kByte251At), BYTE(2));
    QCOMPARE(rig.byte(kFireByteAt), BYTE(0));
    QCOMPARE(rig.manager->GetProfileByte251(), BYTE(2));

    // A refused macro leaves the button as it was.
    rig.mouse->flagStatusReplies(0, 1);
    QVERIFY(!rig.manager->WriteSingleMacro(8, file));
    QCOMPARE(uint(rig.word(3)), uint(makeWord(1, 0, 0xF3, 0)));
}

void TestUsbDriverMangerOsprey::configurationMatch_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("gearBefore");
    QTest::addColumn<int>("gearAfter");
    QTest::addColumn<int>("writes");
    QTest::newRow("falcon from 1") << "falcon" << 1 << 3 << 1;
    QTest::newRow("falcon already 3") << "falcon" << 3 << 3 << 0;
    QTest::newRow("wren from 3") << "wren" << 3 << 2 << 1;
}

void TestUsbDriverMangerOsprey::configurationMatch()
{
    QFETCH(QString, model);
    QFETCH(int, gearBefore);
    QFETCH(int, gearAfter);
    QFETCH(int, writes);
    Rig rig(model, [&](EmulatedOspreyMouse &m) {
        setByte(m, kGearAt, BYTE(gearBefore));
        setByte(m, kMainDegreeAt, 42); // unlike the factory configuration
    });
    QVERIFY(rig.opened);
    for (int n = 1; n <= 5; ++n)
        rig.json.saveMouseData_Tern(rig.json.getMouseData_Tern(rig.type, 0), rig.type, n);
    rig.manager->SaveConfigFileByConfigureNumber(2);
    rig.mouse->resetCounters();
    int number = 0;
    QVERIFY(rig.manager->CompareMouseAndLocalFileData(&number));
    QCOMPARE(number, 2);
    QCOMPARE(rig.manager->currentConfigNumber(), 2);
    // The starting level is written once the open is finished, not by the match.
    QCOMPARE(int(rig.byte(kGearAt)), gearBefore);
    QCOMPARE(rig.profileWrites(), 0);
    QVERIFY(rig.manager->FinishOpen());
    QCOMPARE(int(rig.byte(kGearAt)), gearAfter);
    QCOMPARE(int(rig.stored(2, kGearAt)), writes ? gearAfter : gearBefore);
    QCOMPARE(rig.profileWrites(), writes);
    // Owed once: a second finish writes nothing.
    QVERIFY(rig.manager->FinishOpen());
    QCOMPARE(rig.profileWrites(), writes);
}

void TestUsbDriverMangerOsprey::noMatchKeepsTheFiles()
{
    Rig rig(QStringLiteral("falcon"), [](EmulatedOspreyMouse &m) { setByte(m, kGearAt, 1); });
    rig.manager->SaveConfigFileByConfigureNumber(3);
    for (int n : {1, 2, 4, 5})
        rig.json.saveMouseData_Tern(rig.json.getMouseData_Tern(rig.type, 0), rig.type, n);
    setByte(*rig.mouse, kMainDegreeAt, 43);
    QVERIFY(rig.manager->GetProfileData());
    const QMap<QString, QByteArray> files = rig.files();
    rig.mouse->resetCounters();
    int number = 0;
    QVERIFY(!rig.manager->CompareMouseAndLocalFileData(&number));
    QCOMPARE(number, 0);
    QCOMPARE(rig.files(), files);
    QCOMPARE(rig.profileWrites(), 0);
    QCOMPARE(rig.byte(kGearAt), BYTE(1));
}

void TestUsbDriverMangerOsprey::loadAndFactoryReset()
{
    Rig rig;
    const QString file = rig.macroFile({keyNode(0x41, 0, 30)});
    QVERIFY(rig.manager->WriteSingleMacro(5, file)); // record 2, slot 0x94
    QVERIFY(rig.manager->SetMouseLightDegree(false, 9));
    // Configuration 4 gets what the mouse holds now; then change the mouse again.
    rig.manager->SaveConfigFileByConfigureNumber(4);
    QVERIFY(rig.manager->SetChangeButtonToKey(5, 0, 0, 32, 1));
    QVERIFY(rig.manager->SetMouseLightDegree(false, 70));

    QSignalSpy original(rig.manager.get(), &USBDriverManger::sig_CurrentButtonIsOriginalButton);
    rig.manager->SetCurrentConfigNumber(4);
    QVERIFY(rig.manager->LoadConfigFileByNumber(4));
    QCOMPARE(rig.byte(kMainDegreeAt), BYTE(9));
    QCOMPARE(uint(rig.word(2)), uint(makeWord(9, 0, 0, 0x94)));
    QCOMPARE(BYTE(rig.mouse->macroBlock(0x94).at(2)), BYTE(30));
    QVERIFY(original.contains(QList<QVariant>{false, 5}));

    // Only the record: the macro slot keeps what the mouse has.
    rig.mouse->setMacroBlock(0x94, QByteArray(1024, '\0'));
    QVERIFY(rig.manager->LoadOnlyMouseConfigFileByNumber(4));
    QCOMPARE(rig.mouse->macroBlock(0x94), QByteArray(1024, '\0'));

    // The factory configuration.
    QVERIFY(rig.manager->LoadConfigFileByNumber(0));
    QCOMPARE(rig.mouse->profile().mid(kSettingsAt, kSettingsSize), rig.json.getMouseData_Tern(rig.type, 0));
    QCOMPARE(uint(rig.word(2)), uint(makeWord(1, 0, 0xF2, 0)));

    // A refused load leaves the working copy as it was.
    const QByteArray settings = rig.manager->settings();
    rig.mouse->flagStatusReplies(0, 100);
    QVERIFY(!rig.manager->LoadOnlyMouseConfigFileByNumber(4));
    QCOMPARE(rig.manager->settings(), settings);
}

void TestUsbDriverMangerOsprey::screenPicture()
{
    Rig rig(QStringLiteral("osprey"));
    // Lit pixels are white, as the picture editor draws them.
    QImage picture(128, 32, QImage::Format_RGB32);
    picture.fill(Qt::black);
    picture.setPixel(0, 0, qRgb(255, 255, 255));
    QVERIFY(picture.save(JsonHandle::currentPicturePath(rig.type, 1), "BMP"));
    QImage fallback = picture;
    fallback.fill(Qt::black);
    fallback.setPixel(1, 0, qRgb(255, 255, 255));
    QVERIFY(fallback.save(JsonHandle::currentDefaultPicturePath(rig.type), "BMP"));

    QVERIFY(rig.manager->WriteImageToMouse(rig.type, QStringLiteral("1"), 0, 1));
    QCOMPARE(BYTE(rig.mouse->screenBlock().at(0)), BYTE(0x80));
    QCOMPARE(BYTE(rig.mouse->screenBlock().at(512)), BYTE(0x80));
    QCOMPARE(rig.byte(kScreenModeAt), BYTE(7)); // picture mode

    // "0": the configuration's picture goes, the model's default is written.
    QVERIFY(rig.manager->WriteImageToMouse(rig.type, QStringLiteral("0"), 0, 1));
    QVERIFY(!QFile::exists(JsonHandle::currentPicturePath(rig.type, 1)));
    QCOMPARE(BYTE(rig.mouse->screenBlock().at(0)), BYTE(0));
    QCOMPARE(BYTE(rig.mouse->screenBlock().at(1)), BYTE(0x80));
    QCOMPARE(BYTE(rig.mouse->screenBlock().at(513)), BYTE(0x80));
}

void TestUsbDriverMangerOsprey::storedPictureIsReadSafely()
{
    Rig rig(QStringLiteral("osprey"));
    const QString path = JsonHandle::currentPicturePath(rig.type, 1);
    // A picture of another size is still scaled to the screen: twice as large, its
    // lit 2 x 2 block at the top left is the screen's first pixel.
    QImage large(256, 64, QImage::Format_RGB32);
    large.fill(Qt::black);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            large.setPixel(x, y, qRgb(255, 255, 255));
    QVERIFY(large.save(path, "BMP"));
    QVERIFY(rig.manager->WriteImageToMouse(rig.type, QStringLiteral("1"), 0, 1));
    QCOMPARE(BYTE(rig.mouse->screenBlock().at(0)), BYTE(0x80));

    // A picture that cannot be packed (a FIFO in its place, which must not hang
    // the bridge, or bytes that are no image) is refused with nothing sent:
    // the mouse keeps its picture and its screen mode.
    const QByteArray shown = rig.mouse->screenBlock();
    const QByteArray profile = rig.mouse->profile();
    QVERIFY(QFile::remove(path));
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    rig.mouse->resetCounters();
    QVERIFY(!rig.manager->WriteImageToMouse(rig.type, QStringLiteral("1"), 0, 1));
    QVERIFY(QFile::remove(path));
    QFile junk(path);
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("BM this is no picture");
    junk.close();
    QVERIFY(!rig.manager->WriteImageToMouse(rig.type, QStringLiteral("1"), 0, 1));
    QCOMPARE(rig.mouse->reportsSet().size(), 0);
    QCOMPARE(rig.mouse->screenBlock(), shown);
    QCOMPARE(rig.mouse->profile(), profile);
}

void TestUsbDriverMangerOsprey::withoutADeviceNothingIsWritten()
{
    TempAppFolder folder;
    // Whatever the process-wide model says, a manager made for a model has
    // that model's button table before any read (type 19's word 5 is 07000300).
    MouseType::setCurrent(0);
    UsbDriverManger_Osprey manager(19);
    QCOMPARE(manager.profile().mid(kButtonsAt + 4 * 5, 4), QByteArray::fromHex("07000300"));
    QCOMPARE(manager.profile().mid(kButtonsAt, 64), defaultButtonTable(19));
    QCOMPARE(manager.settings().mid(kButtonsAt - kSettingsAt, 64), defaultButtonTable(19));
    QCOMPARE(manager.profile().mid(kMirrorButtonsAt + 28, 4), QByteArray::fromHex("0af01002"));
    QVERIFY(!manager.SetDriver(nullptr));
    QVERIFY(!manager.InitDevice());
    QVERIFY(!manager.SetReportRate(1, 1));
    QVERIFY(!manager.SaveProfileToConfig1());
    QVERIFY(!manager.GetProfileData());
    QVERIFY(!QFile::exists(JsonHandle::currentConfigJsonFilePath(19, 1)));

    // Made through the family table for a Harrier, while the process still names no model.
    FamilyRequest request;
    request.product = Products::byType(19);
    FamilyParts parts = Families::find(Family::Second)->make(request);
    auto *made = dynamic_cast<UsbDriverManger_Osprey *>(parts.manager.get());
    QVERIFY(made);
    QCOMPARE(made->profile().mid(kButtonsAt, 64), defaultButtonTable(19));
}

QTEST_GUILESS_MAIN(TestUsbDriverMangerOsprey)
#include "tst_usbdrivermangerosprey.moc"
