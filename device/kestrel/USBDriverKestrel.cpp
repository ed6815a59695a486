#include "device/kestrel/USBDriverKestrel.h"

#include "device/KeyTable.h"
#include "device/kestrel/KestrelMacroCodec.h"
#include "platform/DeviceClock.h"
#include "platform/Log.h"

#include <QDebug>
#include <QThread>
#include <cstring>
#include <iterator>

namespace {

constexpr BYTE kReportId = 0xBA;
constexpr int kReportSize = 32;          // report ID, link marker, 30 command bytes
constexpr int kMaxCommandBytes = kReportSize - 2;
constexpr int kChunk = 24;               // data bytes per A4/A5 command
constexpr DWORD kMacroAreaStart = 4096;  // below it every length is a multiple of 4
constexpr int kBankSize = 1024;

// Link marker of the output report, by mode: 0 wired, 1 through the receiver.
constexpr BYTE kMarkerWired = 0xFF;
constexpr BYTE kMarkerReceiver = 0xA5;
constexpr BYTE kMarkerInvalid = 0x00;

// Reply status byte.
constexpr BYTE kStatusRefused = 0;
constexpr BYTE kStatusDone = 1;
constexpr BYTE kStatusBusy = 2;

// Offsets inside a profile bank.
constexpr int kButtonsOffset = 512;
constexpr int kButtonsLength = 44;
constexpr int kReportIntervalOffset = 1152;
constexpr int kSettingsLength = 68;          // 1152 .. 1219
constexpr int kSilentHeightOffset = 1156;
constexpr int kCpiTableOffset = 1160;
constexpr int kCpiCountOffset = 1172;
constexpr int kLightOffset = 1176;
constexpr int kWord1180Offset = 1180;
constexpr int kScreenWordOffset = 1184;
constexpr int kScreenBytesOffset = 1188;
constexpr int kWord1196Offset = 1196;
constexpr int kWord1200Offset = 1200;
constexpr int kWord1204Offset = 1204;
constexpr int kColoursOffset = 1208;

// The bank-1-only setters write these fixed addresses (bank 1 = base 1024).
constexpr DWORD kBank1Base = 1024;
constexpr DWORD kAddrCpiCount = kBank1Base + kCpiCountOffset;       // 2196
constexpr DWORD kAddrLight = kBank1Base + kLightOffset;             // 2200
constexpr DWORD kAddrWord1180 = kBank1Base + kWord1180Offset;       // 2204
constexpr DWORD kAddrScreenWord = kBank1Base + kScreenWordOffset;   // 2208
constexpr DWORD kAddrScreenBytes = kBank1Base + kScreenBytesOffset; // 2212
constexpr DWORD kAddrOledWord = kBank1Base + kWord1196Offset;       // 2220
constexpr DWORD kAddrColours = kBank1Base + kColoursOffset;         // 2232

// Button key 1..11 to its offset in a bank.
constexpr int kButtonOffsets[11] = {512, 520, 516, 524, 528, 532, 536, 548, 552, 540, 544};

constexpr DWORD kOledFirstSlot = 34;

// HID usage <-> virtual key past the pairs every family shares: usages F0/F1
// come back as the right Ctrl and Shift keys, and the mouse-button keys
// 01, 02, 04 go out as F0, F1, F2.
constexpr KeyTable::KeyPair kOwnKeys[] = {
    {0xF0, 0xA3}, {0xF1, 0xA1}, {0xE6, 0xA5}, {0xE7, 0x5C}, {0x65, 0x5D}, {0xF0, 0x01}, {0xF1, 0x02}, {0xF2, 0x04},
};

bool validBank(int bank)
{
    return bank == 0 || bank == 1;
}

DWORD bankAddress(int bank, int offset)
{
    return DWORD(quint32(bank) * kBankSize + quint32(offset));
}

DWORD readLe32(const BYTE *p)
{
    return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24);
}

void writeLe32(BYTE *p, DWORD v)
{
    p[0] = BYTE(v);
    p[1] = BYTE(v >> 8);
    p[2] = BYTE(v >> 16);
    p[3] = BYTE(v >> 24);
}

QString hex(DWORD v)
{
    return QString::number(quint32(v), 16);
}

} // namespace

USBDriverKestrel::USBDriverKestrel(QObject *parent) : KorvanUSBDriver(parent) {}

USBDriverKestrel::~USBDriverKestrel()
{
    USBDriverKestrel::UnInitDevice();
}

// ---- opening and closing ----

