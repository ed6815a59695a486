#pragma once
#include "platform/hid/HidBackend.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

// One emulated HID device node as the bus shows it: an identity, a real
// report descriptor, and handlers for the reports the host sends and asks
// for. Handlers run on whatever thread talks to the device; the backend
// serialises calls into one device, so a device needs no lock of its own
// for state only its handlers touch. A handler returns the bytes it took or
// gave, or -1 to fail the transfer, as the hardware would. The identity and
// the descriptor are read without that lock and must not change while the
// device is plugged (a mouse that changes identity is unplugged and another
// device plugged, as on a real bus).
class EmulatedDevice
{
public:
    virtual ~EmulatedDevice() = default;

    virtual quint16 vendorId() const = 0;
    virtual quint16 productId() const = 0;
    virtual quint16 releaseNumber() const { return 0x0100; }
    virtual QString productString() const { return QString(); }
    virtual int interfaceNumber() const { return 0; }
    virtual QByteArray reportDescriptor() const = 0;

    // An output report from the host (data[0] is the report ID).
    virtual int onWrite(const std::uint8_t *, std::size_t) { return -1; }
    // The next interrupt-in report; 0 when none arrived within timeoutMs.
    virtual int onRead(std::uint8_t *, std::size_t, int) { return 0; }
    // A requested input report (data[0] holds the report ID asked for).
    virtual int onGetInputReport(std::uint8_t *, std::size_t) { return -1; }
    virtual int onSetFeature(const std::uint8_t *, std::size_t) { return -1; }
    // A requested feature report (data[0] holds the report ID asked for).
    virtual int onGetFeature(std::uint8_t *, std::size_t) { return -1; }
};

namespace EmulatedHid {

// The ordinary mouse collection every emulated mouse carries before its
// vendor collections: input report 1, five buttons, 16-bit X and Y, a wheel.
QByteArray mouseCollection();

} // namespace EmulatedHid
