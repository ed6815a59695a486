#include "device/USBDriverManger.h"

USBDriverManger::USBDriverManger(QObject *parent) : QObject(parent) {}
USBDriverManger::~USBDriverManger() = default;

// Defaults for a family without the feature: success, nothing touched.
void USBDriverManger::UnInitDevice() {}
bool USBDriverManger::SetCurrentBank(int) { return true; }
bool USBDriverManger::GetCurrentBank(DWORD *) { return true; }
bool USBDriverManger::GetReportRate(DWORD *, int) { return true; }
bool USBDriverManger::SetReportRate(int, int) { return true; }
bool USBDriverManger::GetSilentHeight(DWORD *, int) { return true; }
bool USBDriverManger::SetSilentHeight(int, int) { return true; }
bool USBDriverManger::GetCPIStageMatrix(DWORD *, int) { return true; }
bool USBDriverManger::SetDPIStageMatrix(int, int, int) { return true; }
bool USBDriverManger::SetCPIList(const CpiList &, int) { return true; }
bool USBDriverManger::GetFireByte1(BYTE *, int) { return true; }
bool USBDriverManger::SetFireByte1(int, int) { return true; }
bool USBDriverManger::SetMouseColor(int, int, int, COLORREF, COLORREF, COLORREF, bool, int) { return true; }
bool USBDriverManger::GetLightParameter(LightColorParam *, int) { return true; }
bool USBDriverManger::SetMouseColorList(bool, const ColorList &, int) { return true; }
bool USBDriverManger::SetMouseLightMode(bool, int) { return true; }
bool USBDriverManger::SetMouseLightDegree(bool, int) { return true; }
bool USBDriverManger::SetMouseBreathSpeed(bool, int) { return true; }
bool USBDriverManger::SetChangeButtonToKey(int, uint, int, int, int) { return true; }
bool USBDriverManger::WriteSingleMacro(int, const QString &) { return true; }
bool USBDriverManger::WriteListMacro(const QStringList &) { return true; }
bool USBDriverManger::SetChangeButtonToMacro(int, int, uint) { return true; }
bool USBDriverManger::WriteImageToMouse(int, const QString &, int, int) { return true; }
bool USBDriverManger::ReadImageFromMouse(int, QImage *) { return true; }
bool USBDriverManger::SetScreenWord(int, int, int) { return true; }
bool USBDriverManger::ReadBankExtras(DWORD *, int) { return true; }
bool USBDriverManger::GetMousePid(int *) { return true; }
bool USBDriverManger::SetOLEDScreenParameter(int) { return true; }
bool USBDriverManger::SetOLEDScreenLightIntensity(int) { return true; }
void USBDriverManger::SetMouseTypeName(const QString &) {}
bool USBDriverManger::CompareMouseAndLocalFileData(int *) { return true; }
bool USBDriverManger::GetProfileData() { return true; }
bool USBDriverManger::SetProfileData() { return true; }
bool USBDriverManger::GetFwVersion(DWORD *) { return true; }
bool USBDriverManger::SetCurrentConfigNumber(int) { return true; }
bool USBDriverManger::LoadConfigFileByNumber(int) { return true; }
bool USBDriverManger::LoadOnlyMouseConfigFileByNumber(int) { return true; }
void USBDriverManger::SaveConfigFileByConfigureNumber(int) {}
bool USBDriverManger::SaveProfileToConfig1() { return true; }
bool USBDriverManger::GetBatteryPower(DWORD *) { return true; }
int USBDriverManger::GetOLEDScreenParameter() { return 0; }
void USBDriverManger::TurnOldTxtFileToNewJsonFile() {}
void USBDriverManger::TurnNewFileToOldFile() {}
void USBDriverManger::RemoveOldTxtFile() {}
int USBDriverManger::GetOLEDScreenLightIntensity() { return 1; }
int USBDriverManger::GetErrorCount() { return 1; }
bool USBDriverManger::IsDeviceLost() { return false; }
void USBDriverManger::CheckAllMouseButtonIsOriginalMouseButton() {}
