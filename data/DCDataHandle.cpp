#include "data/DCDataHandle.h"

#include "device/DeviceMetaTypes.h"

#include "device/FamilyTable.h"
#include "device/fwupdate/FirmwareUpdateRun.h"
#include "device/hidparse/HidParse.h"
#include "model/ProductTable.h"
#include "platform/DeviceClock.h"
#include "platform/Log.h"
#include "platform/hid/HidBackend.h"
#include "store/GearHandle.h"
#include "store/JsonHandle.h"
#include "store/SafeFile.h"
#include "store/TextTable.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QTime>
#include <QPointer>
#include <iterator>
#include <memory>
#include <cstdlib>
#include <string>

namespace {

// Seven CPI level positions on the pages.
constexpr int kCpiLevels = 7;
// Firmware update requests one run may make before the user is told to restart.
constexpr int kMaxUpdateRequests = 36;
// 200 polls of 100 ms: pairing gives up after 20 s.
constexpr int kPairingPollMs = 100;
constexpr int kPairingMaxTicks = DCDataHandle::kPairingTimeoutMs / kPairingPollMs;
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

QString categoryDevice() { return QStringLiteral("Device"); }
QString screenBridge() { return QStringLiteral("DCDataHandle"); }

} // namespace

DCDataHandle::DCDataHandle(QObject *parent)
    : QObject(parent), m_jsonHandle(new JsonHandle(this)), m_codeTimer(this),
      m_gearHandle(new GearHandle(this))
{
    connect(&m_codeTimer, &QTimer::timeout, this, &DCDataHandle::slot_codetimerout);
    // On the virtual clock the polls run back to back, each counted as the
    // interval it stands for, so a pairing time-out costs no waiting.
    connect(this, &DCDataHandle::sig_startTimer, this,
            [this](int interval) { m_codeTimer.start(DeviceClock::isVirtual() ? 0 : interval); });
    connect(this, &DCDataHandle::sig_stopTimer, &m_codeTimer, &QTimer::stop);
}

DCDataHandle::~DCDataHandle()
{
    dropManager();
    m_fwUpdate.reset();
}

void DCDataHandle::registerMetaTypes()
{
    registerDeviceMetaTypes();
}

void DCDataHandle::setFirmwareTransferMaker(FirmwareTransferMaker maker)
{
    m_transferMaker = std::move(maker);
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
    leavePairing();
    m_receiverDriver.reset();
    m_manager.reset();
}

bool DCDataHandle::managerRequest(OnFailure onFailure, const std::function<bool(USBDriverManger &)> &call)
{
    if (!m_manager)
        return false;
    emit sig_ShowLoadingDialog();
    const bool ok = call(*m_manager);
    if (!ok && onFailure == OnFailure::Warn) {
        warningReadOrWriteError();
        resyncAfterRefusedWrite();
    }
    emit sig_EndLoadingDialog();
    return ok;
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
    managerRequest(OnFailure::Warn, [&](USBDriverManger &manager) {
        const bool ok = manager.SetCPIList(dwordList, m_bank);
        if (ok)
            SetGearLevelsEnabled(dwordList);
        qDebug() << (ok ? "slot_setDPIValueOnMouse is True" : "slot_setDPIValueOnMouse is False");
        qDebug() << "slot_setCPIListValueOnMouse" << dwordList;
        return ok;
    });
}

void DCDataHandle::slot_OpenDevice(USHORT Pid, USHORT Vid)
{
    // A mouse in its boot loader belongs to the firmware update, not to us.
    if (Pid == Products::kFirstFamilyBootPid)
        return;
    if (!openManager(Pid, Vid))
        return;
    const int mouseType = MouseType::current();
    if (!CheckReceiverPairing(Pid))
        return;
    connectSignal();
    m_pid = Pid;
    emit sig_OpenDeviceResult(true, mouseType, m_isWireless);
    GetProfileFromMouse();
    sendEvent(QStringLiteral("OpenDeviceSucceeded"), Products::modelName(mouseType));
}

