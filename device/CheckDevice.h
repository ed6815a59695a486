#pragma once
#include "platform/WinTypes.h"

#include <QList>
#include <QObject>

// Watches the HID bus once a second for a supported mouse, or a mouse
// waiting in firmware-update mode, and reports when that changes.
class CheckDevice : public QObject
{
    Q_OBJECT

public:
    // Starts polling at once.
    explicit CheckDevice(QObject *parent = nullptr);
    ~CheckDevice() override;

    // One poll of the bus: scan, choose, report. The timer runs it once a
    // second; tests call it directly.
    void checkDeviceOnce();

    // The time between two polls (1000 ms unless changed); a running poll
    // timer takes the new interval at once.
    void setPollInterval(int ms);
    int pollInterval() const { return pollMs; }
    // Whether the poll timer runs (it is paused during a firmware update).
    bool isPolling() const { return timerId != 0; }

signals:
    // A supported device appeared (found) or the reported one went away.
    void sigFound(bool found, uint pid, uint vid);
    // A boot-loader device is present; the model code its identity names, 0 when unknown.
    void sigBlootDescriptor(int mouseType);

public slots:
    void startTheTimer();
    void stopTheTimer();

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    void scan();
    void choose();
    void report();
    void promote(USHORT pid);

    USHORT vid = 0x3A5E;
    bool reported = false;
    bool foundNow = false;
    QList<USHORT> seen;
    QList<USHORT> priority;
    USHORT foundPid = 0;
    USHORT reportedPid = 0;
    int timerId = 0;
    int pollMs = 1000;
};
