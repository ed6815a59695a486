#pragma once
#include "device/fwupdate/FirmwareTransfer.h"

#include <QThread>
#include <memory>

// One firmware update: the transfer on a thread of its own for as long as
// the run lives. Ending the run lets the work already sent to the transfer
// finish, then quits and waits for the thread and deletes the transfer.
class FirmwareUpdateRun
{
public:
    explicit FirmwareUpdateRun(std::unique_ptr<FirmwareTransfer> transfer);
    ~FirmwareUpdateRun();
    FirmwareUpdateRun(const FirmwareUpdateRun &) = delete;
    FirmwareUpdateRun &operator=(const FirmwareUpdateRun &) = delete;

    // The transfer, living on the run's thread: reach it by queued signals only.
    FirmwareTransfer *transfer() const { return m_transfer.get(); }

private:
    QThread m_thread;
    std::unique_ptr<FirmwareTransfer> m_transfer;
};
