#include "store/SettingsFiles.h"

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

void saveIni(QSettings &settings)
{
    settings.sync();
    if (settings.status() != QSettings::NoError)
        qWarning() << "cannot save" << settings.fileName();
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
    QSettings settings(noLongerRemindIniPath(), QSettings::IniFormat);
    openIni(settings);
    return settings.value("NotRemind", 0).toInt();
}

void setNotRemind(int value)
{
    QSettings settings(noLongerRemindIniPath(), QSettings::IniFormat);
    openIni(settings);
    settings.setValue("NotRemind", value);
    saveIni(settings);
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
    if (group.isEmpty())
        return false;
    QSettings settings(highestFunctionIniPath(), QSettings::IniFormat);
    openIni(settings);
    if (settings.value(group + "/state").toInt() == 0)
        return false;
    *function = settings.value(group + "/function").toInt();
    *path = settings.value(group + "/path").toString();
    return true;
}

void setLaunchFunction(int button, int state, int function, const QString &path)
{
    const QString group = highestFunctionGroup(button);
    if (group.isEmpty())
        return;
    QSettings settings(highestFunctionIniPath(), QSettings::IniFormat);
    openIni(settings);
    settings.setValue(group + "/state", state);
    settings.setValue(group + "/function", function);
    settings.setValue(group + "/path", path);
    saveIni(settings);
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
