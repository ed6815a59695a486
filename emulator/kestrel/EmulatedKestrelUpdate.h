#pragma once
// A first-family mouse on an emulated bus going through a firmware update as
// the hardware does: on the boot-loader request the mouse leaves the bus and
// its boot loader arrives; after the finish packet the boot loader leaves and
// the mouse comes back, running the new image (the version it carries).
#include "emulator/EmulatedBackend.h"
#include "emulator/EmulatedBootLoaders.h"
#include "emulator/kestrel/EmulatedKestrelMouse.h"

#include <QMutex>
#include <memory>

class EmulatedKestrelUpdate
{
public:
    // mouseId: where the mouse is plugged on bus now (0: not plugged).
    EmulatedKestrelUpdate(EmulatedBackend &bus, std::shared_ptr<EmulatedKestrelMouse> mouse, int mouseId);
    ~EmulatedKestrelUpdate();
    EmulatedKestrelUpdate(const EmulatedKestrelUpdate &) = delete;
    EmulatedKestrelUpdate &operator=(const EmulatedKestrelUpdate &) = delete;

    // Sends the mouse to its boot loader now, as its boot-loader request does.
    void enterBootLoader();

    // The boot loader the mouse turns into (the same one on every update).
    std::shared_ptr<EmulatedFirstFamilyBootLoader> bootLoader() const;
    // Bus ids of the mouse and of its boot loader (0: never plugged).
    int mouseId() const;
    int bootLoaderId() const;
    // Updates taken to the end.
    int completed() const;

private:
    struct State;
    std::shared_ptr<State> m_state;
};
