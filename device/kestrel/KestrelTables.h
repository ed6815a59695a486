#pragma once
// The first-family manager's tables and pure conversions: the layout of the
// configuration image, the button offset tables with their factory words,
// CPI and report-rate encodings per model, the battery curve and the button
// word catalogue. Everything here is data plus one lookup each, testable
// without a device.
#include "platform/WinTypes.h"

#include <array>

namespace KestrelTables {

// The configuration image: profile record, fourteen macro lengths, fourteen
// device-form macro images. It is also the unit mirrored into the files.
constexpr int kRecordSize = 128;
constexpr int kMacroCount = 14;
constexpr int kMacroSlotSize = 4096;
constexpr int kLengthsAt = 128;
constexpr int kMacrosAt = 184;
constexpr int kImageSize = kMacrosAt + kMacroCount * kMacroSlotSize;
static_assert(kImageSize == 57528, "the configuration image is 57528 bytes");
// The part of the image a legacy text file starts with.
constexpr int kImageHeadSize = kMacrosAt;
// Macros 0..10 belong to buttons; 11..13 are the left button's rapid fire.
constexpr int kFirstRapidFireMacro = 11;
constexpr int kRapidFireMacroCount = 3;

// Where the profile record keeps the bank's fields: 44 button bytes from
// bank offset 512 at record byte 16, 68 settings bytes from 1152 at byte 60.
constexpr int kButtonsAt = 16;
constexpr int kButtonsBankOffset = 512;
constexpr int kButtonsLength = 44;
constexpr int kSettingsAt = 60;
constexpr int kSettingsBankOffset = 1152;
constexpr int kSettingsLength = 68;
// Record byte of a bank offset in 512..555 or 1152..1219; -1 for any other.
int recordIndexOfBankOffset(int bankOffset);

constexpr int kBankAt = 0;               // active bank (word)
constexpr int kDeviceWordAt = 8;         // 16-bit device value
constexpr int kBatteryAt = 12;           // raw battery (word)
constexpr int kReportIntervalAt = 60;    // bank offset 1152
constexpr int kSilentHeightAt = 64;      // 1156
constexpr int kCpiTableAt = 68;          // 1160, 16 bytes
constexpr int kCpiTableLength = 16;
constexpr int kLevelCountAt = 82;        // 1174: CPI table byte 14 = byte 2 of the word at 1172
constexpr int kCpiLevelAt = 84;          // 1176 byte 0
constexpr int kLightModeAt = 85;         // 1176 byte 1
constexpr int kLightSpeedAt = 86;        // 1176 byte 2
constexpr int kLightDegreeAt = 87;       // 1176 byte 3
constexpr int kOledIntensityAt = 88;     // 1180 byte 0
constexpr int kFireByte1At = 89;         // 1180 byte 1
constexpr int kRapidFireCountAt = 90;    // 1180 byte 2
constexpr int kScreenWordAt = 92;        // 1184
constexpr int kScreenBytesAt = 96;       // 1188, eight bytes
constexpr int kScreenByteCount = 8;
constexpr int kBank1196At = 104;         // 1196: OLED behaviour word in bank 1
constexpr int kBank1200At = 108;
constexpr int kBank1204At = 112;
constexpr int kColoursAt = 116;          // 1208, three 4-byte colours
constexpr int kColourCount = 3;
// The bytes a stored configuration is recognised by.
constexpr int kCompareFrom = 16;
constexpr int kCompareTo = 123;

// Page buttons 4..14.
constexpr int kFirstButton = 4;
constexpr int kLastButton = 14;
constexpr int kButtonCount = kLastButton - kFirstButton + 1;

struct ButtonOffset
{
    int button;
    int offset; // of the button word in a bank
};

// One model group's buttons: where each button's word lies and what the
// factory puts there.
struct ButtonLayout
{
    std::array<ButtonOffset, kButtonCount> offsets; // in table order
    std::array<DWORD, kButtonCount> factoryWords;   // by offset, 512 first
};

// The layout of the models with the swapped button block (chosen by PID), else the default.
const ButtonLayout &buttonLayoutForPid(USHORT pid);
const ButtonLayout &defaultButtonLayout();
// Bank offset of a page button's word; -1 for a button outside 4..14.
int buttonOffset(const ButtonLayout &layout, int button);
// Factory word at a bank offset of the button block.
DWORD factoryWordAt(const ButtonLayout &layout, int offset);
// The macro slot a button's macro lives in (0 for an unknown button).
int macroSlotOfButton(int button);

// Button words: byte 0 is the type, bytes 1..3 its arguments.
constexpr DWORD makeButtonWord(BYTE type, BYTE b1, BYTE b2, BYTE b3)
{
    return DWORD(type) | DWORD(b1) << 8 | DWORD(b2) << 16 | DWORD(b3) << 24;
}
constexpr BYTE wordByte(DWORD word, int index) { return BYTE(word >> (8 * index)); }
constexpr DWORD kPlainLeftClick = 0x00010003;
constexpr DWORD kUnassigned = 0xFFFFFFFF;
constexpr BYTE kMacroWordType = 5; // byte 2: the macro slot the button plays
// A mouse-button word for the left button (plain or fire variant).
constexpr bool isLeftButtonWord(DWORD word) { return wordByte(word, 0) == 3 && wordByte(word, 2) == 1; }

// Fixed button words of the functions that take no value; 0 for any other changeType.
DWORD fixedButtonWord(int changeType);
// Consumer usage of the media changeTypes 35..39; 0 for any other.
WORD consumerUsageOfChangeType(int changeType);

// Reported function codes of the device words (all with changeType 31; -1 unknown).
int functionOfConsumerUsage(BYTE usageLowByte);
// Mouse-button mask other than the left button; a mask outside the table reports mask - 1.
int functionOfButtonMask(BYTE mask);
int functionOfCpiWord(BYTE function);
int functionOfType9Word(BYTE function);
// Shortcut index 0..6 of a key with modifiers (device modifier byte, virtual key); -1 when none.
int shortcutIndex(BYTE deviceModifier, int virtualKey);

// Report interval in ms <-> report-rate index 0..3 (125, 250, 500, 1000 reports/s).
int reportIndexOfInterval(DWORD interval); // -1 for an interval the device should not hold
DWORD intervalOfReportIndex(int index);    // 0 for an index outside 0..3

// Battery: raw reading -> 0..100 percent, or a state code 101, 102, 103.
DWORD batteryPercent(DWORD raw);

// CPI encodings by model code.
enum class CpiScheme {
    Hundreds, // v = (CPI - 200) / 100, six levels read, five written
    TwoRange, // as Hundreds up to 5000 CPI, then 200 CPI steps
    Fifties,  // v = CPI / 50, seven levels
};
CpiScheme cpiSchemeOf(int mouseType);
// Device value of a CPI, clamped to what a 16-bit level can hold.
WORD cpiToRaw(CpiScheme scheme, DWORD cpi);
DWORD rawToCpi(CpiScheme scheme, WORD raw);
// How many of the page's list entries are taken when writing.
int cpiEntriesWritten(CpiScheme scheme);
// The highest CPI level byte written with a new list.
int cpiLevelLimit(CpiScheme scheme);
// A CPI that switches a level off when one level is set on its own.
bool cpiRemovesLevel(int mouseType, int cpi);
// The most levels the 16-byte table holds.
constexpr int kMaxCpiLevels = 7;

} // namespace KestrelTables
