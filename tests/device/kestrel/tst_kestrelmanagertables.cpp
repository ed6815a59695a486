// The first-family manager's tables and conversions, case by case.
#include "device/kestrel/KestrelTables.h"
#include "model/CpiTables.h"
#include "store/FactoryRecords.h"

#include <QtTest>

using namespace KestrelTables;

class TestKestrelManagerTables : public QObject
{
    Q_OBJECT
private slots:
    void battery_data();
    void battery();
    void reportRate_data();
    void reportRate();
    void cpiRoundTrip_data();
    void cpiRoundTrip();
    void factoryCpiLiesInTheModelsRange_data();
    void factoryCpiLiesInTheModelsRange();
    void cpiLevelRemoval_data();
    void cpiLevelRemoval();
    void buttonLayouts_data();
    void buttonLayouts();
    void recordIndexes();
    void reportedFunctions();
};

void TestKestrelManagerTables::factoryCpiLiesInTheModelsRange_data()
{
    QTest::addColumn<int>("type");
    for (int type : {7, 8, 9, 10, 11, 12, 14})
        QTest::addRow("type %d", type) << type;
}

// What a factory reset writes, decoded in the model's own encoding, is a
// value its settings page and manager take: a record shared between models
// must not hand one model another's CPI.
void TestKestrelManagerTables::factoryCpiLiesInTheModelsRange()
{
    QFETCH(int, type);
    QByteArray record;
    QVERIFY(FactoryRecords::fillKorvan(record, type));
    const CpiScheme scheme = cpiSchemeOf(type);
    const int levels = BYTE(record.at(kLevelCountAt)) + 1;
    QVERIFY(levels >= 1 && levels <= kMaxCpiLevels);
    for (int level = 0; level < levels && level < cpiEntriesWritten(scheme); ++level) {
        const WORD raw = WORD(BYTE(record.at(kCpiTableAt + 2 * level)) | BYTE(record.at(kCpiTableAt + 2 * level + 1)) << 8);
        const int cpi = int(rawToCpi(scheme, raw));
        QVERIFY2(CpiTables::fits(type, cpi), qPrintable(QStringLiteral("level %1: %2 CPI").arg(level + 1).arg(cpi)));
    }
}

void TestKestrelManagerTables::battery_data()
{
    QTest::addColumn<DWORD>("raw");
    QTest::addColumn<DWORD>("expected");
    QTest::newRow("zero") << DWORD(0) << DWORD(0);
    QTest::newRow("1") << DWORD(1) << DWORD(1);
    QTest::newRow("540 last of 1%") << DWORD(540) << DWORD(1);
    QTest::newRow("541 first of 2%") << DWORD(541) << DWORD(2);
    QTest::newRow("566 skips 5%") << DWORD(566) << DWORD(6);
    QTest::newRow("626 single") << DWORD(626) << DWORD(28);
    QTest::newRow("638") << DWORD(638) << DWORD(51);
    QTest::newRow("639") << DWORD(639) << DWORD(67);
    QTest::newRow("671") << DWORD(671) << DWORD(98);
    QTest::newRow("672") << DWORD(672) << DWORD(99);
    QTest::newRow("725") << DWORD(725) << DWORD(99);
    QTest::newRow("726") << DWORD(726) << DWORD(100);
    QTest::newRow("below charging") << DWORD(0xFFFFFF) << DWORD(100);
    QTest::newRow("charging with level") << DWORD(0x01000005) << DWORD(101);
    QTest::newRow("charging top") << DWORD(0x01FFFFFF) << DWORD(101);
    QTest::newRow("full") << DWORD(0x02000000) << DWORD(102);
    QTest::newRow("full top") << DWORD(0x02FFFFFF) << DWORD(102);
    QTest::newRow("no reading") << DWORD(0x03000000) << DWORD(103);
    QTest::newRow("all ones") << DWORD(0xFFFFFFFF) << DWORD(103);
}

void TestKestrelManagerTables::battery()
{
    QFETCH(DWORD, raw);
    QFETCH(DWORD, expected);
    QCOMPARE(batteryPercent(raw), expected);
}

void TestKestrelManagerTables::reportRate_data()
{
    QTest::addColumn<DWORD>("interval");
    QTest::addColumn<int>("index");
    QTest::newRow("125/s") << DWORD(8) << 0;
    QTest::newRow("250/s") << DWORD(4) << 1;
    QTest::newRow("500/s") << DWORD(2) << 2;
    QTest::newRow("1000/s") << DWORD(1) << 3;
}