void DCDataHandle::openDeviceForIdentity(USHORT Pid, USHORT Vid)
{
    if (Pid == Products::kFirstFamilyBootPid)
        return;
    if (!openManager(Pid, Vid))
        return;
    // Reads only: no pairing repair, no profile, nothing written.
    m_pid = Pid;
    emit sig_OpenDeviceResult(true, MouseType::current(), m_isWireless);
    DWORD version = 0;
    if (m_manager->GetFwVersion(&version)) {
        m_fwVersion = int(version);
        emit sig_VersionNumber(int(version));
    }
}

bool DCDataHandle::openManager(USHORT Pid, USHORT Vid)
{
    m_isWireless = false;
    MouseType::setCurrent(0);
    dropManager();
    m_pid = 0;

    qDebug().noquote() << QString::asprintf("openDevice Pid 0x%x", unsigned(Pid));
    ++m_openCount;
    qDebug() << "openDevice Count" << m_openCount;

    const ProductInfo *product = Products::byPid(Pid);
    const FamilyEntry *family = product ? Families::find(product->family) : nullptr;
    if (!family) {
        emit sig_OpenDeviceResult(false, MouseType::current(), m_isWireless);
        return false;
    }
    FamilyRequest request;
    request.product = product;
    request.viaReceiver = Pid == product->receiverPid;
    request.wiredFilter = Products::pathFilter(product->wiredPid);
    if (product->receiverPid)
        request.receiverFilter = Products::pathFilter(product->receiverPid);
    buildFamilyParts(*family, request);
    MouseType::setCurrent(product->mouseType);
    m_isWireless = request.viaReceiver;
    if (!m_manager) {
        emit sig_OpenDeviceResult(false, MouseType::current(), m_isWireless);
        return false;
    }

    const int mouseType = MouseType::current();
    const QString name = Products::modelName(mouseType);
    m_manager->SetMouseTypeName(name);
    m_manager->SetMousePid(Pid, Vid);
    qDebug() << "openDevice" << name;
    sendEvent(QStringLiteral("OpenDevice"), name);

    if (!m_manager->InitDevice()) {
        const Hid::OpenFailure why = Hid::lastOpenFailure();
        qCWarning(lcData).noquote() << "the" << name << "cannot be opened:" << (why.text.isEmpty() ? QStringLiteral("-") : why.text);
        emit sig_DeviceCannotOpen(why.permission, why.text);
        sendEvent(QStringLiteral("OpenDeviceFailed"), name);
        emit sig_OpenDeviceResult(false, mouseType, m_isWireless);
        return false;
    }
    m_manager->SetCurrentBank(m_bank);
    return true;
}

void DCDataHandle::createAKorvanInitObject(KorvanUSBDriver *, int mosueType, const wchar_t *wireless,
                                           const wchar_t *wired, bool isWireless)
{
    const FamilyEntry *family = Families::find(Family::First);
    if (!family)
        return;
    FamilyRequest request;
    request.product = Products::byType(mosueType);
    request.viaReceiver = isWireless;
    request.wiredFilter = QString::fromWCharArray(wireless);
    request.receiverFilter = QString::fromWCharArray(wired);
    buildFamilyParts(*family, request);
    MouseType::setCurrent(mosueType);
}

