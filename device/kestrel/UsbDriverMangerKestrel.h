#pragma once
// The first family's manager: keeps one configuration (profile record plus
// fourteen macros) in memory, reads it from the mouse, recognises which of
// the five stored configurations the mouse holds, writes every change
// through USBDriverKestrel and mirrors it into the configuration files.
// All device work is done on profile bank 1.
#include "device/USBDriverManger.h"
#include "device/kestrel/KestrelConfigStore.h"
#include "device/kestrel/KestrelMacroCodec.h"
#include "device/kestrel/KestrelTables.h"

#include <QVector>
#include <QByteArray>
#include <QString>

#include <vector>

class USBDriverKestrel;

class UsbDriverMangerKestrel : public USBDriverManger
{
    Q_OBJECT
public:
    explicit UsbDriverMangerKestrel(QObject *parent = nullptr);
    ~UsbDriverMangerKestrel() override;

    // Takes ownership of the driver; returns it when it is a first-family driver, else null.
    KorvanUSBDriver *SetDriver(KorvanUSBDriver *driver) override;
    bool InitDevice() override;
    void UnInitDevice() override;
    // Chooses the button layout and factory words of the model; returns its model code.
    int SetMousePid(USHORT pid, USHORT vid) override;
    bool SetCurrentBank(int bank) override;
    bool GetCurrentBank(DWORD *bank) override;
    // Report-rate index 0..3 from the polling interval.
    bool GetReportRate(DWORD *index, int bank) override;
    // Writes the interval of index 0..3 and mirrors it.
    bool SetReportRate(int index, int bank) override;
    bool GetSilentHeight(DWORD *value, int bank) override;
    bool SetSilentHeight(int value, int bank) override;
    // CPI of every level in the model's encoding; switched-off levels are 0.
    bool GetCPIStageMatrix(DWORD *out7, int bank) override;
    // Changes one level (from 1); a switching-off CPI removes it and later levels move down.
    bool SetDPIStageMatrix(int cpi, int level, int bank) override;
    // Writes the non-zero CPIs of the list as the levels, with level count and level byte.
    bool SetCPIList(const CpiList &list, int bank) override;
    // Byte 1 of the word at 1180.
    bool GetFireByte1(BYTE *value, int bank) override;
    bool SetFireByte1(int value, int bank) override;
    // Light mode, speed and brightness with the three main colours.
    bool SetMouseColor(int mode, int speed, int degree, COLORREF colour0, COLORREF colour1,
                       COLORREF colour2, bool isWheelLightChange, int bank) override;
    // Fills the main light group (bytes 15..29) of the record.
    bool GetLightParameter(LightColorParam *out, int bank) override;
    // Writes up to three colours.
    bool SetMouseColorList(bool isWheelLightChange, const ColorList &colours, int bank) override;
    bool SetMouseLightMode(bool isWheelLightChange, int mode) override;
    bool SetMouseLightDegree(bool isWheelLightChange, int value) override;
    bool SetMouseBreathSpeed(bool isWheelLightChange, int value) override;
    // Assigns a button; refuses (warning 6, result 1) to take away the only left click.
    bool SetChangeButtonToKey(int button, uint vkCode, int modifyKey, int changeType, int bank) override;
    // Writes the macro file's macro into the button's slot and assigns it to the button.
    bool WriteSingleMacro(int button, const QString &path) override;
    // One path: a single macro on the left button; two or three: the left button's rapid fire.
    bool WriteListMacro(const QStringList &macroList) override;
    // "0" clears the screen picture; a configuration number writes that configuration's picture.
    bool WriteImageToMouse(int mouseType, const QString &picture, int pictureNumber, int bank) override;
    bool ReadImageFromMouse(int picture, QImage *out) override;
    // Screen value `index` 0..7 of the eight bytes at 1188.
    bool SetScreenWord(int index, int value, int bank) override;
    // The screen word, the words at 1196, 1200, 1204 and the eight screen bytes (13 DWORDs).
    bool ReadBankExtras(DWORD *record, int bank) override;
    // The PID at the mouse's identity address (the paired mouse's, through a receiver).
    bool GetMousePid(int *out) override;
    bool SetOLEDScreenParameter(int behaviour) override;
    bool SetOLEDScreenLightIntensity(int intensity) override;
    // Replaces the model key of the legacy file paths.
    void SetMouseTypeName(const QString &name) override;
    bool CompareMouseAndLocalFileData(int *out) override;
    bool GetProfileData() override;
    bool SetProfileData() override;
    bool GetFwVersion(DWORD *version) override;
    bool SetCurrentConfigNumber(int number) override;
    // Writes stored configuration n (0 = factory) with its macros into the mouse.
    bool LoadConfigFileByNumber(int number) override;
    // The same without the macros.
    bool LoadOnlyMouseConfigFileByNumber(int number) override;
    // Stores the image as configuration n; a mouse on bank 0 is switched to bank 1.
    void SaveConfigFileByConfigureNumber(int number) override;
    // 0..100 percent, or 101 charging, 102 full, 103 no valid reading.
    bool GetBatteryPower(DWORD *out) override;
    int GetOLEDScreenParameter() override;
    void TurnOldTxtFileToNewJsonFile() override;
    void TurnNewFileToOldFile() override;
    void RemoveOldTxtFile() override;
    int GetOLEDScreenLightIntensity() override;
    void CheckAllMouseButtonIsOriginalMouseButton() override;

