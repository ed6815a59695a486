#include "data/DCDataHandle.h"

#include "device/DeviceMetaTypes.h"

#include "store/GearHandle.h"
#include "store/JsonHandle.h"
#include "device/FirmwareTransfer.h"
#include "device/ProductTable.h"
#include "device/kestrel/USBDriverKestrel.h"
#include "device/kestrel/UsbDriverMangerKestrel.h"
#include "platform/DeviceClock.h"

#include <QDebug>
#include <QFile>
#include <QTime>
#include <cstdlib>
#include <string>

namespace {

// Seven CPI level positions on the pages.
constexpr int kCpiLevels = 7;
// Firmware update requests one run may make before the user is told to restart.
constexpr int kMaxUpdateRequests = 36;
// 200 polls of 100 ms: pairing gives up after 20 s.
constexpr int kPairingPollMs = 100;
constexpr int kPairingMaxTicks = 200;
// The receiver answers a command within five reads, 50 ms apart.
constexpr int kDongleAckReads = 5;
constexpr int kDongleAckSleepMs = 50;
// A manager that failed this many profile reads in a row offers a firmware repair.
constexpr int kRepairErrorCount = 4;
// Warning numbers of the window's warning dialog.
enum Warning {
    WarningUpdateFailed = 7,
    WarningUpdateSucceeded = 8,
    WarningUpdateStarting = 13,
    WarningTooManyUpdates = 14,
    WarningReadOrWrite = 32,
    WarningMacroListWritten = 37,
    WarningNoMatchingConfig = 38,
    WarningUpdateNeedsCable = 40,
    WarningReceiverPairedElsewhere = 44,
};
// The screen picture mode of the OLED behaviour.
constexpr int kOledPictureMode = 8;
// Configuration 0 is the factory configuration.
constexpr int kFactoryConfig = 0;
constexpr int kConfigCount = 5;

// Firmware version shown when a model's version cannot be read.
struct FallbackVersion
{
    int mouseType;
    int version;
};
constexpr FallbackVersion kFallbackVersions[] = {
    {2, 8}, {3, 10}, {4, 4}, {6, 4}, {18, 4}, {19, 4}, {5, 3}, {7, 5}, {8, 5}, {9, 5}, {10, 5},
    {11, 32}, {12, 13}, {13, 2},
};

int fallbackVersion(int mouseType)
{
    for (const FallbackVersion &f : kFallbackVersions)
        if (f.mouseType == mouseType)
            return f.version;
    return 1;
}

// Models whose battery reading is already steady and reaches the window unfiltered.
bool batteryIsUnfiltered(int mouseType, int fwVersion)
{
    return mouseType == 10 || mouseType == 14 || (mouseType == 11 && fwVersion >= 30);
}

// Models with a screen whose picture is rewritten on a configuration load.
bool hasScreenPicture(int mouseType)
{
    return mouseType == 3 || mouseType == 10 || mouseType == 11;
}

QString categoryDevice() { return QStringLiteral("Device"); }
QString screenBridge() { return QStringLiteral("DCDataHandle"); }

} // namespace

DCDataHandle::DCDataHandle(QObject *parent)
    : QObject(parent), m_jsonHandle(new JsonHandle(this)), m_codeTimer(this),
      m_gearHandle(new GearHandle(this))
{
    connect(&m_codeTimer, &QTimer::timeout, this, &DCDataHandle::slot_codetimerout);
    connect(this, &DCDataHandle::sig_startTimer, &m_codeTimer, QOverload<int>::of(&QTimer::start));
    connect(this, &DCDataHandle::sig_stopTimer, &m_codeTimer, &QTimer::stop);
}

DCDataHandle::~DCDataHandle()
{
    dropManager();
    delete m_fwUpdate;
}

void DCDataHandle::registerMetaTypes()
{
    registerDeviceMetaTypes();
}

// ---------------------------------------------------------------- helpers

void DCDataHandle::sendEvent(const QString &action, const QString &label)
{
    emit sig_SendOperationEventMessageToGA(categoryDevice(), action, label, screenBridge());
}

void DCDataHandle::dropManager()
{
    if (!m_manager)
        return;
    disconnectSignal();
    m_receiverDriver = nullptr;
    m_manager.reset();
}

// ---------------------------------------------------------------- slots

