#include "device/osprey/OspreyCodecs.h"

#include "model/ProductTable.h"

#include "device/KeyTable.h"

#include <QDebug>
#include <cstdlib>
#include <iterator>

namespace OspreyCodecs {

namespace {

// CPI 200, 300, ... in steps of 100 against their codes.
constexpr BYTE kTableBCodes[] = {
    0x04, 0x06, 0x09, 0x0B, 0x0E, 0x10, 0x12, 0x15, 0x17, 0x19, 0x1B, 0x1D, 0x20, 0x22, 0x24, 0x27,
    0x29, 0x2B, 0x2E, 0x30, 0x32, 0x34, 0x37, 0x39, 0x3B, 0x3E, 0x40, 0x42, 0x45, 0x48, 0x4A, 0x4D,
    0x4E, 0x51, 0x54, 0x55, 0x58, 0x5B, 0x5D, 0x5F, 0x62, 0x64, 0x66, 0x69, 0x6B, 0x6D, 0x70, 0x72,
    0x74, 0x77, 0x79, 0x7B, 0x7E, 0x80, 0x82, 0x85, 0x87, 0x89, 0x8C, 0x8E, 0x91,
};
static_assert(std::size(kTableBCodes) == 61, "table B covers 200..6200 CPI");

// Table A has no code of its own for 4200 CPI: 200..4100, then 4300..6200.
constexpr BYTE kTableALowCodes[] = {
    0x04, 0x06, 0x09, 0x0B, 0x0D, 0x0F, 0x12, 0x14, 0x16, 0x18, 0x1B, 0x1D, 0x1F, 0x21,
    0x24, 0x26, 0x28, 0x2B, 0x2D, 0x2F, 0x31, 0x34, 0x36, 0x38, 0x3A, 0x3D, 0x3F, 0x41,
    0x43, 0x46, 0x48, 0x4A, 0x4D, 0x4F, 0x51, 0x53, 0x56, 0x58, 0x5A, 0x5C,
};
constexpr BYTE kTableAHighCodes[] = {
    0x61, 0x63, 0x66, 0x68, 0x6A, 0x6C, 0x6F, 0x71, 0x73, 0x75,
    0x78, 0x7A, 0x7C, 0x7F, 0x81, 0x83, 0x85, 0x87, 0x8A, 0x8C,
};
static_assert(std::size(kTableALowCodes) == 40, "table A: 200..4100 CPI");
static_assert(std::size(kTableAHighCodes) == 20, "table A: 4300..6200 CPI");

struct LightCode
{
    int mode;
    BYTE code;
};
constexpr LightCode kLightCodes[] = {
    {0, 0x80}, {1, 0x81}, {2, 0x82}, {3, 0x84}, {4, 0x83}, {5, 0x85},
};

struct ScreenCode
{
    int behaviour;
    BYTE code;
};
constexpr ScreenCode kScreenCodes[] = {{1, 1}, {2, 4}, {3, 0}, {8, 7}};

// Past the pairs every family shares: the right Control, Shift, Alt and
// Application keys have no usage here, the right Windows key goes out as E3,
// and the mouse-button keys 01, 02, 04 as F0, F1, F2.
constexpr KeyTable::KeyPair kOwnKeys[] = {{0xE3, 0x5C}, {0xF0, 0x01}, {0xF1, 0x02}, {0xF2, 0x04}};

// The page's buttons 4..17 in order: the word each one lives in and its
// factory word. Buttons 9 and 10 exist on the Lanner only; 15 and 16 move to
// the media words 13 and 12 there (the catalogue's `lannerWords`).
struct ButtonRow
{
    int button;
    int word;
    int wordOnType18; // -1: as `word`
    DWORD factory;
    DWORD factoryOnType18;
};
constexpr DWORD kSameWord = 0xFFFFFFFF;
constexpr ButtonRow kButtons[] = {
    {4, 0, -1, makeWord(0x01, 0x00, 0xF0, 0x00), kSameWord},  // left
    {5, 2, -1, makeWord(0x01, 0x00, 0xF2, 0x00), kSameWord},  // middle
    {6, 1, -1, makeWord(0x01, 0x00, 0xF1, 0x00), kSameWord},  // right
    {7, 4, -1, makeWord(0x01, 0x00, 0xF4, 0x00), kSameWord},  // forward
    {8, 3, -1, makeWord(0x01, 0x00, 0xF3, 0x00), kSameWord},  // back
    {9, -1, 6, 0, makeWord(0x11, 0x00, 0x00, 0x00)},
    {10, -1, 7, 0, makeWord(0x00, 0x00, 0x5C, 0x00)},
    {11, 14, -1, makeWord(0x04, 0x00, 0x01, 0x00), kSameWord},
    {12, 15, -1, makeWord(0x04, 0x00, 0x02, 0x00), kSameWord},
    {13, 5, -1, makeWord(0x07, 0x00, 0x01, 0x00), kSameWord}, // the CPI loop where the catalogue says (below)
    {14, 6, -1, makeWord(0x07, 0x00, 0x02, 0x00), kSameWord},
    {15, 7, 13, makeWord(0x11, 0x00, 0x00, 0x00), makeWord(0x03, 0x00, 0xEA, 0x00)},
    {16, 8, 12, makeWord(0x00, 0x00, 0x21, 0x00), makeWord(0x03, 0x00, 0xE9, 0x00)},
    {17, 9, -1, kProfileLoopWord, kSameWord},
};
constexpr DWORD kCpiLoopWord = makeWord(0x07, 0x00, 0x03, 0x00);

const ButtonRow *buttonRow(int button)
{
    for (const ButtonRow &row : kButtons)
        if (row.button == button)
            return &row;
    return nullptr;
}

// Macro slot addresses of the buttons 4..17.
constexpr uchar kMacroAddresses[] = {0x8C, 0x94, 0x90, 0x9C, 0x98, 0xBC, 0xC0,
                                     0xA4, 0xA0, 0xA8, 0xAC, 0xB0, 0xB4, 0xB8};
static_assert(std::size(kMacroAddresses) == kLastButton - kFirstButton + 1, "one address per button");

// The built-in functions a page assigns, as whole words.
struct FunctionWord
{
    int changeType;
    DWORD word;
    const char *log;
};
constexpr FunctionWord kFunctionWords[] = {
    {41, makeWord(0x00, 0x00, 0x00, 0x00), "MouseButtonChangeToForbidden"},
    {44, makeWord(0x0A, 0xF0, 0x10, 0x02), nullptr},
    {45, makeWord(0x07, 0x00, 0x01, 0x00), nullptr},
    {46, makeWord(0x07, 0x00, 0x02, 0x00), nullptr},
    {47, makeWord(0x07, 0x00, 0x04, 0x0A), "MouseButtonChangeToDpiInstant"},
    {48, makeWord(0x01, 0x00, 0xF0, 0x00), "MouseButtonChangeToLeftKey"},
    {49, makeWord(0x01, 0x00, 0xF1, 0x00), nullptr},
    {50, makeWord(0x01, 0x00, 0xF2, 0x00), nullptr},
    {51, makeWord(0x01, 0x00, 0xF4, 0x00), nullptr},
    {52, makeWord(0x01, 0x00, 0xF3, 0x00), nullptr},
    {55, makeWord(0x10, 0x00, 0x03, 0x00), "MouseButtonChangeToSwitchMacroKey"},
    {56, kProfileLoopWord, "MouseButtonChangeToProfileLoop"},
};

// Reported function words that are neither keys, buttons nor media keys.
struct ReportedWord
{
    DWORD word;
    int function;
};
constexpr ReportedWord kReportedWords[] = {
    {makeWord(0x07, 0x00, 0x01, 0x00), 45}, {makeWord(0x07, 0x00, 0x02, 0x00), 46},
    {kProfileLoopWord, 56},                 {makeWord(0x10, 0x00, 0x03, 0x00), 55},
    {makeWord(0x0A, 0xF0, 0x10, 0x02), 44}, {makeWord(0x07, 0x00, 0x04, 0x0A), 47},
};

struct CodeFunction
{
    int code;
    int function;
};
// Mouse-button codes of kind 1.
constexpr CodeFunction kButtonFunctions[] = {{0xF0, 48}, {0xF1, 49}, {0xF2, 50}, {0xF3, 52}, {0xF4, 51}};
// Consumer usages of kind 3.
constexpr CodeFunction kMediaFunctions[] = {{0x00E9, 37}, {0x00EA, 38}, {0x00E2, 35}, {0x0183, 39}};

// Shortcuts a key word stands for: (modifier, virtual key) -> index 0..6.
struct Shortcut
{
    int modifier;
    int key;
    int index;
};
constexpr Shortcut kShortcuts[] = {
    {1, 87, 0}, {1, 187, 4}, {1, 189, 5}, {1, 70, 6}, {8, 76, 1}, {8, 68, 3}, {8, 82, 2},
};

template <typename Table>
int functionOf(const Table &table, int code, int unknown)
{
    for (const CodeFunction &f : table)
        if (f.code == code)
            return f.function;
    return unknown;
}

constexpr int kKeyEvent = 3;
constexpr int kMoveEvent = 6;
constexpr int kReleased = 1;
constexpr int kLongDelay = 128;

} // namespace

QMap<uchar, int> cpiTableA()
{
    QMap<uchar, int> table;
    for (int i = 0; i < int(std::size(kTableALowCodes)); ++i)
        table.insert(kTableALowCodes[i], 200 + 100 * i);
    for (int i = 0; i < int(std::size(kTableAHighCodes)); ++i)
        table.insert(kTableAHighCodes[i], 4300 + 100 * i);
    return table;
}

QMap<uchar, int> cpiTableB()
{
    QMap<uchar, int> table;
    for (int i = 0; i < int(std::size(kTableBCodes)); ++i)
        table.insert(kTableBCodes[i], 200 + 100 * i);
    return table;
}

BYTE codeOfCpi(const QMap<uchar, int> &table, DWORD cpi)
{
    if (cpi == 0)
        return 0;
    BYTE best = 0;
    long long bestDistance = -1;
    int bestCpi = 0;
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        const long long distance = std::llabs(static_cast<long long>(it.value()) - static_cast<long long>(cpi));
        if (bestDistance < 0 || distance < bestDistance || (distance == bestDistance && it.value() < bestCpi)) {
            best = it.key();
            bestDistance = distance;
            bestCpi = it.value();
        }
    }
    return best;
}

