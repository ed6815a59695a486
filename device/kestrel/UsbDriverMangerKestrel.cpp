#include "device/kestrel/UsbDriverMangerKestrel.h"

#include "device/ScreenSettings.h"
#include "device/kestrel/KestrelButtonCodec.h"
#include "device/kestrel/KestrelConfigStore.h"
#include "device/kestrel/KestrelMacroCodec.h"
#include "device/kestrel/KestrelPictureCodec.h"
#include "device/kestrel/USBDriverKestrel.h"
#include "model/CpiTables.h"
#include "model/ProductTable.h"
#include "platform/Log.h"

#include <QDebug>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QThread>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace KestrelTables;

namespace {

constexpr int kBank1 = 1;
constexpr int kFirstForm = 1;
constexpr int kSecondForm = 2;
// Screen words and behaviours written for "no picture" and "a picture".
constexpr DWORD kScreenWordNoPicture = 7;
constexpr DWORD kScreenWordPicture = 8;
constexpr int kBehaviourNoPicture = 1;
constexpr int kBehaviourPicture = 8;
constexpr int kBehaviourWithFlag = 3;

bool validBank(int bank) { return bank == 0 || bank == 1; }

bool validMacroLength(int length) { return KestrelMacroCodec::isWholeLength(length); }

} // namespace

UsbDriverMangerKestrel::UsbDriverMangerKestrel(QObject *parent)
    : USBDriverManger(parent), m_layout(&defaultButtonLayout()), m_image(kImageSize, 0)
{
}

UsbDriverMangerKestrel::~UsbDriverMangerKestrel()
{
    // The driver goes with its manager; close the device first.
    if (m_kestrel)
        m_kestrel->UnInitDevice();
}

KorvanUSBDriver *UsbDriverMangerKestrel::SetDriver(KorvanUSBDriver *driver)
{
    if (driver != m_driver.get())
        m_driver.reset(driver);
    m_kestrel = dynamic_cast<USBDriverKestrel *>(driver);
    return m_kestrel;
}

bool UsbDriverMangerKestrel::InitDevice() { return m_kestrel && m_kestrel->FindHIDDevice(); }

void UsbDriverMangerKestrel::UnInitDevice()
{
    if (m_kestrel)
        m_kestrel->UnInitDevice();
}

int UsbDriverMangerKestrel::SetMousePid(USHORT pid, USHORT)
{
    m_layout = &buttonLayoutForPid(pid);
    const ProductInfo *product = Products::byPid(pid);
    if (product && product->family == Family::First)
        m_mouseType = product->mouseType;
    return mouseType();
}

int UsbDriverMangerKestrel::mouseType() const
{
    // The manager's own model, from its PID or its name; never the process's.
    if (m_mouseType)
        return m_mouseType;
    return Products::byName(m_modelKey) ? Products::byName(m_modelKey)->mouseType : int(ModelKestrel);
}

void UsbDriverMangerKestrel::SetManagerMode(int mode) { m_managerMode = mode; }

void UsbDriverMangerKestrel::SetMouseTypeName(const QString &name)
{
    // The key becomes a folder name: accept only a plain model name.
    static const QRegularExpression plainName(QStringLiteral("^[a-z0-9]+$"));
    if (plainName.match(name).hasMatch())
        m_modelKey = name;
    else
        qWarning() << "SetMouseTypeName refused" << name;
}

bool UsbDriverMangerKestrel::SetCurrentBank(int bank) { return m_kestrel && m_kestrel->SetCurrentBank(bank); }

bool UsbDriverMangerKestrel::GetCurrentBank(DWORD *bank) { return m_kestrel && m_kestrel->GetCurrentBank(bank); }

bool UsbDriverMangerKestrel::IsDeviceLost() { return !m_kestrel || m_kestrel->LastTransferFailed(); }

bool UsbDriverMangerKestrel::GetFwVersion(DWORD *version) { return m_kestrel && m_kestrel->GetFwVersion(version); }

// ---- the configuration image -------------------------------------------

QByteArray UsbDriverMangerKestrel::configImage() const
{
    return QByteArray(reinterpret_cast<const char *>(m_image.data()), int(m_image.size()));
}

DWORD UsbDriverMangerKestrel::imageWord(int at) const { return qFromLittleEndian<quint32>(m_image.data() + at); }

void UsbDriverMangerKestrel::setImageWord(int at, DWORD word) { qToLittleEndian<quint32>(word, m_image.data() + at); }

void UsbDriverMangerKestrel::saveCurrentConfig() { SaveConfigFileByConfigureNumber(m_configNumber); }

void UsbDriverMangerKestrel::cacheFromImage()
{
    const BYTE *r = record();
    m_cpiLevelCount = r[kLevelCountAt] + 1;
    m_cpiLevel = r[kCpiLevelAt];
    m_oledIntensity = r[kOledIntensityAt];
    m_fireByte1 = r[kFireByte1At];
    m_gunFireNumber = r[kRapidFireCountAt];
    m_pictureNumber = int(imageWord(kScreenWordAt));
    m_oledBehaviour = r[kBank1196At];
    m_oledFlag = m_oledBehaviour == kBehaviourWithFlag;
}

