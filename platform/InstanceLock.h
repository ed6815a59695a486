#pragma once
// The lock files that keep one copy of the window per user, and one
// harrierctl at a time on the mice, in a folder the user alone can enter.
#include <QString>

namespace InstanceLock {

// The folder of the locks and the window's socket: the runtime folder when
// it is private, else a private folder of the user's in the temporary folder
// (made when missing), else one in the user's cache.
QString folder();

// The lock file of a key in that folder.
QString lockPath(const QString &key);

// True when a live process holds the key's lock. Asked by reading the lock,
// never by taking it, so two programs asking at once cannot mistake each
// other for the holder.
bool isHeld(const QString &key);

// What clearAbandoned found.
enum class LockState {
    Free,      // no lock file
    Held,      // a live process holds it (or it is too new to judge)
    Cleared,   // it was abandoned and is gone now
    Stuck,     // it is abandoned but cannot be removed
};

// Looks at the lock file at path when taking it failed, and removes it when
// nobody holds it: left by a killed run, empty or unreadable, a symbolic
// link, the user's own file with no permissions, another user's file.
// "Nobody holds it" is asked of the kernel (a holder keeps a lock on the
// open file), not of the file's text. A file too young to judge (a holder
// may be between creating and locking it) counts as held. what says what was
// wrong (Cleared) or why it stays and what to do (Stuck).
LockState clearAbandoned(const QString &path, QString *what);

} // namespace InstanceLock
