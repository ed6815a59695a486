// The records that cross threads: their registered names, and the lighting
// record arriving whole through a queued connection.
#include "device/DeviceMetaTypes.h"
#include "device/DeviceTypes.h"

#include <QMap>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <cstring>

class LightSender : public QObject
{
    Q_OBJECT
signals:
    void sig_Light(LightColorParam param);
};

class LightReceiver : public QObject
{
    Q_OBJECT
public:
    LightColorParam received{};
    QThread *thread = nullptr;
signals:
    void sig_Done();
public slots:
    void slot_Light(LightColorParam param)
    {
        received = param;
        thread = QThread::currentThread();
        emit sig_Done();
    }
};

class TestLightColorParam : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { registerDeviceMetaTypes(); }

    void registeredNames_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("type");
        QTest::newRow("QMap<int,QList<int> >") << QByteArray("QMap<int,QList<int> >") << qMetaTypeId<QMap<int, QList<int>>>();
        QTest::newRow("QList<COLORREF>") << QByteArray("QList<COLORREF>") << qMetaTypeId<QList<COLORREF>>();
        QTest::newRow("LightColorParam") << QByteArray("LightColorParam") << qMetaTypeId<LightColorParam>();
        QTest::newRow("USHORT") << QByteArray("USHORT") << int(QMetaType::UShort);
        QTest::newRow("DWORD") << QByteArray("DWORD") << int(QMetaType::UInt); // 32 bits, as on Windows
        QTest::newRow("QList<DWORD>") << QByteArray("QList<DWORD>") << qMetaTypeId<QList<DWORD>>();
    }
    void registeredNames()
    {
        QFETCH(QByteArray, name);
        QFETCH(int, type);
        QCOMPARE(QMetaType::type(name.constData()), type);
    }

    void lightRecordIsPlainBytes()
    {
        const int type = QMetaType::type("LightColorParam");
        QCOMPARE(QMetaType::sizeOf(type), 30);
        QVERIFY(!(QMetaType::typeFlags(type) & QMetaType::NeedsDestruction));
    }

    void lightRecordCrossesThreadsWhole_data()
    {
        QTest::addColumn<bool>("byName");
        QTest::newRow("function pointers") << false;
        QTest::newRow("by signature") << true;
    }
    void lightRecordCrossesThreadsWhole()
    {
        QFETCH(bool, byName);
        QThread worker;
        LightReceiver receiver;
        receiver.moveToThread(&worker);
        worker.start();

        LightSender sender;
        if (byName)
            QVERIFY(connect(&sender, SIGNAL(sig_Light(LightColorParam)), &receiver, SLOT(slot_Light(LightColorParam)),
                            Qt::QueuedConnection));
        else
            connect(&sender, &LightSender::sig_Light, &receiver, &LightReceiver::slot_Light, Qt::QueuedConnection);
        QSignalSpy done(&receiver, &LightReceiver::sig_Done);

        // Every byte distinct and non-zero, the wheel group included.
        LightColorParam sent;
        auto *bytes = reinterpret_cast<unsigned char *>(&sent);
        for (int i = 0; i < 30; ++i)
            bytes[i] = static_cast<unsigned char>(0xA0 + i);
        emit sender.sig_Light(sent);

        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);
        worker.quit();
        QVERIFY(worker.wait(10000));
        QCOMPARE(receiver.thread, &worker);
        QVERIFY(std::memcmp(&receiver.received, &sent, sizeof sent) == 0);
        QCOMPARE(receiver.received.wheelMode, BYTE(0xA0));
        QCOMPARE(receiver.received.lightMode, BYTE(0xA0 + 15));
        QCOMPARE(receiver.received.colors[11], BYTE(0xA0 + 29));
    }
};

QTEST_GUILESS_MAIN(TestLightColorParam)
#include "tst_lightcolorparam.moc"
