// The bridge on its worker thread against emulated first-family mice, by
// cable and through the receiver, driven by queued calls as the window does.
#include "support/BridgeFixture.h"

#include "store/GearHandle.h"
#include "store/JsonHandle.h"
#include "model/ProductTable.h"
#include "emulator/kestrel/EmulatedKestrelMouse.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QImage>
#include <QtTest>

namespace {

constexpr USHORT kVid = 0x3A5E;
// The CPI table of bank 1 and the word holding the level count (byte 2).
constexpr quint32 kCpiTableBank1 = 1024 + 1160;
constexpr quint32 kLevelCountWord = 2196;
// The report interval word of bank 1 (1, 2, 4 or 8 ms).
constexpr quint32 kReportIntervalBank1 = 1024 + 1152;
// OLED picture 0 and the screen word (7 no picture, 8 picture).
constexpr quint32 kOledPicture0 = 4096 * 34;
constexpr quint32 kScreenWord = 2208;
// Profile record byte holding the OLED behaviour (offset 1196 of the bank).
constexpr int kRecordOledBehaviour = 60 + (1196 - 1152);

QJsonObject readJson(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QJsonObject();
    return QJsonDocument::fromJson(f.readAll()).object();
}

// Every profile file of a model must still be a whole profile: parseable,
// with one member per byte of the record.
void verifyProfileFilesWhole(int mouseType)
{
    for (int n = 1; n <= 5; ++n) {
        const QString path = JsonHandle::currentConfigJsonFilePath(mouseType, n);
        if (!QFile::exists(path))
            continue;
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &error);
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(path));
        QCOMPARE(doc.object().value("MouseDataOfGamingMode").toObject().size(),
                 JsonHandle::KorvanRecordSize);
    }
}

} // namespace

class TestBridgeKestrel : public QObject
{
    Q_OBJECT
private slots:
    void openByCableThenPageFillingSignals();
    void profileMatchingNoConfigurationWarns();
    void managerWarningsReachTheWindow();
    void macrosReachTheMouse();
    void openThroughTheReceiver_data();
    void openThroughTheReceiver();
    void openingAnotherPidDropsThePreviousMouse();
    void reopenUsesTheLastOpenedPid();
    void cpiChangeReachesMouseProfileAndGearFile();
    void loadConfigurationWritesItIntoTheMouse();
    void loadConfigurationRewritesTheScreenPicture();
    void resetRestoresFactoryFilesAndDeletesPictures();
    void batteryFilterDependsOnModelAndFirmware_data();
    void batteryFilterDependsOnModelAndFirmware();
    void batteryReadFailureShowsNoReading();
    void pairingSucceedsOnTheFirstPoll();
    void pairingFailsAfterTwoHundredPolls();
    void firmwareUpdateThroughTheReceiverIsRefused();
    void macroButtonNeverUsesThePageAddress();
    void mousePulledMidOperation_data();
    void mousePulledMidOperation();
    void refreshGoesOnPastARefusedValue();
};

namespace {

// A factory-fresh mouse of one model on the bus, by cable or through its receiver.
struct Plugged
{
    std::shared_ptr<EmulatedKestrelMouse> mouse;
    std::shared_ptr<EmulatedKestrelReceiver> receiver;
    int id = 0;
};

// pairedPid -1: the receiver is paired with its own mouse.
Plugged plug(BridgeFixture &b, const QString &model, bool viaReceiver, int pairedPid = -1)
{
    Plugged p;
    p.mouse = std::make_shared<EmulatedKestrelMouse>(model);
    if (viaReceiver) {
        p.receiver = std::make_shared<EmulatedKestrelReceiver>(p.mouse);
        p.receiver->setPairedPid(pairedPid < 0 ? p.mouse->model().wiredPid : quint16(pairedPid));
        p.id = b.bus.plug(p.receiver);
    } else {
        p.id = b.bus.plug(p.mouse);
    }
    return p;
}

void open(BridgeFixture &b, USHORT pid)
{
    QVERIFY(b.call("slot_OpenDevice", Q_ARG(USHORT, pid), Q_ARG(USHORT, kVid)));
    b.sync();
}

// The receiver's pairing commands (A0, A1) it was sent, command bytes only.
QVector<QByteArray> pairingCommands(const EmulatedKestrelReceiver &receiver)
{
    QVector<QByteArray> out;
    for (const QByteArray &c : receiver.ownCommands())
        if (quint8(c.at(0)) == 0xA0 || quint8(c.at(0)) == 0xA1)
            out << c;
    return out;
}

bool openedOk(const BridgeFixture &b)
{
    const QList<QVariantList> r = b.args("sig_OpenDeviceResult");
    return r.size() == 1 && r.at(0).at(0).toBool();
}

} // namespace

