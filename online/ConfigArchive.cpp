#include "online/ConfigArchive.h"

#include "platform/Log.h"

#include <quazip/JlCompress.h>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

namespace {

// Unix file type bits in the high half of a zip entry's external attributes.
constexpr quint32 kTypeMask = 0170000;
constexpr quint32 kSymlink = 0120000;

bool isLink(const QuaZipFileInfo64 &info)
{
    return ((info.externalAttr >> 16) & kTypeMask) == kSymlink;
}

// Writes one entry's bytes, never more than budget; false past it.
ConfigArchive::Result copyEntry(QuaZip &zip, const QString &destination, qint64 *budget)
{
    QuaZipFile entry(&zip);
    if (!entry.open(QIODevice::ReadOnly))
        return ConfigArchive::Result::Unreadable;
    QFile out(destination);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return ConfigArchive::Result::WriteFailed;
    char buffer[64 * 1024];
    for (;;) {
        const qint64 n = entry.read(buffer, sizeof buffer);
        if (n < 0)
            return ConfigArchive::Result::Unreadable;
        if (n == 0)
            break;
        // The sizes in the directory were checked, but the data decides.
        *budget -= n;
        if (*budget < 0)
            return ConfigArchive::Result::TooLarge;
        if (out.write(buffer, n) != n)
            return ConfigArchive::Result::WriteFailed;
    }
    entry.close();
    if (entry.getZipError() != UNZ_OK)
        return ConfigArchive::Result::Unreadable; // a CRC that does not match
    if (!out.flush())
        return ConfigArchive::Result::WriteFailed;
    return ConfigArchive::Result::Ok;
}

// Renames staging over target; on failure target is put back as it was.
bool swapIn(const QString &staging, const QString &target)
{
    const QFileInfo targetInfo(target);
    const QString parent = targetInfo.absolutePath();
    QString old;
    if (targetInfo.exists()) {
        QTemporaryDir oldPlace(parent + QStringLiteral("/.") + targetInfo.fileName() + QStringLiteral(".old-XXXXXX"));
        if (!oldPlace.isValid())
            return false;
        old = oldPlace.path();
        // The name was only reserved: the old folder moves in under it.
        if (!QDir(old).removeRecursively() || !QDir().rename(target, old))
            return false;
        oldPlace.setAutoRemove(false);
    }
    if (!QDir().rename(staging, target)) {
        if (!old.isEmpty() && !QDir().rename(old, target))
            qWarning() << "cannot put back" << target << "from" << old;
        return false;
    }
    if (!old.isEmpty())
        QDir(old).removeRecursively();
    return true;
}

} // namespace

namespace ConfigArchive {

bool compressFolder(const QString &folder, const QString &zipPath)
{
    if (!QFileInfo(folder).isDir())
        return false;
    return JlCompress::compressDir(zipPath, folder, true);
}

QString unsafeReason(const QString &entryName)
{
    if (entryName.isEmpty())
        return QStringLiteral("empty name");
    if (entryName.startsWith(QLatin1Char('/')) || entryName.startsWith(QLatin1Char('\\')))
        return QStringLiteral("absolute path");
    if (entryName.size() >= 2 && entryName.at(1) == QLatin1Char(':'))
        return QStringLiteral("drive letter");
    // A backslash is a separator where the archive was made, so it counts as one here too.
    if (entryName.contains(QLatin1Char('\\')))
        return QStringLiteral("backslash");
    if (entryName.contains(QChar(0)))
        return QStringLiteral("NUL in name");
    const QStringList parts = entryName.split(QLatin1Char('/'));
    for (const QString &part : parts) {
        if (part == QLatin1String(".."))
            return QStringLiteral("parent folder");
    }
    return QString();
}

Result extractSafely(const QString &zipPath, const QString &targetFolder, const Limits &limits)
{
    QuaZip zip(zipPath);
    if (!zip.open(QuaZip::mdUnzip))
        return Result::Unreadable;
    const QList<QuaZipFileInfo64> entries = zip.getFileInfoList64();
    if (zip.getZipError() != UNZ_OK)
        return Result::Unreadable;
    if (entries.size() > limits.maxEntries)
        return Result::TooLarge;

    // The whole directory is judged before a byte is written.
    qint64 declared = 0;
    QSet<QString> files;
    QSet<QString> folders;
    for (const QuaZipFileInfo64 &info : entries) {
        const QString reason = unsafeReason(info.name);
        if (!reason.isEmpty()) {
            qWarning() << "archive entry refused:" << reason << info.name;
            return Result::UnsafeEntry;
        }
        // Two entries for one path: which one is meant cannot be told, so
        // neither is taken (the last one would silently win).
        const bool folder = info.name.endsWith(QLatin1Char('/'));
        const QString path = QDir::cleanPath(info.name);
        if (files.contains(path) || (!folder && folders.contains(path))) {
            qCWarning(lcOnline) << "archive entry refused: a second entry for" << path;
            return Result::UnsafeEntry;
        }
        (folder ? folders : files).insert(path);
        if (isLink(info)) {
            qWarning() << "archive entry refused: link" << info.name;
            return Result::UnsafeEntry;
        }
        if (info.uncompressedSize > quint64(limits.maxTotalBytes))
            return Result::TooLarge;
        declared += qint64(info.uncompressedSize);
        if (declared > limits.maxTotalBytes)
            return Result::TooLarge;
    }

    const QFileInfo targetInfo(targetFolder);
    const QString parent = targetInfo.absolutePath();
    if (!QDir().mkpath(parent))
        return Result::WriteFailed;
    QTemporaryDir staging(parent + QStringLiteral("/.") + targetInfo.fileName() + QStringLiteral(".download-XXXXXX"));
    if (!staging.isValid())
        return Result::WriteFailed;
    const QDir root(staging.path());

    qint64 budget = limits.maxTotalBytes;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        const QString name = zip.getCurrentFileName();
        // The directory read above was judged; a name met only now is not trusted either.
        if (!unsafeReason(name).isEmpty())
            return Result::UnsafeEntry;
        const QString destination = root.filePath(name);
        if (name.endsWith(QLatin1Char('/'))) {
            if (!root.mkpath(name))
                return Result::WriteFailed;
            continue;
        }
        if (!root.mkpath(QFileInfo(destination).path()))
            return Result::WriteFailed;
        const Result copied = copyEntry(zip, destination, &budget);
        if (copied != Result::Ok)
            return copied;
    }
    if (zip.getZipError() != UNZ_OK)
        return Result::Unreadable;
    zip.close();

    if (!swapIn(staging.path(), targetInfo.absoluteFilePath()))
        return Result::WriteFailed;
    staging.setAutoRemove(false);
    return Result::Ok;
}

const char *resultName(Result result)
{
    switch (result) {
    case Result::Ok: return "Ok";
    case Result::Unreadable: return "Unreadable";
    case Result::UnsafeEntry: return "UnsafeEntry";
    case Result::TooLarge: return "TooLarge";
    case Result::WriteFailed: return "WriteFailed";
    }
    return "?";
}

} // namespace ConfigArchive
