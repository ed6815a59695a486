#include "emulator/osprey/EmulatedOspreyMouse.h"

#include <algorithm>
#include <initializer_list>

#include <cstring>

namespace {

using OspreyEmulation::kCommandReportId;
using OspreyEmulation::kDataReportId;

constexpr int kBlock = EmulatedOspreyMouse::kBlockSize;
constexpr int kReplyHeader = 8;     // blocks go out from reply byte 8
constexpr int kWriteHeader = 8;     // and come in from report byte 8 (data byte 7)

// Status byte of each write, as the status reply carries them in bytes 2..6.
constexpr int kProfileStatus = 1;
constexpr int kMacroStatus = 2;
constexpr int kScreenStatus = 3;
constexpr quint8 kStatusBusy = 0x01;
constexpr quint8 kStatusRejected = 0x02;
constexpr int kStatusFlagByte = 7;

constexpr quint8 kFirstMacroAddress = 0x8C;
constexpr quint8 kScreenAddress = 0x80;

// Where the settings part starts, and the key and checksum bytes after the record.
constexpr int kSettings = 242;
constexpr int kKeyA = 476, kKeyB = 477, kSettingsSum = 479;

// The settings part (positions 242..475) as the firmware leaves the factory:
// the Falcon's and the Wren's, and what the other models hold differently.
constexpr quint8 kFactorySettings[234] = {
    0x03, 0x80, 0x80, 0x00, 0x00, 0x03, 0x05, 0x02, 0x00, 0x04, 0x00, 0x01, 0x5A, 0x02, 0x83, 0x09,
    0x0A, 0x83, 0x09, 0x00, 0x00, 0xFF, 0x00, 0x08, 0x09, 0x09, 0x05, 0x08, 0x05, 0x08, 0x09, 0x09,
    0x05, 0x08, 0x01, 0x09, 0x09, 0x09, 0x09, 0x00, 0x00, 0xFF, 0x00, 0x09, 0x02, 0x05, 0x08, 0x05,
    0x03, 0x01, 0x08, 0x09, 0x08, 0x01, 0x09, 0x1E, 0x09, 0x1E, 0x12, 0x1B, 0x28, 0x43, 0x8C, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x12, 0x1B, 0x28, 0x43, 0x8C, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0xF0, 0x00, 0x01, 0x00,
    0xF1, 0x00, 0x01, 0x00, 0xF2, 0x00, 0x01, 0x00, 0xF3, 0x00, 0x01, 0x00, 0xF4, 0x00, 0x07, 0x00,
    0x01, 0x00, 0x07, 0x00, 0x02, 0x00, 0x11, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x04, 0x00, 0x01, 0x00, 0x04, 0x00, 0x02, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0x60, 0x00,
    0xFF, 0xFF, 0x00, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0xFF, 0x10,
    0x55, 0xAA, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0x00,
    0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x10, 0x55, 0xAA, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00,
    0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
    0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02,
};

struct FactoryChange
{
    int offset; // in the settings part
    quint8 value;
};
struct FactoryVariant
{
    std::initializer_list<int> types;
    std::initializer_list<FactoryChange> changes;
};
const FactoryVariant kFactoryVariants[] = {
    {{3},
     {{6, 0x07}, {7, 0x03}, {58, 0x10}, {59, 0x14}, {60, 0x1E}, {61, 0x28}, {62, 0x3C}, {63, 0xA0}, {64, 0x40},
      {72, 0x01}, {74, 0x10}, {75, 0x14}, {76, 0x1E}, {77, 0x28}, {78, 0x3C}, {79, 0xA0}, {80, 0x40}, {88, 0x01},
      {124, 0x21}, {126, 0x08}, {128, 0x03}}},
    {{4, 18, 19},
     {{6, 0x07}, {14, 0x85}, {15, 0x05}, {18, 0x04}, {23, 0x00}, {25, 0x00}, {29, 0x03}, {30, 0x01}, {31, 0x08},
      {32, 0x03}, {44, 0x00}, {51, 0x03}, {58, 0x09}, {59, 0x12}, {60, 0x1B}, {61, 0x24}, {62, 0x2E}, {63, 0x37},
      {64, 0x45}, {74, 0x09}, {75, 0x12}, {76, 0x1B}, {77, 0x24}, {78, 0x2E}, {79, 0x37}, {80, 0x45}, {112, 0x03}}},
    {{5},
     {{16, 0x00}, {23, 0x00}, {25, 0x00}, {29, 0x03}, {30, 0x01}, {31, 0x08}, {32, 0x03}, {44, 0x00}, {51, 0x01},
      {58, 0x0C}, {59, 0x14}, {60, 0x18}, {61, 0x20}, {62, 0x28}, {74, 0x0C}, {75, 0x14}, {76, 0x18}, {77, 0x20},
      {78, 0x28}}},
    {{6},
     {{6, 0x07}, {14, 0x85}, {15, 0x05}, {18, 0x04}, {23, 0x00}, {25, 0x00}, {29, 0x03}, {30, 0x01}, {31, 0x08},
      {32, 0x03}, {44, 0x00}, {51, 0x03}, {58, 0x08}, {59, 0x10}, {60, 0x18}, {61, 0x20}, {62, 0x28}, {63, 0x30},
      {64, 0x3C}, {74, 0x08}, {75, 0x10}, {76, 0x18}, {77, 0x20}, {78, 0x28}, {79, 0x30}, {80, 0x3C}, {112, 0x03}}},
    // The Wren's sensor counts in the 100-CPI table: 400, 800, 1200, 2000, 2500.
    {{13}, {{58, 0x09}, {59, 0x12}, {60, 0x1B}, {61, 0x2E}, {62, 0x39}, {74, 0x09}, {75, 0x12}, {76, 0x1B}, {77, 0x2E}, {78, 0x39}}},
};

quint32 weighted(const QByteArray &p, int first, int last)
{
    quint32 sum = 0;
    for (int i = first; i <= last; ++i)
        sum += quint8(p.at(i)) * ((i & 1) ? 1u : 3u);
    return sum;
}

quint32 withKey(quint32 sum, const QByteArray &p)
{
    const quint8 keyA = quint8(p.at(kKeyA));
    const quint8 keyB = quint8(p.at(kKeyB));
    return keyA == 0 ? sum + keyB : sum - keyB;
}

// Fills the fixed part with calibration bytes that sum to the model's pair.
// Byte 13 (and 19 on type 3) are the firmware's balancing bytes; kept small
// so they carry nothing into the high byte, the rest sums to high:low exactly.
void balanceFixedPart(QByteArray &p, const OspreyEmulation::Model &m)
{
    for (int i = 1; i <= 241; ++i)
        p[i] = char((i * 37 + m.type * 11) & 0x3F);
    p[13] = 0x10;
    p[19] = char(m.type == 3 ? 0x08 : 0x2A);
    const bool twoBalancers = m.type == 3;
    const quint32 balancers = quint8(p.at(13)) + (twoBalancers ? quint8(p.at(19)) : 0u);
    const quint32 target = (quint32(m.sumHigh) << 8) | m.sumLow;
    quint32 now = withKey(weighted(p, 1, 241), p) - balancers;
    int i = 2;
    while (now + 3 <= target && i <= 240) {
        const quint32 room = 255u - quint8(p.at(i));
        const quint32 add = qMin(room, (target - now) / 3);
        p[i] = char(quint8(p.at(i)) + add);
        now += 3 * add;
        i += 2;
    }
    for (int j = 1; now < target && j <= 241; j += 2) {
        if (j == 13 || (twoBalancers && j == 19))
            continue;
        const quint32 add = qMin(255u - quint8(p.at(j)), target - now);
        p[j] = char(quint8(p.at(j)) + add);
        now += add;
    }
}

void writeSettingsSum(QByteArray &p)
{
    const quint32 sum = weighted(p, 242, 475);
    p[kKeyB + 1] = 0;
    p[kSettingsSum] = char(sum & 0xFF);
    p[kSettingsSum + 1] = char((sum >> 8) & 0xFF);
}

QByteArray factoryProfile(const OspreyEmulation::Model &m)
{
    QByteArray p(kBlock, '\0');
    p[0] = 1; // the active profile
    p[kKeyA] = char(m.keyA);
    p[kKeyB] = char(m.keyB);
    balanceFixedPart(p, m);

    for (int i = 0; i < int(sizeof kFactorySettings); ++i)
        p[kSettings + i] = char(kFactorySettings[i]);
    for (const FactoryVariant &v : kFactoryVariants) {
        if (std::find(v.types.begin(), v.types.end(), m.type) == v.types.end())
            continue;
        for (const FactoryChange &c : v.changes)
            p[kSettings + c.offset] = char(c.value);
    }
    writeSettingsSum(p);
    return p;
}

// A block as the firmware keeps it: cut or zero filled to 1024 bytes.
QByteArray fitted(const QByteArray &block)
{
    QByteArray b = block.left(kBlock);
    b.append(QByteArray(kBlock - b.size(), '\0'));
    return b;
}

quint16 le16(const std::uint8_t *p)
{
    return quint16(p[0] | (p[1] << 8));
}

} // namespace

