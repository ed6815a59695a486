#pragma once
// The program's name and version, shared by the window and harrierctl so
// both keep their files in the same place and report the same version.
#include <QString>

namespace AppIdentity {

inline const QString kApplicationName = QStringLiteral("HarrierDriver");
inline const QString kApplicationVersion = QStringLiteral("0.9.013950.0828");
// The window's single-instance key (its lock and socket names); a second
// copy also sends it as its message.
inline const QString kInstanceKey = QStringLiteral("Osprey");

// Sets the application name and version that other parts read back.
void setApplicationIdentity();

} // namespace AppIdentity
