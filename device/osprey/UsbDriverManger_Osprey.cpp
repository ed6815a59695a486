#include "device/osprey/UsbDriverManger_Osprey.h"

#include "device/PictureFile.h"
#include "device/ScreenSettings.h"
#include "device/osprey/OspreyCodecs.h"
#include "device/osprey/USBDriver_Osprey.h"
#include "model/CpiTables.h"
#include "model/ProductTable.h"
#include "platform/DeviceClock.h"
#include "platform/Log.h"
#include "store/JsonHandle.h"
#include "store/SettingsFiles.h"

#include <QDebug>
#include <QFile>
#include <QImage>
#include <cstring>

using namespace OspreyCodecs;

namespace {

// Macro records 0..11 live in the button slots from 0x8C, 12..15 in the left
// button's list slots from 0xD0.
constexpr int kButtonMacroRecords = 12;
constexpr uchar kFirstButtonSlot = 0x8C;
constexpr uchar kFirstListSlot = 0xD0;
constexpr int kListSlots = 4;
constexpr int kFactoryConfig = 0;
constexpr int kWarningOnlyLeftButton = 6;
constexpr int kPictureMode = 8;
// The screen block read back is compared up to here; the mouse keeps its own bytes past it.
constexpr int kScreenCompareBytes = 1020;
// A stored picture is scaled to the screen, but one claiming more than this is not decoded.
const QSize kLargestStoredPicture(1024, 1024);
constexpr int kScreenSettleMs = 100;
constexpr BYTE kMacroKind = 0x09;

void putColour(QByteArray &settings, int position, COLORREF colour)
{
    settings[position - kSettingsAt] = char(BYTE(colour));
    settings[position - kSettingsAt + 1] = char(BYTE(colour >> 8));
    settings[position - kSettingsAt + 2] = char(BYTE(colour >> 16));
}

} // namespace

UsbDriverManger_Osprey::UsbDriverManger_Osprey(int mouseType, QObject *parent)
    : USBDriverManger(parent), m_jsonHandle(new JsonHandle(this)), m_store(m_jsonHandle),
      m_settings(kSettingsSize, '\0'), m_macros(kMacroCount), m_profile(kProfileSize, '\0'), m_mouseType(mouseType),
      m_codeToCpiA(cpiTableA()), m_codeToCpiB(cpiTableB())
{
    for (int i = 0; i < kMacroCount; ++i)
        m_macroSlotOfIndex.insert(i, i < kButtonMacroRecords ? uchar(kFirstButtonSlot + 4 * i)
                                                             : uchar(kFirstListSlot + 4 * (i - kButtonMacroRecords)));
    resetToModelDefaults();
    qDebug() << "UsbDriverManger_Osprey::UsbDriverManger_Osprey";
}

UsbDriverManger_Osprey::~UsbDriverManger_Osprey() = default;

void UsbDriverManger_Osprey::resetToModelDefaults()
{
    m_settings.fill('\0');
    m_profile.fill('\0');
    // Until the first read only the button table means anything.
    const QByteArray buttons = defaultButtonTable(m_mouseType);
    m_profile[0] = 1;
    m_profile.replace(kButtonsAt, buttons.size(), buttons);
    m_settings.replace(kButtonsAt - kSettingsAt, buttons.size(), buttons);
    // The fixed part's copy holds back and forward the other way round, and the fire key.
    QByteArray mirror = buttons;
    const DWORD mirrorWords[][2] = {{3, makeWord(0x01, 0x00, 0xF3, 0x00)},
                                    {4, makeWord(0x01, 0x00, 0xF4, 0x00)},
                                    {7, makeWord(0x0A, 0xF0, 0x10, 0x02)}};
    for (const auto &w : mirrorWords)
        for (int b = 0; b < 4; ++b)
            mirror[int(w[0]) * 4 + b] = char(wordByte(w[1], b));
    m_profile.replace(kMirrorButtonsAt, mirror.size(), mirror);
}

// ---------------------------------------------------------------- helpers

int UsbDriverManger_Osprey::mouseType() const
{
    return m_mouseType;
}

BYTE &UsbDriverManger_Osprey::at(int position)
{
    return reinterpret_cast<BYTE *>(m_settings.data())[position - kSettingsAt];
}

BYTE UsbDriverManger_Osprey::valueAt(int position) const
{
    return BYTE(m_settings.at(position - kSettingsAt));
}

