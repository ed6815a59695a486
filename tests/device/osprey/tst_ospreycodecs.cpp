// The second family's conversions between page values and profile bytes,
// each as a table of cases in both directions.
#include "device/osprey/OspreyCodecs.h"
#include "support/MacroNodes.h"

#include <QtTest>

using namespace OspreyCodecs;

class TestOspreyCodecs : public QObject
{
    Q_OBJECT
private slots:
    void cpiEncoding_data();
    void cpiEncoding();
    void cpiUnknownCodeDecodesToZero();
    void lightModes_data();
    void lightModes();
    void screenBehaviours_data();
    void screenBehaviours();
    void buttonLayout_data();
    void buttonLayout();
    void buttonWordsRoundTrip_data();
    void buttonWordsRoundTrip();
    void reportedWords_data();
    void reportedWords();
    void macroItems_data();
    void macroItems();
    void pictureIsPackedByPagesTopRowHigh();
};

// Encodes as the manager does for the type (table A for type 2).
static CpiCode encode(int type, DWORD cpi)
{
    if (countsInFifties(type))
        return encodeFiftyCpi(cpi);
    return {codeOfCpi(usesTableB(type) ? cpiTableB() : cpiTableA(), cpi), 0};
}

static DWORD decode(int type, CpiCode code)
{
    if (countsInFifties(type))
        return decodeFiftyCpi(code.low, code.high);
    return cpiOfCode(usesTableB(type) ? cpiTableB() : cpiTableA(), code.low);
}

void TestOspreyCodecs::cpiEncoding_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<uint>("cpi");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::addColumn<uint>("readBack");

    QTest::newRow("type 3, 12000 fits the low byte") << 3 << 12000u << 0xF0 << 0 << 12000u;
    QTest::newRow("type 3, 16000 carries into high") << 3 << 16000u << 0x40 << 1 << 16000u;
    QTest::newRow("type 5, 800") << 5 << 800u << 0x10 << 0 << 800u;
    QTest::newRow("type 6, off") << 6 << 0u << 0 << 0 << 0u;
    QTest::newRow("type 2, 200 first code") << 2 << 200u << 0x04 << 0 << 200u;
    QTest::newRow("type 2, 4100 last low code") << 2 << 4100u << 0x5C << 0 << 4100u;
    QTest::newRow("type 2, 4200 has no code: nearest lower") << 2 << 4200u << 0x5C << 0 << 4100u;
    QTest::newRow("type 2, 4300") << 2 << 4300u << 0x61 << 0 << 4300u;
    QTest::newRow("type 2, 4900 owns 6F") << 2 << 4900u << 0x6F << 0 << 4900u;
    QTest::newRow("type 2, 6200") << 2 << 6200u << 0x8C << 0 << 6200u;
    QTest::newRow("type 2, off") << 2 << 0u << 0 << 0 << 0u;
    QTest::newRow("type 4, 3400") << 4 << 3400u << 0x4E << 0 << 3400u;
    QTest::newRow("type 18, 6200") << 18 << 6200u << 0x91 << 0 << 6200u;
    QTest::newRow("type 19, 250 tie takes the lower") << 19 << 250u << 0x04 << 0 << 200u;
    QTest::newRow("type 19, 260 nearer the upper") << 19 << 260u << 0x06 << 0 << 300u;
    QTest::newRow("type 19, above the table") << 19 << 9000u << 0x91 << 0 << 6200u;
    QTest::newRow("type 19, below the table") << 19 << 50u << 0x04 << 0 << 200u;
}

void TestOspreyCodecs::cpiEncoding()
{
    QFETCH(int, type);
    QFETCH(uint, cpi);
    QFETCH(int, low);
    QFETCH(int, high);
    QFETCH(uint, readBack);
    const CpiCode code = encode(type, cpi);
    QCOMPARE(int(code.low), low);
    QCOMPARE(int(code.high), high);
    QCOMPARE(uint(decode(type, code)), readBack);
}

void TestOspreyCodecs::cpiUnknownCodeDecodesToZero()
{
    QCOMPARE(cpiOfCode(cpiTableB(), 0x00), DWORD(0));
    QCOMPARE(cpiOfCode(cpiTableB(), 0x05), DWORD(0));
    QCOMPARE(cpiOfCode(cpiTableA(), 0x0E), DWORD(0)); // table B's code for 600, not A's
    QCOMPARE(cpiTableA().size(), 60);
    QCOMPARE(cpiTableB().size(), 61);
}

void TestOspreyCodecs::lightModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("code");
    QTest::newRow("off") << 0 << 0x80;
    QTest::newRow("steady") << 1 << 0x81;
    QTest::newRow("breathing") << 2 << 0x82;
    QTest::newRow("3 swaps with 4") << 3 << 0x84;
    QTest::newRow("4 swaps with 3") << 4 << 0x83;
    QTest::newRow("colourful") << 5 << 0x85;
}

