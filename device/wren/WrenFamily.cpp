// The third family's row of the family table: a USBDriver_Wren handed to its
// UsbDriverManger_Wren; wired only.
#include "device/FamilyTable.h"
#include "device/wren/USBDriver_Wren.h"
#include "device/wren/UsbDriverManger_Wren.h"

namespace WrenFamily {

FamilyParts makeParts(const FamilyRequest &)
{
    auto manager = std::make_unique<UsbDriverManger_Wren>();
    manager->SetDriver(new USBDriver_Wren); // the manager owns the driver from here on
    FamilyParts parts;
    parts.manager = std::move(manager);
    return parts;
}

} // namespace WrenFamily
