#pragma once
#include "emulator/EmulatedDevice.h"
#include "platform/hid/HidBackend.h"

#include <QMutex>
#include <QVector>
#include <memory>

// A HID bus of emulated devices. Devices can be plugged and unplugged at
// any time from any thread; a handle to an unplugged device fails every
// transfer from then on, as a real one does.
class EmulatedBackend : public HidBackend
{
public:
    EmulatedBackend();
    ~EmulatedBackend() override;

    // Faults injected into one device's transfers.
    struct Faults
    {
        int failNextTransfers = 0;  // this many transfers fail (-1) before normal service resumes
        int unplugAfterTransfers = -1; // the device vanishes after this many more transfers (-1: never)
    };

    // Puts a device on the bus; returns its id for unplug() and faults.
    int plug(std::shared_ptr<EmulatedDevice> device);
    // Takes a device off the bus; open handles fail from then on.
    void unplug(int id);
    void unplugAll();
    bool isPlugged(int id) const;
    std::shared_ptr<EmulatedDevice> device(int id) const;
    void setFaults(int id, const Faults &faults);

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
        Faults faults;
        bool plugged = false;
    };
    Slot *findLocked(int id);
    const Slot *findLocked(int id) const;

    mutable QMutex m_mutex;
    QVector<Slot> m_slots;
    int m_nextId = 1;
    int m_transfers = 0;
};

template <typename F>
int EmulatedBackend::transfer(int id, F &&call)
{
    QMutexLocker lock(&m_mutex);
    Slot *slot = findLocked(id);
    if (!slot || !slot->plugged)
        return -1;
    ++m_transfers;
    if (slot->faults.unplugAfterTransfers == 0) {
        slot->plugged = false;
        return -1;
    }
    if (slot->faults.unplugAfterTransfers > 0)
        --slot->faults.unplugAfterTransfers;
    if (slot->faults.failNextTransfers > 0) {
        --slot->faults.failNextTransfers;
        return -1;
    }
    return call(*slot->device);
}