// ---- simple settings -----------------------------------------------------

bool UsbDriverMangerKestrel::GetReportRate(DWORD *index, int bank)
{
    DWORD interval = 0;
    if (!m_kestrel || !m_kestrel->GetReportRate(&interval, bank))
        return false;
    // The interval is 1..8 ms and lives in the word's low byte; factory
    // Kestrel, KestrelQ and KestrelEU mice keep 0xFF in its top byte, which
    // would otherwise read as an unknown rate on every connection.
    const int found = reportIndexOfInterval(interval & 0xFF);
    if (found < 0) {
        qWarning() << "GetReportRate: the mouse holds no known interval" << interval;
        return false;
    }
    *index = DWORD(found);
    return true;
}

bool UsbDriverMangerKestrel::SetReportRate(int index, int bank)
{
    const DWORD interval = intervalOfReportIndex(index);
    if (!m_kestrel || interval == 0 || !m_kestrel->SetReportRate(interval, bank))
        return false;
    setImageWord(kReportIntervalAt, interval);
    saveCurrentConfig();
    return true;
}

bool UsbDriverMangerKestrel::GetSilentHeight(DWORD *value, int bank)
{
    return m_kestrel && m_kestrel->GetSilentHeight(value, bank);
}

bool UsbDriverMangerKestrel::SetSilentHeight(int value, int bank)
{
    if (!m_kestrel || !m_kestrel->SetSilentHeight(DWORD(value), bank))
        return false;
    setImageWord(kSilentHeightAt, DWORD(value));
    return true;
}

bool UsbDriverMangerKestrel::GetFireByte1(BYTE *value, int bank)
{
    return m_kestrel && m_kestrel->GetWord1180Byte1(value, bank);
}

bool UsbDriverMangerKestrel::SetFireByte1(int value, int bank)
{
    if (!m_kestrel || !m_kestrel->SetWord1180Byte1(value, bank))
        return false;
    m_fireByte1 = value;
    record()[kFireByte1At] = BYTE(value);
    return true;
}

bool UsbDriverMangerKestrel::SetGunFireNumber(int count, int bank)
{
    qDebug() << " UsbDriverMangerKestrel::SetGunFireNumber" << count;
    if (!m_kestrel || !m_kestrel->SetGunFireNumber(count, bank))
        return false;
    m_gunFireNumber = count;
    record()[kRapidFireCountAt] = BYTE(count);
    return true;
}

bool UsbDriverMangerKestrel::GetBatteryPower(DWORD *out)
{
    DWORD raw = 0;
    if (!m_kestrel || !m_kestrel->GetBatteryRaw(&raw))
        return false;
    *out = batteryPercent(raw);
    return true;
}

bool UsbDriverMangerKestrel::GetMousePid(int *out)
{
    BYTE b0 = 0;
    BYTE b1 = 0;
    if (!m_kestrel || !m_kestrel->GetMousePid(&b0, &b1))
        return false;
    qDebug().noquote() << QString::asprintf("UsbDriverMangerKestrel::GetMousePid %x %x ", b0, b1);
    *out = b1 * 256 + b0;
    qDebug().noquote() << QString::asprintf("UsbDriverMangerKestrel::GetMousePid %x ", *out);
    return true;
}

// ---- CPI -----------------------------------------------------------------

bool UsbDriverMangerKestrel::GetCPIStageMatrix(DWORD *out7, int bank)
{
    const int type = mouseType();
    qDebug() << "GetCPIStageMatrix" << type;
    DWORD table[kCpiTableLength / 4] = {};
    if (!m_kestrel || !out7 || !m_kestrel->GetDPIStageMatrix(table, kCpiTableLength, bank))
        return false;
    BYTE bytes[kCpiTableLength];
    for (int i = 0; i < kCpiTableLength / 4; ++i)
        qToLittleEndian<quint32>(table[i], bytes + 4 * i);
    auto raw = [&bytes](int level) { return qFromLittleEndian<quint16>(bytes + 2 * level); };

    const CpiScheme scheme = cpiSchemeOf(type);
    DWORD cpi[kMaxCpiLevels] = {};
    BYTE count = 0;
    switch (scheme) {
    case CpiScheme::Hundreds: {
        const int last = m_kestrel->GetDPICount(&count, bank) ? count : 5;
        for (int i = 0; i < 6; ++i) {
            qDebug() << "Original dpi" << raw(i);
            cpi[i] = i > last ? 0 : rawToCpi(scheme, raw(i));
        }
        break;
    }
    case CpiScheme::TwoRange: {
        const int levels = std::min((m_kestrel->GetDPICount(&count, bank) ? count : 7) + 1, kMaxCpiLevels);
        for (int i = 0; i < levels; ++i)
            cpi[i] = rawToCpi(scheme, raw(i));
        break;
    }
    case CpiScheme::Fifties:
        for (int i = 0; i < kMaxCpiLevels; ++i)
            cpi[i] = rawToCpi(scheme, raw(i));
        break;
    }
    std::copy(std::begin(cpi), std::end(cpi), out7);
    return true;
}

