// The bridge's flows that every family shares, run once per row of the
// family table: a mouse of the family's first model, emulated by cable,
// opened, filled into the pages, changed, reloaded and let go. Each family's
// own bytes are tested in its protocol and manager suites; here only what
// the pages see through the bridge counts, so a new family adds a row to
// the family table and this test follows.
#include "support/BridgeFixture.h"

#include "device/FamilyTable.h"
#include "model/ProductTable.h"
#include "emulator/EmulatedCatalog.h"

#include <QtTest>

namespace {

constexpr USHORT kVid = 0x3A5E;

// The first model of a family in the product table.
const ProductInfo *firstModelOf(Family family)
{
    for (const ProductInfo *p = Products::begin(); p != Products::end(); ++p)
        if (p->family == family)
            return p;
    return nullptr;
}

} // namespace

class TestBridgeFamilies : public QObject
{
    Q_OBJECT
private slots:
    void flows_data();
    void flows();
};

void TestBridgeFamilies::flows_data()
{
    QTest::addColumn<QString>("model");
    for (const FamilyEntry *f = Families::begin(); f != Families::end(); ++f) {
        const ProductInfo *product = firstModelOf(f->family);
        QVERIFY(product);
        QTest::newRow(product->name) << QString::fromLatin1(product->name);
    }
}

void TestBridgeFamilies::flows()
{
    QFETCH(QString, model);
    const ProductInfo *product = Products::byName(model);
    BridgeFixture b;
    EmulatedDevices devices;
    QString error;
    QVERIFY2(EmulatedCatalog::create(model, &devices, &error), qPrintable(error));
    for (const auto &device : devices)
        b.bus.plug(device);

    // Open: the result first, then everything that fills the pages.
    QVERIFY(b.call("slot_OpenDevice", Q_ARG(USHORT, product->wiredPid), Q_ARG(USHORT, kVid)));
    b.sync();
    QCOMPARE(b.args("sig_OpenDeviceResult"), (QList<QVariantList>{{true, product->mouseType, false}}));
    QCOMPARE(b.warnings(), QList<int>{});
    const QStringList names = b.names();
    for (const char *page : {"sig_VersionNumber", "sig_SetCurrentConfigure", "sig_SetCurrentCpiListValueOnPage",
                             "sig_SetCurrentReportRate", "sig_SetLightParameterOnPage",
                             "sig_CurrentButtonIsOriginalButton"})
        QVERIFY2(names.indexOf(page) > names.indexOf("sig_OpenDeviceResult"), page);
    QCOMPARE(b.count("sig_ShowLoadingDialog"), b.count("sig_EndLoadingDialog"));

    // A CPI list and a report rate reach the mouse and come back as written.
    b.clear();
    const QList<DWORD> cpi{800, 1600, 3200, 0, 0, 0, 0};
    QVERIFY(b.call("slot_setCPIListValueOnMouse", Q_ARG(QList<DWORD>, cpi)));
    QVERIFY(b.call("slot_ChangeUsbReportRate", Q_ARG(int, 1)));
    QVERIFY(b.call("setCPIValueOnPage"));
    QVERIFY(b.call("setUsbReportRateOnPage"));
    b.sync();
    QCOMPARE(b.warnings(), QList<int>{});
    QCOMPARE(b.args("sig_SetCurrentCpiListValueOnPage").last().at(0).value<QList<DWORD>>(), cpi);
    QCOMPARE(b.args("sig_SetCurrentReportRate").last().at(0).toInt(), 1);

    // Configuration 2 (never saved: the factory one) goes in; configuration 1 keeps the change.
    b.clear();
    QVERIFY(b.call("slot_LoadLocalConfigFileAndWriteIntoMouse", Q_ARG(int, 2)));
    b.sync();
    QCOMPARE(b.warnings(), QList<int>{});
    QVERIFY(b.args("sig_SetCurrentCpiListValueOnPage").last().at(0).value<QList<DWORD>>() != cpi);
    b.clear();
    QVERIFY(b.call("slot_LoadLocalConfigFileAndWriteIntoMouse", Q_ARG(int, 1)));
    b.sync();
    QCOMPARE(b.args("sig_SetCurrentCpiListValueOnPage").last().at(0).value<QList<DWORD>>(), cpi);
    QCOMPARE(b.args("sig_SetCurrentReportRate").last().at(0).toInt(), 1);

    // The mouse goes away: the bridge lets it go and a request reaches nothing.
    b.clear();
    QVERIFY(b.call("destroyUselessThings"));
    QVERIFY(b.call("setUsbReportRateOnPage"));
    b.sync();
    QCOMPARE(b.names(), QStringList{"sig_RemoveReloadWidget"});
}

QTEST_GUILESS_MAIN(TestBridgeFamilies)
#include "tst_bridgefamilies.moc"
