#include "device/kestrel/USBDriverKestrel.h"
#include "platform/KeyCodes.h"

#include <QSet>
#include <QtTest>

// Key events as Linux reports them (Qt key, modifiers, X11 keycode) against
// the virtual-key codes the mice and the macro files count in.
class TestKeyCodes : public QObject
{
    Q_OBJECT

private:
    // Every code some key event of a US PC keyboard can give.
    static QSet<int> reachableCodes()
    {
        QSet<int> codes;
        for (quint32 keycode = 8; keycode < 256; ++keycode)
            codes.insert(KeyCodes::virtualKey(0, Qt::NoModifier, keycode));
        for (int key = 0x20; key < 0x7f; ++key)
            codes.insert(KeyCodes::virtualKey(key, Qt::NoModifier, 0));
        for (int key = Qt::Key_Escape; key <= Qt::Key_LaunchF; ++key)
            codes.insert(KeyCodes::virtualKey(key, Qt::NoModifier, 0));
        codes.remove(0);
        return codes;
    }

private slots:
    void mapsKeyEvents_data()
    {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("keycode");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("name");

        const int none = Qt::NoModifier;
        const int keypad = Qt::KeypadModifier;
        const int shift = Qt::ShiftModifier;
        // Left and right modifiers by X11 keycode; the plain code without one.
        QTest::newRow("left ctrl") << int(Qt::Key_Control) << none << 37 << 162 << "Ctrl";
        QTest::newRow("right ctrl") << int(Qt::Key_Control) << none << 105 << 163 << "Ctrl";
        QTest::newRow("left shift") << int(Qt::Key_Shift) << none << 50 << 160 << "Shfit";
        QTest::newRow("right shift") << int(Qt::Key_Shift) << none << 62 << 161 << "Shfit";
        QTest::newRow("left alt") << int(Qt::Key_Alt) << none << 64 << 164 << "Alt";
        QTest::newRow("right alt as AltGr") << int(Qt::Key_AltGr) << none << 108 << 165 << "Alt";
        QTest::newRow("left win") << int(Qt::Key_Meta) << none << 133 << 91 << "Win";
        QTest::newRow("right win") << int(Qt::Key_Meta) << none << 134 << 92 << "";
        QTest::newRow("ctrl, no keycode") << int(Qt::Key_Control) << none << 0 << 17 << "";
        QTest::newRow("shift, no keycode") << int(Qt::Key_Shift) << none << 0 << 16 << "";
        // Letters and digits: the US position wins over the layout's symbol.
        QTest::newRow("A") << int(Qt::Key_A) << none << 38 << 0x41 << "A";
        QTest::newRow("Z, no keycode") << int(Qt::Key_Z) << none << 0 << 0x5A << "Z";
        QTest::newRow("AZERTY A at the Q place") << int(Qt::Key_A) << none << 24 << 0x51 << "Q";
        QTest::newRow("shift+1 by keycode") << int(Qt::Key_Exclam) << shift << 10 << 0x31 << "1";
        QTest::newRow("shift+1, no keycode") << int(Qt::Key_Exclam) << shift << 0 << 0x31 << "1";
        QTest::newRow("0") << int(Qt::Key_0) << none << 19 << 0x30 << "0";
        // OEM punctuation
        QTest::newRow(";") << int(Qt::Key_Semicolon) << none << 47 << 186 << ";:";
        QTest::newRow("=") << int(Qt::Key_Equal) << none << 21 << 187 << "+";
        QTest::newRow(",") << int(Qt::Key_Comma) << none << 59 << 188 << ",";
        QTest::newRow("-") << int(Qt::Key_Minus) << none << 20 << 189 << "-";
        QTest::newRow(".") << int(Qt::Key_Period) << none << 60 << 190 << ".";
        QTest::newRow("? no keycode") << int(Qt::Key_Question) << shift << 0 << 191 << "/?";
        QTest::newRow("`") << int(Qt::Key_QuoteLeft) << none << 49 << 192 << "`~";
        QTest::newRow("[") << int(Qt::Key_BracketLeft) << none << 34 << 219 << "[{";
        QTest::newRow("\\") << int(Qt::Key_Backslash) << none << 51 << 220 << "|";
        QTest::newRow("] no keycode") << int(Qt::Key_BracketRight) << none << 0 << 221 << "]}";
        QTest::newRow("' no keycode") << int(Qt::Key_Apostrophe) << none << 0 << 222 << "'\"";
        // Keypad, with Num Lock on and off
        QTest::newRow("keypad 0") << int(Qt::Key_0) << keypad << 90 << 96 << "NUMPAD0";
        QTest::newRow("keypad 7, no keycode") << int(Qt::Key_7) << keypad << 0 << 103 << "NUMPAD7";
        QTest::newRow("keypad 1, Num Lock off") << int(Qt::Key_End) << keypad << 87 << 97 << "NUMPAD1";
        QTest::newRow("keypad *") << int(Qt::Key_Asterisk) << keypad << 63 << 106 << "*";
        QTest::newRow("keypad +") << int(Qt::Key_Plus) << keypad << 86 << 107 << "ADD";
        QTest::newRow("keypad -") << int(Qt::Key_Minus) << keypad << 0 << 109 << "SUB";
        QTest::newRow("keypad .") << int(Qt::Key_Delete) << keypad << 91 << 110 << "Del";
        QTest::newRow("keypad /") << int(Qt::Key_Slash) << keypad << 106 << 111 << "/";
        QTest::newRow("keypad enter") << int(Qt::Key_Enter) << keypad << 104 << 13 << "Enter";
        // Function, navigation and lock keys
        QTest::newRow("F1") << int(Qt::Key_F1) << none << 67 << 112 << "F1";
        QTest::newRow("F12") << int(Qt::Key_F12) << none << 96 << 123 << "F12";
        QTest::newRow("F13") << int(Qt::Key_F13) << none << 0 << 124 << "";
        QTest::newRow("escape") << int(Qt::Key_Escape) << none << 9 << 27 << "ESCAPE";
        QTest::newRow("tab") << int(Qt::Key_Tab) << none << 23 << 9 << "TAB";
        QTest::newRow("caps lock") << int(Qt::Key_CapsLock) << none << 66 << 20 << "CAPITAL";
        QTest::newRow("return") << int(Qt::Key_Return) << none << 36 << 13 << "Enter";
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << none << 22 << 8 << "BACK";
        QTest::newRow("space") << int(Qt::Key_Space) << none << 65 << 32 << "SPACE";
        QTest::newRow("print") << int(Qt::Key_Print) << none << 107 << 44 << "PrintScreen";
        QTest::newRow("scroll lock") << int(Qt::Key_ScrollLock) << none << 78 << 145 << "Scroll Lock";
        QTest::newRow("pause") << int(Qt::Key_Pause) << none << 127 << 19 << "Pause Break";
        QTest::newRow("insert") << int(Qt::Key_Insert) << none << 118 << 45 << "INSERT";
        QTest::newRow("home") << int(Qt::Key_Home) << none << 110 << 36 << "HOME";
        QTest::newRow("page up") << int(Qt::Key_PageUp) << none << 112 << 33 << "PageUp";
        QTest::newRow("delete") << int(Qt::Key_Delete) << none << 119 << 46 << "DELETE";
        QTest::newRow("end") << int(Qt::Key_End) << none << 115 << 35 << "END";
        QTest::newRow("page down") << int(Qt::Key_PageDown) << none << 117 << 34 << "PageDown";
        QTest::newRow("up") << int(Qt::Key_Up) << none << 111 << 38 << QStringLiteral("\u2191");
        QTest::newRow("down") << int(Qt::Key_Down) << none << 116 << 40 << QStringLiteral("\u2193");
        QTest::newRow("left") << int(Qt::Key_Left) << none << 113 << 37 << QStringLiteral("\u2190");
        QTest::newRow("right") << int(Qt::Key_Right) << none << 114 << 39 << QStringLiteral("\u2192");
        QTest::newRow("num lock") << int(Qt::Key_NumLock) << none << 77 << 144 << "NumLock";
        // Media keys
        QTest::newRow("mute") << int(Qt::Key_VolumeMute) << none << 121 << 173 << "";
        QTest::newRow("volume down") << int(Qt::Key_VolumeDown) << none << 122 << 174 << "";
        QTest::newRow("volume up") << int(Qt::Key_VolumeUp) << none << 123 << 175 << "";
        QTest::newRow("next") << int(Qt::Key_MediaNext) << none << 171 << 176 << "";
        QTest::newRow("play") << int(Qt::Key_MediaPlay) << none << 172 << 179 << "";
        // Keys without a code
        QTest::newRow("unknown") << int(Qt::Key_unknown) << none << 0 << 0 << "";
        QTest::newRow("e acute") << int(Qt::Key_Eacute) << none << 0 << 0 << "";
    }

