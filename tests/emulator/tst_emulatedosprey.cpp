// The emulated second- and third-family mice on their own: what the bus
// lists, their factory profiles, and how they answer raw feature reports.
#include "emulator/EmulatedBackend.h"
#include "emulator/EmulatedCatalog.h"
#include "emulator/osprey/EmulatedOspreyMouse.h"

#include <QtTest>

namespace {

QByteArray command(const QByteArray &bytes)
{
    QByteArray r(6, '\0');
    r[0] = 0x05;
    r.replace(1, bytes.size(), bytes);
    return r;
}

QByteArray dataReport(const QByteArray &header, const QByteArray &block)
{
    QByteArray r(1032, '\0');
    r[0] = 0x06;
    r.replace(1, header.size(), header);
    r.replace(8, block.size(), block);
    return r;
}

int set(HidDevice &d, const QByteArray &report)
{
    return d.sendFeatureReport(reinterpret_cast<const std::uint8_t *>(report.constData()), size_t(report.size()));
}

QByteArray get(HidDevice &d, int length = 1032)
{
    QByteArray r(length, '\0');
    r[0] = 0x06;
    const int n = d.getFeatureReport(reinterpret_cast<std::uint8_t *>(r.data()), size_t(r.size()));
    return n < 0 ? QByteArray() : r.left(n);
}

} // namespace

