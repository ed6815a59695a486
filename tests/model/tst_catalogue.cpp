// Every product row, through every consumer: a forgotten model fails here
// instead of falling back silently (profiles filed under another model's
// folder, a PID the presence scan never reports, a page without a picture).
#include "app/Startup.h"
#include "device/CheckDevice.h"
#include "device/FamilyTable.h"
#include "device/kestrel/KestrelTables.h"
#include "device/osprey/OspreyCodecs.h"
#include "emulator/EmulatedCatalog.h"
#include "model/CpiTables.h"
#include "model/ProductTable.h"
#include "pages/MouseButtonLayout.h"
#include "store/FactoryRecords.h"
#include "store/JsonHandle.h"

#include <QFile>
#include <QSet>
#include <QtTest>

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Startup::initResources(); }

    void everyRow_data()
    {
        QTest::addColumn<int>("type");
        for (const ProductInfo *p = Products::begin(); p != Products::end(); ++p)
            QTest::newRow(p->name) << p->mouseType;
    }

    void everyRow()
    {
        QFETCH(int, type);
        const ProductInfo *p = Products::byType(type);
        QVERIFY(p);
        const QString name = QLatin1String(p->name);

        // Identity: each key finds this row and no other.
        QCOMPARE(Products::byName(name), p);
        QCOMPARE(Products::byPid(p->wiredPid), p);
        if (p->receiverPid)
            QCOMPARE(Products::byPid(p->receiverPid), p);
        QVERIFY(Families::find(p->family));

        // Files: its own folder.
        QCOMPARE(JsonHandle::modelFolderName(type), name);

        // The presence scan reports both identities.
        CheckDevice scan;
        QVERIFY(scan.scanOrder().contains(p->wiredPid));
        if (p->receiverPid)
            QVERIFY(scan.scanOrder().contains(p->receiverPid));

        // CPI: a level count the page lays out, defaults inside the range.
        const int levels = CpiTables::levelCount(type);
        QVERIFY(levels == 5 || levels == 7);
        const CpiRange range = CpiTables::rangeFor(type);
        QVERIFY(range.minimum > 0 && range.minimum < range.maximum && range.step > 0);
        QVERIFY(range.middle > range.minimum && range.middle < range.maximum);
        for (int level = 0; level < levels; ++level)
            QVERIFY2(CpiTables::fits(type, CpiTables::defaultCpi(type, level)), qPrintable(QString::number(level)));

        // A factory record of its family's form.
        QByteArray record;
        QVERIFY(p->family == Family::First ? FactoryRecords::fillKorvan(record, type)
                                           : FactoryRecords::fillTern(record, type));

        // Its logo in the header.
        const QString logo = QStringLiteral(":/picture/%1/picture/%2/logo_korvan.png")
                                 .arg(Products::logoGroup(type), Products::logoGroup(type).toUpper());
        QVERIFY2(QFile::exists(logo), qPrintable(logo));

        // A picture, with a plate for every button it shows.
        QVERIFY2(QFile::exists(MouseButtonLayout::picturePath(type)), qPrintable(MouseButtonLayout::picturePath(type)));
        QVERIFY(p->pictureButtons != 0);
        for (int button = 4; button <= 17; ++button)
            if (p->pictureButtons & buttonBit(button))
                QVERIFY2(!MouseButtonLayout::plate(type, button).isEmpty(), qPrintable(QString::number(button)));

        // The family's protocol facts are filled in.
        if (p->family == Family::First) {
            QVERIFY(p->korvan.cpiCoding != KorvanCpiCoding::None);
            QCOMPARE(p->osprey.cpiCoding, CpiCoding::None);
        } else {
            QVERIFY(p->osprey.cpiCoding != CpiCoding::None);
            QVERIFY(p->osprey.anyFixedPart || p->osprey.sumLow != 0 || p->osprey.sumHigh != 0);
            QCOMPARE(OspreyCodecs::defaultButtonTable(type).size(), 64);
        }

        // An emulated mouse of its own, by cable and (first family) through its receiver.
        EmulatedDevices devices;
        QString error;
        QVERIFY2(EmulatedCatalog::create(name, &devices, &error), qPrintable(error));
        QCOMPARE(devices.first()->productId(), p->wiredPid);
        if (p->receiverPid) {
            devices.clear();
            QVERIFY2(EmulatedCatalog::create(name + QStringLiteral("-receiver"), &devices, &error), qPrintable(error));
            QCOMPARE(devices.first()->productId(), p->receiverPid);
        }
    }

    // The emulator keeps its own list, written from the device's side: it
    // names the same models with the same identities.
    void emulatorAgrees()
    {
        QSet<QString> emulated;
        for (const EmulatedModel &m : EmulatedCatalog::models()) {
            const ProductInfo *p = Products::byName(QLatin1String(m.name));
            QVERIFY2(p, m.name);
            QCOMPARE(m.wiredPid, p->wiredPid);
            QCOMPARE(m.receiverPid, p->receiverPid);
            const Family family = m.family == EmulatedFamily::First    ? Family::First
                                  : m.family == EmulatedFamily::Second ? Family::Second
                                                                       : Family::Third;
            QCOMPARE(family, p->family);
            emulated.insert(QLatin1String(m.name));
        }
        for (const ProductInfo *p = Products::begin(); p != Products::end(); ++p)
            QVERIFY2(emulated.contains(QLatin1String(p->name)), p->name);
    }

    // Scan ranks are unique, so the presence scan's order is the catalogue's.
    void scanRanksAreUnique()
    {
        QSet<int> ranks;
        for (const ProductInfo *p = Products::begin(); p != Products::end(); ++p) {
            for (int rank : {p->wiredRank, p->receiverPid ? p->receiverRank : -1}) {
                if (rank < 0)
                    continue;
                QVERIFY2(rank > 0, p->name);
                QVERIFY2(!ranks.contains(rank), p->name);
                ranks.insert(rank);
            }
        }
    }

    // Codes without a product are no rows: nothing answers for them.
    void codesWithoutAProduct()
    {
        for (int type : {0, 1, 15, 16, 17, 20}) {
            QVERIFY(!Products::byType(type));
            QCOMPARE(CpiTables::levelCount(type), 0);
            QVERIFY(MouseButtonLayout::pictureName(type).isEmpty());
        }
    }
};

QTEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
