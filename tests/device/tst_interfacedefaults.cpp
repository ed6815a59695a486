// What the driver and manager bases do for a family that lacks an operation:
// answer as their tables say and leave every out-parameter alone.
#include "device/KorvanUSBDriver.h"
#include "device/USBDriverManger.h"

#include <QImage>
#include <QMetaMethod>
#include <QtTest>

#include <cstring>
#include <functional>

namespace {

constexpr int kVoid = -1000; // marks an operation that returns nothing
constexpr unsigned char kFill = 0xA5;

// Every kind of out-parameter, filled with a marker before each call.
struct Outs
{
    DWORD dword[7];
    WORD word;
    BYTE bytes[4];
    BYTE block[1024];
    int number;
    LightColorParam light;

    Outs() { std::memset(this, kFill, sizeof *this); }
    bool untouched() const
    {
        const auto *p = reinterpret_cast<const unsigned char *>(this);
        return std::all_of(p, p + sizeof *this, [](unsigned char b) { return b == kFill; });
    }
};

struct StubDriver : KorvanUSBDriver
{
    bool FindHIDDevice() override { return false; }
};

struct StubManager : USBDriverManger
{
    KorvanUSBDriver *SetDriver(KorvanUSBDriver *driver) override
    {
        m_driver.reset(driver);
        return driver;
    }
    bool InitDevice() override { return false; }
    int SetMousePid(USHORT, USHORT) override { return 0; }
};

using DriverCall = std::function<int(KorvanUSBDriver &, Outs &)>;
using ManagerCall = std::function<int(USBDriverManger &, Outs &, QImage &)>;

template <typename F> DriverCall voidDriver(F f)
{
    return [f](KorvanUSBDriver &d, Outs &o) { f(d, o); return kVoid; };
}
template <typename F> ManagerCall voidManager(F f)
{
    return [f](USBDriverManger &m, Outs &o, QImage &i) { f(m, o, i); return kVoid; };
}

} // namespace

Q_DECLARE_METATYPE(DriverCall)
Q_DECLARE_METATYPE(ManagerCall)

