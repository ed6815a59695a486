#pragma once
// An emulated second- or third-family mouse, seen from the device's side.
// Beside its mouse collection it carries two vendor collections: a command
// collection (feature report 5, 5 data bytes) and a data collection
// (feature report 6, 1031 data bytes). The host sets a command on either and
// reads the answer from the data report: reads (82 status, 83 profile,
// 84 macro, 85 screen) answer 06, the command and its block from byte 8;
// writes (03 profile, 04 macro, 05 screen) arrive on the data report and
// are answered through the status bytes. Tests look into it from their own
// thread while the driver talks to it from another, so every member takes
// the mouse's lock.
#include "emulator/EmulatedCatalog.h"
#include "emulator/EmulatedDevice.h"

#include <QByteArray>
#include <QMutex>
#include <QPair>
#include <QString>
#include <QVector>

namespace OspreyEmulation {

constexpr quint8 kCommandReportId = 0x05;
constexpr quint8 kDataReportId = 0x06;

// One model as the hardware identifies itself, with what its firmware
// holds from the factory.
struct Model
{
    const char *name;    // lower-case model name
    int type;            // the model code
    quint16 pid;
    const char *product; // USB product string
    quint8 sumLow;       // the pair the fixed part of its profile sums to
    quint8 sumHigh;
    quint8 keyA;         // the key bytes it sends with its profile
    quint8 keyB;
};

// Every second- and third-family model, in table order; null when unknown.
const QVector<Model> &models();
const Model *modelByName(const QString &name);

// The mouse collection (report 1) and the two vendor collections.
QByteArray reportDescriptor();

// The catalogue's factory: the mouse by cable (these mice have no receiver).
EmulatedDevices createDevices(const EmulatedModel &model, EmulatedForm form);

// The device's checksums over a 1024-byte profile block, as its firmware
// forms them: the fixed part (1..241, key byte B added when key byte A is
// 0, taken off otherwise; balancing bytes 13, and 19 for type 3, taken off
// the low byte) and the settings part (242..475). Low byte first.
QPair<quint8, quint8> fixedPartSum(const QByteArray &block, int type);
QPair<quint8, quint8> settingsSum(const QByteArray &block);

} // namespace OspreyEmulation

class EmulatedOspreyMouse : public EmulatedDevice
{
public:
    static constexpr int kBlockSize = 1024;
    static constexpr int kMacroSlots = 24;
    static constexpr int kCommandReportLength = 6;    // with the ID byte
    static constexpr int kDataReportLength = 1032;    // with the ID byte

    // A factory-fresh mouse of the named model ("harrier", "wren", ...); an
    // unknown name gives a Harrier.
    explicit EmulatedOspreyMouse(const QString &modelName = QStringLiteral("harrier"));

    // ---- the bus's side ----
    quint16 vendorId() const override { return 0x3A5E; }
    quint16 productId() const override;
    quint16 releaseNumber() const override;
    QString productString() const override;
    QByteArray reportDescriptor() const override;
    int onSetFeature(const std::uint8_t *data, std::size_t length) override;
    int onGetFeature(std::uint8_t *data, std::size_t length) override;

    // ---- what tests set and look at ----
    const OspreyEmulation::Model &model() const { return m_model; }
    // The 1024-byte profile block: the record, key bytes, settings checksum.
    QByteArray profile() const;
    void setProfile(const QByteArray &block);
    // One byte of the settings part (242..475) changed as another program's
    // write leaves it: the settings checksum made right again.
    void changeSetting(int position, quint8 value);
    // Whether the profile held balances to the model's pair, and whether
    // bytes 479..480 hold the checksum of its settings part.
    bool fixedPartBalances() const;
    bool settingsSumHolds() const;
    // The 1024-byte macro block at a slot address (0x8C + 4k); empty when no slot.
    QByteArray macroBlock(quint8 address) const;
    void setMacroBlock(quint8 address, const QByteArray &block);
    QByteArray screenBlock() const;
    void setScreenBlock(const QByteArray &block);
    void setReleaseNumber(quint16 release);

    // Every write from now on answers busy in its status byte this many polls first.
    void setBusyPolls(int polls);
    // Status replies number first .. first + count - 1 (counted from now,
    // from 0) carry 1 in byte 7: "cannot take the write".
    void flagStatusReplies(int first, int count);
    // The next n replies echo a wrong command byte.
    void corruptNextReplies(int n);
    // Replies are cut to this many bytes (0: the whole report).
    void setReplyLength(int bytes);
    // Changes one byte of the fixed part, so it no longer balances.
    void corruptFixedPart();

    // Every feature report the host set, whole (report ID first), and how
    // many reports it read.
    QVector<QByteArray> reportsSet() const;
    int reportsRead() const;
    void resetCounters();

private:
    int macroSlot(quint8 address) const;
    QByteArray replyLocked();
    void factoryReset();

    mutable QMutex m_mutex;
    OspreyEmulation::Model m_model;
    quint16 m_release = 0x0105;
    QByteArray m_profile;
    QVector<QByteArray> m_macros;
    QByteArray m_screen;
    QByteArray m_lastCommand;  // the read command the next reply answers
    quint8 m_status[6] = {};   // status bytes 1..5 (index 0 unused)
    int m_busyLeft[6] = {};
    int m_busyPolls = 0;
    int m_statusReplies = 0;
    int m_flagFirst = -1;
    int m_flagCount = 0;
    int m_corruptReplies = 0;
    int m_replyLength = 0;
    QVector<QByteArray> m_set;
    int m_read = 0;
};