DWORD cpiOfCode(const QMap<uchar, int> &table, BYTE code)
{
    return DWORD(table.value(code, 0));
}

CpiCode encodeFiftyCpi(DWORD cpi)
{
    return {BYTE((cpi / 50) % 256), BYTE(cpi / 12800)};
}

DWORD decodeFiftyCpi(BYTE low, BYTE high)
{
    return (DWORD(high) * 256 + low) * 50;
}

bool countsInFifties(int mouseType)
{
    return Products::ospreyFacts(mouseType).cpiCoding == CpiCoding::Fifties;
}

bool usesTableB(int mouseType)
{
    return Products::ospreyFacts(mouseType).cpiCoding == CpiCoding::TableB;
}

BYTE lightModeToDevice(int mode)
{
    for (const LightCode &l : kLightCodes)
        if (l.mode == mode)
            return l.code;
    return 0;
}

int lightModeFromDevice(BYTE code)
{
    for (const LightCode &l : kLightCodes)
        if (l.code == code)
            return l.mode;
    return code;
}

BYTE screenBehaviourToDevice(int behaviour)
{
    for (const ScreenCode &s : kScreenCodes)
        if (s.behaviour == behaviour)
            return s.code;
    return 1;
}

int screenBehaviourFromDevice(BYTE code)
{
    for (const ScreenCode &s : kScreenCodes)
        if (s.code == code)
            return s.behaviour;
    return code;
}

