// The product table against the two other places that know the models: the
// emulator's catalogue and the first family's emulated models keep their own
// copy of what the devices say (the emulator shares no code with the
// drivers), so drift between them is caught here. Then the per-model rules
// the table carries, and the identities derived from it.
#include "model/ProductTable.h"
#include "emulator/EmulatedCatalog.h"
#include "emulator/kestrel/EmulatedKestrelMouse.h"

#include <QtTest>

namespace {

Family familyOf(EmulatedFamily family)
{
    switch (family) {
    case EmulatedFamily::First:
        return Family::First;
    case EmulatedFamily::Second:
        return Family::Second;
    case EmulatedFamily::Third:
        break;
    }
    return Family::Third;
}

} // namespace

class TestProductTable : public QObject
{
    Q_OBJECT
private slots:
    void emulatorCatalogueMatchesTheTable();
    void firstFamilyEmulatedModelsMatchTheTable();
    void perModelRules_data();
    void perModelRules();
    void derivedIdentities();
};

void TestProductTable::emulatorCatalogueMatchesTheTable()
{
    const QVector<EmulatedModel> &models = EmulatedCatalog::models();
    QCOMPARE(models.size(), int(Products::end() - Products::begin()));
    for (const EmulatedModel &m : models) {
        const ProductInfo *p = Products::byName(QLatin1String(m.name));
        QVERIFY2(p, m.name);
        QCOMPARE(familyOf(m.family), p->family);
        QCOMPARE(USHORT(m.wiredPid), p->wiredPid);
        QCOMPARE(USHORT(m.receiverPid), p->receiverPid);
        QCOMPARE(QString::fromLatin1(m.productName).toLower(), QString::fromLatin1(p->name));
    }
}

void TestProductTable::firstFamilyEmulatedModelsMatchTheTable()
{
    int firstFamily = 0;
    for (const ProductInfo *p = Products::begin(); p != Products::end(); ++p)
        firstFamily += p->family == Family::First;
    const QVector<KestrelEmulation::Model> &models = KestrelEmulation::models();
    QCOMPARE(models.size(), firstFamily);
    for (const KestrelEmulation::Model &m : models) {
        const ProductInfo *p = Products::byName(QLatin1String(m.name));
        QVERIFY2(p && p->family == Family::First, m.name);
        QCOMPARE(m.code, p->mouseType);
        QCOMPARE(USHORT(m.wiredPid), p->wiredPid);
        QCOMPARE(USHORT(m.receiverPid), p->receiverPid);
    }
}

void TestProductTable::perModelRules_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("fallback");
    QTest::addColumn<QString>("logo");
    QTest::addColumn<int>("steadyFrom"); // -1: always filtered
    QTest::addColumn<bool>("picture");
    QTest::addColumn<bool>("resetClearsPicture");
    QTest::addColumn<bool>("firstFamilyLight");
    QTest::addColumn<int>("minimumFirmware");
    QTest::newRow("falcon") << 2 << 8 << "falcon" << -1 << false << false << false << 0;
    QTest::newRow("osprey") << 3 << 10 << "osprey" << -1 << true << true << false << 0;
    QTest::newRow("saker") << 4 << 4 << "falcon" << -1 << false << false << false << 0;
    QTest::newRow("falcons") << 5 << 3 << "falcon" << -1 << false << false << false << 0;
    QTest::newRow("sakers") << 6 << 4 << "falcon" << -1 << false << false << false << 0;
    QTest::newRow("merlinc") << 7 << 5 << "merlin" << -1 << false << false << true << 0;
    QTest::newRow("merlinq") << 8 << 5 << "merlin" << -1 << false << false << true << 0;
    QTest::newRow("kestrelc") << 9 << 5 << "kestrel" << -1 << false << false << true << 0;
    QTest::newRow("kestrelq") << 10 << 5 << "kestrel" << 0 << true << false << true << 0;
    QTest::newRow("kestrel") << 11 << 32 << "kestrel" << 30 << true << false << true << 0;
    QTest::newRow("merlin") << 12 << 13 << "merlin" << -1 << false << false << true << 0;
    QTest::newRow("wren") << 13 << 2 << "wren" << -1 << false << false << false << 0;
    QTest::newRow("kestreleu") << 14 << 1 << "kestrel" << 0 << false << false << false << 0;
    QTest::newRow("lanner") << 18 << 4 << "lanner" << -1 << false << false << false << 5;
    QTest::newRow("harrier") << 19 << 4 << "harrier" << -1 << false << false << false << 1;
    QTest::newRow("unknown type") << 42 << 1 << "osprey" << -1 << false << false << false << 0;
}

