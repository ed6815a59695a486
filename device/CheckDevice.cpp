#include "device/CheckDevice.h"

#include "model/ProductTable.h"
#include "platform/hid/HidBackend.h"
#include "platform/hid/HotplugWatch.h"

#include <QDebug>
#include <QSet>
#include <QTimerEvent>
#include <QVector>
#include <algorithm>

namespace {

// Supported PIDs in the order a scan prefers them: the two boot loaders,
// then every identity of the catalogue by its scan rank. A product without
// a rank would never be reported; the catalogue test checks there is none.
QList<USHORT> initialPriority()
{
    QVector<QPair<int, USHORT>> ranked;
    for (const ProductInfo *p = Products::begin(); p != Products::end(); ++p) {
        if (p->wiredRank > 0)
            ranked.append({p->wiredRank, p->wiredPid});
        if (p->receiverPid && p->receiverRank > 0)
            ranked.append({p->receiverRank, p->receiverPid});
    }
    std::sort(ranked.begin(), ranked.end());
    QList<USHORT> list{Products::kFirstFamilyBootPid, Products::kOtherFamilyBootPid};
    for (const auto &r : qAsConst(ranked))
        list.append(r.second);
    return list;
}

// The product string as the 50-byte wide-character buffer holds it, every
// non-zero byte taken as one character.
QString productStringAsRead(const QString &product)
{
    constexpr int kBufferBytes = 50;
    QString text;
    const int units = qMin(product.size(), kBufferBytes / 2);
    for (int i = 0; i < units; ++i) {
        const ushort unit = product.at(i).unicode();
        const uchar bytes[2] = {uchar(unit & 0xFF), uchar(unit >> 8)};
        for (uchar b : bytes)
            if (b != 0)
                text += QChar(b);
    }
    return text;
}

// How long a wake-up waits for the rest of a burst of device events: the
// nodes of one mouse's interfaces appear within a few milliseconds.
constexpr int kWakeSettleMs = 30;

} // namespace

CheckDevice::CheckDevice(QObject *parent) : QObject(parent), priority(initialPriority())
{
    wakeTimer.setSingleShot(true);
    wakeTimer.setInterval(kWakeSettleMs);
    connect(&wakeTimer, &QTimer::timeout, this, [this] {
        if (isPolling() && wakeOn)
            checkDeviceOnce();
    });
    hotplug = new HotplugWatch(this);
    connect(hotplug, &HotplugWatch::changed, this, &CheckDevice::wake);
    startTheTimer();
    // A mouse already plugged in shows at once, not a poll later.
    QTimer::singleShot(0, this, [this] {
        if (isPolling() && wakeOn)
            checkDeviceOnce();
    });
}

CheckDevice::~CheckDevice() = default;

void CheckDevice::startTheTimer()
{
    qDebug() << "startTheTimer";
    // A second start would leave the first timer running where stopTheTimer cannot reach it.
    if (timerId != 0)
        killTimer(timerId);
    timerId = startTimer(pollMs, Qt::CoarseTimer);
}

void CheckDevice::setPollInterval(int ms)
{
    pollMs = qMax(1, ms);
    if (timerId != 0) {
        killTimer(timerId);
        timerId = startTimer(pollMs, Qt::CoarseTimer);
    }
}

void CheckDevice::stopTheTimer()
{
    qDebug() << "stopTheTimer";
    if (timerId != 0)
        killTimer(timerId);
    timerId = 0;
    // Paused means paused: a firmware update moves the mouse through its boot
    // loader, and those arrivals must not be reported meanwhile.
    wakeTimer.stop();
}

void CheckDevice::setWakeEnabled(bool enabled)
{
    wakeOn = enabled;
    if (!enabled)
        wakeTimer.stop();
}

bool CheckDevice::watchesSystemEvents() const
{
    return hotplug->watchesSystemEvents();
}

void CheckDevice::wake()
{
    if (isPolling() && wakeOn && !wakeTimer.isActive())
        wakeTimer.start();
}

void CheckDevice::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == timerId)
        checkDeviceOnce();
    else
        QObject::timerEvent(event);
}

void CheckDevice::checkDeviceOnce()
{
    scan();
    choose();
    report();
}

