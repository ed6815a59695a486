#include "model/CpiTables.h"

#include "model/ProductTable.h"

#include <algorithm>

namespace CpiTables {

namespace {

// A type without a row (none, or a model we do not know); the middle label
// is the scale's middle.
constexpr CpiRange kOtherRange = {false, 200, 2600, 5000, 100, 100, 0};
// Levels beyond a model's list, and types without a row.
constexpr int kOtherDefault = 200;

} // namespace

CpiRange rangeFor(int mouseType)
{
    const ProductInfo *p = Products::byType(mouseType);
    return p ? p->cpiRange : kOtherRange;
}

bool fits(const CpiRange &r, int cpi)
{
    if (cpi < r.minimum || cpi > r.maximum)
        return false;
    if (r.twoSteps && cpi >= r.threshold)
        return (cpi - r.threshold) % r.largeStep == 0;
    return (cpi - r.minimum) % r.step == 0;
}

bool fits(int mouseType, int cpi)
{
    return fits(rangeFor(mouseType), cpi);
}

int clamped(int mouseType, int cpi)
{
    const CpiRange r = rangeFor(mouseType);
    const int inside = std::clamp(cpi, r.minimum, r.maximum);
    const bool large = r.twoSteps && inside >= r.threshold;
    const int base = large ? r.threshold : r.minimum;
    const int step = large ? r.largeStep : r.step;
    if (step <= 0)
        return inside;
    const int down = base + (inside - base) / step * step;
    const int up = down + step;
    return (inside - down) * 2 < up - inside || up > r.maximum ? down : up;
}

int defaultCpi(int mouseType, int level)
{
    const ProductInfo *p = Products::byType(mouseType);
    if (!p || level < 0 || level >= int(std::size(p->cpiDefaults)))
        return kOtherDefault;
    return p->cpiDefaults[level] != 0 ? p->cpiDefaults[level] : kOtherDefault;
}

int levelCount(int mouseType)
{
    const ProductInfo *p = Products::byType(mouseType);
    return p ? p->cpiLevels : 0;
}

bool hasScreenButton(int mouseType)
{
    const ProductInfo *p = Products::byType(mouseType);
    return p && p->screenButton;
}

} // namespace CpiTables
