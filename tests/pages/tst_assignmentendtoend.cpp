// From the pages to the mouse: a macro recorded on the macro page and bound
// to a button through the key dialog, and a key with modifiers assigned in
// the dialog, reach an emulated first-family mouse through the bridge on its
// worker thread.
#include "support/BridgeFixture.h"

#include "emulator/kestrel/EmulatedKestrelMouse.h"
#include "pages/KeySettingDialog.h"
#include "pages/MacroEditWidget.h"
#include "support/PageInput.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

namespace {

constexpr quint8 UsageA = 0x04;
// Button words of bank 1: four bytes per button, button 4 first.
constexpr quint32 kButtonWords = 1024 + 512;
// Macro slot 0 of the mouse's macro memory.
constexpr quint32 kMacroSlot0 = 4096;

} // namespace

class TestAssignmentEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void firstFamily()
    {
        BridgeFixture b;
        auto mouse = std::make_shared<EmulatedKestrelMouse>(QStringLiteral("kestrel"));
        b.bus.plug(mouse);
        QVERIFY(b.call("slot_OpenDevice", Q_ARG(USHORT, 0x4130), Q_ARG(USHORT, 0x3A5E)));
        b.sync();
        const QList<QVariantList> opened = b.args("sig_OpenDeviceResult");
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened.first().at(0).toBool());
        const int mouseType = opened.first().at(1).toInt();

        // Record A down, A up on the macro page.
        MacroEditWidget page;
        page.show();
        clickNamed(&page, "CreateButton");
        clickNamed(&page, "StartRecordButton");
        sendKey(&page, QEvent::KeyPress, Qt::Key_A, Keycode::A);
        sendKey(&page, QEvent::KeyRelease, Qt::Key_A, Keycode::A);
        clickNamed(&page, "StartRecordButton");

        // Bind it to button 5 in the dialog.
        KeySettingDialog dialog;
        dialog.connectBridge(b.handle);
        dialog.setMouseType(mouseType);
        dialog.setButton(5);
        dialog.show();
        clickNamed(&dialog, "MarcoEditButton");
        auto *groups = dialog.findChild<QListWidget *>(QStringLiteral("MacroTitleListWidget"));
        const QListWidgetItem *player = groups->findItems(QStringLiteral("PlayerCustom"), Qt::MatchExactly).value(0);
        QVERIFY(player);
        QTest::mouseClick(groups->viewport(), Qt::LeftButton, Qt::NoModifier, groups->visualItemRect(player).center());
        auto *macros = dialog.findChild<QListWidget *>(QStringLiteral("MacroNameListWidget"));
        QCOMPARE(macros->count(), 1);
        macros->item(0)->setCheckState(Qt::Checked);
        clickNamed(&dialog, "OKButton");
        b.sync();
        QCOMPARE(b.warnings(), QList<int>{});
        QCOMPARE(mouse->memory(kButtonWords + 4, 4), QByteArray("\x05\x00\x00\x00", 4));
        QVERIFY(mouse->memory(kMacroSlot0, 64).contains(char(UsageA)));

        // Ctrl + Shift + A on button 6: a key word with modifiers.
        dialog.setButton(6);
        dialog.show();
        startKeyCapture(&dialog);
        sendKey(&dialog, QEvent::KeyPress, Qt::Key_Control, Keycode::LeftCtrl);
        sendKey(&dialog, QEvent::KeyPress, Qt::Key_Shift, Keycode::LeftShift);
        sendKey(&dialog, QEvent::KeyPress, Qt::Key_A, Keycode::A);
        clickNamed(&dialog, "OKButton");
        b.sync();
        const QByteArray word = mouse->memory(kButtonWords + 8, 4);
        QCOMPARE(quint8(word.at(0)), quint8(2)); // key with modifiers
        QVERIFY(word.mid(1).contains(char(UsageA)));
        QVERIFY(word.mid(1).contains(char(3))); // Ctrl and Shift
    }
};

QTEST_MAIN(TestAssignmentEndToEnd)
#include "tst_assignmentendtoend.moc"
