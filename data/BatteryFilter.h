#pragma once
#include "platform/WinTypes.h"

#include <QList>

// Smooths the battery percentage of a wireless mouse, whose raw readings
// jitter by a point or two and now and then jump. Until three readings in a
// row agree within one point nothing is trusted (agreement phase); after
// that the published value moves only when five readings at least three
// points away have come in, and then to the second-smallest of them.
class BatteryFilter
{
public:
    // Value published for three zero readings in a row: nothing valid to show.
    static constexpr DWORD kNoReading = 103;

    // Feeds one reading; returns true with the value to publish in *out, or
    // false when nothing is to be published for this reading.
    bool FilterTheQuantityOfElectricCharge(DWORD value, DWORD *out);

    // Back to the agreement phase, keeping the readings (a failed read or a device error).
    void reopenAgreement() { firstReadings = true; }
    // A fresh start after the profile was read: the last reading and the
    // tracking state are dropped, the two older readings stay.
    void restart();

    bool isAgreeing() const { return firstReadings; }
    int currentValue() const { return current; }
    int pendingSamples() const { return filterCount; }

private:
    bool firstReadings = true;
    int reading1 = 0;
    int reading2 = 0;
    int reading3 = 0;
    int filterCount = 0;
    int current = 0;
    QList<int> samples;
};
