// The first-family driver's encodings that need no device: key table,
// modifier bits, macro images and OLED picture packing.
#include "device/kestrel/KestrelMacroCodec.h"
#include "device/kestrel/KestrelPictureCodec.h"
#include "device/kestrel/USBDriverKestrel.h"
#include "platform/AppPaths.h"
#include "support/TempAppFolder.h"

#include <QStandardPaths>

#include <QtTest>
#include <vector>

Q_DECLARE_METATYPE(QVector<DWORD>)

namespace {

DWORD press(int vk) { return (KestrelMacroCodec::kKeyPress << 24) | DWORD(vk); }
DWORD release(int vk) { return (KestrelMacroCodec::kKeyRelease << 24) | DWORD(vk); }
DWORD delay(int ms) { return (KestrelMacroCodec::kDelay << 24) | DWORD(ms); }
// Sign-magnitude X in bits 0..11, Y in bits 12..23, as macro files give them.
DWORD move(int x, int y)
{
    DWORD v = DWORD(qAbs(x) & 0x7FF) | (x < 0 ? 0x800 : 0);
    v |= (DWORD(qAbs(y) & 0x7FF) << 12) | (y < 0 ? 0x800000 : 0);
    return (KestrelMacroCodec::kPointerMove << 24) | v;
}

} // namespace

class TestKestrelTables : public QObject
{
    Q_OBJECT

private slots:
    void keyTable_data()
    {
        QTest::addColumn<int>("usage");
        QTest::addColumn<int>("key");     // what the usage reads as
        QTest::addColumn<int>("usageBack"); // what that key writes as
        QTest::newRow("Escape") << 0x29 << 0x1B << 0x29;
        QTest::newRow("F1") << 0x3A << 0x70 << 0x3A;
        QTest::newRow("F12") << 0x45 << 0x7B << 0x45;
        QTest::newRow("A") << 0x04 << 0x41 << 0x04;
        QTest::newRow("Z") << 0x1D << 0x5A << 0x1D;
        QTest::newRow("1") << 0x1E << 0x31 << 0x1E;
        QTest::newRow("9") << 0x26 << 0x39 << 0x26;
        QTest::newRow("0") << 0x27 << 0x30 << 0x27;
        QTest::newRow("Enter") << 0x28 << 0x0D << 0x28;
        QTest::newRow("keypad Enter comes back as Enter") << 0x58 << 0x0D << 0x28;
        QTest::newRow("keypad 1") << 0x59 << 0x61 << 0x59;
        QTest::newRow("keypad 9") << 0x61 << 0x69 << 0x61;
        QTest::newRow("keypad 0") << 0x62 << 0x60 << 0x62;
        QTest::newRow("num lock") << 0x53 << 0x90 << 0x53;
        QTest::newRow("up arrow") << 0x52 << 0x26 << 0x52;
        QTest::newRow("left Ctrl") << 0xE0 << 0xA2 << 0xE0;
        QTest::newRow("left Win") << 0xE3 << 0x5B << 0xE3;
        QTest::newRow("F0 is right Ctrl") << 0xF0 << 0xA3 << 0xF0;
        QTest::newRow("F1 is right Shift") << 0xF1 << 0xA1 << 0xF1;
        QTest::newRow("F2 is the middle mouse key") << 0xF2 << 0x04 << 0xF2;
        QTest::newRow("application key") << 0x65 << 0x5D << 0x65;
        QTest::newRow("unknown usage") << 0x64 << 0 << 0;
    }
    void keyTable()
    {
        QFETCH(int, usage);
        QFETCH(int, key);
        QFETCH(int, usageBack);
        QCOMPARE(USBDriverKestrel::UsageToKey(usage), key);
        QCOMPARE(USBDriverKestrel::KeyToUsage(key), usageBack);
    }

