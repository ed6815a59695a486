#pragma once
// Our HidParse component: finds a HID collection by a path filter and opens
// it, on top of Hid::backend(). The first-family driver and the firmware
// updater use it. A path filter such as "VID_3A5E&PID_180a" is matched,
// case-insensitively, against each collection's identity text
// ("VID_3A5E&PID_180A", built from its vendor and product IDs) and against
// its path, so it finds hidraw nodes and emulated devices alike.
#include "platform/WinTypes.h"
#include "platform/hid/HidBackend.h"

#include <QString>

// An open collection. Opaque to callers; 0 (null) means "not open".
struct HidParseDevice;
typedef HidParseDevice *HidParseHandle;

// True when there is a HID backend to work with (the component is "loaded").
bool LoadHidParse();

// Opens the first collection whose identity or path contains pathFilter and
// whose usage page and usage are the given ones (0, 0 accept any collection).
// The last two arguments are kept for the call sites and must be 0. Returns
// null when nothing matched or the device refused to open.
HidParseHandle OpenHidDevice(USHORT usagePage, USHORT usage, const QString &pathFilter, int reserved1,
                             int reserved2);

// The same, taking only a collection that carries report reportId with
// input and output reports of exactly reportLength bytes (the ID included):
// other devices of the same IDs (a touchscreen's vendor collection on an
// extra node) can share the usage, never the mouse's report layout.
HidParseHandle OpenHidDeviceWithReport(USHORT usagePage, USHORT usage, const QString &pathFilter, quint8 reportId,
                                       int reportLength);

// Reads one input report into buffer (buffer[0] holds the report ID asked
// for). Returns the number of bytes the device gave (at most length), 0 on
// failure.
int GetInputReport(HidParseHandle handle, BYTE *buffer, int length);

// Writes one output report (buffer[0] is the report ID). Returns true when
// the whole report was taken.
bool WriteHidReport(HidParseHandle handle, const BYTE *buffer, int length);

// Waits up to timeoutMs for the next interrupt-in report. Returns the number
// of bytes read, 0 on time-out, -1 on failure.
int ReadHidReport(HidParseHandle handle, BYTE *buffer, int length, int timeoutMs);

// Closes and frees a handle; null is accepted.
void CloseHidDevice(HidParseHandle handle);

// True when a collection whose identity or path contains pathFilter is present.
bool FindHidDevice(const QString &pathFilter);

namespace HidParse {
// Whether one enumerated collection matches a path filter; exposed for tests.
bool matchesFilter(const HidDeviceInfo &info, const QString &pathFilter);
} // namespace HidParse