void TestBridgeKestrel::openByCableThenPageFillingSignals()
{
    BridgeFixture b;
    plug(b, "merlin", false);
    open(b, 0x4132);

    QCOMPARE(b.args("sig_OpenDeviceResult"), (QList<QVariantList>{{true, 12, false}}));
    QCOMPARE(MouseType::current(), 12);
    const QStringList names = b.names();
    const int result = names.indexOf("sig_OpenDeviceResult");
    // The pages learn the model before anything fills them.
    for (const char *page : {"sig_VersionNumber", "sig_SetCurrentConfigure",
                             "sig_SetCurrentCpiListValueOnPage", "sig_SetCurrentReportRate",
                             "sig_SetLightParameterOnPage", "sig_CurrentButtonIsOriginalButton"}) {
        QVERIFY2(names.indexOf(page) > result, page);
    }
    QVERIFY(names.indexOf("sig_VersionNumber") < names.indexOf("sig_SetCurrentCpiListValueOnPage"));
    QCOMPARE(b.warnings(), QList<int>{});
    QCOMPARE(b.count("sig_ShowLoadingDialog"), b.count("sig_EndLoadingDialog"));
    // A factory-fresh mouse matches the factory profile of configuration 1.
    QCOMPARE(b.args("sig_SetCurrentConfigure"), (QList<QVariantList>{{1}}));
    QCOMPARE(b.args("sig_SetCurrentCpiListValueOnPage").size(), 1);
    QCOMPARE(b.args("sig_SetCurrentCpiListValueOnPage").at(0).at(0).value<QList<DWORD>>().size(), 7);
    // Every button reported: eleven of them, as the profile is read and again as the pages fill.
    QVERIFY(b.count("sig_CurrentButtonIsOriginalButton") >= 11);
    QCOMPARE(b.count("sig_CurrentButtonIsOriginalButton") % 11, 0);
    // The gear file of the matched configuration exists now.
    const QJsonObject gear = readJson(JsonHandle::currentCpiSettingFilePath(12, 1));
    QCOMPARE(gear.value("GearData").toArray().size(), 7);
}

void TestBridgeKestrel::profileMatchingNoConfigurationWarns()
{
    BridgeFixture b;
    plug(b, "merlin", false);
    // Every local configuration runs at 125 reports per second; the mouse at 1000.
    JsonHandle files;
    QByteArray record = files.getMouseData_Korvan(12, 0);
    record[60] = char(8);
    for (int n = 1; n <= 5; ++n)
        files.saveMouseData_Korvan(record, 12, n);
    SharedGear::setCurrent(QJsonObject{{"stale", true}});

    open(b, 0x4132);
    QVERIFY(openedOk(b));
    QCOMPARE(b.warnings(), QList<int>{38});
    QCOMPARE(b.count("sig_VersionNumber"), 1);
    QCOMPARE(b.count("sig_SetCurrentConfigure"), 0);
    QCOMPARE(b.count("sig_SetCurrentCpiListValueOnPage"), 0);
    GearHandle gears;
    QCOMPARE(SharedGear::current(), gears.BuildDefaultGear(12));
    // The default gear is not written to any configuration's file.
    QVERIFY(!QFile::exists(JsonHandle::currentCpiSettingFilePath(12, 1)));
}

