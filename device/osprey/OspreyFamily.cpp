// The second family's row of the family table: a USBDriver_Osprey handed to
// its UsbDriverManger_Osprey. These mice are wired only, so there is never a
// receiver channel.
#include "device/FamilyTable.h"
#include "device/osprey/USBDriver_Osprey.h"
#include "device/osprey/UsbDriverManger_Osprey.h"

namespace OspreyFamily {

FamilyParts makeParts(const FamilyRequest &)
{
    auto manager = std::make_unique<UsbDriverManger_Osprey>();
    manager->SetDriver(new USBDriver_Osprey); // the manager owns the driver from here on
    FamilyParts parts;
    parts.manager = std::move(manager);
    return parts;
}

} // namespace OspreyFamily
