#pragma once
// The first family's driver: the mouse keeps its settings in a memory
// addressed like an EEPROM, read and written 24 bytes at a time through a
// small command protocol in 32-byte reports on the vendor collection
// (usage page 0xFF00, usage 0x0E). Cable and receiver speak the same
// protocol; only the link marker byte differs.
#include "device/KorvanUSBDriver.h"
#include "device/hidparse/HidParse.h"
#include "device/kestrel/KestrelMacroCodec.h"

#include <QImage>
#include <QString>
#include <QVector>

class USBDriverKestrel : public KorvanUSBDriver
{
    Q_OBJECT
public:
    static constexpr int kMacroImageSize = KestrelMacroCodec::kImageSize; // one macro slot
    static constexpr int kOledImageSize = 384;     // 64 x 48 pixels, one bit each
    static constexpr int kProfileRecordSize = 128;
    static constexpr int kFirstFormSlots = 11;     // macro slots 0..10
    static constexpr int kSecondFormSlots = 14;    // macro slots 0..13

    explicit USBDriverKestrel(QObject *parent = nullptr);
    ~USBDriverKestrel() override;

    // ---- operations of the driver interface ----

    // Opens the wired or the receiver identity, as `mode` says.
    bool FindHIDDevice() override;
    // Closes the device.
    void UnInitDevice() override;
    // A1: makes bank 0 or 1 active.
    bool SetCurrentBank(int bank) override;
    // A2: the active bank (0 or 1); also kept in `currentBank`.
    bool GetCurrentBank(DWORD *bank) override;
    // A3: the four version bytes, byte 1 of the reply lowest.
    bool GetFwVersion(DWORD *version) override;
    // A7.
    bool SendCommandA7() override;
    // A8 (also what switches a mouse into update mode).
    bool SendCommandA8() override;
    // A9: a 16-bit device value.
    bool GetDeviceWord(WORD *word) override;
    // AA: the raw battery word.
    bool GetBatteryRaw(DWORD *raw) override;
    // AB value.
    bool SendCommandAB(int value) override;
    // len bytes (len >= 32, a multiple of 4) at (bank + 1) * 1024.
    bool ReadBankBlock(BYTE *out, int len, int bank) override;
    // len bytes (len <= 32, a multiple of 4) at (bank + 1) * 1024.
    bool WriteBankBlock(const BYTE *data, int len, int bank) override;
    // len bytes at bank * 1024 + offset; any bank value (taken modulo 2^24),
    // so this also reaches addresses outside the profile banks.
    bool ReadEEPROMAt(BYTE *out, int len, int bank, int offset) override;
    bool WriteEEPROMAt(const BYTE *data, int len, int bank, int offset) override;
    // The word of button key 1..11; bank counts from 1 here (1 or 2).
    bool GetButtonValue(int key, DWORD *word, int bank) override;
    // The word of button key 1..11 in bank 0 or 1.
    bool SetButtonValue(int key, DWORD word, int bank) override;
    // The report interval in ms (1, 2, 4 or 8).
    bool GetReportRate(DWORD *interval, int bank) override;
    bool SetReportRate(DWORD interval, int bank) override;
    // The lift-off value.
    bool GetSilentHeight(DWORD *value, int bank) override;
    bool SetSilentHeight(DWORD value, int bank) override;
    // len bytes (a multiple of 4) of the CPI table, four bytes per DWORD,
    // little-endian: out[0] holds levels 1 and 2 (level 1 in the low half).
    bool GetDPIStageMatrix(DWORD *out, int len, int bank) override;
    // Writes len bytes of the CPI table packed the same way; bytes 14 and 15
    // become the level-count byte (from address 2196) and 0.
    bool SetDPIStageMatrix(const DWORD *table, int len, int bank) override;
    // The four light bytes at offset 1176.
    bool GetDpiLedRateLightIntensity(BYTE *b0, BYTE *lightMode, BYTE *speed, BYTE *degree, int bank) override;
    // Bank 1 only (address 2200).
    bool SetDpiLedRateLightIntensity(BYTE b0, BYTE lightMode, BYTE speed, BYTE degree, int bank) override;
    // Light byte 0, the CPI level byte (setter: bank 1 only).
    bool GetDpiLed(BYTE *value, int bank) override;
    bool SetDpiLed(int value, int bank) override;
    // Light byte 1, the light mode (setter: bank 1 only).
    bool GetLightMode(BYTE *value, int bank) override;
    bool SetLightMode(int value, int bank) override;
    // Light byte 2, the speed (setter: bank 1 only).
    bool GetLightSpeed(BYTE *value, int bank) override;
    bool SetLightSpeed(int value, int bank) override;
    // Light byte 3, the brightness (setter: bank 1 only).
    bool GetLightDegree(BYTE *value, int bank) override;
    bool SetLightDegree(int value, int bank) override;
    // The word at offset 1180.
    bool GetWord1180(DWORD *word, int bank) override;
    bool SetWord1180(DWORD word, int bank) override;
    // Its byte 0, the OLED light intensity.
    bool GetWord1180Byte0(BYTE *value, int bank) override;
    bool SetWord1180Byte0(int value, int bank) override;
    // Bank 1 only: the OLED behaviour word at 2220; byte 0 = behaviour,
    // byte 1 = flag (0 or 1), the other bytes kept.
    bool SetOLEDScreenParameter(int behaviour, bool flag, int bank) override;
    // Byte 1 of the word at offset 1180.
    bool GetWord1180Byte1(BYTE *value, int bank) override;
    bool SetWord1180Byte1(int value, int bank) override;
    // Colour index (0, 1, 2, ...) at offset 1208 + 4 * index (setter: bank 1 only).
    bool GetLedColor(DWORD *colour, int index, int bank) override;
    bool SetLedColor(DWORD colour, int index, int bank) override;
    // count colours at 2232 (bank 1 only).
    bool SetLedColorMatrixAll(const DWORD *colours, int count, int bank) override;
    // AA written once, then up to five reads; bytes 1..2 of the reply.
    bool GetBatteryPolled(DWORD *raw) override;
    // The path filters of the wired and the receiver identity.
    void SetWiredWirelessString(const QString &wiredPath, const QString &wirelessPath) override;