bool UsbDriverMangerKestrel::SetCPIList(const CpiList &list, int bank)
{
    const CpiScheme scheme = cpiSchemeOf(mouseType());
    QVector<WORD> levels;
    const CpiList taken = list.mid(0, cpiEntriesWritten(scheme));
    const CpiTables::CpiRange range = CpiTables::rangeFor(mouseType());
    for (DWORD cpi : taken)
        if (cpi != 0 && (int(cpi) < range.minimum || int(cpi) > range.maximum)) {
            qCWarning(lcKestrel) << "SetCPIList: CPI" << cpi << "lies outside the model's range" << range.minimum << "to"
                       << range.maximum;
            return false;
        }
    for (DWORD cpi : taken)
        if (cpi != 0 && levels.size() < kMaxCpiLevels)
            levels.append(cpiToRaw(scheme, cpi));
    const int n = levels.size();
    if (!m_kestrel || n == 0 || !validBank(bank))
        return false;

    if (!m_kestrel->SetGlobal2196(n - 1, kBank1))
        return false;
    record()[kLevelCountAt] = BYTE(n - 1);
    m_cpiLevelCount = n;

    const int levelByte = std::min(n - 1, cpiLevelLimit(scheme));
    if (!m_kestrel->SetDpiLed(levelByte, kBank1))
        return false;
    record()[kCpiLevelAt] = BYTE(levelByte);
    m_cpiLevel = levelByte;

    return writeCpiTable(levels, bank);
}

bool UsbDriverMangerKestrel::writeCpiTable(const QVector<WORD> &levels, int bank)
{
    BYTE bytes[kCpiTableLength] = {};
    for (int i = 0; i < levels.size(); ++i)
        qToLittleEndian<quint16>(levels[i], bytes + 2 * i);
    bytes[kLevelCountAt - kCpiTableAt] = BYTE(levels.size() - 1);
    DWORD table[kCpiTableLength / 4];
    for (int i = 0; i < kCpiTableLength / 4; ++i)
        table[i] = qFromLittleEndian<quint32>(bytes + 4 * i);
    if (!m_kestrel->SetDPIStageMatrix(table, kCpiTableLength, bank))
        return false;
    std::memcpy(record() + kCpiTableAt, bytes, kCpiTableLength);
    saveCurrentConfig();
    return true;
}

bool UsbDriverMangerKestrel::SetDPIStageMatrix(int cpi, int level, int bank)
{
    const int type = mouseType();
    const CpiScheme scheme = cpiSchemeOf(type);
    qDebug() << " SetDPIStageMatrix dpiCount" << cpi << level;
    if (!m_kestrel || !validBank(bank) || level < 1 || level > kMaxCpiLevels)
        return false;

    BYTE bytes[kCpiTableLength];
    std::memcpy(bytes, record() + kCpiTableAt, kCpiTableLength);
    const int count = std::clamp(int(record()[kLevelCountAt]) + 1, 1, kMaxCpiLevels);
    qDebug() << "SetDPIStageMatrix CurrentDpiCount" << count;
    QVector<WORD> levels;
    for (int i = 0; i < count; ++i)
        levels.append(qFromLittleEndian<quint16>(bytes + 2 * i));
    qDebug() << "SetDPIStageMatrix DpiMatrix" << levels;

    const int index = level - 1;
    qDebug() << "SetDPIStageMatrix index" << index;
    if (cpiRemovesLevel(type, cpi)) {
        // The last level cannot go: the mouse always keeps one.
        if (index >= count || count == 1)
            return false;
        levels.remove(index);
    } else if (index < count) {
        levels[index] = cpiToRaw(scheme, DWORD(cpi));
    } else if (index == count && count < cpiEntriesWritten(scheme)) {
        levels.append(cpiToRaw(scheme, DWORD(cpi)));
    } else {
        return false;
    }
    qDebug() << "afterIndex " << levels;

    const int newCount = levels.size();
    if (newCount != count) {
        if (!m_kestrel->SetGlobal2196(newCount - 1, kBank1))
            return false;
        record()[kLevelCountAt] = BYTE(newCount - 1);
        m_cpiLevelCount = newCount;
        // A mouse left on a removed level comes back to the last one there is.
        if (record()[kCpiLevelAt] > newCount - 1) {
            if (!m_kestrel->SetDpiLed(newCount - 1, kBank1))
                return false;
            record()[kCpiLevelAt] = BYTE(newCount - 1);
            m_cpiLevel = newCount - 1;
        }
    }
    qDebug() << "CurrentDPI" << cpi;
    return writeCpiTable(levels, bank);
}

// ---- light -----------------------------------------------------------------