bool USBDriverKestrel::FindHIDDevice()
{
    qInfo("FindHIDDevice");
    UnInitDevice();
    if (!LoadHidParse()) {
        qWarning("load dll failed.");
        return false;
    }
    if (mode == 0) {
        qInfo("DeviceWiredDefault");
        handle = OpenHidDeviceWithReport(0xFF00, 0x0E, wiredPath, kReportId, kReportSize);
    } else if (mode == 1) {
        qInfo("DeviceWireless24G");
        handle = OpenHidDeviceWithReport(0xFF00, 0x0E, wirelessPath, kReportId, kReportSize);
    } else {
        qWarning("DeviceWireless error");
        return isOpen();
    }
    return isOpen();
}

void USBDriverKestrel::UnInitDevice()
{
    qInfo("USBDriverKestrel::UnInitDevice()");
    if (handle) {
        qInfo("UnInitDevice CloseHandle");
        CloseHidDevice(handle);
        handle = nullptr;
    }
    qInfo() << "UnInitDevice FreeLibrary Result" << int(LoadHidParse());
}

void USBDriverKestrel::SetWiredWirelessString(const QString &wired, const QString &wireless)
{
    qInfo("SetWiredWirelessString");
    wiredPath = wired;
    wirelessPath = wireless;
}

void USBDriverKestrel::SetMode(int newMode)
{
    mode = newMode;
}

int USBDriverKestrel::Mode() const
{
    return mode;
}

int USBDriverKestrel::CurrentBank() const
{
    return currentBank;
}

void USBDriverKestrel::SetPolling(int polls, int sleepMs, int sends)
{
    pollCount = qMax(1, polls);
    pollSleepMs = qMax(0, sleepMs);
    sendCount = qMax(1, sends);
}

bool USBDriverKestrel::LastTransferFailed() const
{
    return transferFailed;
}

bool USBDriverKestrel::isOpen() const
{
    return handle != nullptr;
}

BYTE USBDriverKestrel::linkMarker() const
{
    if (mode == 0)
        return kMarkerWired;
    if (mode == 1)
        return kMarkerReceiver;
    return kMarkerInvalid;
}

// ---- the command exchange ----

bool USBDriverKestrel::sendReport(const BYTE *command, int len)
{
    if (!isOpen() || !command || len <= 0 || len > kMaxCommandBytes)
        return false;
    BYTE report[kReportSize] = {};
    report[0] = kReportId;
    report[1] = linkMarker();
    std::memcpy(report + 2, command, size_t(len));
    return WriteHidReport(handle, report, kReportSize);
}

int USBDriverKestrel::readReply(BYTE *reply32)
{
    std::memset(reply32, 0, kReportSize);
    reply32[0] = kReportId;
    return GetInputReport(handle, reply32, kReportSize);
}

bool USBDriverKestrel::exchange(const BYTE *command, int len, BYTE *reply, int replyLen)
{
    // A command that does not fit the report is refused rather than cut short.
    if (!command || len <= 0 || len > kMaxCommandBytes || !reply || replyLen < 1 || replyLen > kReportSize)
        return false;
    // Until a reply arrives, the mouse has not been reached.
    transferFailed = true;
    if (!isOpen())
        return false;
    reply[0] = kStatusRefused;
    for (int attempt = 1; attempt <= sendCount; ++attempt) {
        qCDebug(lcRaw) << "ReapeatCount:" << attempt << int(reply[0]) << sendCount;
        if (reply[0] == kStatusRefused) {
            qDebug("write func: %d", command[0]);
            if (!sendReport(command, len)) {
                qWarning("WriteFile Failed, Error Code %d\n", -1);
                qWarning("wFunc error");
                continue;
            }
        } else if (reply[0] != kStatusBusy) {
            continue; // a status the device never sends: the attempt is spent
        }
        for (int poll = 0; poll < pollCount; ++poll) {
            DeviceClock::sleep(pollSleepMs);
            BYTE in[kReportSize];
            const int got = readReply(in);
            // A reply shorter than this command's answer carries no usable data.
            if (got < replyLen) {
                qWarning("GetInputReport Failed, Error Code %d\n", got);
                continue;
            }
            std::memcpy(reply, in, size_t(replyLen));
            transferFailed = false;
            if (reply[0] == kStatusDone)
                return true;
            if (reply[0] == kStatusRefused)
                break;
        }
    }
    return reply[0] == kStatusDone;
}

// ---- single commands ----