void TestKestrelManagerTables::reportRate()
{
    QFETCH(DWORD, interval);
    QFETCH(int, index);
    QCOMPARE(reportIndexOfInterval(interval), index);
    QCOMPARE(intervalOfReportIndex(index), interval);
    // Neighbours that are no rate at all.
    QCOMPARE(reportIndexOfInterval(3), -1);
    QCOMPARE(reportIndexOfInterval(0), -1);
    QCOMPARE(intervalOfReportIndex(4), DWORD(0));
    QCOMPARE(intervalOfReportIndex(-1), DWORD(0));
}

void TestKestrelManagerTables::cpiRoundTrip_data()
{
    QTest::addColumn<int>("mouseType");
    QTest::addColumn<DWORD>("cpi");
    QTest::addColumn<int>("raw");
    QTest::addColumn<DWORD>("readBack");
    for (int type : {7, 8, 9, 12}) {
        QTest::addRow("type %d 800", type) << type << DWORD(800) << 6 << DWORD(800);
        QTest::addRow("type %d 200 lowest", type) << type << DWORD(200) << 0 << DWORD(200);
        QTest::addRow("type %d below 200 clamps", type) << type << DWORD(100) << 0 << DWORD(200);
    }
    QTest::newRow("type 14 5000 last hundred step") << 14 << DWORD(5000) << 48 << DWORD(5000);
    QTest::newRow("type 14 5200 first wide step") << 14 << DWORD(5200) << 49 << DWORD(5200);
    QTest::newRow("type 14 16000") << 14 << DWORD(16000) << 103 << DWORD(16000);
    QTest::newRow("type 14 800") << 14 << DWORD(800) << 6 << DWORD(800);
    QTest::newRow("type 11 800") << 11 << DWORD(800) << 16 << DWORD(800);
    QTest::newRow("type 10 16000") << 10 << DWORD(16000) << 320 << DWORD(16000);
    QTest::newRow("type 11 1 rounds down") << 11 << DWORD(1) << 0 << DWORD(0);
    QTest::newRow("huge clamps to 16 bits") << 11 << DWORD(0xFFFFFFFF) << 0xFFFF << DWORD(0xFFFF * 50);
}

void TestKestrelManagerTables::cpiRoundTrip()
{
    QFETCH(int, mouseType);
    QFETCH(DWORD, cpi);
    QFETCH(int, raw);
    QFETCH(DWORD, readBack);
    const CpiScheme scheme = cpiSchemeOf(mouseType);
    QCOMPARE(int(cpiToRaw(scheme, cpi)), raw);
    QCOMPARE(rawToCpi(scheme, WORD(raw)), readBack);
}

void TestKestrelManagerTables::cpiLevelRemoval_data()
{
    QTest::addColumn<int>("mouseType");
    QTest::addColumn<int>("cpi");
    QTest::addColumn<bool>("removes");
    QTest::newRow("type 7 at 200") << 7 << 200 << true;
    QTest::newRow("type 7 at 300") << 7 << 300 << false;
    QTest::newRow("type 11 at 200") << 11 << 200 << true;
    QTest::newRow("type 14 at 200") << 14 << 200 << false;
    QTest::newRow("type 14 at 0") << 14 << 0 << true;
}

void TestKestrelManagerTables::cpiLevelRemoval()
{
    QFETCH(int, mouseType);
    QFETCH(int, cpi);
    QFETCH(bool, removes);
    QCOMPARE(cpiRemovesLevel(mouseType, cpi), removes);
}

void TestKestrelManagerTables::buttonLayouts_data()
{
    QTest::addColumn<int>("pid");
    QTest::addColumn<int>("leftOffset");
    QTest::addColumn<int>("middleOffset");
    QTest::addColumn<int>("rightOffset");
    QTest::newRow("kestrel cable") << 0x4130 << 512 << 516 << 520;
    QTest::newRow("kestrel receiver") << 0x1804 << 512 << 516 << 520;
    QTest::newRow("kestrelc") << 0x4137 << 512 << 516 << 520;
    for (int pid : {0x4132, 0x4133, 0x4139, 0x413A, 0x180C, 0x180D})
        QTest::addRow("swapped %04x", pid) << pid << 528 << 540 << 544;
}

