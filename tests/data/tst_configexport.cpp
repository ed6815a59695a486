// Configuration export and import: one file holding a configuration of a
// model, taken back into an emulated mouse through the bridge; and every
// kind of file the import must refuse, each leaving files and mouse alone.
#include "support/BridgeFixture.h"
#include "support/FileBytes.h"

#include "data/ConfigPackage.h"
#include "model/ProductTable.h"
#include "emulator/kestrel/EmulatedKestrelMouse.h"
#include "emulator/osprey/EmulatedOspreyMouse.h"
#include "store/GearHandle.h"
#include "store/JsonHandle.h"
#include "store/TextTable.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

constexpr USHORT kVid = 0x3A5E;
constexpr int kHarrier = 19;
constexpr int kKestrel = 11;

// The files that make configuration n.
QList<QByteArray> configFiles(int mouseType, int n)
{
    return {fileBytes(JsonHandle::currentConfigJsonFilePath(mouseType, n)),
            fileBytes(GearHandle::gearFilePath(mouseType, n)), fileBytes(JsonHandle::currentPicturePath(mouseType, n))};
}

QByteArray bmp(int width, int height)
{
    QImage image(width, height, QImage::Format_Mono);
    image.fill(0);
    image.setPixel(3, 4, 1);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

// A user macro file: press and release a key.
QString macroFile(const QString &folder, int key)
{
    const QString path = folder + QStringLiteral("/macro%1.json").arg(key);
    QJsonArray events;
    for (int state : {0, 1})
        events.append(QJsonObject{{"ValueType", 3}, {"KeyValue", key}, {"TimeLapse", 20}, {"State", state}});
    writeFileBytes(path, QJsonDocument(QJsonObject{{"Name", "m"}, {"MacroType", 0}, {"RepeatTimes", 2}, {"Macro", events}})
                        .toJson());
    return path;
}

// A configuration file as the export writes it: the model's factory record
// and the given macros.
QJsonObject packageOf(int mouseType, const QByteArray &record, const QJsonObject &macros)
{
    QJsonObject bytes;
    for (int i = 0; i < record.size(); ++i)
        bytes.insert(QString::number(i), quint8(record.at(i)));
    return QJsonObject{
        {"HarrierDriverConfiguration", 1},
        {"Model", Products::modelName(mouseType)},
        {"Profile", QJsonObject{{"MouseDataOfGamingMode", bytes}, {"MacroDataOfGamingMode", macros}}},
        {"CpiSetting", GearHandle().BuildDefaultGear(mouseType)},
    };
}

// A second-family file, with a macro in slot 3, for the refusal table.
QJsonObject validPackage(int mouseType)
{
    QByteArray factory(JsonHandle::TernRecordSize, '\0');
    JsonHandle().createAOriginalMouseDataFile_Tern(factory, mouseType);
    return packageOf(mouseType, factory, {{"3", QJsonObject{{"RepeatTimes", 1}, {"Macro", QJsonArray{1, 2, 3, 4}}}}});
}

// Changes one thing of a JSON object at a path of member names.
QJsonObject withMember(QJsonObject root, const QStringList &path, const QJsonValue &value)
{
    if (path.size() == 1) {
        if (value.isUndefined())
            root.remove(path.first());
        else
            root.insert(path.first(), value);
        return root;
    }
    root.insert(path.first(), withMember(root.value(path.first()).toObject(), path.mid(1), value));
    return root;
}

using Mutation = std::function<QByteArray(const QJsonObject &)>;
QByteArray compact(const QJsonObject &o) { return QJsonDocument(o).toJson(QJsonDocument::Compact); }
Mutation set(const QStringList &path, const QJsonValue &value)
{
    return [path, value](const QJsonObject &o) { return compact(withMember(o, path, value)); };
}
// Sets record bytes (position: value) of the profile record.
Mutation setRecord(const QMap<int, int> &bytes)
{
    return [bytes](const QJsonObject &o) {
        QJsonObject root = o;
        for (auto it = bytes.begin(); it != bytes.end(); ++it)
            root = withMember(root, {"Profile", "MouseDataOfGamingMode", QString::number(it.key())}, it.value());
        return compact(root);
    };
}
QMap<int, int> word(int at, int b0, int b1, int b2, int b3) { return {{at, b0}, {at + 1, b1}, {at + 2, b2}, {at + 3, b3}}; }

// A first-family file, with macros in slot 1 and the first two rapid-fire slots.
QJsonObject validKorvanPackage(int mouseType)
{
    QByteArray factory(JsonHandle::KorvanRecordSize, '\0');
    JsonHandle().createAOriginalMouseDataFile_Korvan(factory, mouseType);
    const QJsonObject macro{{"RepeatTimes", 1}, {"MacroSize", 7}, {"Macro", QJsonArray{1, 2, 3}}};
    return packageOf(mouseType, factory, {{"1", macro}, {"11", macro}, {"12", macro}});
}

} // namespace

