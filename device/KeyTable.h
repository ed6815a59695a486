#pragma once
// HID keyboard usages against Windows virtual-key codes, as the vendor's
// firmwares and macro files count keys. Every family shares the same first
// 99 pairs and adds a few of its own after them; a lookup searches the shared
// pairs first, then the family's, and the first match wins.
#include "platform/WinTypes.h"

#include <cstddef>

namespace KeyTable {

struct KeyPair
{
    BYTE usage; // HID keyboard usage (device side)
    BYTE key;   // Windows virtual-key code (host side)
};

constexpr std::size_t kSharedPairs = 99;

// The usage of a virtual key, and the key of a usage; 0 when neither the
// shared pairs nor the family's `own` pairs hold it.
int usageOfKey(const KeyPair *own, std::size_t ownCount, int virtualKey);
int keyOfUsage(const KeyPair *own, std::size_t ownCount, int usage);

} // namespace KeyTable
