#pragma once
// A small vendor device for comparing buses report by report: one collection
// with 8-byte input and output reports and a 16-byte feature report, under
// report ID 7 or under none. It echoes each output report as its next input
// report, answers a feature read with a counting pattern (cut short when told
// to) and remembers the last report it was given, whole.
#include "emulator/EmulatedDevice.h"

#include <QByteArray>
#include <QMutex>
#include <QQueue>
#include <cstring>

class ReportProbe : public EmulatedDevice
{
public:
    static constexpr int kDataBytes = 8;     // input and output reports, ID byte excluded
    static constexpr int kFeatureBytes = 16; // feature report, ID byte excluded

    explicit ReportProbe(bool numbered) : m_id(numbered ? 7 : 0) { }

    quint8 reportId() const { return m_id; }
    quint16 vendorId() const override { return 0x1209; }
    quint16 productId() const override { return m_id ? 0x0071 : 0x0070; }
    QString productString() const override { return QStringLiteral("Report Probe"); }
    QByteArray reportDescriptor() const override
    {
        QByteArray d = QByteArray::fromHex("0600ff 0901 a101");
        if (m_id)
            d += QByteArray::fromHex("85") + QByteArray(1, char(m_id));
        d += QByteArray::fromHex("1500 26ff00 7508 9508 0901 8102 0902 9102 9510 0903 b102 c0");
        return d;
    }

    int onWrite(const std::uint8_t *data, std::size_t length) override
    {
        QMutexLocker lock(&m_mutex);
        m_seen = bytes(data, length);
        if (data[0] != m_id)
            return -1;
        m_queue.enqueue(m_seen.left(1 + kDataBytes));
        return int(length);
    }
    int onRead(std::uint8_t *data, std::size_t length, int) override
    {
        QMutexLocker lock(&m_mutex);
        if (m_queue.isEmpty())
            return 0;
        return give(m_queue.dequeue(), data, length);
    }
    int onGetInputReport(std::uint8_t *data, std::size_t length) override
    {
        QMutexLocker lock(&m_mutex);
        if (data[0] != m_id)
            return -1;
        return give(pattern(kDataBytes, 0xA0), data, length);
    }
    int onSetFeature(const std::uint8_t *data, std::size_t length) override
    {
        QMutexLocker lock(&m_mutex);
        m_seen = bytes(data, length);
        return data[0] == m_id ? int(length) : -1;
    }
    int onGetFeature(std::uint8_t *data, std::size_t length) override
    {
        QMutexLocker lock(&m_mutex);
        if (data[0] != m_id)
            return -1;
        const QByteArray reply = pattern(kFeatureBytes, 0x10);
        return give(m_replyBytes > 0 ? reply.left(m_replyBytes) : reply, data, length);
    }

    // Feature replies are cut to this many bytes, ID byte included (0: whole).
    void setReplyBytes(int n)
    {
        QMutexLocker lock(&m_mutex);
        m_replyBytes = n;
    }
    // The last output or feature report given, whole; empty when none.
    QByteArray seen() const
    {
        QMutexLocker lock(&m_mutex);
        return m_seen;
    }

private:
    static QByteArray bytes(const std::uint8_t *data, std::size_t length)
    {
        return QByteArray(reinterpret_cast<const char *>(data), int(length));
    }
    QByteArray pattern(int n, int first) const
    {
        QByteArray b(1, char(m_id));
        for (int i = 0; i < n; ++i)
            b.append(char(first + i));
        return b;
    }
    static int give(const QByteArray &report, std::uint8_t *data, std::size_t length)
    {
        const int n = qMin(report.size(), int(length));
        std::memcpy(data, report.constData(), size_t(n));
        return n;
    }

    mutable QMutex m_mutex;
    quint8 m_id;
    QQueue<QByteArray> m_queue;
    QByteArray m_seen;
    int m_replyBytes = 0;
};
