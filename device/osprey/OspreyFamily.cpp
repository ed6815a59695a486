// The second family's row of the family table.
#include "device/osprey/OspreyFamily.h"
#include "device/osprey/USBDriver_Osprey.h"
#include "device/osprey/UsbDriverManger_Osprey.h"

namespace OspreyFamily {

FamilyParts makeParts(const FamilyRequest &)
{
    return makeWiredParts<UsbDriverManger_Osprey, USBDriver_Osprey>();
}

} // namespace OspreyFamily
