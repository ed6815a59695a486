#pragma once
// Records that travel between the device code, the bridge and the pages.
#include "store/MacroRecord.h"
#include "platform/WinTypes.h"

#include <QList>
#include <QMetaType>
#include <cstddef>
#include <type_traits>

// One button's assignment in page terms. Buttons are numbered 4..17 (4 is
// the left button); modifier bits are 1 Ctrl, 2 Shift, 4 Alt, 8 Win.
struct ButtonAssignment
{
    int button = 0;
    int changeType = 0;     // a ChangeType code
    int trueMouseValue = 0; // virtual-key code, function code or shortcut index
    int modifyKey = 0;
};

// Kinds of button assignment shared by the pages and the managers.
enum ChangeType : int {
    ChangeKey = 29,               // keyboard key, optionally with modifiers
    ChangeKeyCombination = 30,    // key with required modifiers
    ChangeFunction = 31,          // built-in function (device to UI only)
    ChangeRestoreFactory = 32,    // restore the button's factory assignment
    ChangeMacro = 33,             // macro (device to UI only), value -1
    ChangeConsumerKey = 34,       // media key from a key-table lookup
    ChangeMute = 35,
    ChangePlayPause = 36,
    ChangeVolumeUp = 37,
    ChangeVolumeDown = 38,
    ChangeMediaPlayer = 39,
    ChangeMouseButton = 40,       // mouse button from a key-table lookup
    ChangeDisabled = 41,
    ChangeCpiFunction = 42,       // CPI function from a key-table lookup
    ChangeType9Lookup = 43,       // type-9 function, argument from a key-table lookup
    ChangeLeftFire = 44,
    ChangeCpiFunction5 = 45,
    ChangeCpiFunction6 = 46,
    ChangeType9Function1 = 47,
    ChangeLeftButton = 48,
    ChangeRightButton = 49,
    ChangeMiddleButton = 50,
    ChangeForwardButton = 51,
    ChangeBackButton = 52,
    ChangeType9Function3 = 55,
};

#pragma pack(push, 1)
// The lighting record: the wheel (secondary) light first, the main light
// second, 15 bytes each. Colours are copied as the device stores them.
struct LightColorParam
{
    BYTE wheelMode;
    BYTE wheelSpeed;
    BYTE wheelDegree;      // brightness
    BYTE wheelColors[12];  // three 4-byte colours
    BYTE lightMode;
    BYTE breathSpeed;
    BYTE lightDegree;      // brightness
    BYTE colors[12];       // three 4-byte colours
};
#pragma pack(pop)

static_assert(sizeof(LightColorParam) == 30, "the lighting record is 30 bytes on the wire");
static_assert(std::is_trivially_copyable<LightColorParam>::value, "copied byte for byte");
static_assert(offsetof(LightColorParam, lightMode) == 15, "main light group starts at byte 15");

// MacroRecord (a second- or third-family macro) is shared with the profile files.

// One entry per CPI level position; 0 means the level is switched off.
typedef QList<DWORD> CpiList;
// Colours of one light zone; COLORREF holds red in the low byte.
typedef QList<COLORREF> ColorList;

// Report-rate index 0..3 stands for these reports per second.
constexpr int kReportRates[4] = {125, 250, 500, 1000};

// Battery values above 100 are states, not percentages.
enum BatteryState : DWORD {
    BatteryCharging = 101,
    BatteryFull = 102,
    BatteryNoReading = 103,
};

Q_DECLARE_METATYPE(LightColorParam)
Q_DECLARE_METATYPE(ButtonAssignment)
