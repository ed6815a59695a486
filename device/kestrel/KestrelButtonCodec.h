#pragma once
// The first family's button words and what the pages call them. A word is
// four bytes: byte 0 the type (0 key, 2 key with modifiers, 3 mouse button,
// 4 consumer key, 5 macro, 7 disabled, 8 CPI function, 9 type-9 function),
// bytes 1..3 its arguments. Pure functions, no device.
#include "device/DeviceTypes.h"

#include <functional>

namespace KestrelButtonCodec {

// The word a page assignment becomes. `factoryWord` is what restoring the
// button (changeType 32) writes. False, with *word untouched, for a key the
// key table does not know, a key without a key or modifier, a modifier code
// with no device form, or a changeType a button cannot take.
bool encode(int changeType, uint vkCode, int modifyKey, DWORD factoryWord, DWORD *word);

// What the pages are told a word does: changeType, value and modifier of
// *out (its button is left as it is). `rapidFireSet` answers whether the
// left button's rapid-fire bytes are set; it is asked only for a left-click
// word. False, with *out untouched, for a word of a type the pages do not show.
bool decode(DWORD word, const std::function<bool()> &rapidFireSet, ButtonAssignment *out);

} // namespace KestrelButtonCodec
