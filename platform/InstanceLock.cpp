#include "platform/InstanceLock.h"

#include "platform/LocalFiles.h"
#include "platform/Log.h"
#include "platform/Process.h"

#include <QDebug>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

#ifdef Q_OS_UNIX

namespace {

// A holder creates the file and locks it a moment later; a file younger
// than this with no lock on it may be one being taken right now.
constexpr int kYoungestAbandonedMs = 2000;

bool olderThanAMoment(const struct stat &st)
{
    const QDateTime changed = QDateTime::fromSecsSinceEpoch(qint64(st.st_mtime));
    return qAbs(changed.msecsTo(QDateTime::currentDateTime())) > kYoungestAbandonedMs;
}

// What the lock's text says of its holder, for the message.
// holderEnded: the text names a process that has ended (a killed run's lock).
QString describeText(const QByteArray &text, bool *holderEnded)
{
    *holderEnded = false;
    if (text.isEmpty())
        return QStringLiteral("it was empty");
    bool ok = false;
    const qint64 pid = text.split('\n').value(0).trimmed().toLongLong(&ok);
    if (!ok || pid <= 0)
        return QStringLiteral("it held no process number (damaged)");
    if (!Process::isAlive(pid)) {
        *holderEnded = true;
        return QStringLiteral("the run that left it (process %1) has ended").arg(pid);
    }
    return QStringLiteral("process %1 named in it no longer holds it").arg(pid);
}

} // namespace

LockState clearAbandoned(const QString &path, QString *what)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::lstat(name.constData(), &st) != 0)
        return LockState::Free;
    const auto stuck = [&](const QString &why) {
        if (what)
            *what = QStringLiteral("%1 %2; remove it (rm -rf '%1') and try again").arg(path, why);
        return LockState::Stuck;
    };
    const auto cleared = [&](const QString &why) {
        if (::unlink(name.constData()) != 0)
            return stuck(QStringLiteral("was left behind (%1) and cannot be removed: %2")
                             .arg(why, QString::fromLocal8Bit(std::strerror(errno))));
        if (what)
            *what = QStringLiteral("removed the abandoned lock %1: %2").arg(path, why);
        qCWarning(lcPlatform) << "InstanceLock: removed" << path << "-" << why;
        return LockState::Cleared;
    };

    if (S_ISLNK(st.st_mode))
        return cleared(QStringLiteral("it was a symbolic link, which no run of ours makes"));
    if (!S_ISREG(st.st_mode))
        return stuck(QStringLiteral("is not a file"));

    int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && errno == EACCES && st.st_uid == ::getuid()) {
        // The user's own lock with its permissions taken away: a holder of
        // ours never does that, but give it back its read bit to look.
        ::chmod(name.constData(), S_IRUSR | S_IWUSR);
        fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    }
    if (fd < 0) {
        // Another user's file in the user's private folder: no run of the
        // user's can be holding it.
        if (!olderThanAMoment(st))
            return LockState::Held;
        return cleared(st.st_uid != ::getuid() ? QStringLiteral("it belonged to another user (uid %1)").arg(st.st_uid)
                                               : QStringLiteral("it could not be read"));
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return LockState::Held;
    }
    QByteArray text(256, '\0');
    const ssize_t got = ::read(fd, text.data(), size_t(text.size()));
    text.resize(got > 0 ? int(got) : 0);
    bool holderEnded = false;
    const QString why = describeText(text, &holderEnded);
    // A text naming a process that has ended is a killed run's: clear at
    // once. Anything else might be a holder between creating and locking.
    LockState state = LockState::Held;
    if (holderEnded || olderThanAMoment(st))
        state = cleared(why);
    ::close(fd); // after the unlink, so nobody takes the file between the two
    return state;
}

#else

LockState clearAbandoned(const QString &, QString *)
{
    return LockState::Held; // QLockFile's own staleness rules stand
}

#endif

} // namespace InstanceLock