class TestInterfaceDefaults : public QObject
{
    Q_OBJECT

private slots:
    void driverDefaults_data()
    {
        QTest::addColumn<DriverCall>("call");
        QTest::addColumn<int>("expected");
        using D = KorvanUSBDriver;
        const QList<MacroRecord> macros{MacroRecord{1, 2, {3, 4}}};
        QTest::newRow("UnInitDevice") << voidDriver([](D &d, Outs &) { d.UnInitDevice(); }) << kVoid;
        QTest::newRow("SetPidVid") << voidDriver([](D &d, Outs &) { d.SetPidVid(0x4130, 0x3A5E); }) << kVoid;
        QTest::newRow("WriteMacroBlocks") << DriverCall([macros](D &d, Outs &) { return int(d.WriteMacroBlocks(macros)); }) << 1;
        QTest::newRow("WriteScreenBlock") << DriverCall([](D &d, Outs &o) { return int(d.WriteScreenBlock(o.block)); }) << 1;
        QTest::newRow("ReadScreenBlock") << DriverCall([](D &d, Outs &o) { return int(d.ReadScreenBlock(o.block)); }) << 1;
        QTest::newRow("GetProfileDataBlock") << DriverCall([](D &d, Outs &o) { return int(d.GetProfileDataBlock(o.block)); }) << 1;
        QTest::newRow("SetProfileDataBlock") << DriverCall([](D &d, Outs &o) { return int(d.SetProfileDataBlock(o.block)); }) << 1;
        QTest::newRow("SetCurrentBank") << DriverCall([](D &d, Outs &) { return int(d.SetCurrentBank(1)); }) << 1;
        QTest::newRow("GetCurrentBank") << DriverCall([](D &d, Outs &o) { return int(d.GetCurrentBank(o.dword)); }) << 1;
        QTest::newRow("GetFwVersion") << DriverCall([](D &d, Outs &o) { return int(d.GetFwVersion(o.dword)); }) << 1;
        QTest::newRow("Reserved") << DriverCall([](D &d, Outs &) { return int(d.Reserved(1, 2, 3)); }) << 1;
        QTest::newRow("SendCommandA7") << DriverCall([](D &d, Outs &) { return int(d.SendCommandA7()); }) << 1;
        QTest::newRow("SendCommandA8") << DriverCall([](D &d, Outs &) { return int(d.SendCommandA8()); }) << 1;
        QTest::newRow("GetDeviceWord") << DriverCall([](D &d, Outs &o) { return int(d.GetDeviceWord(&o.word)); }) << 1;
        QTest::newRow("GetBatteryRaw") << DriverCall([](D &d, Outs &o) { return int(d.GetBatteryRaw(o.dword)); }) << 1;
        QTest::newRow("SendCommandAB") << DriverCall([](D &d, Outs &) { return int(d.SendCommandAB(5)); }) << 1;
        QTest::newRow("ReadBankBlock") << DriverCall([](D &d, Outs &o) { return int(d.ReadBankBlock(o.block, 1024, 0)); }) << 1;
        QTest::newRow("WriteBankBlock") << DriverCall([](D &d, Outs &o) { return int(d.WriteBankBlock(o.block, 1024, 1)); }) << 1;
        QTest::newRow("ReadEEPROMAt") << DriverCall([](D &d, Outs &o) { return int(d.ReadEEPROMAt(o.block, 32, 0, 4)); }) << 1;
        QTest::newRow("WriteEEPROMAt") << DriverCall([](D &d, Outs &o) { return int(d.WriteEEPROMAt(o.block, 32, 0, 4)); }) << 1;
        QTest::newRow("GetButtonValue") << DriverCall([](D &d, Outs &o) { return int(d.GetButtonValue(1, o.dword, 0)); }) << 1;
        QTest::newRow("SetButtonValue") << DriverCall([](D &d, Outs &) { return int(d.SetButtonValue(1, 0x00F00001, 0)); }) << 1;
        QTest::newRow("GetReportRate") << DriverCall([](D &d, Outs &o) { return int(d.GetReportRate(o.dword, 0)); }) << 1;
        QTest::newRow("SetReportRate") << DriverCall([](D &d, Outs &) { return int(d.SetReportRate(1, 0)); }) << 1;
        QTest::newRow("GetSilentHeight") << DriverCall([](D &d, Outs &o) { return int(d.GetSilentHeight(o.dword, 0)); }) << 1;
        QTest::newRow("SetSilentHeight") << DriverCall([](D &d, Outs &) { return int(d.SetSilentHeight(2, 0)); }) << 1;
        QTest::newRow("GetDPIStageMatrix") << DriverCall([](D &d, Outs &o) { return int(d.GetDPIStageMatrix(o.dword, 7, 0)); }) << 1;
        QTest::newRow("SetDPIStageMatrix") << DriverCall([](D &d, Outs &o) { return int(d.SetDPIStageMatrix(o.dword, 7, 0)); }) << 1;
        QTest::newRow("GetDpiLedRateLightIntensity") << DriverCall([](D &d, Outs &o) {
            return int(d.GetDpiLedRateLightIntensity(&o.bytes[0], &o.bytes[1], &o.bytes[2], &o.bytes[3], 0));
        }) << 1;
        QTest::newRow("SetDpiLedRateLightIntensity") << DriverCall([](D &d, Outs &) { return int(d.SetDpiLedRateLightIntensity(1, 2, 3, 4, 0)); }) << 1;
        QTest::newRow("GetDpiLed") << DriverCall([](D &d, Outs &o) { return int(d.GetDpiLed(o.bytes, 0)); }) << 1;
        QTest::newRow("SetDpiLed") << DriverCall([](D &d, Outs &) { return int(d.SetDpiLed(1, 0)); }) << 1;
        QTest::newRow("GetLightMode") << DriverCall([](D &d, Outs &o) { return int(d.GetLightMode(o.bytes, 0)); }) << 1;
        QTest::newRow("SetLightMode") << DriverCall([](D &d, Outs &) { return int(d.SetLightMode(1, 0)); }) << 1;
        QTest::newRow("GetLightSpeed") << DriverCall([](D &d, Outs &o) { return int(d.GetLightSpeed(o.bytes, 0)); }) << 1;
        QTest::newRow("SetLightSpeed") << DriverCall([](D &d, Outs &) { return int(d.SetLightSpeed(1, 0)); }) << 1;
        QTest::newRow("GetLightDegree") << DriverCall([](D &d, Outs &o) { return int(d.GetLightDegree(o.bytes, 0)); }) << 1;
        QTest::newRow("SetLightDegree") << DriverCall([](D &d, Outs &) { return int(d.SetLightDegree(1, 0)); }) << 1;
        QTest::newRow("GetWord1180") << DriverCall([](D &d, Outs &o) { return int(d.GetWord1180(o.dword, 0)); }) << 1;
        QTest::newRow("SetWord1180") << DriverCall([](D &d, Outs &) { return int(d.SetWord1180(1, 0)); }) << 1;
        QTest::newRow("GetWord1180Byte0") << DriverCall([](D &d, Outs &o) { return int(d.GetWord1180Byte0(o.bytes, 0)); }) << 1;
        QTest::newRow("SetWord1180Byte0") << DriverCall([](D &d, Outs &) { return int(d.SetWord1180Byte0(1, 0)); }) << 1;
        QTest::newRow("SetOLEDScreenParameter") << DriverCall([](D &d, Outs &) { return int(d.SetOLEDScreenParameter(1, true, 0)); }) << 1;
        QTest::newRow("GetWord1180Byte1") << DriverCall([](D &d, Outs &o) { return int(d.GetWord1180Byte1(o.bytes, 0)); }) << 1;
        QTest::newRow("SetWord1180Byte1") << DriverCall([](D &d, Outs &) { return int(d.SetWord1180Byte1(1, 0)); }) << 1;
        QTest::newRow("GetLedColor") << DriverCall([](D &d, Outs &o) { return int(d.GetLedColor(o.dword, 0, 0)); }) << 1;
        QTest::newRow("SetLedColor") << DriverCall([](D &d, Outs &) { return int(d.SetLedColor(RGB(1, 2, 3), 0, 0)); }) << 1;
        QTest::newRow("SetLedColorMatrixAll") << DriverCall([](D &d, Outs &o) { return int(d.SetLedColorMatrixAll(o.dword, 3, 0)); }) << 1;
        QTest::newRow("GetBatteryPolled") << DriverCall([](D &d, Outs &o) { return int(d.GetBatteryPolled(o.dword)); }) << 1;
        QTest::newRow("SetWiredWirelessString") << voidDriver([](D &d, Outs &) {
            d.SetWiredWirelessString(QStringLiteral("VID_3A5E&PID_4130"), QStringLiteral("VID_3A5E&PID_4131"));
        }) << kVoid;
    }
    void driverDefaults()
    {
        QFETCH(DriverCall, call);
        QFETCH(int, expected);
        StubDriver driver;
        Outs outs;
        QCOMPARE(call(driver, outs), expected);
        QVERIFY(outs.untouched());
    }