Q_DECLARE_METATYPE(Mutation)
Q_DECLARE_METATYPE(ConfigPackage::Problem)

class TestConfigExport : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void refusedFiles_data();
    void refusedFiles();
    void firstFamilyButtonRules_data();
    void firstFamilyButtonRules();
    void refusedImportChangesNothing();
    void importTheMouseRefusesKeepsTheFiles();
    void exportFailuresSayNothingWasExported();
};

// An export that cannot be made says so in its own words, and makes no folder.
void TestConfigExport::exportFailuresSayNothingWasExported()
{
    QVERIFY(TextTable::loadTextTable(QFINDTESTDATA("../../resources/translate.json"), TextTable::kEnglishSlot)
            == TextTable::Loaded);
    BridgeFixture b;
    b.bus.plug(std::make_shared<EmulatedKestrelMouse>(QStringLiteral("kestrel")));
    QVERIFY(b.call("slot_OpenDevice", Q_ARG(USHORT, USHORT(0x4130)), Q_ARG(USHORT, kVid)));
    b.sync();
    QVERIFY(writeFileBytes(JsonHandle::currentPicturePath(kKestrel, 1), QByteArray("BM not a picture")));
    const QString missing = b.dir.path() + QStringLiteral("/no-such-folder");
    const QList<QPair<QString, QString>> cases = {
        {b.dir.path() + QStringLiteral("/out.hdconf"), QStringLiteral("is damaged. Nothing was exported.")},
        {missing + QStringLiteral("/out.hdconf"), QStringLiteral("does not exist. Nothing was exported.")},
    };
    for (const auto &c : cases) {
        b.clear();
        QVERIFY(b.call("slot_ExportConfiguration", Q_ARG(int, 1), Q_ARG(QString, c.first)));
        b.sync();
        const QVariantList result = b.args("sig_ConfigurationExported").last();
        QCOMPARE(result.at(0).toBool(), false);
        QVERIFY2(result.at(1).toString().endsWith(c.second), qPrintable(result.at(1).toString()));
        QVERIFY(!QFile::exists(c.first));
    }
    QVERIFY(!QFileInfo::exists(missing));
}

void TestConfigExport::roundTrip_data()
{
    QTest::addColumn<QString>("model");
    QTest::newRow("first family (Kestrel, with its screen picture)") << "kestrel";
    QTest::newRow("second family (Harrier)") << "harrier";
}