namespace OspreyEmulation {

const QVector<Model> &models()
{
    static const QVector<Model> table = {
        {"falcon", 2, 0x4123, "Falcon", 0xE7, 0x7A, 0x00, 0x21},
        {"osprey", 3, 0x4122, "Osprey", 0x02, 0x7C, 0x01, 0x13},
        {"saker", 4, 0x4126, "Saker", 0xD6, 0x79, 0x00, 0x2C},
        {"falcons", 5, 0x4124, "FalconS", 0xB7, 0x77, 0x01, 0x35},
        {"sakers", 6, 0x4118, "SakerS", 0x4A, 0x79, 0x00, 0x16},
        {"lanner", 18, 0x4162, "Lanner", 0xD6, 0x79, 0x01, 0x42},
        {"harrier", 19, 0x4163, "Harrier", 0xD6, 0x79, 0x00, 0x5B},
        {"wren", 13, 0x4161, "Wren", 0x4A, 0x79, 0x01, 0x0D},
    };
    return table;
}

const Model *modelByName(const QString &name)
{
    for (const Model &m : models())
        if (name == QLatin1String(m.name))
            return &m;
    return nullptr;
}

QByteArray reportDescriptor()
{
    static const std::uint8_t bytes[] = {
        // Command collection: feature report 5, five bytes.
        0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, kCommandReportId,
        0x09, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x05, 0xB1, 0x02,
        0xC0,
        // Data collection: feature report 6, 1031 bytes.
        0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, kDataReportId,
        0x09, 0x02, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x96, 0x07, 0x04, 0xB1, 0x02,
        0xC0,
    };
    return EmulatedHid::mouseCollection() + QByteArray(reinterpret_cast<const char *>(bytes), int(sizeof bytes));
}

EmulatedDevices createDevices(const EmulatedModel &model, EmulatedForm form)
{
    if (form != EmulatedForm::Wired || !modelByName(QLatin1String(model.name)))
        return {};
    return {std::make_shared<EmulatedOspreyMouse>(QLatin1String(model.name))};
}

QPair<quint8, quint8> fixedPartSum(const QByteArray &block, int type)
{
    if (block.size() < kBlock)
        return {0, 0};
    const quint32 sum = withKey(weighted(block, 1, 241), block);
    quint32 low = sum - quint8(block.at(13));
    if (type == 3)
        low -= quint8(block.at(19));
    return {quint8(low & 0xFF), quint8((sum >> 8) & 0xFF)};
}

QPair<quint8, quint8> settingsSum(const QByteArray &block)
{
    if (block.size() < kBlock)
        return {0, 0};
    const quint32 sum = weighted(block, 242, 475);
    return {quint8(sum & 0xFF), quint8((sum >> 8) & 0xFF)};
}

} // namespace OspreyEmulation

