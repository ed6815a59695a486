// The third family's row of the family table.
#include "device/osprey/OspreyFamily.h"
#include "device/wren/USBDriver_Wren.h"
#include "device/wren/UsbDriverManger_Wren.h"

namespace WrenFamily {

FamilyParts makeParts(const FamilyRequest &request)
{
    return makeWiredParts<UsbDriverManger_Wren, USBDriver_Wren>(request);
}

} // namespace WrenFamily
