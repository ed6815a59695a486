#pragma once
// The whole program against emulated mice: a fresh application folder, the
// virtual device clock, an emulated bus, a Plasma-like desktop whose pointer
// speed is kept in our file and wheel lines in the folder's kdeglobals, and
// the main window shown. A mouse is opened as the window opens it: through
// CheckDevice's poll and the bridge on its worker thread.
#include "app/MainWindow.h"
#include "device/CheckDevice.h"
#include "emulator/EmulatedBackend.h"
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

class ProgramRig
{
public:
    static constexpr int kWaitMs = 20000;

    ProgramRig()
    {
        DeviceClock::setVirtual(true);
        Hid::setBackend(&bus);
        pointer = std::make_unique<PointerSettings>(makeKeptPointerSpeed(PointerSettings::keptSpeedPath()),
                                                    DesktopPointer::makeKdeWheelLines(kdeglobalsPath()));
        PointerSettings::setSystem(pointer.get());
        window = std::make_unique<MainWindow>();
        window->show();
    }

    ~ProgramRig()
    {
        window.reset();
        Hid::setBackend(nullptr);
        PointerSettings::setSystem(nullptr);
        DeviceClock::setVirtual(false);
    }

    QString kdeglobalsPath() const { return folder.path() + QStringLiteral("/kdeglobals"); }
    MainSettingWidget *settingsPage() const { return window->findChild<MainSettingWidget *>(); }

    // Plugs the mouse in and waits until the window has opened it and the
    // start-up read has filled the settings page (its buttons come last).
    bool open(const std::shared_ptr<EmulatedDevice> &mouse)
    {
        bus.plug(mouse);
        window->findChild<CheckDevice *>()->checkDeviceOnce();
        if (!QTest::qWaitFor([this] { return window->isDeviceOpen(); }, kWaitMs)
            || !QTest::qWaitFor([this] { return settingsPage()->cpiForm(0)->checkBox()->isChecked(); }, kWaitMs))
            return false;
        QTest::qWait(200);
        return true;
    }

    TempAppFolder folder;
    EmulatedBackend bus;
    std::unique_ptr<PointerSettings> pointer;
    std::unique_ptr<MainWindow> window;
};
