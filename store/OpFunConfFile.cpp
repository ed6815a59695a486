#include "store/OpFunConfFile.h"

#include "store/SettingsFiles.h"

#include <QStringList>

namespace {
const char *const kMidKey = "/SET/Mid_key";
const char *const kMidWheel = "/SET/Mid_wheel";
const char *const kSideUpKey = "/SET/Side_upkey";
const char *const kSideDownKey = "/SET/Side_downkey";
const char *const kSideWheel = "/SET/Side_wheel";
} // namespace

OpFunConfFile::OpFunConfFile(QObject *parent)
    : QObject(parent)
{
    m_ini.open(SettingsFiles::systemIniPath(), OperateIni::OwnerOnly);
}

QString OpFunConfFile::functionJson(const QString &key)
{
    const QStringList parts = m_ini.value(key).split('-');
    if (parts.size() != 3)
        return QString();
    return QStringLiteral("{\"name\":\"%1\",\"index\":%2,\"tag\":\"%3\"}").arg(parts[0], parts[1], parts[2]);
}

QString OpFunConfFile::GetMidKey() { return functionJson(kMidKey); }
QString OpFunConfFile::GetMidWheel() { return functionJson(kMidWheel); }
QString OpFunConfFile::GetSideUpKey() { return functionJson(kSideUpKey); }
QString OpFunConfFile::GetSideDownKey() { return functionJson(kSideDownKey); }
QString OpFunConfFile::GetSideWheel() { return functionJson(kSideWheel); }
void OpFunConfFile::SetMidKey(const QString &text) { m_ini.setValue(kMidKey, text); }
void OpFunConfFile::SetMidWheel(const QString &text) { m_ini.setValue(kMidWheel, text); }
void OpFunConfFile::SetSideUpKey(const QString &text) { m_ini.setValue(kSideUpKey, text); }
void OpFunConfFile::SetSideDownKey(const QString &text) { m_ini.setValue(kSideDownKey, text); }
void OpFunConfFile::SetSideWheel(const QString &text) { m_ini.setValue(kSideWheel, text); }

void OpFunConfFile::ClearAll()
{
    for (const char *key : {kMidKey, kMidWheel, kSideUpKey, kSideDownKey, kSideWheel})
        m_ini.setValue(key, QString());
}
