// The system's device events on Linux: udev's monitor for the hidraw
// subsystem, read when its socket has something.
#include "platform/hid/HotplugWatch.h"

#include <QDebug>
#include <QSocketNotifier>
#include <cstring>
#include <libudev.h>

namespace {

class UdevWatch : public QObject
{
public:
    explicit UdevWatch(std::function<void()> onEvent) : m_onEvent(std::move(onEvent)) {}
    ~UdevWatch() override
    {
        delete m_notifier;
        if (m_monitor)
            udev_monitor_unref(m_monitor);
        if (m_udev)
            udev_unref(m_udev);
    }

    bool start()
    {
        m_udev = udev_new();
        if (!m_udev)
            return false;
        // "udev", not "kernel": the event comes once the rules ran, so the
        // node already carries the seat user's access when we open it.
        m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
        if (!m_monitor || udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0
            || udev_monitor_enable_receiving(m_monitor) < 0)
            return false;
        const int fd = udev_monitor_get_fd(m_monitor);
        if (fd < 0)
            return false;
        m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] { drain(); });
        return true;
    }

private:
    void drain()
    {
        // The monitor's socket does not block: read until it is empty, and
        // tell once for the lot (one mouse brings a node per interface).
        bool changed = false;
        while (udev_device *device = udev_monitor_receive_device(m_monitor)) {
            const char *action = udev_device_get_action(device);
            if (action && (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0))
                changed = true;
            udev_device_unref(device);
        }
        if (changed)
            m_onEvent();
    }

    std::function<void()> m_onEvent;
    udev *m_udev = nullptr;
    udev_monitor *m_monitor = nullptr;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace

namespace Hid {

std::unique_ptr<QObject> watchSystemEvents(std::function<void()> onEvent)
{
    auto watch = std::make_unique<UdevWatch>(std::move(onEvent));
    if (!watch->start()) {
        qWarning() << "HotplugWatch: no udev events, presence falls back to the poll";
        return nullptr;
    }
    return watch;
}

} // namespace Hid