// ---------------------------------------------------------------- the mouse

EmulatedOspreyMouse::EmulatedOspreyMouse(const QString &modelName)
{
    const OspreyEmulation::Model *m = OspreyEmulation::modelByName(modelName);
    m_model = m ? *m : *OspreyEmulation::modelByName(QStringLiteral("harrier"));
    factoryReset();
}

void EmulatedOspreyMouse::factoryReset()
{
    m_profile = factoryProfile(m_model);
    m_macros = QVector<QByteArray>(kMacroSlots, QByteArray(kBlock, '\0'));
    m_screen = QByteArray(kBlock, '\0');
}

quint16 EmulatedOspreyMouse::productId() const
{
    return m_model.pid;
}

quint16 EmulatedOspreyMouse::releaseNumber() const
{
    QMutexLocker lock(&m_mutex);
    return m_release;
}

QString EmulatedOspreyMouse::productString() const
{
    return QString::fromLatin1(m_model.product);
}

QByteArray EmulatedOspreyMouse::reportDescriptor() const
{
    return OspreyEmulation::reportDescriptor();
}

int EmulatedOspreyMouse::macroSlot(quint8 address) const
{
    const int offset = int(address) - kFirstMacroAddress;
    if (offset < 0 || offset % 4 != 0 || offset / 4 >= kMacroSlots)
        return -1;
    return offset / 4;
}