    // ---- the first family's own operations, in this order ----

    // The 128-byte profile record: word 0 bank, bytes 8..9 device word,
    // word 3 battery, bytes 16..59 the buttons, 60..127 the settings.
    virtual bool GetProfileData(BYTE *record);
    // Writes record bytes 16..59 to bank 1 and 60..127 to the current bank.
    virtual bool SetProfileData(const BYTE *record);
    // Bank 1 only: byte 2 of the word at 2196, the CPI level count minus 1.
    virtual bool SetGlobal2196(int value, int bank);
    // Byte 2 of the word at offset 1172.
    virtual bool GetDPICount(BYTE *value, int bank);
    // count colours at offset 1208.
    virtual bool GetLedColorMatrixAll(DWORD *out, int count, int bank);
    // Bank 1 only: the screen word at 2208.
    virtual bool SetGlobal2208(DWORD value, int bank);
    virtual bool GetGlobal2208(DWORD *value, int bank);
    // Bank 1 only: screen value index 0..7 of the eight bytes at 2212,
    // changed in the 4-byte word that holds it.
    virtual bool SetGlobal2212(int index, int value, int bank);
    // The eight screen bytes at offset 1188.
    virtual bool GetBankBytes1188(BYTE *out8, int bank);
    // The word at offset 1196.
    virtual bool SetBank1196(DWORD value, int bank);
    virtual bool GetBank1196(DWORD *value, int bank);
    virtual bool GetBank1196Byte1(BYTE *value, int bank);
    // Bank 1 only: byte 2 of the word at 2204, the rapid-fire count.
    virtual bool SetGunFireNumber(int count, int bank);
    // The word at offset 1180.
    virtual bool ReadWord1180(DWORD *word, int bank);
    // The words at offsets 1200 and 1204.
    virtual bool SetBank1200(DWORD value, int bank);
    virtual bool GetBank1200(DWORD *value, int bank);
    virtual bool SetBank1204(DWORD value, int bank);
    virtual bool GetBank1204(DWORD *value, int bank);
    // The 384 bytes of OLED picture p at 4096 * (p + 34).
    virtual bool WriteOLEDImage(int picture, const BYTE *data);
    virtual bool ReadOLEDImage(int picture, BYTE *out);

