#pragma once
#include "platform/WinTypes.h"

#include <QtGlobal>

// The 2.4 GHz receiver's own commands, apart from the mouse behind it:
// pairing a mouse with the receiver and asking whether it is paired. A
// family with a receiver implements it in its folder over its driver; the
// bridge names the operations and never the bytes.
class ReceiverChannel
{
public:
    // What the receiver can be told to do.
    enum Command {
        EnterPairing, // forget the paired mouse and get ready to pair
        ListenOn,     // wait for a mouse on the address given as the argument
        LeavePairing, // give up pairing, as when it is paired with another model
    };

    virtual ~ReceiverChannel() = default;

    // Sends a command and waits for the receiver to acknowledge it; false
    // when the write fails or no acknowledgement comes.
    virtual bool SendCommand(Command command, quint32 argument = 0) = 0;
    // The receiver's work mode (0 once a mouse is paired), written only on success.
    virtual bool ReadWorkMode(int *mode) = 0;
};