bool UsbDriverMangerKestrel::GetLightParameter(LightColorParam *out, int bank)
{
    BYTE b0 = 0;
    BYTE mode = 0;
    BYTE speed = 0;
    BYTE degree = 0;
    DWORD colours[kColourCount] = {};
    if (!m_kestrel || !out || !m_kestrel->GetDpiLedRateLightIntensity(&b0, &mode, &speed, &degree, bank)
        || !m_kestrel->GetLedColorMatrixAll(colours, kColourCount, bank))
        return false;
    out->lightMode = mode;
    out->breathSpeed = speed;
    out->lightDegree = degree;
    for (int i = 0; i < kColourCount; ++i)
        qToLittleEndian<quint32>(colours[i], out->colors + 4 * i);
    return true;
}

bool UsbDriverMangerKestrel::SetMouseColor(int mode, int speed, int degree, COLORREF colour0, COLORREF colour1,
                                           COLORREF colour2, bool, int)
{
    BYTE b0 = 0;
    BYTE oldMode = 0;
    BYTE oldSpeed = 0;
    BYTE oldDegree = 0;
    if (!m_kestrel || !m_kestrel->GetDpiLedRateLightIntensity(&b0, &oldMode, &oldSpeed, &oldDegree, kBank1))
        return false;
    if (!m_kestrel->SetDpiLedRateLightIntensity(b0, BYTE(mode), BYTE(speed), BYTE(degree), kBank1))
        return false;
    record()[kLightModeAt] = BYTE(mode);
    record()[kLightSpeedAt] = BYTE(speed);
    record()[kLightDegreeAt] = BYTE(degree);
    const DWORD colours[kColourCount] = {colour0, colour1, colour2};
    if (!m_kestrel->SetLedColorMatrixAll(colours, kColourCount, kBank1))
        return false;
    for (int i = 0; i < kColourCount; ++i)
        setImageWord(kColoursAt + 4 * i, colours[i]);
    m_firstColour = colour0;
    saveCurrentConfig();
    return true;
}

bool UsbDriverMangerKestrel::SetMouseColorList(bool, const ColorList &colours, int bank)
{
    // The mouse has room for three colours; more would run past its settings.
    const int count = std::min(colours.size(), kColourCount);
    if (!m_kestrel || count == 0 || !validBank(bank))
        return false;
    DWORD words[kColourCount] = {};
    for (int i = 0; i < count; ++i)
        words[i] = colours[i];
    if (!m_kestrel->SetLedColorMatrixAll(words, count, kBank1))
        return false;
    for (int i = 0; i < count; ++i)
        setImageWord(kColoursAt + 4 * i, words[i]);
    m_firstColour = words[0];
    saveCurrentConfig();
    return true;
}

bool UsbDriverMangerKestrel::SetMouseLightMode(bool, int mode)
{
    return writeLightByte(&USBDriverKestrel::SetLightMode, kLightModeAt, mode);
}

bool UsbDriverMangerKestrel::SetMouseBreathSpeed(bool, int value)
{
    return writeLightByte(&USBDriverKestrel::SetLightSpeed, kLightSpeedAt, value);
}

bool UsbDriverMangerKestrel::SetMouseLightDegree(bool, int value)
{
    return writeLightByte(&USBDriverKestrel::SetLightDegree, kLightDegreeAt, value);
}

bool UsbDriverMangerKestrel::writeLightByte(bool (USBDriverKestrel::*set)(int, int), int at, int value)
{
    if (!m_kestrel || !(m_kestrel->*set)(value, kBank1))
        return false;
    record()[at] = BYTE(value);
    saveCurrentConfig();
    return true;
}

// ---- screen ----------------------------------------------------------------

bool UsbDriverMangerKestrel::SetOLEDScreenParameter(int behaviour)
{
    if (!ScreenSettings::isBehaviour(behaviour)) {
        qCWarning(lcKestrel) << "SetOLEDScreenParameter: no such behaviour" << behaviour;
        return false;
    }
    const bool flag = behaviour == kBehaviourWithFlag;
    if (!m_kestrel || !m_kestrel->SetOLEDScreenParameter(behaviour, flag, kBank1))
        return false;
    m_oledBehaviour = behaviour;
    m_oledFlag = flag;
    record()[kBank1196At] = BYTE(behaviour);
    record()[kBank1196At + 1] = flag ? 1 : 0;
    saveCurrentConfig();
    return true;
}

bool UsbDriverMangerKestrel::SetOLEDScreenLightIntensity(int intensity)
{
    if (!ScreenSettings::isIntensity(intensity)) {
        qCWarning(lcKestrel) << "SetOLEDScreenLightIntensity: out of range" << intensity;
        return false;
    }
    if (!m_kestrel || !m_kestrel->SetWord1180Byte0(intensity, kBank1))
        return false;
    m_oledIntensity = intensity;
    record()[kOledIntensityAt] = BYTE(intensity);
    saveCurrentConfig();
    return true;
}

int UsbDriverMangerKestrel::GetOLEDScreenParameter() { return m_oledBehaviour; }

int UsbDriverMangerKestrel::GetOLEDScreenLightIntensity() { return m_oledIntensity; }