void TestBridgeKestrel::managerWarningsReachTheWindow()
{
    BridgeFixture b;
    const Plugged p = plug(b, "kestrel", false);
    open(b, 0x4130);
    QVERIFY(openedOk(b));
    b.clear();
    // Button 4 is the only left click: turning it into a key is refused with warning 6.
    const QByteArray before = p.mouse->memory(1024 + 512, 4);
    QVERIFY(b.call("slot_ChangeButtonToKey", Q_ARG(int, 4), Q_ARG(uint, 0x41), Q_ARG(int, 0),
                   Q_ARG(int, 29)));
    b.sync();
    QCOMPARE(b.warnings(), QList<int>{6});
    QCOMPARE(p.mouse->memory(1024 + 512, 4), before);

    // Once the mouse is gone the manager's signals no longer reach the window.
    b.clear();
    QVERIFY(b.call("destroyUselessThings"));
    QVERIFY(b.call("slot_ChangeButtonToKey", Q_ARG(int, 4), Q_ARG(uint, 0x41), Q_ARG(int, 0),
                   Q_ARG(int, 29)));
    b.sync();
    QCOMPARE(b.names(), QStringList{"sig_RemoveReloadWidget"});
}

void TestBridgeKestrel::macrosReachTheMouse()
{
    BridgeFixture b;
    const Plugged p = plug(b, "kestrel", false);
    open(b, 0x4130);
    QVERIFY(openedOk(b));
    // Two user macro files: press and release A, then B.
    QStringList paths;
    for (int key : {0x41, 0x42}) {
        const QString path = QDir(b.dir.path()).filePath(QStringLiteral("macro%1.json").arg(key));
        QJsonArray events;
        for (int state : {0, 1})
            events.append(QJsonObject{{"ValueType", 3}, {"KeyValue", key}, {"TimeLapse", 20},
                                      {"State", state}});
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QJsonDocument(QJsonObject{{"Name", "m"}, {"MacroType", 1}, {"RepeatTimes", 1},
                                          {"Macro", events}})
                    .toJson());
        paths << path;
    }
    b.clear();

    // One macro on button 5: its word becomes "macro in slot 0".
    QVERIFY(b.call("slot_WriteSingleMacro", Q_ARG(int, 5), Q_ARG(QString, paths.at(0))));
    b.sync();
    QCOMPARE(b.warnings(), QList<int>{});
    QCOMPARE(p.mouse->memory(1024 + 516, 4), QByteArray("\x05\x00\x00\x00", 4));
    QVERIFY(p.mouse->memory(4096, 2) != QByteArray(2, '\0'));

    // A list programs the left button's rapid fire and is confirmed with warning 37.
    b.clear();
    QVERIFY(b.call("slot_WriteListMacro", Q_ARG(QStringList, paths)));
    b.sync();
    QCOMPARE(b.warnings(), QList<int>{37});
    QCOMPARE(quint8(p.mouse->memory(2204 + 2, 1).at(0)), quint8(2));
}

void TestBridgeKestrel::openThroughTheReceiver_data()
{
    QTest::addColumn<int>("pairedPid");
    QTest::addColumn<bool>("opens");
    QTest::newRow("receiver reports no paired mouse") << 0 << true;
    QTest::newRow("paired with its own model") << 0x413A << true;
    QTest::newRow("paired with another model") << 0x4139 << false;
}

void TestBridgeKestrel::openThroughTheReceiver()
{
    QFETCH(int, pairedPid);
    QFETCH(bool, opens);
    BridgeFixture b;
    const Plugged p = plug(b, "merlinq", true, pairedPid);
    open(b, 0x180D);

    if (opens) {
        QCOMPARE(b.args("sig_OpenDeviceResult"), (QList<QVariantList>{{true, 8, true}}));
        QVERIFY(pairingCommands(*p.receiver).isEmpty());
        QVERIFY(!b.warnings().contains(44));
    } else {
        QCOMPARE(b.count("sig_OpenDeviceResult"), 0);
        QCOMPARE(b.warnings(), QList<int>{44});
        const QVector<QByteArray> sent = pairingCommands(*p.receiver);
        QCOMPARE(sent.size(), 2);
        QCOMPARE(sent.at(0).left(2), QByteArray("\xA0\x81", 2));
        QCOMPARE(sent.at(1).left(2), QByteArray("\xA1\x81", 2));
        QCOMPARE(b.count("sig_VersionNumber"), 0);
    }
}

