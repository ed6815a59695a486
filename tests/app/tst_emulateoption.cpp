#include "emulator/EmulateOption.h"
#include "device/CheckDevice.h"
#include "platform/AppPaths.h"
#include "support/TempAppFolder.h"
#include "platform/hid/HidBackend.h"

#include <QSignalSpy>
#include <QtTest>

class TestEmulateOption : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void requestedModels_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("models");

        QTest::newRow("none") << QStringList{"HarrierDriver", "-d"} << QStringList{};
        QTest::newRow("two, both spellings")
            << QStringList{"HarrierDriver", "--emulate", "harrier", "-d", "--emulate=merlin-receiver"}
            << QStringList{"harrier", "merlin-receiver"};
        QTest::newRow("name missing at the end") << QStringList{"HarrierDriver", "--emulate"} << QStringList{""};
        QTest::newRow("program name is not an option") << QStringList{"--emulate"} << QStringList{};
    }

    void requestedModels()
    {
        QFETCH(QStringList, arguments);
        QTEST(EmulateOption::requestedModels(arguments), "models");
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("reason");

        QTest::newRow("unknown model") << QStringList{"x", "--emulate", "hawk"} << "cannot emulate hawk: unknown model";
        QTest::newRow("no receiver") << QStringList{"x", "--emulate", "osprey-receiver"} << "has no receiver";
        QTest::newRow("no name") << QStringList{"x", "--emulate="} << "needs a model name";
        QTest::newRow("one bad among good") << QStringList{"x", "--emulate", "wren-boot", "--emulate", "hawk"}
                                            << "cannot emulate hawk";
    }

    void refusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, reason);
        Hid::setBackend(nullptr);
        QString error;
        QVERIFY(!EmulateOption::install(arguments, &error));
        QVERIFY2(error.contains(reason), qPrintable(error));
        QVERIFY(!Hid::backend()); // nothing installed
    }

    void emulatedDevicesReachPresence()
    {
        QString error;
        QVERIFY2(EmulateOption::install({"x", "--emulate", "kestreleu-boot"}, &error), qPrintable(error));
        QVERIFY(Hid::backend());
        CheckDevice check;
        check.stopTheTimer();
        QSignalSpy found(&check, &CheckDevice::sigFound);
        QSignalSpy boot(&check, &CheckDevice::sigBlootDescriptor);
        check.checkDeviceOnce();
        QCOMPARE(found.count(), 1);
        QCOMPARE(found.at(0).at(1).toUInt(), 0x3000u);
        QCOMPARE(boot.at(0).at(0).toInt(), 14);
        Hid::setBackend(nullptr);
    }

private:
    TempAppFolder m_dir;
};

QTEST_GUILESS_MAIN(TestEmulateOption)
#include "tst_emulateoption.moc"
