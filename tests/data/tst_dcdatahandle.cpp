#include "support/BridgeFixture.h"

#include "device/fwupdate/FirmwareTransfer.h"
#include "model/ProductTable.h"

#include <QtTest>

namespace {

// A firmware transfer that succeeds or fails at once, reporting half-way progress first.
class FakeTransfer : public FirmwareTransfer
{
public:
    explicit FakeTransfer(bool succeed) : m_succeed(succeed) {}
    void SetDevicePaths(const QString &normalPath, const QString &bootPath) override
    {
        paths << normalPath << bootPath;
    }
    void slotUpdate(QString path) override
    {
        updated << path;
        // Packet by packet, the same percentage many times over.
        for (uint percent : {50u, 50u, 50u, 51u, 51u, 100u, 100u})
            emit sigPercent(percent);
        emit sigUpdateResult(m_succeed);
    }
    static QStringList paths;
    static QStringList updated;

private:
    bool m_succeed;
};
QStringList FakeTransfer::paths;
QStringList FakeTransfer::updated;

// Installs the transfer as start-up does, before any request reaches the bridge.
void installTransfer(BridgeFixture &b, int transfer)
{
    if (transfer)
        b.onWorker([&b, transfer] {
            b.handle->setFirmwareTransferMaker([transfer] { return std::make_unique<FakeTransfer>(transfer == 1); });
        });
}

// The transfer runs on a thread of its own: wait for the bridge to have handled n results.
bool waitForResults(BridgeFixture &b, int n)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000) {
        b.sync();
        if (b.count("sig_closeUpdatingWidget") >= n)
            return true;
        QTest::qWait(5);
    }
    return false;
}

const char *const kSignalsAndSlots[] = {
    "sig_SetCurrentCpiListValueOnPage", "sig_SetCurrentReportRate", "sig_SetLightParameterOnPage",
    "sig_ShowWarningDialog", "sig_closeUpdatingWidget", "sig_VersionNumber",
    "sig_SetCurrentConfigure", "sig_CoverFirstConfigure", "sig_CurrentButtonIsOriginalButton",
    "sig_OpenDeviceResult", "sig_RemoveReloadWidget", "sig_startTimer", "sig_stopTimer",
    "sig_startCode", "sig_finishCode", "sig_BatteryPower", "sig_Update", "sig_ProcessVaule",
    "sig_CloseUpdateMouseDialog", "sig_StartCheckDeviceTimer", "sig_StopCheckDeviceTimer",
    "sig_ShowLoadingDialog", "sig_EndLoadingDialog", "sig_TrueMouseValue",
    "sig_StartToUploadFile", "sig_SendOperationEventMessageToGA", "sig_ShowUpdateWidget",
    // slots
    "slot_removeOldTxtFile", "slot_TurnNewFileToOldFile", "slot_setCPIListValueOnMouse",
    "slot_OpenDevice", "createAKorvanInitObject", "slot_OpenDeviceAgain", "releaseObject",
    "setCPIValueOnPage", "SetSilentHeightOnPage", "slotSetMouseSilentHeigh",
    "setUsbReportRateOnPage", "setLightParameterOnPage", "setMouseButtonOnPage",
    "slot_SetMouseColor", "slot_ChangeUsbReportRate", "slot_setMouseLightMode",
    "slot_MouseContinueLightDegree", "slot_MouseBreathSpeed", "slot_ChangeButtonToKey",
    "slot_ChangeButtonToMacro", "slot_WriteSingleMacro", "slot_WriteListMacro",
    "slot_LoadLocalConfigFileAndWriteIntoMouse",
    "slot_LoadOnlyLocalMouseConfigFileAndWriteIntoMouse", "slot_SaveProfileToConfig1",
    "slot_GetBatteryPower", "slot_ResetConfigToOriginal", "slot_WriteImageToMouse",
    "ImageToByteArr", "connectSignal", "destroyUselessThings", "slot_UpdateFirmwareKorvan",
    "slot_OLEDScreenpParameter", "slot_SetOLEDScreenLightIntensity", "slot_startCode",
    "slot_stopCode", "slot_codetimerout", "slot_GetProfileFromMouse", "GetProfileFromMouse",
    "warningReadOrWriteError",
};

} // namespace

