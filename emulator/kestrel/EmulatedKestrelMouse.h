#pragma once
// An emulated first-family mouse, seen from the device's side: its memory,
// the commands it answers in 32-byte reports with ID 0xBA, and the status
// byte it replies with. The object is the mouse's cable identity; plug an
// EmulatedKestrelReceiver holding it to reach the same mouse through its
// receiver. Tests look into it from their own thread while the driver talks
// to it from another, so every member takes the mouse's lock.
#include "emulator/EmulatedCatalog.h"
#include "emulator/EmulatedDevice.h"

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

namespace KestrelEmulation {

// One first-family model as the hardware identifies itself.
struct Model
{
    const char *name;     // lower-case model name
    int code;             // the model code
    quint16 wiredPid;
    quint16 receiverPid;
    const char *product;  // USB product string
};

// Every first-family model, in table order; null when the name is unknown.
const QVector<Model> &models();
const Model *modelByName(const QString &name);

// The vendor collection every first-family device and receiver carries
// (usage page 0xFF00, usage 0x0E, 31-byte input and output reports with ID
// 0xBA), behind a five-button wheel mouse collection.
QByteArray reportDescriptor();

// The catalogue's factory for the first family: the mouse by cable, or its
// receiver with the mouse behind it (pairing there completes by itself
// after a few work-mode queries, as a real mouse would be found).
EmulatedDevices createDevices(const EmulatedModel &model, EmulatedForm form);

} // namespace KestrelEmulation

class EmulatedKestrelMouse : public EmulatedDevice
{
public:
    // How a report reached the mouse.
    enum class Link { Cable, Receiver };

    static constexpr int kMemorySize = 40 * 4096; // profiles, macro slots, six pictures

    // A factory-fresh mouse of the named model ("kestrel", "merlinc", ...);
    // an unknown name gives a Kestrel.
    explicit EmulatedKestrelMouse(const QString &modelName = QStringLiteral("kestrel"));

    // ---- the bus's side ----
    quint16 vendorId() const override { return 0x3A5E; }
    quint16 productId() const override;
    QString productString() const override;
    QByteArray reportDescriptor() const override;
    int onWrite(const std::uint8_t *data, std::size_t length) override;
    int onGetInputReport(std::uint8_t *data, std::size_t length) override;

    // A command report arriving over a link (the receiver forwards here).
    // Returns the bytes taken, or -1 when the report is not one of ours.
    int handleReport(const std::uint8_t *data, std::size_t length, Link link);
    // The reply a GET_REPORT of ID 0xBA over a link receives: status in byte
    // 0, data from byte 1 or 4. Returns the bytes given, or -1.
    int takeReply(std::uint8_t *data, std::size_t length, Link link);

    // ---- what tests set and look at ----
    const KestrelEmulation::Model &model() const { return m_model; }
    QByteArray memory(quint32 address, int length) const;
    void setMemory(quint32 address, const QByteArray &bytes);
    int bank() const;
    void setBank(int bank);
    void setBatteryRaw(quint32 raw);
    quint32 batteryRaw() const;
    // The four version bytes, first byte in the low 8 bits.
    void setFirmwareVersion(quint32 version);
    quint32 firmwareVersion() const;
    void setDeviceWord(quint16 word);
    int lastAbValue() const;

    // What the mouse does on the boot-loader request (ID 0xBA, 0xA8 in place of
    // the link marker): without a handler the request is refused like any
    // report for another link.
    void setBootRequestHandler(std::function<void()> handler);

    // Every command from now on is answered busy (status 2) this many times first.
    void setBusyReplies(int perCommand);
    // The next n commands are refused (status 0) and not carried out.
    void refuseNextCommands(int n);
    // The next n final replies carry this status byte instead of their own.
    void overrideNextStatus(int status, int n);
    // Replies are cut to this many bytes (0: the whole 32-byte report).
    void setReplyLength(int bytes);

    // Command reports taken (refused ones included) and input reports given.
    int commandCount() const;
    int replyCount() const;
    void resetCounters();

private:
    struct Pending
    {
        QByteArray reply;  // status first
        int busyLeft = 0;
    };
    QByteArray execute(const std::uint8_t *cmd, int len);
    void factoryReset();

    mutable QMutex m_mutex;
    KestrelEmulation::Model m_model;
    QByteArray m_memory;
    int m_bank = 1;
    quint32 m_battery = 0;
    quint32 m_firmware = 0x04000001;
    quint16 m_deviceWord = 0;
    int m_abValue = -1;
    Pending m_pending[2];  // one reply channel per link
    int m_busyPerCommand = 0;
    int m_refuse = 0;
    int m_overrideStatus = 0;
    int m_overrideCount = 0;
    int m_replyLength = 0;
    int m_commands = 0;
    int m_replies = 0;
    std::function<void()> m_bootRequest;
};

// The 2.4 GHz receiver of a first-family mouse. It forwards the mouse's
// commands over the air and keeps three of its own, carried in the same
// report (ID 0xBA, link marker 0xA5): A0 xx and A1 xx (acknowledged; A1 starts
// pairing, A1 8F with a 4-byte address; A1 00 and A1 01 are the mouse's bank
// switch and go on to the mouse), and A7, whose reply holds the work
// mode in byte 1: non-zero while pairing runs, 0 once the mouse is paired.
// Reads of address 4 answer the paired mouse's PID.
class EmulatedKestrelReceiver : public EmulatedDevice
{
public:
    explicit EmulatedKestrelReceiver(std::shared_ptr<EmulatedKestrelMouse> mouse);

    quint16 vendorId() const override { return 0x3A5E; }
    quint16 productId() const override;
    QString productString() const override;
    QByteArray reportDescriptor() const override;
    int onWrite(const std::uint8_t *data, std::size_t length) override;
    int onGetInputReport(std::uint8_t *data, std::size_t length) override;

    std::shared_ptr<EmulatedKestrelMouse> mouse() const { return m_mouse; }
    // 0 paired and working, 1 pairing.
    int workMode() const;
    bool isPairing() const;
    // Ends a running pairing: the mouse is paired and its PID is what address 4 reads.
    void completePairing();
    // Pairing ends by itself after this many work-mode queries (-1: only completePairing()).
    void setPairingCompletesAfter(int queries);
    // The 4-byte address the host sent with A1 8F.
    quint32 pairingAddress() const;
    // The PID the receiver reports for its mouse (0: none).
    quint16 pairedPid() const;
    void setPairedPid(quint16 pid);
    // Whether the mouse is in reach; commands for it are refused while not.
    void setMouseLinked(bool linked);
    // The receiver's own commands taken (A0, A1, A7), in order, command bytes only.
    QVector<QByteArray> ownCommands() const;

private:
    mutable QMutex m_mutex;
    std::shared_ptr<EmulatedKestrelMouse> m_mouse;
    bool m_ownReply = false;  // the last command was the receiver's own
    QByteArray m_reply;
    int m_workMode = 0;
    int m_completeAfter = -1;
    int m_queriesWhilePairing = 0;
    quint32 m_address = 0;
    quint16 m_pairedPid = 0;
    bool m_linked = true;
    QVector<QByteArray> m_ownCommands;
};
