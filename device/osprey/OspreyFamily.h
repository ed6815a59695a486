#pragma once
// The family-table rows of the wired families that speak the second
// family's protocol: a driver handed to its manager, never a receiver channel.
#include "device/FamilyTable.h"

#include <memory>

// The manager is made for the request's model and hands it to its driver.
template <typename Manager, typename Driver>
FamilyParts makeWiredParts(const FamilyRequest &request)
{
    auto manager = std::make_unique<Manager>();
    if (request.product)
        manager->SetMousePid(request.product->wiredPid, Products::kVendorId);
    manager->SetDriver(new Driver); // the manager owns the driver from here on
    FamilyParts parts;
    parts.manager = std::move(manager);
    return parts;
}
