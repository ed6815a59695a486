#pragma once
// The family-table rows of the wired families that speak the second
// family's protocol: a driver handed to its manager, never a receiver channel.
#include "device/FamilyTable.h"

#include <memory>

template <typename Manager, typename Driver>
FamilyParts makeWiredParts()
{
    auto manager = std::make_unique<Manager>();
    manager->SetDriver(new Driver); // the manager owns the driver from here on
    FamilyParts parts;
    parts.manager = std::move(manager);
    return parts;
}