void DCDataHandle::slot_removeOldTxtFile()
{
    if (!m_manager)
        return;
    m_manager->RemoveOldTxtFile();
}

void DCDataHandle::slot_TurnNewFileToOldFile()
{
    if (!m_manager)
        return;
    qDebug() << "slot_TurnNewFileToOldFile Start";
    m_manager->TurnNewFileToOldFile();
    emit sig_StartToUploadFile();
    qDebug() << "slot_TurnNewFileToOldFile End";
}

void DCDataHandle::slot_TurnOldTxtFileToNewJsonFile()
{
    if (!m_manager)
        return;
    m_manager->TurnOldTxtFileToNewJsonFile();
}

void DCDataHandle::slot_setCPIListValueOnMouse(QList<DWORD> dwordList)
{
    if (!m_manager)
        return;
    emit sig_ShowLoadingDialog();
    if (m_manager->SetCPIList(dwordList, m_bank)) {
        SetGearLevelsEnabled(dwordList);
        qDebug() << "slot_setDPIValueOnMouse is True";
    } else {
        qDebug() << "slot_setDPIValueOnMouse is False";
        warningReadOrWriteError();
    }
    qDebug() << "slot_setCPIListValueOnMouse" << dwordList;
    emit sig_EndLoadingDialog();
}

void DCDataHandle::slot_OpenDevice(USHORT Pid, USHORT Vid)
{
    // A mouse in its boot loader belongs to the firmware update, not to us.
    if (Pid == Products::kFirstFamilyBootPid)
        return;

    m_isWireless = false;
    MouseType::setCurrent(0);
    dropManager();
    m_pid = 0;

    qDebug().noquote() << QString::asprintf("openDevice Pid 0x%x", unsigned(Pid));
    ++m_openCount;
    qDebug() << "openDevice Count" << m_openCount;

    const ProductInfo *product = Products::byPid(Pid);
    if (!product || product->family != Family::First) {
        emit sig_OpenDeviceResult(false, MouseType::current(), m_isWireless);
        return;
    }
    const bool viaReceiver = Pid == product->receiverPid;
    const std::wstring wiredFilter = QString::fromLatin1(product->wiredFilter).toStdWString();
    const std::wstring receiverFilter = QString::fromLatin1(product->receiverFilter).toStdWString();
    createAKorvanInitObject(nullptr, product->mouseType, wiredFilter.c_str(), receiverFilter.c_str(),
                            viaReceiver);
    if (viaReceiver)
        m_isWireless = true;
    if (!m_manager) {
        emit sig_OpenDeviceResult(false, MouseType::current(), m_isWireless);
        return;
    }

    const int mouseType = MouseType::current();
    const QString name = Products::modelName(mouseType);
    m_manager->SetMouseTypeName(name);
    m_manager->SetMousePid(Pid, Vid);
    qDebug() << "openDevice" << name;
    sendEvent(QStringLiteral("OpenDevice"), name);

    if (!m_manager->InitDevice()) {
        sendEvent(QStringLiteral("OpenDeviceFailed"), name);
        emit sig_OpenDeviceResult(false, mouseType, m_isWireless);
        return;
    }
    m_manager->SetCurrentBank(m_bank);
    if (!CheckReceiverPairing(Pid))
        return;
    connectSignal();
    m_pid = Pid;
    emit sig_OpenDeviceResult(true, mouseType, m_isWireless);
    GetProfileFromMouse();
    sendEvent(QStringLiteral("OpenDeviceSucceeded"), name);
}

void DCDataHandle::createAKorvanInitObject(KorvanUSBDriver *, int mosueType, const wchar_t *wireless,
                                           const wchar_t *wired, bool isWireless)
{
    const QString wiredFilter = QString::fromWCharArray(wireless);
    const QString receiverFilter = QString::fromWCharArray(wired);
    m_manager = makeKestrelManager(wiredFilter, receiverFilter, isWireless, &m_receiverDriver);
    if (!isWireless)
        m_receiverDriver = nullptr;
    MouseType::setCurrent(mosueType);
}

void DCDataHandle::slot_OpenDeviceAgain()
{
    slot_OpenDevice(m_pid, Products::kVendorId);
}

void DCDataHandle::releaseObject()
{
    dropManager();
    m_pid = 0;
}

