#pragma once
// Whole files in and out, for tests that hold files against each other.
#include <QByteArray>
#include <QFile>
#include <QString>

// The file's bytes; empty when it cannot be read.
inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFileBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
