#pragma once
#include "device/DeviceTypes.h"
#include "device/KorvanUSBDriver.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

// A manager holds the driver of the open device, keeps the last-read profile
// in memory, converts between page values and device encodings, mirrors the
// profile into the configuration files and reports to the pages by signals.
// Operations follow the driver's conventions: true on success, out-parameters
// written only on success, `bank` 0 or 1, and a default of success with no
// effect for what a family does not support.
class USBDriverManger : public QObject
{
    Q_OBJECT
public:
    explicit USBDriverManger(QObject *parent = nullptr);
    ~USBDriverManger() override;

    // Takes ownership of the family's driver; returns it (null if it is not the family's).
    virtual KorvanUSBDriver *SetDriver(KorvanUSBDriver *driver) = 0;
    // Opens the device through the driver.
    virtual bool InitDevice() = 0;
    // Closes the device.
    virtual void UnInitDevice();
    // Chooses the model's defaults; returns the model code.
    virtual int SetMousePid(USHORT pid, USHORT vid) = 0;
    virtual bool SetCurrentBank(int bank);
    virtual bool GetCurrentBank(DWORD *bank);
    // Report-rate index 0..3.
    virtual bool GetReportRate(DWORD *index, int bank);
    virtual bool SetReportRate(int index, int bank);
    virtual bool GetSilentHeight(DWORD *value, int bank);
    virtual bool SetSilentHeight(int value, int bank);
    // Fills seven DWORDs the caller zeroed.
    virtual bool GetCPIStageMatrix(DWORD *out7, int bank);
    // Sets one CPI level; `level` counts from 1.
    virtual bool SetDPIStageMatrix(int cpi, int level, int bank);
    // Sets the whole CPI list.
    virtual bool SetCPIList(const CpiList &list, int bank);
    // First family: byte 1 of the word at 1180; second family: the rapid-fire byte.
    virtual bool GetFireByte1(BYTE *value, int bank);
    virtual bool SetFireByte1(int value, int bank);
    // Light bytes and three colours of one zone.
    virtual bool SetMouseColor(int mode, int speed, int degree, COLORREF colour0, COLORREF colour1,
                               COLORREF colour2, bool isWheelLightChange, int bank);
    virtual bool GetLightParameter(LightColorParam *out, int bank);
    virtual bool SetMouseColorList(bool isWheelLightChange, const ColorList &colours, int bank);
    virtual bool SetMouseLightMode(bool isWheelLightChange, int mode);
    // Brightness.
    virtual bool SetMouseLightDegree(bool isWheelLightChange, int value);
    virtual bool SetMouseBreathSpeed(bool isWheelLightChange, int value);
    virtual bool SetChangeButtonToKey(int button, uint vkCode, int modifyKey, int changeType, int bank);
    virtual bool WriteSingleMacro(int macroType, const QString &path);
    // A list of macro file paths.
    virtual bool WriteListMacro(const QStringList &macroList);
    // Second family.
    virtual bool SetChangeButtonToMacro(int macroType, int button, uint address);
    // `picture` is the configuration number as text, "0" for no picture.
    virtual bool WriteImageToMouse(int mouseType, const QString &picture, int pictureNumber, int bank);
    virtual bool ReadImageFromMouse(int picture, QImage *out);
    // First family: one of the screen values.
    virtual bool SetScreenWord(int index, int value, int bank);
    // First family.
    virtual bool ReadBankExtras(DWORD *record, int bank);
    // Work mode / PID read from the device.
    virtual bool GetMousePid(int *out);
    virtual bool SetOLEDScreenParameter(int behaviour);
    virtual bool SetOLEDScreenLightIntensity(int intensity);
    // Model key used in configuration file paths.
    virtual void SetMouseTypeName(const QString &name);
    // Finds the stored configuration 1..5 the mouse holds; writes its number to `out`.
    virtual bool CompareMouseAndLocalFileData(int *out);
    // Writes what the open owes the mouse once the page shows what was read
    // (the second family's starting CPI level); true when nothing was owed.
    virtual bool FinishOpen() { return true; }
    // Reads the device profile into memory.
    virtual bool GetProfileData();
    // Writes the in-memory profile.
    virtual bool SetProfileData();
    virtual bool GetFwVersion(DWORD *version);
    // Configuration 1..5.
    virtual bool SetCurrentConfigNumber(int number);
    // Loads a local configuration and writes it into the mouse.
    virtual bool LoadConfigFileByNumber(int number);
    virtual bool LoadOnlyMouseConfigFileByNumber(int number);
    virtual void SaveConfigFileByConfigureNumber(int number);
    // Second family: the profile write.
    virtual bool SaveProfileToConfig1();
    virtual bool GetBatteryPower(DWORD *out);
    // Cached screen behaviour.
    virtual int GetOLEDScreenParameter();
    virtual void TurnOldTxtFileToNewJsonFile();
    virtual void TurnNewFileToOldFile();
    virtual void RemoveOldTxtFile();
    // Cached screen intensity.
    virtual int GetOLEDScreenLightIntensity();
    // Second family: consecutive failed profile reads.
    virtual int GetErrorCount();
    // Reports every button's assignment.
    virtual void CheckAllMouseButtonIsOriginalMouseButton();
    // True when the last failed operation got no answer from the device at
    // all (it is gone), false when the device answered and refused.
    virtual bool IsDeviceLost();

signals:
    void sig_CurrentButtonIsOriginalButton(bool state, int button);
    // A refused change; 6: it would leave the mouse without a left button.
    void sig_WarningOnlyLeftButton(int warning);
    void sig_KorvanMouseUpdateResult(bool result);
    void sig_TrueMouseValue(int currentButton, int changeType, int trueValue, int modifyValue);
    void sig_ShowUpdateWidget(bool isChangeable, bool isLocalUpdateState, int mouseType, bool isUpdateNow);

protected:
    std::unique_ptr<KorvanUSBDriver> m_driver;
};
