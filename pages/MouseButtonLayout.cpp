#include "pages/MouseButtonLayout.h"

#include "model/ProductTable.h"
#include "store/TextTable.h"

namespace MouseButtonLayout {

namespace {

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

// Buttons that do something else on some models than the name above says,
// by the catalogue's caption set.
struct SpecialName
{
    ButtonCaptions captions;
    ButtonName name;
};
const SpecialName kSpecialNames[] = {
    // One CPI button that steps through the levels.
    {ButtonCaptions::CpiOnButton13, {13, {-1, "CPI"}, {-1, "CPI"}}},
    {ButtonCaptions::CpiAndVolumeKeys, {13, {-1, "CPI"}, {-1, "CPI"}}},
    // The lanner's two buttons on the right are its volume keys.
    {ButtonCaptions::CpiAndVolumeKeys,
     {15, {TextTable::TextButtonVolumeDown, nullptr}, {TextTable::TextButtonVolumeDown, nullptr}}},
    {ButtonCaptions::CpiAndVolumeKeys,
     {16, {TextTable::TextButtonVolumeUp, nullptr}, {TextTable::TextButtonVolumeUp, nullptr}}},
};

const ButtonName *nameOf(int mouseType, int button)
{
    const ProductInfo *p = Products::byType(mouseType);
    for (const SpecialName &special : kSpecialNames)
        if (p && special.name.button == button && special.captions == p->captions)
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
    const ProductInfo *p = Products::byType(mouseType);
    return p && p->picture ? QLatin1String(p->picture) : QString();
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
