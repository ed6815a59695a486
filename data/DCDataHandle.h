#pragma once
#include "data/BatteryFilter.h"
#include "data/ConfigPackage.h"
#include "device/DeviceTypes.h"
#include "device/ReceiverChannel.h"
#include "device/USBDriverManger.h"
#include "device/fwupdate/FirmwareTransfer.h"

#include <QImage>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

class JsonHandle;
class GearHandle;
class KorvanUSBDriver;
struct FamilyEntry;
struct FamilyRequest;
class FirmwareUpdateRun;

// The one object through which the pages and the main window reach the
// mouse. It lives on a worker thread of its own: requests arrive as queued
// signals and run one at a time, results leave as signals. It owns the
// manager of the open device (which owns its driver), drives receiver
// pairing and firmware update requests, and filters the battery value of
// wireless mice before the window shows it.
//
// The signals and slots below are declared in a fixed order that the window
// and the pages connect to by name; new members go elsewhere.
class DCDataHandle : public QObject
{
    Q_OBJECT
public:
    explicit DCDataHandle(QObject *parent = nullptr);
    ~DCDataHandle() override;

    // Opens the mouse to tell what it is (model, connection, firmware) and
    // nothing more: no profile read, no write; battery readings may follow.
    void openDeviceForIdentity(USHORT Pid, USHORT Vid);
    // How long pairing waits for a mouse before it gives up (the pairing page's wait).
    static constexpr int kPairingTimeoutMs = 20000;
    // The receiver of the open mouse forgets the mouse it is paired with;
    // false without a receiver or when it did not take the commands.
    bool unpairReceiver();

    // Registers the types that cross threads through this object's signals
    // and slots; call once before the first queued connection.
    static void registerMetaTypes();

    // The firmware transfer update requests run; without one they report
    // failure. Installed once at start-up, before the object is moved to its thread.
    void setFirmwareTransferMaker(FirmwareTransferMaker maker);

    // A downloaded configuration brings text-format profiles: makes them the
    // JSON profiles. Reached through a queued connection like the slots below.
    void slot_TurnOldTxtFileToNewJsonFile();