int EmulatedOspreyMouse::onSetFeature(const std::uint8_t *data, std::size_t length)
{
    if (!data || length == 0)
        return -1;
    QMutexLocker lock(&m_mutex);
    const quint8 id = data[0];
    // The firmware takes whole reports only; anything else stalls the pipe.
    if ((id == kCommandReportId && length != size_t(kCommandReportLength))
        || (id == kDataReportId && length != size_t(kDataReportLength))
        || (id != kCommandReportId && id != kDataReportId))
        return -1;
    m_set.append(QByteArray(reinterpret_cast<const char *>(data), int(length)));
    const quint8 command = data[1];

    if (id == kCommandReportId) {
        switch (command) {
        case 0x82:
        case 0x83:
            m_lastCommand = QByteArray(1, char(command));
            return int(length);
        case 0x84:
            // Fetching a macro keeps the macro status busy like writing one.
            m_lastCommand = QByteArray(reinterpret_cast<const char *>(data + 1), 2);
            m_status[kMacroStatus] = macroSlot(data[2]) >= 0 ? 0 : kStatusRejected;
            m_busyLeft[kMacroStatus] = m_busyPolls;
            return int(length);
        case 0x85:
            m_lastCommand = QByteArray(reinterpret_cast<const char *>(data + 1), 2);
            return int(length);
        default:
            return -1;
        }
    }

    // Block writes: command, address, block length (LE), three zero bytes, the block.
    const quint8 address = data[2];
    const int blockLength = le16(data + 3);
    const std::uint8_t *block = data + kWriteHeader;
    const int room = kDataReportLength - kWriteHeader;
    int index = 0;
    bool taken = false;
    switch (command) {
    case 0x03:
        index = kProfileStatus;
        if (blockLength > 0 && blockLength <= kBlock && blockLength <= room) {
            std::memcpy(m_profile.data(), block, size_t(blockLength));
            taken = true;
        }
        break;
    case 0x04: {
        index = kMacroStatus;
        const int slot = macroSlot(address);
        if (slot >= 0 && blockLength == kBlock) {
            std::memcpy(m_macros[slot].data(), block, kBlock);
            taken = true;
        }
        break;
    }
    case 0x05:
        index = kScreenStatus;
        if (address == kScreenAddress && blockLength == kBlock) {
            std::memcpy(m_screen.data(), block, kBlock);
            taken = true;
        }
        break;
    default:
        return -1;
    }
    m_lastCommand.clear();
    m_status[index] = taken ? 0 : kStatusRejected;
    m_busyLeft[index] = m_busyPolls;
    return int(length);
}

// The data report as the firmware answers the last read command.
QByteArray EmulatedOspreyMouse::replyLocked()
{
    QByteArray reply(kDataReportLength, '\0');
    reply[0] = char(kDataReportId);
    if (m_lastCommand.isEmpty())
        return reply; // nothing asked: no command echoed
    const quint8 command = quint8(m_lastCommand.at(0));
    reply[1] = char(command);
    switch (command) {
    case 0x82: {
        for (int i = 1; i <= 5; ++i) {
            reply[1 + i] = char(m_busyLeft[i] > 0 ? kStatusBusy : m_status[i]);
            if (m_busyLeft[i] > 0)
                --m_busyLeft[i];
        }
        const int n = m_statusReplies++;
        if (n >= m_flagFirst && n < m_flagFirst + m_flagCount)
            reply[kStatusFlagByte] = 1;
        break;
    }
    case 0x83:
        reply.replace(kReplyHeader, kBlock, m_profile);
        break;
    case 0x84: {
        const quint8 address = quint8(m_lastCommand.at(1));
        reply[2] = char(address);
        const int slot = macroSlot(address);
        if (slot >= 0)
            reply.replace(kReplyHeader, kBlock, m_macros.at(slot));
        break;
    }
    case 0x85:
        reply[2] = char(kScreenAddress);
        reply.replace(kReplyHeader, kBlock, m_screen);
        break;
    default:
        break;
    }
    return reply;
}

