#include "store/SafeFile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

namespace {
std::function<bool(const QString &)> g_beforeReplace;

bool passesHook(const QString &path)
{
    return !g_beforeReplace || g_beforeReplace(path);
}

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
} // namespace

namespace SafeFile {

bool writeAtomically(const QString &path, const QByteArray &bytes, bool ownerOnly)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    // Keep the guarantee: never fall back to writing over the old file in place.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        qWarning() << "cannot write" << path << file.errorString();
        return false;
    }
    // Narrow the temporary file before the first byte reaches it.
    if (ownerOnly)
        file.setPermissions(kOwnerOnly);
    if (file.write(bytes) != bytes.size()) {
        qWarning() << "cannot write" << path << file.errorString();
        file.cancelWriting();
        file.commit();
        return false;
    }
    if (!passesHook(path)) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    if (!file.commit()) {
        qWarning() << "cannot replace" << path << file.errorString();
        return false;
    }
    return true;
}

bool readAll(const QString &path, QByteArray *bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (file.size() > kMaxReadBytes) {
        qWarning() << "file too large, ignored:" << path << file.size();
        return false;
    }
    *bytes = file.read(kMaxReadBytes + 1);
    if (bytes->size() > kMaxReadBytes) {
        qWarning() << "file too large, ignored:" << path;
        bytes->clear();
        return false;
    }
    return true;
}

JsonRead readJsonObject(const QString &path, QJsonObject *object)
{
    QByteArray bytes;
    if (!readAll(path, &bytes) || bytes.isEmpty())
        return JsonRead::Unreadable;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || doc.isNull())
        return JsonRead::Unreadable;
    if (!doc.isObject())
        return JsonRead::NotObject;
    *object = doc.object();
    return JsonRead::Ok;
}

bool writeJsonObject(const QString &path, const QJsonObject &object)
{
    return writeAtomically(path, QJsonDocument(object).toJson(QJsonDocument::Compact));
}

void setBeforeReplaceHook(std::function<bool(const QString &)> hook)
{
    g_beforeReplace = std::move(hook);
}

} // namespace SafeFile
