#include "store/SafeFile.h"

#include "platform/LocalFiles.h"

#include <QDebug>
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
    QString reason;
    if (!LocalFiles::mayWrite(path, &reason)) {
        qWarning() << "refused to write" << path << "-" << reason;
        return false;
    }
    LocalFiles::makePrivatePath(QFileInfo(path).absolutePath());
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

bool readAll(const QString &path, QByteArray *bytes, bool *tooLarge, qint64 maxBytes)
{
    LocalFiles::ReadFailure failure = LocalFiles::ReadFailure::None;
    const bool ok = LocalFiles::readRegularFile(path, maxBytes, bytes, &failure);
    if (failure == LocalFiles::ReadFailure::TooLarge)
        qWarning() << "file too large, ignored:" << path;
    else if (failure == LocalFiles::ReadFailure::NotRegular)
        qWarning() << "not a regular file, ignored:" << path;
    if (tooLarge)
        *tooLarge = failure == LocalFiles::ReadFailure::TooLarge;
    return ok;
}

JsonRead readJsonObject(const QString &path, QJsonObject *object)
{
    QByteArray bytes;
    bool tooLarge = false;
    if (!readAll(path, &bytes, &tooLarge))
        return tooLarge ? JsonRead::TooLarge : JsonRead::Unreadable;
    if (bytes.isEmpty())
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