    void mapsKeyEvents()
    {
        QFETCH(int, qtKey);
        QFETCH(int, modifiers);
        QFETCH(int, keycode);
        QFETCH(int, code);
        QFETCH(QString, name);
        QCOMPARE(KeyCodes::virtualKey(qtKey, Qt::KeyboardModifiers(modifiers), quint32(keycode)), code);
        QCOMPARE(KeyCodes::keyName(code), name);
    }

    void foldsLeftAndRightModifiers()
    {
        QCOMPARE(KeyCodes::genericModifier(160), 16);
        QCOMPARE(KeyCodes::genericModifier(163), 17);
        QCOMPARE(KeyCodes::genericModifier(165), 18);
        QCOMPARE(KeyCodes::genericModifier(0x41), 0x41);
    }

    // Every key the device's key table knows can be typed: a key the mouse
    // can send is a key the dialog and the recorder can capture.
    void everyDeviceKeyCanBeCaptured()
    {
        const QSet<int> reachable = reachableCodes();
        QStringList missing;
        for (int usage = 1; usage < 256; ++usage) {
            const int code = USBDriverKestrel::UsageToKey(usage);
            // Mouse buttons (1 left, 2 right, 4 middle) come from the page's own buttons.
            if (code == 1 || code == 2 || code == 4)
                continue;
            if (code != 0 && !reachable.contains(code))
                missing << QStringLiteral("usage %1 -> %2").arg(usage).arg(code);
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
    }
};

QTEST_APPLESS_MAIN(TestKeyCodes)
#include "tst_keycodes.moc"
