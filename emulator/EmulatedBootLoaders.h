#pragma once
#include "emulator/EmulatedDevice.h"

#include <QMutex>
#include <QVector>
#include <functional>

// Mice waiting in firmware-update mode, as the bus shows them.

// A first-family mouse in update mode: VID 0x3A5E, PID 0x3000, its model
// named in the product string; 64-byte reports, no report IDs. It takes an
// image in 65-byte packets (report ID 0, command and packet number as 32-bit
// little-endian words at bytes 1 and 5, payload from byte 9) and answers each
// with its 16-bit sum of bytes 1..64 at byte 1 and the packet number it
// expects next at byte 5. Commands: A4 sync, A0 / C3 first packet (start
// address, length, 48 image bytes), 00 next 56 image bytes, FF drop the chunk
// last taken, AB finish (no answer; the image is handed to the finish handler).
class EmulatedFirstFamilyBootLoader : public EmulatedDevice
{
public:
    static constexpr int kCapacity = 0x20000;

    // Misbehaviour at one packet, counted from 1 since the loader was plugged.
    enum class Fault {
        Corrupt,     // the packet arrives with a payload byte flipped (the sum shows it)
        WrongNumber, // the answer carries a packet number the host did not expect
        ShortReply,  // the answer is cut to 20 bytes
        Silence,     // no answer at all
    };

    explicit EmulatedFirstFamilyBootLoader(const QString &productString) : m_product(productString) {}

    quint16 vendorId() const override { return 0x3A5E; }
    quint16 productId() const override { return 0x3000; }
    QString productString() const override { return m_product; }
    QByteArray reportDescriptor() const override;
    int onWrite(const std::uint8_t *data, std::size_t length) override;
    int onRead(std::uint8_t *data, std::size_t length, int timeoutMs) override;

    void injectFault(Fault fault, int packet);
    // Called (on the host's thread, inside the transfer) after the finish packet.
    void setFinishHandler(std::function<void(const QByteArray &image)> handler);

    // Every packet taken, as it arrived (65 bytes each).
    QVector<QByteArray> packets() const;
    // The image assembled so far: as many bytes as the first packet announced, at most.
    QByteArray image() const;
    quint32 startAddress() const;
    bool finished() const;
    // The version word a firmware image carries: its last four bytes, little-endian.
    static quint32 versionOfImage(const QByteArray &image);

private:
    QByteArray answer(const QByteArray &packet);

    mutable QMutex m_mutex;
    QString m_product;
    QVector<QByteArray> m_packets;
    QVector<QByteArray> m_replies;
    QVector<QPair<Fault, int>> m_faults;
    std::function<void(const QByteArray &)> m_finish;
    QByteArray m_image;
    int m_length = 0;
    int m_position = 0;
    int m_chunkStart = 0; // where the last chunk went, for a resend marker
    quint32 m_start = 0;
    bool m_finished = false;
};

// A second- or third-family mouse in update mode: VID 0x0603, PID 0x1022,
// the release number carrying the mouse's normal PID.
class EmulatedSecondFamilyBootLoader : public EmulatedDevice
{
public:
    explicit EmulatedSecondFamilyBootLoader(quint16 normalPid) : m_normalPid(normalPid) {}

    quint16 vendorId() const override { return 0x0603; }
    quint16 productId() const override { return 0x1022; }
    quint16 releaseNumber() const override { return m_normalPid; }
    QString productString() const override { return QStringLiteral("USB Update Device"); }
    QByteArray reportDescriptor() const override;

private:
    quint16 m_normalPid;
};
