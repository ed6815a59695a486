#pragma once
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

// A firmware transfer into a first-family mouse: it switches the mouse (found
// by its normal-mode path filter) into its boot loader, sends the image and
// reports progress and the outcome. It works on a thread of its own; the
// bridge starts it with a queued slotUpdate(path) and listens to its signals.
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

namespace FirmwareTransfers {

using Factory = std::function<std::unique_ptr<FirmwareTransfer>()>;

// The program installs the transfer it ships; tests install their own.
void setFactory(Factory factory);
// A new transfer object, or null when none is installed.
std::unique_ptr<FirmwareTransfer> create();

} // namespace FirmwareTransfers
