#include "device/FamilyTable.h"

#include <iterator>

// Each family's maker, defined in the family's folder.
namespace KestrelFamily {
FamilyParts makeParts(const FamilyRequest &request);
}

namespace {

const FamilyEntry kFamilies[] = {
    {Family::First, &KestrelFamily::makeParts},
};

} // namespace

namespace Families {

const FamilyEntry *begin() { return std::begin(kFamilies); }
const FamilyEntry *end() { return std::end(kFamilies); }

const FamilyEntry *find(Family family)
{
    for (const FamilyEntry &entry : kFamilies)
        if (entry.family == family)
            return &entry;
    return nullptr;
}

} // namespace Families