DWORD UsbDriverManger_Osprey::buttonWord(int wordIndex) const
{
    const int p = kButtonsAt + 4 * wordIndex;
    return makeWord(valueAt(p), valueAt(p + 1), valueAt(p + 2), valueAt(p + 3));
}

void UsbDriverManger_Osprey::setButtonWord(int wordIndex, DWORD word)
{
    const int p = kButtonsAt + 4 * wordIndex;
    for (int b = 0; b < 4; ++b)
        at(p + b) = wordByte(word, b);
}

bool UsbDriverManger_Osprey::isOnlyLeftButton(int wordIndex) const
{
    if (!isLeftWord(buttonWord(wordIndex)))
        return false;
    qDebug() << "CheckIsLeftButton is LeftKey";
    int count = 0;
    for (int w = 0; w < kButtonWords; ++w)
        if (isLeftWord(buttonWord(w)))
            ++count;
    qDebug() << "LeftKeyNumber is " << count;
    if (count != 1)
        return false;
    qDebug() << "You Only Have One Left Key";
    return true;
}

bool UsbDriverManger_Osprey::writeChange(const std::function<void()> &change)
{
    const QByteArray settings = m_settings;
    const QByteArray profile = m_profile;
    const QVector<MacroRecord> macros = m_macros;
    change();
    if (WriteProfileIntoMouseAndSaveConfigFile())
        return true;
    // The mouse does not hold the change: neither may the page or the file.
    m_settings = settings;
    m_profile = profile;
    m_macros = macros;
    return false;
}

bool UsbDriverManger_Osprey::WriteProfileIntoMouseAndSaveConfigFile()
{
    if (!SaveProfileToConfig1()) {
        qDebug() << "WriteProfileIntoMouseAndSaveConfigFile failed";
        return false;
    }
    // A mouse that matches no stored configuration is saved nowhere until
    // the user says which one it is, so none is overwritten unasked.
    if (m_configKnown)
        SaveConfigFileByConfigureNumber(m_configNumber);
    else
        qCInfo(lcOsprey) << "the mouse matches no stored configuration: the change is not saved in one";
    qDebug() << "WriteProfileIntoMouseAndSaveConfigFile ok";
    return true;
}

bool UsbDriverManger_Osprey::isMacroInUse(const QByteArray &settings, uchar address)
{
    const auto word = [&settings](int w) {
        const int p = kButtonsAt - kSettingsAt + 4 * w;
        return makeWord(BYTE(settings.at(p)), BYTE(settings.at(p + 1)), BYTE(settings.at(p + 2)),
                        BYTE(settings.at(p + 3)));
    };
    for (int w = 0; w < kButtonWords; ++w)
        if (wordByte(word(w), 0) == kMacroKind && wordByte(word(w), 3) == address)
            return true;
    return word(0) == kMacroListWord && address >= kFirstListSlot && address < kFirstListSlot + 4 * kListSlots;
}

namespace {

bool sameMacro(const MacroRecord &a, const MacroRecord &b)
{
    return a.header0 == b.header0 && a.header1 == b.header1 && a.items == b.items;
}

} // namespace

bool UsbDriverManger_Osprey::macrosMatch(const OspreyConfiguration &stored) const
{
    for (auto it = m_macroSlotOfIndex.cbegin(); it != m_macroSlotOfIndex.cend(); ++it) {
        const int i = it.key();
        if (!isMacroInUse(m_settings, it.value()) || m_unreadMacros.contains(i))
            continue;
        if (!sameMacro(m_macros.at(i), stored.macros.value(i)))
            return false;
    }
    return true;
}

QVector<MacroRecord> UsbDriverManger_Osprey::macrosToStore(int number)
{
    QVector<MacroRecord> macros = m_macros;
    if (m_unreadMacros.isEmpty())
        return macros;
    const OspreyConfiguration stored = m_store.load(mouseType(), number, true);
    for (int i : m_unreadMacros)
        if (i >= 0 && i < macros.size())
            macros[i] = stored.macros.value(i);
    return macros;
}

int UsbDriverManger_Osprey::macroIndexOfAddress(uchar address) const
{
    for (auto it = m_macroSlotOfIndex.cbegin(); it != m_macroSlotOfIndex.cend(); ++it)
        if (it.value() == address)
            return it.key();
    return -1;
}

