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

int notRemind()
{
    if (!IniAccess::mayRead(noLongerRemindIniPath()))
        return 0;
    QSettings settings(noLongerRemindIniPath(), QSettings::IniFormat);
    openIni(settings);
    return settings.value("NotRemind", 0).toInt();
}

bool setNotRemind(int value)
{
    if (!IniAccess::mayRead(noLongerRemindIniPath()) || !IniAccess::mayWrite(noLongerRemindIniPath()))
        return false;
    QSettings settings(noLongerRemindIniPath(), QSettings::IniFormat);
    openIni(settings);
    settings.setValue("NotRemind", value);
    return IniAccess::save(settings);
}

QString desktopIniPath()
{
    return AppPaths::dataRoot() + "/Desktop.ini";
}

bool notificationsEnabled()
{
    if (!IniAccess::mayRead(desktopIniPath()))
        return true;
    QSettings settings(desktopIniPath(), QSettings::IniFormat);
    openIni(settings);
    return settings.value("Notifications", true).toBool();
}

bool setNotificationsEnabled(bool enabled)
{
    if (!IniAccess::mayRead(desktopIniPath()) || !IniAccess::mayWrite(desktopIniPath()))
        return false;
    QSettings settings(desktopIniPath(), QSettings::IniFormat);
    openIni(settings);
    settings.setValue("Notifications", enabled);
    return IniAccess::save(settings);
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
