#include "platform/hid/ReportDescriptor.h"
#include "platform/hid/SystemBackend.h"
#include "platform/linux/HidapiBackend.h"

#include <QSet>
#include <QtTest>

// The real bus. Build machines usually have no HID devices at all, so this
// checks what holds on any machine: the listing is consistent with the
// descriptors behind it, and paths that are not hidraw nodes are refused.
class TestHidapiBackend : public QObject
{
    Q_OBJECT

private slots:
    void listingMatchesTheDescriptors()
    {
        HidBackend *bus = Hid::systemBackend();
        QVERIFY(bus);
        QVERIFY(bus == Hid::systemBackend());
        const QVector<HidDeviceInfo> list = bus->enumerate();
        QSet<QString> paths;
        for (const HidDeviceInfo &info : list)
            paths.insert(info.path);
        for (const QString &path : paths) {
            QVector<HidCollectionCaps> collections;
            QVERIFY(Hid::parseReportDescriptor(HidapiBackend::readReportDescriptor(path), &collections));
            int listed = 0;
            for (const HidDeviceInfo &info : list) {
                if (info.path != path)
                    continue;
                QCOMPARE(info.collectionIndex, listed);
                QCOMPARE(info.caps.usagePage, collections.at(listed).usagePage);
                QCOMPARE(info.caps.usage, collections.at(listed).usage);
                ++listed;
            }
            QCOMPARE(listed, collections.size());
        }
    }

    // What a feature report's ID byte must be, and which replies count.
    void featureReportIds_data()
    {
        QTest::addColumn<bool>("numbered");
        QTest::addColumn<int>("askedId");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("got");
        QTest::addColumn<bool>("idFits");
        QTest::addColumn<int>("result");
        QTest::newRow("numbered, reply under its ID") << true << 6 << QByteArray("\x06\x82", 2) << 1032 << true << 1032;
        QTest::newRow("numbered, a shorter report") << true << 6 << QByteArray("\x06\x82", 2) << 8 << true << 8;
        QTest::newRow("numbered, another report came back") << true << 6 << QByteArray("\x05\x82", 2) << 6 << true << -1;
        QTest::newRow("numbered, nothing read") << true << 6 << QByteArray("\x06", 1) << 0 << true << 0;
        QTest::newRow("numbered, read failed") << true << 6 << QByteArray("\x06", 1) << -1 << true << -1;
        QTest::newRow("numbered, ID 0 cannot be asked") << true << 0 << QByteArray("\x00", 1) << 9 << false << 9;
        QTest::newRow("unnumbered, the kernel's 0 in front") << false << 0 << QByteArray("\x00\x11", 2) << 9 << true << 9;
        QTest::newRow("unnumbered, no ID but 0") << false << 6 << QByteArray("\x06", 1) << 9 << false << 9;
    }
    void featureReportIds()
    {
        QFETCH(bool, numbered);
        QFETCH(int, askedId);
        QFETCH(QByteArray, reply);
        QFETCH(int, got);
        QFETCH(bool, idFits);
        QFETCH(int, result);
        QCOMPARE(HidapiBackend::featureIdFits(quint8(askedId), numbered), idFits);
        if (!idFits)
            return;
        const auto *data = reinterpret_cast<const std::uint8_t *>(reply.constData());
        QCOMPARE(HidapiBackend::checkFeatureReply(quint8(askedId), numbered, data, got), result);
    }

    void foreignPathsRefused_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("emulated device") << "emulated:1:VID_3A5E&PID_4130";
        QTest::newRow("empty") << "";
        QTest::newRow("not a hidraw node") << "/dev/null";
        QTest::newRow("node gone") << "/dev/hidraw250";
        QTest::newRow("climbs out of sysfs") << "/dev/hidraw..";
    }

    void foreignPathsRefused()
    {
        QFETCH(QString, path);
        HidDeviceInfo info;
        info.path = path;
        QVERIFY(!Hid::systemBackend()->open(info));
        if (!path.startsWith(QLatin1String("/dev/hidraw")))
            QVERIFY(HidapiBackend::readReportDescriptor(path).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestHidapiBackend)
#include "tst_hidapibackend.moc"
