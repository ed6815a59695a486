// The bridge on its worker thread with an emulated second- or third-family
// mouse: what the pages are told on opening, what a change leaves in the
// mouse, and a mouse pulled out in the middle of a write.
#include "support/BridgeFixture.h"
#include "support/FileBytes.h"

#include "model/ProductTable.h"
#include "emulator/osprey/EmulatedOspreyMouse.h"
#include "store/JsonHandle.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>
#include <memory>

namespace {

constexpr USHORT kVid = 0x3A5E;
constexpr int kCpiXLow = 300;
constexpr int kReportRate = 242;
constexpr int kBrightness = 257;
constexpr quint8 kButton5Slot = 0x94;
constexpr int kButton5Macro = 2; // the record index of slot 0x94

// A macro file of one key pressed and released `times` times.
QString macroFile(const QString &folder, int key, int times)
{
    const QString path = folder + QStringLiteral("/macro-%1-%2.json").arg(key).arg(times);
    QJsonArray events;
    for (int i = 0; i < times; ++i)
        for (int state : {1, 0})
            events.append(QJsonObject{{"ValueType", 3}, {"KeyValue", key}, {"TimeLapse", 20}, {"State", state}});
    writeFileBytes(path, QJsonDocument(QJsonObject{{"Name", "m"}, {"MacroType", 0}, {"RepeatTimes", 1}, {"Macro", events}})
                             .toJson());
    return path;
}

// The macro record a stored configuration keeps for button 5.
MacroRecord storedMacro(int mouseType, int number)
{
    MacroRecord record;
    JsonHandle().getMacroData_Tern(record, mouseType, number, kButton5Macro);
    return record;
}

bool operator==(const MacroRecord &a, const MacroRecord &b)
{
    return a.header0 == b.header0 && a.header1 == b.header1 && a.items == b.items;
}

void open(BridgeFixture &b, const ProductInfo *product)
{
    QVERIFY(b.call("slot_OpenDevice", Q_ARG(USHORT, product->wiredPid), Q_ARG(USHORT, kVid)));
    b.sync();
}

void reopen(BridgeFixture &b, const std::shared_ptr<EmulatedOspreyMouse> &mouse, const ProductInfo *product)
{
    QVERIFY(b.call("destroyUselessThings"));
    b.sync();
    b.bus.unplugAll();
    b.bus.plug(mouse);
    b.clear();
    open(b, product);
}

// A factory-fresh mouse of the model, opened, with a one-key macro on button 5.
std::shared_ptr<EmulatedOspreyMouse> openWithAMacro(BridgeFixture &b, const QString &model)
{
    auto mouse = std::make_shared<EmulatedOspreyMouse>(model);
    b.bus.plug(mouse);
    open(b, Products::byName(model));
    b.call("slot_WriteSingleMacro", Q_ARG(int, 5), Q_ARG(QString, macroFile(b.dir.path(), 0x41, 1)));
    b.sync();
    return mouse;
}

void cpiChange(BridgeFixture &b)
{
    QVERIFY(b.call("slot_setCPIListValueOnMouse", Q_ARG(QList<DWORD>, (QList<DWORD>{900, 1800, 0, 0, 0, 0, 0}))));
    b.sync();
}

} // namespace

class TestBridgeOsprey : public QObject
{
    Q_OBJECT
private slots:
    void openChangeUnplugReopen_data();
    void openChangeUnplugReopen();
    void aRefusedWriteIsReadBack();
    void twoModels_data();
    void aMacroThatCannotBeReadIsKept_data() { twoModels_data(); }
    void aMacroThatCannotBeReadIsKept();
    void aLoadCutShortMovesNoMacro_data();
    void aLoadCutShortMovesNoMacro();
    void aMouseMatchingNothingOverwritesNothing_data() { twoModels_data(); }
    void aMouseMatchingNothingOverwritesNothing();
    void aChangeAfterAFactoryResetIsSavedInTheCurrentConfiguration();
    void thePageIsFilledBeforeTheStartingLevelIsWritten();
};

