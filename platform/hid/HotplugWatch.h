#pragma once
#include <QObject>
#include <functional>
#include <memory>

// Tells, sooner than a poll would, that HID devices may have arrived or
// left: the system's device events (udev's hidraw events on Linux) and the
// announcements of in-process buses such as the emulator. It says only
// that something changed; the listener scans the bus to learn what.
class HotplugWatch : public QObject
{
    Q_OBJECT

public:
    explicit HotplugWatch(QObject *parent = nullptr);
    ~HotplugWatch() override;

    // Whether the system's device events are watched; without them only
    // in-process announcements arrive and the caller's poll must do.
    bool watchesSystemEvents() const { return m_system != nullptr; }

signals:
    // Devices may have come or gone. Always delivered on this object's
    // thread through its event loop, never inside the announcer's call.
    void changed();

private:
    std::unique_ptr<QObject> m_system;
};

namespace Hid {

// Announces an arrival or removal on an in-process bus to every watch, from
// any thread.
void announceChange();

// The system's own device events, calling onEvent on the caller's thread;
// null where they cannot be watched. Implemented per OS.
std::unique_ptr<QObject> watchSystemEvents(std::function<void()> onEvent);

} // namespace Hid
