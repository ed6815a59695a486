#include "store/OperateIni.h"

#include "platform/LocalFiles.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// Qt replaces the file through a temporary copy and keeps the permissions of
// the file it replaces, so a private file has to exist, private, before the
// first value reaches it.
void makePrivate(const QString &path)
{
    QFile file(path);
    if (!file.exists() && !file.open(QIODevice::WriteOnly)) {
        qWarning() << "cannot create" << path << file.errorString();
        return;
    }
    if (file.permissions() != kOwnerOnly)
        file.setPermissions(kOwnerOnly);
}

} // namespace

namespace IniAccess {

bool mayRead(const QString &path)
{
    if (LocalFiles::isRegularOrMissing(path))
        return true;
    qWarning() << "not a regular file, ignored:" << path;
    return false;
}

bool mayWrite(const QString &path)
{
    QString reason;
    if (!LocalFiles::mayWrite(path, &reason)) {
        qWarning() << "refused to write" << path << "-" << reason;
        return false;
    }
    LocalFiles::makePrivatePath(QFileInfo(path).absolutePath());
    return true;
}

bool save(QSettings &settings)
{
    settings.sync();
    // A damaged file read earlier leaves FormatError behind, yet the values
    // were written; only an access error means they were not.
    if (settings.status() == QSettings::AccessError) {
        qWarning() << "cannot save" << settings.fileName();
        return false;
    }
    return true;
}

} // namespace IniAccess

OperateIni::OperateIni(QObject *parent)
    : QObject(parent)
{
}

OperateIni::~OperateIni() = default;

void OperateIni::open(const QString &path, Access access)
{
    m_path = path;
    m_access = access;
    m_opened = true;
    m_settings.reset();
}

QSettings *OperateIni::settings()
{
    // QSettings reads its file as soon as it exists: check the file first.
    if (!IniAccess::mayRead(m_path))
        return nullptr;
    if (!m_settings) {
        m_settings.reset(new QSettings(m_path, QSettings::IniFormat));
        m_settings->setIniCodec("UTF-8");
        // Never fall back to writing over the file in place.
        m_settings->setAtomicSyncRequired(true);
    }
    return m_settings.get();
}

QString OperateIni::value(const QString &key)
{
    if (!m_opened)
        return QStringLiteral("key error or unInit obj");
    QSettings *ini = settings();
    if (!ini)
        return QStringLiteral("NULL");
    // Pick up what other objects or a deletion (logging out) did to the file.
    ini->sync();
    const QVariant v = ini->value(key);
    if (!v.isValid())
        return QStringLiteral("NULL");
    // An unquoted value with commas in a hand-edited file reads as a list.
    if (v.type() == QVariant::StringList)
        return v.toStringList().join(',');
    return v.toString();
}

bool OperateIni::setValue(const QString &key, const QString &text)
{
    if (!m_opened || !IniAccess::mayWrite(m_path))
        return false;
    if (m_access == OwnerOnly)
        makePrivate(m_path);
    QSettings *ini = settings();
    if (!ini)
        return false;
    ini->setValue(key, text);
    return IniAccess::save(*ini);
}