// ---------------------------------------------------------------- the manager interface

KorvanUSBDriver *UsbDriverManger_Osprey::SetDriver(KorvanUSBDriver *driver)
{
    m_driver.reset(driver);
    m_osprey = qobject_cast<USBDriver_Osprey *>(driver);
    if (!m_osprey)
        m_driver.reset();
    else
        m_osprey->SetMouseType(m_mouseType);
    return m_osprey;
}

bool UsbDriverManger_Osprey::InitDevice()
{
    m_isOpen = m_osprey && m_osprey->FindHIDDevice();
    return m_isOpen;
}

void UsbDriverManger_Osprey::UnInitDevice()
{
    if (m_osprey)
        m_osprey->UnInitDevice();
    m_isOpen = false;
}

int UsbDriverManger_Osprey::SetMousePid(USHORT pid, USHORT vid)
{
    if (m_osprey)
        m_osprey->SetPidVid(pid, vid);
    const ProductInfo *product = Products::byPid(pid);
    // A manager made without its model learns it here, before anything is read.
    if (product && product->mouseType != m_mouseType && !m_hasRead) {
        m_mouseType = product->mouseType;
        if (m_osprey)
            m_osprey->SetMouseType(m_mouseType);
        resetToModelDefaults();
    }
    return product ? product->mouseType : 0;
}

bool UsbDriverManger_Osprey::SetCurrentBank(int bank)
{
    m_profile[0] = char(bank);
    return true;
}

bool UsbDriverManger_Osprey::GetCurrentBank(DWORD *bank)
{
    if (bank)
        *bank = BYTE(m_profile.at(0));
    return true;
}

bool UsbDriverManger_Osprey::GetReportRate(DWORD *index, int)
{
    const BYTE rate = valueAt(kReportRateAt);
    if (index && rate <= 3)
        *index = rate;
    return true;
}

bool UsbDriverManger_Osprey::SetReportRate(int index, int)
{
    return writeChange([&] {
        if (index >= 0 && index <= 3)
            at(kReportRateAt) = BYTE(index);
    });
}

bool UsbDriverManger_Osprey::GetSilentHeight(DWORD *value, int)
{
    if (value)
        *value = valueAt(kSilentHeightAt);
    return true;
}

bool UsbDriverManger_Osprey::SetSilentHeight(int value, int)
{
    at(kSilentHeightAt) = BYTE(value);
    return true;
}

bool UsbDriverManger_Osprey::GetCPIStageMatrix(DWORD *out7, int)
{
    if (!out7)
        return true;
    for (int level = 0; level < kCpiLevels; ++level)
        out7[level] = DecodeCpi(valueAt(kCpiXLowAt + level), valueAt(kCpiXHighAt + level));
    return true;
}

bool UsbDriverManger_Osprey::SetCPIList(const CpiList &list, int)
{
    if (list.size() < kCpiLevels) {
        qWarning() << "SetCPIList: seven levels expected, got" << list.size();
        return false;
    }
    const CpiTables::CpiRange range = CpiTables::rangeFor(mouseType());
    for (int level = 0; level < kCpiLevels; ++level) {
        const int cpi = int(list.at(level));
        if (cpi != 0 && (cpi < range.minimum || cpi > range.maximum)) {
            qCWarning(lcOsprey) << "SetCPIList: CPI" << cpi << "lies outside the model's range" << range.minimum << "to"
                       << range.maximum;
            return false;
        }
    }
    return writeChange([&] {
        for (int level = 0; level < kCpiLevels; ++level) {
            BYTE low = 0;
            BYTE high = 0;
            EncodeCpi(mouseType(), list.at(level), &low, &high);
            at(kCpiXLowAt + level) = low;
            at(kCpiYLowAt + level) = low;
            at(kCpiXHighAt + level) = high;
            at(kCpiYHighAt + level) = high;
        }
    });
}

bool UsbDriverManger_Osprey::GetFireByte1(BYTE *value, int)
{
    if (value)
        *value = valueAt(kFireByteAt);
    return true;
}

bool UsbDriverManger_Osprey::SetFireByte1(int value, int)
{
    at(kFireByteAt) = BYTE(value);
    return true;
}