bool USBDriverKestrel::SetCurrentBank(int bank)
{
    if (!validBank(bank))
        return false;
    const BYTE cmd[2] = {0xA1, BYTE(bank)};
    BYTE reply[1];
    return exchange(cmd, 2, reply, 1);
}

bool USBDriverKestrel::GetCurrentBank(DWORD *bank)
{
    const BYTE cmd[2] = {0xA2, 0x00};
    BYTE reply[2];
    if (!exchange(cmd, 2, reply, 2))
        return false;
    // Only banks 0 and 1 exist; anything else would aim every later read at the wrong memory.
    if (!validBank(reply[1])) {
        qWarning("GetCurrentBank: the mouse reports bank %d", reply[1]);
        return false;
    }
    currentBank = reply[1];
    if (bank)
        *bank = DWORD(currentBank);
    return true;
}

bool USBDriverKestrel::GetFwVersion(DWORD *version)
{
    const BYTE cmd[2] = {0xA3, 0x00};
    BYTE reply[5];
    if (!exchange(cmd, 2, reply, 5))
        return false;
    if (version)
        *version = readLe32(reply + 1);
    emit sigMsg(QStringLiteral("version: %1 %2 %3 %4").arg(reply[1]).arg(reply[2]).arg(reply[3]).arg(reply[4]));
    return true;
}

bool USBDriverKestrel::SendCommandA7()
{
    const BYTE cmd[1] = {0xA7};
    BYTE reply[1];
    return exchange(cmd, 1, reply, 1);
}

bool USBDriverKestrel::SendCommandA8()
{
    const BYTE cmd[1] = {0xA8};
    BYTE reply[1];
    return exchange(cmd, 1, reply, 1);
}

bool USBDriverKestrel::GetDeviceWord(WORD *word)
{
    const BYTE cmd[1] = {0xA9};
    BYTE reply[3];
    if (!exchange(cmd, 1, reply, 3))
        return false;
    if (word)
        *word = WORD(reply[1] | (reply[2] << 8));
    return true;
}

bool USBDriverKestrel::GetBatteryRaw(DWORD *raw)
{
    const BYTE cmd[1] = {0xAA};
    BYTE reply[5];
    if (!exchange(cmd, 1, reply, 5))
        return false;
    if (raw)
        *raw = readLe32(reply + 1);
    return true;
}

bool USBDriverKestrel::SendCommandAB(int value)
{
    const BYTE cmd[2] = {0xAB, BYTE(value)};
    BYTE reply[1];
    return exchange(cmd, 2, reply, 1);
}

bool USBDriverKestrel::GetBatteryPolled(DWORD *raw)
{
    if (!isOpen())
        return false;
    const BYTE cmd[1] = {0xAA};
    if (!sendReport(cmd, 1))
        return false;
    // Every one of the five replies is looked at, the last one included.
    for (int poll = 0; poll < 5; ++poll) {
        DeviceClock::sleep(pollSleepMs);
        BYTE in[kReportSize];
        if (readReply(in) < 4)
            continue;
        if (in[0] == kStatusDone) {
            if (raw)
                *raw = DWORD(in[1] | (in[2] << 8));
            return true;
        }
    }
    return false;
}

// ---- memory ----

bool USBDriverKestrel::readChunk(DWORD address, int len, BYTE *out)
{
    const quint32 a = quint32(address);
    const BYTE cmd[6] = {0xA4, BYTE(len), BYTE(a), BYTE(a >> 8), BYTE(a >> 16), BYTE(a >> 24)};
    BYTE reply[kChunk + 4];
    if (!exchange(cmd, 6, reply, len + 4))
        return false;
    std::memcpy(out, reply + 4, size_t(len));
    return true;
}

bool USBDriverKestrel::ReadEEPROM(DWORD address, int len, BYTE *out)
{
    address = DWORD(quint32(address));
    qDebug("ReadEEPROM %x", quint32(address));
    if (!out || len <= 0 || (address < kMacroAreaStart && len % 4 != 0))
        return false;
    // Read into a scratch copy so a failed read leaves the caller's buffer as it was.
    QByteArray data(len, '\0');
    BYTE *dst = reinterpret_cast<BYTE *>(data.data());
    int done = 0;
    while (done < len) {
        const int n = qMin(kChunk, len - done);
        const DWORD at = DWORD(quint32(address + DWORD(done)));
        if (!readChunk(at, n, dst + done)) {
            qWarning("ReadEEPROM Failed, FW return 0, Addr=%x, bytestoread=%d", quint32(at), n);
            emit sigMsg(QStringLiteral("ReadEEPROM Failed, FW return 0, Addr=%1, BytesOfRest=%2")
                            .arg(hex(at))
                            .arg(len - done));
            return false;
        }
        emit sigMsg(QStringLiteral("ReadEEPROM OK, Addr=%1, bytestoread=%2").arg(hex(at)).arg(n));
        done += n;
    }
    std::memcpy(out, dst, size_t(len));
    return true;
}

