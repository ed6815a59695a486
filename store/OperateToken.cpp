#include "store/OperateToken.h"

#include "store/SettingsFiles.h"

OperateToken::OperateToken(QObject *parent)
    : QObject(parent)
{
    m_ini.open(SettingsFiles::systemIniPath(), OperateIni::OwnerOnly);
}

QString OperateToken::GetToken() { return m_ini.value("/INFO/token"); }
QString OperateToken::GetEmail() { return m_ini.value("/INFO/email"); }
QString OperateToken::GetNickName() { return m_ini.value("/INFO/nickName"); }
void OperateToken::SetToken(const QString &token) { m_ini.setValue("/INFO/token", token); }
void OperateToken::SetEmail(const QString &email) { m_ini.setValue("/INFO/email", email); }
void OperateToken::SetNickName(const QString &nickName) { m_ini.setValue("/INFO/nickName", nickName); }
