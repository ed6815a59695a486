#include "device/KorvanUSBDriver.h"

KorvanUSBDriver::KorvanUSBDriver(QObject *parent) : QObject(parent) {}
KorvanUSBDriver::~KorvanUSBDriver() = default;

// Defaults for a family without the feature: success, nothing touched.
void KorvanUSBDriver::UnInitDevice() {}
void KorvanUSBDriver::SetPidVid(USHORT, USHORT) {}
bool KorvanUSBDriver::WriteMacroBlocks(const QList<MacroRecord> &) { return true; }
bool KorvanUSBDriver::WriteScreenBlock(const BYTE *) { return true; }
bool KorvanUSBDriver::ReadScreenBlock(BYTE *) { return true; }
bool KorvanUSBDriver::GetProfileDataBlock(BYTE *) { return true; }
bool KorvanUSBDriver::SetProfileDataBlock(const BYTE *) { return true; }
bool KorvanUSBDriver::SetCurrentBank(int) { return true; }
bool KorvanUSBDriver::GetCurrentBank(DWORD *) { return true; }
bool KorvanUSBDriver::GetFwVersion(DWORD *) { return true; }
bool KorvanUSBDriver::Reserved(int, int, int) { return true; }
bool KorvanUSBDriver::SendCommandA7() { return true; }
bool KorvanUSBDriver::SendCommandA8() { return true; }
bool KorvanUSBDriver::GetDeviceWord(WORD *) { return true; }
bool KorvanUSBDriver::GetBatteryRaw(DWORD *) { return true; }
bool KorvanUSBDriver::SendCommandAB(int) { return true; }
bool KorvanUSBDriver::ReadBankBlock(BYTE *, int, int) { return true; }
bool KorvanUSBDriver::WriteBankBlock(const BYTE *, int, int) { return true; }
bool KorvanUSBDriver::ReadEEPROMAt(BYTE *, int, int, int) { return true; }
bool KorvanUSBDriver::WriteEEPROMAt(const BYTE *, int, int, int) { return true; }
bool KorvanUSBDriver::GetButtonValue(int, DWORD *, int) { return true; }
bool KorvanUSBDriver::SetButtonValue(int, DWORD, int) { return true; }
bool KorvanUSBDriver::GetReportRate(DWORD *, int) { return true; }
bool KorvanUSBDriver::SetReportRate(DWORD, int) { return true; }
bool KorvanUSBDriver::GetSilentHeight(DWORD *, int) { return true; }
bool KorvanUSBDriver::SetSilentHeight(DWORD, int) { return true; }
bool KorvanUSBDriver::GetDPIStageMatrix(DWORD *, int, int) { return true; }
bool KorvanUSBDriver::SetDPIStageMatrix(const DWORD *, int, int) { return true; }
bool KorvanUSBDriver::GetDpiLedRateLightIntensity(BYTE *, BYTE *, BYTE *, BYTE *, int) { return true; }
bool KorvanUSBDriver::SetDpiLedRateLightIntensity(BYTE, BYTE, BYTE, BYTE, int) { return true; }
bool KorvanUSBDriver::GetDpiLed(BYTE *, int) { return true; }
bool KorvanUSBDriver::SetDpiLed(int, int) { return true; }
bool KorvanUSBDriver::GetLightMode(BYTE *, int) { return true; }
bool KorvanUSBDriver::SetLightMode(int, int) { return true; }
bool KorvanUSBDriver::GetLightSpeed(BYTE *, int) { return true; }
bool KorvanUSBDriver::SetLightSpeed(int, int) { return true; }
bool KorvanUSBDriver::GetLightDegree(BYTE *, int) { return true; }
bool KorvanUSBDriver::SetLightDegree(int, int) { return true; }
bool KorvanUSBDriver::GetWord1180(DWORD *, int) { return true; }
bool KorvanUSBDriver::SetWord1180(DWORD, int) { return true; }
bool KorvanUSBDriver::GetWord1180Byte0(BYTE *, int) { return true; }
bool KorvanUSBDriver::SetWord1180Byte0(int, int) { return true; }
bool KorvanUSBDriver::SetOLEDScreenParameter(int, bool, int) { return true; }
bool KorvanUSBDriver::GetWord1180Byte1(BYTE *, int) { return true; }
bool KorvanUSBDriver::SetWord1180Byte1(int, int) { return true; }
bool KorvanUSBDriver::GetLedColor(DWORD *, int, int) { return true; }
bool KorvanUSBDriver::SetLedColor(DWORD, int, int) { return true; }
bool KorvanUSBDriver::SetLedColorMatrixAll(const DWORD *, int, int) { return true; }
bool KorvanUSBDriver::GetBatteryPolled(DWORD *) { return true; }
void KorvanUSBDriver::SetWiredWirelessString(const QString &, const QString &) {}
