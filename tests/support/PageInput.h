#pragma once
// Driving a page as a user does, offscreen: named widgets found and clicked,
// keys sent with the X11 keycode Linux reports beside the Qt key.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRadioButton>
#include <QLineEdit>
#include <QtTest>

// X11 keycodes of the keys the page tests type.
namespace Keycode {
constexpr quint32 A = 38;
constexpr quint32 B = 56;
constexpr quint32 LeftCtrl = 37;
constexpr quint32 RightCtrl = 105;
constexpr quint32 LeftShift = 50;
constexpr quint32 RightShift = 62;
constexpr quint32 Escape = 9;
constexpr quint32 Tab = 23;
constexpr quint32 F5 = 71;
} // namespace Keycode

// The named child of root; a missing one ends the test run, as a wrong name is a test fault.
template <typename T>
T *namedChild(const QObject *root, const char *name)
{
    T *widget = root->findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no widget %s", name);
    return widget;
}

// A radio button or check box answers on its indicator and text, not on all its width.
inline void clickNamed(const QObject *root, const char *name)
{
    auto *button = namedChild<QAbstractButton>(root, name);
    const bool indicator = qobject_cast<QRadioButton *>(button) || qobject_cast<QCheckBox *>(button);
    const QPoint at = indicator ? QPoint(6, button->height() / 2) : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
}

// The key dialog takes keys as the assignment once its key field was clicked.
inline void startKeyCapture(QWidget *dialog)
{
    if (auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("KeyLineEdit")))
        QTest::mouseClick(field, Qt::LeftButton);
}

inline void sendKey(QWidget *target, QEvent::Type type, int qtKey, quint32 keycode, bool autoRepeat = false)
{
    QKeyEvent event(type, qtKey, Qt::NoModifier, keycode, 0, 0, QString(), autoRepeat);
    QApplication::sendEvent(target, &event);
}

inline void tapKey(QWidget *target, int qtKey, quint32 keycode)
{
    sendKey(target, QEvent::KeyPress, qtKey, keycode);
    sendKey(target, QEvent::KeyRelease, qtKey, keycode);
}

// Presses a slider in its middle, drags it to x (past either end to reach it
// whatever the rounding) and lets go there.
inline void dragSlider(QWidget *slider, int x)
{
    const int y = slider->height() / 2;
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(slider->width() / 2, y));
    const QPoint end(x, y);
    QMouseEvent move(QEvent::MouseMove, end, slider->mapToGlobal(end), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(slider, &move);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, end);
}

// A left-button drag through the points (widget coordinates), as a pointer
// draws it: press at the first, a move to each of the others, release at the last.
inline void dragThrough(QWidget *target, const QVector<QPoint> &points)
{
    const auto send = [target](QEvent::Type type, const QPoint &at, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, at, target->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    };
    send(QEvent::MouseButtonPress, points.first(), Qt::LeftButton, Qt::LeftButton);
    for (int i = 1; i < points.size(); ++i)
        send(QEvent::MouseMove, points.at(i), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, points.last(), Qt::LeftButton, Qt::NoButton);
}

// The pointer moving over the target with no button held.
inline void hoverTo(QWidget *target, const QPoint &at)
{
    QMouseEvent event(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}
