#include "platform/AppPaths.h"

#include "platform/LocalFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>

namespace {
QMutex g_mutex;
QString g_override;

bool isWritableDir(const QString &dir)
{
    QFileInfo info(dir);
    return info.isDir() && info.isWritable();
}

// An installed program keeps its shipped data in <prefix>/share/harrierdriver.
QString installedShare()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../share/harrierdriver");
}

bool isInstalled()
{
    return QFileInfo(installedShare()).isDir();
}
} // namespace

namespace AppPaths {

QString dataRoot()
{
    {
        QMutexLocker lock(&g_mutex);
        if (!g_override.isEmpty())
            return g_override;
    }
    // An installed program never writes below its prefix, even one the user may write to.
    const QString appDir = QCoreApplication::applicationDirPath();
    if (!appDir.isEmpty() && isWritableDir(appDir) && !isInstalled())
        return appDir;
    QString userDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    // The account token lives below it: a root we make is the user's alone.
    LocalFiles::makePrivatePath(userDir);
    return userDir;
}

void setDataRoot(const QString &root)
{
    QMutexLocker lock(&g_mutex);
    g_override = root;
}

QString shippedPath(const QString &relative)
{
    const QString beside = QCoreApplication::applicationDirPath() + relative;
    if (QFileInfo::exists(beside))
        return beside;
    const QString shared = installedShare() + relative;
    if (QFileInfo::exists(shared))
        return QDir::cleanPath(shared);
    return beside;
}

int makeOwnFilesPrivate()
{
    const QString root = dataRoot();
    int changed = 0;
    // A root of the user's data folder is the program's alone; the
    // executable's folder also holds what was shipped, which stays as it is.
    if (root != QCoreApplication::applicationDirPath())
        return LocalFiles::tightenTree(root);
    for (const char *own : {"ConfigFiles", "system", "Log", "keysetting", "Update/Clouds", "PointerSettings.ini",
                            "NoLongerRemind.ini", "Desktop.ini"}) {
        const QString path = root + QLatin1Char('/') + QLatin1String(own);
        if (QFileInfo::exists(path))
            changed += LocalFiles::tightenTree(path);
    }
    return changed;
}

} // namespace AppPaths
