#pragma once
// A factory-fresh emulated first-family mouse on an emulated bus, a driver
// opened on it, the virtual device clock and a temporary application folder.
#include "device/kestrel/USBDriverKestrel.h"
#include "emulator/EmulatedBackend.h"
#include "emulator/kestrel/EmulatedKestrelMouse.h"
#include "platform/DeviceClock.h"
#include "support/TempAppFolder.h"

#include <memory>

struct KestrelRig
{
    enum class Via { Cable, Receiver };

    explicit KestrelRig(const QString &model = QStringLiteral("kestrel"), Via via = Via::Cable)
    {
        DeviceClock::setVirtual(true);
        Hid::setBackend(&backend);
        mouse = std::make_shared<EmulatedKestrelMouse>(model);
        const auto &m = mouse->model();
        if (via == Via::Cable) {
            deviceId = backend.plug(mouse);
        } else {
            receiver = std::make_shared<EmulatedKestrelReceiver>(mouse);
            deviceId = backend.plug(receiver);
        }
        driver.SetWiredWirelessString(filter(m.wiredPid), filter(m.receiverPid));
        driver.SetMode(via == Via::Cable ? 0 : 1);
        opened = driver.FindHIDDevice();
        reset();
    }
    ~KestrelRig()
    {
        driver.UnInitDevice();
        Hid::setBackend(nullptr);
    }

    // Zeroes the exchange counters and the device time.
    void reset()
    {
        backend.resetTransferCount();
        mouse->resetCounters();
        DeviceClock::resetVirtual();
    }
    int transfers() const { return backend.transferCount(); }

    static QString filter(quint16 pid)
    {
        return QStringLiteral("VID_3A5E&PID_%1").arg(pid, 4, 16, QLatin1Char('0'));
    }

    TempAppFolder dataDir;
    EmulatedBackend backend;
    std::shared_ptr<EmulatedKestrelMouse> mouse;
    std::shared_ptr<EmulatedKestrelReceiver> receiver;
    int deviceId = 0;
    USBDriverKestrel driver;
    bool opened = false;
};
