// The first family's codecs as tables: a page assignment through its button
// word and back to what the pages are told, a macro file's events to the
// macro the mouse gets, a picture file to the mouse's 384 bytes.
#include "device/kestrel/KestrelButtonCodec.h"
#include "device/kestrel/KestrelMacroCodec.h"
#include "device/kestrel/KestrelPictureCodec.h"
#include "support/MacroNodes.h"
#include "support/TempAppFolder.h"

#include <QtTest>

namespace {

DWORD ev(DWORD kind, DWORD value) { return kind << 24 | value; }

} // namespace

Q_DECLARE_METATYPE(QVector<DWORD>)

class TestKestrelCodecs : public QObject
{
    Q_OBJECT
private slots:
    void buttonRoundTrip_data();
    void buttonRoundTrip();
    void buttonRefusals_data();
    void buttonRefusals();
    void buttonWordsOnlyTheDeviceWrites_data();
    void buttonWordsOnlyTheDeviceWrites();
    void macroFromNodes_data();
    void macroFromNodes();
    void pictureFiles();
};

void TestKestrelCodecs::buttonRoundTrip_data()
{
    QTest::addColumn<int>("changeType");
    QTest::addColumn<uint>("vk");
    QTest::addColumn<int>("modifier");
    QTest::addColumn<uint>("word");
    QTest::addColumn<int>("shownType");
    QTest::addColumn<int>("shownValue");
    QTest::addColumn<int>("shownModifier");
    // Page modifier bits 1 Ctrl, 2 Shift, 4 Alt: bits 0 and 1 swap on the device.
    QTest::newRow("key A") << 29 << 0x41u << 0 << 0x00040000u << 29 << 0x41 << 0;
    QTest::newRow("Ctrl+A as a key") << 29 << 0x41u << 1 << 0x04020002u << 29 << 0x41 << 1;
    QTest::newRow("Shift+Alt+A") << 30 << 0x41u << 6 << 0x04050002u << 29 << 0x41 << 6;
    QTest::newRow("Ctrl+W is shortcut 0") << 30 << 0x57u << 1 << 0x1A020002u << 31 << 0 << 0;
    QTest::newRow("mute") << 35 << 0u << 0 << 0xE2000004u << 31 << 35 << 0;
    QTest::newRow("media player") << 39 << 0u << 0 << 0x83010004u << 31 << 39 << 0;
    QTest::newRow("disabled") << 41 << 0u << 0 << 0x00000007u << 41 << 0 << 0;
    QTest::newRow("CPI function 5") << 45 << 0u << 0 << 0x00050008u << 31 << 45 << 0;
    QTest::newRow("left fire") << 44 << 0u << 0 << 0x01010003u << 31 << 44 << 0;
    QTest::newRow("left button") << 48 << 0u << 0 << 0x00010003u << 31 << 48 << 0;
    QTest::newRow("right button") << 49 << 0u << 0 << 0x00020003u << 31 << 49 << 0;
    QTest::newRow("forward button") << 51 << 0u << 0 << 0x00100003u << 31 << 51 << 0;
    QTest::newRow("back button") << 52 << 0u << 0 << 0x00080003u << 31 << 52 << 0;
    QTest::newRow("type-9 function 3") << 55 << 0u << 0 << 0x00030009u << 31 << 55 << 0;
    QTest::newRow("restore: the factory word") << 32 << 0u << 0 << 0x00060008u << 31 << 46 << 0;
    QTest::newRow("mouse button by key lookup") << 40 << 0x41u << 0 << 0x00040003u << 31 << 50 << 0;
    QTest::newRow("type-9 by key lookup") << 43 << 0x41u << 0 << 0x04000009u << 31 << -1 << 0;
}

