#pragma once
// An emulated mouse keeps its memory between runs, as a real one does: what
// a run wrote into it is there when the program starts again (a trial of the
// window with --emulate otherwise found a factory-fresh mouse every time and
// took an edited configuration for another). One file per emulated device
// form under the user's data folder; "--emulate-fresh" starts clean.
#include "emulator/EmulatedCatalog.h"

#include <QString>

namespace EmulatedMemory {

// The file the devices of one --emulate name keep their memory in.
QString fileFor(const QString &name);

// Puts back what an earlier run left in the devices. A missing file leaves
// them factory-fresh; a damaged one too, with a warning.
void restore(const QString &name, const EmulatedDevices &devices);

// What the devices hold now, as save() writes it.
QByteArray stateOf(const EmulatedDevices &devices);

// Writes what the devices hold now (privately, replaced whole); false when
// it cannot be written.
bool save(const QString &name, const EmulatedDevices &devices);

} // namespace EmulatedMemory