bool UsbDriverManger_Osprey::SetMouseColor(int mode, int speed, int degree, COLORREF colour0, COLORREF,
                                           COLORREF, bool isWheelLightChange, int)
{
    return writeChange([&] {
        at(isWheelLightChange ? kWheelModeAt : kMainModeAt) = LightModeToDevice(mode);
        at(isWheelLightChange ? kWheelSpeedAt : kMainSpeedAt) = BYTE(speed);
        at(isWheelLightChange ? kWheelDegreeAt : kMainDegreeAt) = BYTE(degree);
        putColour(m_settings, isWheelLightChange ? kWheelColourAt : kMainColourAt, colour0);
    });
}

bool UsbDriverManger_Osprey::GetLightParameter(LightColorParam *out, int)
{
    if (!out)
        return true;
    const auto colour = [this](int p) {
        return DWORD(valueAt(p)) | DWORD(valueAt(p + 1)) << 8 | DWORD(valueAt(p + 2)) << 16;
    };
    out->wheelMode = BYTE(LightModeFromDevice(valueAt(kWheelModeAt)));
    out->wheelSpeed = valueAt(kWheelSpeedAt);
    out->wheelDegree = valueAt(kWheelDegreeAt);
    const DWORD wheel = colour(kWheelColourAt);
    std::memcpy(out->wheelColors, &wheel, sizeof wheel);
    out->lightMode = BYTE(LightModeFromDevice(valueAt(kMainModeAt)));
    out->breathSpeed = valueAt(kMainSpeedAt);
    out->lightDegree = valueAt(kMainDegreeAt);
    const DWORD main = colour(kMainColourAt);
    std::memcpy(out->colors, &main, sizeof main);
    return true;
}

bool UsbDriverManger_Osprey::SetMouseColorList(bool isWheelLightChange, const ColorList &colours, int)
{
    qDebug() << "SetMouseColor";
    if (colours.isEmpty())
        return true;
    return writeChange([&] {
        const int p = isWheelLightChange ? kWheelColourAt : kMainColourAt;
        putColour(m_settings, p, colours.first());
        at(p + 3) = 0;
        at(p + 5) = 0;
    });
}

bool UsbDriverManger_Osprey::SetMouseLightMode(bool isWheelLightChange, int mode)
{
    qDebug() << "SetMouseLightMode" << mode;
    return writeChange([&] {
        if (mode == 2)
            at(kWheelModeTwoAt) = 0;
        if (mode == 3) {
            at(kBreathFixAt) = 0x03;
            at(kBreathFixAt + 1) = 0x01;
        }
        at(isWheelLightChange ? kWheelModeAt : kMainModeAt) = LightModeToDevice(mode);
    });
}

bool UsbDriverManger_Osprey::SetMouseLightDegree(bool isWheelLightChange, int value)
{
    qDebug() << "slot_MouseContinueLightDegree";
    return writeChange([&] { at(isWheelLightChange ? kWheelDegreeAt : kMainDegreeAt) = BYTE(value); });
}

bool UsbDriverManger_Osprey::SetMouseBreathSpeed(bool isWheelLightChange, int value)
{
    return writeChange([&] { at(isWheelLightChange ? kWheelSpeedAt : kMainSpeedAt) = BYTE(value); });
}

bool UsbDriverManger_Osprey::SetChangeButtonToKey(int button, uint vkCode, int modifyKey, int changeType, int)
{
    qDebug().noquote() << QString::asprintf("SetChangeButtonToKey key %x modify %x", vkCode, unsigned(modifyKey));
    qDebug() << "SetChangeButtonToKey";
    const int w = wordIndexOfButton(mouseType(), button);
    return reportButtonsAfter(writeChange([&] {
        // A key takes the place of whatever macro the button ran.
        const int macro = macroIndexOfAddress(macroAddressOfButton(button));
        if (macro >= 0) {
            qDebug() << "clearCorrespondingMacro";
            m_macros[macro] = MacroRecord();
            m_unreadMacros.remove(macro);
        }
        if (w < 0)
            return;
        const DWORD current = buttonWord(w);
        if (isLeftWord(current) && button == kFirstButton && changeType == 32)
            return;
        if (isOnlyLeftButton(w)) {
            emit sig_WarningOnlyLeftButton(kWarningOnlyLeftButton);
            return;
        }
        if (w == 1)
            qDebug() << "RightKeyChange";
        setButtonWord(w, wordOfAssignment(changeType, vkCode, modifyKey, current,
                                          defaultWordOfButton(mouseType(), button)));
    }));
}

