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