    void managerDefaults_data()
    {
        QTest::addColumn<ManagerCall>("call");
        QTest::addColumn<int>("expected");
        using M = USBDriverManger;
        using C = ManagerCall;
        QTest::newRow("UnInitDevice") << voidManager([](M &m, Outs &, QImage &) { m.UnInitDevice(); }) << kVoid;
        QTest::newRow("SetCurrentBank") << C([](M &m, Outs &, QImage &) { return int(m.SetCurrentBank(1)); }) << 1;
        QTest::newRow("GetCurrentBank") << C([](M &m, Outs &o, QImage &) { return int(m.GetCurrentBank(o.dword)); }) << 1;
        QTest::newRow("GetReportRate") << C([](M &m, Outs &o, QImage &) { return int(m.GetReportRate(o.dword, 0)); }) << 1;
        QTest::newRow("SetReportRate") << C([](M &m, Outs &, QImage &) { return int(m.SetReportRate(3, 0)); }) << 1;
        QTest::newRow("GetSilentHeight") << C([](M &m, Outs &o, QImage &) { return int(m.GetSilentHeight(o.dword, 0)); }) << 1;
        QTest::newRow("SetSilentHeight") << C([](M &m, Outs &, QImage &) { return int(m.SetSilentHeight(2, 0)); }) << 1;
        QTest::newRow("GetCPIStageMatrix") << C([](M &m, Outs &o, QImage &) { return int(m.GetCPIStageMatrix(o.dword, 0)); }) << 1;
        QTest::newRow("SetDPIStageMatrix") << C([](M &m, Outs &, QImage &) { return int(m.SetDPIStageMatrix(800, 1, 0)); }) << 1;
        QTest::newRow("SetCPIList") << C([](M &m, Outs &, QImage &) { return int(m.SetCPIList(CpiList{400, 800, 0}, 0)); }) << 1;
        QTest::newRow("GetFireByte1") << C([](M &m, Outs &o, QImage &) { return int(m.GetFireByte1(o.bytes, 0)); }) << 1;
        QTest::newRow("SetFireByte1") << C([](M &m, Outs &, QImage &) { return int(m.SetFireByte1(1, 0)); }) << 1;
        QTest::newRow("SetMouseColor") << C([](M &m, Outs &, QImage &) {
            return int(m.SetMouseColor(1, 2, 3, RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), false, 0));
        }) << 1;
        QTest::newRow("GetLightParameter") << C([](M &m, Outs &o, QImage &) { return int(m.GetLightParameter(&o.light, 0)); }) << 1;
        QTest::newRow("SetMouseColorList") << C([](M &m, Outs &, QImage &) { return int(m.SetMouseColorList(true, ColorList{RGB(1, 2, 3)}, 0)); }) << 1;
        QTest::newRow("SetMouseLightMode") << C([](M &m, Outs &, QImage &) { return int(m.SetMouseLightMode(false, 2)); }) << 1;
        QTest::newRow("SetMouseLightDegree") << C([](M &m, Outs &, QImage &) { return int(m.SetMouseLightDegree(false, 2)); }) << 1;
        QTest::newRow("SetMouseBreathSpeed") << C([](M &m, Outs &, QImage &) { return int(m.SetMouseBreathSpeed(true, 2)); }) << 1;
        QTest::newRow("SetChangeButtonToKey") << C([](M &m, Outs &, QImage &) { return int(m.SetChangeButtonToKey(5, 0x41, 1, 29, 0)); }) << 1;
        QTest::newRow("WriteSingleMacro") << C([](M &m, Outs &, QImage &) { return int(m.WriteSingleMacro(1, QStringLiteral("m.json"))); }) << 1;
        QTest::newRow("WriteListMacro") << C([](M &m, Outs &, QImage &) { return int(m.WriteListMacro({QStringLiteral("m.json")})); }) << 1;
        QTest::newRow("SetChangeButtonToMacro") << C([](M &m, Outs &, QImage &) { return int(m.SetChangeButtonToMacro(1, 5, 0xD0)); }) << 1;
        QTest::newRow("WriteImageToMouse") << C([](M &m, Outs &, QImage &) { return int(m.WriteImageToMouse(3, QStringLiteral("1"), 0, 1)); }) << 1;
        QTest::newRow("ReadImageFromMouse") << C([](M &m, Outs &, QImage &i) { return int(m.ReadImageFromMouse(1, &i)); }) << 1;
        QTest::newRow("SetScreenWord") << C([](M &m, Outs &, QImage &) { return int(m.SetScreenWord(0, 1, 0)); }) << 1;
        QTest::newRow("ReadBankExtras") << C([](M &m, Outs &o, QImage &) { return int(m.ReadBankExtras(o.dword, 0)); }) << 1;
        QTest::newRow("GetMousePid") << C([](M &m, Outs &o, QImage &) { return int(m.GetMousePid(&o.number)); }) << 1;
        QTest::newRow("SetOLEDScreenParameter") << C([](M &m, Outs &, QImage &) { return int(m.SetOLEDScreenParameter(2)); }) << 1;
        QTest::newRow("SetOLEDScreenLightIntensity") << C([](M &m, Outs &, QImage &) { return int(m.SetOLEDScreenLightIntensity(2)); }) << 1;
        QTest::newRow("SetMouseTypeName") << voidManager([](M &m, Outs &, QImage &) { m.SetMouseTypeName(QStringLiteral("harrier")); }) << kVoid;
        QTest::newRow("CompareMouseAndLocalFileData") << C([](M &m, Outs &o, QImage &) { return int(m.CompareMouseAndLocalFileData(&o.number)); }) << 1;
        QTest::newRow("GetProfileData") << C([](M &m, Outs &, QImage &) { return int(m.GetProfileData()); }) << 1;
        QTest::newRow("SetProfileData") << C([](M &m, Outs &, QImage &) { return int(m.SetProfileData()); }) << 1;
        QTest::newRow("GetFwVersion") << C([](M &m, Outs &o, QImage &) { return int(m.GetFwVersion(o.dword)); }) << 1;
        QTest::newRow("SetCurrentConfigNumber") << C([](M &m, Outs &, QImage &) { return int(m.SetCurrentConfigNumber(3)); }) << 1;
        QTest::newRow("LoadConfigFileByNumber") << C([](M &m, Outs &, QImage &) { return int(m.LoadConfigFileByNumber(2)); }) << 1;
        QTest::newRow("LoadOnlyMouseConfigFileByNumber") << C([](M &m, Outs &, QImage &) { return int(m.LoadOnlyMouseConfigFileByNumber(2)); }) << 1;
        QTest::newRow("SaveConfigFileByConfigureNumber") << voidManager([](M &m, Outs &, QImage &) { m.SaveConfigFileByConfigureNumber(2); }) << kVoid;
        QTest::newRow("SaveProfileToConfig1") << C([](M &m, Outs &, QImage &) { return int(m.SaveProfileToConfig1()); }) << 1;
        QTest::newRow("GetBatteryPower") << C([](M &m, Outs &o, QImage &) { return int(m.GetBatteryPower(o.dword)); }) << 1;
        QTest::newRow("GetOLEDScreenParameter") << C([](M &m, Outs &, QImage &) { return m.GetOLEDScreenParameter(); }) << 0;
        QTest::newRow("TurnOldTxtFileToNewJsonFile") << voidManager([](M &m, Outs &, QImage &) { m.TurnOldTxtFileToNewJsonFile(); }) << kVoid;
        QTest::newRow("TurnNewFileToOldFile") << voidManager([](M &m, Outs &, QImage &) { m.TurnNewFileToOldFile(); }) << kVoid;
        QTest::newRow("RemoveOldTxtFile") << voidManager([](M &m, Outs &, QImage &) { m.RemoveOldTxtFile(); }) << kVoid;
        QTest::newRow("GetOLEDScreenLightIntensity") << C([](M &m, Outs &, QImage &) { return m.GetOLEDScreenLightIntensity(); }) << 1;
        QTest::newRow("GetErrorCount") << C([](M &m, Outs &, QImage &) { return m.GetErrorCount(); }) << 1;
        QTest::newRow("CheckAllMouseButtonIsOriginalMouseButton")
            << voidManager([](M &m, Outs &, QImage &) { m.CheckAllMouseButtonIsOriginalMouseButton(); }) << kVoid;
    }
    void managerDefaults()
    {
        QFETCH(ManagerCall, call);
        QFETCH(int, expected);
        StubManager manager;
        manager.SetDriver(new StubDriver);
        Outs outs;
        QImage image(2, 2, QImage::Format_Mono);
        image.fill(1);
        const QImage before = image;
        // Whatever the default does, it says nothing to the pages.
        QSignalSpy buttons(&manager, &USBDriverManger::sig_TrueMouseValue);
        QSignalSpy original(&manager, &USBDriverManger::sig_CurrentButtonIsOriginalButton);
        QSignalSpy warning(&manager, &USBDriverManger::sig_WarningOnlyLeftButton);

        QCOMPARE(call(manager, outs, image), expected);
        QVERIFY(outs.untouched());
        QCOMPARE(image, before);
        QCOMPARE(buttons.count() + original.count() + warning.count(), 0);
    }

    void managerSignalsInDeclarationOrder()
    {
        const QMetaObject &meta = USBDriverManger::staticMetaObject;
        const QList<QByteArray> expected{
            "sig_CurrentButtonIsOriginalButton(bool,int)",
            "sig_WarningOnlyLeftButton(int)",
            "sig_KorvanMouseUpdateResult(bool)",
            "sig_TrueMouseValue(int,int,int,int)",
            "sig_ShowUpdateWidget(bool,bool,int,bool)",
        };
        QList<QByteArray> declared;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            if (meta.method(i).methodType() == QMetaMethod::Signal)
                declared.append(meta.method(i).methodSignature());
        }
        QCOMPARE(declared, expected);
    }
};

QTEST_GUILESS_MAIN(TestInterfaceDefaults)
#include "tst_interfacedefaults.moc"
