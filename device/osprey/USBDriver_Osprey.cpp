#include "device/osprey/USBDriver_Osprey.h"

#include "model/ProductTable.h"
#include "platform/DeviceClock.h"

#include <QDebug>
#include <QPair>
#include <cstring>
#include <vector>

namespace {

// Commands; the high bit set reads, clear writes.
constexpr BYTE kCmdStatus = 0x82;
constexpr BYTE kCmdReadProfile = 0x83;
constexpr BYTE kCmdReadMacro = 0x84;
constexpr BYTE kCmdReadScreen = 0x85;
constexpr BYTE kCmdWriteProfile = 0x03;
constexpr BYTE kCmdWriteMacro = 0x04;
constexpr BYTE kCmdWriteScreen = 0x05;
constexpr BYTE kScreenAddress = 0x80;

// Every reply starts with the data report's ID and the command it answers.
constexpr BYTE kReplyId = 0x06;
constexpr int kReplyDataOffset = 8;     // blocks start at reply byte 8
constexpr int kStatusReplyLength = 8;
constexpr int kStatusFlagByte = 7;      // 1 on the first poll: the mouse cannot take the write
constexpr int kStatusAttempts = 4;

// Status byte index of each write.
constexpr int kStatusProfile = 1;
constexpr int kStatusMacro = 2;
constexpr int kStatusScreen = 3;

// A block write: command, address, length (LE in bytes 2..3), three zero bytes, block.
constexpr int kBlockHeader = 7;
constexpr int kBlockWriteLength = kBlockHeader + USBDriver_Osprey::kBlockSize; // 1031 data bytes
constexpr int kProfileWriteLength = 512;
constexpr int kProfileCacheSent = 504;  // the record and the 28 bytes after it

// The fixed part 1..241 and the settings part 242..475 of the profile.
constexpr int kFixedFirst = 1;
constexpr int kFixedLast = 241;
constexpr int kSettingsFirst = 242;
constexpr int kSettingsLast = 475;
constexpr int kBalanceByte = 13;
constexpr int kSecondBalanceByte = 19;  // type 3 only
constexpr int kKeyA = 476;
constexpr int kKeyB = 477;
constexpr int kSettingsSum = 479;

// The pair the fixed part of the model's profile sums to (the catalogue's);
// a model without one takes this pair.
constexpr BYTE kOtherSumLow = 0x4A;
constexpr BYTE kOtherSumHigh = 0x79;

QPair<BYTE, BYTE> sumConstantOf(int mouseType)
{
    const OspreyFacts facts = Products::ospreyFacts(mouseType);
    if (facts.cpiCoding == CpiCoding::None)
        return {kOtherSumLow, kOtherSumHigh};
    return {facts.sumLow, facts.sumHigh};
}

// Odd positions count once, even ones three times.
quint32 weightedSum(const BYTE *p, int first, int last)
{
    quint32 sum = 0;
    for (int i = first; i <= last; ++i)
        sum += (i % 2 ? 1u : 3u) * p[i];
    return sum;
}

// The report a channel sends: its ID, then len bytes, zero filled. Bytes
// that do not fit after the ID byte are refused, not cut: empty then.
std::vector<BYTE> reportFor(const USBDriver_Osprey::Channel &channel, const BYTE *data, int len)
{
    if (!data || len < 0 || channel.reportLength < 1)
        return {};
    if (len > channel.reportLength - 1) {
        qWarning("a report of %d bytes does not hold %d", channel.reportLength, len);
        return {};
    }
    std::vector<BYTE> report(channel.reportLength, 0);
    report[0] = BYTE(channel.reportId);
    std::memcpy(report.data() + 1, data, size_t(len));
    return report;
}

} // namespace

USBDriver_Osprey::USBDriver_Osprey(QObject *parent) : KorvanUSBDriver(parent)
{
    for (int k = 0; k < kMacroSlots; ++k)
        m_macroAddresses.append(uchar(0x8C + 4 * k));
}

USBDriver_Osprey::~USBDriver_Osprey()
{
    USBDriver_Osprey::CloseAllHandles();
}

// ---- opening and closing ----