// A Wren starts on CPI level 2: the write that puts it there comes after
// the pages were told what was read, so they fill without waiting for it.
void TestBridgeOsprey::thePageIsFilledBeforeTheStartingLevelIsWritten()
{
    constexpr int kGearAt = 247;
    BridgeFixture b;
    auto mouse = std::make_shared<EmulatedOspreyMouse>(QStringLiteral("wren"));
    mouse->changeSetting(kGearAt, 3);
    b.bus.plug(mouse);
    int gearWhenFilled = -1;
    QObject::connect(b.handle, &DCDataHandle::sig_EndLoadingDialog, b.handle,
                     [&] { gearWhenFilled = quint8(mouse->profile().at(kGearAt)); }, Qt::DirectConnection);
    open(b, Products::byName(QStringLiteral("wren")));
    QCOMPARE(b.warnings(), QList<int>{});
    QVERIFY(b.count("sig_SetCurrentCpiListValueOnPage") >= 1);
    QCOMPARE(gearWhenFilled, 3);
    QCOMPARE(int(quint8(mouse->profile().at(kGearAt))), 2);
}

// After a factory reset the factory configuration is in the mouse and in all
// five files, configuration 1 is shown, and the next change goes to it,
// never into the factory file itself.
void TestBridgeOsprey::aChangeAfterAFactoryResetIsSavedInTheCurrentConfiguration()
{
    BridgeFixture b;
    auto mouse = std::make_shared<EmulatedOspreyMouse>(QStringLiteral("harrier"));
    b.bus.plug(mouse);
    const ProductInfo *product = Products::byName(QStringLiteral("harrier"));
    const int type = product->mouseType;
    open(b, product);
    QVERIFY(b.call("slot_LoadLocalConfigFileAndWriteIntoMouse", Q_ARG(int, 2)));
    b.clear();
    QVERIFY(b.call("slot_ResetConfigToOriginal"));
    b.sync();
    // Done is said, and configuration 1 is the one shown.
    QCOMPARE(b.count("sig_FactorySettingsRestored"), 1);
    QCOMPARE(b.args("sig_SetCurrentConfigure").last().at(0).toInt(), 1);
    const QByteArray factory = fileBytes(JsonHandle::currentConfigJsonFilePath(type, 0));
    cpiChange(b);
    QCOMPARE(b.warnings(), QList<int>{});
    QCOMPARE(fileBytes(JsonHandle::currentConfigJsonFilePath(type, 0)), factory);
    const QByteArray current = JsonHandle().getMouseData_Tern(type, 1);
    QCOMPARE(current.mid(kCpiXLow - 242, 7), mouse->profile().mid(kCpiXLow, 7));
    QVERIFY(current != JsonHandle().getMouseData_Tern(type, 0));
}

void TestBridgeOsprey::twoModels_data()
{
    QTest::addColumn<QString>("model");
    QTest::newRow("harrier") << "harrier";
    QTest::newRow("wren") << "wren";
}

// A macro slot that answers with a damaged block at open: the open goes on,
// but what the slot holds is unknown, so neither the file nor, through it,
// the mouse may lose the macro the user stored.
void TestBridgeOsprey::aMacroThatCannotBeReadIsKept()
{
    QFETCH(QString, model);
    BridgeFixture b;
    const auto mouse = openWithAMacro(b, model);
    const ProductInfo *product = Products::byName(model);
    QCOMPARE(b.warnings(), QList<int>{});
    const MacroRecord stored = storedMacro(product->mouseType, 1);
    QCOMPARE(stored.items.size(), 2);
    const QByteArray block = mouse->macroBlock(kButton5Slot);

    mouse->setMacroBlock(kButton5Slot, QByteArray(EmulatedOspreyMouse::kBlockSize, '\0'));
    reopen(b, mouse, product);
    QCOMPARE(b.args("sig_OpenDeviceResult").last().at(0).toBool(), true);
    QCOMPARE(b.args("sig_SetCurrentConfigure").last().at(0).toInt(), 1);
    cpiChange(b);
    QCOMPARE(b.warnings(), QList<int>{});
    QVERIFY(storedMacro(product->mouseType, 1) == stored);

    QVERIFY(b.call("slot_LoadLocalConfigFileAndWriteIntoMouse", Q_ARG(int, 1)));
    b.sync();
    QCOMPARE(mouse->macroBlock(kButton5Slot), block);
}