int usageOfKey(int virtualKey)
{
    return KeyTable::usageOfKey(kOwnKeys, std::size(kOwnKeys), virtualKey);
}

int keyOfUsage(int usage)
{
    return KeyTable::keyOfUsage(kOwnKeys, std::size(kOwnKeys), usage);
}

int wordIndexOfButton(int mouseType, int button)
{
    const ButtonRow *row = buttonRow(button);
    if (!row)
        return -1;
    return Products::ospreyFacts(mouseType).lannerWords && row->wordOnType18 >= 0 ? row->wordOnType18 : row->word;
}

DWORD defaultWordOfButton(int mouseType, int button)
{
    const ButtonRow *row = buttonRow(button);
    if (!row)
        return 0;
    if (button == 13 && Products::ospreyFacts(mouseType).cpiLoopOnButton13)
        return kCpiLoopWord;
    return Products::ospreyFacts(mouseType).lannerWords && row->factoryOnType18 != kSameWord ? row->factoryOnType18 : row->factory;
}

QByteArray defaultButtonTable(int mouseType)
{
    QByteArray table(kButtonWords * 4, '\0');
    for (const ButtonRow &row : kButtons) {
        const int w = wordIndexOfButton(mouseType, row.button);
        if (w < 0)
            continue;
        const DWORD word = defaultWordOfButton(mouseType, row.button);
        for (int b = 0; b < 4; ++b)
            table[w * 4 + b] = char(wordByte(word, b));
    }
    return table;
}

uchar macroAddressOfButton(int button)
{
    if (button >= kFirstButton && button <= kLastButton)
        return kMacroAddresses[button - kFirstButton];
    return uchar(button);
}

DWORD wordOfAssignment(int changeType, uint vkCode, int modifyKey, DWORD current, DWORD restore)
{
    switch (changeType) {
    case 29:
    case 30:
        return makeWord(0x00, BYTE(modifyKey), BYTE(usageOfKey(int(vkCode))), 0x00);
    case 32:
        return restore;
    case 34:
    case 35:
    case 36:
    case 37:
    case 38:
    case 39:
        // The page hands the consumer usage over split: low byte as the key, high byte as the modifier.
        return makeWord(0x03, 0x00, BYTE(vkCode), BYTE(modifyKey));
    default:
        break;
    }
    for (const FunctionWord &f : kFunctionWords) {
        if (f.changeType != changeType)
            continue;
        if (f.log)
            qDebug() << f.log;
        qDebug() << "setPhiysicalButtonToAnotherMouseButton";
        qDebug() << "setPhiysicalButtonToAnotherMouseButton ChangeType" << changeType;
        return f.word;
    }
    return current;
}

