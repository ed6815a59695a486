#include "platform/LocalFiles.h"

#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes a descriptor when it goes out of scope.
struct Descriptor
{
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

QByteArray nativePath(const QString &path) { return QFile::encodeName(path); }

} // namespace

namespace LocalFiles {

bool readRegularFile(const QString &path, qint64 maxBytes, QByteArray *bytes, ReadFailure *failure)
{
    ReadFailure ignored;
    ReadFailure &why = failure ? *failure : ignored;
    why = ReadFailure::None;
    if (!bytes || maxBytes < 0) {
        why = ReadFailure::Unreadable;
        return false;
    }
    // O_NONBLOCK: opening a FIFO with no writer must not wait for one.
    Descriptor file{::open(nativePath(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0) {
        why = errno == ENOENT || errno == EACCES || errno == ENOTDIR ? ReadFailure::Missing : ReadFailure::NotRegular;
        return false;
    }
    struct stat info {};
    if (::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        why = ReadFailure::NotRegular;
        return false;
    }
    if (info.st_size > maxBytes) {
        why = ReadFailure::TooLarge;
        return false;
    }
    // The file may grow while we read: never take more than the limit.
    QByteArray data;
    data.reserve(int(info.st_size));
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(file.fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            why = ReadFailure::Unreadable;
            return false;
        }
        if (n == 0)
            break;
        if (data.size() + n > maxBytes) {
            why = ReadFailure::TooLarge;
            return false;
        }
        data.append(chunk, int(n));
    }
    *bytes = data;
    return true;
}

bool isRegularOrMissing(const QString &path)
{
    struct stat info {};
    if (::stat(nativePath(path).constData(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR;
    return S_ISREG(info.st_mode);
}

bool mayWrite(const QString &path, QString *reason)
{
    struct stat info {};
    if (::lstat(nativePath(path).constData(), &info) != 0) {
        if (errno == ENOENT)
            return true;
        if (reason)
            *reason = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    QString why;
    if (S_ISLNK(info.st_mode))
        why = QStringLiteral("it is a symbolic link");
    else if (!S_ISREG(info.st_mode))
        why = QStringLiteral("it is not a regular file");
    else if (info.st_uid != ::geteuid())
        why = QStringLiteral("it belongs to another user");
    if (why.isEmpty())
        return true;
    if (reason)
        *reason = why;
    return false;
}

bool appendToRegularFile(const QString &path, const QByteArray &bytes)
{
    Descriptor file{::open(nativePath(path).constData(),
                           O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY,
                           S_IRUSR | S_IWUSR)};
    if (file.fd < 0)
        return false;
    struct stat info {};
    if (::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid())
        return false;
    qint64 written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(file.fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += n;
    }
    return true;
}

bool makePrivatePath(const QString &path)
{
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    if (QFileInfo(clean).isDir())
        return true;
    const QString parent = QFileInfo(clean).path();
    if (parent != clean && !makePrivatePath(parent))
        return false;
    if (::mkdir(nativePath(clean).constData(), S_IRWXU) != 0 && errno != EEXIST)
        return false;
    return QFileInfo(clean).isDir();
}

bool isPrivateFolder(const QString &path)
{
    struct stat info {};
    return ::lstat(nativePath(path).constData(), &info) == 0 && S_ISDIR(info.st_mode)
           && info.st_uid == ::geteuid() && (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

bool ownedByUser(const QString &path)
{
    struct stat info {};
    return ::lstat(nativePath(path).constData(), &info) == 0 && info.st_uid == ::geteuid();
}

void restrictNewFiles()
{
    ::umask(S_IRWXG | S_IRWXO);
}

int tightenTree(const QString &root)
{
    int changed = 0;
    const auto tighten = [&changed](const QString &path) {
        struct stat st;
        if (::lstat(nativePath(path).constData(), &st) != 0 || st.st_uid != ::getuid())
            return;
        if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode))
            return;
        const mode_t wanted = S_ISDIR(st.st_mode) ? S_IRWXU : (st.st_mode & (S_IRUSR | S_IWUSR | S_IXUSR));
        if ((st.st_mode & 07777) == wanted)
            return;
        if (::chmod(nativePath(path).constData(), wanted) == 0) {
            ++changed;
            qInfo().noquote() << QStringLiteral("made private (was %1): %2").arg(st.st_mode & 07777, 4, 8, QLatin1Char('0')).arg(path);
        }
    };
    tighten(root);
    if (!QFileInfo(root).isDir() || QFileInfo(root).isSymLink())
        return changed;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        tighten(it.next());
    return changed;
}

} // namespace LocalFiles