void TestProductTable::perModelRules()
{
    QFETCH(int, type);
    QFETCH(int, fallback);
    QFETCH(QString, logo);
    QFETCH(int, steadyFrom);
    QFETCH(bool, picture);
    QFETCH(bool, resetClearsPicture);
    QFETCH(bool, firstFamilyLight);
    QFETCH(int, minimumFirmware);
    QCOMPARE(Products::fallbackFirmware(type), fallback);
    QCOMPARE(Products::logoGroup(type), logo);
    QCOMPARE(Products::batteryIsSteady(type, 99), steadyFrom >= 0);
    if (steadyFrom > 0)
        QVERIFY(!Products::batteryIsSteady(type, steadyFrom - 1) && Products::batteryIsSteady(type, steadyFrom));
    QCOMPARE(Products::hasScreenPicture(type), picture);
    QCOMPARE(Products::clearsPictureOnReset(type), resetClearsPicture);
    QCOMPARE(Products::usesFirstFamilyLightPage(type), firstFamilyLight);
    QVERIFY(!Products::firmwareTooOld(type, minimumFirmware));
    QCOMPARE(Products::firmwareTooOld(type, minimumFirmware - 1), minimumFirmware > 0);
}

void TestProductTable::derivedIdentities()
{
    // Path filters as the first family and the update transfer look for them.
    QCOMPARE(Products::pathFilter(0x4130), QStringLiteral("VID_3A5E&PID_4130"));
    QCOMPARE(Products::pathFilter(0x180A), QStringLiteral("VID_3A5E&PID_180a"));
    QCOMPARE(Products::pathFilter(0x413A), QStringLiteral("VID_3A5E&PID_413a"));
    QCOMPARE(Products::pathFilter(Products::kFirstFamilyBootPid), QStringLiteral("VID_3A5E&PID_3000"));
    // Every receiver leads to its own mouse's cable, and only receivers do.
    for (const ProductInfo *p = Products::begin(); p != Products::end(); ++p) {
        QCOMPARE(Products::wiredPidOfReceiver(p->wiredPid), USHORT(0));
        if (p->receiverPid)
            QCOMPARE(Products::wiredPidOfReceiver(p->receiverPid), p->wiredPid);
        // A second- or third-family boot loader names its model by the normal PID.
        QCOMPARE(Products::typeOfBootRelease(p->wiredPid), p->family == Family::First ? 0 : p->mouseType);
    }
    QCOMPARE(Products::typeOfBootProduct(QStringLiteral("KestrelEU Boot")), int(ModelKestrelEU));
    QCOMPARE(Products::typeOfBootProduct(QStringLiteral("MerlinQ Boot")), int(ModelMerlin));
    QCOMPARE(Products::typeOfBootProduct(QStringLiteral("Kestrel Boot")), 0);
    // Naming both: the KestrelEU's mark is tried first.
    QCOMPARE(Products::typeOfBootProduct(QStringLiteral("Merlin KestrelEU Boot")), int(ModelKestrelEU));
    QCOMPARE(Products::typeOfBootProduct(QStringLiteral("KestrelEU Merlin Boot")), int(ModelKestrelEU));
}

QTEST_GUILESS_MAIN(TestProductTable)
#include "tst_producttable.moc"
