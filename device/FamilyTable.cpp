#include "device/FamilyTable.h"

#include <iterator>

// Each family's maker and profile check, defined in the family's folder.
namespace KestrelFamily {
FamilyParts makeParts(const FamilyRequest &request);
bool checkProfile(int mouseType, const QByteArray &record, const QSet<int> &filledMacros, QString *why);
}
namespace OspreyFamily {
FamilyParts makeParts(const FamilyRequest &request);
bool checkProfile(int mouseType, const QByteArray &record, const QSet<int> &filledMacros, QString *why);
}
namespace WrenFamily {
FamilyParts makeParts(const FamilyRequest &request);
}

namespace {

// Record sizes and macro slots as the profile files hold them: 128 bytes and
// fourteen slots for the first family, 234 bytes and sixteen for the others.
const FamilyEntry kFamilies[] = {
    {Family::First, &KestrelFamily::makeParts, {128, 14, true}, &KestrelFamily::checkProfile},
    {Family::Second, &OspreyFamily::makeParts, {234, 16, false}, &OspreyFamily::checkProfile},
    {Family::Third, &WrenFamily::makeParts, {234, 16, false}, &OspreyFamily::checkProfile},
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
