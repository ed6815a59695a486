#include "model/ProductTable.h"

#include <atomic>
#include <iterator>

namespace {

constexpr LightZones kOne = LightZones::MainOnly;
constexpr LightZones kWheelLogo = LightZones::WheelAndLogo;
constexpr LightZones kLogoStrip = LightZones::LogoAndStrip;
constexpr LightZones kWheelStrip = LightZones::WheelAndStrip;

// CPI ranges and per-level defaults the rows share.
constexpr CpiRange kFifties = {false, 50, 8000, 16000, 50, 50, 0};
constexpr CpiRange kTo6200 = {false, 200, 3000, 6200, 100, 100, 0};
constexpr CpiRange kTo5000 = {false, 200, 2500, 5000, 100, 100, 0};
// Its middle label is the middle of the scale (once printed 5200, above the maximum).
constexpr CpiRange kTo5000Printed = {false, 200, 2600, 5000, 100, 100, 0};
constexpr CpiRange kTwoSteps = {true, 200, 5000, 10000, 100, 200, 5000};

// Page buttons each look has a plate for.
constexpr quint32 kFalconButtons = buttonSet(4, 5, 6, 7, 8, 11, 12, 13, 14, 15);
constexpr quint32 kOspreyButtons = buttonSet(4, 5, 6, 7, 8, 11, 12, 13, 14, 15, 16, 17);
constexpr quint32 kSakerButtons = buttonSet(4, 5, 6, 7, 8, 11, 12, 13);
constexpr quint32 kKestrelButtons = buttonSet(4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14);
constexpr quint32 kLannerButtons = buttonSet(4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 16);
constexpr quint32 kHarrierButtons = buttonSet(4, 5, 6, 7, 8, 11, 12, 13, 14);

constexpr OspreyFacts kNoOsprey = {0, 0, false, false, CpiCoding::None, false, false, false};
constexpr KorvanFacts kNoKorvan = {KorvanCpiCoding::None, false, false};
constexpr ButtonCaptions kStandard = ButtonCaptions::Standard;
constexpr ButtonCaptions kCpi13 = ButtonCaptions::CpiOnButton13;

// clang-format off
const ProductInfo kProducts[] = {
    // name       code            family          wired   receiver boot mark   fallback logo    steady screen reset  light  minimum  zones       colourful
    //   scan ranks, CPI levels, range and defaults, screen button, factory record
    //   picture, its buttons, captions; second-family facts (checksum pair, any fixed part, CPI coding, button-13 CPI loop, profile-loop word)
    {"kestrel",   ModelKestrel,   Family::First,  0x4130, 0x1804, nullptr,     32, "kestrel",  30,  true,  false, true,  0, kOne,       false,
        3, 4, 7, kFifties, {800, 1000, 1500, 2000, 3000, 8000, 16000}, true, FactoryImage::KorvanKestrel,
        "kestrel", kKestrelButtons, kStandard, kNoOsprey, {KorvanCpiCoding::Fifties, true, false}},
    {"merlin",    ModelMerlin,    Family::First,  0x4132, 0x4133, "Merlin",    13, "merlin",   -1,  false, false, true,  0, kOne,       false,
        6, 5, 5, kTo5000, {1000, 1500, 2000, 3000, 5000, 0, 0}, false, FactoryImage::KorvanMerlin,
        "merlin", kKestrelButtons, kStandard, kNoOsprey, {KorvanCpiCoding::Hundreds, true, true}},
    {"kestrelc",  ModelKestrelC,  Family::First,  0x4137, 0x180A, nullptr,      5, "kestrel",  -1,  false, false, true,  0, kOne,       false,
        12, 13, 5, kTo5000Printed, {0, 0, 0, 0, 0, 0, 0}, false, FactoryImage::KorvanKestrelC,
        "kestrel", kKestrelButtons, kStandard, kNoOsprey, {KorvanCpiCoding::Hundreds, true, false}},
    {"kestrelq",  ModelKestrelQ,  Family::First,  0x4138, 0x180B, nullptr,      5, "kestrel",   0,  true,  false, true,  0, kOne,       false,
        14, 15, 7, kTo5000Printed, {0, 0, 0, 0, 0, 0, 0}, true, FactoryImage::KorvanKestrelQ,
        "kestrel", kKestrelButtons, kStandard, kNoOsprey, {KorvanCpiCoding::Fifties, true, false}},
    {"merlinc",   ModelMerlinC,   Family::First,  0x4139, 0x180C, nullptr,      5, "merlin",   -1,  false, false, true,  0, kOne,       false,
        16, 17, 5, kTo5000Printed, {0, 0, 0, 0, 0, 0, 0}, false, FactoryImage::KorvanMerlin,
        "merlin", kKestrelButtons, kStandard, kNoOsprey, {KorvanCpiCoding::Hundreds, true, true}},
    {"merlinq",   ModelMerlinQ,   Family::First,  0x413A, 0x180D, nullptr,      5, "merlin",   -1,  false, false, true,  0, kOne,       false,
        18, 19, 5, kTo5000Printed, {0, 0, 0, 0, 0, 0, 0}, false, FactoryImage::KorvanMerlin,
        "merlin", kKestrelButtons, kStandard, kNoOsprey, {KorvanCpiCoding::Hundreds, true, true}},
    {"kestreleu", ModelKestrelEU, Family::First,  0x413B, 0x180F, "KestrelEU",  1, "kestrel",   0,  false, false, false, 0, kOne,       false,
        20, 21, 7, kTwoSteps, {800, 1000, 1500, 2000, 3000, 4000, 5000}, false, FactoryImage::KorvanKestrelEU,
        "kestrel", kKestrelButtons, kStandard, kNoOsprey, {KorvanCpiCoding::TwoRange, false, false}},
    {"falcon",    ModelFalcon,    Family::Second, 0x4123, 0,      nullptr,      8, "falcon",   -1,  false, false, false, 0, kWheelLogo, false,
        2, 0, 5, kTo6200, {800, 1200, 1800, 3000, 6200, 0, 0}, false, FactoryImage::TernBase,
        "falcon", kFalconButtons, kStandard, {0xE7, 0x7A, false, false, CpiCoding::TableA, false, false, false}, kNoKorvan},
    {"osprey",    ModelOsprey,    Family::Second, 0x4122, 0,      nullptr,     10, "osprey",   -1,  true,  true,  false, 0, kWheelLogo, false,
        1, 0, 7, kFifties, {800, 1000, 1500, 2000, 3000, 8000, 16000}, true, FactoryImage::Tern3,
        "osprey", kOspreyButtons, kStandard, {0x02, 0x7C, false, true, CpiCoding::Fifties, false, false, false}, kNoKorvan},
    {"saker",     ModelSaker,     Family::Second, 0x4126, 0,      nullptr,      4, "falcon",   -1,  false, false, false, 0, kWheelLogo, true,
        7, 0, 7, kTo6200, {400, 800, 1200, 1600, 2000, 2400, 3000}, false, FactoryImage::Tern4,
        "saker", kSakerButtons, kCpi13, {0xD6, 0x79, false, false, CpiCoding::TableB, true, false, false}, kNoKorvan},
    {"falcons",   ModelFalconS,   Family::Second, 0x4124, 0,      nullptr,      3, "falcon",   -1,  false, false, false, 0, kWheelLogo, false,
        10, 0, 5, kFifties, {500, 800, 1600, 2000, 2500, 0, 0}, false, FactoryImage::Tern5,
        "falcon", kFalconButtons, kStandard, {0xB7, 0x77, false, false, CpiCoding::Fifties, false, false, false}, kNoKorvan},
    {"sakers",    ModelSakerS,    Family::Second, 0x4118, 0,      nullptr,      4, "falcon",   -1,  false, false, false, 0, kWheelLogo, true,
        11, 0, 7, kFifties, {800, 1000, 1500, 2000, 3000, 8000, 16000}, false, FactoryImage::Tern6,
        "saker", kSakerButtons, kCpi13, {0x4A, 0x79, false, false, CpiCoding::Fifties, true, false, false}, kNoKorvan},
    {"lanner",    ModelLanner,    Family::Second, 0x4162, 0,      nullptr,      4, "lanner",   -1,  false, false, false, 5, kLogoStrip, true,
        8, 0, 7, kTo6200, {400, 800, 1200, 1600, 2000, 2400, 3000}, false, FactoryImage::Tern4,
        "lanner", kLannerButtons, ButtonCaptions::CpiAndVolumeKeys, {0xD6, 0x79, true, false, CpiCoding::TableB, true, true, true}, kNoKorvan},
    {"harrier",   ModelHarrier,   Family::Second, 0x4163, 0,      nullptr,      4, "harrier",  -1,  false, false, false, 1, kWheelStrip, true,
        9, 0, 7, kTo6200, {400, 800, 1200, 1600, 2000, 2400, 3000}, false, FactoryImage::Tern4,
        "harrier", kHarrierButtons, kCpi13, {0xD6, 0x79, true, false, CpiCoding::TableB, true, true, false}, kNoKorvan},
    {"wren",      ModelWren,      Family::Third,  0x4161, 0,      nullptr,      2, "wren",     -1,  false, false, false, 0, kWheelLogo, false,
        22, 0, 5, kTo6200, {400, 800, 1200, 2000, 2500, 0, 0}, false, FactoryImage::TernWren,
        "wren", kFalconButtons, kStandard, {0x4A, 0x79, true, false, CpiCoding::TableB, false, false, false}, kNoKorvan},
};
// clang-format on

std::atomic<int> g_mouseType{0};

} // namespace

