#pragma once
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

// A firmware transfer into a first-family mouse: it switches the mouse (found
// by its normal-mode path filter) into its boot loader, sends the image and
// reports progress and the outcome. It runs on the thread of its
// FirmwareUpdateRun; the bridge starts it with a queued slotUpdate(path) and
// listens to its signals. It never quits its thread itself.
class FirmwareTransfer : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~FirmwareTransfer() override = default;

    // Path filters of the mouse in normal mode and in update mode.
    virtual void SetDevicePaths(const QString &normalPath, const QString &bootPath) = 0;

public slots:
    // Runs the whole update with the image file at path.
    virtual void slotUpdate(QString path) = 0;

signals:
    void sigUpdateResult(bool result);
    void sigPercent(uint percent);
};

// Makes the transfer an update request runs; empty when the program has none.
using FirmwareTransferMaker = std::function<std::unique_ptr<FirmwareTransfer>()>;

namespace FirmwareTransfers {
// The transfer this program ships, installed into the bridge at start-up.
FirmwareTransferMaker shipped();
} // namespace FirmwareTransfers
