#pragma once
// The Linux desktops' own places for pointer speed and wheel lines; the
// rest of the program reaches them through PointerSettings only.
#include "platform/PointerSettings.h"

#include <QString>
#include <memory>

namespace DesktopPointer {

// GSettings keeps the speed from -1 (slowest) to 1 (fastest) with 0 the
// default; the page's 1..20 has 10 as its default. Each half is mapped
// linearly, so 1, 10 and 20 meet -1, 0 and 1 and every page value comes back as itself.
double speedToGSettings(int speed);
int speedFromGSettings(double value);

// The "speed" key of a GSettings schema (GNOME and the desktops built on
// it); null when the schema or its key is not installed.
std::unique_ptr<PointerSpeedBackend> makeGSettingsSpeed(const char *schemaId);

// KDE Plasma's "WheelScrollLines" in the [KDE] group of kdeglobals. Only
// that line is written; the rest of the file is kept as it is.
std::unique_ptr<WheelLinesBackend> makeKdeWheelLines(const QString &kdeglobalsPath);

// The user's kdeglobals.
QString kdeglobalsPath();

} // namespace DesktopPointer
