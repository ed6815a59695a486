// The first family's row of the family table: a USBDriverKestrel opened by
// cable or through the receiver, handed to its UsbDriverMangerKestrel, and
// the receiver's channel when the mouse was found by its receiver.
#include "device/FamilyTable.h"
#include "device/kestrel/KestrelReceiver.h"
#include "device/kestrel/USBDriverKestrel.h"
#include "device/kestrel/UsbDriverMangerKestrel.h"

namespace KestrelFamily {

FamilyParts makeParts(const FamilyRequest &request)
{
    auto *driver = new USBDriverKestrel;
    driver->SetWiredWirelessString(request.wiredFilter, request.receiverFilter);
    driver->SetMode(request.viaReceiver ? 1 : 0);
    auto manager = std::make_unique<UsbDriverMangerKestrel>();
    manager->SetDriver(driver); // the manager owns the driver from here on
    FamilyParts parts;
    if (request.viaReceiver)
        parts.receiver = std::make_unique<KestrelReceiverChannel>(driver);
    parts.manager = std::move(manager);
    return parts;
}

} // namespace KestrelFamily