void TestKestrelCodecs::buttonRoundTrip()
{
    QFETCH(int, changeType);
    QFETCH(uint, vk);
    QFETCH(int, modifier);
    QFETCH(uint, word);
    QFETCH(int, shownType);
    QFETCH(int, shownValue);
    QFETCH(int, shownModifier);
    DWORD encoded = 0;
    QVERIFY(KestrelButtonCodec::encode(changeType, vk, modifier, 0x00060008, &encoded));
    QCOMPARE(encoded, DWORD(word));
    ButtonAssignment shown;
    shown.button = 7;
    QVERIFY(KestrelButtonCodec::decode(encoded, [] { return false; }, &shown));
    QCOMPARE(shown.button, 7);
    QCOMPARE(shown.changeType, shownType);
    QCOMPARE(shown.trueMouseValue, shownValue);
    QCOMPARE(shown.modifyKey, shownModifier);
}

void TestKestrelCodecs::buttonRefusals_data()
{
    QTest::addColumn<int>("changeType");
    QTest::addColumn<uint>("vk");
    QTest::addColumn<int>("modifier");
    QTest::newRow("a key the table does not know") << 29 << 0x07u << 0;
    QTest::newRow("a key of nothing") << 29 << 0u << 0;
    QTest::newRow("a combination without modifiers") << 30 << 0x41u << 0;
    QTest::newRow("a modifier code with no device form") << 30 << 0x41u << 16;
    QTest::newRow("a media key the table does not know") << 34 << 0x07u << 0;
    QTest::newRow("a kind no button takes") << 53 << 0u << 0;
}

void TestKestrelCodecs::buttonRefusals()
{
    QFETCH(int, changeType);
    QFETCH(uint, vk);
    QFETCH(int, modifier);
    DWORD word = 0x12345678;
    QVERIFY(!KestrelButtonCodec::encode(changeType, vk, modifier, 0x00010003, &word));
    QCOMPARE(word, DWORD(0x12345678));
}

void TestKestrelCodecs::buttonWordsOnlyTheDeviceWrites_data()
{
    QTest::addColumn<uint>("word");
    QTest::addColumn<bool>("rapidFire");
    QTest::addColumn<int>("shownType"); // 0: not shown
    QTest::addColumn<int>("shownValue");
    QTest::newRow("left click firing the rapid-fire macros") << 0x00010003u << true << 33 << -1;
    QTest::newRow("mouse button of no mask") << 0x00000003u << false << 33 << -1;
    QTest::newRow("macro slot") << 0x00050005u << false << 33 << -1;
    QTest::newRow("unassigned") << 0xFFFFFFFFu << false << 0 << 0;
    QTest::newRow("type 6") << 0x00000006u << false << 0 << 0;
}

void TestKestrelCodecs::buttonWordsOnlyTheDeviceWrites()
{
    QFETCH(uint, word);
    QFETCH(bool, rapidFire);
    QFETCH(int, shownType);
    QFETCH(int, shownValue);
    ButtonAssignment shown;
    const bool reported = KestrelButtonCodec::decode(word, [rapidFire] { return rapidFire; }, &shown);
    QCOMPARE(reported, shownType != 0);
    if (reported) {
        QCOMPARE(shown.changeType, shownType);
        QCOMPARE(shown.trueMouseValue, shownValue);
    }
}

