// The README's pictures of button assignment: the whole program with an
// emulated Harrier, (1) the key dialog opened from a button on the settings
// page's picture with Ctrl + Shift + A typed into it, and (2) the macro page
// with a macro recorded from key presses. Saves them to the two paths given.
#include "pages/KeySettingDialog.h"
#include "pages/MacroEditWidget.h"
#include "pages/MainSettingWidget.h"
#include "pages/MyPushButton.h"
#include "support/PageInput.h"
#include "support/ShotWindow.h"

#include <QApplication>
#include <QListWidget>
#include <QtTest>

namespace {

constexpr quint32 kKeycodeS = 39;
constexpr quint32 kKeycodeD = 40;

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 3) {
        qCritical("usage: assignment-shot KEY-DIALOG.png MACRO-PAGE.png");
        return 2;
    }
    std::unique_ptr<MainWindow> shown = ShotWindow::open(QStringLiteral("harrier"));
    if (!shown)
        return 1;
    MainWindow &window = *shown;

    // The key dialog of the right button, Ctrl + Shift + A typed in.
    auto *page = window.findChild<MainSettingWidget *>();
    QTest::mouseClick(page->mouseButton(6), Qt::LeftButton);
    auto *dialog = window.findChild<KeySettingDialog *>();
    if (!dialog || !dialog->isVisible()) {
        qCritical("the key dialog did not open");
        return 1;
    }
    startKeyCapture(dialog);
    sendKey(dialog, QEvent::KeyPress, Qt::Key_Control, Keycode::LeftCtrl);
    sendKey(dialog, QEvent::KeyPress, Qt::Key_Shift, Keycode::LeftShift);
    sendKey(dialog, QEvent::KeyPress, Qt::Key_A, Keycode::A);
    if (!ShotWindow::save(window, dialog, argv[1]))
        return 1;
    clickNamed(dialog, "CloseBattaryButton");

    // A macro recorded on the macro page: S, D, A with pauses between them.
    clickNamed(&window, "MacroEditButton");
    auto *macros = window.findChild<MacroEditWidget *>();
    clickNamed(macros, "CreateButton");
    clickNamed(macros, "StartRecordButton");
    const std::pair<int, quint32> keys[] = {{Qt::Key_S, kKeycodeS}, {Qt::Key_D, kKeycodeD}, {Qt::Key_A, Keycode::A}};
    for (const auto &key : keys) {
        sendKey(macros, QEvent::KeyPress, key.first, key.second);
        QTest::qWait(90);
        sendKey(macros, QEvent::KeyRelease, key.first, key.second);
        QTest::qWait(160);
    }
    clickNamed(macros, "StartRecordButton");
    return ShotWindow::save(window, nullptr, argv[2]) ? 0 : 1;
}