void DCDataHandle::setCPIValueOnPage()
{
    readCpiToPage();
}

bool DCDataHandle::readCpiToPage()
{
    if (!m_manager)
        return false;
    DWORD levels[kCpiLevels] = {};
    if (!m_manager->GetCPIStageMatrix(levels, m_bank)) {
        qDebug() << "DCDataHandle setDPIValueOnPage false";
        warningReadOrWriteError();
        return false;
    }
    QList<DWORD> list;
    for (DWORD level : levels)
        list.append(level);
    emit sig_SetCurrentCpiListValueOnPage(list);
    qDebug() << "DCDataHandle setDPIValueOnPage" << list;
    return true;
}

void DCDataHandle::SetSilentHeightOnPage()
{
    if (!m_manager)
        return;
    DWORD value = 0;
    m_manager->GetSilentHeight(&value, m_bank);
}

void DCDataHandle::slotSetMouseSilentHeigh(int value)
{
    if (!m_manager)
        return;
    m_manager->SetSilentHeight(value, m_bank);
}

void DCDataHandle::setUsbReportRateOnPage()
{
    readReportRateToPage();
}

bool DCDataHandle::readReportRateToPage()
{
    if (!m_manager)
        return false;
    DWORD index = 0;
    if (!m_manager->GetReportRate(&index, m_bank)) {
        warningReadOrWriteError();
        return false;
    }
    emit sig_SetCurrentReportRate(int(index));
    return true;
}

void DCDataHandle::setLightParameterOnPage()
{
    if (!m_manager)
        return;
    emit sig_ShowLoadingDialog();
    m_manager->GetLightParameter(&m_lightParam, m_bank);
    emit sig_SetLightParameterOnPage(m_lightParam);
    emit sig_EndLoadingDialog();
}

void DCDataHandle::setMouseButtonOnPage()
{
    if (!m_manager)
        return;
    emit sig_ShowLoadingDialog();
    m_manager->CheckAllMouseButtonIsOriginalMouseButton();
    emit sig_EndLoadingDialog();
}

void DCDataHandle::slot_SetMouseColor(bool isWheelLightChange, QList<COLORREF> colorList)
{
    if (!m_manager)
        return;
    emit sig_ShowLoadingDialog();
    qDebug() << "slot_SetMouseColor";
    if (!m_manager->SetMouseColorList(isWheelLightChange, colorList, m_bank))
        warningReadOrWriteError();
    emit sig_EndLoadingDialog();
}

void DCDataHandle::slot_ChangeUsbReportRate(int value)
{
    if (!m_manager)
        return;
    emit sig_ShowLoadingDialog();
    if (!m_manager->SetReportRate(value, m_bank))
        warningReadOrWriteError();
    emit sig_EndLoadingDialog();
}

void DCDataHandle::slot_setMouseLightMode(bool isWheelLightChange, int value)
{
    if (!m_manager)
        return;
    emit sig_ShowLoadingDialog();
    if (!m_manager->SetMouseLightMode(isWheelLightChange, value))
        warningReadOrWriteError();
    emit sig_EndLoadingDialog();
}

void DCDataHandle::slot_MouseContinueLightDegree(bool isWheelLightChange, int value)
{
    if (!m_manager)
        return;
    emit sig_ShowLoadingDialog();
    if (!m_manager->SetMouseLightDegree(isWheelLightChange, value))
        warningReadOrWriteError();
    emit sig_EndLoadingDialog();
}

void DCDataHandle::slot_MouseBreathSpeed(bool isWheelLightChange, int value)
{
    if (!m_manager)
        return;
    emit sig_ShowLoadingDialog();
    if (!m_manager->SetMouseBreathSpeed(isWheelLightChange, value))
        warningReadOrWriteError();
    emit sig_EndLoadingDialog();
}

void DCDataHandle::slot_ChangeButtonToKey(int button, uint vkCode, int modifyKey, int changeType)
{
    if (!m_manager)
        return;
    emit sig_ShowLoadingDialog();
    if (!m_manager->SetChangeButtonToKey(button, vkCode, modifyKey, changeType, m_bank)) {
        warningReadOrWriteError();
        qDebug() << "slot_ChangeButtonToKey failed";
    }
    emit sig_EndLoadingDialog();
}

