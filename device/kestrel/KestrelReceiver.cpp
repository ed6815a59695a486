#include "device/kestrel/KestrelReceiver.h"

#include "device/kestrel/USBDriverKestrel.h"
#include "platform/DeviceClock.h"

#include <QDebug>
#include <QtEndian>

namespace {

constexpr int kAckReads = 5;
constexpr int kAckSleepMs = 50;

struct CommandBytes
{
    ReceiverChannel::Command command;
    BYTE bytes[2];
    bool takesAddress; // a 32-bit little-endian address follows
};
const CommandBytes kCommands[] = {
    {ReceiverChannel::EnterPairing, {0xA0, 0x81}, false},
    {ReceiverChannel::ListenOn, {0xA1, 0x8F}, true},
    {ReceiverChannel::LeavePairing, {0xA1, 0x81}, false},
};
// Asks for the work mode.
constexpr BYTE kWorkMode = 0xA7;

} // namespace

KestrelReceiverChannel::KestrelReceiverChannel(USBDriverKestrel *driver) : m_driver(driver) {}

bool KestrelReceiverChannel::awaitAcknowledgement(BYTE reply[2])
{
    for (int i = 0; i < kAckReads; ++i) {
        DeviceClock::sleep(kAckSleepMs);
        if (m_driver->ReadDongle(reply) && reply[0] == 1)
            return true;
    }
    return false;
}

bool KestrelReceiverChannel::SendCommand(Command command, quint32 argument)
{
    const CommandBytes *entry = nullptr;
    for (const CommandBytes &c : kCommands)
        if (c.command == command)
            entry = &c;
    if (!m_driver || !entry)
        return false;
    BYTE bytes[6] = {entry->bytes[0], entry->bytes[1]};
    int length = 2;
    if (entry->takesAddress) {
        qToLittleEndian<quint32>(argument, bytes + 2);
        length += 4;
    }
    if (!m_driver->WriteDongle(bytes, length)) {
        qDebug() << "SendCommandDONGLE write Failed";
        return false;
    }
    BYTE reply[2] = {};
    if (awaitAcknowledgement(reply)) {
        qDebug() << "GetCommand ACK == 1 OK";
        return true;
    }
    qDebug() << "GetCommand ACK != 1 Failed";
    return false;
}

bool KestrelReceiverChannel::ReadWorkMode(int *mode)
{
    const BYTE command[1] = {kWorkMode};
    BYTE reply[2] = {};
    if (m_driver && mode && m_driver->WriteDongle(command, 1) && awaitAcknowledgement(reply)) {
        *mode = reply[1];
        return true;
    }
    qDebug() << "readWorkModel failed";
    return false;
}