void DCDataHandle::buildFamilyParts(const FamilyEntry &family, const FamilyRequest &request)
{
    dropManager();
    FamilyParts parts = family.make(request);
    m_manager = std::move(parts.manager);
    m_receiverDriver = m_manager ? std::move(parts.receiver) : nullptr;
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

bool DCDataHandle::readCpiToPage(bool warn)
{
    if (!m_manager)
        return false;
    DWORD levels[kCpiLevels] = {};
    if (!m_manager->GetCPIStageMatrix(levels, m_bank)) {
        qDebug() << "DCDataHandle setDPIValueOnPage false";
        if (warn)
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

bool DCDataHandle::readReportRateToPage(bool warn)
{
    if (!m_manager)
        return false;
    DWORD index = 0;
    if (!m_manager->GetReportRate(&index, m_bank)) {
        if (warn)
            warningReadOrWriteError();
        return false;
    }
    emit sig_SetCurrentReportRate(int(index));
    return true;
}

void DCDataHandle::setLightParameterOnPage()
{
    managerRequest(OnFailure::Ignore, [this](USBDriverManger &manager) {
        manager.GetLightParameter(&m_lightParam, m_bank);
        emit sig_SetLightParameterOnPage(m_lightParam);
        return true;
    });
}

void DCDataHandle::setMouseButtonOnPage()
{
    managerRequest(OnFailure::Ignore, [](USBDriverManger &manager) {
        manager.CheckAllMouseButtonIsOriginalMouseButton();
        return true;
    });
}

void DCDataHandle::slot_SetMouseColor(bool isWheelLightChange, QList<COLORREF> colorList)
{
    managerRequest(OnFailure::Warn, [&](USBDriverManger &manager) {
        qDebug() << "slot_SetMouseColor";
        return manager.SetMouseColorList(isWheelLightChange, colorList, m_bank);
    });
}

void DCDataHandle::slot_ChangeUsbReportRate(int value)
{
    managerRequest(OnFailure::Warn, [&](USBDriverManger &manager) { return manager.SetReportRate(value, m_bank); });
}

void DCDataHandle::slot_setMouseLightMode(bool isWheelLightChange, int value)
{
    managerRequest(OnFailure::Warn,
                   [&](USBDriverManger &manager) { return manager.SetMouseLightMode(isWheelLightChange, value); });
}

void DCDataHandle::slot_MouseContinueLightDegree(bool isWheelLightChange, int value)
{
    managerRequest(OnFailure::Warn,
                   [&](USBDriverManger &manager) { return manager.SetMouseLightDegree(isWheelLightChange, value); });
}

void DCDataHandle::slot_MouseBreathSpeed(bool isWheelLightChange, int value)
{
    managerRequest(OnFailure::Warn,
                   [&](USBDriverManger &manager) { return manager.SetMouseBreathSpeed(isWheelLightChange, value); });
}

void DCDataHandle::slot_ChangeButtonToKey(int button, uint vkCode, int modifyKey, int changeType)
{
    if (!managerRequest(OnFailure::Warn, [&](USBDriverManger &manager) {
            return manager.SetChangeButtonToKey(button, vkCode, modifyKey, changeType, m_bank);
        }) && m_manager)
        qDebug() << "slot_ChangeButtonToKey failed";
}

void DCDataHandle::slot_ChangeButtonToMacro(int macroType, int button, uint)
{
    // The manager chooses the macro slot itself; the page's address never reaches the mouse.
    managerRequest(OnFailure::Ignore, [&](USBDriverManger &manager) {
        return manager.SetChangeButtonToMacro(button, 0, uint(macroType));
    });
}

void DCDataHandle::slot_WriteSingleMacro(int button, QString path)
{
    const bool ok = managerRequest(OnFailure::Warn,
                                   [&](USBDriverManger &manager) { return manager.WriteSingleMacro(button, path); });
    if (m_manager)
        qDebug() << (ok ? "slot_WriteSingleMacro True" : "slot_WriteSingleMacro False");
}

void DCDataHandle::slot_WriteListMacro(QStringList macroList)
{
    managerRequest(OnFailure::Ignore, [&](USBDriverManger &manager) {
        const bool ok = manager.WriteListMacro(macroList);
        if (ok)
            emit sig_ShowWarningDialog(WarningMacroListWritten);
        return ok;
    });
}

void DCDataHandle::slot_LoadLocalConfigFileAndWriteIntoMouse(int number)
{
    loadConfiguration(number, false);
}

void DCDataHandle::slot_LoadOnlyLocalMouseConfigFileAndWriteIntoMouse(int number)
{
    loadConfiguration(number, true);
}

bool DCDataHandle::loadConfiguration(int number, bool profileOnly)
{
    if (!m_manager)
        return false;
    if (number < 1 || number > kConfigCount) {
        qWarning() << "loadConfiguration: no configuration" << number;
        return false;
    }
    emit sig_ShowLoadingDialog();
    m_configNumber = number;
    m_configKnown = true;
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
        resyncAfterRefusedWrite();
    }

    const int mouseType = MouseType::current();
    if (loaded && Products::hasScreenPicture(mouseType) && m_manager->GetOLEDScreenParameter() == kOledPictureMode) {
        managerRequest(OnFailure::Warn, [&](USBDriverManger &manager) {
            return manager.WriteImageToMouse(mouseType, QString::number(m_configNumber), 0, 1);
        });
    }
    emit sig_EndLoadingDialog();
    return loaded;
}

ConfigPackage::Outcome DCDataHandle::exportConfiguration(int number, const QString &path)
{
    using namespace ConfigPackage;
    const int mouseType = MouseType::current();
    if (!m_manager)
        return Outcome{Problem::NoMouse, QString()};
    if (number < 1 || number > kConfigCount)
        return Outcome{Problem::NothingToExport, QString::number(number)};
    // The folder is the user's to make: a typo must not create one (as root, anywhere).
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isDir())
        return Outcome{Problem::NoFolder, folder, true};
    // The configuration the mouse holds may not have been written down yet.
    if (number == m_configNumber && !QFile::exists(JsonHandle::currentConfigJsonFilePath(mouseType, number)))
        m_manager->SaveConfigFileByConfigureNumber(number);
    Contents contents;
    Outcome outcome = collect(mouseType, number, &contents);
    // What we write must be what we would take back.
    const QByteArray bytes = outcome.ok() ? serialise(mouseType, contents) : QByteArray();
    if (outcome.ok())
        outcome = parse(bytes, mouseType, &contents);
    if (outcome.ok() && !SafeFile::writeAtomically(path, bytes))
        outcome = Outcome{Problem::WriteFailed, path};
    qDebug() << "exportConfiguration" << number << path << int(outcome.problem) << outcome.detail;
    outcome.exporting = true;
    return outcome;
}

ConfigPackage::Outcome DCDataHandle::importConfiguration(int number, const QString &path)
{
    using namespace ConfigPackage;
    const int mouseType = MouseType::current();
    if (!m_manager)
        return Outcome{Problem::NoMouse, QString()};
    if (number < 1 || number > kConfigCount)
        return Outcome{Problem::BadValue, QString::number(number)};
    Contents contents;
    Outcome outcome = readFile(path, mouseType, &contents);
    qDebug() << "importConfiguration" << number << path << int(outcome.problem) << outcome.detail;
    if (!outcome.ok())
        return outcome;
    const Saved before = save(mouseType, number);
    outcome = install(mouseType, number, contents);
    if (!outcome.ok())
        return outcome;
    if (!loadConfiguration(number, false)) {
        // The mouse was read back by the failed load; its files go back too.
        restore(before);
        LoadGearJson(m_configNumber);
        return Outcome{Problem::MouseRefused, QString()};
    }
    emit sig_SetCurrentConfigure(number);
    return outcome;
}

void DCDataHandle::slot_ExportConfiguration(int number, QString path)
{
    const ConfigPackage::Outcome outcome = exportConfiguration(number, path);
    emit sig_ConfigurationExported(outcome.ok(), outcome.ok() ? TextTable::textWith(TextTable::TextConfigExported, path)
                                                             : outcome.message(MouseType::current()));
}

void DCDataHandle::slot_ImportConfiguration(int number, QString path)
{
    const ConfigPackage::Outcome outcome = importConfiguration(number, path);
    emit sig_ConfigurationImported(outcome.ok(), outcome.ok() ? TextTable::textWith(TextTable::TextConfigImported,
                                                                                   QString::number(number))
                                                             : outcome.message(MouseType::current()));
}

void DCDataHandle::slot_SaveProfileToConfig1()
{
    // The user keeps what the mouse holds as configuration 1: from now on
    // its changes are saved there, and its CPI values become that file's.
    managerRequest(OnFailure::Ignore, [](USBDriverManger &manager) {
        qDebug() << "slot_SaveProfileToConfig1";
        manager.SetCurrentConfigNumber(1);
        manager.SaveConfigFileByConfigureNumber(1);
        manager.SaveProfileToConfig1();
        return true;
    });
    if (m_manager) {
        m_configNumber = 1;
        m_configKnown = true;
        m_gearHandle->WriteGearFile(MouseType::current(), 1, SharedGear::current());
        emit sig_SetCurrentConfigure(1);
    }
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
    if (Products::batteryIsSteady(MouseType::current(), m_fwVersion))
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
        resyncAfterRefusedWrite();
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
    if (Products::clearsPictureOnReset(mouseType)) {
        managerRequest(OnFailure::Warn, [&](USBDriverManger &manager) {
            return manager.WriteImageToMouse(mouseType, QStringLiteral("0"), 0, 1);
        });
    }
    // All five are the factory's now: the mouse starts on configuration 1.
    m_configNumber = 1;
    m_configKnown = true;
    m_manager->SetCurrentConfigNumber(1);
    LoadGearJson(1);
    emit sig_SetCurrentConfigure(1);
    RefreshPages();
    emit sig_FactorySettingsRestored();
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
    m_pairing = false; // the receiver is gone: nothing to tell it
    m_manager->UnInitDevice();
    m_receiverDriver.reset();
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
    m_fwUpdate.reset();

    // Only the first family's models are updated by the transfer; the others get no paths.
    const ProductInfo *product = Products::byName(mouseType);
    const bool firstFamily = product && product->family == Family::First;
    const QString normalPath = firstFamily ? Products::pathFilter(product->wiredPid) : QString();
    const QString bootPath = firstFamily ? Products::pathFilter(Products::kFirstFamilyBootPid) : QString();
    std::unique_ptr<FirmwareTransfer> transfer = m_transferMaker ? m_transferMaker() : nullptr;
    if (!transfer) {
        qWarning() << "FirmwareUpdate: no firmware transfer available";
        OnFirmwareUpdateResult(false);
        return;
    }
    transfer->SetDevicePaths(normalPath, bootPath);
    m_fwUpdate = std::make_unique<FirmwareUpdateRun>(std::move(transfer));
    FirmwareTransfer *running = m_fwUpdate->transfer();
    connect(this, &DCDataHandle::sig_Update, running, &FirmwareTransfer::slotUpdate);
    // The transfer tells its progress packet by packet; the window hears of
    // it only when the percentage it shows changes.
    auto shown = std::make_shared<int>(-1);
    connect(running, &FirmwareTransfer::sigPercent, this, [this, shown](uint percent) {
        if (int(percent) == *shown)
            return;
        *shown = int(percent);
        qDebug() << "updateFirmwareKestrel percent" << percent;
        emit sig_ProcessVaule(int(percent));
    });
    const QPointer<FirmwareTransfer> from(running);
    connect(running, &FirmwareTransfer::sigUpdateResult, this,
            [this, from](bool ok) { onFirmwareTransferResult(from, ok); });
    emit sig_Update(path);
}

void DCDataHandle::onFirmwareTransferResult(const FirmwareTransfer *from, bool ok)
{
    // A transfer that a newer request replaced has already been ended with its run.
    if (from && m_fwUpdate && m_fwUpdate->transfer() == from)
        m_fwUpdate.reset();
    OnFirmwareUpdateResult(ok);
    // The mouse went through its boot loader, so the open handle is stale:
    // open it again once it is back in normal mode (a mouse left in its boot
    // loader is found as such by the presence scan).
    if (m_manager && m_pid != 0 && FindHidDevice(Products::pathFilter(m_pid)))
        slot_OpenDeviceAgain();
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
    managerRequest(OnFailure::Warn,
                   [&](USBDriverManger &manager) { return manager.SetOLEDScreenParameter(behaviour); });
}

void DCDataHandle::slot_SetOLEDScreenLightIntensity(int intensity)
{
    managerRequest(OnFailure::Warn,
                   [&](USBDriverManger &manager) { return manager.SetOLEDScreenLightIntensity(intensity); });
}

void DCDataHandle::slot_startCode()
{
    m_codeTicks = 0;
    if (!m_receiverDriver) {
        emit sig_startCode(false);
        return;
    }
    bool started = false;
    leavePairing(); // a pairing still open from before ends first
    if (SendCommandDongle(ReceiverChannel::EnterPairing)) {
        m_pairing = true;
        qDebug() << QString::fromUtf8("对码命令A0发送成功");
        // The receiver listens for a mouse on an address of our choosing.
        std::srand(unsigned(QTime(0, 0).secsTo(QTime::currentTime())));
        // Receivers have only ever seen addresses in the classic C range 0..32767.
        const int addr = std::rand() & 0x7FFF;
        qDebug().noquote() << "addr:" << QString::number(addr, 16);
        started = SendCommandDongle(ReceiverChannel::ListenOn, quint32(addr));
    }
    if (started) {
        qDebug() << QString::fromUtf8("开始对码");
        emit sig_startTimer(kPairingPollMs);
        emit sig_startCode(true);
    } else {
        leavePairing();
        emit sig_startCode(false);
    }
}

void DCDataHandle::leavePairing()
{
    if (!m_pairing)
        return;
    m_pairing = false;
    if (m_receiverDriver && SendCommandDongle(ReceiverChannel::LeavePairing))
        qDebug() << "leavePairing: the receiver stopped listening";
    else
        qCWarning(lcData) << "leavePairing: the receiver did not confirm it stopped listening";
}

bool DCDataHandle::unpairReceiver()
{
    // As for a receiver paired with another model: it forgets its mouse and
    // leaves pairing again, paired with none.
    if (!m_receiverDriver)
        return false;
    const bool forgot = SendCommandDongle(ReceiverChannel::EnterPairing);
    const bool left = SendCommandDongle(ReceiverChannel::LeavePairing);
    sendEvent(QStringLiteral("Unpaired"), Products::modelName(MouseType::current()));
    return forgot && left;
}

void DCDataHandle::slot_stopCode()
{
    emit sig_stopTimer();
    leavePairing();
    qDebug() << QString::fromUtf8("停止对码");
}

void DCDataHandle::slot_codetimerout()
{
    if (DeviceClock::isVirtual() && m_codeTimer.isActive())
        DeviceClock::sleep(kPairingPollMs);
    ++m_codeTicks;
    const QString name = Products::modelName(MouseType::current());
    if (m_codeTicks >= kPairingMaxTicks) {
        emit sig_stopTimer();
        leavePairing();
        qDebug() << QString::fromUtf8("对码失败");
        sendEvent(QStringLiteral("PairingFailed"), name);
        emit sig_finishCode(false);
        return;
    }
    int mode = 0;
    if (!readWorkModel(&mode)) {
        emit sig_stopTimer();
        leavePairing();
        qDebug() << QString::fromUtf8("对码失败");
        sendEvent(QStringLiteral("PairingFailed"), name);
        emit sig_finishCode(false);
    } else if (mode == 0) {
        emit sig_stopTimer();
        m_pairing = false; // the receiver left pairing by itself
        qDebug() << QString::fromUtf8("对码完成");
        sendEvent(QStringLiteral("PairingSucceeded"), name);
        emit sig_finishCode(true);
    }
}

void DCDataHandle::slot_GetProfileFromMouse()
{
    managerRequest(OnFailure::Ignore, [this](USBDriverManger &) {
        GetProfileFromMouse();
        return true;
    });
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
            m_configKnown = true;
            emit sig_SetCurrentConfigure(number);
            LoadGearJson(number);
            RefreshPages();
        } else {
            m_configKnown = false;
            useDefaultGear(mouseType);
            emit sig_ShowWarningDialog(WarningNoMatchingConfig);
        }
    } else {
        warningReadOrWriteError();
        emit sig_VersionNumber(Products::fallbackFirmware(mouseType));
        qDebug() << "slot_GetProfileFromMouse failed";
    }
    m_batteryFilter.restart();
    sendEvent(QStringLiteral("GetProfileFromMouse"), Products::modelName(mouseType));
    emit sig_EndLoadingDialog();
    // The page shows what was read; what the open still owes the mouse
    // follows, before any request the user makes meanwhile (a failure is
    // logged by the manager; the open itself stands).
    m_manager->FinishOpen();
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