MacroRecord UsbDriverManger_Osprey::defineLocalMacro(const QString &path, int *macroType)
{
    const int repeat = m_jsonHandle->getRepeatTimes(path);
    *macroType = m_jsonHandle->getMacroType(path);
    qDebug() << "slot_WriteSingleMacromacroType" << *macroType;
    MacroRecord record;
    qDebug().noquote() << QString::asprintf("valueSplit2BYTE:value %x low %x high%x", unsigned(repeat),
                                            unsigned(repeat & 0xFF), unsigned((repeat >> 8) & 0xFF));
    record.header0 = uchar(repeat >> 8);
    record.header1 = uchar(repeat);
    record.items = macroItems(m_jsonHandle->getMacroNodeList(path), m_jsonHandle->getIgnoreDelayTime(path) != 0);
    return record;
}

bool UsbDriverManger_Osprey::DriverWriteIntoMouse(const MacroRecord &macro, uchar address)
{
    qDebug() << "DriverWriteIntoMouse";
    if (!m_osprey || !m_osprey->SetMacroStruct(macro, address))
        return false;
    const int index = macroIndexOfAddress(address);
    if (index >= 0) {
        m_macros[index] = macro;
        m_unreadMacros.remove(index);
        if (m_configKnown)
            SaveConfigFileByConfigureNumber(m_configNumber);
    }
    return true;
}

bool UsbDriverManger_Osprey::WriteSingleMacro(int button, const QString &path)
{
    const int w = wordIndexOfButton(mouseType(), button);
    if (w >= 0 && isOnlyLeftButton(w)) {
        emit sig_WarningOnlyLeftButton(kWarningOnlyLeftButton);
        return true;
    }
    qDebug() << "slot_WriteSingleMacro";
    int macroType = 0;
    const MacroRecord record = defineLocalMacro(path, &macroType);
    if (m_isOpen && !DriverWriteIntoMouse(record, macroAddressOfButton(button)))
        return false;
    // The macro is in its slot; the button only runs it once the profile is written too.
    return SetChangeButtonToMacro(button, 0, uint(macroType));
}

bool UsbDriverManger_Osprey::WriteListMacro(const QStringList &macroList)
{
    if (isOnlyLeftButton(0)) {
        emit sig_WarningOnlyLeftButton(kWarningOnlyLeftButton);
        return false;
    }
    int written = 0;
    for (const QString &path : macroList) {
        qDebug() << "slot_WriteListMacro   " << path;
        int macroType = 0;
        const MacroRecord record = defineLocalMacro(path, &macroType);
        const uchar address = uchar(kFirstListSlot + 4 * qMin(written, kListSlots - 1));
        qDebug().noquote() << QString::asprintf("getMulitpulMacroAddress:%x", unsigned(address));
        if (m_isOpen && !DriverWriteIntoMouse(record, address))
            return false;
        ++written;
    }
    return reportButtonsAfter(writeChange([&] {
        at(kFireByteAt) = 0;
        SetProfileByte251(written);
        setButtonWord(0, kMacroListWord);
    }));
}

bool UsbDriverManger_Osprey::SetChangeButtonToMacro(int button, int, uint macroType)
{
    const int w = wordIndexOfButton(mouseType(), button);
    if (button == 8)
        qDebug() << "SetChangeButtonToMacro BackKeyChange_Left";
    return reportButtonsAfter(writeChange([&] {
        if (w >= 0)
            setButtonWord(w, makeWord(kMacroKind, BYTE(macroType), 0x00, macroAddressOfButton(button)));
    }));
}

