#pragma once
// The functions of the middle, wheel and side buttons as exchanged with the
// web service: "/system/system.ini", group SET, each stored as
// name-index-tag and read back as a small JSON text.
#include "store/OperateIni.h"

#include <QObject>

class OpFunConfFile : public QObject
{
    Q_OBJECT
public:
    explicit OpFunConfFile(QObject *parent = nullptr);

    // {"name":"<name>","index":<index>,"tag":"<tag>"}, or empty unless the
    // stored text has exactly three parts.
    QString GetMidKey();
    QString GetMidWheel();
    QString GetSideUpKey();
    QString GetSideDownKey();
    QString GetSideWheel();
    // Store the text as given.
    void SetMidKey(const QString &text);
    void SetMidWheel(const QString &text);
    void SetSideUpKey(const QString &text);
    void SetSideDownKey(const QString &text);
    void SetSideWheel(const QString &text);
    // Empties the five keys.
    void ClearAll();

private:
    QString functionJson(const QString &key);

    OperateIni m_ini;
};
