#include "data/BatteryFilter.h"

#include <QDebug>
#include <cstdlib>

namespace {
// Readings this many points or more away from the published value count as a change.
constexpr int kChangeThreshold = 3;
// Changed readings gathered before the published value moves.
constexpr int kSamplesPerMove = 5;
// After sorting the samples largest first, the published one: the second-smallest.
constexpr int kChosenSample = 3;
} // namespace

bool BatteryFilter::FilterTheQuantityOfElectricCharge(DWORD value, DWORD *out)
{
    const int v = int(value);
    qDebug() << "FilterTheQuantityOfElectricCharge value" << v;

    if (firstReadings) {
        reading1 = reading2;
        reading2 = reading3;
        reading3 = v;
        if (reading1 == 0 && reading2 == 0 && reading3 == 0) {
            *out = kNoReading;
            return true;
        }
        if (std::abs(reading2 - reading1) > 1 || std::abs(reading3 - reading2) > 1)
            return false;
        current = v;
        firstReadings = false;
        qDebug() << "+++FilterTheQuantityOfElectricCharge getCorrectValue+++" << reading1 << reading2
                 << reading3;
        *out = DWORD(v);
        return true;
    }

    if (v == current) {
        filterCount = 0;
        samples.clear();
        return false;
    }
    if (std::abs(v - current) < kChangeThreshold)
        return false;

    samples.append(v);
    ++filterCount;
    qDebug() << "Now filter times is " << filterCount;
    qDebug() << "Now current battery value is" << current;
    if (filterCount < kSamplesPerMove)
        return false;

    // Largest first, by adjacent swaps.
    for (int pass = 0; pass < samples.size() - 1; ++pass)
        for (int i = 0; i < samples.size() - 1 - pass; ++i)
            if (samples[i] < samples[i + 1])
                samples.swapItemsAt(i, i + 1);
    current = samples.at(kChosenSample);
    filterCount = 0;
    samples.clear();
    *out = DWORD(current);
    return true;
}

void BatteryFilter::restart()
{
    firstReadings = true;
    reading3 = 0;
    filterCount = 0;
    current = 0;
    samples.clear();
}