bool UsbDriverMangerKestrel::SetScreenWord(int index, int value, int bank)
{
    if (!m_kestrel || index < 0 || index >= kScreenByteCount || !m_kestrel->SetGlobal2212(index, value, bank))
        return false;
    record()[kScreenBytesAt + index] = BYTE(value);
    saveCurrentConfig();
    return true;
}

bool UsbDriverMangerKestrel::ReadBankExtras(DWORD *record13, int bank)
{
    DWORD words[13] = {};
    BYTE byte1 = 0;
    BYTE screenBytes[kScreenByteCount] = {};
    if (!m_kestrel || !record13 || !m_kestrel->GetGlobal2208(&words[0], bank) || !m_kestrel->GetBank1196(&words[1], bank)
        || !m_kestrel->GetBank1196Byte1(&byte1, bank) || !m_kestrel->GetBank1200(&words[3], bank)
        || !m_kestrel->GetBank1204(&words[4], bank) || !m_kestrel->GetBankBytes1188(screenBytes, bank))
        return false;
    words[2] = byte1;
    for (int i = 0; i < kScreenByteCount; ++i)
        words[5 + i] = screenBytes[i];
    std::copy(std::begin(words), std::end(words), record13);
    return true;
}

bool UsbDriverMangerKestrel::WriteImageToMouse(int type, const QString &picture, int pictureNumber, int bank)
{
    if (!m_kestrel || !validBank(bank))
        return false;
    if (picture == QLatin1String("0")) {
        if (!setScreenMode(kScreenWordNoPicture, kBehaviourNoPicture, bank))
            return false;
        QFile::remove(JsonHandle::currentPicturePath(type, m_configNumber));
        return true;
    }

    bool isNumber = false;
    const int configNumber = picture.toInt(&isNumber);
    if (!isNumber || configNumber < 0 || configNumber > 5)
        return false;
    BYTE packed[KestrelPictureCodec::kPackedSize] = {};
    if (!KestrelPictureCodec::packFile(JsonHandle::currentPicturePath(type, configNumber), packed, sizeof packed))
        return false;
    // Success only once the mouse holds the picture, so a lost one is reported.
    return m_kestrel->WriteOLEDImage(pictureNumber, packed) && setScreenMode(kScreenWordPicture, kBehaviourPicture, bank);
}

bool UsbDriverMangerKestrel::setScreenMode(DWORD screenWord, int behaviour, int bank)
{
    if (!m_kestrel->SetGlobal2208(screenWord, bank))
        return false;
    setImageWord(kScreenWordAt, screenWord);
    if (!SetOLEDScreenParameter(behaviour))
        return false;
    m_pictureNumber = int(screenWord);
    m_oledBehaviour = behaviour;
    saveCurrentConfig();
    return true;
}

bool UsbDriverMangerKestrel::ReadImageFromMouse(int picture, QImage *out)
{
    BYTE packed[KestrelPictureCodec::kPackedSize] = {};
    QImage image;
    if (!m_kestrel || !out || !m_kestrel->ReadOLEDImage(picture, packed)
        || !KestrelPictureCodec::unpack(packed, sizeof packed, &image))
        return false;
    *out = image;
    return true;
}

// ---- buttons ---------------------------------------------------------------

DWORD UsbDriverMangerKestrel::currentButtonWord(int button) const
{
    const int offset = buttonOffset(*m_layout, button);
    return offset < 0 ? kUnassigned : imageWord(recordIndexOfBankOffset(offset));
}

bool UsbDriverMangerKestrel::isChangeOnlyLeftButton(int button, int changeType)
{
    qDebug() << "checkIsChangeOnlyLeftButton" << button << changeType;
    int leftKeyNumber = 0;
    for (int b = kFirstButton; b <= kLastButton; ++b)
        if (currentButtonWord(b) == kPlainLeftClick)
            ++leftKeyNumber;
    qDebug() << "checkIsChangeOnlyLeftButton LeftKeyNumber " << leftKeyNumber;
    if (leftKeyNumber != 1 || currentButtonWord(button) != kPlainLeftClick)
        return false;
    qDebug() << "checkCurrentButtonIsLeftButton" << button;
    // Restoring the left button while it already clicks left takes nothing away.
    return !(changeType == ChangeRestoreFactory && button == kFirstButton);
}

bool UsbDriverMangerKestrel::writeButtonWord(int button, DWORD word, int bank)
{
    const int offset = buttonOffset(*m_layout, button);
    BYTE bytes[4];
    qToLittleEndian<quint32>(word, bytes);
    if (offset < 0 || !m_kestrel->WriteEEPROMAt(bytes, 4, bank, offset))
        return false;
    qDebug().noquote() << QString::asprintf("PrivateChangeButton %x %x %x %x", bytes[0], bytes[1], bytes[2], bytes[3]);
    setImageWord(recordIndexOfBankOffset(offset), word);
    return true;
}

