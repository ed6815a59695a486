#include "platform/linux/HidapiBackend.h"

#include "platform/hid/ReportDescriptor.h"
#include "platform/hid/SystemBackend.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <cerrno>
#include <hidapi/hidapi.h>
#include <unistd.h>
#include <vector>

namespace {

// The longest report we pass through, report-ID byte included; the parser
// refuses longer ones, so no sound device needs more.
constexpr std::size_t kMaxTransfer = 16385;

class HidapiDevice : public HidDevice
{
public:
    HidapiDevice(hid_device *handle, bool numberedReports) : m_handle(handle), m_numbered(numberedReports) {}
    ~HidapiDevice() override { close(); }

    int write(const std::uint8_t *data, std::size_t length) override
    {
        if (!usable(data, length) || length < Hid::kMinReportLength)
            return -1;
        return hid_write(m_handle, data, length);
    }

    int read(std::uint8_t *data, std::size_t length, int timeoutMs) override
    {
        if (!usable(data, length))
            return -1;
        if (m_numbered)
            return hid_read_timeout(m_handle, data, length, timeoutMs);
        // hidraw hands unnumbered input reports over without the ID byte;
        // put the 0 in front so every report buffer starts with its ID.
        if (length < 2)
            return -1;
        const int n = hid_read_timeout(m_handle, data + 1, length - 1, timeoutMs);
        if (n <= 0)
            return n;
        data[0] = 0;
        return n + 1;
    }

    int getInputReport(std::uint8_t *data, std::size_t length) override
    {
        if (!usable(data, length) || length < Hid::kMinReportLength)
            return -1;
        return hid_get_input_report(m_handle, data, length);
    }

    int sendFeatureReport(const std::uint8_t *data, std::size_t length) override
    {
        if (!usable(data, length) || length < Hid::kMinReportLength
            || !HidapiBackend::featureIdFits(data[0], m_numbered))
            return -1;
        return hid_send_feature_report(m_handle, data, length);
    }

    int getFeatureReport(std::uint8_t *data, std::size_t length) override
    {
        if (!usable(data, length) || length < Hid::kMinReportLength
            || !HidapiBackend::featureIdFits(data[0], m_numbered))
            return -1;
        const std::uint8_t asked = data[0];
        const int got = hid_get_feature_report(m_handle, data, length);
        return HidapiBackend::checkFeatureReply(asked, m_numbered, data, got);
    }

    void close() override
    {
        if (m_handle)
            hid_close(m_handle);
        m_handle = nullptr;
    }

private:
    bool usable(const std::uint8_t *data, std::size_t length) const
    {
        return m_handle && data && length > 0 && length <= kMaxTransfer;
    }

    hid_device *m_handle;
    bool m_numbered;
};

QString fromWide(const wchar_t *text) { return text ? QString::fromWCharArray(text) : QString(); }

} // namespace

HidapiBackend::HidapiBackend() : m_initialised(hid_init() == 0)
{
    if (!m_initialised)
        qWarning() << "hidapi could not be initialised; no real HID devices will be seen";
}

HidapiBackend::~HidapiBackend()
{
    if (m_initialised)
        hid_exit();
}

QByteArray HidapiBackend::readReportDescriptor(const QString &devicePath)
{
    // "/dev/hidraw3" -> "/sys/class/hidraw/hidraw3/device/report_descriptor"
    static const QRegularExpression hidrawName(QStringLiteral("^hidraw[0-9]+$"));
    const QString node = QFileInfo(devicePath).fileName();
    if (!hidrawName.match(node).hasMatch())
        return QByteArray();
    QFile file(QStringLiteral("/sys/class/hidraw/%1/device/report_descriptor").arg(node));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    // One byte more than a descriptor may hold, so an overlong one is seen and refused.
    return file.read(65536);
}

bool HidapiBackend::featureIdFits(quint8 reportId, bool numberedReports)
{
    return numberedReports ? reportId != 0 : reportId == 0;
}

int HidapiBackend::checkFeatureReply(quint8 askedId, bool numberedReports, const std::uint8_t *data, int got)
{
    if (got < 0 || !data)
        return -1;
    // A numbered device answers with its report ID first; another ID is another report.
    if (got > 0 && numberedReports && data[0] != askedId) {
        qWarning("HID feature report %u asked, report %u came back", askedId, data[0]);
        return -1;
    }
    return got;
}

QVector<HidDeviceInfo> HidapiBackend::enumerate()
{
    QVector<HidDeviceInfo> result;
    if (!m_initialised)
        return result;
    hid_device_info *list = hid_enumerate(0, 0);
    // hidapi may list a node once per collection itself; we list its collections from its descriptor once.
    QSet<QString> done;
    for (const hid_device_info *d = list; d; d = d->next) {
        const QString path = QString::fromLocal8Bit(d->path);
        if (done.contains(path))
            continue;
        done.insert(path);

        QVector<HidCollectionCaps> collections;
        QString error;
        if (!Hid::parseReportDescriptor(readReportDescriptor(path), &collections, &error)) {
            qWarning().noquote() << "HID device" << path << "skipped, its report descriptor is unusable:" << error;
            continue;
        }
        if (!error.isEmpty())
            qWarning().noquote() << "HID device" << path << ":" << error;
        for (int i = 0; i < collections.size(); ++i) {
            HidDeviceInfo info;
            info.path = path;
            info.vendorId = d->vendor_id;
            info.productId = d->product_id;
            info.releaseNumber = d->release_number;
            info.productString = fromWide(d->product_string);
            info.interfaceNumber = d->interface_number;
            info.collectionIndex = i;
            info.caps = collections.at(i);
            result.append(info);
        }
    }
    hid_free_enumeration(list);
    return result;
}

std::unique_ptr<HidDevice> HidapiBackend::open(const HidDeviceInfo &info)
{
    // Only the hidraw nodes this backend lists: hidapi crashes on other
    // character devices, and other backends' paths are not ours to try.
    static const QRegularExpression hidrawNode(QStringLiteral("^/dev/hidraw[0-9]+$"));
    if (!m_initialised || !hidrawNode.match(info.path).hasMatch())
        return nullptr;
    Hid::setLastOpenFailure({});
    const QByteArray path = info.path.toLocal8Bit();
    hid_device *handle = hid_open_path(path.constData());
    if (!handle) {
        // hidapi's own words, and whether the node is there but not ours to
        // open (a missing udev rule) rather than gone.
        Hid::OpenFailure failure;
        const wchar_t *text = hid_error(nullptr);
        failure.text = text ? QString::fromWCharArray(text) : QString();
        failure.permission = ::access(path.constData(), F_OK) == 0 && ::access(path.constData(), R_OK | W_OK) != 0
                             && errno == EACCES;
        if (failure.text.isEmpty())
            failure.text = failure.permission ? QStringLiteral("permission denied on %1").arg(info.path)
                                              : QStringLiteral("%1 cannot be opened").arg(info.path);
        Hid::setLastOpenFailure(failure);
        return nullptr;
    }
    return std::make_unique<HidapiDevice>(handle, !info.caps.reportIds.isEmpty());
}

namespace Hid {

HidBackend *systemBackend()
{
    static HidapiBackend backend;
    return &backend;
}

} // namespace Hid
