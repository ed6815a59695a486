// The first family's row of the family table: a USBDriverKestrel opened by
// cable or through the receiver, handed to its UsbDriverMangerKestrel, and
// the receiver's channel when the mouse was found by its receiver.
#include "device/FamilyTable.h"
#include "model/ProductTable.h"
#include "device/ScreenSettings.h"
#include "device/kestrel/KestrelReceiver.h"
#include "device/kestrel/KestrelTables.h"
#include "device/kestrel/USBDriverKestrel.h"
#include "device/kestrel/UsbDriverMangerKestrel.h"
#include "model/CpiTables.h"

namespace KestrelFamily {

FamilyParts makeParts(const FamilyRequest &request)
{
    auto *driver = new USBDriverKestrel;
    driver->SetWiredWirelessString(request.wiredFilter, request.receiverFilter);
    driver->SetMode(request.viaReceiver ? 1 : 0);
    auto manager = std::make_unique<UsbDriverMangerKestrel>();
    // Its model from the start, before the bridge names the PID it opens.
    if (request.product)
        manager->SetMousePid(request.product->wiredPid, Products::kVendorId);
    manager->SetDriver(driver); // the manager owns the driver from here on
    FamilyParts parts;
    if (request.viaReceiver)
        parts.receiver = std::make_unique<KestrelReceiverChannel>(driver);
    parts.manager = std::move(manager);
    return parts;
}

bool checkProfile(int mouseType, const QByteArray &record, const QSet<int> &filledMacros, QString *why)
{
    using namespace KestrelTables;
    auto refuse = [why](const QString &what) {
        if (why)
            *why = what;
        return false;
    };
    if (record.size() != kRecordSize)
        return refuse(QStringLiteral("profile record of %1 bytes").arg(record.size()));
    const auto byte = [&record](int at) { return quint8(record.at(at)); };
    if (reportIndexOfInterval(byte(kReportIntervalAt)) < 0)
        return refuse(QStringLiteral("report interval %1 ms").arg(byte(kReportIntervalAt)));
    // The table byte holds the level count less one.
    const int levels = byte(kLevelCountAt) + 1;
    if (levels > kMaxCpiLevels)
        return refuse(QStringLiteral("%1 CPI levels").arg(levels));
    if (byte(kCpiLevelAt) >= levels)
        return refuse(QStringLiteral("CPI level %1 of %2").arg(byte(kCpiLevelAt) + 1).arg(levels));
    const CpiScheme scheme = cpiSchemeOf(mouseType);
    const CpiTables::CpiRange range = CpiTables::rangeFor(mouseType);
    for (int level = 0; level < levels; ++level) {
        const WORD raw = WORD(byte(kCpiTableAt + 2 * level) | byte(kCpiTableAt + 2 * level + 1) << 8);
        // A level that is on never holds a code of nothing (or below the scheme's zero).
        if (rawToCpi(scheme, raw) == 0 || cpiToRaw(scheme, rawToCpi(scheme, raw)) != raw)
            return refuse(QStringLiteral("CPI code %1 of level %2").arg(raw).arg(level + 1));
        const int cpi = int(rawToCpi(scheme, raw));
        if (cpi < range.minimum || cpi > range.maximum)
            return refuse(QStringLiteral("CPI %1 of level %2").arg(cpi).arg(level + 1));
    }
    // The buttons as the pages and harrierctl leave them: some button still
    // clicks left, a macro word names a button slot that holds a macro, and
    // the left button's rapid fire counts macros that are there.
    bool leftClick = false;
    for (int i = 0; i < kButtonCount; ++i) {
        const int at = kButtonsAt + 4 * i;
        const DWORD word = DWORD(byte(at)) | DWORD(byte(at + 1)) << 8 | DWORD(byte(at + 2)) << 16 | DWORD(byte(at + 3)) << 24;
        leftClick = leftClick || isLeftButtonWord(word);
        if (wordByte(word, 0) == kMacroWordType
            && (wordByte(word, 2) >= kFirstRapidFireMacro || !filledMacros.contains(wordByte(word, 2))))
            return refuse(QStringLiteral("button word %1 plays macro slot %2, which holds no macro")
                              .arg(i + 1)
                              .arg(wordByte(word, 2)));
    }
    if (!leftClick)
        return refuse(QStringLiteral("buttons: no button clicks left"));
    const int rapidFire = byte(kRapidFireCountAt);
    if (rapidFire > kRapidFireMacroCount)
        return refuse(QStringLiteral("rapid fire of %1 macros").arg(rapidFire));
    for (int i = 0; i < rapidFire; ++i)
        if (!filledMacros.contains(kFirstRapidFireMacro + i))
            return refuse(QStringLiteral("rapid-fire macro %1 is empty").arg(i + 1));
    // The page's modes: off, steady, breathing, APM breathing, spectrum cycle.
    constexpr int kLastMode = 4;
    if (byte(kLightModeAt) > kLastMode)
        return refuse(QStringLiteral("light mode %1").arg(byte(kLightModeAt)));
    if (byte(kLightSpeedAt) > Products::breathSpeedMaximum(mouseType))
        return refuse(QStringLiteral("light speed %1").arg(byte(kLightSpeedAt)));
    if (byte(kLightDegreeAt) > Products::kLightBrightnessMaximum)
        return refuse(QStringLiteral("light brightness %1").arg(byte(kLightDegreeAt)));
    if (CpiTables::hasScreenButton(mouseType) && !ScreenSettings::isIntensity(byte(kOledIntensityAt)))
        return refuse(QStringLiteral("screen brightness %1").arg(byte(kOledIntensityAt)));
    return true;
}

} // namespace KestrelFamily
