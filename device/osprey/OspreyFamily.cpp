// The second family's row of the family table.
#include "device/osprey/OspreyFamily.h"
#include "device/osprey/OspreyCodecs.h"
#include "device/osprey/USBDriver_Osprey.h"
#include "device/osprey/UsbDriverManger_Osprey.h"

namespace OspreyFamily {

FamilyParts makeParts(const FamilyRequest &)
{
    return makeWiredParts<UsbDriverManger_Osprey, USBDriver_Osprey>();
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
    if (!countsInFifties(mouseType)) {
        const QMap<uchar, int> table = usesTableB(mouseType) ? cpiTableB() : cpiTableA();
        for (int level = 0; level < kCpiLevels; ++level) {
            const BYTE code = byte(kCpiXLowAt + level);
            // 0 is a level switched off; any other code must be one the mouse knows.
            if (code != 0 && cpiOfCode(table, code) == 0)
                return refuse(QStringLiteral("CPI code %1 of level %2").arg(code).arg(level + 1));
        }
    }
    return true;
}

} // namespace OspreyFamily
