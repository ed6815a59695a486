#pragma once
// Helpers to look at the files a test's application folder holds.
#include "support/TempAppFolder.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>

// The profile readers log every byte; keep test output readable.
inline void quietDebugLog()
{
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
}

inline QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QJsonObject readObject(const QString &path)
{
    return QJsonDocument::fromJson(readBytes(path)).object();
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

inline void writeObject(const QString &path, const QJsonObject &o)
{
    writeBytes(path, QJsonDocument(o).toJson(QJsonDocument::Compact));
}