bool USBDriver_Osprey::FindHIDDevice()
{
    CloseAllHandles();
    HidBackend *bus = Hid::backend();
    if (!bus)
        return false;
    for (const HidDeviceInfo &info : bus->enumerate()) {
        qInfo() << "name:" << info.productString;
        qInfo("Attributes: %x %x %x %x", info.vendorId, info.productId, m_vid, m_pid);
        if (info.vendorId != m_vid || info.productId != m_pid)
            continue;
        const HidCollectionCaps &caps = info.caps;
        qInfo() << "Usage:" << caps.usage;
        qInfo() << "UsagePage:" << caps.usagePage;
        qInfo() << "Feature report:" << caps.numberFeatureValueCaps;
        qInfo() << "FeatureReportByteLength:" << caps.featureReportByteLength;
        qInfo() << "NumberInputValueCaps" << caps.numberInputValueCaps;
        qInfo() << "InputReportByteLength:" << caps.inputReportByteLength;
        qInfo() << "NumberOutputValueCaps" << caps.numberOutputValueCaps;
        qInfo() << "OutputReportByteLength:" << caps.outputReportByteLength;
        if (caps.numberFeatureValueCaps == 0) {
            qInfo("NumberFeatureValueCaps == 0");
            continue;
        }
        if (caps.usage != 1 && caps.usagePage != 0xFF00) {
            qInfo("Usage  UsagePage  error");
            continue;
        }
        int reportId = 0;
        if (caps.usage == 1 && caps.usagePage == 0xFF00) {
            for (quint8 id : caps.featureValueCapReportIds) {
                // The cap's field count: its report's data bytes, for the log.
                int count = 0;
                for (const HidReportLengths &r : caps.reports)
                    if (r.reportId == id)
                        count = qMax(0, r.feature - 1);
                qInfo("out Usage: %x, UsagePage: %x", caps.usage, caps.usagePage);
                qInfo("out  report id:%x count:%x", id, count);
                reportId = id;
            }
        }
        std::unique_ptr<HidDevice> readHandle = bus->open(info);
        std::unique_ptr<HidDevice> writeHandle = bus->open(info);
        if (!readHandle || !writeHandle) {
            qWarning() << info.path << "read:" << bool(readHandle) << "write:" << bool(writeHandle);
            continue;
        }
        Channel *channel = nullptr;
        if (caps.featureReportByteLength == kDataReportLength)
            channel = &m_data;
        else if (caps.featureReportByteLength == kCommandReportLength)
            channel = &m_command;
        if (!channel)
            continue; // the handles close as they go out of scope
        channel->readHandle = std::move(readHandle);
        channel->writeHandle = std::move(writeHandle);
        channel->reportId = reportId;
        channel->reportLength = USHORT(caps.featureReportByteLength);
        channel->productName = info.productString;
        if (m_command.isOpen() && m_data.isOpen()) {
            m_versionNumber = info.releaseNumber;
            return true;
        }
    }
    // Half a mouse is no mouse: a channel found alone is not kept open.
    CloseAllHandles();
    return false;
}

void USBDriver_Osprey::UnInitDevice()
{
    CloseAllHandles();
}

void USBDriver_Osprey::CloseAllHandles()
{
    for (Channel *channel : {&m_command, &m_data}) {
        for (std::unique_ptr<HidDevice> *handle : {&channel->readHandle, &channel->writeHandle}) {
            if (*handle)
                (*handle)->close();
            handle->reset();
        }
    }
}

void USBDriver_Osprey::SetPidVid(USHORT pid, USHORT vid)
{
    m_pid = pid;
    m_vid = vid;
}

USHORT USBDriver_Osprey::GetDeviceVersion()
{
    return m_versionNumber;
}

QByteArray USBDriver_Osprey::profileCache() const
{
    return QByteArray(reinterpret_cast<const char *>(m_profileCache), kBlockSize);
}

// ---- feature, output and input reports ----

bool USBDriver_Osprey::SetFeatureReport(Channel *channel, const BYTE *data, int len)
{
    if (!channel || !channel->writeHandle)
        return false;
    const std::vector<BYTE> report = reportFor(*channel, data, len);
    if (report.empty())
        return false;
    const int sent = channel->writeHandle->sendFeatureReport(report.data(), report.size());
    if (sent != int(report.size())) {
        qWarning("HidD_SetFeature fail: %d", sent);
        return false;
    }
    return true;
}

