#pragma once
// What the middle button and the slider buttons open: a web address, a
// file, a folder or a program each, in "/system/system.ini", group PATH.
// Every getter rereads the file, so values written elsewhere are seen.
#include "store/OperateIni.h"

#include <QObject>

class OpConfPath : public QObject
{
    Q_OBJECT
public:
    explicit OpConfPath(QObject *parent = nullptr);

    // Stored texts; "NULL" when absent.
    QString GetMidWebUrl();
    QString GetMidFilePath();
    QString GetMidFloderPath();
    QString GetMidAppPath();
    QString GetSliderUpWebUrl();
    QString GetSliderUpFilePath();
    QString GetSliderUpFloderPath();
    QString GetSliderUpAppPath();
    QString GetSliderDownWebUrl();
    QString GetSliderDownFilePath();
    QString GetSliderDownFloderPath();
    QString GetSliderDownAppPath();

    void SetMidWebUrl(const QString &text);
    void SetMidFilePath(const QString &text);
    void SetMidFloderPath(const QString &text);
    void SetMidAppPath(const QString &text);
    void SetSliderUpWebUrl(const QString &text);
    void SetSliderUpFilePath(const QString &text);
    void SetSliderUpFloderPath(const QString &text);
    void SetSliderUpAppPath(const QString &text);
    void SetSliderDownWebUrl(const QString &text);
    void SetSliderDownFilePath(const QString &text);
    void SetSliderDownFloderPath(const QString &text);
    void SetSliderDownAppPath(const QString &text);

    // Empties all twelve keys: middle button, slider up, slider down.
    void ClearAll();

private:
    QString reread(const char *key);

    OperateIni m_ini;
};
