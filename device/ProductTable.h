#pragma once
#include "platform/WinTypes.h"

#include <QString>

// The vendor's products: one row per mouse, with its wired and (first family)
// receiver identity. Every per-model rule keys on the model code.

enum class Family { None, First, Second, Third };

struct ProductInfo
{
    const char *name;        // lower-case model name, used in folders and files
    int mouseType;           // the model code
    Family family;
    USHORT wiredPid;
    USHORT receiverPid;      // 0: no receiver
    const char *wiredFilter; // path filters, as the first family matches them
    const char *receiverFilter;
};

namespace Products {

constexpr USHORT kVendorId = 0x3A5E;
// Boot-loader identities of a mouse waiting for a firmware image.
constexpr USHORT kFirstFamilyBootPid = 0x3000;
constexpr USHORT kOtherFamilyBootVid = 0x0603;
constexpr USHORT kOtherFamilyBootPid = 0x1022;

// Every product, in table order.
const ProductInfo *begin();
const ProductInfo *end();

// The product with this wired or receiver PID; null when unknown.
const ProductInfo *byPid(USHORT pid);
// The product with this model code; null when unknown.
const ProductInfo *byType(int mouseType);
// The product with this lower-case model name; null when unknown.
const ProductInfo *byName(const QString &name);
// True when pid is a first-family receiver identity.
bool isReceiverPid(USHORT pid);

// The model name of a type as file paths and logs use it ("osprey" for unknown types).
QString modelName(int mouseType);

} // namespace Products

// The model code of the open device, shared by the whole process. Set on the
// bridge's worker thread when a device is opened; pages read it after the
// open result has reached them.
namespace MouseType {
int current();
void setCurrent(int mouseType);
} // namespace MouseType