void TestBridgeKestrel::openingAnotherPidDropsThePreviousMouse()
{
    BridgeFixture b;
    const Plugged p = plug(b, "merlin", false);
    open(b, 0x4132);
    QVERIFY(openedOk(b));
    b.clear();

    // The boot-loader identity leaves the open mouse alone.
    open(b, 0x3000);
    QVERIFY(b.names().isEmpty());
    QVERIFY(b.call("setUsbReportRateOnPage"));
    b.sync();
    QCOMPARE(b.count("sig_SetCurrentReportRate"), 1);
    b.clear();

    // An unknown PID drops it: the model is forgotten and requests find no mouse.
    open(b, 0x1234);
    QCOMPARE(b.args("sig_OpenDeviceResult"), (QList<QVariantList>{{false, 0, false}}));
    QCOMPARE(MouseType::current(), 0);
    p.mouse->resetCounters();
    QVERIFY(b.call("setUsbReportRateOnPage"));
    b.sync();
    QCOMPARE(p.mouse->commandCount(), 0);
    QCOMPARE(b.count("sig_SetCurrentReportRate"), 0);
}

void TestBridgeKestrel::reopenUsesTheLastOpenedPid()
{
    BridgeFixture b;
    plug(b, "merlin", false);
    open(b, 0x4132);
    QVERIFY(openedOk(b));
    b.clear();
    QVERIFY(b.call("slot_OpenDeviceAgain"));
    b.sync();
    QCOMPARE(b.args("sig_OpenDeviceResult"), (QList<QVariantList>{{true, 12, false}}));
    b.clear();
    QVERIFY(b.call("destroyUselessThings"));
    QVERIFY(b.call("slot_OpenDeviceAgain"));
    b.sync();
    QCOMPARE(b.args("sig_OpenDeviceResult"), (QList<QVariantList>{{false, 0, false}}));
}

void TestBridgeKestrel::cpiChangeReachesMouseProfileAndGearFile()
{
    BridgeFixture b;
    const Plugged p = plug(b, "kestrel", false);
    open(b, 0x4130);
    QVERIFY(openedOk(b));
    b.clear();

    const QList<DWORD> cpi{800, 1600, 3200, 0, 0, 0, 0};
    QVERIFY(b.call("slot_setCPIListValueOnMouse", Q_ARG(QList<DWORD>, cpi)));
    b.sync();
    QCOMPARE(b.warnings(), QList<int>{});
    QCOMPARE(b.names().first(), QString("sig_ShowLoadingDialog"));
    QCOMPARE(b.names().last(), QString("sig_EndLoadingDialog"));

    // Kestrel levels are CPI / 50, 16-bit little-endian; three levels: count byte 2.
    QCOMPARE(p.mouse->memory(kCpiTableBank1, 6), QByteArray("\x10\x00\x20\x00\x40\x00", 6));
    QCOMPARE(quint8(p.mouse->memory(kLevelCountWord + 2, 1).at(0)), quint8(2));

    // The profile file of configuration 1 holds the same table (record bytes 68..).
    JsonHandle files;
    const QByteArray record = files.getMouseData_Korvan(11, 1);
    QCOMPARE(record.mid(68, 6), QByteArray("\x10\x00\x20\x00\x40\x00", 6));

    // The gear file: the three set levels enabled, the rest switched off.
    const QJsonArray gear = readJson(JsonHandle::currentCpiSettingFilePath(11, 1))
                                .value("GearData").toArray();
    QCOMPARE(gear.size(), 7);
    for (int i = 0; i < 7; ++i)
        QCOMPARE(gear.at(i).toObject().value("GearEnable").toBool(), i < 3);

    // Read back as the page would.
    b.clear();
    QVERIFY(b.call("setCPIValueOnPage"));
    b.sync();
    QCOMPARE(b.args("sig_SetCurrentCpiListValueOnPage").at(0).at(0).value<QList<DWORD>>(), cpi);
}