void TestKestrelManagerTables::buttonLayouts()
{
    QFETCH(int, pid);
    QFETCH(int, leftOffset);
    QFETCH(int, middleOffset);
    QFETCH(int, rightOffset);
    const ButtonLayout &layout = buttonLayoutForPid(USHORT(pid));
    QCOMPARE(buttonOffset(layout, 4), leftOffset);
    QCOMPARE(buttonOffset(layout, 5), middleOffset);
    QCOMPARE(buttonOffset(layout, 6), rightOffset);
    // Every layout's factory words put the mouse's buttons where the page expects them.
    QCOMPARE(factoryWordAt(layout, buttonOffset(layout, 4)), DWORD(0x00010003));
    QCOMPARE(factoryWordAt(layout, buttonOffset(layout, 5)), DWORD(0x00040003));
    QCOMPARE(factoryWordAt(layout, buttonOffset(layout, 6)), DWORD(0x00020003));
    QCOMPARE(factoryWordAt(layout, buttonOffset(layout, 7)), DWORD(0x00100003));
    QCOMPARE(factoryWordAt(layout, buttonOffset(layout, 8)), DWORD(0x00080003));
    QCOMPARE(factoryWordAt(layout, buttonOffset(layout, 13)), DWORD(0x00050008));
    QCOMPARE(factoryWordAt(layout, buttonOffset(layout, 14)), DWORD(0x00060008));
    QCOMPARE(factoryWordAt(layout, buttonOffset(layout, 11)), kUnassigned);
    // Each button has its own offset inside the 44-byte block.
    QSet<int> offsets;
    for (int button = kFirstButton; button <= kLastButton; ++button) {
        const int offset = buttonOffset(layout, button);
        QVERIFY(offset >= 512 && offset <= 552 && offset % 4 == 0);
        offsets.insert(offset);
    }
    QCOMPARE(offsets.size(), kButtonCount);
    QCOMPARE(buttonOffset(layout, 3), -1);
    QCOMPARE(buttonOffset(layout, 15), -1);
}

void TestKestrelManagerTables::recordIndexes()
{
    QCOMPARE(recordIndexOfBankOffset(512), kButtonsAt);
    QCOMPARE(recordIndexOfBankOffset(555), 59);
    QCOMPARE(recordIndexOfBankOffset(556), -1);
    QCOMPARE(recordIndexOfBankOffset(1152), kReportIntervalAt);
    QCOMPARE(recordIndexOfBankOffset(1174), kLevelCountAt);
    QCOMPARE(recordIndexOfBankOffset(1176), kCpiLevelAt);
    QCOMPARE(recordIndexOfBankOffset(1180), kOledIntensityAt);
    QCOMPARE(recordIndexOfBankOffset(1184), kScreenWordAt);
    QCOMPARE(recordIndexOfBankOffset(1208), kColoursAt);
    QCOMPARE(recordIndexOfBankOffset(1219), kRecordSize - 1);
    QCOMPARE(recordIndexOfBankOffset(1220), -1);
    QCOMPARE(recordIndexOfBankOffset(4), -1);
}

void TestKestrelManagerTables::reportedFunctions()
{
    QCOMPARE(functionOfButtonMask(2), 49);
    QCOMPARE(functionOfButtonMask(16), 51);
    QCOMPARE(functionOfButtonMask(0x20), 0x1F);
    QCOMPARE(functionOfCpiWord(5), 45);
    QCOMPARE(functionOfCpiWord(1), 42);
    QCOMPARE(functionOfType9Word(3), 55);
    QCOMPARE(functionOfType9Word(2), -1);
    QCOMPARE(functionOfConsumerUsage(0x83), 39);
    QCOMPARE(functionOfConsumerUsage(0x10), -1);
    QCOMPARE(shortcutIndex(2, 0x57), 0);
    QCOMPARE(shortcutIndex(8, 0x44), 3);
    QCOMPARE(shortcutIndex(8, 0x57), -1);
    QCOMPARE(fixedButtonWord(44), DWORD(0x01010003));
    QCOMPARE(fixedButtonWord(53), DWORD(0));
    QCOMPARE(consumerUsageOfChangeType(39), WORD(0x0183));
    QCOMPARE(macroSlotOfButton(4), 10);
    QCOMPARE(macroSlotOfButton(14), 9);
    QCOMPARE(macroSlotOfButton(15), 0);
}

QTEST_GUILESS_MAIN(TestKestrelManagerTables)
#include "tst_kestrelmanagertables.moc"