void TestOspreyCodecs::lightModes()
{
    QFETCH(int, mode);
    QFETCH(int, code);
    QCOMPARE(int(lightModeToDevice(mode)), code);
    QCOMPARE(lightModeFromDevice(BYTE(code)), mode);
    QCOMPARE(int(lightModeToDevice(9)), 0);
    QCOMPARE(lightModeFromDevice(0x42), 0x42);
}

void TestOspreyCodecs::screenBehaviours_data()
{
    QTest::addColumn<int>("behaviour");
    QTest::addColumn<int>("code");
    QTest::newRow("1") << 1 << 1;
    QTest::newRow("2") << 2 << 4;
    QTest::newRow("3") << 3 << 0;
    QTest::newRow("picture") << 8 << 7;
}

void TestOspreyCodecs::screenBehaviours()
{
    QFETCH(int, behaviour);
    QFETCH(int, code);
    QCOMPARE(int(screenBehaviourToDevice(behaviour)), code);
    QCOMPARE(screenBehaviourFromDevice(BYTE(code)), behaviour);
    QCOMPARE(int(screenBehaviourToDevice(5)), 1);
    QCOMPARE(screenBehaviourFromDevice(9), 9);
}

void TestOspreyCodecs::buttonLayout_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("word");
    QTest::addColumn<uint>("factory");
    QTest::addColumn<int>("macroAddress");

    QTest::newRow("4 left") << 19 << 4 << 0 << makeWord(1, 0, 0xF0, 0) << 0x8C;
    QTest::newRow("5 middle") << 19 << 5 << 2 << makeWord(1, 0, 0xF2, 0) << 0x94;
    QTest::newRow("6 right") << 19 << 6 << 1 << makeWord(1, 0, 0xF1, 0) << 0x90;
    QTest::newRow("7 forward") << 19 << 7 << 4 << makeWord(1, 0, 0xF4, 0) << 0x9C;
    QTest::newRow("8 back") << 19 << 8 << 3 << makeWord(1, 0, 0xF3, 0) << 0x98;
    QTest::newRow("9 absent on type 19") << 19 << 9 << -1 << makeWord(0, 0, 0, 0) << 0xBC;
    QTest::newRow("9 on type 18") << 18 << 9 << 6 << makeWord(0x11, 0, 0, 0) << 0xBC;
    QTest::newRow("10 on type 18") << 18 << 10 << 7 << makeWord(0, 0, 0x5C, 0) << 0xC0;
    QTest::newRow("11") << 19 << 11 << 14 << makeWord(4, 0, 1, 0) << 0xA4;
    QTest::newRow("12") << 19 << 12 << 15 << makeWord(4, 0, 2, 0) << 0xA0;
    QTest::newRow("13 CPI loop on 19") << 19 << 13 << 5 << makeWord(7, 0, 3, 0) << 0xA8;
    QTest::newRow("13 CPI up on 3") << 3 << 13 << 5 << makeWord(7, 0, 1, 0) << 0xA8;
    QTest::newRow("13 CPI up on wren") << 13 << 13 << 5 << makeWord(7, 0, 1, 0) << 0xA8;
    QTest::newRow("14") << 19 << 14 << 6 << makeWord(7, 0, 2, 0) << 0xAC;
    QTest::newRow("15 on wren") << 13 << 15 << 7 << makeWord(0x11, 0, 0, 0) << 0xB0;
    QTest::newRow("15 on type 18") << 18 << 15 << 13 << makeWord(3, 0, 0xEA, 0) << 0xB0;
    QTest::newRow("16 on wren") << 13 << 16 << 8 << makeWord(0, 0, 0x21, 0) << 0xB4;
    QTest::newRow("16 on type 18") << 18 << 16 << 12 << makeWord(3, 0, 0xE9, 0) << 0xB4;
    QTest::newRow("17 profile loop") << 19 << 17 << 9 << makeWord(8, 0, 3, 0) << 0xB8;
}

void TestOspreyCodecs::buttonLayout()
{
    QFETCH(int, type);
    QFETCH(int, button);
    QFETCH(int, word);
    QFETCH(uint, factory);
    QFETCH(int, macroAddress);
    QCOMPARE(wordIndexOfButton(type, button), word);
    QCOMPARE(int(macroAddressOfButton(button)), macroAddress);
    if (word < 0)
        return;
    QCOMPARE(uint(defaultWordOfButton(type, button)), factory);
    const QByteArray table = defaultButtonTable(type);
    const auto b = [&](int i) { return BYTE(table.at(word * 4 + i)); };
    if (!(type == 18 && button == 9)) // word 6 is button 14's on type 18
        QCOMPARE(uint(makeWord(b(0), b(1), b(2), b(3))), factory);
}