void TestBridgeKestrel::loadConfigurationWritesItIntoTheMouse()
{
    BridgeFixture b;
    const Plugged p = plug(b, "merlin", false);
    open(b, 0x4132);
    QVERIFY(openedOk(b));
    // 125 reports per second: an interval of 8 ms, kept in configuration 1.
    QVERIFY(b.call("slot_ChangeUsbReportRate", Q_ARG(int, 0)));
    b.sync();
    QCOMPARE(quint8(p.mouse->memory(kReportIntervalBank1, 1).at(0)), quint8(8));
    b.clear();

    // Configuration 2 was never saved: the factory profile (1 ms) goes into the mouse.
    QVERIFY(b.call("slot_LoadLocalConfigFileAndWriteIntoMouse", Q_ARG(int, 2)));
    b.sync();
    QCOMPARE(b.warnings(), QList<int>{});
    QCOMPARE(quint8(p.mouse->memory(kReportIntervalBank1, 1).at(0)), quint8(1));
    QCOMPARE(b.args("sig_SetCurrentReportRate"), (QList<QVariantList>{{3}}));
    QCOMPARE(b.count("sig_SetCurrentCpiListValueOnPage"), 1);
    QCOMPARE(b.names().first(), QString("sig_ShowLoadingDialog"));
    QCOMPARE(b.names().last(), QString("sig_EndLoadingDialog"));
    QVERIFY(QFile::exists(JsonHandle::currentCpiSettingFilePath(12, 2)));
    // Configuration 1 keeps the change.
    JsonHandle files;
    QCOMPARE(quint8(files.getMouseData_Korvan(12, 1).at(60)), quint8(8));

    // A number outside 1..5 is not a configuration.
    b.clear();
    QVERIFY(b.call("slot_LoadLocalConfigFileAndWriteIntoMouse", Q_ARG(int, 0)));
    b.sync();
    QVERIFY(b.names().isEmpty());
}

void TestBridgeKestrel::loadConfigurationRewritesTheScreenPicture()
{
    BridgeFixture b;
    const Plugged p = plug(b, "kestrelq", false);
    // Configuration 2 shows a picture: its behaviour is 8 and its picture file exists.
    JsonHandle files;
    QByteArray record = files.getMouseData_Korvan(10, 2);
    record[kRecordOledBehaviour] = char(8);
    files.saveMouseData_Korvan(record, 10, 2);
    QImage picture(64, 48, QImage::Format_Mono);
    picture.fill(1);
    for (int x = 0; x < 64; ++x)
        picture.setPixel(x, x % 48, 0);
    QVERIFY(picture.save(JsonHandle::currentPicturePath(10, 2), "BMP"));

    open(b, 0x4138);
    QVERIFY(openedOk(b));
    QVERIFY(b.call("slot_OLEDScreenpParameter", Q_ARG(int, 8)));
    b.sync();
    const QByteArray blank = p.mouse->memory(kOledPicture0, 384);
    b.clear();
    QVERIFY(b.call("slot_LoadLocalConfigFileAndWriteIntoMouse", Q_ARG(int, 2)));
    b.sync();
    QVERIFY(p.mouse->memory(kOledPicture0, 384) != blank);
    QCOMPARE(quint8(p.mouse->memory(kScreenWord, 1).at(0)), quint8(8));
    QCOMPARE(b.count("sig_ShowLoadingDialog") > 0, true);
    QCOMPARE(b.names().last(), QString("sig_EndLoadingDialog"));
}

