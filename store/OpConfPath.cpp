#include "store/OpConfPath.h"

#include "store/SettingsFiles.h"

namespace {
// In clearing order: middle button, slider up, slider down; each web
// address, file, folder, program.
const char *const kPathKeys[12] = {
    "/PATH/mid_web_url",          "/PATH/mid_file_path",          "/PATH/mid_folder_path",
    "/PATH/mid_app_path",         "/PATH/slider_up_web_url",      "/PATH/slider_up_file_path",
    "/PATH/slider_up_folder_path", "/PATH/slider_up_app_path",    "/PATH/slider_down_web_url",
    "/PATH/slider_down_file_path", "/PATH/slider_down_folder_path", "/PATH/slider_down_app_path",
};
enum PathKey {
    MidWebUrl, MidFile, MidFolder, MidApp,
    UpWebUrl, UpFile, UpFolder, UpApp,
    DownWebUrl, DownFile, DownFolder, DownApp,
};
} // namespace

OpConfPath::OpConfPath(QObject *parent)
    : QObject(parent)
{
    m_ini.open(SettingsFiles::systemIniPath(), OperateIni::OwnerOnly);
}

QString OpConfPath::reread(const char *key)
{
    m_ini.open(SettingsFiles::systemIniPath(), OperateIni::OwnerOnly);
    return m_ini.value(key);
}

QString OpConfPath::GetMidWebUrl() { return reread(kPathKeys[MidWebUrl]); }
QString OpConfPath::GetMidFilePath() { return reread(kPathKeys[MidFile]); }
QString OpConfPath::GetMidFloderPath() { return reread(kPathKeys[MidFolder]); }
QString OpConfPath::GetMidAppPath() { return reread(kPathKeys[MidApp]); }
QString OpConfPath::GetSliderUpWebUrl() { return reread(kPathKeys[UpWebUrl]); }
QString OpConfPath::GetSliderUpFilePath() { return reread(kPathKeys[UpFile]); }
QString OpConfPath::GetSliderUpFloderPath() { return reread(kPathKeys[UpFolder]); }
QString OpConfPath::GetSliderUpAppPath() { return reread(kPathKeys[UpApp]); }
QString OpConfPath::GetSliderDownWebUrl() { return reread(kPathKeys[DownWebUrl]); }
QString OpConfPath::GetSliderDownFilePath() { return reread(kPathKeys[DownFile]); }
QString OpConfPath::GetSliderDownFloderPath() { return reread(kPathKeys[DownFolder]); }
QString OpConfPath::GetSliderDownAppPath() { return reread(kPathKeys[DownApp]); }

void OpConfPath::SetMidWebUrl(const QString &text) { m_ini.setValue(kPathKeys[MidWebUrl], text); }
void OpConfPath::SetMidFilePath(const QString &text) { m_ini.setValue(kPathKeys[MidFile], text); }
void OpConfPath::SetMidFloderPath(const QString &text) { m_ini.setValue(kPathKeys[MidFolder], text); }
void OpConfPath::SetMidAppPath(const QString &text) { m_ini.setValue(kPathKeys[MidApp], text); }
void OpConfPath::SetSliderUpWebUrl(const QString &text) { m_ini.setValue(kPathKeys[UpWebUrl], text); }
void OpConfPath::SetSliderUpFilePath(const QString &text) { m_ini.setValue(kPathKeys[UpFile], text); }
void OpConfPath::SetSliderUpFloderPath(const QString &text) { m_ini.setValue(kPathKeys[UpFolder], text); }
void OpConfPath::SetSliderUpAppPath(const QString &text) { m_ini.setValue(kPathKeys[UpApp], text); }
void OpConfPath::SetSliderDownWebUrl(const QString &text) { m_ini.setValue(kPathKeys[DownWebUrl], text); }
void OpConfPath::SetSliderDownFilePath(const QString &text) { m_ini.setValue(kPathKeys[DownFile], text); }
void OpConfPath::SetSliderDownFloderPath(const QString &text) { m_ini.setValue(kPathKeys[DownFolder], text); }
void OpConfPath::SetSliderDownAppPath(const QString &text) { m_ini.setValue(kPathKeys[DownApp], text); }

void OpConfPath::ClearAll()
{
    for (const char *key : kPathKeys)
        m_ini.setValue(key, QString());
}
