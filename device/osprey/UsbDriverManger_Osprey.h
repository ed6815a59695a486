#pragma once
// The second family's manager: keeps a working copy of the mouse's settings
// (profile positions 242..475) and the macros of its buttons, turns each page
// operation into a change of that copy, writes the whole profile back after
// every change and mirrors it into the current configuration file. A change
// the mouse does not accept leaves the copy and the file as they were.
#include "device/USBDriverManger.h"
#include "device/osprey/OspreyConfigStore.h"
#include "store/MacroRecord.h"

#include <QByteArray>
#include <QMap>
#include <QSet>
#include <QString>
#include <QVector>

#include <functional>

class JsonHandle;
class USBDriver_Osprey;

class UsbDriverManger_Osprey : public USBDriverManger
{
    Q_OBJECT
public:
    static constexpr int kMacroCount = OspreyConfiguration::kMacroCount;

    // A manager of one model: its button table is the model's from the start.
    explicit UsbDriverManger_Osprey(int mouseType = 0, QObject *parent = nullptr);
    ~UsbDriverManger_Osprey() override;

    // ---- operations of the manager interface

    // Takes ownership of the driver; returns it when it is a second- or third-family driver, else null.
    KorvanUSBDriver *SetDriver(KorvanUSBDriver *driver) override;
    bool InitDevice() override;
    void UnInitDevice() override;
    // Tells the driver which mouse to look for; returns the model code.
    int SetMousePid(USHORT pid, USHORT vid) override;
    // The active-profile byte.
    bool SetCurrentBank(int bank) override;
    bool GetCurrentBank(DWORD *bank) override;
    // Report-rate index 0..3; an index outside it changes nothing but is still written.
    bool GetReportRate(DWORD *index, int bank) override;
    bool SetReportRate(int index, int bank) override;
    // Kept in the copy; not written by itself.
    bool GetSilentHeight(DWORD *value, int bank) override;
    bool SetSilentHeight(int value, int bank) override;
    // CPI of levels 1..7; a code without a CPI reads 0.
    bool GetCPIStageMatrix(DWORD *out7, int bank) override;
    // Seven levels, each encoded for the model (0 switches a level off).
    bool SetCPIList(const CpiList &list, int bank) override;
    // The rapid-fire byte; kept in the copy, not written by itself.
    bool GetFireByte1(BYTE *value, int bank) override;
    bool SetFireByte1(int value, int bank) override;
    bool SetMouseColor(int mode, int speed, int degree, COLORREF colour0, COLORREF colour1,
                       COLORREF colour2, bool isWheelLightChange, int bank) override;
    // Both light groups with their first colour.
    bool GetLightParameter(LightColorParam *out, int bank) override;
    // Only the first colour of the list is used.
    bool SetMouseColorList(bool isWheelLightChange, const ColorList &colours, int bank) override;
    bool SetMouseLightMode(bool isWheelLightChange, int mode) override;
    bool SetMouseLightDegree(bool isWheelLightChange, int value) override;
    bool SetMouseBreathSpeed(bool isWheelLightChange, int value) override;
    // Refuses (warning 6) to take away the only left click, still writing the unchanged profile.
    bool SetChangeButtonToKey(int button, uint vkCode, int modifyKey, int changeType, int bank) override;
    // Writes the macro file's macro into the button's slot and assigns it; true when refused for the only left click.
    bool WriteSingleMacro(int button, const QString &path) override;
    // Up to four macro files played by the left button; false when refused for the only left click.
    bool WriteListMacro(const QStringList &macroList) override;
    // Assigns the macro in the button's own slot.
    bool SetChangeButtonToMacro(int button, int reserved, uint macroType) override;
    // "0" deletes the configuration's picture and writes the model's default one.
    bool WriteImageToMouse(int mouseType, const QString &picture, int pictureNumber, int bank) override;
    bool SetScreenWord(int index, int value, int bank) override;
    // UI behaviours 1, 2, 3, 8.
    bool SetOLEDScreenParameter(int behaviour) override;
    bool SetOLEDScreenLightIntensity(int intensity) override;
    void SetMouseTypeName(const QString &name) override;
    // Finds the configuration 1..5 whose settings the mouse holds.
    bool CompareMouseAndLocalFileData(int *out) override;
    bool FinishOpen() override;
    // Reads the profile and the macros its buttons play.
    bool GetProfileData() override;
    // The release number of the mouse.
    bool GetFwVersion(DWORD *version) override;
    bool SetCurrentConfigNumber(int number) override;
    // Writes configuration n (0: factory) with its macros into the mouse.
    bool LoadConfigFileByNumber(int number) override;
    // The same without the macros.
    bool LoadOnlyMouseConfigFileByNumber(int number) override;
    void SaveConfigFileByConfigureNumber(int number) override;
    // The profile write: marks the working profile and writes the copy into the mouse.
    bool SaveProfileToConfig1() override;
    // A wired family: no battery.
    bool GetBatteryPower(DWORD *out) override;
    int GetOLEDScreenParameter() override;
    // These mice only ever had JSON configuration files: nothing to convert.
    void TurnOldTxtFileToNewJsonFile() override;
    void TurnNewFileToOldFile() override;
    void RemoveOldTxtFile() override;
    int GetOLEDScreenLightIntensity() override;
    int GetErrorCount() override;
    void CheckAllMouseButtonIsOriginalMouseButton() override;