bool USBDriverKestrel::WriteEEPROM(DWORD address, int len, const BYTE *data)
{
    address = DWORD(quint32(address));
    qDebug("WriteEEPROM %x", quint32(address));
    if (!data || len <= 0 || (address < kMacroAreaStart && len % 4 != 0))
        return false;
    int done = 0;
    while (done < len) {
        const int n = qMin(kChunk, len - done);
        const quint32 at = quint32(address + DWORD(done));
        BYTE cmd[6 + kChunk] = {0xA5, BYTE(n), BYTE(at), BYTE(at >> 8), BYTE(at >> 16), BYTE(at >> 24)};
        std::memcpy(cmd + 6, data + done, size_t(n));
        BYTE reply[1];
        const bool ok = exchange(cmd, 6 + n, reply, 1);
        if (n == kChunk) {
            if (!ok) {
                qWarning("WriteEEPROM Failed, Addr=%x, bytestowrite=%d\n", at, n);
                emit sigMsg(QStringLiteral("WriteEEPROM Failed,Addr=%1, bytestowrite=%2 error = %3\n")
                                .arg(hex(at))
                                .arg(n)
                                .arg(0));
                return false;
            }
            emit sigMsg(QStringLiteral("WriteEEPROM OK, dwAddr= %1, BytesOfRest= %2\n").arg(hex(at)).arg(len - done - n));
        } else {
            if (!ok) {
                emit sigMsg(QStringLiteral("WriteEEPROM Failed, Addr=%1, bytestowrite=%2 error = %3 Cmd=%4\n")
                                .arg(hex(at))
                                .arg(n)
                                .arg(0)
                                .arg(reply[0]));
                return false;
            }
            emit sigMsg(QStringLiteral("WriteEEPROM OK, dwAddr= %1, bytestowrite= %2,\n").arg(hex(at)).arg(n));
        }
        done += n;
    }
    return true;
}

bool USBDriverKestrel::readWord(DWORD address, DWORD *word)
{
    BYTE b[4];
    if (!ReadEEPROM(address, 4, b))
        return false;
    if (word)
        *word = readLe32(b);
    return true;
}

bool USBDriverKestrel::writeWord(DWORD address, DWORD word)
{
    BYTE b[4];
    writeLe32(b, word);
    return WriteEEPROM(address, 4, b);
}

bool USBDriverKestrel::readByteOfWord(DWORD address, int byteIndex, BYTE *value)
{
    BYTE b[4];
    if (!ReadEEPROM(address, 4, b))
        return false;
    if (value)
        *value = b[byteIndex];
    return true;
}

bool USBDriverKestrel::writeByteOfWord(DWORD address, int byteIndex, int value)
{
    BYTE b[4];
    if (!ReadEEPROM(address, 4, b))
        return false;
    b[byteIndex] = BYTE(value);
    return WriteEEPROM(address, 4, b);
}

bool USBDriverKestrel::ReadBankBlock(BYTE *out, int len, int bank)
{
    if (!validBank(bank) || len < 32 || len % 4 != 0)
        return false;
    return ReadEEPROM(DWORD((bank + 1) * kBankSize), len, out);
}

bool USBDriverKestrel::WriteBankBlock(const BYTE *data, int len, int bank)
{
    if (!validBank(bank) || len <= 0 || len > 32 || len % 4 != 0)
        return false;
    return WriteEEPROM(DWORD((bank + 1) * kBankSize), len, data);
}

bool USBDriverKestrel::ReadEEPROMAt(BYTE *out, int len, int bank, int offset)
{
    return ReadEEPROM(bankAddress(bank & 0xFFFFFF, offset), len, out);
}

bool USBDriverKestrel::WriteEEPROMAt(const BYTE *data, int len, int bank, int offset)
{
    return WriteEEPROM(bankAddress(bank & 0xFFFFFF, offset), len, data);
}

bool USBDriverKestrel::GetMousePid(BYTE *b0, BYTE *b1)
{
    BYTE b[4];
    if (!ReadEEPROM(4, 4, b))
        return false;
    if (b0)
        *b0 = b[0];
    if (b1)
        *b1 = b[1];
    return true;
}

