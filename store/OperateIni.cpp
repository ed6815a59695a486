#include "store/OperateIni.h"

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
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.exists() && !file.open(QIODevice::WriteOnly)) {
        qWarning() << "cannot create" << path << file.errorString();
        return;
    }
    if (file.permissions() != kOwnerOnly)
        file.setPermissions(kOwnerOnly);
}

} // namespace

OperateIni::OperateIni(QObject *parent)
    : QObject(parent)
{
}

OperateIni::~OperateIni() = default;

void OperateIni::open(const QString &path, Access access)
{
    m_path = path;
    m_access = access;
    m_settings.reset(new QSettings(path, QSettings::IniFormat));
    m_settings->setIniCodec("UTF-8");
    // Never fall back to writing over the file in place.
    m_settings->setAtomicSyncRequired(true);
}

QString OperateIni::value(const QString &key)
{
    if (!m_settings)
        return QStringLiteral("key error or unInit obj");
    // Pick up what other objects or a deletion (logging out) did to the file.
    m_settings->sync();
    const QVariant v = m_settings->value(key);
    if (!v.isValid())
        return QStringLiteral("NULL");
    // An unquoted value with commas in a hand-edited file reads as a list.
    if (v.type() == QVariant::StringList)
        return v.toStringList().join(',');
    return v.toString();
}

void OperateIni::setValue(const QString &key, const QString &text)
{
    if (!m_settings)
        return;
    if (m_access == OwnerOnly)
        makePrivate(m_path);
    m_settings->setValue(key, text);
    m_settings->sync();
    if (m_settings->status() != QSettings::NoError)
        qWarning() << "cannot save" << m_path;
}