// Configuration 1, changed on the pages and carrying a macro, goes out to a
// file; the mouse then loads configuration 2; the file comes back as
// configuration 3. The mouse must hold exactly what it held with
// configuration 1, and configuration 3's files must be configuration 1's.
void TestConfigExport::roundTrip()
{
    QFETCH(QString, model);
    BridgeFixture b;
    const ProductInfo *product = Products::byName(model);
    const int mouseType = product->mouseType;
    std::shared_ptr<EmulatedKestrelMouse> kestrel;
    std::shared_ptr<EmulatedOspreyMouse> osprey;
    std::function<QByteArray()> mouseState;
    if (product->family == Family::First) {
        kestrel = std::make_shared<EmulatedKestrelMouse>(model);
        b.bus.plug(kestrel);
        mouseState = [kestrel] { return kestrel->memory(0, EmulatedKestrelMouse::kMemorySize); };
    } else {
        osprey = std::make_shared<EmulatedOspreyMouse>(model);
        b.bus.plug(osprey);
        mouseState = [osprey] {
            QByteArray state = osprey->profile();
            for (int k = 0; k < EmulatedOspreyMouse::kMacroSlots; ++k)
                state += osprey->macroBlock(quint8(0x8C + 4 * k));
            return state;
        };
    }
    QVERIFY(b.call("slot_OpenDevice", Q_ARG(USHORT, product->wiredPid), Q_ARG(USHORT, kVid)));
    b.sync();
    QCOMPARE(b.args("sig_OpenDeviceResult").last().at(0).toBool(), true);

    QVERIFY(b.call("slot_setCPIListValueOnMouse", Q_ARG(QList<DWORD>, (QList<DWORD>{800, 1600, 0, 0, 0, 0, 3200}))));
    QVERIFY(b.call("slot_ChangeUsbReportRate", Q_ARG(int, 1)));
    QVERIFY(b.call("slot_WriteSingleMacro", Q_ARG(int, 5), Q_ARG(QString, macroFile(b.dir.path(), 0x41))));
    b.sync();
    QCOMPARE(b.warnings(), QList<int>{});
    if (Products::hasScreenPicture(mouseType))
        QVERIFY(writeFileBytes(JsonHandle::currentPicturePath(mouseType, 1), bmp(64, 48)));
    const QByteArray held = mouseState();
    const QList<QByteArray> files = configFiles(mouseType, 1);

    const QString path = b.dir.path() + QStringLiteral("/one.hdconf");
    b.clear();
    QVERIFY(b.call("slot_ExportConfiguration", Q_ARG(int, 1), Q_ARG(QString, path)));
    b.sync();
    QCOMPARE(b.args("sig_ConfigurationExported").last().at(0).toBool(), true);
    QCOMPARE(mouseState(), held);

    QVERIFY(b.call("slot_LoadLocalConfigFileAndWriteIntoMouse", Q_ARG(int, 2)));
    b.sync();
    QVERIFY(mouseState() != held);

    b.clear();
    QVERIFY(b.call("slot_ImportConfiguration", Q_ARG(int, 3), Q_ARG(QString, path)));
    b.sync();
    QCOMPARE(b.args("sig_ConfigurationImported").last().at(0).toBool(), true);
    QCOMPARE(b.warnings(), QList<int>{});
    QCOMPARE(b.args("sig_SetCurrentConfigure").last().at(0).toInt(), 3);
    QCOMPARE(b.args("sig_SetCurrentCpiListValueOnPage").last().at(0).value<QList<DWORD>>().mid(0, 2),
             (QList<DWORD>{800, 1600}));
    QCOMPARE(mouseState(), held);
    QCOMPARE(configFiles(mouseType, 3), files);
}

