#pragma once
#include <QString>
#include <QVector>
#include <cstddef>
#include <cstdint>
#include <memory>

// Byte lengths of one report ID's reports, the report-ID byte included;
// 0 when the collection has no report of that kind under this ID.
struct HidReportLengths
{
    quint8 reportId = 0;
    int input = 0;
    int output = 0;
    int feature = 0;
};

// What the program knows of one top-level collection of a HID device, the
// way Windows lists it: one entry per collection, so a device node with two
// collections is listed twice with the same path.
struct HidCollectionCaps
{
    quint16 usagePage = 0;
    quint16 usage = 0;
    QVector<quint8> reportIds;           // report IDs used in this collection; empty when none
    int inputReportByteLength = 0;       // longest input report, report-ID byte included
    int outputReportByteLength = 0;      // longest output report, report-ID byte included
    int featureReportByteLength = 0;     // longest feature report, report-ID byte included
    int numberInputValueCaps = 0;
    int numberOutputValueCaps = 0;
    int numberFeatureValueCaps = 0;
    QVector<quint8> featureValueCapReportIds; // report ID of each feature value cap, in order
    QVector<HidReportLengths> reports;   // per report ID (0 when none), in order of first use
};

struct HidDeviceInfo
{
    QString path;            // backend-specific; same for every collection of one node
    quint16 vendorId = 0;
    quint16 productId = 0;
    quint16 releaseNumber = 0; // bcdDevice, the "VersionNumber" of the HID attributes
    QString productString;
    int interfaceNumber = -1;
    int collectionIndex = 0;   // which top-level collection of the node this entry is
    HidCollectionCaps caps;    // caps.usagePage / caps.usage name the collection
};

namespace Hid {
// The shortest report the host can send or ask for: the ID byte and one
// more. hidraw refuses shorter ones before they reach the device, so every
// backend does.
constexpr std::size_t kMinReportLength = 2;
} // namespace Hid

// An open HID device. Report buffers start with the report ID byte (0 when
// the device uses no report IDs). Each call returns the number of bytes
// transferred, 0 on a read time-out, or -1 on failure; a write, feature or
// input-report request shorter than Hid::kMinReportLength fails.
class HidDevice
{
public:
    virtual ~HidDevice() = default;
    // Sends an output report (interrupt or control pipe, as the device takes it).
    virtual int write(const std::uint8_t *data, std::size_t length) = 0;
    // Waits up to timeoutMs (-1: for ever) for the next input report.
    virtual int read(std::uint8_t *data, std::size_t length, int timeoutMs) = 0;
    // Asks the device for the input report whose ID is in data[0].
    virtual int getInputReport(std::uint8_t *data, std::size_t length) = 0;
    virtual int sendFeatureReport(const std::uint8_t *data, std::size_t length) = 0;
    // Asks for the feature report whose ID is in data[0].
    virtual int getFeatureReport(std::uint8_t *data, std::size_t length) = 0;
    virtual void close() = 0;
};

// A source of HID devices: the real bus, the emulator, or both together.
class HidBackend
{
public:
    virtual ~HidBackend() = default;
    // Every top-level collection of every present device.
    virtual QVector<HidDeviceInfo> enumerate() = 0;
    // Opens the device an entry of enumerate() names; null when it is gone or refuses.
    virtual std::unique_ptr<HidDevice> open(const HidDeviceInfo &info) = 0;
};

namespace Hid {

// The backend the device code talks to. Null until the program or a test
// sets one; the backend is not owned.
HidBackend *backend();
void setBackend(HidBackend *backend);

// Why the last failed open on this thread failed: the system's own words
// (hidapi's error text) and whether it was a missing permission on the
// device node (the udev rule not installed). Backends set it when an open
// fails and clear it when one is tried.
struct OpenFailure
{
    QString text;
    bool permission = false;
};
void setLastOpenFailure(const OpenFailure &failure);
OpenFailure lastOpenFailure();

} // namespace Hid
