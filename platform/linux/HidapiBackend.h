#pragma once
#include "platform/hid/HidBackend.h"

#include <QByteArray>
#include <QString>

// The real bus on Linux: hidapi's hidraw backend for the devices, and each
// node's report descriptor from sysfs for its top-level collections.
class HidapiBackend : public HidBackend
{
public:
    HidapiBackend();
    ~HidapiBackend() override;
    HidapiBackend(const HidapiBackend &) = delete;
    HidapiBackend &operator=(const HidapiBackend &) = delete;

    QVector<HidDeviceInfo> enumerate() override;
    std::unique_ptr<HidDevice> open(const HidDeviceInfo &info) override;

    // The report descriptor of a hidraw node ("/dev/hidraw3"); empty when unreadable.
    static QByteArray readReportDescriptor(const QString &devicePath);

    // Feature reports on hidraw carry the report ID in byte 0 both ways, and
    // the lengths count it: a device with report IDs sends its ID first, and
    // for one without, the kernel puts the 0 in front itself. So a feature
    // read hands over the same buffer as on the emulated bus, once these hold:
    // the ID byte must name a report the device can have (non-zero exactly
    // when it numbers its reports) ...
    static bool featureIdFits(quint8 reportId, bool numberedReports);
    // ... and a reply must come back under the ID asked for. Returns got, or
    // -1 for a failed read or a report of another ID.
    static int checkFeatureReply(quint8 askedId, bool numberedReports, const std::uint8_t *data, int got);

private:
    bool m_initialised = false;
};