class TestDCDataHandle : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();

    void signalsAndSlotsInTheirOrder();
    void bootLoaderPidIsIgnored();
    void pidsThatCannotBeOpened_data();
    void pidsThatCannotBeOpened();
    void requestsWithoutAMouseAreIgnored();
    void reopenAfterTheMouseWentAwayFails();
    void firmwareRequests_data();
    void firmwareRequests();
    void theThirtySixthFirmwareRequestIsRefused();
};

void TestDCDataHandle::cleanup()
{
    FakeTransfer::paths.clear();
    FakeTransfer::updated.clear();
}

void TestDCDataHandle::signalsAndSlotsInTheirOrder()
{
    // The window connects by these names, in this order: the signals first,
    // then the slots. Later additions come after each group.
    const QMetaObject &mo = DCDataHandle::staticMetaObject;
    QList<QByteArray> signalNames, slotNames;
    for (int i = mo.methodOffset(); i < mo.methodCount(); ++i) {
        const QMetaMethod m = mo.method(i);
        if (m.methodType() == QMetaMethod::Signal)
            signalNames << m.name();
        else if (m.methodType() == QMetaMethod::Slot)
            slotNames << m.name();
    }
    constexpr int kSignals = 27;
    const int n = int(std::size(kSignalsAndSlots));
    QVERIFY(signalNames.size() >= kSignals && slotNames.size() >= n - kSignals);
    for (int i = 0; i < n; ++i)
        QCOMPARE(i < kSignals ? signalNames.at(i) : slotNames.at(i - kSignals), QByteArray(kSignalsAndSlots[i]));
    QCOMPARE(mo.method(mo.indexOfSignal("sig_BatteryPower(DWORD)")).parameterType(0),
             QMetaType::type("DWORD"));
    QVERIFY(mo.indexOfSlot("slot_OpenDevice(USHORT,USHORT)") >= 0);
    QVERIFY(mo.indexOfSlot("slot_setCPIListValueOnMouse(QList<DWORD>)") >= 0);
    QVERIFY(mo.indexOfSlot("slot_SetMouseColor(bool,QList<COLORREF>)") >= 0);
}

void TestDCDataHandle::bootLoaderPidIsIgnored()
{
    BridgeFixture b;
    MouseType::setCurrent(11);
    QVERIFY(b.call("slot_OpenDevice", Q_ARG(USHORT, 0x3000), Q_ARG(USHORT, 0x3A5E)));
    b.sync();
    QVERIFY(b.names().isEmpty());
    QCOMPARE(MouseType::current(), 11);
}

void TestDCDataHandle::pidsThatCannotBeOpened_data()
{
    QTest::addColumn<int>("pid");
    QTest::newRow("unknown PID") << 0x1234;
    QTest::newRow("PID 0") << 0;
    QTest::newRow("second-family PID with nothing plugged") << 0x4163;
    QTest::newRow("third-family PID with nothing plugged") << 0x4161;
    QTest::newRow("first-family PID with nothing plugged") << 0x4130;
}

void TestDCDataHandle::pidsThatCannotBeOpened()
{
    QFETCH(int, pid);
    BridgeFixture b;
    MouseType::setCurrent(5);
    QVERIFY(b.call("slot_OpenDevice", Q_ARG(USHORT, USHORT(pid)), Q_ARG(USHORT, 0x3A5E)));
    b.sync();
    const QList<QVariantList> results = b.args("sig_OpenDeviceResult");
    QCOMPARE(results.size(), 1);
    QCOMPARE(results.at(0).at(0).toBool(), false);
    QCOMPARE(results.at(0).at(2).toBool(), false);
    if (const ProductInfo *product = Products::byPid(USHORT(pid))) {
        QCOMPARE(results.at(0).at(1).toInt(), product->mouseType); // the model is known, the mouse is not there
    } else {
        QCOMPARE(results.at(0).at(1).toInt(), 0);
        QCOMPARE(MouseType::current(), 0);
    }
}

