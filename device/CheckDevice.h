#pragma once
#include "platform/WinTypes.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QObject>
#include <QTimer>

class HotplugWatch;

// Watches the HID bus for a supported mouse, or a mouse waiting in
// firmware-update mode, and reports when that changes. It scans once as
// soon as the event loop runs, again whenever the system (or the emulator)
// announces a device coming or going, and once a second in any case, for
// buses that announce nothing.
class CheckDevice : public QObject
{
    Q_OBJECT

public:
    // Starts polling at once; the first scan runs on the next turn of the
    // event loop, once the caller has connected its signals.
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
    // Whether announcements (and the start-up scan) wake a scan before the
    // next poll; on unless turned off, which leaves the bare poll.
    void setWakeEnabled(bool enabled);
    bool wakeEnabled() const { return wakeOn; }
    // Whether the system's own device events are watched (udev on Linux).
    bool watchesSystemEvents() const;
    // The PIDs a scan looks for, most preferred first.
    QList<USHORT> scanOrder() const { return priority; }

    // The supported mice on the bus now (boot loaders aside), in scan order.
    QList<USHORT> presentMice() const { return present; }
    // The mouse the user chose among several: it is reported in place of the
    // scan order's first while it is present (a boot loader still wins);
    // forgotten once it is gone. 0 leaves the choice to the scan order.
    void setPreferredPid(USHORT pid);
    USHORT preferredPid() const { return preferred; }

signals:
    // A supported device appeared (found) or the reported one went away.
    void sigFound(bool found, uint pid, uint vid);
    // A boot-loader device is present; the model code its identity names, 0 when unknown.
    void sigBlootDescriptor(int mouseType);
    // The supported mice present changed (their PIDs, in scan order).
    void sigMiceChanged(QList<USHORT> pids);

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
    // Scans soon, while polling: arrivals come in bursts (a node per
    // interface), so one scan serves them all.
    void wake();

    USHORT vid = 0x3A5E;
    bool reported = false;
    bool foundNow = false;
    QList<USHORT> seen;
    QList<USHORT> priority;
    USHORT foundPid = 0;
    USHORT reportedPid = 0;
    // The nodes of each product seen by the last scan, and those of the
    // reported one when it was reported: two mice of one model share a PID,
    // and only their nodes tell them apart.
    QHash<USHORT, QSet<QString>> nodesOf;
    QSet<QString> reportedNodes;
    USHORT preferred = 0;
    QList<USHORT> present;
    int timerId = 0;
    int pollMs = 1000;
    bool wakeOn = true;
    HotplugWatch *hotplug = nullptr;
    QTimer wakeTimer;
};
