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

} // namespace InstanceLock
