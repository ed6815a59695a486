#pragma once
// A factory-fresh emulated second- or third-family mouse on an emulated bus,
// its family's driver opened on it, the model code set and the virtual
// device clock.
#include "model/ProductTable.h"
#include "device/osprey/USBDriver_Osprey.h"
#include "device/wren/USBDriver_Wren.h"
#include "emulator/EmulatedBackend.h"
#include "emulator/osprey/EmulatedOspreyMouse.h"
#include "platform/DeviceClock.h"

#include <QStandardPaths>
#include <memory>

struct OspreyRig
{
    explicit OspreyRig(const QString &model = QStringLiteral("harrier"))
    {
        QStandardPaths::setTestModeEnabled(true);
        DeviceClock::setVirtual(true);
        Hid::setBackend(&backend);
        mouse = std::make_shared<EmulatedOspreyMouse>(model);
        deviceId = backend.plug(mouse);
        MouseType::setCurrent(mouse->model().type);
        if (mouse->model().type == 13)
            driver = std::make_unique<USBDriver_Wren>();
        else
            driver = std::make_unique<USBDriver_Osprey>();
        driver->SetMouseType(mouse->model().type);
        driver->SetPidVid(mouse->model().pid, 0x3A5E);
        opened = driver->FindHIDDevice();
        reset();
    }
    ~OspreyRig()
    {
        driver->UnInitDevice();
        Hid::setBackend(nullptr);
        MouseType::setCurrent(0);
    }

    // Zeroes the exchange counters and the device time.
    void reset()
    {
        backend.resetTransferCount();
        mouse->resetCounters();
        DeviceClock::resetVirtual();
    }
    int transfers() const { return backend.transferCount(); }
    qint64 ms() const { return DeviceClock::virtualElapsedMs(); }

    // The profile record as the mouse holds it.
    QByteArray record() const { return mouse->profile().left(USBDriver_Osprey::kProfileSize); }

    EmulatedBackend backend;
    std::shared_ptr<EmulatedOspreyMouse> mouse;
    int deviceId = 0;
    std::unique_ptr<USBDriver_Osprey> driver;
    bool opened = false;
};

inline const BYTE *bytesOf(const QByteArray &b)
{
    return reinterpret_cast<const BYTE *>(b.constData());
}

inline BYTE *bytesOf(QByteArray &b)
{
    return reinterpret_cast<BYTE *>(b.data());
}
