#include "platform/Autostart.h"

#include "platform/LocalFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// A path as one Exec argument: quoted, with the characters the desktop
// entry format reserves inside quotes escaped.
QString execArgument(const QString &path)
{
    QString escaped;
    for (const QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    // Escapes are themselves escaped in a desktop entry's string values.
    escaped.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('%'), QLatin1String("%%"));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

} // namespace

namespace Autostart {

QString entryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/autostart/org.harrierdriver.harrierdriver.desktop");
}

bool isEnabled()
{
    const QString path = entryPath();
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = file.read(64 * 1024);
    return !text.contains("\nHidden=true");
}

bool setEnabled(bool enabled, const QString &program, QString *why)
{
    const QString path = entryPath();
    if (!enabled) {
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
            return true;
        if (QFile::remove(path))
            return true;
        if (why)
            *why = QStringLiteral("%1 could not be removed").arg(path);
        return false;
    }
    // A desktop entry is line-based: a line break in the path would start a
    // second key, and launchers do not agree on escaped control characters.
    for (const QChar c : program) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            if (why)
                *why = QStringLiteral("the program's path contains a line break or another control character, "
                                      "which an autostart entry cannot hold; move the program to a plain path");
            return false;
        }
    }
    QString reason;
    if (!LocalFiles::mayWrite(path, &reason)) {
        if (why)
            *why = reason;
        return false;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray entry = QStringLiteral("[Desktop Entry]\n"
                                            "Type=Application\n"
                                            "Name=HarrierDriver\n"
                                            "Comment=Keeps the gaming mouse's settings at hand in the tray\n"
                                            "Exec=%1 --hidden\n"
                                            "Icon=org.harrierdriver.harrierdriver\n"
                                            "Terminal=false\n"
                                            "X-GNOME-Autostart-enabled=true\n")
                                 .arg(execArgument(program))
                                 .toUtf8();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(entry) != entry.size()) {
        if (why)
            *why = QStringLiteral("%1 could not be written").arg(path);
        return false;
    }
    return true;
}

QString programBesideThisOne()
{
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/HarrierDriver");
    return QFileInfo(beside).isExecutable() ? QFileInfo(beside).absoluteFilePath() : QStringLiteral("HarrierDriver");
}

} // namespace Autostart
