#pragma once
// The signed-in account: e-mail, nick name and the web service's token, in
// "/system/system.ini", group INFO. The file is private to the user.
#include "store/OperateIni.h"

#include <QObject>

class OperateToken : public QObject
{
    Q_OBJECT
public:
    explicit OperateToken(QObject *parent = nullptr);

    // Stored texts; "NULL" when not signed in.
    QString GetToken();
    QString GetEmail();
    QString GetNickName();
    void SetToken(const QString &token);
    void SetEmail(const QString &email);
    void SetNickName(const QString &nickName);

private:
    OperateIni m_ini;
};