class TestEmulatedOsprey : public QObject
{
    Q_OBJECT

private slots:
    // Every model is on the bus under its name, with its three collections.
    void catalogue_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<quint16>("pid");
        for (const auto &m : OspreyEmulation::models())
            QTest::newRow(m.name) << QString::fromLatin1(m.name) << m.pid;
    }
    void catalogue()
    {
        QFETCH(QString, name);
        QFETCH(quint16, pid);
        EmulatedDevices devices;
        QString error;
        QVERIFY2(EmulatedCatalog::create(name, &devices, &error), qPrintable(error));
        QCOMPARE(devices.size(), 1);
        QVERIFY(EmulatedCatalog::availableNames().contains(name));
        QVERIFY(!EmulatedCatalog::create(name + QStringLiteral("-receiver"), nullptr, &error));

        EmulatedBackend bus;
        bus.plug(devices.first());
        const QVector<HidDeviceInfo> list = bus.enumerate();
        QCOMPARE(list.size(), 3);
        QCOMPARE(list.at(0).productId, pid);
        QCOMPARE(list.at(0).caps.usagePage, quint16(0x0001));
        QCOMPARE(list.at(0).caps.usage, quint16(0x0002));
        QCOMPARE(list.at(0).caps.numberFeatureValueCaps, 0);
        const int lengths[2] = {6, 1032};
        const quint8 ids[2] = {0x05, 0x06};
        for (int i = 0; i < 2; ++i) {
            const HidCollectionCaps &caps = list.at(1 + i).caps;
            QCOMPARE(caps.usagePage, quint16(0xFF00));
            QCOMPARE(caps.usage, quint16(0x0001));
            QCOMPARE(caps.featureReportByteLength, lengths[i]);
            QCOMPARE(caps.numberFeatureValueCaps, 1);
            QCOMPARE(caps.featureValueCapReportIds, QVector<quint8>{ids[i]});
        }
    }

    // The factory profile balances to the model's pair by the firmware's own
    // sums; a changed fixed-part byte unbalances it.
    void factoryProfiles_data()
    {
        QTest::addColumn<QString>("name");
        for (const auto &m : OspreyEmulation::models())
            QTest::newRow(m.name) << QString::fromLatin1(m.name);
    }
    void factoryProfiles()
    {
        QFETCH(QString, name);
        EmulatedOspreyMouse mouse(name);
        const QByteArray p = mouse.profile();
        QCOMPARE(p.size(), 1024);
        QCOMPARE(p.at(0), '\x01');
        QVERIFY(mouse.fixedPartBalances());
        QVERIFY(mouse.settingsSumHolds());
        QCOMPARE(quint8(p.at(476)), mouse.model().keyA);
        QCOMPARE(quint8(p.at(477)), mouse.model().keyB);
        mouse.corruptFixedPart();
        QVERIFY(!mouse.fixedPartBalances());
    }

    // The sums by hand on a small profile: odd positions once, even ones
    // three times, key byte B added or taken off, balancing bytes taken off.
    void sumsByHand()
    {
        QByteArray p(1024, '\0');
        p[1] = 10;   // 10
        p[2] = 20;   // 60
        p[13] = 5;   // 5, taken off the low byte
        p[19] = 7;   // 7, taken off on type 3 only
        p[241] = 1;  // 1
        p[477] = 3;  // key byte B
        QCOMPARE(OspreyEmulation::fixedPartSum(p, 2), qMakePair(quint8(81), quint8(0)));   // 83 + 3 - 5
        QCOMPARE(OspreyEmulation::fixedPartSum(p, 3), qMakePair(quint8(74), quint8(0)));   // and - 7
        p[476] = 1;  // key byte A set: B taken off
        QCOMPARE(OspreyEmulation::fixedPartSum(p, 2), qMakePair(quint8(75), quint8(0)));   // 83 - 3 - 5
        p[242] = char(0xFF); // 765
        p[475] = 2;          // 2
        QCOMPARE(OspreyEmulation::settingsSum(p), qMakePair(quint8(0xFF), quint8(0x02)));  // 767
    }

    // The mouse's side of the exchanges, spoken raw.
    void rawExchanges()
    {
        EmulatedBackend bus;
        auto mouse = std::make_shared<EmulatedOspreyMouse>(QStringLiteral("saker"));
        bus.plug(mouse);
        std::unique_ptr<HidDevice> d = bus.open(bus.enumerate().at(2));
        QVERIFY(d);

        // Reports of the wrong length or an unknown ID or command stall.
        QCOMPARE(set(*d, command("\x82").left(5)), -1);
        QCOMPARE(set(*d, QByteArray("\x07\x82\0\0\0\0", 6)), -1);
        QCOMPARE(set(*d, command("\x86")), -1);
        QCOMPARE(set(*d, dataReport("\x09", QByteArray())), -1);

        // Nothing asked yet: no command echoed.
        QCOMPARE(get(*d).left(2), QByteArray("\x06\x00", 2));

        QCOMPARE(set(*d, command("\x83")), 6);
        QByteArray reply = get(*d);
        QCOMPARE(reply.size(), 1032);
        QCOMPARE(reply.left(2), QByteArray("\x06\x83"));
        QCOMPARE(reply.mid(8), mouse->profile());

        // A macro write lands in its slot and answers through status byte 3.
        mouse->setBusyPolls(1);
        const QByteArray macro = QByteArray("\x00\x02\x10\x80\x11\x80", 6);
        QCOMPARE(set(*d, dataReport(QByteArray("\x04\x90\x00\x04", 4), macro)), 1032);
        QCOMPARE(mouse->macroBlock(0x90).left(6), macro);
        QCOMPARE(set(*d, command("\x82")), 6);
        QCOMPARE(get(*d, 8).toHex(), QByteArray("0682000100000000"));
        QCOMPARE(get(*d, 8).toHex(), QByteArray("0682000000000000"));

        // A macro address that is no slot is rejected in the status byte.
        QCOMPARE(set(*d, dataReport(QByteArray("\x04\x8d\x00\x04", 4), macro)), 1032);
        QCOMPARE(set(*d, command("\x82")), 6);
        QCOMPARE(get(*d, 8).toHex(), QByteArray("0682000100000000"));
        QCOMPARE(get(*d, 8).toHex(), QByteArray("0682000200000000"));

        QCOMPARE(set(*d, command(QByteArray("\x84\x90", 2))), 6);
        reply = get(*d);
        QCOMPARE(reply.left(3), QByteArray("\x06\x84\x90"));
        QCOMPARE(reply.mid(8, 6), macro);

        // The profile write takes the length it is told: 512 bytes.
        QByteArray block = mouse->profile();
        block.replace(0, 512, QByteArray(512, '\x42'));
        QCOMPARE(set(*d, dataReport(QByteArray("\x03\x00\x00\x02", 4), QByteArray(512, '\x42'))), 1032);
        QCOMPARE(mouse->profile(), block);

        // Faults: a flagged status reply, a wrong echo, a short reply.
        mouse->setBusyPolls(0);
        QCOMPARE(set(*d, command("\x82")), 6);
        mouse->flagStatusReplies(0, 1);
        QCOMPARE(get(*d, 8).toHex(), QByteArray("0682010100000001")); // profile write and macro fetch still busy
        QCOMPARE(get(*d, 8).toHex(), QByteArray("0682000000000000"));
        mouse->corruptNextReplies(1);
        QCOMPARE(get(*d, 8).toHex(), QByteArray("06c2000000000000"));
        mouse->setReplyLength(5);
        QCOMPARE(get(*d).size(), 5);
        QCOMPARE(mouse->reportsRead(), 11);
    }
};

QTEST_GUILESS_MAIN(TestEmulatedOsprey)
#include "tst_emulatedosprey.moc"
