#include "emulator/kestrel/EmulatedKestrelUpdate.h"

struct EmulatedKestrelUpdate::State
{
    EmulatedBackend *bus = nullptr;
    std::shared_ptr<EmulatedKestrelMouse> mouse;
    std::shared_ptr<EmulatedFirstFamilyBootLoader> boot;
    mutable QMutex mutex; // guards the ids and the count
    int mouseId = 0;
    int bootId = 0;
    int completed = 0;

    void toBootLoader()
    {
        QMutexLocker lock(&mutex);
        bus->unplug(mouseId);
        bootId = bus->plug(boot);
    }
    void backToNormal(const QByteArray &image)
    {
        QMutexLocker lock(&mutex);
        bus->unplug(bootId);
        mouse->setFirmwareVersion(EmulatedFirstFamilyBootLoader::versionOfImage(image));
        mouseId = bus->plug(mouse);
        ++completed;
    }
};

EmulatedKestrelUpdate::EmulatedKestrelUpdate(EmulatedBackend &bus, std::shared_ptr<EmulatedKestrelMouse> mouse,
                                             int mouseId)
    : m_state(std::make_shared<State>())
{
    m_state->bus = &bus;
    m_state->mouse = mouse;
    m_state->mouseId = mouseId;
    m_state->boot = std::make_shared<EmulatedFirstFamilyBootLoader>(QLatin1String(mouse->model().product) +
                                                                    QLatin1String(" Boot"));
    const std::weak_ptr<State> weak = m_state;
    mouse->setBootRequestHandler([weak] {
        if (auto s = weak.lock())
            s->toBootLoader();
    });
    m_state->boot->setFinishHandler([weak](const QByteArray &image) {
        if (auto s = weak.lock())
            s->backToNormal(image);
    });
}

EmulatedKestrelUpdate::~EmulatedKestrelUpdate()
{
    m_state->mouse->setBootRequestHandler({});
    m_state->boot->setFinishHandler({});
}

void EmulatedKestrelUpdate::enterBootLoader()
{
    m_state->toBootLoader();
}

std::shared_ptr<EmulatedFirstFamilyBootLoader> EmulatedKestrelUpdate::bootLoader() const
{
    return m_state->boot;
}

int EmulatedKestrelUpdate::mouseId() const
{
    QMutexLocker lock(&m_state->mutex);
    return m_state->mouseId;
}

int EmulatedKestrelUpdate::bootLoaderId() const
{
    QMutexLocker lock(&m_state->mutex);
    return m_state->bootId;
}

int EmulatedKestrelUpdate::completed() const
{
    QMutexLocker lock(&m_state->mutex);
    return m_state->completed;
}
