#pragma once
// The whole program on an emulated bus: a temporary application folder, the
// virtual device clock, the window shown, and mice plugged by the names
// `--emulate` takes. CheckDevice's poll is run by hand.
#include "app/MainWindow.h"
#include "device/CheckDevice.h"
#include "emulator/EmulatedBackend.h"
#include "emulator/EmulatedCatalog.h"
#include "platform/DeviceClock.h"
#include "platform/hid/HidBackend.h"
#include "support/TempAppFolder.h"

#include <QtTest>
#include <memory>

struct WindowRig
{
    WindowRig()
    {
        DeviceClock::setVirtual(true);
        Hid::setBackend(&bus);
        window = std::make_unique<MainWindow>();
        window->show();
    }
    ~WindowRig()
    {
        window.reset();
        Hid::setBackend(nullptr);
        DeviceClock::setVirtual(false);
    }

    // Plugs the devices of an emulated mouse ("kestrel", "merlin-receiver", ...).
    EmulatedDevices plug(const QString &name)
    {
        EmulatedDevices devices;
        QString error;
        if (!EmulatedCatalog::create(name, &devices, &error))
            qFatal("cannot emulate %s: %s", qPrintable(name), qPrintable(error));
        for (const auto &device : qAsConst(devices))
            ids << bus.plug(device);
        return devices;
    }

    // One poll of the bus, as CheckDevice's timer would run it.
    void poll() { window->findChild<CheckDevice *>()->checkDeviceOnce(); }

    TempAppFolder folder;
    EmulatedBackend bus;
    std::unique_ptr<MainWindow> window;
    QList<int> ids;
};
