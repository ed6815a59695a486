#include "device/hidparse/HidParse.h"

#include "platform/Log.h"

#include <functional>
#include <memory>

struct HidParseDevice
{
    std::unique_ptr<HidDevice> device;
};

namespace {

QString identityText(const HidDeviceInfo &info)
{
    return QStringLiteral("VID_%1&PID_%2")
        .arg(info.vendorId, 4, 16, QLatin1Char('0'))
        .arg(info.productId, 4, 16, QLatin1Char('0'))
        .toUpper();
}

} // namespace

namespace HidParse {

bool matchesFilter(const HidDeviceInfo &info, const QString &pathFilter)
{
    if (pathFilter.isEmpty())
        return false;
    return identityText(info).contains(pathFilter, Qt::CaseInsensitive)
        || info.path.contains(pathFilter, Qt::CaseInsensitive);
}

} // namespace HidParse

bool LoadHidParse()
{
    return Hid::backend() != nullptr;
}

namespace {

HidParseHandle openFirst(USHORT usagePage, USHORT usage, const QString &pathFilter,
                         const std::function<bool(const HidCollectionCaps &)> &accept)
{
    HidBackend *backend = Hid::backend();
    if (!backend)
        return nullptr;
    const bool anyCollection = usagePage == 0 && usage == 0;
    const QVector<HidDeviceInfo> entries = backend->enumerate();
    for (const HidDeviceInfo &info : entries) {
        if (!HidParse::matchesFilter(info, pathFilter))
            continue;
        if (!anyCollection && (info.caps.usagePage != usagePage || info.caps.usage != usage))
            continue;
        if (accept && !accept(info.caps)) {
            qCWarning(lcDevice).noquote() << "HidParse: passing over" << info.path << "- its collection"
                                          << QString::number(info.caps.usagePage, 16) << "/"
                                          << QString::number(info.caps.usage, 16) << "has other reports";
            continue;
        }
        std::unique_ptr<HidDevice> device = backend->open(info);
        if (!device)
            continue;
        auto *handle = new HidParseDevice;
        handle->device = std::move(device);
        return handle;
    }
    return nullptr;
}

} // namespace

HidParseHandle OpenHidDevice(USHORT usagePage, USHORT usage, const QString &pathFilter, int reserved1,
                             int reserved2)
{
    if (reserved1 != 0 || reserved2 != 0)
        return nullptr;
    return openFirst(usagePage, usage, pathFilter, {});
}

HidParseHandle OpenHidDeviceWithReport(USHORT usagePage, USHORT usage, const QString &pathFilter, quint8 reportId,
                                       int reportLength)
{
    return openFirst(usagePage, usage, pathFilter, [reportId, reportLength](const HidCollectionCaps &caps) {
        for (const HidReportLengths &r : caps.reports)
            if (r.reportId == reportId)
                return r.input == reportLength && r.output == reportLength;
        return false;
    });
}

int GetInputReport(HidParseHandle handle, BYTE *buffer, int length)
{
    if (!handle || !buffer || length <= 0)
        return 0;
    const int n = handle->device->getInputReport(buffer, std::size_t(length));
    if (n <= 0)
        return 0;
    return n > length ? length : n;
}

bool WriteHidReport(HidParseHandle handle, const BYTE *buffer, int length)
{
    if (!handle || !buffer || length <= 0)
        return false;
    return handle->device->write(buffer, std::size_t(length)) == length;
}

int ReadHidReport(HidParseHandle handle, BYTE *buffer, int length, int timeoutMs)
{
    if (!handle || !buffer || length <= 0)
        return -1;
    const int n = handle->device->read(buffer, std::size_t(length), timeoutMs);
    return n > length ? length : n;
}

void CloseHidDevice(HidParseHandle handle)
{
    if (!handle)
        return;
    handle->device->close();
    delete handle;
}

bool FindHidDevice(const QString &pathFilter)
{
    HidBackend *backend = Hid::backend();
    if (!backend)
        return false;
    const QVector<HidDeviceInfo> entries = backend->enumerate();
    for (const HidDeviceInfo &info : entries)
        if (HidParse::matchesFilter(info, pathFilter))
            return true;
    return false;
}