    // ---- this family's own operations

    virtual void SetWorkMode(uchar mode);
    virtual BYTE GetProfileByte251();
    virtual void SetProfileByte251(int value);
    // Kept for its callers; does nothing.
    virtual bool SetProfileName(const QString &name);
    // CPI of a (low, high) code pair of the open model; 0 for a code without one.
    virtual DWORD DecodeCpi(BYTE low, BYTE high);
    // Code pair of a CPI for a model; a CPI without a code takes the nearest one.
    virtual void EncodeCpi(int mouseType, DWORD cpi, BYTE *low, BYTE *high);
    // The CPI level a matched configuration starts on.
    virtual int returnDefaultDPIGear();
    virtual BYTE LightModeToDevice(int mode);
    virtual int LightModeFromDevice(BYTE code);

    // The profile write followed by saving the current configuration.
    bool WriteProfileIntoMouseAndSaveConfigFile();

    // ---- for tests
    QByteArray settings() const { return m_settings; }
    QByteArray profile() const { return m_profile; }
    const QVector<MacroRecord> &macros() const { return m_macros; }
    int currentConfigNumber() const { return m_configNumber; }

protected:
    // Applies a change to the working copy and writes it; a refused write puts
    // the copy back as it was.
    bool writeChange(const std::function<void()> &change);
    // Reports every button's assignment to the pages, then passes `written` on.
    bool reportButtonsAfter(bool written);
    BYTE &at(int position);
    BYTE valueAt(int position) const;
    DWORD buttonWord(int wordIndex) const;
    void setButtonWord(int wordIndex, DWORD word);
    // Whether the button's word is the only left click of the table.
    bool isOnlyLeftButton(int wordIndex) const;
    int mouseType() const;
    // The working copy as the constructor leaves it: only the model's button table means anything.
    void resetToModelDefaults();
    // The steps of a macro file, with its repeat count in the header.
    MacroRecord defineLocalMacro(const QString &path, int *macroType);
    bool DriverWriteIntoMouse(const MacroRecord &macro, uchar address);
    int macroIndexOfAddress(uchar address) const;
    // Whether a button word plays the macro at this slot (the left button's list included).
    static bool isMacroInUse(const QByteArray &settings, uchar address);
    // Loads configuration n and writes it (with its macros when asked).
    bool loadConfiguration(int number, bool withMacros);
    // Whether the macros the mouse's buttons play, as read, are those stored
    // in the configuration; slots that could not be read are not held against it.
    bool macrosMatch(const OspreyConfiguration &stored) const;
    // The macros to store as configuration n: a slot the mouse did not let
    // us read keeps what the file holds.
    QVector<MacroRecord> macrosToStore(int number);

    JsonHandle *m_jsonHandle;
    OspreyConfigStore m_store;
    USBDriver_Osprey *m_osprey = nullptr;
    uchar m_workMode = 0;
    QByteArray m_settings;
    QVector<MacroRecord> m_macros;
    QByteArray m_profile;
    int m_configNumber = 1;
    int m_mouseType = 0;
    bool m_hasRead = false;
    // Set by a match or a choice; a mouse that matches nothing is saved nowhere.
    bool m_configKnown = true;
    bool m_startingGearOwed = false; // a match found at open; its starting CPI level is not yet written
    // Macro records whose slot the mouse did not give back at the last read:
    // their contents are unknown, so they must never be saved over a file.
    QSet<int> m_unreadMacros;
    bool m_isOpen = false;
    int m_errorCount = 0;
    QMap<int, uchar> m_macroSlotOfIndex;
    QString m_configPath;
    QMap<uchar, int> m_codeToCpiA;
    QMap<uchar, int> m_codeToCpiB;
};
