#pragma once
// The whole program on an emulated bus, as a user meets it: a temporary
// application folder, the virtual device clock, a Plasma-like desktop whose
// settings live in that folder (pointer speed kept in our file, wheel lines
// in kdeglobals), and the main window shown. A mouse plugged in is found by
// CheckDevice and opened by the bridge on its thread; mice are plugged as
// objects or by the names `--emulate` takes.
#include "app/MainWindow.h"
#include "device/CheckDevice.h"
#include "emulator/EmulatedBackend.h"
#include "emulator/EmulatedCatalog.h"
#include "pages/CPIForm.h"
#include "pages/MainSettingWidget.h"
#include "platform/DeviceClock.h"
#include "platform/PointerSettings.h"
#include "platform/hid/HidBackend.h"
#include "platform/linux/DesktopPointer.h"
#include "support/TempAppFolder.h"

#include <QCheckBox>
#include <QtTest>
#include <memory>

struct WindowRig
{
    static constexpr int kWaitMs = 20000;

    WindowRig()
    {
        folder = std::make_unique<TempAppFolder>();
        DeviceClock::setVirtual(true);
        bus = std::make_unique<EmulatedBackend>();
        Hid::setBackend(bus.get());
        pointer = std::make_unique<PointerSettings>(
            makeKeptPointerSpeed(PointerSettings::keptSpeedPath()),
            DesktopPointer::makeKdeWheelLines(folder->path() + QStringLiteral("/kdeglobals")));
        PointerSettings::setSystem(pointer.get());
        window = std::make_unique<MainWindow>();
        window->show();
        // Every page at once, not after the first paint.
        window->attachDeferredPages();
    }
    ~WindowRig()
    {
        window.reset();
        Hid::setBackend(nullptr);
        bus.reset();
        PointerSettings::setSystem(nullptr);
        pointer.reset();
        DeviceClock::setVirtual(false);
        folder.reset();
    }

    MainSettingWidget *page() const { return window->findChild<MainSettingWidget *>(); }

    // Plugs a mouse in; true once the window has it open and the start-up
    // read has filled the settings page (it ends with the buttons, after the
    // CPI list and the report rate).
    bool plugAndOpen(std::shared_ptr<EmulatedDevice> mouse)
    {
        bus->plug(std::move(mouse));
        window->findChild<CheckDevice *>()->checkDeviceOnce();
        if (!QTest::qWaitFor([this] { return window->isDeviceOpen(); }, kWaitMs))
            return false;
        if (!QTest::qWaitFor([this] { return page()->cpiForm(0)->checkBox()->isChecked(); }, kWaitMs))
            return false;
        QTest::qWait(200);
        return true;
    }

    // Plugs the devices of an emulated mouse ("kestrel", "merlin-receiver", ...).
    EmulatedDevices plug(const QString &name)
    {
        EmulatedDevices devices;
        QString error;
        if (!EmulatedCatalog::create(name, &devices, &error))
            qFatal("cannot emulate %s: %s", qPrintable(name), qPrintable(error));
        for (const auto &device : qAsConst(devices))
            ids << bus->plug(device);
        return devices;
    }

    // Plugs an emulated mouse by name; true once the window has it open and
    // the start-up read has filled its pages.
    bool plugAndOpen(const QString &name)
    {
        plug(name);
        poll();
        return QTest::qWaitFor([this] { return window->isPageFilled(); }, kWaitMs);
    }

    // One poll of the bus, as CheckDevice's timer would run it.
    void poll() { window->findChild<CheckDevice *>()->checkDeviceOnce(); }

    std::unique_ptr<TempAppFolder> folder;
    std::unique_ptr<EmulatedBackend> bus;
    std::unique_ptr<PointerSettings> pointer;
    std::unique_ptr<MainWindow> window;
    QList<int> ids; // bus ids of the mice plug() put on
};
