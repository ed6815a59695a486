#pragma once
// The first family's receiver commands: two command bytes (and an address
// for ListenOn) in the same report as a command to the mouse, answered by
// the receiver itself within five reads, 50 ms apart.
#include "device/ReceiverChannel.h"

class USBDriverKestrel;

class KestrelReceiverChannel : public ReceiverChannel
{
public:
    // Works through the driver of the mouse opened by its receiver; the
    // driver must outlive the channel.
    explicit KestrelReceiverChannel(USBDriverKestrel *driver);

    bool SendCommand(Command command, quint32 argument = 0) override;
    bool ReadWorkMode(int *mode) override;

private:
    // Up to five reads for the receiver's answer: byte 0 = 1 acknowledges, byte 1 the value.
    bool awaitAcknowledgement(BYTE reply[2]);

    USBDriverKestrel *m_driver;
};