bool USBDriver_Osprey::GetFeatureReport(Channel *channel, BYTE *out, int len)
{
    if (!channel || !channel->readHandle || !out || len < 0)
        return false;
    if (len > channel->reportLength) {
        qWarning("GetFeatureReport: %d bytes asked of a %d-byte report", len, channel->reportLength);
        return false;
    }
    std::vector<BYTE> buffer(channel->reportLength, 0);
    buffer[0] = BYTE(channel->reportId);
    const int got = channel->readHandle->getFeatureReport(buffer.data(), buffer.size());
    if (got < 0) {
        qWarning("HidD_GetFeature Failed, Error Code %d\n", got);
        return false;
    }
    // A short report would leave the rest of the caller's bytes as they were: no reply at all.
    if (got < len) {
        qWarning("GetFeatureReport: the device gave %d of %d bytes", got, len);
        return false;
    }
    std::memcpy(out, buffer.data(), size_t(len));
    return true;
}

bool USBDriver_Osprey::WriteOutputReport(Channel *channel, const BYTE *data, int len)
{
    if (!channel || !channel->writeHandle)
        return false;
    const std::vector<BYTE> report = reportFor(*channel, data, len);
    if (report.empty())
        return false;
    const int written = channel->writeHandle->write(report.data(), report.size());
    if (written != int(report.size())) {
        qWarning("WriteFile Failed, Error Code %d\n", written);
        return false;
    }
    return true;
}

bool USBDriver_Osprey::ReadInputReport(Channel *channel, BYTE *out, int len)
{
    // A read waits no longer than this for the mouse's report.
    constexpr int kReadTimeoutMs = 1000;
    if (!channel || !channel->readHandle || !out || len < 0 || len > channel->reportLength)
        return false;
    std::vector<BYTE> buffer(channel->reportLength, 0);
    std::memcpy(buffer.data() + 1, out, size_t(qMin(len, channel->reportLength - 1)));
    buffer[0] = BYTE(channel->reportId);
    const int got = channel->readHandle->read(buffer.data(), buffer.size(), kReadTimeoutMs);
    if (got < len || got <= 0) {
        qWarning("HidD_GetInputReport Failed, Error Code %d\n", got);
        return false;
    }
    std::memcpy(out, buffer.data(), size_t(len));
    return true;
}

bool USBDriver_Osprey::SendCommand(Channel *channel, const BYTE *data, int len)
{
    DeviceClock::sleep(100);
    return SetFeatureReport(channel, data, len);
}

bool USBDriver_Osprey::ReceiveReply(Channel *channel, BYTE *out, int len)
{
    DeviceClock::sleep(100);
    return GetFeatureReport(channel, out, len);
}

// ---- status and block writes ----

bool USBDriver_Osprey::GetStatus(BYTE *status, int index)
{
    qInfo("GetStatus");
    if (!status || index < 1 || index >= kStatusReplyLength - 1)
        return false;
    const BYTE command[1] = {kCmdStatus};
    for (int attempt = 0; attempt < kStatusAttempts; ++attempt) {
        BYTE reply[kStatusReplyLength] = {};
        if (!SendCommand(&m_command, command, 1) || !ReceiveReply(&m_data, reply, kStatusReplyLength))
            return false;
        if (reply[0] != kReplyId || reply[1] != kCmdStatus)
            return false;
        // Only the first answer may say the mouse cannot take the write at all.
        if (attempt == 0 && reply[kStatusFlagByte] == 1)
            return false;
        *status = reply[1 + index];
        if (*status == 0)
            return true;
        DeviceClock::sleep(100);
    }
    return false;
}

bool USBDriver_Osprey::writeWithStatus(const BYTE *data, int len, int statusIndex)
{
    if (!SendCommand(&m_data, data, len))
        return false;
    DeviceClock::sleep(100);
    BYTE status = 0;
    if (GetStatus(&status, statusIndex))
        return true;
    if (status != 0)
        DeviceClock::sleep(50);
    return false;
}

bool USBDriver_Osprey::readReply(BYTE command, BYTE *reply)
{
    if (!ReceiveReply(&m_data, reply, kDataReportLength))
        return false;
    if (reply[0] != kReplyId || reply[1] != command) {
        qWarning("reply %02x %02x does not answer command %02x", reply[0], reply[1], command);
        return false;
    }
    return true;
}

// ---- profile ----