void TestOspreyCodecs::buttonWordsRoundTrip_data()
{
    QTest::addColumn<int>("changeType");
    QTest::addColumn<uint>("vk");
    QTest::addColumn<int>("modifier");
    QTest::addColumn<uint>("word");
    QTest::addColumn<int>("reportedType");
    QTest::addColumn<int>("reportedValue");
    QTest::addColumn<int>("reportedModifier");

    QTest::newRow("key A with Shift") << 29 << 0x41u << 2 << makeWord(0, 2, 0x04, 0) << 29 << 0x41 << 2;
    QTest::newRow("combination Ctrl+F5") << 30 << 0x74u << 1 << makeWord(0, 1, 0x3E, 0) << 29 << 0x74 << 1;
    QTest::newRow("Ctrl+W is shortcut 0") << 29 << 87u << 1 << makeWord(0, 1, 0x1A, 0) << 31 << 0 << 0;
    QTest::newRow("Win+L is shortcut 1") << 29 << 76u << 8 << makeWord(0, 8, 0x0F, 0) << 31 << 1 << 0;
    QTest::newRow("Ctrl+minus is shortcut 5") << 29 << 189u << 1 << makeWord(0, 1, 0x2D, 0) << 31 << 5 << 0;
    QTest::newRow("right Windows key goes out as E3") << 29 << 0x5Cu << 0 << makeWord(0, 0, 0xE3, 0) << 29 << 0x5B << 0;
    QTest::newRow("right Control has no usage") << 29 << 0xA3u << 0 << makeWord(0, 0, 0, 0) << 41 << -1 << 0;
    QTest::newRow("mute") << 35 << 0xE2u << 0 << makeWord(3, 0, 0xE2, 0) << 31 << 35 << 0;
    QTest::newRow("volume up") << 37 << 0xE9u << 0 << makeWord(3, 0, 0xE9, 0) << 31 << 37 << 0;
    QTest::newRow("media player") << 39 << 0x83u << 1 << makeWord(3, 0, 0x83, 1) << 31 << 39 << 0;
    QTest::newRow("other consumer usage") << 34 << 0xB5u << 0 << makeWord(3, 0, 0xB5, 0) << 31 << 0xB5 << 0;
    QTest::newRow("disabled") << 41 << 0u << 0 << makeWord(0, 0, 0, 0) << 41 << -1 << 0;
    QTest::newRow("fire") << 44 << 0u << 0 << makeWord(0x0A, 0xF0, 0x10, 0x02) << 31 << 44 << 0;
    QTest::newRow("CPI up") << 45 << 0u << 0 << makeWord(7, 0, 1, 0) << 31 << 45 << 0;
    QTest::newRow("CPI down") << 46 << 0u << 0 << makeWord(7, 0, 2, 0) << 31 << 46 << 0;
    QTest::newRow("CPI instant") << 47 << 0u << 0 << makeWord(7, 0, 4, 0x0A) << 31 << 47 << 0;
    QTest::newRow("left") << 48 << 0u << 0 << makeWord(1, 0, 0xF0, 0) << 31 << 48 << 0;
    QTest::newRow("right") << 49 << 0u << 0 << makeWord(1, 0, 0xF1, 0) << 31 << 49 << 0;
    QTest::newRow("middle") << 50 << 0u << 0 << makeWord(1, 0, 0xF2, 0) << 31 << 50 << 0;
    QTest::newRow("forward") << 51 << 0u << 0 << makeWord(1, 0, 0xF4, 0) << 31 << 51 << 0;
    QTest::newRow("back") << 52 << 0u << 0 << makeWord(1, 0, 0xF3, 0) << 31 << 52 << 0;
    QTest::newRow("switch macro") << 55 << 0u << 0 << makeWord(0x10, 0, 3, 0) << 31 << 55 << 0;
    QTest::newRow("profile loop") << 56 << 0u << 0 << makeWord(8, 0, 3, 0) << 31 << 56 << 0;
}

void TestOspreyCodecs::buttonWordsRoundTrip()
{
    QFETCH(int, changeType);
    QFETCH(uint, vk);
    QFETCH(int, modifier);
    QFETCH(uint, word);
    QFETCH(int, reportedType);
    QFETCH(int, reportedValue);
    QFETCH(int, reportedModifier);
    const DWORD current = makeWord(0x55, 0x55, 0x55, 0x55);
    QCOMPARE(uint(wordOfAssignment(changeType, vk, modifier, current, 0)), word);
    Assignment a;
    QVERIFY(assignmentOfWord(word, &a));
    QCOMPARE(a.changeType, reportedType);
    QCOMPARE(a.value, reportedValue);
    QCOMPARE(a.modifier, reportedModifier);
}

