#include "emulator/EmulatedBootLoaders.h"

#include <cstring>

namespace {

constexpr int kPacket = 65;
constexpr int kShortReply = 20;

quint32 word(const QByteArray &b, int at)
{
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | quint8(b.at(at + i));
    return v;
}

void setWord(QByteArray *b, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        (*b)[at + i] = char((v >> (8 * i)) & 0xFF);
}

} // namespace

QByteArray EmulatedFirstFamilyBootLoader::reportDescriptor() const
{
    static const char hex[] = "06 00 ff"  // Usage Page (Vendor 0xFF00)
                              "09 01"     // Usage (1)
                              "a1 01"     // Collection (Application)
                              "15 00 26 ff 00 75 08 95 40" // bytes 0..255, 64 of them
                              "09 01 81 02" //   Input (Data, Var, Abs)
                              "09 02 91 02" //   Output (Data, Var, Abs)
                              "c0";
    return QByteArray::fromHex(hex);
}

QByteArray EmulatedSecondFamilyBootLoader::reportDescriptor() const
{
    static const char hex[] = "06 00 ff"  // Usage Page (Vendor 0xFF00)
                              "09 01"     // Usage (1)
                              "a1 01"     // Collection (Application)
                              "85 01"     //   Report ID (1)
                              "15 00 26 ff 00 75 08 95 3f" // bytes 0..255, 63 of them
                              "09 01 b1 02" //   Feature (Data, Var, Abs)
                              "c0";
    return QByteArray::fromHex(hex);
}

int EmulatedFirstFamilyBootLoader::onWrite(const std::uint8_t *data, std::size_t length)
{
    if (!data || length != size_t(kPacket) || data[0] != 0)
        return -1;
    std::function<void(const QByteArray &)> finish;
    QByteArray finished;
    {
        QMutexLocker lock(&m_mutex);
        QByteArray packet(reinterpret_cast<const char *>(data), kPacket);
        m_packets.append(packet);
        const int index = m_packets.size();
        bool silent = false, wrongNumber = false, shortReply = false;
        for (int i = m_faults.size() - 1; i >= 0; --i) {
            if (m_faults.at(i).second != index)
                continue;
            switch (m_faults.at(i).first) {
            case Fault::Corrupt: packet[20] = char(packet.at(20) ^ 0x5A); break;
            case Fault::WrongNumber: wrongNumber = true; break;
            case Fault::ShortReply: shortReply = true; break;
            case Fault::Silence: silent = true; break;
            }
            m_faults.remove(i);
        }
        QByteArray reply = answer(packet);
        if (m_finished && word(packet, 1) == 0xAB) {
            finish = m_finish;
            finished = m_image.left(m_length);
        }
        if (!reply.isEmpty() && !silent) {
            if (wrongNumber)
                setWord(&reply, 5, word(reply, 5) + 7);
            if (shortReply)
                reply.truncate(kShortReply);
            m_replies.append(reply);
        }
    }
    if (finish)
        finish(finished);
    return int(length);
}

// What the loader does with one packet; the answer, or nothing for the finish.
QByteArray EmulatedFirstFamilyBootLoader::answer(const QByteArray &packet)
{
    const quint32 command = word(packet, 1);
    const quint32 number = word(packet, 5);
    if (command == 0xAB) {
        m_finished = m_length > 0 && m_position == m_length;
        return QByteArray();
    }
    switch (command) {
    case 0xA4:
        m_image = QByteArray(kCapacity, '\xFF');
        m_length = m_position = m_chunkStart = 0;
        m_finished = false;
        break;
    case 0xA0:
    case 0xC3: {
        m_start = word(packet, 9);
        m_length = int(qMin<quint32>(word(packet, 13), kCapacity));
        m_image = QByteArray(kCapacity, '\xFF');
        const int n = qMin(48, m_length);
        std::memcpy(m_image.data(), packet.constData() + 17, size_t(n));
        m_chunkStart = 0;
        m_position = n;
        break;
    }
    case 0x00: {
        const int n = qMin(56, m_length - m_position);
        m_chunkStart = m_position;
        if (n > 0) {
            std::memcpy(m_image.data() + m_position, packet.constData() + 9, size_t(n));
            m_position += n;
        }
        break;
    }
    case 0xFF:
        m_position = m_chunkStart;
        break;
    default:
        break;
    }
    quint16 sum = 0;
    for (int i = 1; i < kPacket; ++i)
        sum = quint16(sum + quint8(packet.at(i)));
    QByteArray reply(kPacket, '\0');
    reply[1] = char(sum & 0xFF);
    reply[2] = char(sum >> 8);
    setWord(&reply, 5, number + 1);
    return reply;
}

int EmulatedFirstFamilyBootLoader::onRead(std::uint8_t *data, std::size_t length, int)
{
    QMutexLocker lock(&m_mutex);
    if (m_replies.isEmpty())
        return 0;
    const QByteArray reply = m_replies.takeFirst();
    const int n = int(qMin(length, size_t(reply.size())));
    std::memcpy(data, reply.constData(), size_t(n));
    return n;
}

void EmulatedFirstFamilyBootLoader::injectFault(Fault fault, int packet)
{
    QMutexLocker lock(&m_mutex);
    m_faults.append({fault, packet});
}

void EmulatedFirstFamilyBootLoader::setFinishHandler(std::function<void(const QByteArray &)> handler)
{
    QMutexLocker lock(&m_mutex);
    m_finish = std::move(handler);
}

QVector<QByteArray> EmulatedFirstFamilyBootLoader::packets() const
{
    QMutexLocker lock(&m_mutex);
    return m_packets;
}

QByteArray EmulatedFirstFamilyBootLoader::image() const
{
    QMutexLocker lock(&m_mutex);
    return m_image.left(m_length);
}

quint32 EmulatedFirstFamilyBootLoader::startAddress() const
{
    QMutexLocker lock(&m_mutex);
    return m_start;
}

bool EmulatedFirstFamilyBootLoader::finished() const
{
    QMutexLocker lock(&m_mutex);
    return m_finished;
}

quint32 EmulatedFirstFamilyBootLoader::versionOfImage(const QByteArray &image)
{
    if (image.size() < 4)
        return 0;
    return word(image, image.size() - 4);
}