    // Writes configuration `number` (1..5) of the open mouse's model to one
    // file at path. Runs on the bridge's thread, where the profile files are
    // written; the window and the command-line tool reach it through the
    // slots below or, on that thread, directly.
    ConfigPackage::Outcome exportConfiguration(int number, const QString &path);
    // Checks the file at path whole; only then makes it configuration
    // `number` and writes it into the mouse, refreshing the pages. A refused
    // file changes nothing; a mouse that does not take it leaves the
    // configuration's files as they were.
    ConfigPackage::Outcome importConfiguration(int number, const QString &path);

signals:
    // CPI list read from the mouse (seven values, 0 for a switched-off level).
    void sig_SetCurrentCpiListValueOnPage(QList<DWORD> dwordList);
    // Report-rate index 0..3.
    void sig_SetCurrentReportRate(int value);
    void sig_SetLightParameterOnPage(LightColorParam param);
    // A numbered warning for the window's warning dialog.
    void sig_ShowWarningDialog(int warning);
    // A firmware update finished, either way.
    void sig_closeUpdatingWidget();
    // Firmware version of the mouse, or the model's fallback when it could not be read.
    void sig_VersionNumber(int version);
    // The mouse holds local configuration n.
    void sig_SetCurrentConfigure(int number);
    // Kept for the window's connection list; nothing here emits it.
    void sig_CoverFirstConfigure(int number);
    void sig_CurrentButtonIsOriginalButton(bool state, int button);
    // End of every open attempt.
    void sig_OpenDeviceResult(bool result, int mouseType, bool isWireless);
    void sig_RemoveReloadWidget();
    // Starts the pairing poll timer (milliseconds).
    void sig_startTimer(int interval);
    void sig_stopTimer();
    void sig_startCode(bool result);
    // Pairing finished: true paired, false failed or timed out.
    void sig_finishCode(bool result);
    // Battery percent, 101 charging, 102 full, 103 no valid reading.
    void sig_BatteryPower(DWORD value);
    // Firmware file handed to the update object.
    void sig_Update(QString path);
    // Firmware transfer progress in percent.
    void sig_ProcessVaule(int value);
    void sig_CloseUpdateMouseDialog();
    void sig_StartCheckDeviceTimer();
    void sig_StopCheckDeviceTimer();
    // Around every device operation a slot starts.
    void sig_ShowLoadingDialog();
    void sig_EndLoadingDialog();
    void sig_TrueMouseValue(int currentButton, int changeType, int trueMouseValue, int modifyKey);
    // The old text files were rewritten; a cloud upload may start.
    void sig_StartToUploadFile();
    void sig_SendOperationEventMessageToGA(QString category, QString action, QString Label,
                                          QString viewScreen);
    // Repeated device errors: offer a firmware repair.
    void sig_ShowUpdateWidget(bool isChangeable, bool isLocalUpdateState, int mouseType,
                              bool isUpdateNow);

public slots:
    void slot_removeOldTxtFile();
    void slot_TurnNewFileToOldFile();
    void slot_setCPIListValueOnMouse(QList<DWORD> dwordList);
    // Opens the mouse with this identity, dropping whatever was open before.
    void slot_OpenDevice(USHORT Pid, USHORT Vid);
    // Builds the first-family manager and driver; `wireless` carries the wired
    // path filter and `wired` the receiver's. `pdriver` is not used.
    void createAKorvanInitObject(KorvanUSBDriver *pdriver, int mosueType, const wchar_t *wireless,
                                 const wchar_t *wired, bool isWireless);
    // Opens the last successfully opened PID again.
    void slot_OpenDeviceAgain();
    void releaseObject();
    void setCPIValueOnPage();
    void SetSilentHeightOnPage();
    void slotSetMouseSilentHeigh(int value);
    void setUsbReportRateOnPage();
    void setLightParameterOnPage();
    void setMouseButtonOnPage();
    void slot_SetMouseColor(bool isWheelLightChange, QList<COLORREF> colorList);
    void slot_ChangeUsbReportRate(int value);
    void slot_setMouseLightMode(bool isWheelLightChange, int value);
    void slot_MouseContinueLightDegree(bool isWheelLightChange, int value);
    void slot_MouseBreathSpeed(bool isWheelLightChange, int value);
    void slot_ChangeButtonToKey(int button, uint vkCode, int modifyKey, int changeType);
    // The slot address chosen by the page is never used; the manager picks its own.
    void slot_ChangeButtonToMacro(int macroType, int button, uint address);
    void slot_WriteSingleMacro(int button, QString path);
    void slot_WriteListMacro(QStringList macroList);
    // Loads local configuration `number` and writes it into the mouse.
    void slot_LoadLocalConfigFileAndWriteIntoMouse(int number);
    void slot_LoadOnlyLocalMouseConfigFileAndWriteIntoMouse(int number);
    void slot_SaveProfileToConfig1();
    void slot_GetBatteryPower();
    // Restores the factory configuration in the mouse and in all five local configurations.
    void slot_ResetConfigToOriginal();
    void slot_WriteImageToMouse(QString configNumber);
    // Image packing belongs to the manager; kept for its callers, always true.
    bool ImageToByteArr(QImage image, unsigned char *imageData, int imageDataLen);
    void connectSignal();
    // The mouse went away: close and drop the manager (not during a firmware update).
    void destroyUselessThings();
    void slot_UpdateFirmwareKorvan(QString path, QString mouseType);
    void slot_OLEDScreenpParameter(int behaviour);
    void slot_SetOLEDScreenLightIntensity(int intensity);
    // Receiver pairing: start, stop, and the 100 ms poll.
    void slot_startCode();
    void slot_stopCode();
    void slot_codetimerout();
    void slot_GetProfileFromMouse();
    // The start-up read: profile, firmware version, matching configuration, pages.
    void GetProfileFromMouse();
    void warningReadOrWriteError();