void DCDataHandle::slot_ChangeButtonToMacro(int macroType, int button, uint)
{
    if (!m_manager)
        return;
    emit sig_ShowLoadingDialog();
    // The manager chooses the macro slot itself; the page's address never reaches the mouse.
    m_manager->SetChangeButtonToMacro(button, 0, uint(macroType));
    emit sig_EndLoadingDialog();
}

void DCDataHandle::slot_WriteSingleMacro(int button, QString path)
{
    if (!m_manager)
        return;
    emit sig_ShowLoadingDialog();
    if (m_manager->WriteSingleMacro(button, path)) {
        qDebug() << "slot_WriteSingleMacro True";
    } else {
        warningReadOrWriteError();
        qDebug() << "slot_WriteSingleMacro False";
    }
    emit sig_EndLoadingDialog();
}

void DCDataHandle::slot_WriteListMacro(QStringList macroList)
{
    if (!m_manager)
        return;
    emit sig_ShowLoadingDialog();
    if (m_manager->WriteListMacro(macroList))
        emit sig_ShowWarningDialog(WarningMacroListWritten);
    emit sig_EndLoadingDialog();
}

void DCDataHandle::slot_LoadLocalConfigFileAndWriteIntoMouse(int number)
{
    loadConfiguration(number, false);
}

void DCDataHandle::slot_LoadOnlyLocalMouseConfigFileAndWriteIntoMouse(int number)
{
    loadConfiguration(number, true);
}

void DCDataHandle::loadConfiguration(int number, bool profileOnly)
{
    if (!m_manager)
        return;
    if (number < 1 || number > kConfigCount) {
        qWarning() << "loadConfiguration: no configuration" << number;
        return;
    }
    emit sig_ShowLoadingDialog();
    m_configNumber = number;
    qDebug() << (profileOnly ? "slot_LoadOnlyLocalMouseConfigFileAndWriteIntoMouse m_configNumber"
                             : "slot_LoadLocalConfigFileAndWriteIntoMouse m_configNumber")
             << m_configNumber;
    LoadGearJson(number);

    emit sig_ShowLoadingDialog();
    m_manager->SetCurrentConfigNumber(number);
    const bool loaded = profileOnly ? m_manager->LoadOnlyMouseConfigFileByNumber(number)
                                    : m_manager->LoadConfigFileByNumber(number);
    if (loaded) {
        RefreshPages();
        emit sig_EndLoadingDialog();
    } else {
        warningReadOrWriteError();
    }

    const int mouseType = MouseType::current();
    if (loaded && hasScreenPicture(mouseType)
        && m_manager->GetOLEDScreenParameter() == kOledPictureMode) {
        emit sig_ShowLoadingDialog();
        if (!m_manager->WriteImageToMouse(mouseType, QString::number(m_configNumber), 0, 1))
            warningReadOrWriteError();
        emit sig_EndLoadingDialog();
    }
    emit sig_EndLoadingDialog();
}

void DCDataHandle::slot_SaveProfileToConfig1()
{
    if (!m_manager)
        return;
    emit sig_ShowLoadingDialog();
    qDebug() << "slot_SaveProfileToConfig1";
    m_manager->SaveConfigFileByConfigureNumber(1);
    m_manager->SaveProfileToConfig1();
    emit sig_EndLoadingDialog();
    RefreshPages();
}

void DCDataHandle::slot_GetBatteryPower()
{
    if (!m_manager || !m_isWireless)
        return;
    DWORD value = 0;
    if (!m_manager->GetBatteryPower(&value)) {
        qDebug() << QString::fromUtf8("读取电量失败");
        emit sig_BatteryPower(BatteryFilter::kNoReading);
        m_batteryFilter.reopenAgreement();
        return;
    }
    if (batteryIsUnfiltered(MouseType::current(), m_fwVersion))
        emit sig_BatteryPower(value);
    else
        FilterTheQuantityOfElectricCharge(value);
}

void DCDataHandle::FilterTheQuantityOfElectricCharge(DWORD value)
{
    DWORD published = 0;
    if (m_batteryFilter.FilterTheQuantityOfElectricCharge(value, &published))
        emit sig_BatteryPower(published);
}

