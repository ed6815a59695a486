#include "platform/DeviceClock.h"

#include <QElapsedTimer>
#include <QThread>
#include <QtTest>

class TestDeviceClock : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        DeviceClock::setVirtual(false);
        DeviceClock::resetVirtual();
    }

    void virtualClockAddsUpWithoutWaiting()
    {
        DeviceClock::setVirtual(true);
        DeviceClock::resetVirtual();
        QElapsedTimer wall;
        wall.start();
        for (int i = 0; i < 100; ++i)
            DeviceClock::sleep(1000); // 100 s of device time
        DeviceClock::sleep(0);
        DeviceClock::sleep(-5); // nonsense waits cost nothing
        QCOMPARE(DeviceClock::virtualElapsedMs(), qint64(100000));
        // Far below the 100 s a real clock would take; generous for a loaded machine.
        QVERIFY(wall.elapsed() < 20000);

        DeviceClock::resetVirtual();
        QCOMPARE(DeviceClock::virtualElapsedMs(), qint64(0));
    }

    void virtualClockCountsEveryThread()
    {
        // The bridge's worker thread and the firmware thread sleep too.
        DeviceClock::setVirtual(true);
        DeviceClock::resetVirtual();
        QVector<QThread *> threads;
        for (int t = 0; t < 4; ++t)
            threads << QThread::create([] {
                for (int i = 0; i < 1000; ++i)
                    DeviceClock::sleep(3);
            });
        for (QThread *t : threads)
            t->start();
        for (QThread *t : threads) {
            QVERIFY(t->wait(30000));
            delete t;
        }
        QCOMPARE(DeviceClock::virtualElapsedMs(), qint64(4 * 1000 * 3));
    }

    void realClockWaitsAndCountsNothing()
    {
        DeviceClock::setVirtual(false);
        DeviceClock::resetVirtual();
        QElapsedTimer wall;
        wall.start();
        DeviceClock::sleep(30);
        QVERIFY(wall.elapsed() >= 25);
        QCOMPARE(DeviceClock::virtualElapsedMs(), qint64(0));
    }
};

QTEST_GUILESS_MAIN(TestDeviceClock)
#include "tst_deviceclock.moc"
