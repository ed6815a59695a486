#pragma once
#include "platform/hid/HidBackend.h"

namespace Hid {

// The operating system's HID bus (hidapi on hidraw on Linux), created on
// first use and kept for the life of the process.
HidBackend *systemBackend();

} // namespace Hid