void TestBridgeKestrel::resetRestoresFactoryFilesAndDeletesPictures()
{
    BridgeFixture b;
    const Plugged p = plug(b, "merlin", false);
    open(b, 0x4132);
    QVERIFY(openedOk(b));
    QVERIFY(b.call("slot_ChangeUsbReportRate", Q_ARG(int, 0)));
    QVERIFY(b.call("slot_setCPIListValueOnMouse",
                   Q_ARG(QList<DWORD>, (QList<DWORD>{800, 1600, 0, 0, 0, 0, 0}))));
    b.sync();
    const QString picture = JsonHandle::currentPicturePath(12, 3);
    QFile f(picture);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("BM");
    f.close();
    b.clear();

    QVERIFY(b.call("slot_ResetConfigToOriginal"));
    b.sync();
    QCOMPARE(b.warnings(), QList<int>{});
    QCOMPARE(quint8(p.mouse->memory(kReportIntervalBank1, 1).at(0)), quint8(1));
    QVERIFY(!QFile::exists(picture));
    JsonHandle files;
    for (int n = 1; n <= 5; ++n) {
        QVERIFY(QFile::exists(JsonHandle::currentConfigJsonFilePath(12, n)));
        QCOMPARE(quint8(files.getMouseData_Korvan(12, n).at(60)), quint8(1));
        const QJsonArray gear =
            readJson(JsonHandle::currentCpiSettingFilePath(12, n)).value("GearData").toArray();
        QCOMPARE(gear.size(), 7);
        for (const QJsonValue &level : gear)
            QVERIFY(level.toObject().value("GearEnable").toBool());
    }
    QCOMPARE(b.args("sig_SetCurrentReportRate"), (QList<QVariantList>{{3}}));
    QCOMPARE(b.names().last(), QString("sig_EndLoadingDialog"));
}

void TestBridgeKestrel::batteryFilterDependsOnModelAndFirmware_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("firmware");
    QTest::addColumn<QList<int>>("shown");
    // Raw 636 reads as 45 percent; three readings agree on the third.
    QTest::newRow("kestrel firmware 29 filtered") << "kestrel" << 29 << QList<int>{45};
    QTest::newRow("kestrel firmware 30 unfiltered") << "kestrel" << 30 << QList<int>{45, 45, 45};
    QTest::newRow("kestrelq unfiltered") << "kestrelq" << 1 << QList<int>{45, 45, 45};
    QTest::newRow("merlin filtered") << "merlin" << 99 << QList<int>{45};
}

void TestBridgeKestrel::batteryFilterDependsOnModelAndFirmware()
{
    QFETCH(QString, model);
    QFETCH(int, firmware);
    QFETCH(QList<int>, shown);
    BridgeFixture b;
    const Plugged p = plug(b, model, true);
    p.mouse->setFirmwareVersion(quint32(firmware));
    p.mouse->setBatteryRaw(636);
    open(b, Products::byName(model)->receiverPid);
    QVERIFY(openedOk(b));
    QCOMPARE(b.args("sig_VersionNumber"), (QList<QVariantList>{{firmware}}));
    b.clear();
    for (int i = 0; i < 3; ++i)
        QVERIFY(b.call("slot_GetBatteryPower"));
    b.sync();
    QList<int> got;
    for (const QVariantList &a : b.args("sig_BatteryPower"))
        got << a.at(0).toInt();
    QCOMPARE(got, shown);
}

void TestBridgeKestrel::batteryReadFailureShowsNoReading()
{
    BridgeFixture b;
    const Plugged p = plug(b, "merlin", true);
    open(b, 0x4133);
    QVERIFY(openedOk(b));
    b.clear();
    p.mouse->refuseNextCommands(1000);
    QVERIFY(b.call("slot_GetBatteryPower"));
    b.sync();
    QCOMPARE(b.count("sig_BatteryPower"), 1);
    QCOMPARE(b.args("sig_BatteryPower").at(0).at(0).toInt(), 103);
}