    // ---- not part of the fixed order above
signals:
    // The answers to the two requests below, with the text the user is shown.
    void sig_ConfigurationExported(bool ok, QString message);
    void sig_ConfigurationImported(bool ok, QString message);
    // The mouse is on the bus but could not be opened: the system's words,
    // and whether the user lacks permission on its node (no udev rule).
    void sig_DeviceCannotOpen(bool permission, QString reason);
    // A factory reset has reached the mouse and the five configurations.
    void sig_FactorySettingsRestored();

public slots:
    void slot_ExportConfiguration(int number, QString path);
    void slot_ImportConfiguration(int number, QString path);

private:
    // Builds and opens the model's manager; false (with the failure said) when it cannot.
    bool openManager(USHORT Pid, USHORT Vid);
    bool CheckReceiverPairing(USHORT pid);
    // The receiver's commands and work mode, through the receiver's channel.
    bool SendCommandDongle(ReceiverChannel::Command command, quint32 argument = 0);
    bool readWorkModel(int *mode);
    // Tells the receiver to stop listening when a pairing this bridge started
    // is still open: every way out but success (time-out, failure, stop,
    // closing) goes through here, so a receiver is never left pairing.
    void leavePairing();
    // Fills the pages from the manager's profile; a failure warns unless told not to.
    void RefreshPages(bool warnOnFailure = true);
    // After a write the mouse refused, the pages may show what was asked for
    // rather than what the mouse holds: read the mouse again and fill them
    // from that. Silent: the refusal has already been warned of.
    void resyncAfterRefusedWrite();
    void LoadGearJson(int number);
    void SetGearLevelsEnabled(const QList<DWORD> &list);
    void FilterTheQuantityOfElectricCharge(DWORD value);
    void StartFirmwareUpdate(const QString &path, const QString &mouseType);
    void OnFirmwareUpdateResult(bool ok);
    void disconnectSignal();
    void dropManager();
    void sendEvent(const QString &action, const QString &label);
    // True when the mouse took the configuration.
    bool loadConfiguration(int number, bool profileOnly);
    // Send the value to its page; a failure warns unless the caller warns for it.
    bool readCpiToPage(bool warn = true);
    bool readReportRateToPage(bool warn = true);
    void onFirmwareTransferResult(const FirmwareTransfer *from, bool ok);

    // Builds the family's manager (and receiver channel) for a request.
    void buildFamilyParts(const FamilyEntry &family, const FamilyRequest &request);

    // What a page request does with the manager's answer.
    enum class OnFailure { Warn, Ignore };
    // The shape of every page request: nothing without a mouse; the loading
    // dialog around the manager call; the read-or-write warning and a resync
    // of the pages when it fails (unless ignored). Returns the call's result,
    // false without a mouse.
    bool managerRequest(OnFailure onFailure, const std::function<bool(USBDriverManger &)> &call);
    // Gear and picture files of (mouse type, configuration).
    void resetGearFile(int mouseType, int number);
    void useDefaultGear(int mouseType);
    QString picturePath(int mouseType, int number) const;

    JsonHandle *m_jsonHandle = nullptr;
    int m_configNumber = 1;
    // Whether the mouse holds m_configNumber (matched at open, or loaded or
    // reset since); a mouse matching none has no file to keep in step.
    bool m_configKnown = false;
    LightColorParam m_lightParam{};
    std::unique_ptr<USBDriverManger> m_manager;
    int m_bank = 1;
    QTimer m_codeTimer;
    // Works through the manager's driver, so it is declared (and goes) after the manager.
    std::unique_ptr<ReceiverChannel> m_receiverDriver;
    bool m_isUpdating = false;
    USHORT m_pid = 0;
    bool m_isWireless = false;
    std::unique_ptr<FirmwareUpdateRun> m_fwUpdate;
    FirmwareTransferMaker m_transferMaker;
    int m_codeTicks = 0;
    bool m_pairing = false; // the receiver was told to listen and has not paired yet
    int m_updateTimes = 0;
    int m_openCount = 0;
    GearHandle *m_gearHandle = nullptr;
    BatteryFilter m_batteryFilter;
    int m_fwVersion = 0;
};