void DCDataHandle::slot_ResetConfigToOriginal()
{
    if (!m_manager)
        return;
    const int mouseType = MouseType::current();
    sendEvent(QStringLiteral("ResetConfigToOriginal"), Products::modelName(mouseType));
    emit sig_ShowLoadingDialog();
    if (!m_manager->LoadConfigFileByNumber(kFactoryConfig)) {
        warningReadOrWriteError();
        emit sig_EndLoadingDialog();
        return;
    }
    for (int n = 1; n <= kConfigCount; ++n) {
        m_manager->SaveConfigFileByConfigureNumber(n);
        resetGearFile(mouseType, n);
        const QString picture = picturePath(mouseType, n);
        qDebug() << "slot_ResetConfigToOriginal" << picture;
        QFile::remove(picture);
    }
    if (mouseType == 3) {
        emit sig_ShowLoadingDialog();
        if (!m_manager->WriteImageToMouse(mouseType, QStringLiteral("0"), 0, 1))
            warningReadOrWriteError();
        emit sig_EndLoadingDialog();
    }
    RefreshPages();
    emit sig_EndLoadingDialog();
}

void DCDataHandle::slot_WriteImageToMouse(QString configNumber)
{
    if (!m_manager)
        return;
    emit sig_ShowLoadingDialog();
    m_manager->WriteImageToMouse(MouseType::current(), configNumber, 0, 1);
    emit sig_EndLoadingDialog();
}

bool DCDataHandle::ImageToByteArr(QImage, unsigned char *, int)
{
    return true;
}

void DCDataHandle::connectSignal()
{
    if (!m_manager)
        return;
    USBDriverManger *manager = m_manager.get();
    connect(manager, &USBDriverManger::sig_CurrentButtonIsOriginalButton, this,
            &DCDataHandle::sig_CurrentButtonIsOriginalButton, Qt::UniqueConnection);
    connect(manager, &USBDriverManger::sig_WarningOnlyLeftButton, this,
            &DCDataHandle::sig_ShowWarningDialog, Qt::UniqueConnection);
    connect(manager, &USBDriverManger::sig_KorvanMouseUpdateResult, this,
            &DCDataHandle::OnFirmwareUpdateResult, Qt::UniqueConnection);
    connect(manager, &USBDriverManger::sig_TrueMouseValue, this, &DCDataHandle::sig_TrueMouseValue,
            Qt::UniqueConnection);
}

void DCDataHandle::disconnectSignal()
{
    USBDriverManger *manager = m_manager.get();
    disconnect(manager, &USBDriverManger::sig_CurrentButtonIsOriginalButton, this,
               &DCDataHandle::sig_CurrentButtonIsOriginalButton);
    disconnect(manager, &USBDriverManger::sig_WarningOnlyLeftButton, this,
               &DCDataHandle::sig_ShowWarningDialog);
    disconnect(manager, &USBDriverManger::sig_KorvanMouseUpdateResult, this,
               &DCDataHandle::OnFirmwareUpdateResult);
    disconnect(manager, &USBDriverManger::sig_TrueMouseValue, this, &DCDataHandle::sig_TrueMouseValue);
}

void DCDataHandle::destroyUselessThings()
{
    emit sig_RemoveReloadWidget();
    qDebug() << "DCDataHandle::destroyUselessThings()";
    if (m_isUpdating || !m_manager)
        return;
    disconnectSignal();
    m_manager->UnInitDevice();
    m_receiverDriver = nullptr;
    m_manager.reset();
    m_pid = 0;
    qDebug() << "DCDataHandle::destroyUselessThings() End";
}

void DCDataHandle::slot_UpdateFirmwareKorvan(QString path, QString mouseType)
{
    m_isUpdating = true;
    qDebug() << "slot_UpdateFirmwareKorvan" << path << mouseType;
    ++m_updateTimes;
    qDebug() << "UpdateTimes" << m_updateTimes;
    if (m_updateTimes >= kMaxUpdateRequests) {
        emit sig_ShowWarningDialog(WarningTooManyUpdates);
        return;
    }
    emit sig_StopCheckDeviceTimer();
    if (m_isWireless) {
        emit sig_StartCheckDeviceTimer();
        emit sig_CloseUpdateMouseDialog();
        emit sig_ShowWarningDialog(WarningUpdateNeedsCable);
    } else {
        StartFirmwareUpdate(path, mouseType);
    }
    m_isUpdating = false;
}