// ---- named fields of a bank ----

bool USBDriverKestrel::GetButtonValue(int key, DWORD *word, int bank)
{
    if (key < 1 || key > 11 || (bank != 1 && bank != 2))
        return false;
    return readWord(bankAddress(bank - 1, kButtonOffsets[key - 1]), word);
}

bool USBDriverKestrel::SetButtonValue(int key, DWORD word, int bank)
{
    if (key < 1 || key > 11 || !validBank(bank))
        return false;
    return writeWord(bankAddress(bank, kButtonOffsets[key - 1]), word);
}

bool USBDriverKestrel::GetReportRate(DWORD *interval, int bank)
{
    return validBank(bank) && readWord(bankAddress(bank, kReportIntervalOffset), interval);
}

bool USBDriverKestrel::SetReportRate(DWORD interval, int bank)
{
    return validBank(bank) && writeWord(bankAddress(bank, kReportIntervalOffset), interval);
}

bool USBDriverKestrel::GetSilentHeight(DWORD *value, int bank)
{
    return validBank(bank) && readWord(bankAddress(bank, kSilentHeightOffset), value);
}

bool USBDriverKestrel::SetSilentHeight(DWORD value, int bank)
{
    return validBank(bank) && writeWord(bankAddress(bank, kSilentHeightOffset), value);
}

bool USBDriverKestrel::GetDPIStageMatrix(DWORD *out, int len, int bank)
{
    if (!validBank(bank) || !out || len <= 0 || len % 4 != 0 || kCpiTableOffset + len > 2 * kBankSize)
        return false;
    QByteArray raw(len, '\0');
    BYTE *b = reinterpret_cast<BYTE *>(raw.data());
    if (!ReadEEPROM(bankAddress(bank, kCpiTableOffset), len, b))
        return false;
    for (int i = 0; i < len / 4; ++i)
        out[i] = readLe32(b + 4 * i);
    return true;
}

bool USBDriverKestrel::SetDPIStageMatrix(const DWORD *table, int len, int bank)
{
    if (!validBank(bank) || !table || len <= 0 || len % 4 != 0 || kCpiTableOffset + len > 2 * kBankSize)
        return false;
    BYTE count[4];
    if (!ReadEEPROM(kAddrCpiCount, 4, count))
        return false;
    QByteArray raw(len, '\0');
    BYTE *b = reinterpret_cast<BYTE *>(raw.data());
    for (int i = 0; i < len / 4; ++i)
        writeLe32(b + 4 * i, table[i]);
    // Byte 14 repeats the level-count byte; byte 15 is always 0.
    if (len >= 16) {
        b[14] = count[2];
        b[15] = 0;
    }
    return WriteEEPROM(bankAddress(bank, kCpiTableOffset), len, b);
}

bool USBDriverKestrel::GetDpiLedRateLightIntensity(BYTE *b0, BYTE *lightMode, BYTE *speed, BYTE *degree, int bank)
{
    BYTE b[4];
    if (!validBank(bank) || !ReadEEPROM(bankAddress(bank, kLightOffset), 4, b))
        return false;
    if (b0)
        *b0 = b[0];
    if (lightMode)
        *lightMode = b[1];
    if (speed)
        *speed = b[2];
    if (degree)
        *degree = b[3];
    return true;
}

bool USBDriverKestrel::SetDpiLedRateLightIntensity(BYTE b0, BYTE lightMode, BYTE speed, BYTE degree, int bank)
{
    if (!validBank(bank))
        return false;
    const BYTE b[4] = {b0, lightMode, speed, degree};
    return WriteEEPROM(kAddrLight, 4, b);
}

bool USBDriverKestrel::GetDpiLed(BYTE *value, int bank)
{
    return validBank(bank) && readByteOfWord(bankAddress(bank, kLightOffset), 0, value);
}

bool USBDriverKestrel::SetDpiLed(int value, int bank)
{
    return validBank(bank) && writeByteOfWord(kAddrLight, 0, value);
}

bool USBDriverKestrel::GetLightMode(BYTE *value, int bank)
{
    return validBank(bank) && readByteOfWord(bankAddress(bank, kLightOffset), 1, value);
}

bool USBDriverKestrel::SetLightMode(int value, int bank)
{
    return validBank(bank) && writeByteOfWord(kAddrLight, 1, value);
}