void TestBridgeKestrel::pairingSucceedsOnTheFirstPoll()
{
    BridgeFixture b;
    const Plugged p = plug(b, "kestrel", true);
    open(b, 0x1804);
    QVERIFY(openedOk(b));
    b.clear();
    p.receiver->setPairingCompletesAfter(0);
    QVERIFY(b.call("slot_startCode"));
    b.sync();
    QCOMPARE(b.args("sig_startCode"), (QList<QVariantList>{{true}}));
    QCOMPARE(b.args("sig_startTimer"), (QList<QVariantList>{{100}}));
    const QVector<QByteArray> sent = pairingCommands(*p.receiver);
    QCOMPARE(sent.size(), 2);
    QCOMPARE(sent.at(0).left(2), QByteArray("\xA0\x81", 2));
    QCOMPARE(sent.at(1).left(2), QByteArray("\xA1\x8F", 2));
    QVERIFY(p.receiver->pairingAddress() <= 32767);

    // The poll timer runs on the worker thread; its first tick finds work mode 0.
    QTRY_VERIFY_WITH_TIMEOUT((b.sync(), b.count("sig_finishCode") == 1), 5000);
    QCOMPARE(b.args("sig_finishCode"), (QList<QVariantList>{{true}}));
    QCOMPARE(b.count("sig_stopTimer"), 1);
    QCOMPARE(p.receiver->ownCommands().count(QByteArray(1, char(0xA7))), 1);
    QVERIFY(!p.receiver->isPairing());
}

void TestBridgeKestrel::pairingFailsAfterTwoHundredPolls()
{
    BridgeFixture b;
    const Plugged p = plug(b, "kestrel", true);
    open(b, 0x1804);
    QVERIFY(openedOk(b));
    p.receiver->setPairingCompletesAfter(-1);
    b.clear();
    const qint64 before = DeviceClock::virtualElapsedMs();
    QVERIFY(b.call("slot_startCode"));
    // On the virtual clock the 100 ms polls run back to back.
    QTRY_VERIFY_WITH_TIMEOUT((b.sync(), b.count("sig_finishCode") == 1), 20000);
    QCOMPARE(b.args("sig_finishCode"), (QList<QVariantList>{{false}}));
    QCOMPARE(b.count("sig_stopTimer"), 1);
    // The 200th poll gives up before asking: 199 work-mode queries, 20 s of device time.
    QCOMPARE(p.receiver->ownCommands().count(QByteArray(1, char(0xA7))), 199);
    QVERIFY(DeviceClock::virtualElapsedMs() - before >= 20000);
    // Given up, the receiver is told to stop listening, as its last command.
    QCOMPARE(p.receiver->ownCommands().last(), QByteArray::fromHex("a181"));
    QVERIFY(!p.receiver->isPairing());
}

void TestBridgeKestrel::firmwareUpdateThroughTheReceiverIsRefused()
{
    BridgeFixture b;
    plug(b, "kestrel", true);
    open(b, 0x1804);
    QVERIFY(openedOk(b));
    b.clear();
    QVERIFY(b.call("slot_UpdateFirmwareKorvan", Q_ARG(QString, "fw.bin"), Q_ARG(QString, "kestrel")));
    b.sync();
    QCOMPARE(b.names(), (QStringList{"sig_StopCheckDeviceTimer", "sig_StartCheckDeviceTimer",
                                     "sig_CloseUpdateMouseDialog", "sig_ShowWarningDialog"}));
    QCOMPARE(b.warnings(), QList<int>{40});
}

void TestBridgeKestrel::macroButtonNeverUsesThePageAddress()
{
    BridgeFixture b;
    const Plugged p = plug(b, "kestrel", false);
    open(b, 0x4130);
    QVERIFY(openedOk(b));
    b.clear();
    const QByteArray before = p.mouse->memory(0, EmulatedKestrelMouse::kMemorySize);
    QVERIFY(b.call("slot_ChangeButtonToMacro", Q_ARG(int, 1), Q_ARG(int, 5), Q_ARG(uint, 0x1000)));
    b.sync();
    QCOMPARE(b.names(), (QStringList{"sig_ShowLoadingDialog", "sig_EndLoadingDialog"}));
    QCOMPARE(p.mouse->memory(0, EmulatedKestrelMouse::kMemorySize), before);
}