void TestConfigExport::refusedFiles_data()
{
    QTest::addColumn<Mutation>("mutation");
    QTest::addColumn<ConfigPackage::Problem>("problem");
    using P = ConfigPackage::Problem;
    const QStringList record{"Profile", "MouseDataOfGamingMode"};
    const QStringList macro{"Profile", "MacroDataOfGamingMode", "3"};

    QTest::newRow("as exported") << Mutation(compact) << P::None;
    QTest::newRow("cut short") << Mutation([](const QJsonObject &o) { return compact(o).left(compact(o).size() / 2); })
                               << P::NotAPackage;
    QTest::newRow("too large") << Mutation([](const QJsonObject &o) {
        return compact(o) + QByteArray(int(ConfigPackage::kMaxFileBytes), ' ');
    }) << P::TooLarge;
    QTest::newRow("not ours") << set({"HarrierDriverConfiguration"}, QJsonValue::Undefined) << P::NotAPackage;
    QTest::newRow("a later format") << set({"HarrierDriverConfiguration"}, 2) << P::NotAPackage;
    QTest::newRow("another model") << set({"Model"}, "kestrel") << P::OtherModel;
    QTest::newRow("record byte over 255") << set(record + QStringList{"17"}, 256) << P::BadValue;
    QTest::newRow("record byte not a number") << set(record + QStringList{"17"}, "17") << P::BadValue;
    QTest::newRow("record byte with a fraction") << set(record + QStringList{"17"}, 1.5) << P::BadValue;
    QTest::newRow("record one byte short") << set(record + QStringList{"233"}, QJsonValue::Undefined) << P::BadValue;
    QTest::newRow("record one byte long") << set(record + QStringList{"234"}, 0) << P::BadValue;
    QTest::newRow("report rate 4") << set(record + QStringList{"0"}, 4) << P::BadValue;
    QTest::newRow("CPI level 8 current") << set(record + QStringList{"5"}, 7) << P::BadValue;
    QTest::newRow("CPI code the mouse lacks") << set(record + QStringList{"58"}, 0xFE) << P::BadValue;
    QTest::newRow("CPI level off") << set(record + QStringList{"64"}, 0) << P::None;
    // Every field of the record against the model's own ranges (the Harrier here).
    QTest::newRow("main light mode 77") << set(record + QStringList{"14"}, 77) << P::BadValue;
    QTest::newRow("wheel light mode 0x86") << set(record + QStringList{"17"}, 0x86) << P::BadValue;
    QTest::newRow("main light mode off") << set(record + QStringList{"14"}, 0x80) << P::None;
    QTest::newRow("light brightness 10") << set(record + QStringList{"15"}, 10) << P::BadValue;
    QTest::newRow("light brightness 9") << set(record + QStringList{"15"}, 9) << P::None;
    QTest::newRow("breathing speed 10") << set(record + QStringList{"26"}, 10) << P::BadValue;
    QTest::newRow("wheel breathing speed 200") << set(record + QStringList{"45"}, 200) << P::BadValue;
    QTest::newRow("macro slot 16") << set({"Profile", "MacroDataOfGamingMode", "16"}, QJsonObject{}) << P::BadValue;
    QTest::newRow("macro of odd length") << set(macro + QStringList{"Macro"}, QJsonArray{1, 2, 3}) << P::BadValue;
    QTest::newRow("macro byte over 255") << set(macro + QStringList{"Macro"}, QJsonArray{1, 300}) << P::BadValue;
    QJsonArray tooLong;
    for (int i = 0; i < 1024; ++i)
        tooLong.append(1);
    QTest::newRow("macro too long") << set(macro + QStringList{"Macro"}, tooLong) << P::BadValue;
    QTest::newRow("macro repeat past 16 bits") << set(macro + QStringList{"RepeatTimes"}, 65536) << P::BadValue;
    QTest::newRow("CPI page levels missing") << Mutation([](const QJsonObject &o) {
        QJsonObject gear = o.value("CpiSetting").toObject();
        QJsonArray levels = gear.value("GearData").toArray();
        levels.removeLast();
        gear.insert("GearData", levels);
        return compact(withMember(o, {"CpiSetting"}, gear));
    }) << P::BadValue;
    QTest::newRow("CPI page position 8") << Mutation([](const QJsonObject &o) {
        QJsonObject gear = o.value("CpiSetting").toObject();
        QJsonArray levels = gear.value("GearData").toArray();
        levels.replace(0, withMember(levels.at(0).toObject(), {"GearPosition"}, 8));
        gear.insert("GearData", levels);
        return compact(withMember(o, {"CpiSetting"}, gear));
    }) << P::BadValue;
    QTest::newRow("picture for a mouse without a screen")
        << set({"Picture"}, QString::fromLatin1(bmp(64, 48).toBase64())) << P::BadValue;
    QTest::newRow("picture not base64") << set({"Picture"}, "@@@") << P::BadValue;
    // The buttons keep the pages' and harrierctl's rules: some button clicks
    // left, and a button that plays a macro has one to play.
    QTest::newRow("left button's word zeroed") << setRecord(word(90, 0, 0, 0, 0)) << P::BadValue;
    QTest::newRow("left button made a right click") << setRecord({{92, 0xF1}}) << P::BadValue;
    QMap<int, int> allFF;
    for (int i = 90; i < 90 + 64; ++i)
        allFF.insert(i, 0xFF);
    QTest::newRow("every button word FF") << setRecord(allFF) << P::BadValue;
    QTest::newRow("a button plays an empty macro slot") << setRecord(word(98, 0x09, 0, 0, 0xA0)) << P::BadValue;
    QTest::newRow("a button plays no slot at all") << setRecord(word(98, 0x09, 0, 0, 0x8D)) << P::BadValue;
    QTest::newRow("a button plays its stored macro") << setRecord(word(98, 0x09, 0, 0, 0x98)) << P::None;
    QTest::newRow("its stored macro emptied") << Mutation([](const QJsonObject &o) {
        const QJsonObject played = QJsonDocument::fromJson(setRecord(word(98, 0x09, 0, 0, 0x98))(o)).object();
        return compact(withMember(played, {"Profile", "MacroDataOfGamingMode", "3", "Macro"}, QJsonArray{}));
    }) << P::BadValue;
    QTest::newRow("the left button's list counts 9") << setRecord({{9, 9}}) << P::BadValue;
    QTest::newRow("Y CPI code the mouse lacks") << setRecord({{74, 0xFE}}) << P::BadValue;
    QTest::newRow("Y CPI level off") << setRecord({{80, 0}}) << P::None;
}