bool USBDriverKestrel::GetLightSpeed(BYTE *value, int bank)
{
    return validBank(bank) && readByteOfWord(bankAddress(bank, kLightOffset), 2, value);
}

bool USBDriverKestrel::SetLightSpeed(int value, int bank)
{
    return validBank(bank) && writeByteOfWord(kAddrLight, 2, value);
}

bool USBDriverKestrel::GetLightDegree(BYTE *value, int bank)
{
    return validBank(bank) && readByteOfWord(bankAddress(bank, kLightOffset), 3, value);
}

bool USBDriverKestrel::SetLightDegree(int value, int bank)
{
    return validBank(bank) && writeByteOfWord(kAddrLight, 3, value);
}

bool USBDriverKestrel::GetWord1180(DWORD *word, int bank)
{
    return validBank(bank) && readWord(bankAddress(bank, kWord1180Offset), word);
}

bool USBDriverKestrel::SetWord1180(DWORD word, int bank)
{
    return validBank(bank) && writeWord(bankAddress(bank, kWord1180Offset), word);
}

bool USBDriverKestrel::GetWord1180Byte0(BYTE *value, int bank)
{
    return validBank(bank) && readByteOfWord(bankAddress(bank, kWord1180Offset), 0, value);
}

bool USBDriverKestrel::SetWord1180Byte0(int value, int bank)
{
    return validBank(bank) && writeByteOfWord(bankAddress(bank, kWord1180Offset), 0, value);
}

bool USBDriverKestrel::SetOLEDScreenParameter(int behaviour, bool flag, int bank)
{
    BYTE b[4];
    if (!validBank(bank) || !ReadEEPROM(kAddrOledWord, 4, b))
        return false;
    b[0] = BYTE(behaviour);
    b[1] = flag ? 1 : 0;
    return WriteEEPROM(kAddrOledWord, 4, b);
}

bool USBDriverKestrel::GetWord1180Byte1(BYTE *value, int bank)
{
    return validBank(bank) && readByteOfWord(bankAddress(bank, kWord1180Offset), 1, value);
}

bool USBDriverKestrel::SetWord1180Byte1(int value, int bank)
{
    return validBank(bank) && writeByteOfWord(bankAddress(bank, kWord1180Offset), 1, value);
}

bool USBDriverKestrel::GetLedColor(DWORD *colour, int index, int bank)
{
    if (!validBank(bank) || index < 0 || index > 2)
        return false;
    return readWord(bankAddress(bank, kColoursOffset + 4 * index), colour);
}

bool USBDriverKestrel::SetLedColor(DWORD colour, int index, int bank)
{
    if (!validBank(bank) || index < 0 || index > 2)
        return false;
    return writeWord(kAddrColours + DWORD(4 * index), colour);
}

// The colours may run on past offset 1219 but never into the macro memory at 4096.
static bool colourCountFits(DWORD address, int count)
{
    return count > 0 && address + DWORD(4) * DWORD(count) <= kMacroAreaStart;
}

bool USBDriverKestrel::SetLedColorMatrixAll(const DWORD *colours, int count, int bank)
{
    qInfo("SetLedColorMatrixAll %x", quint32(kAddrColours));
    if (!validBank(bank) || !colours || !colourCountFits(kAddrColours, count))
        return false;
    QByteArray raw(4 * count, '\0');
    BYTE *b = reinterpret_cast<BYTE *>(raw.data());
    for (int i = 0; i < count; ++i)
        writeLe32(b + 4 * i, colours[i]);
    return WriteEEPROM(kAddrColours, 4 * count, b);
}

// ---- the first family's own operations ----

bool USBDriverKestrel::GetProfileData(BYTE *record)
{
    qInfo() << "USBDriverKestrel GetProfileData currentThreadId" << QThread::currentThreadId();
    qInfo("USBDriverKestrel::GetProfileData");
    if (!record)
        return false;
    DWORD bank = 0;
    if (GetCurrentBank(&bank))
        writeLe32(record, bank);
    WORD word = 0;
    if (GetDeviceWord(&word)) {
        record[8] = BYTE(word);
        record[9] = BYTE(word >> 8);
    }
    DWORD battery = 0;
    if (GetBatteryRaw(&battery))
        writeLe32(record + 12, battery);
    BYTE buttons[kButtonsLength];
    BYTE settings[kSettingsLength];
    if (!ReadEEPROM(bankAddress(currentBank, kButtonsOffset), kButtonsLength, buttons))
        return false;
    if (!ReadEEPROM(bankAddress(currentBank, kReportIntervalOffset), kSettingsLength, settings))
        return false;
    std::memcpy(record + 16, buttons, kButtonsLength);
    std::memcpy(record + 60, settings, kSettingsLength);
    return true;
}

