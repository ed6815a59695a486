#include "device/kestrel/KestrelMacroCodec.h"

#include "device/kestrel/USBDriverKestrel.h"

#include <QDebug>
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace KestrelMacroCodec {

namespace {

// Macro header values of the two play-while modes.
constexpr int kMacroModeToggle = 2;
constexpr int kMacroModeHold = 4;
constexpr WORD kHeaderToggle = 0xFFFE;
constexpr WORD kHeaderHold = 0xFFFF;
// Event types of the macro file.
constexpr int kNodeKey = 3;
constexpr int kNodeCoordinate = 6;
// A delay fills bits 1..15 of an event word.
constexpr int kMaxEventDelay = 0x7FFF;
// A pointer move carries 11 bits of magnitude per axis.
constexpr int kMaxMoveMagnitude = 0x7FF;
// Macro code of a pointer-move head event.
constexpr BYTE kMoveCode = 0xF7;

DWORD signMagnitude(int value, int shift)
{
    const DWORD magnitude = DWORD(std::min(std::abs(value), kMaxMoveMagnitude));
    const DWORD sign = value < 0 ? 0x800u : 0u;
    return (magnitude | sign) << shift;
}

} // namespace

KestrelMacro fromNodes(const QList<MacroNode> &nodes, int macroType, int repeatTimes)
{
    KestrelMacro macro;
    if (macroType == kMacroModeToggle)
        macro.header = kHeaderToggle;
    else if (macroType == kMacroModeHold)
        macro.header = kHeaderHold;
    else // a repeat count must not read as one of the two modes
        macro.header = WORD(std::clamp(repeatTimes, 0, int(kHeaderToggle) - 1));

    const bool keepDelays = macroType != kMacroModeToggle;
    auto delayEvent = [keepDelays](int delay) {
        const int kept = keepDelays ? std::clamp(delay, 0, kMaxEventDelay) : 0;
        return kDelay << 24 | DWORD(kept);
    };
    QVector<DWORD> events;
    for (const MacroNode &node : nodes) {
        if (node.valueType == kNodeKey && (node.state == 0 || node.state == 1)) {
            const DWORD kind = node.state == 0 ? kKeyPress : kKeyRelease;
            events.append(kind << 24 | (DWORD(node.keyValue) & 0xFFFFFF));
            events.append(delayEvent(node.timeLapse));
        } else if (node.valueType == kNodeCoordinate) {
            qDebug() << "SpecialCoordinate" << node.coordinateX << node.coordinateY;
            events.append(kPointerMove << 24 | signMagnitude(node.coordinateX, 0) | signMagnitude(node.coordinateY, 12));
            qDebug() << "SpecialCoordinateDelayTime" << node.timeLapse;
            events.append(delayEvent(node.timeLapse));
        }
    }
    // A delay before the first event has nothing to wait after.
    int firstEvent = 0;
    while (firstEvent < events.size() && events[firstEvent] >> 24 == kDelay)
        ++firstEvent;
    macro.events = events.mid(firstEvent);
    qDebug() << "node len:" << nodes.size();
    qDebug() << "pMacro number:" << macro.events.size();
    return macro;
}

bool toDeviceImage(const KestrelMacro &macro, BYTE *image, int *length)
{
    if (!image)
        return false;
    std::memset(image, 0, kImageSize);
    image[2] = BYTE(macro.header);
    image[3] = BYTE(macro.header >> 8);
    int n = 0;
    // Index of the head of the last pointer move, when the move is the last thing added.
    int moveHead = -1;
    auto event = [image](int i) { return image + 4 + 3 * i; };
    for (DWORD e : macro.events) {
        const DWORD kind = (e >> 24) & 0xFF;
        const DWORD value = e & 0xFFFFFF;
        qDebug("%x", quint32(kind));
        if (kind == kKeyPress || kind == kKeyRelease) {
            const int usage = value <= 0xFF ? USBDriverKestrel::KeyToUsage(int(value)) : 0;
            if (usage == 0 || n + 1 > kMaxEvents)
                return false;
            BYTE *ev = event(n++);
            ev[0] = kind == kKeyPress ? 1 : 0;
            ev[1] = 0;
            ev[2] = BYTE(usage);
            moveHead = -1;
        } else if (kind == kDelay) {
            // A delay belongs to the event before it; after a pointer move, to the move's head.
            if (n == 0)
                continue;
            const WORD delay = WORD((value & 0xFFFF) * 2);
            BYTE *ev = event(moveHead >= 0 ? moveHead : n - 1);
            WORD w = WORD(ev[0] | (ev[1] << 8));
            if (moveHead >= 0)
                w = WORD(w | (delay & 0xFFFE));
            else
                w = WORD((w & 1) | (delay & 0xFFFE));
            ev[0] = BYTE(w);
            ev[1] = BYTE(w >> 8);
        } else if (kind == kPointerMove) {
            if (n + 2 > kMaxEvents)
                return false;
            int x = int(value & 0x7FF);
            if (value & 0x800)
                x = -x;
            int y = int((value >> 12) & 0x7FF);
            if (value & 0x800000)
                y = -y;
            y = -y; // the device counts up where the screen counts down
            const unsigned ux = unsigned(x) & 0xFFF;
            const unsigned uy = unsigned(y) & 0xFFF;
            moveHead = n;
            BYTE *head = event(n++);
            head[0] = 0;
            head[1] = 0;
            head[2] = kMoveCode;
            BYTE *move = event(n++);
            move[0] = BYTE(((ux >> 8) << 4) | (uy >> 8));
            move[1] = BYTE(ux);
            move[2] = BYTE(uy);
        } else {
            return false;
        }
    }
    const int total = 3 * n + 4;
    image[0] = BYTE(total);
    image[1] = BYTE(total >> 8);
    if (length)
        *length = total;
    return true;
}

bool isWholeLength(int length)
{
    return length >= 4 && length <= kImageSize && (length - 4) % 3 == 0;
}

} // namespace KestrelMacroCodec