void TestBridgeOsprey::aLoadCutShortMovesNoMacro_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("cutAfter"); // exchanges of the load before the mouse is gone
    for (const char *model : {"harrier", "wren"})
        for (int cut : {1, 2, 3, 4, 5})
            QTest::addRow("%s, cut after %d", model, cut) << QString::fromLatin1(model) << cut;
}

// Configuration 1 plays macro A on button 5, configuration 2 macro B. A load
// of configuration 2 cut short, then a reopen and a change: whichever
// configuration the mouse is taken for, every file keeps its own macro, and
// a matched configuration is what the mouse plays.
void TestBridgeOsprey::aLoadCutShortMovesNoMacro()
{
    QFETCH(QString, model);
    QFETCH(int, cutAfter);
    BridgeFixture b;
    auto mouse = std::make_shared<EmulatedOspreyMouse>(model);
    int id = b.bus.plug(mouse);
    const ProductInfo *product = Products::byName(model);
    const int type = product->mouseType;
    open(b, product);
    QVERIFY(b.call("slot_WriteSingleMacro", Q_ARG(int, 5), Q_ARG(QString, macroFile(b.dir.path(), 0x41, 1))));
    QVERIFY(b.call("slot_LoadLocalConfigFileAndWriteIntoMouse", Q_ARG(int, 2)));
    QVERIFY(b.call("slot_WriteSingleMacro", Q_ARG(int, 5), Q_ARG(QString, macroFile(b.dir.path(), 0x42, 3))));
    QVERIFY(b.call("slot_LoadLocalConfigFileAndWriteIntoMouse", Q_ARG(int, 1)));
    b.sync();
    QCOMPARE(b.warnings(), QList<int>{});
    const MacroRecord a = storedMacro(type, 1);
    const MacroRecord bee = storedMacro(type, 2);
    QCOMPARE(a.items.size(), 2);
    QCOMPARE(bee.items.size(), 6);
    const QByteArray blockA = mouse->macroBlock(kButton5Slot);

    EmulatedBackend::Faults faults;
    faults.unplugAfterTransfers = cutAfter;
    b.bus.setFaults(id, faults);
    QVERIFY(b.call("slot_LoadLocalConfigFileAndWriteIntoMouse", Q_ARG(int, 2)));
    b.sync();
    QVERIFY(b.warnings().contains(32));

    reopen(b, mouse, product);
    QCOMPARE(b.args("sig_OpenDeviceResult").last().at(0).toBool(), true);
    const QList<QVariantList> matched = b.args("sig_SetCurrentConfigure");
    if (!matched.isEmpty()) {
        const int n = matched.last().at(0).toInt();
        QCOMPARE(mouse->macroBlock(kButton5Slot) == blockA, n == 1);
    } else {
        QCOMPARE(b.warnings(), QList<int>{38});
    }
    cpiChange(b);
    QVERIFY(storedMacro(type, 1) == a);
    QVERIFY(storedMacro(type, 2) == bee);
}