void TestDCDataHandle::requestsWithoutAMouseAreIgnored()
{
    BridgeFixture b;
    QVERIFY(b.call("slot_removeOldTxtFile"));
    QVERIFY(b.call("slot_TurnNewFileToOldFile"));
    QVERIFY(b.call("slot_setCPIListValueOnMouse", Q_ARG(QList<DWORD>, (QList<DWORD>{800, 1600}))));
    QVERIFY(b.call("setCPIValueOnPage"));
    QVERIFY(b.call("SetSilentHeightOnPage"));
    QVERIFY(b.call("slotSetMouseSilentHeigh", Q_ARG(int, 2)));
    QVERIFY(b.call("setUsbReportRateOnPage"));
    QVERIFY(b.call("setLightParameterOnPage"));
    QVERIFY(b.call("setMouseButtonOnPage"));
    QVERIFY(b.call("slot_SetMouseColor", Q_ARG(bool, false),
                   Q_ARG(QList<COLORREF>, (QList<COLORREF>{RGB(1, 2, 3)}))));
    QVERIFY(b.call("slot_ChangeUsbReportRate", Q_ARG(int, 3)));
    QVERIFY(b.call("slot_setMouseLightMode", Q_ARG(bool, false), Q_ARG(int, 1)));
    QVERIFY(b.call("slot_MouseContinueLightDegree", Q_ARG(bool, false), Q_ARG(int, 1)));
    QVERIFY(b.call("slot_MouseBreathSpeed", Q_ARG(bool, false), Q_ARG(int, 1)));
    QVERIFY(b.call("slot_ChangeButtonToKey", Q_ARG(int, 5), Q_ARG(uint, 0x41), Q_ARG(int, 0),
                   Q_ARG(int, 29)));
    QVERIFY(b.call("slot_ChangeButtonToMacro", Q_ARG(int, 1), Q_ARG(int, 5), Q_ARG(uint, 7)));
    QVERIFY(b.call("slot_WriteSingleMacro", Q_ARG(int, 5), Q_ARG(QString, "x.json")));
    QVERIFY(b.call("slot_WriteListMacro", Q_ARG(QStringList, QStringList{"x.json"})));
    QVERIFY(b.call("slot_LoadLocalConfigFileAndWriteIntoMouse", Q_ARG(int, 2)));
    QVERIFY(b.call("slot_LoadOnlyLocalMouseConfigFileAndWriteIntoMouse", Q_ARG(int, 2)));
    QVERIFY(b.call("slot_SaveProfileToConfig1"));
    QVERIFY(b.call("slot_GetBatteryPower"));
    QVERIFY(b.call("slot_ResetConfigToOriginal"));
    QVERIFY(b.call("slot_WriteImageToMouse", Q_ARG(QString, "1")));
    QVERIFY(b.call("connectSignal"));
    QVERIFY(b.call("slot_OLEDScreenpParameter", Q_ARG(int, 8)));
    QVERIFY(b.call("slot_SetOLEDScreenLightIntensity", Q_ARG(int, 2)));
    QVERIFY(b.call("slot_stopCode"));
    QVERIFY(b.call("slot_codetimerout"));
    QVERIFY(b.call("slot_GetProfileFromMouse"));
    QVERIFY(b.call("GetProfileFromMouse"));
    QVERIFY(b.call("releaseObject"));
    QVERIFY(b.call("destroyUselessThings"));
    b.sync();
    // Nothing reached a device, nothing was shown as loading, nothing warned.
    QCOMPARE(b.count("sig_ShowLoadingDialog"), 0);
    QCOMPARE(b.warnings(), QList<int>{});
    QCOMPARE(b.count("sig_BatteryPower"), 0);
    // The pairing poll without a receiver ends the pairing as failed.
    QCOMPARE(b.args("sig_finishCode"), QList<QVariantList>{QVariantList{false}});

    b.clear();
    QVERIFY(b.call("slot_startCode"));
    b.sync();
    QCOMPARE(b.args("sig_startCode"), QList<QVariantList>{QVariantList{false}});
    QCOMPARE(b.count("sig_startTimer"), 0);
}