    // ---- not in the interface ----

    // 0 wired, 1 through the receiver; anything else is refused by FindHIDDevice.
    void SetMode(int newMode);
    int Mode() const;
    // The bank the mouse last reported.
    int CurrentBank() const;
    // Exchange tuning: polls per send, sleep before each poll, send rounds.
    void SetPolling(int polls, int sleepMs, int sends);

    // Raw memory access at a 32-bit address. Below 4096 the length must be a
    // multiple of 4; a zero length or a null buffer fails without traffic.
    bool ReadEEPROM(DWORD address, int len, BYTE *out);
    bool WriteEEPROM(DWORD address, int len, const BYTE *data);

    // Identity bytes 0 and 1 at address 4 (on the receiver: the paired mouse's PID).
    bool GetMousePid(BYTE *b0, BYTE *b1);

    // Address of macro slot m in form 1 (slots 0..10) or form 2 (0..13); 0 when out of range.
    static DWORD MacroSlotAddress(int slot, int form);
    // Where the length of rapid-fire macro k (0..2) is cleared; 0 for another k.
    static DWORD RapidFireLengthAddress(int k);
    // Converts and writes a macro into slot m of form f.
    bool WriteMacro(int slot, int form, const KestrelMacro &macro);
    // Writes an already converted image; its length is taken from bytes 0..1.
    bool WriteMacroImage(int slot, int form, const BYTE *image4096);
    // Reads macro slot m of form f into a 4096-byte buffer, zeros where
    // nothing was read; a length field outside 1..4096 reads as empty.
    bool ReadMacro(int slot, int form, BYTE *out4096);
    // First form only: free when the slot's length is 0 or above 4096; a
    // failed read or a slot of 11 or more counts as used.
    bool IsMacroSlotFree(int slot);

    // The key table: HID usage <-> Windows virtual key, first match wins; 0 when absent.
    static int UsageToKey(int usage);
    static int KeyToUsage(int virtualKey);
    // Exchanges bits 0 and 1 between the page's modifier code and the
    // device byte (either way); -1 for 0 and codes above 15, which have no
    // device form.
    static int ExchangeModifierBits(int code);

    // Receiver channel (pairing): the bytes go in one 32-byte report with
    // the receiver's link marker, exactly like a command to the mouse; the
    // receiver keeps A0, A1 and A7 for itself. Write: at most 30 bytes.
    bool WriteDongle(const BYTE *bytes, int len);
    // Reads the receiver's 2-byte answer: byte 0 = 1 acknowledges, byte 1 the value.
    bool ReadDongle(BYTE *reply2);

signals:
    void sigMsg(QString msg);
    void sigWriteIntoMouseSucced();

private:
    bool isOpen() const;
    BYTE linkMarker() const;
    bool sendReport(const BYTE *command, int len);
    int readReply(BYTE *reply32);
    // One command exchange: command bytes in, replyLen bytes of reply out.
    bool exchange(const BYTE *command, int len, BYTE *reply, int replyLen);
    bool readChunk(DWORD address, int len, BYTE *out);
    bool readWord(DWORD address, DWORD *word);
    bool writeWord(DWORD address, DWORD word);
    bool readByteOfWord(DWORD address, int byteIndex, BYTE *value);
    bool writeByteOfWord(DWORD address, int byteIndex, int value);

    HidParseHandle handle = nullptr;
    int mode = 1;
    QString wiredPath;
    QString wirelessPath;
    int pollSleepMs = 10;
    int pollCount = 25;
    int sendCount = 4;
    int currentBank = 0;
};