// A mouse whose settings match no stored configuration: changes reach the
// mouse but no file until the user answers; keeping the mouse's settings
// then makes them configuration 1.
void TestBridgeOsprey::aMouseMatchingNothingOverwritesNothing()
{
    QFETCH(QString, model);
    BridgeFixture b;
    const auto mouse = openWithAMacro(b, model);
    const ProductInfo *product = Products::byName(model);
    const int type = product->mouseType;
    const QString config = JsonHandle::currentConfigJsonFilePath(type, 1);
    const QByteArray stored = fileBytes(config);

    // Another program changed the mouse's light brightness.
    mouse->changeSetting(kBrightness, quint8(mouse->profile().at(kBrightness)) ^ 1);
    const QByteArray block = mouse->profile();
    reopen(b, mouse, product);
    QCOMPARE(b.warnings(), QList<int>{38});
    QCOMPARE(b.count("sig_SetCurrentConfigure"), 0);

    cpiChange(b);
    QCOMPARE(b.warnings(), QList<int>{38});
    QCOMPARE(fileBytes(config), stored);
    QVERIFY(mouse->profile().mid(kCpiXLow, 7) != QByteArray(block.mid(kCpiXLow, 7)));

    QVERIFY(b.call("slot_SaveProfileToConfig1"));
    b.sync();
    QCOMPARE(b.args("sig_SetCurrentConfigure").last().at(0).toInt(), 1);
    const QByteArray kept = JsonHandle().getMouseData_Tern(type, 1);
    QCOMPARE(kept.at(kBrightness - 242), block.at(kBrightness));
    QVERIFY(storedMacro(type, 1).items.size() == 2);
}

void TestBridgeOsprey::openChangeUnplugReopen_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QByteArray>("codes"); // of 800, 1600, 3200, off, off, off, 6200
    QTest::addColumn<int>("lightMode");    // the page's mode of the factory main light
    QTest::newRow("harrier") << "harrier" << QByteArray::fromHex("12244a00000091") << 5;
    QTest::newRow("wren") << "wren" << QByteArray::fromHex("12244a00000091") << 4;
    QTest::newRow("osprey") << "osprey" << QByteArray::fromHex("1020400000007c") << 4;
}

void TestBridgeOsprey::openChangeUnplugReopen()
{
    QFETCH(QString, model);
    QFETCH(QByteArray, codes);
    QFETCH(int, lightMode);
    BridgeFixture b;
    auto mouse = std::make_shared<EmulatedOspreyMouse>(model);
    int id = b.bus.plug(mouse);
    const ProductInfo *product = Products::byName(model);

    // Open: the result, then the pages' values as the mouse holds them.
    QVERIFY(b.call("slot_OpenDevice", Q_ARG(USHORT, product->wiredPid), Q_ARG(USHORT, kVid)));
    b.sync();
    QCOMPARE(b.args("sig_OpenDeviceResult"), (QList<QVariantList>{{true, product->mouseType, false}}));
    QCOMPARE(b.warnings(), QList<int>{});
    QCOMPARE(b.args("sig_VersionNumber").last().at(0).toInt(), int(mouse->releaseNumber()));
    QCOMPARE(b.args("sig_SetCurrentConfigure").last().at(0).toInt(), 1);
    QCOMPARE(b.args("sig_SetCurrentReportRate").last().at(0).toInt(), 3);
    QCOMPARE(b.args("sig_SetLightParameterOnPage").last().at(0).value<LightColorParam>().lightMode, BYTE(lightMode));
    QVERIFY(b.count("sig_CurrentButtonIsOriginalButton") >= 12);

    // A CPI list reaches the mouse and the configuration file.
    b.clear();
    const QList<DWORD> cpi{800, 1600, 3200, 0, 0, 0, 6200};
    QVERIFY(b.call("slot_setCPIListValueOnMouse", Q_ARG(QList<DWORD>, cpi)));
    b.sync();
    QCOMPARE(b.warnings(), QList<int>{});
    QCOMPARE(mouse->profile().mid(kCpiXLow, 7), codes);
    const QString config = JsonHandle::currentConfigJsonFilePath(product->mouseType, 1);
    const QByteArray stored = fileBytes(config);
    QVERIFY(!stored.isEmpty());

    // Pulled out in the middle of the next write, after the mouse took the
    // report but before it confirmed it: one warning, the file as it was.
    b.clear();
    EmulatedBackend::Faults faults;
    faults.unplugAfterTransfers = 1;
    b.bus.setFaults(id, faults);
    QVERIFY(b.call("slot_ChangeUsbReportRate", Q_ARG(int, 0)));
    b.sync();
    QCOMPARE(b.warnings(), QList<int>{32});
    QCOMPARE(fileBytes(config), stored);
    QVERIFY(b.call("destroyUselessThings"));

    // Plugged in again, it opens and shows what it holds.
    b.clear();
    id = b.bus.plug(mouse);
    QVERIFY(b.call("slot_OpenDevice", Q_ARG(USHORT, product->wiredPid), Q_ARG(USHORT, kVid)));
    b.sync();
    QCOMPARE(b.args("sig_OpenDeviceResult"), (QList<QVariantList>{{true, product->mouseType, false}}));
    QCOMPARE(b.warnings(), QList<int>{});
    QCOMPARE(b.args("sig_SetCurrentCpiListValueOnPage").last().at(0).value<QList<DWORD>>(), cpi);
    QCOMPARE(b.args("sig_SetCurrentReportRate").last().at(0).toInt(), int(mouse->profile().at(kReportRate)));
}

