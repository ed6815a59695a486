#include "data/ButtonFunctions.h"

#include "model/ProductTable.h"

#include "device/DeviceTypes.h"
#include "store/TextTable.h"

#include <iterator>

namespace ButtonFunctions {

namespace {

// clang-format off
const Function kFunctions[] = {
    // name                  code  text  fixed   offered value modifiers kind
    {"close-window",           0,  125, nullptr, true,  0x57, 1, ChangeKeyCombination},
    {"lock-computer",          1,  126, nullptr, true,  0x4C, 8, ChangeKeyCombination},
    {"run",                    2,  127, nullptr, true,  0x52, 8, ChangeKeyCombination},
    {"show-desktop",           3,  128, nullptr, true,  0x44, 8, ChangeKeyCombination},
    {"zoom-in",                4,  129, nullptr, true,  0xBB, 1, ChangeKeyCombination},
    {"zoom-out",               5,  130, nullptr, true,  0xBD, 1, ChangeKeyCombination},
    {"find",                   6,  131, nullptr, true,  0x46, 1, ChangeKeyCombination},
    {"left",                  48,  132, nullptr, true,  0xF0, 0, ChangeLeftButton},
    {"right",                 49,  133, nullptr, true,  0xF1, 0, ChangeRightButton},
    {"middle",                50,  134, nullptr, true,  0xF2, 0, ChangeMiddleButton},
    {"forward",               51,  135, nullptr, true,  0xF7, 0, ChangeForwardButton},
    {"back",                  52,  136, nullptr, true,  0xF8, 0, ChangeBackButton},
    {"media-player",          39,  137, nullptr, true,  0x83, 1, ChangeMediaPlayer},
    {"volume-down",           38,  138, nullptr, true,  0xEA, 0, ChangeVolumeDown},
    {"volume-up",             37,  139, nullptr, true,  0xE9, 0, ChangeVolumeUp},
    {"mute",                  35,  140, nullptr, true,  0xE2, 0, ChangeMute},
    {"cpi-shift",             47,  141, nullptr, true,  0,    0, ChangeType9Function1},
    {"fire",                  44,  142, nullptr, true,  0,    0, ChangeLeftFire},
    {"cpi-up",                45,   -1, "CPI+",  true,  0,    0, ChangeCpiFunction5},
    {"cpi-down",              46,   -1, "CPI-",  true,  0,    0, ChangeCpiFunction6},
    {"macro-switch",          55,  143, nullptr, true,  0,    0, ChangeType9Function3},
    {"cycle-configurations",  56,  238, nullptr, true,  0,    0, 56},
    // Reported by the mice, not offered.
    {"play-pause",            36,  235, nullptr, false, 0,    0, ChangePlayPause},
    {"cpi",                   42,   -1, "CPI",   false, 0,    0, ChangeCpiFunction},
};
// clang-format on

// The first family's models: button 4 plays three macros, and there is no configuration cycle.
bool isTenButtonFamily(int mouseType)
{
    const ProductInfo *p = Products::byType(mouseType);
    return p && p->family == Family::First;
}

} // namespace

const Function *begin() { return std::begin(kFunctions); }
const Function *end() { return std::end(kFunctions); }

const Function *byName(const QString &name)
{
    for (const Function &f : kFunctions)
        if (name.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

const Function *byCode(int code)
{
    for (const Function &f : kFunctions)
        if (f.code == code)
            return &f;
    return nullptr;
}

QString caption(const Function &function)
{
    return function.fixedText ? QString::fromUtf8(function.fixedText) : TextTable::text(function.text);
}

bool isOfferedFor(const Function &function, int button, int mouseType)
{
    if (!function.offered)
        return false;
    // The side buttons 11 and 12 have no CPI shift, the left button no macro switch.
    if (function.code == 47 && (button == 11 || button == 12))
        return false;
    if (function.code == 55 && button == 4)
        return false;
    if (function.code == 56 && isTenButtonFamily(mouseType))
        return false;
    return true;
}

int macroLimit(int button, int mouseType)
{
    return button == 4 ? (isTenButtonFamily(mouseType) ? 3 : 4) : 1;
}

bool refusesHeldPlayback(int button, int mouseType)
{
    return button == 11 || button == 12 || ((button == 13 || button == 14) && isTenButtonFamily(mouseType));
}

} // namespace ButtonFunctions
