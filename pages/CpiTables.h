#pragma once
// The CPI rows of the settings page per model type: the range and steps of
// a row, the CPI a level takes when it is switched on without a usable
// value, and how many levels the page lays out.

namespace CpiTables {

struct CpiRange
{
    bool twoSteps; // finer steps below the threshold, coarser from it up
    int minimum;
    int middle; // the value printed in the middle of the scale
    int maximum;
    int step;      // the step (below the threshold, for two steps)
    int largeStep; // from the threshold up (two steps only)
    int threshold;
};

// The range of every CPI row of a model type.
CpiRange rangeFor(int mouseType);

// The CPI level `level` (0..6) takes when switched on below its row's minimum.
int defaultCpi(int mouseType, int level);

// Levels the page lays out for a model type: 7, 5, or 0 for a type it does not know.
int levelCount(int mouseType);

// True for the models with a screen whose picture the user draws.
bool hasScreenButton(int mouseType);

} // namespace CpiTables
