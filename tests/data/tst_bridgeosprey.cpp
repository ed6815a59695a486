// The bridge on its worker thread with an emulated second- or third-family
// mouse: what the pages are told on opening, what a change leaves in the
// mouse, and a mouse pulled out in the middle of a write.
#include "support/BridgeFixture.h"
#include "support/FileBytes.h"

#include "device/ProductTable.h"
#include "emulator/osprey/EmulatedOspreyMouse.h"
#include "store/JsonHandle.h"

#include <QFile>
#include <QtTest>
#include <memory>

namespace {

constexpr USHORT kVid = 0x3A5E;
constexpr int kCpiXLow = 300;
constexpr int kReportRate = 242;

} // namespace

class TestBridgeOsprey : public QObject
{
    Q_OBJECT
private slots:
    void openChangeUnplugReopen_data();
    void openChangeUnplugReopen();
    void aRefusedWriteIsReadBack();
};

void TestBridgeOsprey::openChangeUnplugReopen_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QByteArray>("codes"); // of 800, 1600, 3200, off, off, off, 6200
    QTest::addColumn<int>("lightMode");    // the page's mode of the factory main light
    QTest::newRow("harrier") << "harrier" << QByteArray::fromHex("12244a00000091") << 5;
    QTest::newRow("wren") << "wren" << QByteArray::fromHex("12244a00000091") << 4;
    QTest::newRow("osprey") << "osprey" << QByteArray::fromHex("1020400000007c") << 4;
}

void TestBridgeOsprey::openChangeUnplugReopen()
{
    QFETCH(QString, model);
    QFETCH(QByteArray, codes);
    QFETCH(int, lightMode);
    BridgeFixture b;
    auto mouse = std::make_shared<EmulatedOspreyMouse>(model);
    int id = b.bus.plug(mouse);
    const ProductInfo *product = Products::byName(model);

    // Open: the result, then the pages' values as the mouse holds them.
    QVERIFY(b.call("slot_OpenDevice", Q_ARG(USHORT, product->wiredPid), Q_ARG(USHORT, kVid)));
    b.sync();
    QCOMPARE(b.args("sig_OpenDeviceResult"), (QList<QVariantList>{{true, product->mouseType, false}}));
    QCOMPARE(b.warnings(), QList<int>{});
    QCOMPARE(b.args("sig_VersionNumber").last().at(0).toInt(), int(mouse->releaseNumber()));
    QCOMPARE(b.args("sig_SetCurrentConfigure").last().at(0).toInt(), 1);
    QCOMPARE(b.args("sig_SetCurrentReportRate").last().at(0).toInt(), 3);
    QCOMPARE(b.args("sig_SetLightParameterOnPage").last().at(0).value<LightColorParam>().lightMode, BYTE(lightMode));
    QVERIFY(b.count("sig_CurrentButtonIsOriginalButton") >= 12);

    // A CPI list reaches the mouse and the configuration file.
    b.clear();
    const QList<DWORD> cpi{800, 1600, 3200, 0, 0, 0, 6200};
    QVERIFY(b.call("slot_setCPIListValueOnMouse", Q_ARG(QList<DWORD>, cpi)));
    b.sync();
    QCOMPARE(b.warnings(), QList<int>{});
    QCOMPARE(mouse->profile().mid(kCpiXLow, 7), codes);
    const QString config = JsonHandle::currentConfigJsonFilePath(product->mouseType, 1);
    const QByteArray stored = fileBytes(config);
    QVERIFY(!stored.isEmpty());

    // Pulled out in the middle of the next write, after the mouse took the
    // report but before it confirmed it: one warning, the file as it was.
    b.clear();
    EmulatedBackend::Faults faults;
    faults.unplugAfterTransfers = 1;
    b.bus.setFaults(id, faults);
    QVERIFY(b.call("slot_ChangeUsbReportRate", Q_ARG(int, 0)));
    b.sync();
    QCOMPARE(b.warnings(), QList<int>{32});
    QCOMPARE(fileBytes(config), stored);
    QVERIFY(b.call("destroyUselessThings"));

    // Plugged in again, it opens and shows what it holds.
    b.clear();
    id = b.bus.plug(mouse);
    QVERIFY(b.call("slot_OpenDevice", Q_ARG(USHORT, product->wiredPid), Q_ARG(USHORT, kVid)));
    b.sync();
    QCOMPARE(b.args("sig_OpenDeviceResult"), (QList<QVariantList>{{true, product->mouseType, false}}));
    QCOMPARE(b.warnings(), QList<int>{});
    QCOMPARE(b.args("sig_SetCurrentCpiListValueOnPage").last().at(0).value<QList<DWORD>>(), cpi);
    QCOMPARE(b.args("sig_SetCurrentReportRate").last().at(0).toInt(), int(mouse->profile().at(kReportRate)));
}

// The mouse stores the profile but flags it as not taken: the write counts as
// failed, yet the mouse now holds something else than the manager last read.
// After the one warning the page is told what the mouse holds, exactly what
// a fresh open would show.
void TestBridgeOsprey::aRefusedWriteIsReadBack()
{
    BridgeFixture b;
    auto mouse = std::make_shared<EmulatedOspreyMouse>(QStringLiteral("harrier"));
    b.bus.plug(mouse);
    QVERIFY(b.call("slot_OpenDevice", Q_ARG(USHORT, USHORT(0x4163)), Q_ARG(USHORT, kVid)));
    b.sync();
    const QList<DWORD> before = b.args("sig_SetCurrentCpiListValueOnPage").last().at(0).value<QList<DWORD>>();

    b.clear();
    mouse->flagStatusReplies(0, 100);
    QVERIFY(b.call("slot_setCPIListValueOnMouse", Q_ARG(QList<DWORD>, (QList<DWORD>{400, 0, 0, 0, 0, 0, 0}))));
    b.sync();
    QCOMPARE(b.warnings(), QList<int>{32});
    QCOMPARE(b.args("sig_SetCurrentCpiListValueOnPage").size(), 1);
    QCOMPARE(b.args("sig_SetCurrentReportRate").size(), 1);
    const QList<DWORD> shown = b.args("sig_SetCurrentCpiListValueOnPage").last().at(0).value<QList<DWORD>>();
    QVERIFY(shown != before);

    mouse->flagStatusReplies(0, 0);
    QVERIFY(b.call("destroyUselessThings"));
    b.clear();
    QVERIFY(b.call("slot_OpenDevice", Q_ARG(USHORT, USHORT(0x4163)), Q_ARG(USHORT, kVid)));
    // It matches no stored configuration now, so the open fills no page: ask.
    QVERIFY(b.call("setCPIValueOnPage"));
    b.sync();
    QCOMPARE(b.args("sig_SetCurrentCpiListValueOnPage").last().at(0).value<QList<DWORD>>(), shown);
}

QTEST_GUILESS_MAIN(TestBridgeOsprey)
#include "tst_bridgeosprey.moc"
