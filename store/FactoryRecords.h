#pragma once
// The factory profile records of every model type, as data.
#include <QByteArray>

namespace FactoryRecords {

constexpr int kKorvanSize = 128; // first family
constexpr int kTernSize = 234;   // second and third families

// Sets record to the first-family factory record of mouseType and returns
// true; a model type the family does not know leaves record untouched.
bool fillKorvan(QByteArray &record, int mouseType);

// The same for the second and third families.
bool fillTern(QByteArray &record, int mouseType);

} // namespace FactoryRecords
