#pragma once
// The first family's macros: from the macro file's events to the mouse's
// macro image. Pure functions, no device.
#include "platform/WinTypes.h"
#include "store/MacroNode.h"

#include <QList>
#include <QVector>

// A macro between the file and the mouse: the 16-bit header value (repeat
// count, or 0xFFFE toggle, 0xFFFF hold) and a list of events, each with its
// kind in the top byte and its value in the low 24 bits.
struct KestrelMacro
{
    WORD header = 0;
    QVector<DWORD> events;
};

namespace KestrelMacroCodec {

// Event kinds (top byte of an event).
constexpr DWORD kKeyPress = 0xC0;
constexpr DWORD kKeyRelease = 0xE0;
constexpr DWORD kDelay = 0xA0;
constexpr DWORD kPointerMove = 0x40;

constexpr int kImageSize = 4096; // one macro slot
constexpr int kMaxEvents = 1363; // (4096 - 4) / 3

// The macro a file's events make, by the file's macro type (2 toggle: no
// delays, 4 hold) and repeat count. Key events become a press or release
// and a delay, pointer moves a move and a delay; leading delays are dropped.
KestrelMacro fromNodes(const QList<MacroNode> &nodes, int macroType, int repeatTimes);

// The mouse's image of a macro (4096 bytes, zeros after the events); the
// length written is 3 * events + 4. False for an unknown key, an unknown
// event kind or more than 1363 events.
bool toDeviceImage(const KestrelMacro &macro, BYTE *image4096, int *length);

// A stored length covers the 4-byte header and whole 3-byte events.
bool isWholeLength(int length);

} // namespace KestrelMacroCodec
