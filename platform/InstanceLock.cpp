#include "platform/InstanceLock.h"

#include "platform/LocalFiles.h"
#include "platform/Log.h"
#include "platform/Process.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

namespace InstanceLock {

QString folder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && LocalFiles::isPrivateFolder(runtime))
        return runtime;
    const QString shared = QDir::tempPath() + QStringLiteral("/harrier-") + Process::currentUserId();
    if (!QFileInfo(shared).exists() && !QFileInfo(shared).isSymLink())
        LocalFiles::makePrivatePath(shared);
    if (LocalFiles::isPrivateFolder(shared))
        return shared;
    qCWarning(lcPlatform) << "InstanceLock: not using" << shared << "- it is no private folder of the user";
    const QString cache =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/HarrierDriver");
    LocalFiles::makePrivatePath(cache);
    return cache;
}

QString lockPath(const QString &key)
{
    return folder() + QLatin1Char('/') + key + QStringLiteral(".lock");
}

bool isHeld(const QString &key)
{
    QLockFile lock(lockPath(key));
    qint64 pid = 0;
    QString host;
    QString application;
    // A lock left by a crashed copy names a process that is gone.
    return lock.getLockInfo(&pid, &host, &application) && pid > 0 && Process::isAlive(pid);
}

} // namespace InstanceLock