bool UsbDriverMangerKestrel::clearSingleMacroData(int slot, DWORD address)
{
    const BYTE zeroLength[2] = {0, 0};
    if (!m_kestrel->WriteEEPROM(address, 2, zeroLength)) {
        qDebug() << "ClearSingleMacroData failed" << slot;
        return false;
    }
    KestrelConfigStore::clearMacro(m_image, slot);
    qDebug() << "ClearSingleMacroData ok" << slot;
    return true;
}

bool UsbDriverMangerKestrel::resetRapidFire()
{
    if (!SetGunFireNumber(0, kBank1) || !SetFireByte1(0, kBank1))
        return false;
    return clearRapidFireMacros();
}

bool UsbDriverMangerKestrel::clearRapidFireMacros()
{
    for (int k = 0; k < kRapidFireMacroCount; ++k)
        if (!clearSingleMacroData(kFirstRapidFireMacro + k, USBDriverKestrel::RapidFireLengthAddress(k)))
            return false;
    return true;
}

bool UsbDriverMangerKestrel::SetChangeButtonToKey(int button, uint vkCode, int modifyKey, int changeType, int bank)
{
    if (!m_kestrel || !validBank(bank) || buttonOffset(*m_layout, button) < 0)
        return false;
    if (isChangeOnlyLeftButton(button, changeType)) {
        emit sig_WarningOnlyLeftButton(6);
        return true;
    }
    DWORD word = 0;
    const DWORD factory = factoryWordAt(*m_layout, buttonOffset(*m_layout, button));
    if (!KestrelButtonCodec::encode(changeType, vkCode, modifyKey, factory, &word))
        return false;
    if (changeType == ChangeRestoreFactory) {
        if (isLeftButtonWord(word) && !resetRapidFire())
            return false;
        const int slot = macroSlotOfButton(button);
        if (!clearSingleMacroData(slot, USBDriverKestrel::MacroSlotAddress(slot, kFirstForm)))
            return false;
    }
    if (!writeButtonWord(button, word, bank))
        return false;
    saveCurrentConfig();
    return true;
}

bool UsbDriverMangerKestrel::SetButtonToMacroSlot(int button, int slot, int type, int bank)
{
    const int offset = buttonOffset(*m_layout, button);
    qDebug().noquote() << "SetChangeButtonToMacro:" << button << slot << bank << QString::number(offset, 16)
                       << "type" << type;
    if (!m_kestrel || !validBank(bank) || offset < 0 || slot < 0 || slot >= kMacroCount)
        return false;
    if (!writeButtonWord(button, makeButtonWord(kMacroWordType, 0, BYTE(slot), 0), bank))
        return false;
    saveCurrentConfig();
    return true;
}

DWORD UsbDriverMangerKestrel::rapidFireStateOfBank1()
{
    DWORD word = 0;
    if (!m_kestrel || !m_kestrel->ReadWord1180(&word, kBank1))
        word = imageWord(kOledIntensityAt);
    // Byte 0 of the word is the screen's brightness, not rapid-fire state: a
    // factory mouse has it non-zero and its left button is still a left button.
    return word & 0xFFFFFF00u;
}

void UsbDriverMangerKestrel::CheckAllMouseButtonIsOriginalMouseButton()
{
    bool haveRapidFire = false;
    DWORD rapidFire = 0;
    auto rapidFireState = [&]() {
        if (!haveRapidFire) {
            rapidFire = rapidFireStateOfBank1();
            haveRapidFire = true;
        }
        return rapidFire;
    };

    for (int button = kFirstButton; button <= kLastButton; ++button) {
        const DWORD word = currentButtonWord(button);
        bool original = word == factoryWordAt(*m_layout, buttonOffset(*m_layout, button));
        if (original && button == kFirstButton)
            original = rapidFireState() == 0;
        if (original) {
            emit sig_CurrentButtonIsOriginalButton(true, button);
            continue;
        }
        emit sig_CurrentButtonIsOriginalButton(false, button);
        qDebug() << "checkButton++++" << wordByte(word, 0);
        ButtonAssignment shown;
        shown.button = button;
        if (KestrelButtonCodec::decode(word, [&rapidFireState] { return rapidFireState() != 0; }, &shown))
            emit sig_TrueMouseValue(button, shown.changeType, shown.trueMouseValue, shown.modifyKey);
    }
}

// ---- macros ----------------------------------------------------------------

bool UsbDriverMangerKestrel::macroFromFile(const QString &path, KestrelMacro *macro, int *type)
{
    *macro = m_store.macroFromFile(path, type);
    return !macro->events.isEmpty();
}

bool UsbDriverMangerKestrel::convertMacro(const KestrelMacro &macro, QByteArray *image4096, int *length)
{
    image4096->fill('\0', kMacroSlotSize);
    return KestrelMacroCodec::toDeviceImage(macro, reinterpret_cast<BYTE *>(image4096->data()), length)
           && validMacroLength(*length);
}

