#pragma once
#include "model/ProductTable.h"
#include "device/ReceiverChannel.h"
#include "device/USBDriverManger.h"

#include <QSet>
#include <QString>
#include <memory>

// What the bridge opens a mouse with: the family's manager, which owns its
// driver, and for a mouse reached through its receiver the receiver's
// channel, which works through that driver and must go before the manager.
struct FamilyParts
{
    std::unique_ptr<USBDriverManger> manager;
    std::unique_ptr<ReceiverChannel> receiver; // null by cable or without a receiver
};

// One open request: the product found on the bus, whether it was found by
// its receiver identity, and the path filters of its two identities.
struct FamilyRequest
{
    const ProductInfo *product = nullptr;
    bool viaReceiver = false;
    QString wiredFilter;
    QString receiverFilter;
};

// Builds a family's parts; an empty manager when they cannot be made.
using FamilyMaker = FamilyParts (*)(const FamilyRequest &request);

// What a stored configuration of the family holds: its profile record, its
// macro slots and their form (the first family's 3-byte events with a size
// header, or the others' 16-bit steps).
struct ProfileShape
{
    int recordSize;
    int macroSlots;
    bool korvanMacros;
};

// Whether a profile record from outside (an imported file) holds only
// values the family's mice take, under the rules the pages and harrierctl
// keep: a left click stays on some button, and a button that plays a macro
// has one in its slot (filledMacros: the file's macro slots that hold
// events). False with the first offending value named.
using ProfileCheck = bool (*)(int mouseType, const QByteArray &record, const QSet<int> &filledMacros, QString *why);

// One row per protocol family the program can open. Adding a family is a
// row here (its maker and check live in the family's folder) and that folder.
struct FamilyEntry
{
    Family family;
    FamilyMaker make;
    ProfileShape profile;
    ProfileCheck checkProfile;
};

namespace Families {

// Every row, in table order.
const FamilyEntry *begin();
const FamilyEntry *end();
// The row of a family; null when the program cannot open it yet.
const FamilyEntry *find(Family family);

} // namespace Families