    // Stores the manager mode; nothing in this family reads it.
    virtual void SetManagerMode(int mode);
    // Assigns macro slot `slot` to the button in `bank`.
    virtual bool SetButtonToMacroSlot(int button, int slot, int type, int bank);

    // The left button's rapid-fire count (bank 1).
    bool SetGunFireNumber(int count, int bank);

    // The configuration image (57528 bytes) as it stands.
    QByteArray configImage() const;
    // The configuration the image belongs to (1..5).
    int currentConfigNumber() const { return m_configNumber; }
    // The legacy text file of configuration n (0 = factory); its folder is created.
    QString oldTxtFilePath(int configNumber) const;

signals:
    void sigUpdate(QString message);
    void sigProcessVaule(int value);

private:
    using Image = KestrelConfigStore::Image;

    // Model code used for the configuration files.
    int mouseType() const;
    BYTE *record() { return m_image.data(); }
    DWORD imageWord(int at) const;
    void setImageWord(int at, DWORD word);
    void saveCurrentConfig();
    // Writes the CPI table of these level codes (and its level-count byte) into
    // the mouse, then into the image and the configuration.
    bool writeCpiTable(const QVector<WORD> &levels, int bank);
    // Writes configuration `number`'s record (0: factory) into the mouse and
    // takes it as the image once the mouse has accepted it.
    bool writeConfigurationRecord(int number);
    // Writes one light byte into the mouse, then into the image and the configuration.
    bool writeLightByte(bool (USBDriverKestrel::*set)(int, int), int at, int value);
    void cacheFromImage();
    // Writes the screen word and the OLED behaviour it goes with, then keeps both.
    bool setScreenMode(DWORD screenWord, int behaviour, int bank);

    DWORD currentButtonWord(int button) const;
    bool isChangeOnlyLeftButton(int button, int changeType);
    bool writeButtonWord(int button, DWORD word, int bank);
    bool resetRapidFire();
    // Empties the three rapid-fire macros in the mouse and the image.
    bool clearRapidFireMacros();
    bool clearSingleMacroData(int slot, DWORD address);
    // The rapid-fire bytes of the word at 1180 in bank 1 (0: none set).
    DWORD rapidFireStateOfBank1();

    bool macroFromFile(const QString &path, KestrelMacro *macro, int *type);
    bool convertMacro(const KestrelMacro &macro, QByteArray *image4096, int *length);

    // A configuration from the files (0: factory), with every macro length checked.
    Image loadConfiguration(int number);
    void saveConfiguration(const Image &image, int number);

    USBDriverKestrel *m_kestrel = nullptr;
    const KestrelTables::ButtonLayout *m_layout;
    Image m_image;
    KestrelConfigStore m_store;
    QString m_modelKey = QStringLiteral("kestrel");
    int m_mouseType = 0;
    int m_configNumber = 1;
    int m_managerMode = 0;
    int m_cpiLevelCount = 5;
    int m_cpiLevel = 0;
    int m_oledBehaviour = 0;
    bool m_oledFlag = false;
    int m_oledIntensity = 0;
    int m_pictureNumber = 0;
    int m_gunFireNumber = 0;
    int m_fireByte1 = 0;
    COLORREF m_firstColour = 0;
};
