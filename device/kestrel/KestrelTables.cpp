#include "device/kestrel/KestrelTables.h"

#include "model/ProductTable.h"

#include <algorithm>
#include <iterator>

namespace KestrelTables {

namespace {

const ButtonLayout kDefaultLayout = {
    {{{4, 512}, {5, 516}, {6, 520}, {13, 524}, {14, 528}, {7, 532},
      {8, 536}, {9, 540}, {10, 544}, {11, 548}, {12, 552}}},
    {{0x00010003, 0x00040003, 0x00020003, 0x00050008, 0x00060008, 0x00100003,
      0x00080003, 0x00100003, 0x00080003, 0xFFFFFFFF, 0xFFFFFFFF}},
};

const ButtonLayout kSwappedLayout = {
    {{{4, 528}, {5, 540}, {6, 544}, {13, 520}, {14, 516}, {7, 512},
      {8, 536}, {9, 524}, {10, 532}, {11, 548}, {12, 552}}},
    {{0x00100003, 0x00060008, 0x00050008, 0x001E0000, 0x00010003, 0x00200000,
      0x00080003, 0x00040003, 0x00020003, 0xFFFFFFFF, 0xFFFFFFFF}},
};

struct ButtonSlot
{
    int button;
    int slot;
};
const ButtonSlot kMacroSlots[] = {
    {4, 10}, {5, 0}, {6, 1}, {7, 2}, {8, 3}, {9, 4}, {10, 5}, {11, 6}, {12, 7}, {13, 8}, {14, 9},
};

struct TypeWord
{
    int changeType;
    DWORD word;
};
const TypeWord kFixedWords[] = {
    {44, 0x01010003}, {45, 0x00050008}, {46, 0x00060008}, {47, 0x00010009}, {48, 0x00010003},
    {49, 0x00020003}, {50, 0x00040003}, {51, 0x00100003}, {52, 0x00080003}, {55, 0x00030009},
};

struct TypeUsage
{
    int changeType;
    WORD usage;
};
const TypeUsage kConsumerUsages[] = {
    {35, 0x00E2}, {36, 0x00CD}, {37, 0x00E9}, {38, 0x00EA}, {39, 0x0183},
};

struct ByteFunction
{
    BYTE value;
    int function;
};
// Type-4 words, by the usage's low byte.
const ByteFunction kConsumerFunctions[] = {{0x83, 39}, {0xCD, 36}, {0xE2, 35}, {0xE9, 37}, {0xEA, 38}};
// Type-3 words other than the left button, by mask.
const ByteFunction kButtonMaskFunctions[] = {{2, 49}, {4, 50}, {8, 52}, {16, 51}};
// Type-8 words, by function byte.
const ByteFunction kCpiFunctions[] = {{5, 45}, {6, 46}};
// Type-9 words, by function byte.
const ByteFunction kType9Functions[] = {{1, 47}, {3, 55}};

struct Shortcut
{
    BYTE deviceModifier;
    int virtualKey;
    int index;
};
const Shortcut kShortcuts[] = {
    {2, 0x57, 0}, {2, 0xBB, 4}, {2, 0xBD, 5}, {2, 0x46, 6},
    {8, 0x4C, 1}, {8, 0x52, 2}, {8, 0x44, 3},
};

struct RateEntry
{
    DWORD interval;
    int index;
};
const RateEntry kReportRates[] = {{8, 0}, {4, 1}, {2, 2}, {1, 3}};

// Battery curve: each row covers raw readings up to `last` (from the row before).
struct BatteryStep
{
    DWORD last;
    DWORD percent;
};
const BatteryStep kBatteryCurve[] = {
    {0, 0},     {540, 1},   {549, 2},   {557, 3},   {565, 4},   {574, 6},   {582, 7},   {591, 8},
    {595, 10},  {599, 12},  {607, 14},  {610, 16},  {613, 19},  {615, 21},  {623, 23},  {625, 25},
    {626, 28},  {628, 30},  {630, 33},  {632, 35},  {634, 37},  {635, 41},  {637, 45},  {638, 51},
    {640, 67},  {641, 71},  {643, 74},  {646, 76},  {647, 78},  {648, 81},  {650, 84},  {652, 86},
    {653, 87},  {655, 88},  {657, 89},  {659, 90},  {661, 91},  {662, 93},  {664, 94},  {665, 95},
    {667, 96},  {669, 97},  {671, 98},  {725, 99},
};
constexpr DWORD kBatteryAboveCurve = 100;
// The top byte of a raw reading carries a state instead of a level.
constexpr DWORD kChargingFrom = 0x1000000;
constexpr DWORD kFullFrom = 0x2000000;
constexpr DWORD kNoReadingFrom = 0x3000000;

int lookup(const ByteFunction *begin, const ByteFunction *end, BYTE value, int otherwise)
{
    const ByteFunction *hit = std::find_if(begin, end, [value](const ByteFunction &e) { return e.value == value; });
    return hit != end ? hit->function : otherwise;
}

} // namespace

int recordIndexOfBankOffset(int bankOffset)
{
    if (bankOffset >= kButtonsBankOffset && bankOffset < kButtonsBankOffset + kButtonsLength)
        return kButtonsAt + bankOffset - kButtonsBankOffset;
    if (bankOffset >= kSettingsBankOffset && bankOffset < kSettingsBankOffset + kSettingsLength)
        return kSettingsAt + bankOffset - kSettingsBankOffset;
    return -1;
}

const ButtonLayout &buttonLayoutForPid(USHORT pid)
{
    const ProductInfo *product = Products::byPid(pid);
    return product && product->korvan.swappedButtons ? kSwappedLayout : kDefaultLayout;
}

const ButtonLayout &defaultButtonLayout() { return kDefaultLayout; }

int buttonOffset(const ButtonLayout &layout, int button)
{
    for (const ButtonOffset &e : layout.offsets)
        if (e.button == button)
            return e.offset;
    return -1;
}

DWORD factoryWordAt(const ButtonLayout &layout, int offset)
{
    const int index = (offset - kButtonsBankOffset) / 4;
    if (offset < kButtonsBankOffset || offset % 4 != 0 || index >= kButtonCount)
        return kUnassigned;
    return layout.factoryWords[size_t(index)];
}

int macroSlotOfButton(int button)
{
    for (const ButtonSlot &e : kMacroSlots)
        if (e.button == button)
            return e.slot;
    return 0;
}

DWORD fixedButtonWord(int changeType)
{
    for (const TypeWord &e : kFixedWords)
        if (e.changeType == changeType)
            return e.word;
    return 0;
}

WORD consumerUsageOfChangeType(int changeType)
{
    for (const TypeUsage &e : kConsumerUsages)
        if (e.changeType == changeType)
            return e.usage;
    return 0;
}

int functionOfConsumerUsage(BYTE usageLowByte)
{
    return lookup(std::begin(kConsumerFunctions), std::end(kConsumerFunctions), usageLowByte, -1);
}

int functionOfButtonMask(BYTE mask)
{
    return lookup(std::begin(kButtonMaskFunctions), std::end(kButtonMaskFunctions), mask, int(mask) - 1);
}

int functionOfCpiWord(BYTE function)
{
    return lookup(std::begin(kCpiFunctions), std::end(kCpiFunctions), function, 42);
}

int functionOfType9Word(BYTE function)
{
    return lookup(std::begin(kType9Functions), std::end(kType9Functions), function, -1);
}

int shortcutIndex(BYTE deviceModifier, int virtualKey)
{
    for (const Shortcut &e : kShortcuts)
        if (e.deviceModifier == deviceModifier && e.virtualKey == virtualKey)
            return e.index;
    return -1;
}

int reportIndexOfInterval(DWORD interval)
{
    for (const RateEntry &e : kReportRates)
        if (e.interval == interval)
            return e.index;
    return -1;
}

DWORD intervalOfReportIndex(int index)
{
    for (const RateEntry &e : kReportRates)
        if (e.index == index)
            return e.interval;
    return 0;
}

DWORD batteryPercent(DWORD raw)
{
    if (raw >= kNoReadingFrom)
        return 103;
    if (raw >= kFullFrom)
        return 102;
    if (raw >= kChargingFrom)
        return 101;
    for (const BatteryStep &e : kBatteryCurve)
        if (raw <= e.last)
            return e.percent;
    return kBatteryAboveCurve;
}

CpiScheme cpiSchemeOf(int mouseType)
{
    switch (Products::korvanFacts(mouseType).cpiCoding) {
    case KorvanCpiCoding::Hundreds: return CpiScheme::Hundreds;
    case KorvanCpiCoding::TwoRange: return CpiScheme::TwoRange;
    case KorvanCpiCoding::Fifties:
    case KorvanCpiCoding::None: break;
    }
    return CpiScheme::Fifties;
}

WORD cpiToRaw(CpiScheme scheme, DWORD cpi)
{
    long long v = 0;
    switch (scheme) {
    case CpiScheme::Hundreds:
        v = (static_cast<long long>(cpi) - 200) / 100;
        break;
    case CpiScheme::TwoRange:
        v = cpi > 5000 ? cpi / 200 + 23 : (static_cast<long long>(cpi) - 200) / 100;
        break;
    case CpiScheme::Fifties:
        v = cpi / 50;
        break;
    }
    return WORD(std::clamp<long long>(v, 0, 0xFFFF));
}

DWORD rawToCpi(CpiScheme scheme, WORD raw)
{
    switch (scheme) {
    case CpiScheme::Hundreds:
        return DWORD(raw) * 100 + 200;
    case CpiScheme::TwoRange:
        return raw <= 48 ? DWORD(raw) * 100 + 200 : DWORD(raw) * 200 - 4600;
    case CpiScheme::Fifties:
        break;
    }
    return DWORD(raw) * 50;
}

int cpiEntriesWritten(CpiScheme scheme) { return scheme == CpiScheme::Hundreds ? 5 : kMaxCpiLevels; }

int cpiLevelLimit(CpiScheme scheme) { return scheme == CpiScheme::Hundreds ? 2 : 3; }

bool cpiRemovesLevel(int mouseType, int cpi)
{
    return Products::korvanFacts(mouseType).lowStep ? cpi <= 200 : cpi == 0;
}

} // namespace KestrelTables
