#include "pages/MouseButtonLayout.h"

#include "store/TextTable.h"

#include <initializer_list>

namespace MouseButtonLayout {

namespace {

struct PictureOfTypes
{
    std::initializer_list<int> mouseTypes;
    const char *picture;
};
// Models that look alike share a picture; 15, 16 and 17 have the buttons of
// the osprey and the falcon.
const PictureOfTypes kPictures[] = {
    {{9, 10, 11, 14}, "kestrel"}, {{7, 8, 12}, "merlin"}, {{2, 5, 16, 17}, "falcon"}, {{4, 6}, "saker"},
    {{3, 15}, "osprey"},          {{18}, "lanner"},       {{19}, "harrier"},          {{13}, "wren"},
};

struct Plate
{
    const char *picture;
    int button;
    QRect rect;
};
const Plate kPlates[] = {
#include "pages/MousePictureSpots.inc"
};

// A caption is a text of the table, or a fixed text where the index is -1.
struct Caption
{
    int text;
    const char *fixedText;
};
struct ButtonName
{
    int button;
    Caption onPicture;
    Caption inTitle;
};
const ButtonName kNames[] = {
    {4, {TextTable::TextButtonLeft, nullptr}, {TextTable::TextFnLeftButton, nullptr}},
    {5, {TextTable::TextButtonMiddle, nullptr}, {TextTable::TextFnMiddleButton, nullptr}},
    {6, {TextTable::TextButtonRight, nullptr}, {TextTable::TextFnRightButton, nullptr}},
    {7, {TextTable::TextFnForward, nullptr}, {TextTable::TextFnForward, nullptr}},
    {8, {TextTable::TextFnBack, nullptr}, {TextTable::TextFnBack, nullptr}},
    {9, {TextTable::TextButtonSide3, nullptr}, {TextTable::TextButtonSide3, nullptr}},
    {10, {TextTable::TextButtonSide4, nullptr}, {TextTable::TextButtonSide4, nullptr}},
    {11, {TextTable::TextButtonSideWheelUp, nullptr}, {TextTable::TextButtonSideWheelUp, nullptr}},
    {12, {TextTable::TextButtonSideWheelDown, nullptr}, {TextTable::TextButtonSideWheelDown, nullptr}},
    {13, {-1, "CPI+"}, {-1, "CPI+"}},
    {14, {-1, "CPI-"}, {-1, "CPI-"}},
    {15, {TextTable::TextButtonCustom1, nullptr}, {TextTable::TextButtonCustomKey1, nullptr}},
    {16, {TextTable::TextButtonCustom2, nullptr}, {TextTable::TextButtonCustomKey2, nullptr}},
    {17, {TextTable::TextButtonProfile, nullptr}, {TextTable::TextButtonProfileKey, nullptr}},
};

// Buttons that do something else on some models than the name above says.
struct TypeName
{
    std::initializer_list<int> mouseTypes;
    ButtonName name;
};
const TypeName kTypeNames[] = {
    // One CPI button that steps through the levels.
    {{4, 6, 18, 19}, {13, {-1, "CPI"}, {-1, "CPI"}}},
    // The lanner's two buttons on the right are its volume keys.
    {{18}, {15, {TextTable::TextButtonVolumeDown, nullptr}, {TextTable::TextButtonVolumeDown, nullptr}}},
    {{18}, {16, {TextTable::TextButtonVolumeUp, nullptr}, {TextTable::TextButtonVolumeUp, nullptr}}},
};

bool contains(std::initializer_list<int> list, int value)
{
    for (int v : list)
        if (v == value)
            return true;
    return false;
}

const ButtonName *nameOf(int mouseType, int button)
{
    for (const TypeName &special : kTypeNames)
        if (special.name.button == button && contains(special.mouseTypes, mouseType))
            return &special.name;
    for (const ButtonName &name : kNames)
        if (name.button == button)
            return &name;
    return nullptr;
}

QString textOf(const Caption &caption)
{
    return caption.fixedText ? QString::fromUtf8(caption.fixedText) : TextTable::text(caption.text);
}

} // namespace

QString pictureName(int mouseType)
{
    for (const PictureOfTypes &row : kPictures)
        if (contains(row.mouseTypes, mouseType))
            return QLatin1String(row.picture);
    return QString();
}

QString picturePath(int mouseType)
{
    const QString name = pictureName(mouseType);
    return name.isEmpty() ? QStringLiteral(":/picture/picture/mouse_picture.png")
                          : QStringLiteral(":/picture/picture/mouse/%1.png").arg(name);
}

QRect plate(int mouseType, int button)
{
    const QString name = pictureName(mouseType);
    for (const Plate &p : kPlates)
        if (p.button == button && name == QLatin1String(p.picture))
            return p.rect;
    return QRect();
}

QString caption(int mouseType, int button)
{
    const ButtonName *name = nameOf(mouseType, button);
    return name ? textOf(name->onPicture) : QString();
}

QString dialogTitle(int mouseType, int button)
{
    const ButtonName *name = nameOf(mouseType, button);
    return name ? textOf(name->inTitle) : QString();
}

} // namespace MouseButtonLayout
