#include "platform/hid/ReportDescriptor.h"
#include "platform/hid/ReportDescriptorCore.h"

#include <QFile>
#include <QtTest>

namespace {

// A fixture file is hex bytes with '#' comments, one item a line.
QByteArray fixture(const QString &name)
{
    QFile file(QStringLiteral(HARRIER_DESCRIPTOR_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing descriptor fixture %s", qPrintable(name));
    QByteArray hex;
    for (const QByteArray &line : file.readAll().split('\n'))
        hex += line.left(line.indexOf('#') < 0 ? line.size() : line.indexOf('#'));
    return QByteArray::fromHex(hex);
}

QString ids(const QVector<quint8> &list)
{
    QStringList parts;
    for (quint8 id : list)
        parts << QString::number(id);
    return parts.join(QLatin1Char(','));
}

} // namespace

class TestReportDescriptor : public QObject
{
    Q_OBJECT

private slots:
    void fixtures_data();
    void fixtures();
    void perReportLengths();
    void malformed_data();
    void malformed();
    void absurdCollectionSkipped_data();
    void absurdCollectionSkipped();
    void everyTruncationFailsCleanly();
};

void TestReportDescriptor::fixtures_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("usagePage");
    QTest::addColumn<int>("usage");
    QTest::addColumn<QString>("reportIds");
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("output");
    QTest::addColumn<int>("feature");
    QTest::addColumn<int>("inputValueCaps");
    QTest::addColumn<int>("featureValueCaps");
    QTest::addColumn<QString>("featureValueCapIds");

    // Lengths carry the report-ID byte even without report IDs, as Windows counts them.
    QTest::newRow("boot mouse") << "boot-mouse.hex" << 1 << 0 << 0x01 << 0x02 << "" << 4 << 0 << 0 << 2 << 0 << "";
    QTest::newRow("vendor command channel")
        << "vendor-two-collections.hex" << 2 << 0 << 0xFF00 << 0x01 << "1" << 0 << 0 << 6 << 0 << 1 << "1";
    QTest::newRow("vendor data channel")
        << "vendor-two-collections.hex" << 2 << 1 << 0xFF00 << 0x01 << "2,3" << 17 << 0 << 1032 << 1 << 1 << "2";
    QTest::newRow("no report IDs")
        << "vendor-no-report-ids.hex" << 1 << 0 << 0xFF00 << 0x0E << "" << 33 << 33 << 9 << 1 << 1 << "0";
}

void TestReportDescriptor::fixtures()
{
    QFETCH(QString, file);
    QFETCH(int, count);
    QFETCH(int, index);

    QVector<HidCollectionCaps> collections;
    QString error;
    QVERIFY2(Hid::parseReportDescriptor(fixture(file), &collections, &error), qPrintable(error));
    QVERIFY(error.isEmpty());
    QCOMPARE(collections.size(), count);
    const HidCollectionCaps &caps = collections.at(index);
    QTEST(int(caps.usagePage), "usagePage");
    QTEST(int(caps.usage), "usage");
    QTEST(ids(caps.reportIds), "reportIds");
    QTEST(caps.inputReportByteLength, "input");
    QTEST(caps.outputReportByteLength, "output");
    QTEST(caps.featureReportByteLength, "feature");
    QTEST(caps.numberInputValueCaps, "inputValueCaps");
    QTEST(caps.numberFeatureValueCaps, "featureValueCaps");
    QTEST(ids(caps.featureValueCapReportIds), "featureValueCapIds");
}

void TestReportDescriptor::perReportLengths()
{
    QVector<HidCollectionCaps> collections;
    QVERIFY(Hid::parseReportDescriptor(fixture(QStringLiteral("vendor-two-collections.hex")), &collections));
    const QVector<HidReportLengths> reports = collections.at(1).reports;
    QCOMPARE(reports.size(), 2);
    QCOMPARE(int(reports.at(0).reportId), 2);
    QCOMPARE(reports.at(0).feature, 1032);
    QCOMPARE(reports.at(0).input, 0);
    QCOMPARE(int(reports.at(1).reportId), 3);
    QCOMPARE(reports.at(1).input, 17);
    QCOMPARE(reports.at(1).feature, 0);
}

void TestReportDescriptor::malformed_data()
{
    QTest::addColumn<QByteArray>("hex");
    QTest::addColumn<QString>("reason");

    const QByteArray open = "06 00 ff 09 01 a1 01 ";
    const QByteArray field = "75 08 95 05 b1 02 ";
    QTest::newRow("empty") << QByteArray() << "empty descriptor";
    QTest::newRow("truncated data") << open + "26 ff" << "truncated item";
    QTest::newRow("truncated four-byte item") << open + "27 01 02 03" << "truncated item";
    QTest::newRow("long item") << "fe 02 10 aa bb " + open + field + "c0" << "long item";
    QTest::newRow("end without collection") << field + "c0 " + open + "c0" << "never opened";
    QTest::newRow("collection never closed") << open + field << "not closed";
    QTest::newRow("pop without push") << open + "b4 " + field + "c0" << "pop without push";
    QTest::newRow("push without pop") << open + "a4 " + field + "c0" << "push without pop";
    QTest::newRow("push too deep") << open + QByteArray("a4 ").repeated(17) + QByteArray("b4 ").repeated(17) + "c0"
                                   << "push nested deeper";
    QTest::newRow("nesting too deep") << QByteArray("a1 00 ").repeated(33) + QByteArray("c0 ").repeated(33)
                                      << "nested deeper";
    QTest::newRow("report ID 0") << open + "85 00 " + field + "c0" << "report ID 0";
    QTest::newRow("report ID 256") << open + "86 00 01 " + field + "c0" << "report ID 256";
    QTest::newRow("no collection") << QByteArray("05 01 09 02 ") + field << "no top-level collection";
    QTest::newRow("too many collections") << (open + field + "c0 ").repeated(65) << "top-level collections";
    QTest::newRow("usage flood") << open + QByteArray("09 01 ").repeated(4097) + field + "c0" << "usages";
    QTest::newRow("descriptor too long") << QByteArray("00 ").repeated(65536) << "longer than";
}

void TestReportDescriptor::malformed()
{
    QFETCH(QByteArray, hex);
    QFETCH(QString, reason);

    QVector<HidCollectionCaps> collections(1);
    QString error;
    QVERIFY(!Hid::parseReportDescriptor(QByteArray::fromHex(hex), &collections, &error));
    QVERIFY2(error.contains(reason), qPrintable(error));
    QVERIFY(collections.isEmpty());
}

void TestReportDescriptor::absurdCollectionSkipped_data()
{
    QTest::addColumn<QByteArray>("absurdField");
    QTest::addColumn<QString>("reason");

    // Items of the absurd collection; each is one limit past what we accept.
    QTest::newRow("report size 257 bits") << QByteArray("75 ff 95 01 b1 02 76 01 01 95 01 b1 02") << "report size of 257";
    QTest::newRow("report count 65536") << QByteArray("75 08 97 00 00 01 00 b1 02") << "report count of 65536";
    QTest::newRow("report longer than 16384 bytes") << QByteArray("75 08 96 01 40 b1 02") << "longer than 16384";
    QTest::newRow("fields add up past 16384 bytes")
        << QByteArray("75 08 96 00 20 b1 02 96 00 20 b1 02 95 01 b1 02") << "longer than 16384";
}

void TestReportDescriptor::absurdCollectionSkipped()
{
    QFETCH(QByteArray, absurdField);
    QFETCH(QString, reason);

    const QByteArray good = "06 00 ff 09 01 a1 01 85 01 75 08 95 05 b1 02 c0 ";
    const QByteArray absurd = "06 00 ff 09 02 a1 01 85 02 " + absurdField + " c0 ";

    // Beside a sound collection, only the absurd one is left out.
    QVector<HidCollectionCaps> collections;
    QString error;
    QVERIFY(Hid::parseReportDescriptor(QByteArray::fromHex(absurd + good), &collections, &error));
    QCOMPARE(collections.size(), 1);
    QCOMPARE(int(collections.at(0).usage), 1);
    QCOMPARE(collections.at(0).featureReportByteLength, 6);
    QVERIFY2(error.contains(reason) && error.contains(QLatin1String("collection 0")), qPrintable(error));

    // Alone, it leaves nothing usable.
    QVERIFY(!Hid::parseReportDescriptor(QByteArray::fromHex(absurd), &collections, &error));
    QVERIFY(collections.isEmpty());
    QVERIFY2(error.contains(reason), qPrintable(error));
}

void TestReportDescriptor::everyTruncationFailsCleanly()
{
    // A descriptor cut anywhere either fails with a reason or, cut right after
    // a collection, gives the collections before the cut; it never reads past the cut.
    const QStringList files = {QStringLiteral("boot-mouse.hex"), QStringLiteral("vendor-two-collections.hex"),
                               QStringLiteral("vendor-no-report-ids.hex")};
    for (const QString &file : files) {
        const QByteArray whole = fixture(file);
        const Hid::Descriptor::Result full = Hid::Descriptor::parse(
            reinterpret_cast<const std::uint8_t *>(whole.constData()), std::size_t(whole.size()));
        for (int cut = 0; cut < whole.size(); ++cut) {
            // A heap copy of exactly the cut length, so ASan sees any read past it.
            const std::vector<std::uint8_t> bytes(whole.constData(), whole.constData() + cut);
            const Hid::Descriptor::Result result = Hid::Descriptor::parse(bytes.data(), bytes.size());
            const QString where = QStringLiteral("%1 cut at %2").arg(file).arg(cut);
            if (result.ok)
                QVERIFY2(result.collections.size() < full.collections.size(), qPrintable(where));
            else
                QVERIFY2(!result.error.empty(), qPrintable(where));
        }
    }
}

QTEST_GUILESS_MAIN(TestReportDescriptor)
#include "tst_reportdescriptor.moc"
