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

private:
    bool m_initialised = false;
};
