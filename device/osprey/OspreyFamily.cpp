// The second family's row of the family table.
#include "device/osprey/OspreyFamily.h"
#include "model/ProductTable.h"
#include "device/ScreenSettings.h"
#include "device/osprey/OspreyCodecs.h"
#include "device/osprey/USBDriver_Osprey.h"
#include "device/osprey/UsbDriverManger_Osprey.h"
#include "model/CpiTables.h"

namespace OspreyFamily {

namespace {
constexpr int kColourfulMode = 5;
// Macro records 0..11 sit in the button slots from 0x8C, 4 bytes apart;
// 12..15 are the left button's list, counted by position 251.
constexpr int kFirstButtonSlot = 0x8C;
constexpr int kButtonMacroRecords = 12;
constexpr int kFirstListRecord = 12;
constexpr int kListRecords = 4;
constexpr BYTE kMacroKind = 0x09;

// The button words as the pages and harrierctl leave them: some button
// still clicks left, every macro word names a slot that holds a macro, and
// the left button's list counts macros that are there.
bool checkButtons(const QByteArray &record, const QSet<int> &filledMacros, QString *why)
{
    using namespace OspreyCodecs;
    auto refuse = [why](const QString &what) {
        if (why)
            *why = what;
        return false;
    };
    const auto byte = [&record](int position) { return quint8(record.at(position - kSettingsAt)); };
    const auto word = [&byte](int w) {
        const int p = kButtonsAt + 4 * w;
        return makeWord(byte(p), byte(p + 1), byte(p + 2), byte(p + 3));
    };
    bool leftClick = false;
    for (int w = 0; w < kButtonWords; ++w) {
        const DWORD value = word(w);
        leftClick = leftClick || isLeftWord(value);
        if (wordByte(value, 0) == kMacroKind) {
            const int offset = int(wordByte(value, 3)) - kFirstButtonSlot;
            const int index = offset / 4;
            if (offset < 0 || offset % 4 != 0 || index >= kButtonMacroRecords || !filledMacros.contains(index))
                return refuse(QStringLiteral("button word %1 plays macro slot %2, which holds no macro")
                                  .arg(w + 1)
                                  .arg(wordByte(value, 3), 2, 16, QLatin1Char('0')));
        }
        if (w == 0 && value == kMacroListWord) {
            const int count = byte(kByte251At);
            if (count < 1 || count > kListRecords)
                return refuse(QStringLiteral("left button's macro list of %1").arg(count));
            for (int i = 0; i < count; ++i)
                if (!filledMacros.contains(kFirstListRecord + i))
                    return refuse(QStringLiteral("macro %1 of the left button's list is empty").arg(i + 1));
        }
    }
    if (!leftClick)
        return refuse(QStringLiteral("buttons: no button clicks left"));
    if (byte(kByte251At) > kListRecords)
        return refuse(QStringLiteral("left button's macro list of %1").arg(byte(kByte251At)));
    return true;
}
} // namespace

FamilyParts makeParts(const FamilyRequest &request)
{
    return makeWiredParts<UsbDriverManger_Osprey, USBDriver_Osprey>(request);
}

// The settings part as the profile files hold it (positions 242..475).
bool checkProfile(int mouseType, const QByteArray &record, const QSet<int> &filledMacros, QString *why)
{
    using namespace OspreyCodecs;
    auto refuse = [why](const QString &what) {
        if (why)
            *why = what;
        return false;
    };
    if (record.size() != kSettingsSize)
        return refuse(QStringLiteral("profile record of %1 bytes").arg(record.size()));
    const auto byte = [&record](int position) { return quint8(record.at(position - kSettingsAt)); };
    if (byte(kReportRateAt) > 3)
        return refuse(QStringLiteral("report rate %1").arg(byte(kReportRateAt)));
    if (byte(kGearAt) >= kCpiLevels)
        return refuse(QStringLiteral("CPI level %1").arg(byte(kGearAt) + 1));
    const CpiTables::CpiRange range = CpiTables::rangeFor(mouseType);
    const QMap<uchar, int> table = usesTableB(mouseType) ? cpiTableB() : cpiTableA();
    const struct
    {
        const char *axis;
        int lowAt, highAt;
    } axes[] = {{"", kCpiXLowAt, kCpiXHighAt}, {"Y ", kCpiYLowAt, kCpiYHighAt}};
    for (const auto &axis : axes) {
        for (int level = 0; level < kCpiLevels; ++level) {
            const BYTE code = byte(axis.lowAt + level);
            const BYTE high = byte(axis.highAt + level);
            // 0 is a level switched off; any other code must be one the mouse
            // knows, of a CPI the model takes.
            if (code == 0 && high == 0)
                continue;
            const int cpi = int(countsInFifties(mouseType) ? decodeFiftyCpi(code, high) : cpiOfCode(table, code));
            if (cpi == 0 && !countsInFifties(mouseType))
                return refuse(QStringLiteral("%1CPI code %2 of level %3").arg(QLatin1String(axis.axis)).arg(code).arg(level + 1));
            if (cpi < range.minimum || cpi > range.maximum)
                return refuse(QStringLiteral("%1CPI %2 of level %3").arg(QLatin1String(axis.axis)).arg(cpi).arg(level + 1));
        }
    }
    if (!checkButtons(record, filledMacros, why))
        return false;
    const int slowest = Products::breathSpeedMaximum(mouseType);
    const struct
    {
        const char *zone;
        int mode, speed, degree;
    } zones[] = {{"main", kMainModeAt, kMainSpeedAt, kMainDegreeAt}, {"wheel", kWheelModeAt, kWheelSpeedAt, kWheelDegreeAt}};
    for (const auto &z : zones) {
        const int mode = lightModeFromDevice(byte(z.mode));
        // Unknown codes come back as themselves, which no mode is.
        const bool known = lightModeToDevice(mode) == byte(z.mode);
        if (!known || (mode == kColourfulMode && !Products::hasColourfulLight(mouseType)))
            return refuse(QStringLiteral("%1 light mode %2").arg(QLatin1String(z.zone)).arg(byte(z.mode)));
        if (byte(z.speed) > slowest)
            return refuse(QStringLiteral("%1 light speed %2").arg(QLatin1String(z.zone)).arg(byte(z.speed)));
        if (byte(z.degree) > Products::kLightBrightnessMaximum)
            return refuse(QStringLiteral("%1 light brightness %2").arg(QLatin1String(z.zone)).arg(byte(z.degree)));
    }
    if (Products::hasScreenPicture(mouseType)) {
        if (!ScreenSettings::isBehaviour(screenBehaviourFromDevice(byte(kScreenModeAt)))
            || screenBehaviourToDevice(screenBehaviourFromDevice(byte(kScreenModeAt))) != byte(kScreenModeAt))
            return refuse(QStringLiteral("screen mode %1").arg(byte(kScreenModeAt)));
        if (!ScreenSettings::isIntensity(byte(kScreenBrightnessAt)))
            return refuse(QStringLiteral("screen brightness %1").arg(byte(kScreenBrightnessAt)));
    }
    return true;
}

} // namespace OspreyFamily