bool USBDriver_Osprey::CheckProfileSum(BYTE *p)
{
    const int mouseType = m_mouseType;
    quint32 sum = weightedSum(p, kFixedFirst, kFixedLast);
    if (m_keyA == 0)
        sum += m_keyB;
    else
        sum -= m_keyB;
    BYTE low = BYTE(sum - p[kBalanceByte]);
    if (Products::ospreyFacts(mouseType).secondBalanceByte)
        low = BYTE(low - p[kSecondBalanceByte]);
    const BYTE high = BYTE(sum >> 8);
    qInfo("crcNumber VALUE %x %x %x", p[kBalanceByte], low, high);
    const QPair<BYTE, BYTE> expected = sumConstantOf(mouseType);
    if (low != expected.first || high != expected.second)
        return false;
    p[kKeyA] = m_keyA;
    p[kKeyB] = m_keyB;
    p[kKeyB + 1] = 0;
    const quint32 settings = weightedSum(p, kSettingsFirst, kSettingsLast);
    p[kSettingsSum] = BYTE(settings);
    p[kSettingsSum + 1] = BYTE(settings >> 8);
    qInfo("ccrNumber %x %x", p[kSettingsSum], p[kSettingsSum + 1]);
    return true;
}

bool USBDriver_Osprey::GetProfileDataBlock(BYTE *out476)
{
    if (!out476)
        return false;
    DeviceClock::sleep(50);
    const BYTE command[2] = {kCmdReadProfile, 0x00};
    if (!SendCommand(&m_command, command, 2))
        return false;
    qInfo() << "GetProfileData len:" << m_data.reportLength;
    std::vector<BYTE> reply(kDataReportLength, 0);
    if (!readReply(kCmdReadProfile, reply.data()))
        return false;
    BYTE *profile = reply.data() + kReplyDataOffset;
    std::memcpy(m_profileCache, profile, kBlockSize);
    m_keyA = profile[kKeyA];
    m_keyB = profile[kKeyB];
    qInfo("SetProfileData+++++");
    const bool balanced = CheckProfileSum(profile);
    if (!balanced && !Products::ospreyFacts(m_mouseType).anyFixedPart)
        return false;
    std::memcpy(out476, m_profileCache, kProfileSize);
    return true;
}

bool USBDriver_Osprey::SetProfileDataBlock(const BYTE *in476)
{
    if (!in476)
        return false;
    std::memcpy(m_profileCache, in476, kProfileSize);
    BYTE data[kProfileWriteLength] = {kCmdWriteProfile, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00};
    std::memcpy(data + kBlockHeader, m_profileCache, kProfileCacheSent);
    qInfo("SetProfileData+++++");
    if (!CheckProfileSum(data + kBlockHeader) && !Products::ospreyFacts(m_mouseType).anyFixedPart)
        return false;
    return writeWithStatus(data, kProfileWriteLength, kStatusProfile);
}

// ---- macros ----

bool USBDriver_Osprey::ParseMacroReply(const BYTE *reply, MacroRecord *out)
{
    if (!reply || !out)
        return false;
    const BYTE *block = reply + kReplyDataOffset;
    if (block[0] == 0 && block[1] == 0)
        return false;
    MacroRecord macro;
    macro.header0 = block[0];
    macro.header1 = block[1];
    for (int i = 2; i + 1 < kBlockSize; i += 2) {
        const USHORT item = USHORT(block[i] | (block[i + 1] << 8));
        if (item == 0)
            break;
        macro.items.append(item);
    }
    if (macro.items.isEmpty())
        return false;
    *out = macro;
    return true;
}

bool USBDriver_Osprey::ReadMacro(uchar address, MacroRecord *out)
{
    const BYTE command[3] = {kCmdReadMacro, address, 0x00};
    if (!SendCommand(&m_command, command, 3))
        return false;
    std::vector<BYTE> reply(kDataReportLength, 0);
    if (!readReply(kCmdReadMacro, reply.data()))
        return false;
    MacroRecord macro;
    const bool parsed = ParseMacroReply(reply.data(), &macro);
    DeviceClock::sleep(50);
    BYTE status = 0;
    if (!GetStatus(&status, kStatusMacro) || !parsed)
        return false;
    if (out)
        *out = macro;
    return true;
}

