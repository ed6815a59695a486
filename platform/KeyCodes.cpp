#include "platform/KeyCodes.h"

#include <cstddef>
#include <utility>

namespace KeyCodes {
namespace {

struct CodePair
{
    int from;
    int to;
};

// X11 keycode -> virtual-key code, by the key's place on a US board.
constexpr CodePair kPositionKeys[] = {
    // modifiers, left and right
    {37, VkLControl},
    {105, VkRControl},
    {50, VkLShift},
    {62, VkRShift},
    {64, VkLMenu},
    {108, VkRMenu},
    {133, VkLWin},
    {134, VkRWin},
    // digit row
    {10, '1'},
    {11, '2'},
    {12, '3'},
    {13, '4'},
    {14, '5'},
    {15, '6'},
    {16, '7'},
    {17, '8'},
    {18, '9'},
    {19, '0'},
    {20, 189},
    {21, 187},
    {49, 192},
    // top letter row
    {24, 'Q'},
    {25, 'W'},
    {26, 'E'},
    {27, 'R'},
    {28, 'T'},
    {29, 'Y'},
    {30, 'U'},
    {31, 'I'},
    {32, 'O'},
    {33, 'P'},
    {34, 219},
    {35, 221},
    {51, 220},
    // home row
    {38, 'A'},
    {39, 'S'},
    {40, 'D'},
    {41, 'F'},
    {42, 'G'},
    {43, 'H'},
    {44, 'J'},
    {45, 'K'},
    {46, 'L'},
    {47, 186},
    {48, 222},
    // bottom row; 94 is the extra key of ISO boards
    {52, 'Z'},
    {53, 'X'},
    {54, 'C'},
    {55, 'V'},
    {56, 'B'},
    {57, 'N'},
    {58, 'M'},
    {59, 188},
    {60, 190},
    {61, 191},
    {94, 226},
    // keypad, whatever the Num Lock state
    {90, 96},
    {87, 97},
    {88, 98},
    {89, 99},
    {83, 100},
    {84, 101},
    {85, 102},
    {79, 103},
    {80, 104},
    {81, 105},
    {63, 106},
    {86, 107},
    {82, 109},
    {91, 110},
    {106, 111},
    {104, 13},
};

// Qt keys that carry no position: function, navigation, lock and media keys,
// and the plain modifiers when no keycode tells left from right.
constexpr CodePair kQtKeys[] = {
    {Qt::Key_Backspace, 8},
    {Qt::Key_Tab, 9},
    {Qt::Key_Backtab, 9},
    {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},
    {Qt::Key_Shift, VkShift},
    {Qt::Key_Control, VkControl},
    {Qt::Key_Alt, VkMenu},
    {Qt::Key_AltGr, VkRMenu},
    {Qt::Key_Meta, VkLWin},
    {Qt::Key_Super_L, VkLWin},
    {Qt::Key_Super_R, VkRWin},
    {Qt::Key_Menu, 93},
    {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},
    {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},
    {Qt::Key_Print, 44},
    {Qt::Key_SysReq, 44},
    {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},
    {Qt::Key_NumLock, 144},
    {Qt::Key_ScrollLock, 145},
    {Qt::Key_Sleep, 95},
    // browser and media keys
    {Qt::Key_Back, 166},
    {Qt::Key_Forward, 167},
    {Qt::Key_Refresh, 168},
    {Qt::Key_Stop, 169},
    {Qt::Key_Search, 170},
    {Qt::Key_Favorites, 171},
    {Qt::Key_HomePage, 172},
    {Qt::Key_VolumeMute, 173},
    {Qt::Key_VolumeDown, 174},
    {Qt::Key_VolumeUp, 175},
    {Qt::Key_MediaNext, 176},
    {Qt::Key_MediaPrevious, 177},
    {Qt::Key_MediaStop, 178},
    {Qt::Key_MediaPlay, 179},
    {Qt::Key_MediaTogglePlayPause, 179},
    {Qt::Key_MediaPause, 179},
    {Qt::Key_LaunchMail, 180},
    {Qt::Key_LaunchMedia, 181},
    {Qt::Key_Launch0, 182},
    {Qt::Key_Launch1, 183},
    // US punctuation, plain and shifted
    {Qt::Key_Semicolon, 186},
    {Qt::Key_Colon, 186},
    {Qt::Key_Equal, 187},
    {Qt::Key_Plus, 187},
    {Qt::Key_Comma, 188},
    {Qt::Key_Less, 188},
    {Qt::Key_Minus, 189},
    {Qt::Key_Underscore, 189},
    {Qt::Key_Period, 190},
    {Qt::Key_Greater, 190},
    {Qt::Key_Slash, 191},
    {Qt::Key_Question, 191},
    {Qt::Key_QuoteLeft, 192},
    {Qt::Key_AsciiTilde, 192},
    {Qt::Key_BracketLeft, 219},
    {Qt::Key_BraceLeft, 219},
    {Qt::Key_Backslash, 220},
    {Qt::Key_Bar, 220},
    {Qt::Key_BracketRight, 221},
    {Qt::Key_BraceRight, 221},
};

// Shifted digits of a US board: ")!@#$%^&*(" sit on 0..9.
constexpr CodePair kShiftedDigits[] = {
    {Qt::Key_ParenRight, '0'}, {Qt::Key_Exclam, '1'},    {Qt::Key_At, '2'},          {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},     {Qt::Key_Percent, '5'},   {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},   {Qt::Key_ParenLeft, '9'},
};

// Keypad keys reported with the keypad modifier and no keycode.
constexpr CodePair kKeypadKeys[] = {
    {Qt::Key_0, 96},      {Qt::Key_1, 97},       {Qt::Key_2, 98},         {Qt::Key_3, 99},
    {Qt::Key_4, 100},     {Qt::Key_5, 101},      {Qt::Key_6, 102},        {Qt::Key_7, 103},
    {Qt::Key_8, 104},     {Qt::Key_9, 105},      {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107},
    {Qt::Key_Minus, 109}, {Qt::Key_Period, 110}, {Qt::Key_Comma, 110},    {Qt::Key_Slash, 111},
};

template <std::size_t N>
int lookUp(const CodePair (&table)[N], int from)
{
    for (const CodePair &pair : table)
        if (pair.from == from)
            return pair.to;
    return 0;
}

// Names the key dialog shows, in the order the dialog's table gives them.
const std::pair<int, const char *> kNames[] = {
    {27, "ESCAPE"},
    {9, "TAB"},
    {20, "CAPITAL"},
    {13, "Enter"},
    {8, "BACK"},
    {32, "SPACE"},
    {186, ";:"},
    {187, "+"},
    {188, ","},
    {189, "-"},
    {190, "."},
    {191, "/?"},
    {192, "`~"},
    {219, "[{"},
    {220, "|"},
    {221, "]}"},
    {222, "'\""},
    {44, "PrintScreen"},
    {145, "Scroll Lock"},
    {19, "Pause Break"},
    {45, "INSERT"},
    {36, "HOME"},
    {33, "PageUp"},
    {46, "DELETE"},
    {35, "END"},
    {34, "PageDown"},
    {38, "\u2191"},
    {40, "\u2193"},
    {37, "\u2190"},
    {39, "\u2192"},
    {96, "NUMPAD0"},
    {107, "ADD"},
    {109, "SUB"},
    {106, "*"},
    {111, "/"},
    {144, "NumLock"},
    {110, "Del"},
    {162, "Ctrl"},
    {160, "Shfit"},
    {164, "Alt"},
    {91, "Win"},
    // not in the dialog's own list, but recorded by the macro page
    {163, "Ctrl"},
    {161, "Shfit"},
    {165, "Alt"},
};

} // namespace

int virtualKey(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode)
{
    if (nativeScanCode != 0) {
        if (const int code = lookUp(kPositionKeys, static_cast<int>(nativeScanCode)))
            return code;
    }
    if (modifiers & Qt::KeypadModifier) {
        if (const int code = lookUp(kKeypadKeys, qtKey))
            return code;
    }
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey; // Qt and Windows both count them as upper-case ASCII
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    if (qtKey == Qt::Key_Apostrophe || qtKey == Qt::Key_QuoteDbl)
        return 222;
    if (const int code = lookUp(kQtKeys, qtKey))
        return code;
    return lookUp(kShiftedDigits, qtKey);
}

int genericModifier(int virtualKeyCode)
{
    switch (virtualKeyCode) {
    case VkLShift:
    case VkRShift:
        return VkShift;
    case VkLControl:
    case VkRControl:
        return VkControl;
    case VkLMenu:
    case VkRMenu:
        return VkMenu;
    default:
        return virtualKeyCode;
    }
}

QString keyName(int virtualKeyCode)
{
    if ((virtualKeyCode >= 'A' && virtualKeyCode <= 'Z') || (virtualKeyCode >= '0' && virtualKeyCode <= '9'))
        return QString(QChar(virtualKeyCode));
    if (virtualKeyCode >= 112 && virtualKeyCode <= 123)
        return QStringLiteral("F%1").arg(virtualKeyCode - 111);
    if (virtualKeyCode >= 97 && virtualKeyCode <= 105)
        return QStringLiteral("NUMPAD%1").arg(virtualKeyCode - 96);
    for (const auto &entry : kNames)
        if (entry.first == virtualKeyCode)
            return QString::fromUtf8(entry.second);
    return QString();
}

} // namespace KeyCodes
