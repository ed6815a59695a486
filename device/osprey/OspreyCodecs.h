#pragma once
// The second family's profile layout and the pure conversions between what
// the pages show and what the mouse stores: CPI codes, light modes, screen
// behaviours, button words, macro steps and the screen picture. Everything
// here is data plus one lookup each, testable without a device.
#include "platform/WinTypes.h"
#include "store/MacroNode.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QMap>

namespace OspreyCodecs {

// ---- the profile record (476 bytes; 242..475 is the settings part the program edits)
constexpr int kProfileSize = 476;
constexpr int kSettingsAt = 242;
constexpr int kSettingsSize = 234;
constexpr int kReportRateAt = 242;    // index 0..3
constexpr int kSilentHeightAt = 243;
constexpr int kGearAt = 247;          // current CPI level
constexpr int kFireByteAt = 250;
constexpr int kByte251At = 251;
constexpr int kScreenModeAt = 253;
constexpr int kScreenBrightnessAt = 254;
constexpr int kMainModeAt = 256;
constexpr int kMainDegreeAt = 257;
constexpr int kWheelModeAt = 259;
constexpr int kWheelDegreeAt = 260;
constexpr int kMainColourAt = 262;    // red, green, blue; 265 and 267 cleared with it
constexpr int kMainSpeedAt = 268;
constexpr int kBreathFixAt = 271;     // 03 01 whenever light mode 3 is chosen
constexpr int kWheelColourAt = 281;   // red, green, blue; 284 and 286 cleared with it
constexpr int kWheelModeTwoAt = 286;  // cleared when light mode 2 is chosen
constexpr int kWheelSpeedAt = 287;
constexpr int kCpiXLowAt = 300;
constexpr int kCpiXHighAt = 308;
constexpr int kCpiYLowAt = 316;
constexpr int kCpiYHighAt = 324;
constexpr int kButtonsAt = 332;       // sixteen four-byte words
constexpr int kMirrorButtonsAt = 98;  // the fixed part's copy of the button table
constexpr int kButtonWords = 16;
constexpr int kCpiLevels = 7;
// Settings bytes a stored configuration is recognised by (242..252 are not compared).
constexpr int kCompareFrom = 253;

// ---- CPI
struct CpiCode
{
    BYTE low = 0;
    BYTE high = 0;
};
// Code -> CPI of the mice that count in table codes: table A (type 2),
// table B (types 4, 18, 19 and the third family).
QMap<uchar, int> cpiTableA();
QMap<uchar, int> cpiTableB();
// The code of a CPI in a table. A CPI the table has no code for takes the
// code of the nearest CPI that has one (the lower on a tie), so a level is
// never switched off by accident; 0 stays 0 (a switched-off level).
BYTE codeOfCpi(const QMap<uchar, int> &table, DWORD cpi);
// The CPI of a code; 0 for a code the table does not hold.
DWORD cpiOfCode(const QMap<uchar, int> &table, BYTE code);
// Types 3, 5, 6 count in steps of 50 CPI over both bytes.
CpiCode encodeFiftyCpi(DWORD cpi);
DWORD decodeFiftyCpi(BYTE low, BYTE high);
// Whether a type counts in steps of 50 rather than table codes.
bool countsInFifties(int mouseType);
// Whether a type of this family uses table B (else table A, unless it counts in fifties).
bool usesTableB(int mouseType);

// ---- lighting and screen
BYTE lightModeToDevice(int mode);   // UI modes 3 and 4 swap codes; others -> 0
int lightModeFromDevice(BYTE code); // unknown codes pass through
BYTE screenBehaviourToDevice(int behaviour);
int screenBehaviourFromDevice(BYTE code);

// ---- keys
// HID keyboard usage of a Windows virtual key, and back; 0 when the table has none.
int usageOfKey(int virtualKey);
int keyOfUsage(int usage);

// ---- button words: byte 0 kind, bytes 1..3 by kind
constexpr DWORD makeWord(BYTE kind, BYTE b1, BYTE b2, BYTE b3)
{
    return DWORD(kind) | DWORD(b1) << 8 | DWORD(b2) << 16 | DWORD(b3) << 24;
}
constexpr BYTE wordByte(DWORD word, int index) { return BYTE(word >> (8 * index)); }
constexpr BYTE kLeftButtonCode = 0xF0;
constexpr DWORD kMacroListWord = makeWord(0x11, 0x01, 0x00, 0x00);
constexpr DWORD kProfileLoopWord = makeWord(0x08, 0x00, 0x03, 0x00);
// A left click: byte 2 is F0.
constexpr bool isLeftWord(DWORD word) { return wordByte(word, 2) == kLeftButtonCode; }

constexpr int kFirstButton = 4;
constexpr int kLastButton = 17;
// The word a page button 4..17 lives in on this model; -1 when the model has
// no such button (9 and 10 exist on type 18 only).
int wordIndexOfButton(int mouseType, int button);
// The factory word a button is restored to.
DWORD defaultWordOfButton(int mouseType, int button);
// The constructor's button table: every word at its factory value for the type.
QByteArray defaultButtonTable(int mouseType);
// The macro slot address of a button (any other number is taken as the address itself).
uchar macroAddressOfButton(int button);

// The word a page assignment gives. `current` and `restore` are the button's
// present and factory words; an unknown changeType keeps `current`.
DWORD wordOfAssignment(int changeType, uint vkCode, int modifyKey, DWORD current, DWORD restore);
// What the page is told a word holds (sig_TrueMouseValue); false when the
// word is nothing the pages know.
struct Assignment
{
    int changeType = 0;
    int value = 0;
    int modifier = 0;
};
bool assignmentOfWord(DWORD word, Assignment *out);

// ---- macros
// The 16-bit steps of a macro file's events. `ignoreDelays`: every delay becomes 1 ms.
QList<USHORT> macroItems(const QList<MacroNode> &events, bool ignoreDelays);
// A 16-bit step as its two bytes, first byte first.
constexpr USHORT item(BYTE first, BYTE second) { return USHORT(first | second << 8); }

// ---- screen picture
constexpr int kPictureWidth = 128;
constexpr int kPictureHeight = 32;
constexpr int kPictureBytes = 512;
// 128 x 32 one-bit picture in four pages of eight rows, top row in the
// most significant bit; a bit is set where the pixel has colour index 0 in
// the LSB-first monochrome form. Empty when the image does not convert.
QByteArray packPicture(const QImage &image);

} // namespace OspreyCodecs
