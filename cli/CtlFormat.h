#pragma once
// How harrierctl writes what it read (text and JSON) and reads what the
// user types (keys, colours, light modes).
#include "device/DeviceTypes.h"
#include "model/ProductTable.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QRgb>
#include <QString>
#include <QVector>

namespace CtlFormat {

// One line of `list`.
struct ListedMouse
{
    USHORT pid = 0;
    const ProductInfo *product = nullptr;
    bool viaReceiver = false;
    bool bootLoader = false;
    bool opened = false;
    int firmware = 0;
    int battery = -1; // percent or 101..103; -1: none
};

struct ShownButton
{
    int number = 0; // 1 is the left button
    bool original = true;
    int changeType = 0;
    int value = 0;
    int modifiers = 0;
};

// What `show` prints.
struct Shown
{
    const ProductInfo *product = nullptr;
    bool wireless = false;
    int firmware = 0;
    int configuration = 0; // 0: none of the five
    QList<int> cpi;        // the model's levels, 0 for one switched off
    int rateHz = 0;
    bool hasLight = false;
    LightColorParam light{};
    QVector<ShownButton> buttons;
};

QString listText(const QVector<ListedMouse> &mice);
QJsonArray listJson(const QVector<ListedMouse> &mice);
QString showText(const Shown &shown);
QJsonObject showJson(const Shown &shown);
QString cpiText(const QList<int> &levels);

// Light modes by name: off, steady, breathing, apm-breathing, spectrum, colourful.
constexpr int kColourfulMode = 5;
int lightModeOfName(const QString &name); // -1 when none
QString lightModeName(int mode);
// The user's breathing scale runs 0 (slowest) up to this.
int breathingMaximum(const ProductInfo *product);
// One zone as `set light` reports it.
QString lightText(const ProductInfo *product, const LightColorParam &light, bool wheel);

// "ff8000", "#ff8000": false for anything else.
bool parseColour(const QString &text, QRgb *colour);
COLORREF colorRef(QRgb colour);

// "ctrl+shift+a", "F5", "alt+Tab", "ctrl": a virtual-key code (0 for a
// modifier alone) and modifier bits 1 Ctrl, 2 Shift, 4 Alt, 8 Win.
bool parseKey(const QString &text, int *virtualKey, int *modifiers, QString *error);
// A button's assignment as text: "default", "key ctrl+A", "function mute", "macro", "disabled".
QString assignmentText(bool original, int changeType, int value, int modifiers);

} // namespace CtlFormat