    void mouseKeysGoOutAsF0toF2()
    {
        QCOMPARE(USBDriverKestrel::KeyToUsage(0x01), 0xF0);
        QCOMPARE(USBDriverKestrel::KeyToUsage(0x02), 0xF1);
        QCOMPARE(USBDriverKestrel::KeyToUsage(0x04), 0xF2);
        QCOMPARE(USBDriverKestrel::KeyToUsage(0xFF), 0);
    }

    void modifierBits_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("exchanged");
        QTest::newRow("Ctrl <-> Shift") << 1 << 2;
        QTest::newRow("Shift <-> Ctrl") << 2 << 1;
        QTest::newRow("Ctrl+Alt") << 5 << 6;
        QTest::newRow("Ctrl+Win") << 9 << 10;
        QTest::newRow("Ctrl+Alt+Win") << 13 << 14;
        QTest::newRow("both bits") << 3 << 3;
        QTest::newRow("neither bit") << 4 << 4;
        QTest::newRow("all four") << 15 << 15;
        QTest::newRow("none has no device form") << 0 << -1;
        QTest::newRow("16 has no device form") << 16 << -1;
    }
    void modifierBits()
    {
        QFETCH(int, code);
        QFETCH(int, exchanged);
        QCOMPARE(USBDriverKestrel::ExchangeModifierBits(code), exchanged);
        if (exchanged > 0)
            QCOMPARE(USBDriverKestrel::ExchangeModifierBits(exchanged), code);
    }

    void macroImage_data()
    {
        QTest::addColumn<int>("header");
        QTest::addColumn<QVector<DWORD>>("events");
        QTest::addColumn<QByteArray>("image"); // bytes 0 .. 3n+3
        QTest::newRow("empty") << 0x0003 << QVector<DWORD>{} << QByteArray::fromHex("04000300");
        QTest::newRow("press, delay, release") << 0xFFFE << QVector<DWORD>{press(0x41), delay(100), release(0x41)}
                                               << QByteArray::fromHex("0a00feff" "c90004" "000004");
        QTest::newRow("delay keeps the press bit")
            << 1 << QVector<DWORD>{press(0x41), delay(1)} << QByteArray::fromHex("07000100" "030004");
        QTest::newRow("leading delay has no event to join")
            << 1 << QVector<DWORD>{delay(50), press(0x1B)} << QByteArray::fromHex("07000100" "010029");
        QTest::newRow("move right and up") << 1 << QVector<DWORD>{move(5, -3)}
                                           << QByteArray::fromHex("0a000100" "0000f7" "000503");
        QTest::newRow("move left and down, two's complement 12 bits")
            << 1 << QVector<DWORD>{move(-1, 300)} << QByteArray::fromHex("0a000100" "0000f7" "feffd4");
        QTest::newRow("delay after a move goes to its head")
            << 1 << QVector<DWORD>{move(1, 0), delay(10)} << QByteArray::fromHex("0a000100" "1400f7" "000100");
        // The displacement's Y byte is F7 here; the later delay still belongs to the key press.
        QTest::newRow("move whose Y byte is F7, then a key")
            << 1 << QVector<DWORD>{move(0, 9), press(0x41), delay(2)}
            << QByteArray::fromHex("0d000100" "0000f7" "0f00f7" "050004");
        QTest::newRow("delay of 0x7FFF") << 1 << QVector<DWORD>{release(0x0D), delay(0x7FFF)}
                                         << QByteArray::fromHex("07000100" "feff28");
    }
    void macroImage()
    {
        QFETCH(int, header);
        QFETCH(QVector<DWORD>, events);
        QFETCH(QByteArray, image);
        KestrelMacro macro;
        macro.header = WORD(header);
        macro.events = events;
        std::vector<BYTE> out(4096, 0xEE);
        int length = -1;
        QVERIFY(KestrelMacroCodec::toDeviceImage(macro, out.data(), &length));
        QCOMPARE(length, image.size());
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(out.data()), length), image);
        QCOMPARE(out[length], BYTE(0)); // the rest is cleared
    }

    void macroImageRefuses_data()
    {
        QTest::addColumn<QVector<DWORD>>("events");
        QTest::newRow("key not in the table") << QVector<DWORD>{press(0xFF)};
        QTest::newRow("key code above a byte") << QVector<DWORD>{press(0x141)};
        QTest::newRow("unknown kind") << QVector<DWORD>{0x12000041};
        QVector<DWORD> tooMany(1364, press(0x41));
        QTest::newRow("1364 events") << tooMany;
        QVector<DWORD> moveTooMany(1362, press(0x41));
        moveTooMany << move(1, 1);
        QTest::newRow("a move past 1363 events") << moveTooMany;
    }
    void macroImageRefuses()
    {
        QFETCH(QVector<DWORD>, events);
        KestrelMacro macro;
        macro.events = events;
        std::vector<BYTE> out(4096);
        int length = -1;
        QVERIFY(!KestrelMacroCodec::toDeviceImage(macro, out.data(), &length));
        QCOMPARE(length, -1);
    }

    void macroImageFillsTheSlot()
    {
        KestrelMacro macro;
        macro.events = QVector<DWORD>(1363, release(0x41));
        std::vector<BYTE> out(4096);
        int length = 0;
        QVERIFY(KestrelMacroCodec::toDeviceImage(macro, out.data(), &length));
        QCOMPARE(length, 4093);
        QCOMPARE(out[0] | (out[1] << 8), 4093);
    }

    void imagePacking()
    {
        QImage image(64, 48, QImage::Format_MonoLSB);
        image.setColorCount(2);
        image.setColor(0, qRgb(255, 255, 255));
        image.setColor(1, qRgb(0, 0, 0));
        image.fill(1);
        image.setPixel(0, 0, 0);   // page 0, column 0, bit 0
        image.setPixel(3, 7, 0);   // page 0, column 3, bit 7
        image.setPixel(63, 47, 0); // page 5, column 63, bit 7
        image.setPixel(10, 17, 0); // page 2, column 10, bit 1
        BYTE packed[384];
        QVERIFY(KestrelPictureCodec::pack(image, packed, 384));
        QByteArray expected(384, '\0');
        expected[0] = char(0x01);
        expected[3] = char(0x80);
        expected[5 * 64 + 63] = char(0x80);
        expected[2 * 64 + 10] = char(0x02);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(packed), 384), expected);

        // Back from the device: the same pixels are set, and show in the same colour.
        QImage back;
        QVERIFY(KestrelPictureCodec::unpack(packed, 384, &back));
        QCOMPARE(back.size(), QSize(64, 48));
        QCOMPARE(back.format(), QImage::Format_MonoLSB);
        for (QPoint p : {QPoint(0, 0), QPoint(3, 7), QPoint(63, 47), QPoint(10, 17), QPoint(1, 1), QPoint(40, 30)})
            QCOMPARE(back.pixel(p), image.pixel(p));
        QCOMPARE(back.pixelIndex(0, 0), 1);
        QCOMPARE(back.pixelIndex(1, 1), 0);
    }

    void imagePackingRefuses_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<int>("len");
        QImage good(64, 48, QImage::Format_Mono);
        good.fill(0);
        QTest::newRow("wrong length") << good << 383;
        QTest::newRow("wrong width") << QImage(72, 48, QImage::Format_Mono) << 384;
        QTest::newRow("eight-bit image") << QImage(64, 48, QImage::Format_Grayscale8) << 384;
        QTest::newRow("null image") << QImage() << 384;
    }
    void imagePackingRefuses()
    {
        QFETCH(QImage, image);
        QFETCH(int, len);
        BYTE packed[384] = {};
        QVERIFY(!KestrelPictureCodec::pack(image, packed, len));
        QImage back;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("ByteArrToImage"));
        QVERIFY(!KestrelPictureCodec::unpack(packed, 100, &back));
    }

private:
    TempAppFolder m_dir;
};

QTEST_GUILESS_MAIN(TestKestrelTables)
#include "tst_kestreltables.moc"
