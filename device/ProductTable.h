#pragma once
#include "platform/WinTypes.h"

#include <QString>

// The vendor's products: one row per mouse, with its wired and (first family)
// receiver identity and the per-model rules the rest of the program reads.
// Every per-model rule keys on the model code; code asks the table (or the
// named questions below) instead of naming model numbers.

enum class Family { None, First, Second, Third };

// The model codes (the process-wide mouse type).
enum ModelCode : int {
    ModelFalcon = 2,
    ModelOsprey = 3,
    ModelSaker = 4,
    ModelFalconS = 5,
    ModelSakerS = 6,
    ModelMerlinC = 7,
    ModelMerlinQ = 8,
    ModelKestrelC = 9,
    ModelKestrelQ = 10,
    ModelKestrel = 11,
    ModelMerlin = 12,
    ModelWren = 13,
    ModelKestrelEU = 14,
    ModelLanner = 18,
    ModelHarrier = 19,
};

// The light zones of a model, as its case names them: the first-family mice
// have one light; the others a first zone (wheel or logo) and a second one
// (logo or light strip).
enum class LightZones { MainOnly, WheelAndLogo, LogoAndStrip, WheelAndStrip };

struct ProductInfo
{
    const char *name;          // lower-case model name, used in folders and files
    int mouseType;             // the model code
    Family family;
    USHORT wiredPid;
    USHORT receiverPid;        // 0: no receiver
    const char *bootMark;      // text the first family's boot loader names this model by; null: none
    int fallbackFirmware;      // firmware version shown when the mouse's cannot be read
    const char *logo;          // logo folder, shared by models that look alike
    int steadyBatteryFrom;     // firmware from which the battery reading needs no filter; -1 never
    bool screenPicture;        // the screen picture is written again with a configuration
    bool pictureClearedOnReset; // a factory reset also writes "no picture" to the screen
    bool firstFamilyLightPage; // the lighting page's first-family layout
    int minimumFirmware;       // older firmware is warned about; 0: none
    LightZones lightZones;
    bool colourfulLight;       // the colourful effect spanning both zones
};

namespace Products {

constexpr USHORT kVendorId = 0x3A5E;
// Boot-loader identities of a mouse waiting for a firmware image.
constexpr USHORT kFirstFamilyBootPid = 0x3000;
constexpr USHORT kOtherFamilyBootVid = 0x0603;
constexpr USHORT kOtherFamilyBootPid = 0x1022;

// Every product, in table order.
const ProductInfo *begin();
const ProductInfo *end();

// The product with this wired or receiver PID; null when unknown.
const ProductInfo *byPid(USHORT pid);
// The product with this model code; null when unknown.
const ProductInfo *byType(int mouseType);
// The product with this lower-case model name; null when unknown.
const ProductInfo *byName(const QString &name);
// True when pid is a first-family receiver identity.
bool isReceiverPid(USHORT pid);
// The wired PID of the mouse behind a receiver PID; 0 for any other PID.
USHORT wiredPidOfReceiver(USHORT receiverPid);

// The model name of a type as file paths and logs use it ("osprey" for unknown types).
QString modelName(int mouseType);

// The path filter a device of the vendor with this PID is found by, such
// as "VID_3A5E&PID_180a" (hex digits of the PID in lower case).
QString pathFilter(USHORT pid);

// The model a boot loader names: the first family's by its product string,
// the other families' by the normal PID in its release number; 0 when none.
int typeOfBootProduct(const QString &productString);
int typeOfBootRelease(USHORT releaseNumber);

// ---- per-model rules ----

// The firmware version shown when the mouse's own cannot be read (1 for unknown types).
int fallbackFirmware(int mouseType);
// True when the battery value reaches the window as the mouse reports it.
bool batteryIsSteady(int mouseType, int firmwareVersion);
// True when a configuration load writes the configuration's screen picture.
bool hasScreenPicture(int mouseType);
// True when a factory reset also clears the screen picture.
bool clearsPictureOnReset(int mouseType);
// True when the lighting page takes its first-family layout.
bool usesFirstFamilyLightPage(int mouseType);
// The model's light zones (two zones for an unknown type).
LightZones lightZones(int mouseType);
// True when the model has the colourful effect across both zones.
bool hasColourfulLight(int mouseType);
// The slowest breathing speed the model takes (the fastest is 0); 0 for an unknown type.
int breathSpeedMaximum(int mouseType);
// Steady light brightness runs 0..this on every model.
constexpr int kLightBrightnessMaximum = 9;
// True when the mouse's firmware is too old for this program.
bool firmwareTooOld(int mouseType, int firmwareVersion);
// The logo folder of a model.
QString logoGroup(int mouseType);

} // namespace Products

// The model code of the open device, shared by the whole process. Set on the
// bridge's worker thread when a device is opened; pages read it after the
// open result has reached them.
namespace MouseType {
int current();
void setCurrent(int mouseType);
} // namespace MouseType