bool UsbDriverManger_Osprey::WriteImageToMouse(int type, const QString &picture, int, int)
{
    QString path = JsonHandle::currentPicturePath(type, m_configNumber);
    if (picture == QLatin1String("0") && QFile::exists(path))
        QFile::remove(path);
    const bool own = QFile::exists(path);
    if (!own)
        path = JsonHandle::currentDefaultPicturePath(type);

    // The file is untrusted: a special file must not block the bridge, nor a
    // huge one be decoded. A picture that cannot be packed is refused before
    // anything is sent: a blank block would wipe the mouse's picture.
    QImage stored;
    const bool read = PictureFile::read(path, kLargestStoredPicture, &stored);
    const QByteArray packed = read ? packPicture(stored) : QByteArray();
    if (packed.size() != kPictureBytes) {
        qCWarning(lcOsprey) << "no screen picture in" << path << "- nothing was sent to the mouse";
        return false;
    }
    if (own && !SetOLEDScreenParameter(kPictureMode))
        return false;
    const QByteArray block = packed + packed;
    qDebug() << "writeImageToMouse";

    if (!m_isOpen || !m_osprey->WriteScreenBlock(reinterpret_cast<const BYTE *>(block.constData()))) {
        qDebug() << "slot_WriteImageToMouse SetPicture failed";
        return false;
    }
    DeviceClock::sleep(kScreenSettleMs);
    if (!WriteProfileIntoMouseAndSaveConfigFile())
        return false;
    qDebug() << "slot_WriteImageToMouse succed";
    QByteArray back(USBDriver_Osprey::kBlockSize, '\0');
    if (!m_osprey->ReadScreenBlock(reinterpret_cast<BYTE *>(back.data())))
        return false;
    return back.left(kScreenCompareBytes) == block.left(kScreenCompareBytes);
}

bool UsbDriverManger_Osprey::SetScreenWord(int, int, int)
{
    return true;
}

bool UsbDriverManger_Osprey::SetOLEDScreenParameter(int behaviour)
{
    if (!ScreenSettings::isBehaviour(behaviour)) {
        qCWarning(lcOsprey) << "SetOLEDScreenParameter: no such behaviour" << behaviour;
        return false;
    }
    return writeChange([&] { at(kScreenModeAt) = screenBehaviourToDevice(behaviour); });
}

bool UsbDriverManger_Osprey::SetOLEDScreenLightIntensity(int intensity)
{
    if (!ScreenSettings::isIntensity(intensity)) {
        qCWarning(lcOsprey) << "SetOLEDScreenLightIntensity: out of range" << intensity;
        return false;
    }
    return writeChange([&] { at(kScreenBrightnessAt) = BYTE(intensity); });
}

void UsbDriverManger_Osprey::SetMouseTypeName(const QString &name)
{
    m_configPath = name;
}

bool UsbDriverManger_Osprey::CompareMouseAndLocalFileData(int *out)
{
    for (int c = 1; c <= 5; ++c) {
        const QByteArray stored = m_store.load(mouseType(), c, false).settings;
        bool same = true;
        for (int p = kCompareFrom; p < kSettingsAt + kSettingsSize; ++p) {
            const BYTE mine = valueAt(p);
            const BYTE theirs = BYTE(stored.at(p - kSettingsAt));
            qCDebug(lcRaw) << "test compare value" << p << mine << theirs;
            if (mine != theirs) {
                qCDebug(lcRaw) << "compareValue" << p;
                same = false;
            }
        }
        if (!same)
            continue;
        // Equal settings are not enough: the macros its buttons play must be
        // the stored ones too, or a change would save them into the wrong file.
        const OspreyConfiguration withMacros = m_store.load(mouseType(), c, true);
        if (!macrosMatch(withMacros)) {
            qDebug() << "compareValue macros" << c;
            continue;
        }
        for (int i : qAsConst(m_unreadMacros))
            m_macros[i] = withMacros.macros.value(i);
        m_unreadMacros.clear();
        m_configNumber = c;
        m_configKnown = true;
        if (out)
            *out = c;
        qDebug() << "find  the config";
        // The mouse starts on its model's CPI level; that write waits for
        // FinishOpen, so the page shows what was read without waiting for it.
        m_startingGearOwed = true;
        return true;
    }
    qDebug() << "didnt find  the config";
    m_configKnown = false;
    return false;
}

bool UsbDriverManger_Osprey::FinishOpen()
{
    if (!m_startingGearOwed)
        return true;
    m_startingGearOwed = false;
    const int gear = returnDefaultDPIGear();
    if (valueAt(kGearAt) == gear || writeChange([&] { at(kGearAt) = BYTE(gear); }))
        return true;
    qWarning() << "FinishOpen: the mouse did not take its starting CPI level";
    return false;
}

