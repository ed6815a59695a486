#include "device/fwupdate/FirmwareTransfer.h"
#include "device/fwupdate/FwUpdate.h"

namespace FirmwareTransfers {

FirmwareTransferMaker shipped()
{
    return [] { return std::make_unique<FwUpdate>(); };
}

} // namespace FirmwareTransfers