void DCDataHandle::resyncAfterRefusedWrite()
{
    // A mouse that is gone has nothing to read; the presence scan ends it.
    if (!m_manager || m_manager->IsDeviceLost())
        return;
    qDebug() << "resyncAfterRefusedWrite";
    if (!m_manager->GetProfileData())
        return;
    // A damaged answer can hide a write the mouse took: what it holds now
    // goes into its configuration's files too, so page, files and mouse agree.
    if (m_configKnown) {
        m_manager->SaveConfigFileByConfigureNumber(m_configNumber);
        DWORD levels[kCpiLevels] = {};
        if (m_manager->GetCPIStageMatrix(levels, m_bank))
            SetGearLevelsEnabled(QList<DWORD>(std::begin(levels), std::end(levels)));
    }
    RefreshPages(false);
}

void DCDataHandle::RefreshPages(bool warnOnFailure)
{
    if (!m_manager)
        return;
    // A value the mouse refuses, or one we cannot read, leaves only its own
    // page as it was: the others still fill. A mouse that is gone ends the
    // refresh. Either way one warning is enough.
    bool failed = false;
    auto goOn = [this, &failed](bool ok) {
        failed = failed || !ok;
        return ok || !m_manager->IsDeviceLost();
    };
    bool alive = goOn(readCpiToPage(false)) && goOn(readReportRateToPage(false));
    if (alive) {
        emit sig_ShowLoadingDialog();
        alive = goOn(m_manager->GetLightParameter(&m_lightParam, m_bank));
        if (alive)
            emit sig_SetLightParameterOnPage(m_lightParam);
        emit sig_EndLoadingDialog();
    }
    if (alive) {
        emit sig_ShowLoadingDialog();
        m_manager->CheckAllMouseButtonIsOriginalMouseButton();
        emit sig_EndLoadingDialog();
    }
    if (failed && warnOnFailure)
        warningReadOrWriteError();
}