bool USBDriverKestrel::SetProfileData(const BYTE *record)
{
    qInfo() << " USBDriverKestrel SetProfileData currentThreadId" << QThread::currentThreadId();
    if (!record)
        return false;
    if (!WriteEEPROM(kBank1Base + kButtonsOffset, kButtonsLength, record + 16))
        return false;
    return WriteEEPROM(bankAddress(currentBank, kReportIntervalOffset), kSettingsLength, record + 60);
}

bool USBDriverKestrel::SetGlobal2196(int value, int bank)
{
    return validBank(bank) && writeByteOfWord(kAddrCpiCount, 2, value);
}

bool USBDriverKestrel::GetDPICount(BYTE *value, int bank)
{
    return validBank(bank) && readByteOfWord(bankAddress(bank, kCpiCountOffset), 2, value);
}

bool USBDriverKestrel::GetLedColorMatrixAll(DWORD *out, int count, int bank)
{
    if (!validBank(bank))
        return false;
    const DWORD address = bankAddress(bank, kColoursOffset);
    qInfo("GetLedColorMatrixAll %x", quint32(address));
    if (!out || !colourCountFits(address, count))
        return false;
    QByteArray raw(4 * count, '\0');
    BYTE *b = reinterpret_cast<BYTE *>(raw.data());
    if (!ReadEEPROM(address, 4 * count, b))
        return false;
    for (int i = 0; i < count; ++i)
        out[i] = readLe32(b + 4 * i);
    return true;
}

bool USBDriverKestrel::SetGlobal2208(DWORD value, int bank)
{
    return validBank(bank) && writeWord(kAddrScreenWord, value);
}

bool USBDriverKestrel::GetGlobal2208(DWORD *value, int bank)
{
    return validBank(bank) && readWord(kAddrScreenWord, value);
}

bool USBDriverKestrel::SetGlobal2212(int index, int value, int bank)
{
    if (!validBank(bank) || index < 0 || index > 7)
        return false;
    return writeByteOfWord(kAddrScreenBytes + DWORD(index / 4 * 4), index % 4, value);
}

bool USBDriverKestrel::GetBankBytes1188(BYTE *out8, int bank)
{
    return validBank(bank) && ReadEEPROM(bankAddress(bank, kScreenBytesOffset), 8, out8);
}

bool USBDriverKestrel::SetBank1196(DWORD value, int bank)
{
    return validBank(bank) && writeWord(bankAddress(bank, kWord1196Offset), value);
}

bool USBDriverKestrel::GetBank1196(DWORD *value, int bank)
{
    return validBank(bank) && readWord(bankAddress(bank, kWord1196Offset), value);
}

bool USBDriverKestrel::GetBank1196Byte1(BYTE *value, int bank)
{
    return validBank(bank) && readByteOfWord(bankAddress(bank, kWord1196Offset), 1, value);
}

bool USBDriverKestrel::SetGunFireNumber(int count, int bank)
{
    return validBank(bank) && writeByteOfWord(kAddrWord1180, 2, count);
}

bool USBDriverKestrel::ReadWord1180(DWORD *word, int bank)
{
    return validBank(bank) && readWord(bankAddress(bank, kWord1180Offset), word);
}

bool USBDriverKestrel::SetBank1200(DWORD value, int bank)
{
    return validBank(bank) && writeWord(bankAddress(bank, kWord1200Offset), value);
}

bool USBDriverKestrel::GetBank1200(DWORD *value, int bank)
{
    return validBank(bank) && readWord(bankAddress(bank, kWord1200Offset), value);
}

bool USBDriverKestrel::SetBank1204(DWORD value, int bank)
{
    return validBank(bank) && writeWord(bankAddress(bank, kWord1204Offset), value);
}

bool USBDriverKestrel::GetBank1204(DWORD *value, int bank)
{
    return validBank(bank) && readWord(bankAddress(bank, kWord1204Offset), value);
}

static DWORD oledAddress(int picture)
{
    return DWORD(quint32(picture) + kOledFirstSlot) * kMacroAreaStart;
}

bool USBDriverKestrel::WriteOLEDImage(int picture, const BYTE *data)
{
    if (picture < 0 || picture > 0xFFFF || !data)
        return false;
    return WriteEEPROM(oledAddress(picture), kOledImageSize, data);
}

