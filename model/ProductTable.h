#pragma once
#include "platform/WinTypes.h"

#include <QString>
#include <QtGlobal>

// The product catalogue: one row per mouse with every per-model fact, its
// identities and scan rank, folder name, family, CPI levels, picture and
// buttons, lights, screen, factory record and the second family's protocol
// facts. Every layer above asks it (or the named questions below) instead of
// naming model numbers, so a model is added as one row.

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

// The CPI range of a model's levels, as its settings page steps through it.
struct CpiRange
{
    bool twoSteps; // finer steps below the threshold, coarser from it up
    int minimum;
    int middle; // the value printed in the middle of the scale
    int maximum;
    int step;      // the step (below the threshold, for two steps)
    int largeStep; // from the threshold up (two steps only)
    int threshold;
};

// How a second- or third-family model codes a CPI level.
enum class CpiCoding { None, Fifties, TableA, TableB };

// The second family's protocol facts that differ per model.
struct OspreyFacts
{
    quint8 sumLow;          // the pair the fixed part of its profile sums to
    quint8 sumHigh;
    bool anyFixedPart;      // its profile is taken whatever the fixed part sums to
    bool secondBalanceByte; // byte 19 balances the fixed part too, as byte 13 does
    CpiCoding cpiCoding;
    bool cpiLoopOnButton13; // button 13's factory job steps through the CPI levels [07 00 03 00]
    bool profileLoopWord;   // button word 8 is the profile loop on every profile write
    bool lannerWords;       // buttons 9 and 10 exist, and 15 and 16 sit on the media words 13 and 12
};

// How a first-family model codes a CPI level.
enum class KorvanCpiCoding { None, Fifties, Hundreds, TwoRange };

// The first family's protocol facts that differ per model.
struct KorvanFacts
{
    KorvanCpiCoding cpiCoding;
    bool lowStep;        // its sensor cannot go below 200 CPI: a level of 200 or less switches it off
    bool swappedButtons; // the button block in the Merlin's order
};

// The factory configuration a model starts from and returns to.
enum class FactoryImage {
    None,
    KorvanMerlin,    // first family, Merlin settings and buttons
    KorvanKestrelC,  // Merlin settings with the Kestrel's buttons
    KorvanKestrel,
    KorvanKestrelQ,  // the Kestrel's with its own CPI levels
    KorvanKestrelEU, // the Kestrel's with its own CPI levels
    TernBase,        // second and third families
    TernWren,        // the base with its CPI levels in the Wren's coding
    Tern3,
    Tern4,
    Tern5,
    Tern6,
};

// What the picture's plates say beyond their usual captions.
enum class ButtonCaptions {
    Standard,
    CpiOnButton13,    // button 13 is one CPI button
    CpiAndVolumeKeys, // as above, and buttons 15 and 16 are volume keys
};

// A page button 4..17 as a bit of a button set.
constexpr quint32 buttonBit(int button)
{
    return 1u << button;
}
template <typename... Buttons>
constexpr quint32 buttonSet(Buttons... buttons)
{
    return (buttonBit(buttons) | ...);
}

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
    // The presence scan's preference, 1 first: by cable and through the receiver (0: none).
    int wiredRank;
    int receiverRank;
    // The CPI levels: how many the model has, their range, and the CPI each
    // level takes when switched on without a usable value.
    int cpiLevels;
    CpiRange cpiRange;
    int cpiDefaults[7];
    bool screenButton;         // the user draws the screen's picture
    FactoryImage factory;
    const char *picture;       // the picture the settings page shows (models that look alike share one)
    quint32 pictureButtons;    // the page buttons with a plate on the picture
    ButtonCaptions captions;
    OspreyFacts osprey;        // second and third families only
    KorvanFacts korvan;        // first family only
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
// A model's family protocol facts; all-false (coding None) for a type
// without a row or of the other family.
OspreyFacts ospreyFacts(int mouseType);
KorvanFacts korvanFacts(int mouseType);
// A firmware version as people read it: the first family's 32-bit word as
// four numbers ("5.0.0.3"), the others' release number as the BCD it is
// ("1.05" for 0x0105); a small number (a fallback) as itself.
QString firmwareText(int mouseType, int version);

} // namespace Products

// The model code of the open device, shared by the whole process. Set on the
// bridge's worker thread when a device is opened; pages read it after the
// open result has reached them.
namespace MouseType {
int current();
void setCurrent(int mouseType);
} // namespace MouseType