void DCDataHandle::StartFirmwareUpdate(const QString &path, const QString &mouseType)
{
    qDebug() << "FirmwareUpdate" << path;
    emit sig_ShowWarningDialog(WarningUpdateStarting);
    delete m_fwUpdate;
    m_fwUpdate = nullptr;

    const ProductInfo *product = Products::byName(mouseType);
    const QString normalPath = product && product->family == Family::First
        ? QString::fromLatin1(product->wiredFilter)
        : QString();
    const QString bootPath = normalPath.isEmpty() ? QString() : QStringLiteral("VID_3A5E&PID_3000");
    std::unique_ptr<FirmwareTransfer> update = FirmwareTransfers::create();
    if (!update) {
        qWarning() << "FirmwareUpdate: no firmware transfer available";
        OnFirmwareUpdateResult(false);
        return;
    }
    m_fwUpdate = update.release();
    m_fwUpdate->SetDevicePaths(normalPath, bootPath);
    connect(this, &DCDataHandle::sig_Update, m_fwUpdate, &FirmwareTransfer::slotUpdate);
    connect(m_fwUpdate, &FirmwareTransfer::sigPercent, this, [this](uint percent) {
        qDebug() << "updateFirmwareKestrel percent" << percent;
        emit sig_ProcessVaule(int(percent));
    });
    connect(m_fwUpdate, &FirmwareTransfer::sigUpdateResult, this,
            &DCDataHandle::onFirmwareTransferResult);
    emit sig_Update(path);
}

void DCDataHandle::onFirmwareTransferResult(bool ok)
{
    // The transfer may still be returning from the emit that brought us here.
    if (m_fwUpdate) {
        disconnect(this, nullptr, m_fwUpdate, nullptr);
        disconnect(m_fwUpdate, nullptr, this, nullptr);
        m_fwUpdate->deleteLater();
    }
    m_fwUpdate = nullptr;
    OnFirmwareUpdateResult(ok);
}

void DCDataHandle::OnFirmwareUpdateResult(bool ok)
{
    qDebug() << "FirmWareUpdateResult" << ok;
    DeviceClock::sleep(500);
    emit sig_closeUpdatingWidget();
    const QString name = Products::modelName(MouseType::current());
    if (ok) {
        qDebug() << "firmWareUpdateResult TRUE";
        emit sig_ShowWarningDialog(WarningUpdateSucceeded);
        emit sig_CloseUpdateMouseDialog();
        sendEvent(QStringLiteral("FirmwareUpdateSucceeded"), name);
    } else {
        qDebug() << "firmWareUpdateResult FALSE";
        emit sig_ShowWarningDialog(WarningUpdateFailed);
        sendEvent(QStringLiteral("FirmwareUpdateFailed"), name);
    }
    emit sig_StartCheckDeviceTimer();
    DeviceClock::sleep(100);
}

void DCDataHandle::slot_OLEDScreenpParameter(int behaviour)
{
    if (!m_manager)
        return;
    emit sig_ShowLoadingDialog();
    if (!m_manager->SetOLEDScreenParameter(behaviour))
        warningReadOrWriteError();
    emit sig_EndLoadingDialog();
}

void DCDataHandle::slot_SetOLEDScreenLightIntensity(int intensity)
{
    if (!m_manager)
        return;
    emit sig_ShowLoadingDialog();
    if (!m_manager->SetOLEDScreenLightIntensity(intensity))
        warningReadOrWriteError();
    emit sig_EndLoadingDialog();
}

void DCDataHandle::slot_startCode()
{
    m_codeTicks = 0;
    if (!m_receiverDriver) {
        emit sig_startCode(false);
        return;
    }
    bool started = false;
    const BYTE enter[2] = {0xA0, 0x81};
    if (SendCommandDongle(enter, 2)) {
        qDebug() << QString::fromUtf8("对码命令A0发送成功");
        // The receiver listens for a mouse on an address of our choosing.
        std::srand(unsigned(QTime(0, 0).secsTo(QTime::currentTime())));
        // Receivers have only ever seen addresses in the classic C range 0..32767.
        const int addr = std::rand() & 0x7FFF;
        qDebug().noquote() << "addr:" << QString::number(addr, 16);
        const BYTE setAddress[6] = {0xA1, 0x8F, BYTE(addr), BYTE(addr >> 8), BYTE(addr >> 16),
                                    BYTE(addr >> 24)};
        started = SendCommandDongle(setAddress, 6);
    }
    if (started) {
        qDebug() << QString::fromUtf8("开始对码");
        emit sig_startTimer(kPairingPollMs);
        emit sig_startCode(true);
    } else {
        emit sig_startCode(false);
    }
}