// The first family's buttons under the same rules, and its rapid fire
// counting macros that are there.
void TestConfigExport::firstFamilyButtonRules_data()
{
    QTest::addColumn<Mutation>("mutation");
    QTest::addColumn<ConfigPackage::Problem>("problem");
    using P = ConfigPackage::Problem;
    QTest::newRow("as exported") << Mutation(compact) << P::None;
    QTest::newRow("left button's word zeroed") << setRecord(word(16, 0, 0, 0, 0)) << P::BadValue;
    QTest::newRow("left button made a right click") << setRecord({{18, 2}}) << P::BadValue;
    QTest::newRow("rapid fire of 255") << setRecord({{90, 255}}) << P::BadValue;
    QTest::newRow("rapid fire of 3, two macros there") << setRecord({{90, 3}}) << P::BadValue;
    QTest::newRow("rapid fire of 2, both there") << setRecord({{90, 2}}) << P::None;
    QTest::newRow("a button plays an empty slot") << setRecord(word(24, 5, 0, 4, 0)) << P::BadValue;
    QTest::newRow("a button plays a rapid-fire slot") << setRecord(word(24, 5, 0, 11, 0)) << P::BadValue;
    QTest::newRow("a button plays its stored macro") << setRecord(word(24, 5, 0, 1, 0)) << P::None;
}

void TestConfigExport::firstFamilyButtonRules()
{
    QFETCH(Mutation, mutation);
    QFETCH(ConfigPackage::Problem, problem);
    ConfigPackage::Contents contents;
    QCOMPARE(ConfigPackage::parse(mutation(validKorvanPackage(kKestrel)), kKestrel, &contents).problem, problem);
}

void TestConfigExport::refusedFiles()
{
    QFETCH(Mutation, mutation);
    QFETCH(ConfigPackage::Problem, problem);
    ConfigPackage::Contents contents;
    contents.gear = QJsonObject{{"untouched", true}};
    const ConfigPackage::Outcome outcome = ConfigPackage::parse(mutation(validPackage(kHarrier)), kHarrier, &contents);
    QCOMPARE(outcome.problem, problem);
    QCOMPARE(contents.gear.contains("untouched"), problem != ConfigPackage::Problem::None);
}

