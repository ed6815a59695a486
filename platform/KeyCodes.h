#pragma once
#include <QString>
#include <QtGlobal>

// Keys as the mice and the macro files count them: Windows virtual-key codes.
//
// A key event reports a Qt key, its modifiers and the native scan code, which
// on Linux (X11 and XWayland) is the X11 keycode, the evdev code plus 8. The
// key's position decides wherever a position is known: letters, digits and
// the punctuation keys take the code of the key at the same place on a US
// board, as the device tables do. The mouse plays a macro back as HID key
// usages, which are positions too, so a key recorded on any layout comes
// back as the same key on that layout. Without a native code (synthesized
// events, platforms without X11 keycodes) the Qt key decides, read as a US
// layout: Shift+1 ("!") is still the 1 key.
namespace KeyCodes {

// Left and right modifier keys, as the recorder stores them.
enum VirtualKey {
    VkShift = 16,
    VkControl = 17,
    VkMenu = 18,
    VkLWin = 91,
    VkRWin = 92,
    VkLShift = 160,
    VkRShift = 161,
    VkLControl = 162,
    VkRControl = 163,
    VkLMenu = 164,
    VkRMenu = 165,
};

// The virtual-key code of a key event; 0 when the key has none. Modifier keys
// give their left or right code when the scan code tells them apart, the
// plain code (16, 17, 18, 91) otherwise.
int virtualKey(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode);

// The plain code of a left or right modifier key (162 -> 17); other codes unchanged.
int genericModifier(int virtualKeyCode);

// The name the key dialog and the macro list show for a code; empty when it has none.
QString keyName(int virtualKeyCode);

} // namespace KeyCodes
