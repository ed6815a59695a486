#pragma once
#include "platform/hid/HidBackend.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace Hid {

// Parses a HID report descriptor into the caps of each top-level collection,
// in descriptor order. Descriptors come from devices and are not trusted:
// a malformed one gives false with a reason in *error, never a crash. A
// collection with absurd sizes or counts is left out alone: the others are
// returned, true, and *error names what was skipped (empty when nothing was).
bool parseReportDescriptor(const QByteArray &descriptor, QVector<HidCollectionCaps> *collections,
                           QString *error = nullptr);

} // namespace Hid