void TestKestrelCodecs::macroFromNodes_data()
{
    using namespace KestrelMacroCodec;
    QTest::addColumn<QList<MacroNode>>("nodes");
    QTest::addColumn<int>("macroType");
    QTest::addColumn<int>("repeat");
    QTest::addColumn<int>("header");
    QTest::addColumn<QVector<DWORD>>("events");
    const QList<MacroNode> pressA{keyNode(0x41, 0, 20), keyNode(0x41, 1, 30)};
    QTest::newRow("repeated three times") << pressA << 1 << 3 << 3
                                          << QVector<DWORD>{ev(kKeyPress, 0x41), ev(kDelay, 20),
                                                            ev(kKeyRelease, 0x41), ev(kDelay, 30)};
    QTest::newRow("toggle: no delays") << pressA << 2 << 3 << 0xFFFE
                                       << QVector<DWORD>{ev(kKeyPress, 0x41), ev(kDelay, 0),
                                                         ev(kKeyRelease, 0x41), ev(kDelay, 0)};
    QTest::newRow("hold keeps delays") << pressA << 4 << 3 << 0xFFFF
                                       << QVector<DWORD>{ev(kKeyPress, 0x41), ev(kDelay, 20),
                                                         ev(kKeyRelease, 0x41), ev(kDelay, 30)};
    QTest::newRow("a repeat count never reads as a mode")
        << QList<MacroNode>{keyNode(0x41, 0, 1)} << 1 << 70000 << 0xFFFD
        << QVector<DWORD>{ev(kKeyPress, 0x41), ev(kDelay, 1)};
    QTest::newRow("delays held to 15 bits") << QList<MacroNode>{keyNode(0x41, 0, 40000), keyNode(0x41, 1, -5)} << 1 << 1
                                            << 1
                                            << QVector<DWORD>{ev(kKeyPress, 0x41), ev(kDelay, 0x7FFF),
                                                              ev(kKeyRelease, 0x41), ev(kDelay, 0)};
    QTest::newRow("pointer moves in sign and magnitude") << QList<MacroNode>{moveNode(-5, 5000, 10)} << 1 << 1 << 1
                                                         << QVector<DWORD>{ev(kPointerMove, 0x805 | 0x7FF << 12),
                                                                           ev(kDelay, 10)};
    QTest::newRow("events of no kind are left out")
        << QList<MacroNode>{keyNode(0x41, 5, 10), MacroNode{}} << 1 << 1 << 1 << QVector<DWORD>{};
}

void TestKestrelCodecs::macroFromNodes()
{
    QFETCH(QList<MacroNode>, nodes);
    QFETCH(int, macroType);
    QFETCH(int, repeat);
    QFETCH(int, header);
    QFETCH(QVector<DWORD>, events);
    const KestrelMacro macro = KestrelMacroCodec::fromNodes(nodes, macroType, repeat);
    QCOMPARE(int(macro.header), header);
    QCOMPARE(macro.events, events);
    // The mouse takes the macro whole, with its header.
    QByteArray image(KestrelMacroCodec::kImageSize, '\0');
    int length = 0;
    if (!events.isEmpty()) {
        QVERIFY(KestrelMacroCodec::toDeviceImage(macro, reinterpret_cast<BYTE *>(image.data()), &length));
        QVERIFY(KestrelMacroCodec::isWholeLength(length));
        QCOMPARE(quint8(image.at(2)) | quint8(image.at(3)) << 8, header);
    }
}

void TestKestrelCodecs::pictureFiles()
{
    TempAppFolder folder;
    BYTE packed[KestrelPictureCodec::kPackedSize];
    // A colour picture of the right size packs as its one-bit form does.
    QImage colour(64, 48, QImage::Format_RGB32);
    colour.fill(Qt::white);
    for (int x = 0; x < 64; ++x)
        colour.setPixel(x, (x * 3) % 48, qRgb(0, 0, 0));
    const QString path = folder.path() + QStringLiteral("/drawImage.BMP");
    QVERIFY(colour.save(path, "BMP"));
    QVERIFY(KestrelPictureCodec::packFile(path, packed, sizeof packed));
    QImage back;
    QVERIFY(KestrelPictureCodec::unpack(packed, sizeof packed, &back));
    // The dots come back where they were drawn, in the one colour, the rest in the other.
    const int dot = back.pixelIndex(0, 0);
    for (int x = 0; x < 64; ++x)
        for (int y = 0; y < 48; ++y)
            QCOMPARE(back.pixelIndex(x, y) == dot, y == (x * 3) % 48);

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no 64 x 48 picture"));
    QVERIFY(!KestrelPictureCodec::packFile(folder.path() + QStringLiteral("/none.BMP"), packed, sizeof packed));
    QVERIFY(QImage(32, 48, QImage::Format_RGB32).save(path, "BMP"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no 64 x 48 picture"));
    QVERIFY(!KestrelPictureCodec::packFile(path, packed, sizeof packed));
}

QTEST_GUILESS_MAIN(TestKestrelCodecs)
#include "tst_kestrelcodecs.moc"