void TestOspreyCodecs::reportedWords_data()
{
    QTest::addColumn<uint>("word");
    QTest::addColumn<bool>("reported");
    QTest::addColumn<int>("changeType");
    QTest::addColumn<int>("value");
    QTest::newRow("macro") << makeWord(9, 1, 0, 0x9C) << true << 33 << 0;
    QTest::newRow("macro list") << kMacroListWord << true << 33 << 0;
    QTest::newRow("unknown mouse button") << makeWord(1, 0, 0xF7, 0) << true << 31 << -1;
    QTest::newRow("unknown function") << makeWord(7, 0, 9, 0) << false << 0 << 0;
}

void TestOspreyCodecs::reportedWords()
{
    QFETCH(uint, word);
    QFETCH(bool, reported);
    QFETCH(int, changeType);
    QFETCH(int, value);
    Assignment a;
    QCOMPARE(assignmentOfWord(word, &a), reported);
    if (reported) {
        QCOMPARE(a.changeType, changeType);
        QCOMPARE(a.value, value);
    }
    // Restore and an unknown code.
    QCOMPARE(uint(wordOfAssignment(32, 0, 0, 1, 0x1234)), 0x1234u);
    QCOMPARE(uint(wordOfAssignment(53, 0, 0, 0x77, 0)), 0x77u);
}

typedef QList<USHORT> Items;

void TestOspreyCodecs::macroItems_data()
{
    QTest::addColumn<QList<MacroNode>>("events");
    QTest::addColumn<bool>("ignoreDelays");
    QTest::addColumn<Items>("items");

    QTest::newRow("release after 250 ms") << QList<MacroNode>{keyNode(0x41, 1, 250)} << false
                                          << Items{item(0x32 | 0x80, 0x04), item(0, 1), item(0, 2)};
    QTest::newRow("press after 100 ms") << QList<MacroNode>{keyNode(0x41, 0, 100)} << false << Items{item(100, 0x04)};
    QTest::newRow("127 ms fits one step") << QList<MacroNode>{keyNode(0x42, 0, 127)} << false << Items{item(127, 0x05)};
    QTest::newRow("300 ms: remainder 0 becomes 1") << QList<MacroNode>{keyNode(0x42, 0, 300)} << false
                                                    << Items{item(1, 0x05), item(0, 1), item(0, 3)};
    QTest::newRow("no delay") << QList<MacroNode>{keyNode(0x42, 1, 0)} << false << Items{item(0x81, 0x05)};
    QTest::newRow("delays ignored") << QList<MacroNode>{keyNode(0x42, 0, 900)} << true << Items{item(1, 0x05)};
    QTest::newRow("move with delay") << QList<MacroNode>{moveNode(5, 3, 20)} << false
                                     << Items{item(0, 2), item(5, BYTE(-3)), item(0, 3), item(0, 20)};
    QTest::newRow("long move delay") << QList<MacroNode>{moveNode(-1, -2, 300)} << false
                                     << Items{item(0, 2), item(0xFF, 2), item(0, 3), item(1, 0x2C)};
    QTest::newRow("move, delays ignored") << QList<MacroNode>{moveNode(1, 1, 20)} << true << Items{item(0, 2), item(1, 0xFF)};
    QTest::newRow("still pointer only waits") << QList<MacroNode>{moveNode(0, 0, 20)} << false << Items{item(0, 3), item(0, 20)};
    QTest::newRow("other events give nothing") << QList<MacroNode>{MacroNode()} << false << Items{};
}

void TestOspreyCodecs::macroItems()
{
    QFETCH(QList<MacroNode>, events);
    QFETCH(bool, ignoreDelays);
    QFETCH(Items, items);
    QCOMPARE(OspreyCodecs::macroItems(events, ignoreDelays), items);
}

void TestOspreyCodecs::pictureIsPackedByPagesTopRowHigh()
{
    QImage image(kPictureWidth, kPictureHeight, QImage::Format_MonoLSB);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    image.fill(1);
    image.setPixel(0, 0, 0);    // page 0, top row
    image.setPixel(3, 7, 0);    // page 0, bottom row
    image.setPixel(127, 31, 0); // page 3, bottom row
    image.setPixel(10, 9, 0);   // page 1, second row
    const QByteArray packed = packPicture(image);
    QCOMPARE(packed.size(), kPictureBytes);
    QByteArray expected(kPictureBytes, '\0');
    expected[0] = char(0x80);
    expected[3] = char(0x01);
    expected[3 * 128 + 127] = char(0x01);
    expected[128 + 10] = char(0x40);
    QCOMPARE(packed, expected);
    QVERIFY(packPicture(QImage()).isEmpty());
}

QTEST_GUILESS_MAIN(TestOspreyCodecs)
#include "tst_ospreycodecs.moc"