void DCDataHandle::slot_stopCode()
{
    emit sig_stopTimer();
    qDebug() << QString::fromUtf8("停止对码");
}

void DCDataHandle::slot_codetimerout()
{
    ++m_codeTicks;
    const QString name = Products::modelName(MouseType::current());
    if (m_codeTicks >= kPairingMaxTicks) {
        emit sig_stopTimer();
        qDebug() << QString::fromUtf8("对码失败");
        sendEvent(QStringLiteral("PairingFailed"), name);
        emit sig_finishCode(false);
        return;
    }
    int mode = 0;
    if (!readWorkModel(&mode)) {
        emit sig_stopTimer();
        qDebug() << QString::fromUtf8("对码失败");
        sendEvent(QStringLiteral("PairingFailed"), name);
        emit sig_finishCode(false);
    } else if (mode == 0) {
        emit sig_stopTimer();
        qDebug() << QString::fromUtf8("对码完成");
        sendEvent(QStringLiteral("PairingSucceeded"), name);
        emit sig_finishCode(true);
    }
}

void DCDataHandle::slot_GetProfileFromMouse()
{
    if (!m_manager)
        return;
    emit sig_ShowLoadingDialog();
    GetProfileFromMouse();
    emit sig_EndLoadingDialog();
}

void DCDataHandle::GetProfileFromMouse()
{
    if (!m_manager)
        return;
    const int mouseType = MouseType::current();
    emit sig_ShowLoadingDialog();
    qDebug() << "GetProfileFromMouse";
    if (m_manager->GetProfileData()) {
        DWORD version = 0;
        m_manager->GetFwVersion(&version);
        emit sig_VersionNumber(int(version));
        m_fwVersion = int(version);
        qDebug() << "GetProfileFromMouse GetFwVersion" << version;
        m_manager->TurnOldTxtFileToNewJsonFile();
        int number = 0;
        if (m_manager->CompareMouseAndLocalFileData(&number)) {
            // Later CPI changes edit the gear file of the configuration the mouse holds.
            m_configNumber = number;
            emit sig_SetCurrentConfigure(number);
            LoadGearJson(number);
            RefreshPages();
        } else {
            useDefaultGear(mouseType);
            emit sig_ShowWarningDialog(WarningNoMatchingConfig);
        }
    } else {
        warningReadOrWriteError();
        emit sig_VersionNumber(fallbackVersion(mouseType));
        qDebug() << "slot_GetProfileFromMouse failed";
    }
    m_batteryFilter.restart();
    sendEvent(QStringLiteral("GetProfileFromMouse"), Products::modelName(mouseType));
    emit sig_EndLoadingDialog();
}

void DCDataHandle::warningReadOrWriteError()
{
    emit sig_ShowWarningDialog(WarningReadOrWrite);
    m_batteryFilter.reopenAgreement();
    const int mouseType = MouseType::current();
    if (m_manager && m_manager->GetErrorCount() >= kRepairErrorCount)
        emit sig_ShowUpdateWidget(true, true, mouseType, false);
    sendEvent(QStringLiteral("ReadOrWriteError"), Products::modelName(mouseType));
}

// ---------------------------------------------------------------- flows

void DCDataHandle::RefreshPages()
{
    if (!m_manager)
        return;
    // After the first failure the mouse is gone or refusing; one warning is enough.
    if (!readCpiToPage() || !readReportRateToPage())
        return;
    emit sig_ShowLoadingDialog();
    m_manager->GetLightParameter(&m_lightParam, m_bank);
    emit sig_SetLightParameterOnPage(m_lightParam);
    emit sig_EndLoadingDialog();
    emit sig_ShowLoadingDialog();
    m_manager->CheckAllMouseButtonIsOriginalMouseButton();
    emit sig_EndLoadingDialog();
}

