#include "model/CpiTables.h"

#include <algorithm>
#include <iterator>

namespace CpiTables {

namespace {

// Type lists are padded with 0, which is no model.
template <std::size_t N>
bool isOneOf(int mouseType, const int (&types)[N])
{
    return mouseType != 0 && std::find(std::begin(types), std::end(types), mouseType) != std::end(types);
}

struct RangeRow
{
    int types[5];
    CpiRange range;
};

// {two steps, minimum, middle, maximum, step, large step, threshold}
const RangeRow kRanges[] = {
    {{3, 5, 6, 11}, {false, 50, 8000, 16000, 50, 50, 0}},
    {{2, 4, 13, 18, 19}, {false, 200, 3000, 6200, 100, 100, 0}},
    {{12}, {false, 200, 2500, 5000, 100, 100, 0}},
    {{14}, {true, 200, 5000, 10000, 100, 200, 5000}},
};
// Every other type. Its middle label (5200) lies above its maximum, as the scale was printed.
constexpr CpiRange kOtherRange = {false, 200, 5200, 5000, 100, 100, 0};

struct DefaultRow
{
    int types[3];
    int cpi[7]; // 0: the model has no such level
};

const DefaultRow kDefaults[] = {
    {{3, 6, 11}, {800, 1000, 1500, 2000, 3000, 8000, 16000}},
    {{4, 18, 19}, {400, 800, 1200, 1600, 2000, 2400, 3000}},
    {{2}, {800, 1200, 1800, 3000, 6200, 0, 0}},
    {{5}, {500, 800, 1600, 2000, 2500, 0, 0}},
    {{12}, {1000, 1500, 2000, 3000, 5000, 0, 0}},
    {{13}, {400, 800, 1200, 2000, 2500, 0, 0}},
    {{14, 15}, {800, 1000, 1500, 2000, 3000, 4000, 5000}},
    {{16}, {1000, 1500, 2000, 3000, 5000, 0, 0}},
};
// Levels beyond a model's list, and types not listed.
constexpr int kOtherDefault = 200;

const int kSevenLevels[] = {3, 4, 6, 10, 11, 14, 15, 18, 19};
const int kFiveLevels[] = {2, 5, 7, 8, 9, 12, 13, 16, 17};
const int kScreenModels[] = {3, 10, 11};

} // namespace

CpiRange rangeFor(int mouseType)
{
    for (const RangeRow &row : kRanges)
        if (isOneOf(mouseType, row.types))
            return row.range;
    return kOtherRange;
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
    if (level < 0 || level >= int(std::size(kDefaults[0].cpi)))
        return kOtherDefault;
    for (const DefaultRow &row : kDefaults)
        if (isOneOf(mouseType, row.types))
            return row.cpi[level] != 0 ? row.cpi[level] : kOtherDefault;
    return kOtherDefault;
}

int levelCount(int mouseType)
{
    if (isOneOf(mouseType, kSevenLevels))
        return 7;
    if (isOneOf(mouseType, kFiveLevels))
        return 5;
    return 0;
}

bool hasScreenButton(int mouseType)
{
    return isOneOf(mouseType, kScreenModels);
}

} // namespace CpiTables
