#pragma once
#include <QString>
#include <QtGlobal>

// Other programs of the running session: the firmware updater and the
// restarter are separate programs that the main window looks for, ends or
// starts. Names are executable file names such as "KorvanUpdataOnce.exe",
// compared case-insensitively, since the Windows names are kept.
namespace Process {

// True when a process of the current user runs the program named name
// (its executable or the program its command line starts with).
bool isRunning(const QString &name);

// Ends every process of the current user running the program named name,
// at once (as a forced task kill does), never this process itself.
// Returns how many were ended.
int endAll(const QString &name);

// Starts program without arguments, detached from this process; false when
// the file is missing or cannot be started.
bool startDetached(const QString &program);

// True when a process with this id exists (of any user).
bool isAlive(qint64 pid);

// The current user as text (the numeric user id on Unix, the user name
// elsewhere), for folders that must be the user's own.
QString currentUserId();

} // namespace Process