bool UsbDriverManger_Osprey::GetProfileData()
{
    QByteArray profile(kProfileSize, '\0');
    if (!m_osprey || !m_osprey->GetProfileDataBlock(reinterpret_cast<BYTE *>(profile.data()))) {
        ++m_errorCount;
        qDebug() << "Failure";
        return false;
    }
    m_profile = profile;
    m_hasRead = true;
    m_startingGearOwed = false;
    qDebug() << "UsbDriverManger_Osprey::GetProfileData" << BYTE(m_profile.at(kMainModeAt));
    m_errorCount = 0;
    m_settings = m_profile.mid(kSettingsAt, kSettingsSize);
    m_unreadMacros.clear();
    for (auto it = m_macroSlotOfIndex.cbegin(); it != m_macroSlotOfIndex.cend(); ++it) {
        m_macros[it.key()] = MacroRecord();
        // A slot costs half a second to fetch: only the ones a button plays are read.
        if (!isMacroInUse(m_settings, it.value()))
            continue;
        // A button plays it, so a failed read is no empty slot: what the slot
        // holds is unknown and must not be saved over the stored macro.
        if (!m_osprey->ReadMacro(it.value(), &m_macros[it.key()])) {
            qDebug() << "Error Macro Number" << it.key() + 1;
            qCWarning(lcOsprey) << "the macro in slot" << Qt::hex << int(it.value()) << "could not be read; the stored one is kept";
            m_macros[it.key()] = MacroRecord();
            m_unreadMacros.insert(it.key());
        }
    }
    qDebug() << "Succseed";
    return true;
}

bool UsbDriverManger_Osprey::GetFwVersion(DWORD *version)
{
    if (version && m_osprey)
        *version = m_osprey->GetDeviceVersion();
    return true;
}

bool UsbDriverManger_Osprey::SetCurrentConfigNumber(int number)
{
    m_configNumber = number;
    m_configKnown = true;
    return true;
}

bool UsbDriverManger_Osprey::loadConfiguration(int number, bool withMacros)
{
    const OspreyConfiguration stored = m_store.load(mouseType(), number, withMacros);
    // A load cut short puts back the macros it already replaced, so the mouse
    // does not keep one configuration's macros under another's settings. A
    // slot that cannot be put back holds something unknown from then on.
    QVector<int> replaced;
    const auto fail = [&] {
        for (int i : qAsConst(replaced))
            if (m_unreadMacros.contains(i) || !m_osprey->SetMacroStruct(m_macros.at(i), m_macroSlotOfIndex.value(i)))
                m_unreadMacros.insert(i);
        // Which stored configuration the mouse now holds is not known either.
        m_configKnown = false;
        return false;
    };
    if (withMacros && m_isOpen) {
        for (int i = 0; i < kMacroCount; ++i) {
            // Half a second a slot: only the macros the configuration's buttons play go in.
            const uchar address = m_macroSlotOfIndex.value(i);
            if (!isMacroInUse(stored.settings, address))
                continue;
            replaced.append(i);
            if (!m_osprey->SetMacroStruct(stored.macros.at(i), address))
                return fail();
        }
    }
    const QByteArray settings = m_settings;
    const QByteArray profile = m_profile;
    m_settings = stored.settings;
    if (!SaveProfileToConfig1()) {
        m_settings = settings;
        m_profile = profile;
        return m_isOpen ? fail() : false;
    }
    if (withMacros) {
        m_macros = stored.macros;
        m_unreadMacros.clear();
    }
    // The mouse holds a stored configuration again. Which number it is
    // saved as is the caller's (SetCurrentConfigNumber): the factory one (0)
    // is loaded for a reset and then saved as the current number.
    m_configKnown = true;
    CheckAllMouseButtonIsOriginalMouseButton();
    return true;
}

bool UsbDriverManger_Osprey::LoadConfigFileByNumber(int number)
{
    qDebug() << "UsbDriverManger_Osprey LoadConfigFileByNumber number" << number;
    return loadConfiguration(number, true);
}

bool UsbDriverManger_Osprey::LoadOnlyMouseConfigFileByNumber(int number)
{
    return loadConfiguration(number, false);
}

void UsbDriverManger_Osprey::SaveConfigFileByConfigureNumber(int number)
{
    m_store.save({m_settings, macrosToStore(number)}, mouseType(), number);
}

bool UsbDriverManger_Osprey::SaveProfileToConfig1()
{
    m_profile[0] = 1;
    if (Products::ospreyFacts(mouseType()).profileLoopWord) {
        const int p = kButtonsAt + 4 * 8;
        for (int b = 0; b < 4; ++b)
            m_profile[p + b] = char(wordByte(kProfileLoopWord, b));
    }
    if (!m_isOpen)
        return false;
    m_profile.replace(kSettingsAt, kSettingsSize, m_settings);
    return m_osprey->SetProfileDataBlock(reinterpret_cast<const BYTE *>(m_profile.constData()));
}

