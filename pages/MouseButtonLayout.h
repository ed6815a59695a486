#pragma once
#include <QRect>
#include <QString>

// Where the assignable buttons of each model sit on its mouse picture, and
// what they are called there and in the key dialog's title. The pictures
// and the plate rectangles are drawn together by scripts/make-images.py.
namespace MouseButtonLayout {

// Size of every mouse picture on the settings page.
constexpr int PictureWidth = 216;
constexpr int PictureHeight = 340;

// The picture of a model type ("kestrel", "osprey" ...); empty for a type
// without one (no mouse yet).
QString pictureName(int mouseType);
// Resource path of that picture; the generic mouse when the type has none.
QString picturePath(int mouseType);
// The button's plate on the model's picture; empty when the picture has none.
QRect plate(int mouseType, int button);
// Caption on the plate.
QString caption(int mouseType, int button);
// The key dialog's title for the button.
QString dialogTitle(int mouseType, int button);

} // namespace MouseButtonLayout
