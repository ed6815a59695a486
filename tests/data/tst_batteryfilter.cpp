#include "data/BatteryFilter.h"

#include <QtTest>

// Readings go in one by one; after each, what (if anything) the window would be shown.
class TestBatteryFilter : public QObject
{
    Q_OBJECT
private slots:
    void sequences_data();
    void sequences();
    void restartKeepsTheOlderReadings();
};

namespace {
// -1 stands for "nothing published for this reading".
QList<int> feed(BatteryFilter &filter, const QList<int> &readings)
{
    QList<int> shown;
    for (int r : readings) {
        DWORD out = 0;
        shown.append(filter.FilterTheQuantityOfElectricCharge(DWORD(r), &out) ? int(out) : -1);
    }
    return shown;
}
} // namespace

void TestBatteryFilter::sequences_data()
{
    QTest::addColumn<QList<int>>("readings");
    QTest::addColumn<QList<int>>("shown");
    QTest::addColumn<bool>("stillAgreeing");

    QTest::newRow("three close readings agree on the third")
        << QList<int>{50, 51, 50} << QList<int>{-1, -1, 50} << false;
    QTest::newRow("two points apart never agree")
        << QList<int>{50, 52, 50, 52} << QList<int>{-1, -1, -1, -1} << true;
    QTest::newRow("three zeros: no valid reading each time, still agreeing")
        << QList<int>{0, 0, 0, 0} << QList<int>{103, 103, 103, 103} << true;
    QTest::newRow("small moves around the value are not published")
        << QList<int>{50, 50, 50, 52, 53, 48} << QList<int>{-1, -1, 50, -1, -1, -1} << false;
    QTest::newRow("five changed readings move to the second-smallest")
        << QList<int>{50, 50, 50, 40, 41, 45, 39, 42}
        << QList<int>{-1, -1, 50, -1, -1, -1, -1, 40} << false;
    QTest::newRow("the published value in between discards the samples")
        << QList<int>{50, 50, 50, 40, 41, 50, 45, 39, 42, 44}
        << QList<int>{-1, -1, 50, -1, -1, -1, -1, -1, -1, -1} << false;
    QTest::newRow("after a move the new value is tracked")
        << QList<int>{50, 50, 50, 40, 41, 45, 39, 42, 40, 30, 30, 30, 30, 30}
        << QList<int>{-1, -1, 50, -1, -1, -1, -1, 40, -1, -1, -1, -1, -1, 30} << false;
}

void TestBatteryFilter::sequences()
{
    QFETCH(QList<int>, readings);
    QFETCH(QList<int>, shown);
    QFETCH(bool, stillAgreeing);
    BatteryFilter filter;
    QCOMPARE(feed(filter, readings), shown);
    QCOMPARE(filter.isAgreeing(), stillAgreeing);
}

void TestBatteryFilter::restartKeepsTheOlderReadings()
{
    BatteryFilter filter;
    feed(filter, {60, 60, 60, 50, 50});
    QCOMPARE(filter.pendingSamples(), 2);

    // A failed read only reopens agreement: the last three readings (60, 60, 60)
    // still count, so one more close reading agrees at once.
    filter.reopenAgreement();
    QCOMPARE(feed(filter, {61}), QList<int>{61});

    // After a fresh profile read the newest reading is dropped: three new
    // readings are needed before anything is shown again.
    feed(filter, {40});
    filter.restart();
    QVERIFY(filter.isAgreeing());
    QCOMPARE(filter.pendingSamples(), 0);
    QCOMPARE(filter.currentValue(), 0);
    QCOMPARE(feed(filter, {61, 61, 61}), (QList<int>{-1, -1, 61}));
}

QTEST_GUILESS_MAIN(TestBatteryFilter)
#include "tst_batteryfilter.moc"