// Through the bridge: a file of another model, a cut-off one and an
// oversized one are refused with a message, and neither the configuration's
// files nor the mouse change.
void TestConfigExport::refusedImportChangesNothing()
{
    BridgeFixture b;
    auto mouse = std::make_shared<EmulatedKestrelMouse>(QStringLiteral("kestrel"));
    b.bus.plug(mouse);
    QVERIFY(b.call("slot_OpenDevice", Q_ARG(USHORT, USHORT(0x4130)), Q_ARG(USHORT, kVid)));
    b.sync();
    QVERIFY(writeFileBytes(JsonHandle::currentPicturePath(kKestrel, 2), bmp(64, 48)));
    const QString good = b.dir.path() + QStringLiteral("/good.hdconf");
    QVERIFY(b.call("slot_ExportConfiguration", Q_ARG(int, 1), Q_ARG(QString, good)));
    b.sync();
    const QByteArray exported = fileBytes(good);
    QVERIFY(!exported.isEmpty());

    const QByteArray harrierFile = compact(validPackage(kHarrier));
    const QList<QByteArray> refused{harrierFile, exported.left(exported.size() - 10),
                                    exported + QByteArray(int(ConfigPackage::kMaxFileBytes), ' ')};
    const QByteArray memory = mouse->memory(0, EmulatedKestrelMouse::kMemorySize);
    const QList<QByteArray> files = configFiles(kKestrel, 2);
    for (const QByteArray &bytes : refused) {
        const QString path = b.dir.path() + QStringLiteral("/bad.hdconf");
        QVERIFY(writeFileBytes(path, bytes));
        b.clear();
        QVERIFY(b.call("slot_ImportConfiguration", Q_ARG(int, 2), Q_ARG(QString, path)));
        b.sync();
        QCOMPARE(b.args("sig_ConfigurationImported").size(), 1);
        QCOMPARE(b.args("sig_ConfigurationImported").last().at(0).toBool(), false);
        QCOMPARE(b.count("sig_SetCurrentConfigure"), 0);
        QCOMPARE(mouse->memory(0, EmulatedKestrelMouse::kMemorySize), memory);
        QCOMPARE(configFiles(kKestrel, 2), files);
    }
}

// A sound file the mouse will not take: the configuration's files go back
// to what they were, so they still say what the mouse holds.
void TestConfigExport::importTheMouseRefusesKeepsTheFiles()
{
    BridgeFixture b;
    auto mouse = std::make_shared<EmulatedKestrelMouse>(QStringLiteral("kestrel"));
    b.bus.plug(mouse);
    QVERIFY(b.call("slot_OpenDevice", Q_ARG(USHORT, USHORT(0x4130)), Q_ARG(USHORT, kVid)));
    QVERIFY(b.call("slot_setCPIListValueOnMouse", Q_ARG(QList<DWORD>, (QList<DWORD>{400, 0, 0, 0, 0, 0, 0}))));
    const QString path = b.dir.path() + QStringLiteral("/one.hdconf");
    QVERIFY(b.call("slot_ExportConfiguration", Q_ARG(int, 1), Q_ARG(QString, path)));
    QVERIFY(b.call("slot_LoadLocalConfigFileAndWriteIntoMouse", Q_ARG(int, 2)));
    b.sync();
    const QList<QByteArray> files = configFiles(kKestrel, 2);
    const QByteArray memory = mouse->memory(0, EmulatedKestrelMouse::kMemorySize);

    b.clear();
    mouse->refuseNextCommands(100000);
    QVERIFY(b.call("slot_ImportConfiguration", Q_ARG(int, 2), Q_ARG(QString, path)));
    b.sync();
    QCOMPARE(b.args("sig_ConfigurationImported").last().at(0).toBool(), false);
    QCOMPARE(b.warnings(), QList<int>{32});
    QCOMPARE(configFiles(kKestrel, 2), files);
    QCOMPARE(mouse->memory(0, EmulatedKestrelMouse::kMemorySize), memory);
}

QTEST_GUILESS_MAIN(TestConfigExport)
#include "tst_configexport.moc"