void CheckDevice::scan()
{
    seen.clear();
    nodesOf.clear();
    HidBackend *backend = Hid::backend();
    if (!backend)
        return; // no bus reads as no device present
    // The bus lists a device once per top-level collection; a boot loader is announced once per tick.
    QSet<QString> bootAnnounced;
    const QVector<HidDeviceInfo> interfaces = backend->enumerate();
    for (const HidDeviceInfo &info : interfaces) {
        if (info.vendorId == vid) {
            seen.append(info.productId);
            nodesOf[info.productId].insert(info.path);
            if (info.productId == Products::kFirstFamilyBootPid && !bootAnnounced.contains(info.path)) {
                bootAnnounced.insert(info.path);
                const QString text = productStringAsRead(info.productString);
                qDebug() << "turnDescriptorToMouseType" << text;
                emit sigBlootDescriptor(Products::typeOfBootProduct(text));
            }
        } else if (info.vendorId == Products::kOtherFamilyBootVid && info.productId == Products::kOtherFamilyBootPid) {
            seen.append(Products::kOtherFamilyBootPid);
            if (!bootAnnounced.contains(info.path)) {
                bootAnnounced.insert(info.path);
                emit sigBlootDescriptor(Products::typeOfBootRelease(info.releaseNumber));
            }
        }
    }
}

void CheckDevice::choose()
{
    foundNow = false;
    USHORT winner = 0;
    if (seen.contains(Products::kFirstFamilyBootPid)) {
        winner = Products::kFirstFamilyBootPid;
    } else if (seen.contains(Products::kOtherFamilyBootPid)) {
        winner = Products::kOtherFamilyBootPid;
    } else if (preferred != 0 && seen.contains(preferred)) {
        winner = preferred;
    } else {
        for (USHORT pid : qAsConst(priority)) {
            if (seen.contains(pid)) {
                winner = pid;
                break;
            }
        }
    }
    if (winner != 0) {
        foundPid = winner;
        foundNow = true;
    }
}

void CheckDevice::setPreferredPid(USHORT pid)
{
    preferred = pid;
}

void CheckDevice::report()
{
    // The choice lasts while its mouse is present.
    if (preferred != 0 && !seen.contains(preferred))
        preferred = 0;
    QList<USHORT> mice;
    for (USHORT pid : qAsConst(priority))
        if (seen.contains(pid) && Products::byPid(pid) && !mice.contains(pid))
            mice.append(pid);
    if (mice != present) {
        present = mice;
        emit sigMiceChanged(present);
    }

    if (reported && foundNow && foundPid != reportedPid) {
        // Another device took the place of the reported one: report it gone
        // now, the new one on the next tick. (With nothing reported there is
        // nothing to withdraw: a false report would repeat every tick.)
        reported = false;
        emit sigFound(false, reportedPid, vid);
        // The new one is reported by the next scan; no need to wait a poll for it.
        wake();
    } else if (reported && foundNow && !nodesOf.value(foundPid).contains(reportedNodes)) {
        // A node of the reported product went while the product is still
        // seen: the mouse being configured may be the one unplugged and
        // another of its model the one left. Report it gone, and whatever is
        // there found on the next scan, so the bridge opens what is present.
        reported = false;
        reportedNodes.clear();
        emit sigFound(false, reportedPid, vid);
        wake();
    } else if (foundNow != reported) {
        reported = foundNow;
        reportedPid = foundPid;
        reportedNodes = foundNow ? nodesOf.value(foundPid) : QSet<QString>();
        emit sigFound(foundNow, foundPid, vid);
        if (foundNow)
            promote(foundPid);
    } else if (reported) {
        // Nodes that arrived since (another mouse of the model) count from now on.
        reportedNodes = nodesOf.value(foundPid);
    }
}

void CheckDevice::promote(USHORT pid)
{
    // Position 0 stays the first family's boot loader.
    if (pid == Products::kFirstFamilyBootPid)
        return;
    if (const USHORT wired = Products::wiredPidOfReceiver(pid)) {
        // Once the mouse is known, its cable wins over its receiver.
        priority.removeAll(wired);
        priority.insert(1, wired);
        priority.removeAll(pid);
        priority.insert(2, pid);
        return;
    }
    priority.removeAll(pid);
    priority.insert(1, pid);
}
