#include "emulator/kestrel/EmulatedKestrelMouse.h"

#include <cstring>

namespace {

constexpr std::uint8_t kReportId = 0xBA;
constexpr int kReportSize = 32;
constexpr std::uint8_t kCableMarker = 0xFF;
constexpr std::uint8_t kReceiverMarker = 0xA5;
constexpr std::uint8_t kBootRequest = 0xA8; // in place of the link marker

constexpr std::uint8_t kRefused = 0;
constexpr std::uint8_t kDone = 1;
constexpr std::uint8_t kBusy = 2;

constexpr int kMaxTransfer = 24;
// The identity word at address 4 is fixed at the factory.
constexpr quint32 kIdentityAddress = 4;

// The factory profile as the mouse answers it: bank word, device word,
// battery word, then the 44 button bytes (bank offset 512) and the 68
// settings bytes (bank offset 1152).
const char kFactoryA[] = // model codes 7, 8, 9 (with B's buttons), 12
    "01000000CDCDCDCDD007CDCDC8020000"
    "03001000080006000800050000001E00"
    "03000100000020000300080003000400"
    "03000200FFFFFFFFFFFFFFFF01000000"
    "FFFFFFFF08000D0012001C0030002600"
    "26000400020402043200000007000000"
    "00010203040506070001000000000000"
    "03000000FFFFFF00FFFFFF00FFFFFF00";
const char kFactoryB[] = // model codes 10, 11, 14
    "01000000CDCDCDCDD007CDCDD7020000"
    "03000100030004000300020008000500"
    "08000600030010000300080003001000"
    "03000800FFFFFFFFFFFFFFFF010000FF"
    "FFFFFFFF100014001E0025003C008200"
    "40010600030302043200000007000000"
    "00010203040506070001000000000000"
    "030000004B9F60000000FF000000FF00";

// The 44 button bytes of the profile record.
constexpr int kButtonsAt = 16;
constexpr int kButtonsLength = 44;

// The seven CPI level words (address 1160): the KestrelQ and the KestrelEU
// leave the factory with 800, 1000, 1500, 2000, 3000, 4000 and 5000 CPI, in
// their own encodings (50 CPI a unit; 100 CPI a unit above 200).
constexpr int kCpiLevelsAt = 68;
const char kKestrelQCpi[] = "100014001E0028003C0050006400";
const char kKestrelEUCpi[] = "060008000D0012001C0026003000";

QByteArray factoryRecord(int code)
{
    const bool a = code == 7 || code == 8 || code == 9 || code == 12;
    QByteArray record = QByteArray::fromHex(a ? kFactoryA : kFactoryB);
    // The KestrelC keeps its buttons where the Kestrel does: left click at 512.
    if (code == 9)
        record.replace(kButtonsAt, kButtonsLength, QByteArray::fromHex(kFactoryB).mid(kButtonsAt, kButtonsLength));
    if (code == 10 || code == 14) {
        const QByteArray cpi = QByteArray::fromHex(code == 10 ? kKestrelQCpi : kKestrelEUCpi);
        record.replace(kCpiLevelsAt, cpi.size(), cpi);
    }
    return record;
}

quint32 le32(const QByteArray &b, int at)
{
    return quint32(quint8(b.at(at))) | (quint32(quint8(b.at(at + 1))) << 8)
        | (quint32(quint8(b.at(at + 2))) << 16) | (quint32(quint8(b.at(at + 3))) << 24);
}

quint32 addressOf(const std::uint8_t *p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

QByteArray status(std::uint8_t s)
{
    return QByteArray(1, char(s));
}

// Copies a reply into the host's buffer as a full report, cut to `limit` bytes when set.
int giveReply(const QByteArray &reply, std::uint8_t *data, std::size_t length, int limit)
{
    QByteArray report = reply.left(kReportSize);
    report.append(QByteArray(kReportSize - report.size(), '\0'));
    int n = limit > 0 ? qMin(limit, kReportSize) : kReportSize;
    n = qMin(n, int(length));
    std::memcpy(data, report.constData(), size_t(n));
    return n;
}

} // namespace

namespace KestrelEmulation {

const QVector<Model> &models()
{
    static const QVector<Model> table = {
        {"kestrel", 11, 0x4130, 0x1804, "Kestrel"},
        {"merlin", 12, 0x4132, 0x4133, "Merlin"},
        {"kestrelc", 9, 0x4137, 0x180A, "KestrelC"},
        {"kestrelq", 10, 0x4138, 0x180B, "KestrelQ"},
        {"merlinc", 7, 0x4139, 0x180C, "MerlinC"},
        {"merlinq", 8, 0x413A, 0x180D, "MerlinQ"},
        {"kestreleu", 14, 0x413B, 0x180F, "KestrelEU"},
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
        // Vendor collection: report 0xBA, 31 bytes each way.
        0x06, 0x00, 0xFF, 0x09, 0x0E, 0xA1, 0x01, 0x85, 0xBA,
        0x09, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x1F, 0x81, 0x02,
        0x09, 0x02, 0x95, 0x1F, 0x91, 0x02,
        0xC0,
    };
    return EmulatedHid::mouseCollection() + QByteArray(reinterpret_cast<const char *>(bytes), int(sizeof bytes));
}

} // namespace KestrelEmulation

// ---------------------------------------------------------------- the mouse

EmulatedKestrelMouse::EmulatedKestrelMouse(const QString &modelName)
{
    const KestrelEmulation::Model *m = KestrelEmulation::modelByName(modelName);
    m_model = m ? *m : KestrelEmulation::models().first();
    factoryReset();
}

void EmulatedKestrelMouse::factoryReset()
{
    const QByteArray record = factoryRecord(m_model.code);
    m_memory = QByteArray(kMemorySize, '\0');
    char *mem = m_memory.data();
    mem[kIdentityAddress] = char(m_model.wiredPid & 0xFF);
    mem[kIdentityAddress + 1] = char(m_model.wiredPid >> 8);
    for (int bank = 0; bank < 2; ++bank) {
        std::memcpy(mem + bank * 1024 + 512, record.constData() + 16, 44);
        std::memcpy(mem + bank * 1024 + 1152, record.constData() + 60, 68);
    }
    m_bank = int(le32(record, 0));
    m_deviceWord = quint16(le32(record, 8) & 0xFFFF);
    m_battery = le32(record, 12);
}

quint16 EmulatedKestrelMouse::productId() const
{
    return m_model.wiredPid;
}

QString EmulatedKestrelMouse::productString() const
{
    return QString::fromLatin1(m_model.product);
}

QByteArray EmulatedKestrelMouse::reportDescriptor() const
{
    return KestrelEmulation::reportDescriptor();
}

int EmulatedKestrelMouse::onWrite(const std::uint8_t *data, std::size_t length)
{
    return handleReport(data, length, Link::Cable);
}

int EmulatedKestrelMouse::onGetInputReport(std::uint8_t *data, std::size_t length)
{
    return takeReply(data, length, Link::Cable);
}

int EmulatedKestrelMouse::handleReport(const std::uint8_t *data, std::size_t length, Link link)
{
    if (!data || length < size_t(kReportSize) || data[0] != kReportId)
        return -1;
    if (link == Link::Cable && data[1] == kBootRequest) {
        std::function<void()> toBootLoader;
        {
            QMutexLocker lock(&m_mutex);
            toBootLoader = m_bootRequest;
        }
        // The mouse leaves the bus for its boot loader; no reply follows.
        if (toBootLoader) {
            toBootLoader();
            return int(length);
        }
    }
    QMutexLocker lock(&m_mutex);
    ++m_commands;
    Pending &p = m_pending[int(link)];
    p.busyLeft = 0;
    // A report whose marker names the other link is not for this mouse.
    const std::uint8_t expected = link == Link::Cable ? kCableMarker : kReceiverMarker;
    if (data[1] != expected) {
        p.reply = status(kRefused);
        return int(length);
    }
    if (m_refuse > 0) {
        --m_refuse;
        p.reply = status(kRefused);
        return int(length);
    }
    p.reply = execute(data + 2, kReportSize - 2);
    p.busyLeft = m_busyPerCommand;
    return int(length);
}

int EmulatedKestrelMouse::takeReply(std::uint8_t *data, std::size_t length, Link link)
{
    if (!data || length == 0 || data[0] != kReportId)
        return -1;
    QMutexLocker lock(&m_mutex);
    ++m_replies;
    Pending &p = m_pending[int(link)];
    if (p.busyLeft > 0) {
        --p.busyLeft;
        return giveReply(status(kBusy), data, length, m_replyLength);
    }
    QByteArray reply = p.reply.isEmpty() ? status(kRefused) : p.reply;
    if (m_overrideCount > 0) {
        --m_overrideCount;
        reply[0] = char(m_overrideStatus);
    }
    return giveReply(reply, data, length, m_replyLength);
}

// One command, as the firmware carries it out; the reply starts with the status.
QByteArray EmulatedKestrelMouse::execute(const std::uint8_t *cmd, int len)
{
    Q_UNUSED(len);
    QByteArray reply = status(kDone);
    switch (cmd[0]) {
    case 0xA1:
        if (cmd[1] > 1)
            return status(kRefused);
        m_bank = cmd[1];
        return reply;
    case 0xA2:
        reply.append(char(m_bank));
        return reply;
    case 0xA3:
        for (int i = 0; i < 4; ++i)
            reply.append(char((m_firmware >> (8 * i)) & 0xFF));
        return reply;
    case 0xA4: {
        const int n = cmd[1];
        const quint32 address = addressOf(cmd + 2);
        if (n < 1 || n > kMaxTransfer || address > quint32(kMemorySize - n))
            return status(kRefused);
        reply.append(QByteArray(3, '\0'));
        reply.append(m_memory.mid(int(address), n));
        return reply;
    }
    case 0xA5: {
        const int n = cmd[1];
        const quint32 address = addressOf(cmd + 2);
        if (n < 1 || n > kMaxTransfer || address > quint32(kMemorySize - n))
            return status(kRefused);
        if (address < kIdentityAddress + 4 && address + quint32(n) > kIdentityAddress)
            return status(kRefused);
        std::memcpy(m_memory.data() + address, cmd + 6, size_t(n));
        return reply;
    }
    case 0xA7:
    case 0xA8:
        return reply;
    case 0xA9:
        reply.append(char(m_deviceWord & 0xFF));
        reply.append(char(m_deviceWord >> 8));
        return reply;
    case 0xAA:
        for (int i = 0; i < 4; ++i)
            reply.append(char((m_battery >> (8 * i)) & 0xFF));
        return reply;
    case 0xAB:
        m_abValue = cmd[1];
        return reply;
    default:
        return status(kRefused);
    }
}

QByteArray EmulatedKestrelMouse::memory(quint32 address, int length) const
{
    QMutexLocker lock(&m_mutex);
    if (length <= 0 || address >= quint32(kMemorySize))
        return QByteArray();
    return m_memory.mid(int(address), length);
}

void EmulatedKestrelMouse::setMemory(quint32 address, const QByteArray &bytes)
{
    QMutexLocker lock(&m_mutex);
    if (address >= quint32(kMemorySize))
        return;
    const int n = qMin(bytes.size(), kMemorySize - int(address));
    std::memcpy(m_memory.data() + address, bytes.constData(), size_t(n));
}

int EmulatedKestrelMouse::bank() const
{
    QMutexLocker lock(&m_mutex);
    return m_bank;
}

void EmulatedKestrelMouse::setBank(int bank)
{
    QMutexLocker lock(&m_mutex);
    m_bank = bank;
}

void EmulatedKestrelMouse::setBatteryRaw(quint32 raw)
{
    QMutexLocker lock(&m_mutex);
    m_battery = raw;
}

quint32 EmulatedKestrelMouse::batteryRaw() const
{
    QMutexLocker lock(&m_mutex);
    return m_battery;
}

quint32 EmulatedKestrelMouse::firmwareVersion() const
{
    QMutexLocker lock(&m_mutex);
    return m_firmware;
}

void EmulatedKestrelMouse::setBootRequestHandler(std::function<void()> handler)
{
    QMutexLocker lock(&m_mutex);
    m_bootRequest = std::move(handler);
}

void EmulatedKestrelMouse::setFirmwareVersion(quint32 version)
{
    QMutexLocker lock(&m_mutex);
    m_firmware = version;
}

void EmulatedKestrelMouse::setDeviceWord(quint16 word)
{
    QMutexLocker lock(&m_mutex);
    m_deviceWord = word;
}

int EmulatedKestrelMouse::lastAbValue() const
{
    QMutexLocker lock(&m_mutex);
    return m_abValue;
}

void EmulatedKestrelMouse::setBusyReplies(int perCommand)
{
    QMutexLocker lock(&m_mutex);
    m_busyPerCommand = qMax(0, perCommand);
}

void EmulatedKestrelMouse::refuseNextCommands(int n)
{
    QMutexLocker lock(&m_mutex);
    m_refuse = qMax(0, n);
}

void EmulatedKestrelMouse::overrideNextStatus(int statusByte, int n)
{
    QMutexLocker lock(&m_mutex);
    m_overrideStatus = statusByte & 0xFF;
    m_overrideCount = qMax(0, n);
}

void EmulatedKestrelMouse::setReplyLength(int bytes)
{
    QMutexLocker lock(&m_mutex);
    m_replyLength = qMax(0, bytes);
}

int EmulatedKestrelMouse::commandCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_commands;
}

