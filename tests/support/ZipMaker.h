#pragma once
// Makes zip archives for the tests, hostile ones included: any entry name,
// link entries, and folder snapshots to prove a folder unchanged.
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

struct ZipEntry
{
    QString name;
    QByteArray data;
    bool link = false; // a symbolic link whose target is data
};

inline bool writeZip(const QString &path, const QList<ZipEntry> &entries)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    for (const ZipEntry &entry : entries) {
        QuaZipNewInfo info(entry.name);
        if (entry.link)
            info.externalAttr = (0120777u) << 16;
        else
            info.externalAttr = (0100644u) << 16;
        QuaZipFile file(&zip);
        if (!file.open(QIODevice::WriteOnly, info))
            return false;
        file.write(entry.data);
        file.close();
        if (file.getZipError() != 0)
            return false;
    }
    zip.close();
    return zip.getZipError() == 0;
}

inline QByteArray zipBytes(const QList<ZipEntry> &entries)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/a.zip";
    if (!writeZip(path, entries))
        return QByteArray();
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// Every file below folder (relative path -> bytes), and every folder (path -> "<dir>").
inline QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(folder).relativeFilePath(path);
        const QFileInfo info(path);
        if (info.isSymLink()) {
            files.insert(relative, "<link>" + info.symLinkTarget().toUtf8());
        } else if (info.isDir()) {
            files.insert(relative, "<dir>");
        } else {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            files.insert(relative, file.readAll());
        }
    }
    return files;
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
}

// The names in an archive.
inline QStringList zipNames(const QString &path)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip))
        return {};
    QStringList names = zip.getFileNameList();
    names.sort();
    return names;
}