bool UsbDriverMangerKestrel::WriteSingleMacro(int button, const QString &path)
{
    qDebug() << "UsbDriverMangerKestrel slot_WriteSingleMacro" << button << path;
    if (!m_kestrel || buttonOffset(*m_layout, button) < 0)
        return false;
    if (isChangeOnlyLeftButton(button, ChangeMacro)) {
        emit sig_WarningOnlyLeftButton(6);
        return true;
    }
    KestrelMacro macro;
    int type = 0;
    QByteArray image;
    int length = 0;
    if (!macroFromFile(path, &macro, &type) || !convertMacro(macro, &image, &length)) {
        qDebug() << "WriteSingleMacro macro" << path;
        return false;
    }
    const int slot = macroSlotOfButton(button);
    qDebug() << " WriteSingleMacro macro index id:" << slot;
    qDebug() << "getmacroid:" << slot << length;
    if (!m_kestrel->WriteMacroImage(slot, kFirstForm, reinterpret_cast<const BYTE *>(image.constData())))
        return false;
    KestrelConfigStore::setMacro(m_image, slot, reinterpret_cast<const BYTE *>(image.constData()), length);
    qDebug() << "fill macro";
    return SetButtonToMacroSlot(button, slot, type, kBank1);
}

bool UsbDriverMangerKestrel::WriteListMacro(const QStringList &macroList)
{
    qDebug() << "UsbDriverMangerKestrel::WriteListMacro macroListLength" << macroList.size();
    if (!m_kestrel || macroList.isEmpty() || macroList.size() > kRapidFireMacroCount)
        return false;
    if (macroList.size() == 1)
        return WriteSingleMacro(kFirstButton, macroList.first());

    // Every file is converted before the mouse is touched, so a bad one changes nothing.
    QVector<QByteArray> images;
    QVector<int> lengths;
    for (const QString &path : macroList) {
        qDebug() << "WriteListMacroPath" << path;
        KestrelMacro macro;
        int type = 0;
        QByteArray image;
        int length = 0;
        if (!macroFromFile(path, &macro, &type) || !convertMacro(macro, &image, &length)) {
            qDebug() << "WriteListMacro" << "no macro in" << path;
            return false;
        }
        images.append(image);
        lengths.append(length);
    }

    if (!SetChangeButtonToKey(kFirstButton, 0, 0, ChangeRestoreFactory, kBank1))
        return false;
    if (!clearRapidFireMacros())
        return false;
    for (int i = 0; i < images.size(); ++i) {
        const int macroId = kFirstRapidFireMacro + i;
        qDebug() << "UsbDriverMangerKestrel::WriteListMacro macroId " << macroId;
        qDebug() << "macro id:" << macroId << lengths[i];
        qDebug() << "WriteListMacro macro index id:" << macroId;
        // The rapid-fire macros go into the mouse now, where a configuration load puts them.
        const BYTE *data = reinterpret_cast<const BYTE *>(images[i].constData());
        if (!m_kestrel->WriteMacroImage(macroId, kSecondForm, data))
            return false;
        KestrelConfigStore::setMacro(m_image, macroId, data, lengths[i]);
    }
    if (!SetGunFireNumber(images.size(), kBank1) || !SetFireByte1(0, kBank1))
        return false;
    saveCurrentConfig();
    return true;
}

// ---- whole configurations ------------------------------------------------

bool UsbDriverMangerKestrel::GetProfileData()
{
    qDebug() << "UsbDriverMangerKestrel GetProfileData currentThreadId" << QThread::currentThreadId();
    if (!m_kestrel)
        return false;
    Image next = m_image;
    if (!m_kestrel->GetProfileData(next.data())) {
        qDebug() << "wwww";
        return false;
    }
    QByteArray slot(kMacroSlotSize, '\0');
    for (int m = 0; m < kFirstRapidFireMacro; ++m) {
        KestrelConfigStore::clearMacro(next, m);
        if (m_kestrel->IsMacroSlotFree(m))
            continue;
        BYTE *data = reinterpret_cast<BYTE *>(slot.data());
        if (!m_kestrel->ReadMacro(m, kFirstForm, data))
            return false;
        int length = qFromLittleEndian<quint16>(data);
        if (!validMacroLength(length))
            length = 0; // what the mouse holds there is no macro
        qDebug() << "GetProfileData  m_MACRO_CONFIGFILE.macroData[i].MacroSize" << length;
        KestrelConfigStore::setMacro(next, m, data, length);
    }
    // The rapid-fire macros cannot be read back; the image keeps what it knows of them.
    m_image = next;
    cacheFromImage();
    CheckAllMouseButtonIsOriginalMouseButton();
    return true;
}

bool UsbDriverMangerKestrel::SetProfileData()
{
    return m_kestrel && m_kestrel->SetProfileData(record());
}

