#include "store/SettingsFiles.h"

#include "store/OperateIni.h"
#include "platform/AppPaths.h"

#include <QDebug>
#include <QFile>
#include <QSettings>

namespace {

struct ButtonGroup
{
    int button;
    const char *group;
};

// Buttons that can launch something, and their groups in HighestFunction.ini.
constexpr ButtonGroup kHighestFunctionGroups[] = {
    {4, "LeftKey"},      {5, "MidKey"},     {6, "RightKey"}, {7, "FowardKey"},
    {8, "BackKey"},      {11, "WheelFoward"}, {12, "WheelBack"}, {13, "DPIAdd"},
    {14, "DPIReduce"},   {15, "Custom1"},   {16, "Custom2"}, {17, "Custom3"},
};

void openIni(QSettings &settings)
{
    settings.setIniCodec("UTF-8");
    settings.setAtomicSyncRequired(true);
}


void removeIfThere(const QString &path)
{
    if (QFile::exists(path))
        QFile::remove(path);
}

} // namespace

namespace SettingsFiles {

QString systemIniPath()
{
    return AppPaths::dataRoot() + "/system/system.ini";
}

QString noLongerRemindIniPath()
{
    return AppPaths::dataRoot() + "/NoLongerRemind.ini";
}

QString highestFunctionIniPath()
{
    return AppPaths::dataRoot() + "/keysetting/HighestFunction.ini";
}

namespace {

// One value of a small settings file: the fallback when the file may not be
// read; a change is refused (false) when it may not be read or written.
QVariant iniValue(const QString &path, const char *key, const QVariant &fallback)
{
    if (!IniAccess::mayRead(path))
        return fallback;
    QSettings settings(path, QSettings::IniFormat);
    openIni(settings);
    return settings.value(key, fallback);
}

bool setIniValue(const QString &path, const char *key, const QVariant &value)
{
    if (!IniAccess::mayRead(path) || !IniAccess::mayWrite(path))
        return false;
    QSettings settings(path, QSettings::IniFormat);
    openIni(settings);
    settings.setValue(key, value);
    return IniAccess::save(settings);
}

} // namespace

int notRemind()
{
    return iniValue(noLongerRemindIniPath(), "NotRemind", 0).toInt();
}

bool setNotRemind(int value)
{
    return setIniValue(noLongerRemindIniPath(), "NotRemind", value);
}

QString desktopIniPath()
{
    return AppPaths::dataRoot() + "/Desktop.ini";
}

bool notificationsEnabled()
{
    return iniValue(desktopIniPath(), "Notifications", true).toBool();
}

bool setNotificationsEnabled(bool enabled)
{
    return setIniValue(desktopIniPath(), "Notifications", enabled);
}

QString highestFunctionGroup(int button)
{
    for (const ButtonGroup &g : kHighestFunctionGroups)
        if (g.button == button)
            return QString::fromLatin1(g.group);
    return QString();
}

bool launchFunction(int button, int *function, QString *path)
{
    const QString group = highestFunctionGroup(button);
    if (group.isEmpty() || !IniAccess::mayRead(highestFunctionIniPath()))
        return false;
    QSettings settings(highestFunctionIniPath(), QSettings::IniFormat);
    openIni(settings);
    if (settings.value(group + "/state").toInt() == 0)
        return false;
    *function = settings.value(group + "/function").toInt();
    *path = settings.value(group + "/path").toString();
    return true;
}

bool setLaunchFunction(int button, int state, int function, const QString &path)
{
    const QString group = highestFunctionGroup(button);
    const QString file = highestFunctionIniPath();
    if (group.isEmpty() || !IniAccess::mayRead(file) || !IniAccess::mayWrite(file))
        return false;
    QSettings settings(file, QSettings::IniFormat);
    openIni(settings);
    settings.setValue(group + "/state", state);
    settings.setValue(group + "/function", function);
    settings.setValue(group + "/path", path);
    return IniAccess::save(settings);
}

void removeSystemIni()
{
    removeIfThere(systemIniPath());
}

void removeHighestFunctionIni()
{
    removeIfThere(highestFunctionIniPath());
}

} // namespace SettingsFiles
