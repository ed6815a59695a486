// Button assignment in the whole program with an emulated second-family
// mouse (a harrier): the key dialog opened from the settings page's picture,
// a key with modifiers and a recorded macro bound through it, found in the
// mouse's profile and macro memory, and the page showing what the mouse then
// reports for the buttons.
#include "emulator/osprey/EmulatedOspreyMouse.h"
#include "pages/KeySettingDialog.h"
#include "pages/MacroEditWidget.h"
#include "pages/MainSettingWidget.h"
#include "pages/MouseButtonLayout.h"
#include "pages/MyPushButton.h"
#include "store/TextTable.h"
#include "support/PageInput.h"
#include "support/WindowRig.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {

constexpr int kWaitMs = WindowRig::kWaitMs;
constexpr char kUsageA = 0x04;
// The profile's button words: four bytes each from position 332; the
// harrier's right button is word 1.
constexpr int kButtonWords = 332;
constexpr int kRightButtonWord = 1;
// The middle button's macro slot.
constexpr quint8 kMiddleButtonMacro = 0x94;

} // namespace

class TestAssignmentFlow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WindowRig> m_rig;
    std::shared_ptr<EmulatedOspreyMouse> m_mouse;

    MainSettingWidget *page() const { return m_rig->page(); }
    KeySettingDialog *dialog() const { return m_rig->window->findChild<KeySettingDialog *>(); }

    // Clicks a button's plate on the picture; the window opens the key dialog for it.
    KeySettingDialog *openDialogFor(int button)
    {
        MyPushButton *plate = page()->mouseButton(button);
        if (!plate->isVisible())
            qFatal("button %d is not on the picture", button);
        QTest::mouseClick(plate, Qt::LeftButton);
        KeySettingDialog *d = dialog();
        if (!d->isVisible() || d->button() != button)
            qFatal("no key dialog for button %d", button);
        return d;
    }

private slots:
    void init()
    {
        TextTable::loadTextTable(QStringLiteral(HARRIER_SOURCE_DIR "/resources/translate.json"),
                                 TextTable::kEnglishSlot);
        m_rig = std::make_unique<WindowRig>();
        m_mouse = std::make_shared<EmulatedOspreyMouse>(QStringLiteral("harrier"));
        QVERIFY(m_rig->plugAndOpen(m_mouse));
    }

    void cleanup()
    {
        m_rig.reset();
        m_mouse.reset();
    }

    void keyWithModifiers()
    {
        QCOMPARE(page()->mouseType(), 19);
        MyPushButton *right = page()->mouseButton(6);
        QVERIFY(right->isOriginal());

        KeySettingDialog *d = openDialogFor(6);
        // The title names the button.
        QCOMPARE(d->findChild<QLabel *>(QStringLiteral("TitleLabel"))->text(), MouseButtonLayout::dialogTitle(19, 6));
        QVERIFY(!MouseButtonLayout::dialogTitle(19, 6).isEmpty());
        startKeyCapture(d);
        sendKey(d, QEvent::KeyPress, Qt::Key_Control, Keycode::LeftCtrl);
        sendKey(d, QEvent::KeyPress, Qt::Key_Shift, Keycode::LeftShift);
        sendKey(d, QEvent::KeyPress, Qt::Key_A, Keycode::A);
        clickNamed(d, "OKButton");
        QVERIFY(!d->isVisible());

        // Key word: kind 0, the modifier bits, the key's usage.
        const int at = kButtonWords + 4 * kRightButtonWord;
        QTRY_COMPARE_WITH_TIMEOUT(m_mouse->profile().mid(at, 4), QByteArray("\x00\x03\x04\x00", 4), kWaitMs);
        // The page shows what the mouse reported.
        QTRY_COMPARE_WITH_TIMEOUT(right->changeType(), 29, kWaitMs);
        QCOMPARE(right->trueMouseValue(), 0x41);
        QCOMPARE(right->modifyKey(), 3);
        QVERIFY(!right->isOriginal());

        // The dialog opened again shows it; back to default restores the factory word.
        d = openDialogFor(6);
        QCOMPARE(d->findChild<QLabel *>(QStringLiteral("StatusLabel"))->text(),
                 KeySettingDialog::statusText(29, 0x41, 3));
        clickNamed(d, "BackToDefalutButton");
        QTRY_COMPARE_WITH_TIMEOUT(m_mouse->profile().mid(at, 4), QByteArray("\x01\x00\xF1\x00", 4), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(right->isOriginal(), kWaitMs);
        QCOMPARE(right->changeType(), -1);
    }

    // Escape cancels: straight after opening, and after a key was taken
    // into the field; the mouse's button word and the page stay as they were.
    void escapeLeavesTheButtonAsItWas()
    {
        const int at = kButtonWords + 4 * kRightButtonWord;
        const QByteArray before = m_mouse->profile().mid(at, 4);
        for (bool typedFirst : {false, true}) {
            KeySettingDialog *d = openDialogFor(6);
            if (typedFirst) {
                startKeyCapture(d);
                sendKey(d, QEvent::KeyPress, Qt::Key_F5, Keycode::F5);
            }
            sendKey(d, QEvent::KeyPress, Qt::Key_Escape, Keycode::Escape);
            QVERIFY(!d->isVisible());
        }
        QTest::qWait(300);
        QCOMPARE(m_mouse->profile().mid(at, 4), before);
        QVERIFY(page()->mouseButton(6)->isOriginal());
    }

    void recordedMacro()
    {
        // Record A down, A up on the macro page.
        clickNamed(m_rig->window.get(), "MacroEditButton");
        auto *macros = m_rig->window->findChild<MacroEditWidget *>();
        QVERIFY(macros->isVisible());
        clickNamed(macros, "CreateButton");
        clickNamed(macros, "StartRecordButton");
        sendKey(macros, QEvent::KeyPress, Qt::Key_A, Keycode::A);
        QTest::qWait(20);
        sendKey(macros, QEvent::KeyRelease, Qt::Key_A, Keycode::A);
        clickNamed(macros, "StartRecordButton");

        clickNamed(m_rig->window.get(), "MainSettingButton");
        KeySettingDialog *d = openDialogFor(5);
        clickNamed(d, "MarcoEditButton");
        auto *groups = d->findChild<QListWidget *>(QStringLiteral("MacroTitleListWidget"));
        const QListWidgetItem *player = groups->findItems(QStringLiteral("PlayerCustom"), Qt::MatchExactly).value(0);
        QVERIFY(player);
        QTest::mouseClick(groups->viewport(), Qt::LeftButton, Qt::NoModifier, groups->visualItemRect(player).center());
        auto *names = d->findChild<QListWidget *>(QStringLiteral("MacroNameListWidget"));
        QCOMPARE(names->count(), 1);
        names->item(0)->setCheckState(Qt::Checked);
        clickNamed(d, "OKButton");

        // The macro's events in the middle button's slot: press and release of A.
        QTRY_VERIFY_WITH_TIMEOUT(m_mouse->macroBlock(kMiddleButtonMacro).count(kUsageA) >= 2, kWaitMs);
        MyPushButton *middle = page()->mouseButton(5);
        QTRY_COMPARE_WITH_TIMEOUT(middle->changeType(), 33, kWaitMs);
        QVERIFY(!middle->isOriginal());
    }
};

QTEST_MAIN(TestAssignmentFlow)
#include "tst_assignmentflow.moc"
