#pragma once
#include "emulator/EmulatedDevice.h"
#include "platform/hid/HidBackend.h"
#include "platform/hid/HotplugWatch.h"

#include <QMutex>
#include <QVector>
#include <memory>

// A HID bus of emulated devices. Devices can be plugged and unplugged at
// any time from any thread; a handle to an unplugged device fails every
// transfer from then on, as a real one does. Every arrival and removal is
// announced (Hid::announceChange), as udev announces a real one. Calls into one device are
// serialised by that device's own lock, so a slow handler holds up neither
// the bus nor other devices.
class EmulatedBackend : public HidBackend
{
public:
    EmulatedBackend();
    ~EmulatedBackend() override;
    EmulatedBackend(const EmulatedBackend &) = delete;
    EmulatedBackend &operator=(const EmulatedBackend &) = delete;

    // Faults injected into one device's transfers.
    struct Faults
    {
        int failNextTransfers = 0;  // this many transfers fail (-1) before normal service resumes
        int unplugAfterTransfers = -1; // the device vanishes after this many more transfers (-1: never)
        bool openDenied = false;       // opening fails as a node without the user's permission does
    };

    // Puts a device on the bus; returns its id for unplug() and faults. A
    // device whose descriptor does not parse is plugged but never listed,
    // as the host ignores such a device.
    int plug(std::shared_ptr<EmulatedDevice> device);
    // Takes a device off the bus; open handles fail from then on.
    void unplug(int id);
    void unplugAll();
    bool isPlugged(int id) const;
    std::shared_ptr<EmulatedDevice> device(int id) const;
    void setFaults(int id, const Faults &faults);

    // Runs f(device) under the device's lock, so a test can look at or change
    // device state while another thread talks to it. False when the id is unknown.
    template <typename F>
    bool inspect(int id, F &&f);

    // How many transfers (of any kind) reached plugged devices since the last reset.
    int transferCount() const;
    void resetTransferCount();

    QVector<HidDeviceInfo> enumerate() override;
    std::unique_ptr<HidDevice> open(const HidDeviceInfo &info) override;

    // Runs one transfer against a device, applying its faults; -1 when it is gone.
    // Used by the handles this backend hands out.
    template <typename F>
    int transfer(int id, F &&call);

private:
    struct Slot
    {
        int id = 0;
        std::shared_ptr<EmulatedDevice> device;
        std::shared_ptr<QMutex> lock; // serialises calls into the device
        QVector<HidCollectionCaps> collections; // parsed once, at plug time
        Faults faults;
        bool plugged = false;
    };
    Slot *findLocked(int id);
    const Slot *findLocked(int id) const;

    mutable QMutex m_mutex; // guards the slots and the counter, never held during a handler
    QVector<Slot> m_slots;
    int m_nextId = 1;
    int m_transfers = 0;
};

template <typename F>
bool EmulatedBackend::inspect(int id, F &&f)
{
    std::shared_ptr<EmulatedDevice> device;
    std::shared_ptr<QMutex> lock;
    {
        QMutexLocker busLock(&m_mutex);
        const Slot *slot = findLocked(id);
        if (!slot)
            return false;
        device = slot->device;
        lock = slot->lock;
    }
    QMutexLocker deviceLock(lock.get());
    f(*device);
    return true;
}

template <typename F>
int EmulatedBackend::transfer(int id, F &&call)
{
    std::shared_ptr<EmulatedDevice> device;
    std::shared_ptr<QMutex> lock;
    {
        QMutexLocker busLock(&m_mutex);
        Slot *slot = findLocked(id);
        if (!slot || !slot->plugged)
            return -1;
        ++m_transfers;
        if (slot->faults.unplugAfterTransfers == 0) {
            slot->plugged = false;
            busLock.unlock();
            Hid::announceChange();
            return -1;
        }
        if (slot->faults.unplugAfterTransfers > 0)
            --slot->faults.unplugAfterTransfers;
        if (slot->faults.failNextTransfers > 0) {
            --slot->faults.failNextTransfers;
            return -1;
        }
        device = slot->device;
        lock = slot->lock;
    }
    // A transfer already under way when the device is unplugged still
    // completes, as on a real bus; the next one fails.
    QMutexLocker deviceLock(lock.get());
    return call(*device);
}