void TestDCDataHandle::reopenAfterTheMouseWentAwayFails()
{
    BridgeFixture b;
    QVERIFY(b.call("destroyUselessThings"));
    QVERIFY(b.call("slot_OpenDeviceAgain"));
    b.sync();
    QCOMPARE(b.names().first(), QString("sig_RemoveReloadWidget"));
    const QList<QVariantList> results = b.args("sig_OpenDeviceResult");
    QCOMPARE(results.size(), 1);
    QCOMPARE(results.at(0), (QVariantList{false, 0, false}));
}

void TestDCDataHandle::firmwareRequests_data()
{
    QTest::addColumn<int>("transfer"); // 0 none installed, 1 succeeds, 2 fails
    QTest::addColumn<QList<int>>("warnings");
    QTest::addColumn<int>("progress");
    // The window hears of each shown percentage once: 50, 51, 100.
    QTest::newRow("transfer succeeds") << 1 << QList<int>{13, 8} << 3;
    QTest::newRow("transfer fails") << 2 << QList<int>{13, 7} << 3;
    QTest::newRow("no transfer available") << 0 << QList<int>{13, 7} << 0;
}

void TestDCDataHandle::firmwareRequests()
{
    QFETCH(int, transfer);
    QFETCH(QList<int>, warnings);
    QFETCH(int, progress);
    BridgeFixture b;
    installTransfer(b, transfer);
    QVERIFY(b.call("slot_UpdateFirmwareKorvan", Q_ARG(QString, "/tmp/fw.bin"),
                   Q_ARG(QString, "merlinq")));
    QVERIFY(waitForResults(b, 1));
    QCOMPARE(b.warnings(), warnings);
    QCOMPARE(b.count("sig_StopCheckDeviceTimer"), 1);
    QCOMPARE(b.count("sig_closeUpdatingWidget"), 1);
    QCOMPARE(b.count("sig_StartCheckDeviceTimer"), 1);
    QCOMPARE(b.count("sig_ProcessVaule"), progress);
    QCOMPARE(b.count("sig_CloseUpdateMouseDialog"), transfer == 1 ? 1 : 0);
    if (transfer) {
        QCOMPARE(FakeTransfer::paths, (QStringList{"VID_3A5E&PID_413a", "VID_3A5E&PID_3000"}));
        QCOMPARE(FakeTransfer::updated, QStringList{"/tmp/fw.bin"});
        QCOMPARE(b.args("sig_ProcessVaule"), (QList<QVariantList>{{50}, {51}, {100}}));
    }
    // The result handler waits 500 ms and then 100 ms for the mouse to come back.
    QVERIFY(DeviceClock::virtualElapsedMs() >= 600);
}

void TestDCDataHandle::theThirtySixthFirmwareRequestIsRefused()
{
    BridgeFixture b;
    installTransfer(b, 1);
    for (int i = 0; i < 35; ++i)
        QVERIFY(b.call("slot_UpdateFirmwareKorvan", Q_ARG(QString, "fw.bin"), Q_ARG(QString, "kestrel")));
    QVERIFY(waitForResults(b, 35));
    QCOMPARE(FakeTransfer::updated.size(), 35);
    b.clear();
    QVERIFY(b.call("slot_UpdateFirmwareKorvan", Q_ARG(QString, "fw.bin"), Q_ARG(QString, "kestrel")));
    b.sync();
    QCOMPARE(b.warnings(), QList<int>{14});
    QCOMPARE(b.names(), QStringList{"sig_ShowWarningDialog"});
    QCOMPARE(FakeTransfer::updated.size(), 35);
}

QTEST_GUILESS_MAIN(TestDCDataHandle)
#include "tst_dcdatahandle.moc"
