#include "emulator/EmulatedBackend.h"

#include "platform/hid/HotplugWatch.h"
#include "platform/hid/ReportDescriptor.h"

#include <QDebug>
#include <QStringList>

namespace {

// A handle to one emulated device; every call goes through the backend so
// unplugging and faults apply to open handles too.
class EmulatedHandle : public HidDevice
{
public:
    EmulatedHandle(EmulatedBackend *backend, int id) : m_backend(backend), m_id(id) {}

    int write(const std::uint8_t *data, std::size_t length) override
    {
        if (!valid(data, length) || length < Hid::kMinReportLength)
            return -1;
        return m_backend->transfer(m_id, [&](EmulatedDevice &d) { return d.onWrite(data, length); });
    }
    int read(std::uint8_t *data, std::size_t length, int timeoutMs) override
    {
        if (!valid(data, length))
            return -1;
        return m_backend->transfer(m_id, [&](EmulatedDevice &d) { return d.onRead(data, length, timeoutMs); });
    }
    int getInputReport(std::uint8_t *data, std::size_t length) override
    {
        if (!valid(data, length) || length < Hid::kMinReportLength)
            return -1;
        return m_backend->transfer(m_id, [&](EmulatedDevice &d) { return d.onGetInputReport(data, length); });
    }
    int sendFeatureReport(const std::uint8_t *data, std::size_t length) override
    {
        if (!valid(data, length) || length < Hid::kMinReportLength)
            return -1;
        return m_backend->transfer(m_id, [&](EmulatedDevice &d) { return d.onSetFeature(data, length); });
    }
    int getFeatureReport(std::uint8_t *data, std::size_t length) override
    {
        if (!valid(data, length) || length < Hid::kMinReportLength)
            return -1;
        return m_backend->transfer(m_id, [&](EmulatedDevice &d) { return d.onGetFeature(data, length); });
    }
    void close() override { m_closed = true; }

private:
    bool valid(const void *data, std::size_t length) const { return !m_closed && data && length > 0; }

    EmulatedBackend *m_backend;
    int m_id;
    bool m_closed = false;
};

// Emulated paths name the device the way a hidraw node would, with the ids
// in them so path filters can match: "emulated:<id>:VID_xxxx&PID_xxxx".
QString hex4(quint16 v)
{
    return QStringLiteral("%1").arg(v, 4, 16, QLatin1Char('0')).toUpper();
}

QString pathFor(int id, const EmulatedDevice &d)
{
    return QStringLiteral("emulated:%1:VID_%2&PID_%3").arg(id).arg(hex4(d.vendorId()), hex4(d.productId()));
}

} // namespace

EmulatedBackend::EmulatedBackend() = default;
EmulatedBackend::~EmulatedBackend() = default;

int EmulatedBackend::plug(std::shared_ptr<EmulatedDevice> device)
{
    // The descriptor is parsed outside the bus lock; it is the device's own, constant data.
    Slot slot;
    if (device) {
        QString error;
        if (!Hid::parseReportDescriptor(device->reportDescriptor(), &slot.collections, &error))
            qWarning().noquote() << "emulated device" << hex4(device->vendorId()) << hex4(device->productId())
                                 << "has an unusable report descriptor:" << error;
    }
    int id = 0;
    {
        QMutexLocker lock(&m_mutex);
        slot.id = id = m_nextId++;
        slot.device = std::move(device);
        slot.lock = std::make_shared<QMutex>();
        slot.plugged = slot.device != nullptr;
        m_slots.append(slot);
    }
    // Announced as udev would, outside the bus lock so a listener may scan at once.
    Hid::announceChange();
    return id;
}

void EmulatedBackend::unplug(int id)
{
    {
        QMutexLocker lock(&m_mutex);
        if (Slot *slot = findLocked(id))
            slot->plugged = false;
    }
    Hid::announceChange();
}

void EmulatedBackend::unplugAll()
{
    {
        QMutexLocker lock(&m_mutex);
        for (Slot &slot : m_slots)
            slot.plugged = false;
    }
    Hid::announceChange();
}

bool EmulatedBackend::isPlugged(int id) const
{
    QMutexLocker lock(&m_mutex);
    const Slot *slot = findLocked(id);
    return slot && slot->plugged;
}

std::shared_ptr<EmulatedDevice> EmulatedBackend::device(int id) const
{
    QMutexLocker lock(&m_mutex);
    const Slot *slot = findLocked(id);
    return slot ? slot->device : nullptr;
}

void EmulatedBackend::setFaults(int id, const Faults &faults)
{
    QMutexLocker lock(&m_mutex);
    if (Slot *slot = findLocked(id))
        slot->faults = faults;
}

int EmulatedBackend::transferCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_transfers;
}

void EmulatedBackend::resetTransferCount()
{
    QMutexLocker lock(&m_mutex);
    m_transfers = 0;
}

QVector<HidDeviceInfo> EmulatedBackend::enumerate()
{
    QMutexLocker lock(&m_mutex);
    QVector<HidDeviceInfo> result;
    for (const Slot &slot : qAsConst(m_slots)) {
        if (!slot.plugged)
            continue;
        const EmulatedDevice &d = *slot.device;
        const QVector<HidCollectionCaps> &collections = slot.collections;
        for (int i = 0; i < collections.size(); ++i) {
            HidDeviceInfo info;
            info.path = pathFor(slot.id, d);
            info.vendorId = d.vendorId();
            info.productId = d.productId();
            info.releaseNumber = d.releaseNumber();
            info.productString = d.productString();
            info.interfaceNumber = d.interfaceNumber();
            info.collectionIndex = i;
            info.caps = collections.at(i);
            result.append(info);
        }
    }
    return result;
}

std::unique_ptr<HidDevice> EmulatedBackend::open(const HidDeviceInfo &info)
{
    const QStringList parts = info.path.split(QLatin1Char(':'));
    if (parts.size() < 3 || parts.at(0) != QLatin1String("emulated"))
        return nullptr;
    bool ok = false;
    const int id = parts.at(1).toInt(&ok);
    Hid::setLastOpenFailure({});
    if (!ok || !isPlugged(id))
        return nullptr;
    bool denied = false;
    {
        QMutexLocker lock(&m_mutex);
        const Slot *slot = findLocked(id);
        denied = slot && slot->faults.openDenied;
    }
    if (denied) {
        Hid::setLastOpenFailure({QStringLiteral("Failed to open a device with path '%1': Permission denied").arg(info.path), true});
        return nullptr;
    }
    return std::make_unique<EmulatedHandle>(this, id);
}

EmulatedBackend::Slot *EmulatedBackend::findLocked(int id)
{
    for (Slot &slot : m_slots)
        if (slot.id == id)
            return &slot;
    return nullptr;
}

const EmulatedBackend::Slot *EmulatedBackend::findLocked(int id) const
{
    for (const Slot &slot : m_slots)
        if (slot.id == id)
            return &slot;
    return nullptr;
}
