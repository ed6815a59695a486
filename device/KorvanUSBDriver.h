#pragma once
#include "device/DeviceTypes.h"

#include <QObject>
#include <QString>

// A driver owns one device handle and speaks one family's report protocol.
// Every operation blocks the bridge's worker thread until the device answers,
// returns true (1) for success and false (0) for failure, and writes its
// out-parameters only on success. A `bank` is 0 or 1. The defaults answer
// success and do nothing, so an operation a family lacks is harmless.
class KorvanUSBDriver : public QObject
{
    Q_OBJECT
public:
    explicit KorvanUSBDriver(QObject *parent = nullptr);
    ~KorvanUSBDriver() override;

    // Opens the device.
    virtual bool FindHIDDevice() = 0;
    // Closes the device.
    virtual void UnInitDevice();
    // PID/VID to look for (second family).
    virtual void SetPidVid(USHORT pid, USHORT vid);
    // Second family: writes every macro.
    virtual bool WriteMacroBlocks(const QList<MacroRecord> &macros);
    // Second family: writes the 1024-byte screen-picture block.
    virtual bool WriteScreenBlock(const BYTE *block1024);
    // Second family: reads the screen-picture block back.
    virtual bool ReadScreenBlock(BYTE *block1024);
    // Second family: reads the 476-byte profile block.
    virtual bool GetProfileDataBlock(BYTE *block476);
    // Second family: writes the 476-byte profile block.
    virtual bool SetProfileDataBlock(const BYTE *block476);
    // Makes a bank active.
    virtual bool SetCurrentBank(int bank);
    // The active bank.
    virtual bool GetCurrentBank(DWORD *bank);
    // The firmware version, four bytes in device order.
    virtual bool GetFwVersion(DWORD *version);
    // Reserved slot: no family overrides it and nothing calls it.
    virtual bool Reserved(int a, int b, int c);
    // One-byte command A7.
    virtual bool SendCommandA7();
    // One-byte command A8.
    virtual bool SendCommandA8();
    // A 16-bit device value.
    virtual bool GetDeviceWord(WORD *word);
    // The raw battery reading.
    virtual bool GetBatteryRaw(DWORD *raw);
    // One-byte command AB with an argument.
    virtual bool SendCommandAB(int value);
    virtual bool ReadBankBlock(BYTE *out, int len, int bank);
    virtual bool WriteBankBlock(const BYTE *data, int len, int bank);
    virtual bool ReadEEPROMAt(BYTE *out, int len, int bank, int offset);
    virtual bool WriteEEPROMAt(const BYTE *data, int len, int bank, int offset);
    // The word of button `key` (1..11).
    virtual bool GetButtonValue(int key, DWORD *word, int bank);
    virtual bool SetButtonValue(int key, DWORD word, int bank);
    // The polling interval.
    virtual bool GetReportRate(DWORD *interval, int bank);
    virtual bool SetReportRate(DWORD interval, int bank);
    // The lift-off value.
    virtual bool GetSilentHeight(DWORD *value, int bank);
    virtual bool SetSilentHeight(DWORD value, int bank);
    // The CPI table.
    virtual bool GetDPIStageMatrix(DWORD *out, int len, int bank);
    virtual bool SetDPIStageMatrix(const DWORD *table, int len, int bank);
    // The four light bytes.
    virtual bool GetDpiLedRateLightIntensity(BYTE *b0, BYTE *mode, BYTE *speed, BYTE *degree, int bank);
    virtual bool SetDpiLedRateLightIntensity(BYTE b0, BYTE mode, BYTE speed, BYTE degree, int bank);
    // Light byte 0.
    virtual bool GetDpiLed(BYTE *value, int bank);
    virtual bool SetDpiLed(int value, int bank);
    // Light byte 1.
    virtual bool GetLightMode(BYTE *value, int bank);
    virtual bool SetLightMode(int value, int bank);
    // Light byte 2.
    virtual bool GetLightSpeed(BYTE *value, int bank);
    virtual bool SetLightSpeed(int value, int bank);
    // Light byte 3.
    virtual bool GetLightDegree(BYTE *value, int bank);
    virtual bool SetLightDegree(int value, int bank);
    // The word at offset 1180.
    virtual bool GetWord1180(DWORD *word, int bank);
    virtual bool SetWord1180(DWORD word, int bank);
    // Byte 0 of the word at 1180: the OLED light intensity.
    virtual bool GetWord1180Byte0(BYTE *value, int bank);
    virtual bool SetWord1180Byte0(int value, int bank);
    // The screen behaviour.
    virtual bool SetOLEDScreenParameter(int behaviour, bool flag, int bank);
    // Byte 1 of the word at 1180.
    virtual bool GetWord1180Byte1(BYTE *value, int bank);
    virtual bool SetWord1180Byte1(int value, int bank);
    // One colour.
    virtual bool GetLedColor(DWORD *colour, int index, int bank);
    virtual bool SetLedColor(DWORD colour, int index, int bank);
    // All colours at once.
    virtual bool SetLedColorMatrixAll(const DWORD *colours, int count, int bank);
    // The battery reading with the driver's own polling.
    virtual bool GetBatteryPolled(DWORD *raw);
    // Path filters FindHIDDevice looks for.
    virtual void SetWiredWirelessString(const QString &wiredPath, const QString &wirelessPath);
};