bool USBDriverKestrel::ReadOLEDImage(int picture, BYTE *out)
{
    if (picture < 0 || picture > 0xFFFF || !out)
        return false;
    const DWORD address = oledAddress(picture);
    qInfo() << "read picture addr " << hex(address);
    return ReadEEPROM(address, kOledImageSize, out);
}

// ---- macros ----

DWORD USBDriverKestrel::MacroSlotAddress(int slot, int form)
{
    if (form == 1 && slot >= 0 && slot < kFirstFormSlots)
        return DWORD(kMacroAreaStart) * DWORD(slot + 1);
    if (form == 2 && slot >= 0 && slot < kSecondFormSlots)
        return DWORD(kMacroAreaStart) * DWORD(slot + 16);
    return 0;
}

DWORD USBDriverKestrel::RapidFireLengthAddress(int k)
{
    return k >= 0 && k < kSecondFormSlots - kFirstFormSlots ? DWORD(kMacroAreaStart) * DWORD(12 + k) : 0;
}

bool USBDriverKestrel::WriteMacro(int slot, int form, const KestrelMacro &macro)
{
    const DWORD address = MacroSlotAddress(slot, form);
    if (address == 0) {
        qWarning("TotalSize = 0x%x", unsigned(macro.header));
        return false;
    }
    QByteArray image(kMacroImageSize, '\0');
    BYTE *b = reinterpret_cast<BYTE *>(image.data());
    int length = 0;
    if (!KestrelMacroCodec::toDeviceImage(macro, b, &length)) {
        qWarning("StandardToHardware = 0x%x", unsigned(macro.header));
        return false;
    }
    qInfo("macro addr:%0x %d %d", quint32(address), form, slot);
    return WriteEEPROM(address, length, b);
}

bool USBDriverKestrel::WriteMacroImage(int slot, int form, const BYTE *image)
{
    const DWORD address = MacroSlotAddress(slot, form);
    if (address == 0 || !image)
        return false;
    const int length = image[0] | (image[1] << 8);
    if (length > kMacroImageSize)
        return false;
    qInfo("macro addr:%0x %d %d", quint32(address), form, slot);
    // An empty image only clears the length, which frees the slot.
    return WriteEEPROM(address, length == 0 ? 2 : length, image);
}

bool USBDriverKestrel::ReadMacro(int slot, int form, BYTE *out)
{
    if (!out)
        return false;
    std::memset(out, 0, kMacroImageSize);
    const DWORD address = MacroSlotAddress(slot, form);
    if (address == 0)
        return false;
    BYTE head[4];
    if (!ReadEEPROM(address, 4, head))
        return false;
    const int length = head[0] | (head[1] << 8);
    qInfo("LEN %0x", unsigned(length));
    // A length outside 1..4096 (an erased or damaged slot) reads as an empty macro.
    if (length < 1 || length > kMacroImageSize)
        return true;
    return ReadEEPROM(address, length, out);
}

bool USBDriverKestrel::IsMacroSlotFree(int slot)
{
    const DWORD address = MacroSlotAddress(slot, 1);
    if (address == 0)
        return false;
    BYTE head[2];
    if (!ReadEEPROM(address, 2, head))
        return false;
    const int length = head[0] | (head[1] << 8);
    return length == 0 || length > kMacroImageSize;
}

// ---- key codes ----

int USBDriverKestrel::UsageToKey(int usage)
{
    return KeyTable::keyOfUsage(kOwnKeys, std::size(kOwnKeys), usage);
}

int USBDriverKestrel::KeyToUsage(int virtualKey)
{
    return KeyTable::usageOfKey(kOwnKeys, std::size(kOwnKeys), virtualKey);
}

int USBDriverKestrel::ExchangeModifierBits(int code)
{
    if (code <= 0 || code > 15)
        return -1;
    return (code & ~3) | ((code & 1) << 1) | ((code & 2) >> 1);
}

// ---- receiver channel ----

bool USBDriverKestrel::WriteDongle(const BYTE *bytes, int len)
{
    if (!bytes || len <= 0 || len > kMaxCommandBytes)
        return false;
    return sendReport(bytes, len);
}

bool USBDriverKestrel::ReadDongle(BYTE *reply2)
{
    if (!reply2 || !isOpen())
        return false;
    BYTE in[kReportSize];
    if (readReply(in) < 2)
        return false;
    reply2[0] = in[0];
    reply2[1] = in[1];
    return true;
}
