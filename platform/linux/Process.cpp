#include "platform/Process.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

QString baseName(const QByteArray &path)
{
    const QString text = QString::fromLocal8Bit(path);
    return text.mid(text.lastIndexOf(QLatin1Char('/')) + 1);
}

// True when the process in /proc/<pidDir> runs the program named name.
bool runs(const QString &pidDir, const QString &name)
{
    const QString exe = QFile::symLinkTarget(pidDir + QStringLiteral("/exe"));
    if (!exe.isEmpty() && QFileInfo(exe).fileName().compare(name, Qt::CaseInsensitive) == 0)
        return true;

    // A program run through an interpreter or a compatibility layer shows
    // its own name only at the start of its command line.
    QFile cmdline(pidDir + QStringLiteral("/cmdline"));
    if (!cmdline.open(QIODevice::ReadOnly))
        return false;
    // Kernel threads and exited processes have no command line: they run nothing.
    const QByteArray argv0 = cmdline.read(4096).split('\0').value(0);
    if (argv0.isEmpty())
        return false;
    QString program = baseName(argv0);
    program = program.mid(program.lastIndexOf(QLatin1Char('\\')) + 1);
    return program.compare(name, Qt::CaseInsensitive) == 0;
}

// Process ids of the current user's processes running name, this one excluded.
QList<pid_t> find(const QString &name)
{
    QList<pid_t> found;
    if (name.isEmpty())
        return found;
    const uid_t me = getuid();
    const pid_t self = getpid();
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool isPid = false;
        const pid_t pid = entry.toInt(&isPid);
        if (!isPid || pid == self)
            continue;
        const QString dir = QStringLiteral("/proc/") + entry;
        struct stat info {};
        if (stat(QFile::encodeName(dir).constData(), &info) != 0 || info.st_uid != me)
            continue;
        if (runs(dir, name))
            found.append(pid);
    }
    return found;
}

} // namespace

namespace Process {

bool isRunning(const QString &name)
{
    return !find(name).isEmpty();
}

int endAll(const QString &name)
{
    int ended = 0;
    for (pid_t pid : find(name)) {
        if (kill(pid, SIGKILL) == 0)
            ++ended;
    }
    return ended;
}

bool startDetached(const QString &program)
{
    const QFileInfo file(program);
    if (!file.isFile() || !file.isExecutable())
        return false;
    return QProcess::startDetached(file.absoluteFilePath(), {}, file.absolutePath());
}

bool isAlive(qint64 pid)
{
    if (pid <= 0 || pid != qint64(pid_t(pid)))
        return false;
    // EPERM: it exists, but belongs to someone else.
    return kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

QString currentUserId()
{
    return QString::number(getuid());
}

} // namespace Process