bool UsbDriverManger_Osprey::GetBatteryPower(DWORD *)
{
    return false;
}

int UsbDriverManger_Osprey::GetOLEDScreenParameter()
{
    return screenBehaviourFromDevice(valueAt(kScreenModeAt));
}

void UsbDriverManger_Osprey::TurnOldTxtFileToNewJsonFile()
{
    qDebug() << "TurnOldTxtFileToNewJsonFile";
}

void UsbDriverManger_Osprey::TurnNewFileToOldFile()
{
    qDebug() << "TurnNewFileToOldFile";
}

void UsbDriverManger_Osprey::RemoveOldTxtFile()
{
    qDebug() << "RemoveOldTxtFile";
}

int UsbDriverManger_Osprey::GetOLEDScreenLightIntensity()
{
    return valueAt(kScreenBrightnessAt);
}

int UsbDriverManger_Osprey::GetErrorCount()
{
    return m_errorCount;
}

void UsbDriverManger_Osprey::CheckAllMouseButtonIsOriginalMouseButton()
{
    qDebug() << "checkAllMouseButtonIsOriginalMouseButton Osprey";
    const int type = mouseType();
    for (int button = kFirstButton; button <= kLastButton; ++button) {
        const int w = wordIndexOfButton(type, button);
        if (w < 0)
            continue;
        const DWORD word = buttonWord(w);
        if (word == defaultWordOfButton(type, button)) {
            // A launch function kept for the button changes it, whatever its word.
            int function = 0;
            QString path;
            const bool launches = SettingsFiles::launchFunction(button, &function, &path);
            if (launches)
                qDebug() << "ButtonChanged" << button;
            emit sig_CurrentButtonIsOriginalButton(!launches, button);
            continue;
        }
        emit sig_CurrentButtonIsOriginalButton(false, button);
        Assignment a;
        if (assignmentOfWord(word, &a))
            emit sig_TrueMouseValue(button, a.changeType, a.value, a.modifier);
    }
}

// The pages show what the buttons now hold, whether the write went through or not.
bool UsbDriverManger_Osprey::reportButtonsAfter(bool written)
{
    CheckAllMouseButtonIsOriginalMouseButton();
    return written;
}

// ---------------------------------------------------------------- this family's own

void UsbDriverManger_Osprey::SetWorkMode(uchar mode)
{
    m_workMode = mode;
}

BYTE UsbDriverManger_Osprey::GetProfileByte251()
{
    return valueAt(kByte251At);
}

void UsbDriverManger_Osprey::SetProfileByte251(int value)
{
    at(kByte251At) = BYTE(value);
}

bool UsbDriverManger_Osprey::SetProfileName(const QString &)
{
    return true;
}

DWORD UsbDriverManger_Osprey::DecodeCpi(BYTE low, BYTE high)
{
    const int type = mouseType();
    if (countsInFifties(type))
        return decodeFiftyCpi(low, high);
    if (usesTableB(type))
        return cpiOfCode(m_codeToCpiB, low);
    qDebug().noquote() << QString::asprintf("buildDPIValue %x", unsigned(low));
    return cpiOfCode(m_codeToCpiA, low);
}

void UsbDriverManger_Osprey::EncodeCpi(int type, DWORD cpi, BYTE *low, BYTE *high)
{
    CpiCode code;
    if (countsInFifties(type)) {
        code = encodeFiftyCpi(cpi);
    } else if (usesTableB(type)) {
        code.low = codeOfCpi(m_codeToCpiB, cpi);
    } else {
        qDebug() << "EncodeCpi" << cpi;
        code.low = codeOfCpi(m_codeToCpiA, cpi);
    }
    *low = code.low;
    *high = code.high;
}

int UsbDriverManger_Osprey::returnDefaultDPIGear()
{
    return 3;
}

BYTE UsbDriverManger_Osprey::LightModeToDevice(int mode)
{
    return lightModeToDevice(mode);
}

int UsbDriverManger_Osprey::LightModeFromDevice(BYTE code)
{
    return lightModeFromDevice(code);
}
