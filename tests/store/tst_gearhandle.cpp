// The CPI gear file: defaults per model type, reading, and level edits.
#include "FilesTestSupport.h"

#include "store/GearHandle.h"
#include "store/SafeFile.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QThread>
#include <QtTest>

class TestGearHandle : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempAppFolder> m_app;
    GearHandle m_gear;

    static QJsonObject level(const QJsonObject &gear, int i)
    {
        return gear.value("GearData").toArray().at(i).toObject();
    }

private slots:
    void initTestCase() { quietDebugLog(); }
    void init() { m_app.reset(new TempAppFolder); }
    void cleanup() { m_app.reset(); }

    void defaultGear_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("variable");
        for (int t : {7, 8, 9, 10, 11, 12, 14})
            QTest::addRow("type %d", t) << t << true;
        for (int t : {0, 2, 3, 4, 5, 6, 13, 18, 19})
            QTest::addRow("type %d", t) << t << false;
    }
    void defaultGear()
    {
        QFETCH(int, type);
        QFETCH(bool, variable);
        const QJsonObject gear = m_gear.BuildDefaultGear(type);
        QCOMPARE(gear.value("GearVariable"), QJsonValue(variable));
        QCOMPARE(gear.value("GearData").toArray().size(), 7);
        for (int i = 0; i < 7; ++i)
            QCOMPARE(level(gear, i), (QJsonObject{{"GearPosition", i + 1}, {"GearCurrentValue", 0}, {"GearEnable", true}}));
    }

    void defaultFileIsWrittenAndReadBack()
    {
        const QString path = GearHandle::gearFilePath(3, 2);
        QCOMPARE(path, m_app->path() + "/ConfigFiles/MouseFile/osprey/AFile/CPIUIInterfaceFile/2/CpiSetting.json");
        QVERIFY(!QFileInfo::exists(path));
        const QJsonObject gear = m_gear.CreateDefaultGearFile(3, 2);
        QCOMPARE(readObject(path), gear);
        QVERIFY(!readBytes(path).contains('\n'));
        QCOMPARE(m_gear.ReadGearFile(3, 2), gear);
        QCOMPARE(gear.value("GearVariable").toBool(), false);
    }

    void unreadableFileGivesEmptyObject_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no file
        QTest::addRow("missing") << QByteArray();
        QTest::addRow("garbage") << QByteArray("{\"GearData\":[");
        QTest::addRow("array") << QByteArray("[]");
    }
    void unreadableFileGivesEmptyObject()
    {
        QFETCH(QByteArray, content);
        const QString path = GearHandle::gearFilePath(11, 1);
        if (!content.isEmpty())
            writeBytes(path, content);
        QCOMPARE(m_gear.ReadGearFile(11, 1), QJsonObject());
        QCOMPARE(QFileInfo::exists(path), !content.isEmpty());
    }

    void damagedMembersReadAsDefaults()
    {
        QJsonArray levels;
        levels.append(QJsonObject{{"GearPosition", 3}, {"GearCurrentValue", 1600}, {"GearEnable", false}});
        levels.append(QJsonObject{{"GearPosition", "2"}, {"GearCurrentValue", 1.5}, {"GearEnable", 1}});
        levels.append(5);
        writeObject(GearHandle::gearFilePath(11, 1), QJsonObject{{"GearVariable", "no"}, {"GearData", levels}});
        const QJsonObject gear = m_gear.ReadGearFile(11, 1);
        QCOMPARE(gear.value("GearVariable"), QJsonValue(true));
        QCOMPARE(gear.value("GearData").toArray().size(), 7);
        QCOMPARE(level(gear, 0), (QJsonObject{{"GearPosition", 3}, {"GearCurrentValue", 1600}, {"GearEnable", false}}));
        QCOMPARE(level(gear, 1), (QJsonObject{{"GearPosition", 2}, {"GearCurrentValue", 0}, {"GearEnable", true}}));
        for (int i = 2; i < 7; ++i)
            QCOMPARE(level(gear, i), (QJsonObject{{"GearPosition", i + 1}, {"GearCurrentValue", 0}, {"GearEnable", true}}));
    }

    void levelEditsReachObjectAndFile()
    {
        QJsonObject gear = m_gear.CreateDefaultGearFile(9, 4);
        m_gear.SetGearCurrentValue(9, 4, gear, 2, 3200);
        m_gear.SetGearEnable(9, 4, gear, 6, false);
        QCOMPARE(m_gear.GetGearCurrentValue(gear, 2), 3200);
        QCOMPARE(level(gear, 6).value("GearEnable").toBool(), false);
        QCOMPARE(m_gear.ReadGearFile(9, 4), gear);
        QCOMPARE(level(gear, 2).value("GearPosition").toInt(), 3);
    }

    // Edits that have nowhere to go change neither the object nor the file.
    void editsWithoutTheLevelChangeNothing_data()
    {
        QTest::addColumn<QJsonObject>("gear");
        QTest::addColumn<int>("level");
        GearHandle g;
        const QJsonObject full = g.BuildDefaultGear(2);
        QTest::addRow("no GearData") << QJsonObject{{"GearVariable", false}} << 0;
        QTest::addRow("GearData not array") << QJsonObject{{"GearData", 3}} << 0;
        QTest::addRow("level -1") << full << -1;
        QTest::addRow("level 7") << full << 7;
    }
    void editsWithoutTheLevelChangeNothing()
    {
        QFETCH(QJsonObject, gear);
        QFETCH(int, level);
        const QString path = GearHandle::gearFilePath(2, 1);
        writeBytes(path, "old");
        const QJsonObject before = gear;
        m_gear.SetGearEnable(2, 1, gear, level, false);
        m_gear.SetGearCurrentValue(2, 1, gear, level, 800);
        QCOMPARE(gear, before);
        QCOMPARE(readBytes(path), QByteArray("old"));
        QCOMPARE(m_gear.GetGearCurrentValue(gear, level), 0);
    }

    void sharedGearCrossesThreads()
    {
        const QJsonObject gear = m_gear.BuildDefaultGear(11);
        QThread *worker = QThread::create([gear] { SharedGear::setCurrent(gear); });
        worker->start();
        QVERIFY(worker->wait(5000));
        delete worker;
        QCOMPARE(SharedGear::current(), gear);
        SharedGear::setCurrent(QJsonObject());
        QCOMPARE(SharedGear::current(), QJsonObject());
    }
};

QTEST_GUILESS_MAIN(TestGearHandle)
#include "tst_gearhandle.moc"