int EmulatedKestrelMouse::replyCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_replies;
}

void EmulatedKestrelMouse::resetCounters()
{
    QMutexLocker lock(&m_mutex);
    m_commands = 0;
    m_replies = 0;
}

// ------------------------------------------------------------- the receiver

EmulatedKestrelReceiver::EmulatedKestrelReceiver(std::shared_ptr<EmulatedKestrelMouse> mouse)
    : m_mouse(std::move(mouse))
{
    m_pairedPid = m_mouse->model().wiredPid;
}

quint16 EmulatedKestrelReceiver::productId() const
{
    return m_mouse->model().receiverPid;
}

QString EmulatedKestrelReceiver::productString() const
{
    return QString::fromLatin1(m_mouse->model().product) + QStringLiteral(" Receiver");
}

QByteArray EmulatedKestrelReceiver::reportDescriptor() const
{
    return KestrelEmulation::reportDescriptor();
}

int EmulatedKestrelReceiver::onWrite(const std::uint8_t *data, std::size_t length)
{
    if (!data || length < size_t(kReportSize) || data[0] != kReportId)
        return -1;
    QMutexLocker lock(&m_mutex);
    const std::uint8_t *cmd = data + 2;
    m_ownReply = true;
    if (data[1] != kReceiverMarker) {
        m_reply = status(kRefused);
        return int(length);
    }
    switch (cmd[0]) {
    case 0xA0:
        m_ownCommands.append(QByteArray(reinterpret_cast<const char *>(cmd), 2));
        m_reply = status(kDone);
        return int(length);
    case 0xA1:
        // A1 with a bank number (0 or 1) is the mouse's bank switch, passed on.
        if (cmd[1] <= 1)
            break;
        m_ownCommands.append(QByteArray(reinterpret_cast<const char *>(cmd), cmd[1] == 0x8F ? 6 : 2));
        // A1 8F: listen for a mouse on an address; A1 81: stop listening.
        if (cmd[1] == 0x8F)
            m_address = addressOf(cmd + 2);
        m_workMode = cmd[1] == 0x81 ? 0 : 1;
        m_queriesWhilePairing = 0;
        m_reply = status(kDone);
        return int(length);
    case 0xA7:
        m_ownCommands.append(QByteArray(1, char(0xA7)));
        if (m_workMode != 0 && m_completeAfter >= 0 && ++m_queriesWhilePairing > m_completeAfter) {
            m_workMode = 0;
            m_pairedPid = m_mouse->model().wiredPid;
        }
        m_reply = status(kDone);
        m_reply.append(char(m_workMode));
        return int(length);
    case 0xA4: {
        // The receiver answers its identity record itself: address 4 is the paired mouse.
        const quint32 address = addressOf(cmd + 2);
        if (address < 8) {
            if (cmd[1] < 1 || address + cmd[1] > 8) {
                m_reply = status(kRefused);
                return int(length);
            }
            QByteArray record(8, '\0');
            record[4] = char(m_pairedPid & 0xFF);
            record[5] = char(m_pairedPid >> 8);
            m_reply = status(kDone) + QByteArray(3, '\0') + record.mid(int(address), cmd[1]);
            return int(length);
        }
        break;
    }
    default:
        break;
    }
    if (m_workMode != 0 || !m_linked || m_pairedPid != m_mouse->model().wiredPid) {
        m_reply = status(kRefused);
        return int(length);
    }
    m_ownReply = false;
    return m_mouse->handleReport(data, length, EmulatedKestrelMouse::Link::Receiver);
}