int EmulatedOspreyMouse::onGetFeature(std::uint8_t *data, std::size_t length)
{
    if (!data || length == 0 || data[0] != kDataReportId)
        return -1;
    QMutexLocker lock(&m_mutex);
    ++m_read;
    QByteArray reply = replyLocked();
    if (m_corruptReplies > 0) {
        --m_corruptReplies;
        reply[1] = char(quint8(reply.at(1)) ^ 0x40);
    }
    int n = m_replyLength > 0 ? qMin(m_replyLength, kDataReportLength) : kDataReportLength;
    n = qMin(n, int(length));
    std::memcpy(data, reply.constData(), size_t(n));
    return n;
}

QByteArray EmulatedOspreyMouse::profile() const
{
    QMutexLocker lock(&m_mutex);
    return m_profile;
}

void EmulatedOspreyMouse::setProfile(const QByteArray &block)
{
    QMutexLocker lock(&m_mutex);
    m_profile = fitted(block);
}

void EmulatedOspreyMouse::changeSetting(int position, quint8 value)
{
    QMutexLocker lock(&m_mutex);
    if (position < 242 || position > 475)
        return;
    m_profile[position] = char(value);
    const QPair<quint8, quint8> sum = OspreyEmulation::settingsSum(m_profile);
    m_profile[479] = char(sum.first);
    m_profile[480] = char(sum.second);
}

bool EmulatedOspreyMouse::fixedPartBalances() const
{
    QMutexLocker lock(&m_mutex);
    const QPair<quint8, quint8> sum = OspreyEmulation::fixedPartSum(m_profile, m_model.type);
    return sum.first == m_model.sumLow && sum.second == m_model.sumHigh;
}

bool EmulatedOspreyMouse::settingsSumHolds() const
{
    QMutexLocker lock(&m_mutex);
    const QPair<quint8, quint8> sum = OspreyEmulation::settingsSum(m_profile);
    return sum.first == quint8(m_profile.at(kSettingsSum)) && sum.second == quint8(m_profile.at(kSettingsSum + 1));
}

QByteArray EmulatedOspreyMouse::macroBlock(quint8 address) const
{
    QMutexLocker lock(&m_mutex);
    const int slot = macroSlot(address);
    return slot < 0 ? QByteArray() : m_macros.at(slot);
}

void EmulatedOspreyMouse::setMacroBlock(quint8 address, const QByteArray &block)
{
    QMutexLocker lock(&m_mutex);
    const int slot = macroSlot(address);
    if (slot < 0)
        return;
    m_macros[slot] = fitted(block);
}

QByteArray EmulatedOspreyMouse::screenBlock() const
{
    QMutexLocker lock(&m_mutex);
    return m_screen;
}

void EmulatedOspreyMouse::setScreenBlock(const QByteArray &block)
{
    QMutexLocker lock(&m_mutex);
    m_screen = fitted(block);
}

void EmulatedOspreyMouse::setReleaseNumber(quint16 release)
{
    QMutexLocker lock(&m_mutex);
    m_release = release;
}

void EmulatedOspreyMouse::setBusyPolls(int polls)
{
    QMutexLocker lock(&m_mutex);
    m_busyPolls = qMax(0, polls);
}

void EmulatedOspreyMouse::flagStatusReplies(int first, int count)
{
    QMutexLocker lock(&m_mutex);
    m_flagFirst = m_statusReplies + qMax(0, first);
    m_flagCount = qMax(0, count);
}

void EmulatedOspreyMouse::corruptNextReplies(int n)
{
    QMutexLocker lock(&m_mutex);
    m_corruptReplies = qMax(0, n);
}

void EmulatedOspreyMouse::setReplyLength(int bytes)
{
    QMutexLocker lock(&m_mutex);
    m_replyLength = qMax(0, bytes);
}

void EmulatedOspreyMouse::corruptFixedPart()
{
    QMutexLocker lock(&m_mutex);
    m_profile[100] = char(quint8(m_profile.at(100)) ^ 0x5A);
}

QVector<QByteArray> EmulatedOspreyMouse::reportsSet() const
{
    QMutexLocker lock(&m_mutex);
    return m_set;
}

int EmulatedOspreyMouse::reportsRead() const
{
    QMutexLocker lock(&m_mutex);
    return m_read;
}

void EmulatedOspreyMouse::resetCounters()
{
    QMutexLocker lock(&m_mutex);
    m_set.clear();
    m_read = 0;
}