bool assignmentOfWord(DWORD word, Assignment *out)
{
    const BYTE kind = wordByte(word, 0);
    Assignment a;
    a.changeType = 31;
    if (kind == 0x00) {
        const int modifier = wordByte(word, 1);
        const int key = keyOfUsage(wordByte(word, 2));
        for (const Shortcut &s : kShortcuts) {
            if (s.modifier == modifier && s.key == key) {
                qDebug() << "findTheMultiMediaTYPE_Kyeboard modifyKey hidCode " << modifier << wordByte(word, 2);
                a.value = s.index;
                *out = a;
                return true;
            }
        }
        if (key != 0 || modifier != 0)
            a = {29, key, modifier};
        else
            a = {41, -1, 0};
        *out = a;
        return true;
    }
    if (kind == 0x01) {
        a.value = functionOf(kButtonFunctions, wordByte(word, 2), -1);
        *out = a;
        return true;
    }
    if (kind == 0x03) {
        const int usage = wordByte(word, 2) | wordByte(word, 3) << 8;
        a.value = functionOf(kMediaFunctions, usage, wordByte(word, 2));
        *out = a;
        return true;
    }
    if (kind == 0x09 || kind == 0x11) {
        *out = {33, 0, 0};
        return true;
    }
    for (const ReportedWord &r : kReportedWords) {
        if (r.word == word) {
            a.value = r.function;
            *out = a;
            return true;
        }
    }
    return false;
}

QList<USHORT> macroItems(const QList<MacroNode> &events, bool ignoreDelays)
{
    QList<USHORT> items;
    for (const MacroNode &e : events) {
        const int delay = e.timeLapse;
        if (e.valueType == kKeyEvent) {
            const int hid = usageOfKey(e.keyValue);
            qDebug().noquote() << QString::asprintf("werwrawrfwfwf,%x", unsigned(hid));
            const bool longDelay = !ignoreDelays && delay >= kLongDelay;
            int first = 1;
            if (ignoreDelays || delay <= 0)
                first = 1;
            else if (!longDelay)
                first = delay;
            else
                first = delay % 100 == 0 ? 1 : delay % 100;
            if (e.state == kReleased)
                first |= 0x80;
            items.append(item(BYTE(first), BYTE(hid)));
            if (longDelay) {
                // The hundreds of a long delay follow as a step of their own.
                const int hundreds = delay / 100;
                qDebug().noquote() << QString::asprintf("valueSplit2BYTE:value %x low %x high%x", unsigned(hundreds),
                                                        unsigned(hundreds & 0xFF), unsigned((hundreds >> 8) & 0xFF));
                items.append(item(0x00, 0x01));
                items.append(item(BYTE(hundreds >> 8), BYTE(hundreds)));
            }
        } else if (e.valueType == kMoveEvent) {
            qDebug() << "SpecialCoordinate";
            if (e.coordinateX != 0 || e.coordinateY != 0) {
                items.append(item(0x00, 0x02));
                // The device counts y upwards.
                items.append(item(BYTE(e.coordinateX), BYTE(-e.coordinateY)));
            }
            if (!ignoreDelays && delay >= 1) {
                qDebug() << "SpecialCoordinate time";
                qDebug().noquote() << QString::asprintf("SpecialCoordinate high %x low %x", unsigned((delay >> 8) & 0xFF),
                                                        unsigned(delay & 0xFF));
                items.append(item(0x00, 0x03));
                items.append(item(BYTE(delay >> 8), BYTE(delay)));
            }
        }
    }
    qDebug() << "defineLocalMacro" << events.size() << items.size();
    return items;
}

QByteArray packPicture(const QImage &image)
{
    if (image.isNull())
        return QByteArray();
    QImage picture = image;
    if (picture.size() != QSize(kPictureWidth, kPictureHeight))
        picture = picture.scaled(kPictureWidth, kPictureHeight);
    picture = picture.convertToFormat(QImage::Format_MonoLSB);
    qDebug() << "ImageToByteArr" << picture.sizeInBytes();
    if (picture.sizeInBytes() != kPictureBytes) {
        qWarning() << "ImageToByteArr failed: the picture is not 128 x 32";
        return QByteArray();
    }
    QByteArray packed(kPictureBytes, '\0');
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            if (picture.pixelIndex(x, y) != 0)
                continue;
            const int at = (y / 8) * kPictureWidth + x;
            packed[at] = char(BYTE(packed[at]) | (0x80 >> (y % 8)));
        }
    }
    return packed;
}

} // namespace OspreyCodecs