int EmulatedKestrelReceiver::onGetInputReport(std::uint8_t *data, std::size_t length)
{
    if (!data || length == 0 || data[0] != kReportId)
        return -1;
    QMutexLocker lock(&m_mutex);
    if (!m_ownReply)
        return m_mouse->takeReply(data, length, EmulatedKestrelMouse::Link::Receiver);
    return giveReply(m_reply.isEmpty() ? status(kRefused) : m_reply, data, length, 0);
}

int EmulatedKestrelReceiver::workMode() const
{
    QMutexLocker lock(&m_mutex);
    return m_workMode;
}

bool EmulatedKestrelReceiver::isPairing() const
{
    return workMode() != 0;
}

void EmulatedKestrelReceiver::completePairing()
{
    QMutexLocker lock(&m_mutex);
    m_workMode = 0;
    m_pairedPid = m_mouse->model().wiredPid;
}

void EmulatedKestrelReceiver::setPairingCompletesAfter(int queries)
{
    QMutexLocker lock(&m_mutex);
    m_completeAfter = queries;
}

quint32 EmulatedKestrelReceiver::pairingAddress() const
{
    QMutexLocker lock(&m_mutex);
    return m_address;
}

quint16 EmulatedKestrelReceiver::pairedPid() const
{
    QMutexLocker lock(&m_mutex);
    return m_pairedPid;
}

void EmulatedKestrelReceiver::setPairedPid(quint16 pid)
{
    QMutexLocker lock(&m_mutex);
    m_pairedPid = pid;
}

void EmulatedKestrelReceiver::setMouseLinked(bool linked)
{
    QMutexLocker lock(&m_mutex);
    m_linked = linked;
}

QVector<QByteArray> EmulatedKestrelReceiver::ownCommands() const
{
    QMutexLocker lock(&m_mutex);
    return m_ownCommands;
}

// ------------------------------------------------------------ the catalogue

EmulatedDevices KestrelEmulation::createDevices(const EmulatedModel &model, EmulatedForm form)
{
    if (!modelByName(QLatin1String(model.name)))
        return {};
    auto mouse = std::make_shared<EmulatedKestrelMouse>(QLatin1String(model.name));
    if (form == EmulatedForm::Wired)
        return {mouse};
    if (form != EmulatedForm::Receiver)
        return {};
    auto receiver = std::make_shared<EmulatedKestrelReceiver>(mouse);
    receiver->setPairingCompletesAfter(20);
    return {receiver};
}