bool USBDriver_Osprey::ReadMacros(QList<MacroRecord> *out)
{
    QList<MacroRecord> found;
    std::vector<BYTE> reply(kDataReportLength, 0);
    for (int k = 0; k < kReadableMacros; ++k) {
        const BYTE command[3] = {kCmdReadMacro, m_macroAddresses.at(k), 0x00};
        if (!SendCommand(&m_command, command, 3) || !readReply(kCmdReadMacro, reply.data()))
            return false;
        MacroRecord macro;
        if (ParseMacroReply(reply.data(), &macro))
            found.append(macro);
        DeviceClock::sleep(50);
        BYTE status = 0;
        if (!GetStatus(&status, kStatusMacro))
            return false;
    }
    if (out)
        out->append(found);
    return true;
}

bool USBDriver_Osprey::SetMacroStruct(const MacroRecord &macro, uchar address)
{
    if (macro.items.size() > kMaxMacroItems) {
        qWarning("SetMacroStruct: %d steps do not fit a macro block", int(macro.items.size()));
        return false;
    }
    BYTE data[kBlockWriteLength] = {kCmdWriteMacro, address, 0x00, 0x04, 0x00, 0x00, 0x00};
    BYTE *block = data + kBlockHeader;
    block[0] = macro.header0;
    block[1] = macro.header1;
    int at = 2;
    for (USHORT item : macro.items) {
        block[at] = BYTE(item);
        block[at + 1] = BYTE(item >> 8);
        qDebug("item: %x %x", block[at], block[at + 1]);
        at += 2;
    }
    qInfo() << "SetMacroStruct" << "MacroItemLength" << 2 * macro.items.size();
    return writeWithStatus(data, kBlockWriteLength, kStatusMacro);
}

bool USBDriver_Osprey::PrepareMacroBlocks(const QList<MacroRecord> &macros)
{
    // A list the slots cannot hold is refused whole, before any block changes.
    if (macros.size() > kMacroSlots)
        return false;
    for (const MacroRecord &m : macros)
        if (m.items.size() > kMaxMacroItems)
            return false;
    std::memset(m_macroBlocks, 0, sizeof m_macroBlocks);
    m_macroBlockCount = 0;
    for (const MacroRecord &m : macros) {
        BYTE *block = m_macroBlocks[m_macroBlockCount++];
        block[0] = m.header0;
        block[1] = m.header1;
        int at = 2;
        for (USHORT item : m.items) {
            block[at++] = BYTE(item);
            block[at++] = BYTE(item >> 8);
        }
    }
    return true;
}

bool USBDriver_Osprey::WriteMacroBlocks(const QList<MacroRecord> &macros)
{
    if (macros.isEmpty())
        return true;
    if (!PrepareMacroBlocks(macros)) {
        qWarning("WriteMacroBlocks: %d macros do not fit the mouse's slots", int(macros.size()));
        return false;
    }
    for (int i = 0; i < macros.size(); ++i) {
        BYTE data[kBlockWriteLength] = {kCmdWriteMacro, m_macroAddresses.at(i), 0x00, 0x04, 0x00, 0x00, 0x00};
        std::memcpy(data + kBlockHeader, m_macroBlocks[i], kBlockSize);
        if (!SendCommand(&m_data, data, kBlockWriteLength))
            return false;
        DeviceClock::sleep(50);
        BYTE status = 0;
        if (!GetStatus(&status, kStatusMacro))
            return false;
    }
    return true;
}

// ---- screen ----

bool USBDriver_Osprey::WriteScreenBlock(const BYTE *block1024)
{
    if (!block1024)
        return false;
    BYTE data[kBlockWriteLength] = {kCmdWriteScreen, kScreenAddress, 0x00, 0x04, 0x00, 0x00, 0x00};
    std::memcpy(data + kBlockHeader, block1024, kBlockSize);
    return writeWithStatus(data, kBlockWriteLength, kStatusScreen);
}

bool USBDriver_Osprey::ReadScreenBlock(BYTE *out1024)
{
    if (!out1024)
        return false;
    const BYTE command[2] = {kCmdReadScreen, kScreenAddress};
    if (!SendCommand(&m_command, command, 2))
        return false;
    std::vector<BYTE> reply(kDataReportLength, 0);
    if (!readReply(kCmdReadScreen, reply.data()))
        return false;
    std::memcpy(out1024, reply.data() + kReplyDataOffset, kBlockSize);
    return true;
}
