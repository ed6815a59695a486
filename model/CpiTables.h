#pragma once
// The CPI rows of each model type: the range and steps of a level, the CPI
// a level takes when it is switched on without a usable value, and how many
// levels the model has. The settings page, harrierctl, the import check and
// the managers all ask here, so a value one of them takes all of them take.

#include "model/ProductTable.h"

namespace CpiTables {

using ::CpiRange;

// The range of every CPI row of a model type.
CpiRange rangeFor(int mouseType);

// Whether a CPI lies in the model's range and on its step (0, a level
// switched off, is not a CPI: callers decide about it).
bool fits(const CpiRange &range, int cpi);
bool fits(int mouseType, int cpi);

// The nearest CPI the model takes: into the range, then onto the step.
int clamped(int mouseType, int cpi);

// The CPI level `level` (0..6) takes when switched on below its row's minimum.
int defaultCpi(int mouseType, int level);

// Levels the page lays out for a model type: 7, 5, or 0 for a type it does not know.
int levelCount(int mouseType);

// True for the models with a screen whose picture the user draws.
bool hasScreenButton(int mouseType);

} // namespace CpiTables