bool DCDataHandle::CheckReceiverPairing(USHORT pid)
{
    if (!Products::isReceiverPid(pid))
        return true;
    const ProductInfo *product = Products::byPid(pid);
    int paired = 0;
    m_manager->GetMousePid(&paired);
    if (paired == 0 || paired == product->wiredPid)
        return true;

    // Paired with another model: put the receiver back into its pairing state.
    const BYTE reset[2] = {0xA0, 0x81};
    if (SendCommandDongle(reset, 2))
        qDebug() << "CheckReceiverPairing A0 81 sent";
    const BYTE unpair[2] = {0xA1, 0x81};
    if (SendCommandDongle(unpair, 2))
        qDebug() << "CheckReceiverPairing A1 81 sent";
    emit sig_ShowWarningDialog(WarningReceiverPairedElsewhere);
    sendEvent(QStringLiteral("ReceiverPairedElsewhere"), Products::modelName(product->mouseType));
    return false;
}

bool DCDataHandle::SendCommandDongle(const BYTE *bytes, int length)
{
    if (!m_receiverDriver)
        return false;
    if (!dongleWrite(bytes, length)) {
        qDebug() << "SendCommandDONGLE write Failed";
        return false;
    }
    for (int i = 0; i < kDongleAckReads; ++i) {
        DeviceClock::sleep(kDongleAckSleepMs);
        BYTE reply[2] = {};
        if (dongleRead(reply) && reply[0] == 1) {
            qDebug() << "GetCommand ACK == 1 OK";
            return true;
        }
    }
    qDebug() << "GetCommand ACK != 1 Failed";
    return false;
}

bool DCDataHandle::readWorkModel(int *mode)
{
    if (!m_receiverDriver)
        return false;
    const BYTE command[1] = {0xA7};
    if (dongleWrite(command, 1)) {
        for (int i = 0; i < kDongleAckReads; ++i) {
            DeviceClock::sleep(kDongleAckSleepMs);
            BYTE reply[2] = {};
            if (dongleRead(reply) && reply[0] == 1) {
                *mode = reply[1];
                return true;
            }
        }
    }
    qDebug() << "readWorkModel failed";
    return false;
}

// ---------------------------------------------------------------- family and files

std::unique_ptr<USBDriverManger> DCDataHandle::makeKestrelManager(const QString &wiredFilter,
                                                                 const QString &receiverFilter,
                                                                 bool isWireless,
                                                                 USBDriverKestrel **receiver)
{
    auto driver = new USBDriverKestrel;
    *receiver = driver;
    driver->SetWiredWirelessString(wiredFilter, receiverFilter);
    driver->SetMode(isWireless ? 1 : 0);
    auto manager = std::make_unique<UsbDriverMangerKestrel>();
    manager->SetDriver(driver); // the manager owns the driver from here on
    return manager;
}

bool DCDataHandle::dongleWrite(const BYTE *bytes, int length)
{
    return m_receiverDriver && m_receiverDriver->WriteDongle(bytes, length);
}

bool DCDataHandle::dongleRead(BYTE reply[2])
{
    return m_receiverDriver && m_receiverDriver->ReadDongle(reply);
}

void DCDataHandle::LoadGearJson(int number)
{
    const int mouseType = MouseType::current();
    const QString path = GearHandle::gearFilePath(mouseType, number);
    SharedGear::setCurrent(QFile::exists(path) ? m_gearHandle->ReadGearFile(mouseType, number)
                                               : m_gearHandle->CreateDefaultGearFile(mouseType, number));
}

void DCDataHandle::SetGearLevelsEnabled(const QList<DWORD> &list)
{
    const int mouseType = MouseType::current();
    QJsonObject gear = SharedGear::current();
    for (int i = 0; i < list.size(); ++i) {
        qDebug() << "setGearHanlePositionEnable level value" << i << list.at(i);
        m_gearHandle->SetGearEnable(mouseType, m_configNumber, gear, i, list.at(i) != 0);
    }
    SharedGear::setCurrent(gear);
}

void DCDataHandle::resetGearFile(int mouseType, int number)
{
    SharedGear::setCurrent(m_gearHandle->CreateDefaultGearFile(mouseType, number));
}

void DCDataHandle::useDefaultGear(int mouseType)
{
    SharedGear::setCurrent(m_gearHandle->BuildDefaultGear(mouseType));
}

QString DCDataHandle::picturePath(int mouseType, int number) const
{
    return JsonHandle::currentPicturePath(mouseType, number);
}