namespace Products {

const ProductInfo *begin() { return std::begin(kProducts); }
const ProductInfo *end() { return std::end(kProducts); }

const ProductInfo *byPid(USHORT pid)
{
    if (pid == 0)
        return nullptr;
    for (const ProductInfo &p : kProducts)
        if (p.wiredPid == pid || p.receiverPid == pid)
            return &p;
    return nullptr;
}

const ProductInfo *byType(int mouseType)
{
    for (const ProductInfo &p : kProducts)
        if (p.mouseType == mouseType)
            return &p;
    return nullptr;
}

const ProductInfo *byName(const QString &name)
{
    for (const ProductInfo &p : kProducts)
        if (name == QLatin1String(p.name))
            return &p;
    return nullptr;
}

bool isReceiverPid(USHORT pid)
{
    const ProductInfo *p = byPid(pid);
    return p && p->receiverPid == pid;
}

USHORT wiredPidOfReceiver(USHORT receiverPid)
{
    return isReceiverPid(receiverPid) ? byPid(receiverPid)->wiredPid : 0;
}

QString modelName(int mouseType)
{
    const ProductInfo *p = byType(mouseType);
    return QLatin1String(p ? p->name : "osprey");
}

QString pathFilter(USHORT pid)
{
    return QStringLiteral("VID_%1&PID_%2")
        .arg(QString::number(kVendorId, 16).toUpper())
        .arg(pid, 4, 16, QLatin1Char('0'));
}

int typeOfBootProduct(const QString &productString)
{
    // A product string may name more than one model: the marks are tried in
    // this order, not the table's, "KestrelEU" first and then "Merlin".
    static const int kMarkOrder[] = {ModelKestrelEU, ModelMerlin};
    for (int type : kMarkOrder) {
        const ProductInfo *p = byType(type);
        if (p && p->bootMark && productString.contains(QLatin1String(p->bootMark)))
            return p->mouseType;
    }
    return 0;
}

int typeOfBootRelease(USHORT releaseNumber)
{
    for (const ProductInfo &p : kProducts)
        if (p.family != Family::First && p.wiredPid == releaseNumber)
            return p.mouseType;
    return 0;
}

int fallbackFirmware(int mouseType)
{
    const ProductInfo *p = byType(mouseType);
    return p ? p->fallbackFirmware : 1;
}

bool batteryIsSteady(int mouseType, int firmwareVersion)
{
    const ProductInfo *p = byType(mouseType);
    return p && p->steadyBatteryFrom >= 0 && firmwareVersion >= p->steadyBatteryFrom;
}

bool hasScreenPicture(int mouseType)
{
    const ProductInfo *p = byType(mouseType);
    return p && p->screenPicture;
}

bool clearsPictureOnReset(int mouseType)
{
    const ProductInfo *p = byType(mouseType);
    return p && p->pictureClearedOnReset;
}

bool usesFirstFamilyLightPage(int mouseType)
{
    const ProductInfo *p = byType(mouseType);
    return p && p->firstFamilyLightPage;
}

LightZones lightZones(int mouseType)
{
    const ProductInfo *p = byType(mouseType);
    return p ? p->lightZones : LightZones::WheelAndLogo;
}

bool hasColourfulLight(int mouseType)
{
    const ProductInfo *p = byType(mouseType);
    return p && p->colourfulLight;
}

int breathSpeedMaximum(int mouseType)
{
    // The first family counts breathing speed 0..4, the others 0..9.
    const ProductInfo *p = byType(mouseType);
    return p ? (p->family == Family::First ? 4 : 9) : 0;
}

bool firmwareTooOld(int mouseType, int firmwareVersion)
{
    const ProductInfo *p = byType(mouseType);
    return p && p->minimumFirmware > 0 && firmwareVersion < p->minimumFirmware;
}

QString logoGroup(int mouseType)
{
    const ProductInfo *p = byType(mouseType);
    return p ? QLatin1String(p->logo) : modelName(mouseType);
}

OspreyFacts ospreyFacts(int mouseType)
{
    const ProductInfo *p = byType(mouseType);
    return p ? p->osprey : kNoOsprey;
}

KorvanFacts korvanFacts(int mouseType)
{
    const ProductInfo *p = byType(mouseType);
    return p ? p->korvan : kNoKorvan;
}

QString firmwareText(int mouseType, int version)
{
    const ProductInfo *p = byType(mouseType);
    const quint32 v = quint32(version);
    if (p && p->family == Family::First && v > 0xFFFF)
        return QStringLiteral("%1.%2.%3.%4").arg(v >> 24).arg((v >> 16) & 0xFF).arg((v >> 8) & 0xFF).arg(v & 0xFF);
    if (p && p->family != Family::First && v >= 0x100 && v <= 0xFFFF)
        return QStringLiteral("%1.%2").arg(v >> 8, 0, 16).arg(v & 0xFF, 2, 16, QLatin1Char('0'));
    return QString::number(version);
}

} // namespace Products

namespace MouseType {
int current() { return g_mouseType.load(); }
void setCurrent(int mouseType) { g_mouseType.store(mouseType); }
} // namespace MouseType
