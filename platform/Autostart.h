#pragma once
// Starting with the desktop session: an XDG autostart entry
// ($XDG_CONFIG_HOME/autostart/org.harrierdriver.harrierdriver.desktop) that
// starts the program hidden in the tray. Off until the user switches it on.
#include <QString>

namespace Autostart {

// Where the entry lives.
QString entryPath();
// Whether the entry is there (and not switched off with Hidden=true).
bool isEnabled();
// Writes or removes the entry; program is the HarrierDriver to start (its
// absolute path). False, with why, when the entry could not be changed.
bool setEnabled(bool enabled, const QString &program, QString *why = nullptr);
// The HarrierDriver beside the running program (the window itself, or the
// one harrierctl is installed with); "HarrierDriver" when there is none.
QString programBesideThisOne();

} // namespace Autostart