// The mouse stores the profile but flags it as not taken: the write counts as
// failed, yet the mouse now holds something else than the manager last read.
// After the one warning the page is told what the mouse holds, exactly what
// a fresh open would show, and the configuration's file holds it too: the
// next open finds the mouse holding configuration 1, not a stranger.
void TestBridgeOsprey::aRefusedWriteIsReadBack()
{
    BridgeFixture b;
    auto mouse = std::make_shared<EmulatedOspreyMouse>(QStringLiteral("harrier"));
    b.bus.plug(mouse);
    QVERIFY(b.call("slot_OpenDevice", Q_ARG(USHORT, USHORT(0x4163)), Q_ARG(USHORT, kVid)));
    b.sync();
    const QList<DWORD> before = b.args("sig_SetCurrentCpiListValueOnPage").last().at(0).value<QList<DWORD>>();

    b.clear();
    mouse->flagStatusReplies(0, 100);
    QVERIFY(b.call("slot_setCPIListValueOnMouse", Q_ARG(QList<DWORD>, (QList<DWORD>{400, 0, 0, 0, 0, 0, 0}))));
    b.sync();
    QCOMPARE(b.warnings(), QList<int>{32});
    QCOMPARE(b.args("sig_SetCurrentCpiListValueOnPage").size(), 1);
    QCOMPARE(b.args("sig_SetCurrentReportRate").size(), 1);
    const QList<DWORD> shown = b.args("sig_SetCurrentCpiListValueOnPage").last().at(0).value<QList<DWORD>>();
    QVERIFY(shown != before);

    mouse->flagStatusReplies(0, 0);
    QVERIFY(b.call("destroyUselessThings"));
    b.clear();
    QVERIFY(b.call("slot_OpenDevice", Q_ARG(USHORT, USHORT(0x4163)), Q_ARG(USHORT, kVid)));
    b.sync();
    QCOMPARE(b.args("sig_SetCurrentConfigure").size(), 1);
    QCOMPARE(b.args("sig_SetCurrentConfigure").last().at(0).toInt(), 1);
    QVERIFY(!b.warnings().contains(38)); // "matches no stored configuration"
    QCOMPARE(b.args("sig_SetCurrentCpiListValueOnPage").last().at(0).value<QList<DWORD>>(), shown);
}

QTEST_GUILESS_MAIN(TestBridgeOsprey)
#include "tst_bridgeosprey.moc"