void TestBridgeKestrel::mousePulledMidOperation_data()
{
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<int>("argument"); // -1: none
    QTest::newRow("read: CPI list") << QByteArray("setCPIValueOnPage") << -1;
    QTest::newRow("read: report rate") << QByteArray("setUsbReportRateOnPage") << -1;
    QTest::newRow("write: report rate") << QByteArray("slot_ChangeUsbReportRate") << 1;
    QTest::newRow("write: CPI list") << QByteArray("slot_setCPIListValueOnMouse") << -1;
    QTest::newRow("load configuration 2") << QByteArray("slot_LoadLocalConfigFileAndWriteIntoMouse") << 2;
    QTest::newRow("reset to factory") << QByteArray("slot_ResetConfigToOriginal") << -1;
    QTest::newRow("start-up read again") << QByteArray("slot_GetProfileFromMouse") << -1;
}

void TestBridgeKestrel::mousePulledMidOperation()
{
    QFETCH(QByteArray, slot);
    QFETCH(int, argument);
    BridgeFixture b;
    const Plugged p = plug(b, "merlin", false);
    open(b, 0x4132);
    QVERIFY(openedOk(b));
    b.clear();

    // The mouse takes the first report of the operation and then vanishes.
    EmulatedBackend::Faults faults;
    faults.unplugAfterTransfers = 1;
    b.bus.setFaults(p.id, faults);
    if (slot == "slot_setCPIListValueOnMouse")
        QVERIFY(b.call(slot.constData(), Q_ARG(QList<DWORD>, (QList<DWORD>{400, 800, 0, 0, 0, 0, 0}))));
    else if (argument >= 0)
        QVERIFY(b.call(slot.constData(), Q_ARG(int, argument)));
    else
        QVERIFY(b.call(slot.constData()));
    b.sync();
    QVERIFY(!b.bus.isPlugged(p.id));
    QCOMPARE(b.warnings(), QList<int>{32});
    if (slot == "slot_GetProfileFromMouse") // Merlin's version when it cannot be read
        QCOMPARE(b.args("sig_VersionNumber"), (QList<QVariantList>{{13}}));
    verifyProfileFilesWhole(12);

    // The worker is alive and the next mouse opens.
    b.clear();
    plug(b, "merlin", false);
    open(b, 0x4132);
    QVERIFY(openedOk(b));
    QCOMPARE(b.warnings(), QList<int>{});
}

// A mouse that refuses one value (an interval no rate has) still gets its
// other pages filled, with one warning; a mouse that is gone ends the refresh.
void TestBridgeKestrel::refreshGoesOnPastARefusedValue()
{
    BridgeFixture b;
    const Plugged p = plug(b, "merlin", false);
    open(b, 0x4132);
    QVERIFY(openedOk(b));
    p.mouse->setMemory(1024 + 1152, QByteArray::fromHex("03000000"));
    b.clear();
    QVERIFY(b.call("slot_SaveProfileToConfig1"));
    b.sync();
    QCOMPARE(b.warnings(), QList<int>{32});
    QCOMPARE(b.count("sig_SetCurrentCpiListValueOnPage"), 1);
    QCOMPARE(b.count("sig_SetCurrentReportRate"), 0);
    QCOMPARE(b.count("sig_SetLightParameterOnPage"), 1);
    const QStringList names = b.names();
    QVERIFY(names.lastIndexOf("sig_CurrentButtonIsOriginalButton") > names.indexOf("sig_SetLightParameterOnPage"));
    QCOMPARE(b.count("sig_ShowLoadingDialog"), b.count("sig_EndLoadingDialog"));

    b.clear();
    EmulatedBackend::Faults faults;
    faults.unplugAfterTransfers = 0;
    b.bus.setFaults(p.id, faults);
    QVERIFY(b.call("slot_SaveProfileToConfig1"));
    b.sync();
    QCOMPARE(b.warnings(), QList<int>{32});
    QCOMPARE(b.count("sig_SetCurrentCpiListValueOnPage"), 0);
    QCOMPARE(b.count("sig_SetLightParameterOnPage"), 0);
}

QTEST_GUILESS_MAIN(TestBridgeKestrel)
#include "tst_bridgekestrel.moc"