bool UsbDriverMangerKestrel::CompareMouseAndLocalFileData(int *out)
{
    const int type = mouseType();
    qDebug() << ";;;;;" << record()[kCpiLevelAt];
    for (int number = 1; number <= 5; ++number) {
        const QByteArray stored = m_store.record(type, number);
        if (stored.size() < kRecordSize)
            continue;
        const int ret = std::memcmp(stored.constData() + kCompareFrom, m_image.data() + kCompareFrom,
                                    size_t(kCompareTo - kCompareFrom + 1));
        qDebug() << "CompareMouseAndLocalFileData ret" << ret << kRecordSize;
        if (ret != 0) {
            for (int i = kCompareFrom; i <= kCompareTo; ++i)
                if (BYTE(stored[i]) != m_image[size_t(i)])
                    qCDebug(lcRaw) << "wwww i " << i << "tmp1" << BYTE(stored[i]) << m_image[size_t(i)];
            continue;
        }
        m_configNumber = number;
        if (out)
            *out = number;
        // The mouse cannot give its rapid-fire macros back; the matched file holds them.
        const Image fromFile = loadConfiguration(number);
        for (int m = kFirstRapidFireMacro; m < kMacroCount; ++m)
            KestrelConfigStore::setMacro(m_image, m, KestrelConfigStore::macroData(fromFile, m), KestrelConfigStore::macroLength(fromFile, m));
        const int limit = cpiLevelLimit(cpiSchemeOf(type));
        const int level = m_cpiLevel < limit ? m_cpiLevel : limit;
        if (m_kestrel && m_kestrel->SetDpiLed(level, kBank1)) {
            const bool changed = record()[kCpiLevelAt] != level;
            record()[kCpiLevelAt] = BYTE(level);
            m_cpiLevel = level;
            if (changed)
                saveCurrentConfig();
        }
        return true;
    }
    qDebug() << "didnt find  the config";
    return false;
}

bool UsbDriverMangerKestrel::SetCurrentConfigNumber(int number)
{
    if (number < 1 || number > 5)
        return false;
    m_configNumber = number;
    return true;
}

bool UsbDriverMangerKestrel::LoadConfigFileByNumber(int number)
{
    qDebug() << "UsbDriverMangerKestrel LoadConfigFileByNumber number" << number;
    if (!writeConfigurationRecord(number))
        return false;
    for (int m = 0; m < kMacroCount; ++m) {
        const int length = KestrelConfigStore::macroLength(m_image, m);
        if (length == 0) {
            qDebug() << "size == 0 i:" << m;
            continue;
        }
        qDebug() << "SetNormalMacroDataToMouse" << m << length;
        const int form = m < kFirstRapidFireMacro ? kFirstForm : kSecondForm;
        if (!m_kestrel->WriteMacroImage(m, form, KestrelConfigStore::macroData(m_image, m)))
            return false;
    }
    CheckAllMouseButtonIsOriginalMouseButton();
    qDebug() << "LoadConfigNumber OLEDPictureNumber" << m_pictureNumber;
    qDebug() << "LoadConfigNumber currentPictureIndex" << m_configNumber;
    return true;
}

bool UsbDriverMangerKestrel::writeConfigurationRecord(int number)
{
    if (!m_kestrel || number < 0 || number > 5)
        return false;
    Image next = loadConfiguration(number);
    if (!m_kestrel->SetProfileData(next.data()))
        return false;
    m_image = next;
    cacheFromImage();
    if (number != 0)
        m_configNumber = number;
    return true;
}

bool UsbDriverMangerKestrel::LoadOnlyMouseConfigFileByNumber(int number)
{
    if (!writeConfigurationRecord(number))
        return false;
    CheckAllMouseButtonIsOriginalMouseButton();
    return true;
}

void UsbDriverMangerKestrel::SaveConfigFileByConfigureNumber(int number)
{
    qDebug() << "UsbDriverMangerKestrel SaveConfigFileByConfigureNumber currentThreadId" << QThread::currentThreadId();
    if (number < 0 || number > 5)
        return;
    saveConfiguration(m_image, number);
    CheckAllMouseButtonIsOriginalMouseButton();
    DWORD bank = 1;
    if (m_kestrel && m_kestrel->GetCurrentBank(&bank) && bank == 0)
        m_kestrel->SetCurrentBank(kBank1);
}

// ---- whole configurations in the files -------------------------------------

UsbDriverMangerKestrel::Image UsbDriverMangerKestrel::loadConfiguration(int number)
{
    return m_store.load(mouseType(), number);
}

void UsbDriverMangerKestrel::saveConfiguration(const Image &image, int number)
{
    m_store.save(image, mouseType(), number);
}

QString UsbDriverMangerKestrel::oldTxtFilePath(int configNumber) const
{
    return KestrelConfigStore::legacyFilePath(m_modelKey, configNumber);
}

void UsbDriverMangerKestrel::TurnOldTxtFileToNewJsonFile()
{
    qDebug() << "TurnOldTxtFileToNewJsonFile";
    m_store.convertLegacyFiles(m_modelKey, mouseType());
}

void UsbDriverMangerKestrel::TurnNewFileToOldFile()
{
    m_store.writeLegacyFiles(m_modelKey, mouseType());
}

void UsbDriverMangerKestrel::RemoveOldTxtFile()
{
    KestrelConfigStore::removeLegacyFiles(m_modelKey);
}
