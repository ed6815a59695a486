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
} // namespace

FamilyParts makeParts(const FamilyRequest &request)
{
    return makeWiredParts<UsbDriverManger_Osprey, USBDriver_Osprey>(request);
}

// The settings part as the profile files hold it (positions 242..475).
bool checkProfile(int mouseType, const QByteArray &record, QString *why)
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
    for (int level = 0; level < kCpiLevels; ++level) {
        const BYTE code = byte(kCpiXLowAt + level);
        const BYTE high = byte(kCpiXHighAt + level);
        // 0 is a level switched off; any other code must be one the mouse
        // knows, of a CPI the model takes.
        if (code == 0 && high == 0)
            continue;
        const int cpi = int(countsInFifties(mouseType) ? decodeFiftyCpi(code, high) : cpiOfCode(table, code));
        if (cpi == 0 && !countsInFifties(mouseType))
            return refuse(QStringLiteral("CPI code %1 of level %2").arg(code).arg(level + 1));
        if (cpi < range.minimum || cpi > range.maximum)
            return refuse(QStringLiteral("CPI %1 of level %2").arg(cpi).arg(level + 1));
    }
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
