#include "device/ProductTable.h"

#include <atomic>
#include <iterator>

namespace {

constexpr LightZones kOne = LightZones::MainOnly;
constexpr LightZones kWheelLogo = LightZones::WheelAndLogo;
constexpr LightZones kLogoStrip = LightZones::LogoAndStrip;
constexpr LightZones kWheelStrip = LightZones::WheelAndStrip;

// clang-format off
const ProductInfo kProducts[] = {
    // name       code            family          wired   receiver boot mark   fallback logo    steady screen reset  light  minimum  zones       colourful
    {"kestrel",   ModelKestrel,   Family::First,  0x4130, 0x1804, nullptr,     32, "kestrel",  30,  true,  false, true,  0, kOne,       false},
    {"merlin",    ModelMerlin,    Family::First,  0x4132, 0x4133, "Merlin",    13, "kestrel",  -1,  false, false, true,  0, kOne,       false},
    {"kestrelc",  ModelKestrelC,  Family::First,  0x4137, 0x180A, nullptr,      5, "kestrel",  -1,  false, false, true,  0, kOne,       false},
    {"kestrelq",  ModelKestrelQ,  Family::First,  0x4138, 0x180B, nullptr,      5, "kestrel",   0,  true,  false, true,  0, kOne,       false},
    {"merlinc",   ModelMerlinC,   Family::First,  0x4139, 0x180C, nullptr,      5, "kestrel",  -1,  false, false, true,  0, kOne,       false},
    {"merlinq",   ModelMerlinQ,   Family::First,  0x413A, 0x180D, nullptr,      5, "kestrel",  -1,  false, false, true,  0, kOne,       false},
    {"kestreleu", ModelKestrelEU, Family::First,  0x413B, 0x180F, "KestrelEU",  1, "kestrel",   0,  false, false, false, 0, kOne,       false},
    {"falcon",    ModelFalcon,    Family::Second, 0x4123, 0,      nullptr,      8, "falcon",   -1,  false, false, false, 0, kWheelLogo, false},
    {"osprey",    ModelOsprey,    Family::Second, 0x4122, 0,      nullptr,     10, "osprey",   -1,  true,  true,  false, 0, kWheelLogo, false},
    {"saker",     ModelSaker,     Family::Second, 0x4126, 0,      nullptr,      4, "falcon",   -1,  false, false, false, 0, kWheelLogo, true },
    {"falcons",   ModelFalconS,   Family::Second, 0x4124, 0,      nullptr,      3, "falcon",   -1,  false, false, false, 0, kWheelLogo, false},
    {"sakers",    ModelSakerS,    Family::Second, 0x4118, 0,      nullptr,      4, "falcon",   -1,  false, false, false, 0, kWheelLogo, true },
    {"lanner",    ModelLanner,    Family::Second, 0x4162, 0,      nullptr,      4, "lanner",   -1,  false, false, false, 5, kLogoStrip, true },
    {"harrier",   ModelHarrier,   Family::Second, 0x4163, 0,      nullptr,      4, "harrier",  -1,  false, false, false, 1, kWheelStrip, true },
    {"wren",      ModelWren,      Family::Third,  0x4161, 0,      nullptr,      2, "wren",     -1,  false, false, false, 0, kWheelLogo, false},
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

} // namespace Products

namespace MouseType {
int current() { return g_mouseType.load(); }
void setCurrent(int mouseType) { g_mouseType.store(mouseType); }
} // namespace MouseType
