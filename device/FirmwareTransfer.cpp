#include "device/FirmwareTransfer.h"

namespace {
// Set once at start-up (or by a test) before any update is requested.
FirmwareTransfers::Factory &factory()
{
    static FirmwareTransfers::Factory f;
    return f;
}
} // namespace

namespace FirmwareTransfers {

void setFactory(Factory f) { factory() = std::move(f); }

std::unique_ptr<FirmwareTransfer> create()
{
    return factory() ? factory()() : nullptr;
}

} // namespace FirmwareTransfers