bool DCDataHandle::CheckReceiverPairing(USHORT pid)
{
    const USHORT expected = Products::wiredPidOfReceiver(pid);
    if (expected == 0)
        return true;
    const ProductInfo *product = Products::byPid(pid);
    int paired = 0;
    m_manager->GetMousePid(&paired);
    if (paired == 0 || paired == expected)
        return true;

    // Paired with another model: put the receiver back into its pairing state.
    if (SendCommandDongle(ReceiverChannel::EnterPairing))
        qDebug() << "CheckReceiverPairing EnterPairing sent";
    if (SendCommandDongle(ReceiverChannel::LeavePairing))
        qDebug() << "CheckReceiverPairing LeavePairing sent";
    emit sig_ShowWarningDialog(WarningReceiverPairedElsewhere);
    sendEvent(QStringLiteral("ReceiverPairedElsewhere"), Products::modelName(product->mouseType));
    return false;
}

bool DCDataHandle::SendCommandDongle(ReceiverChannel::Command command, quint32 argument)
{
    return m_receiverDriver && m_receiverDriver->SendCommand(command, argument);
}

bool DCDataHandle::readWorkModel(int *mode)
{
    return m_receiverDriver && m_receiverDriver->ReadWorkMode(mode);
}

// ---------------------------------------------------------------- family and files

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
