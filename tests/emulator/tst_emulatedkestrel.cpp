// The emulated first-family mouse and receiver through their own handlers:
// factory memory per model, report descriptor, link marker, status faults.
#include "emulator/EmulatedCatalog.h"
#include "emulator/kestrel/EmulatedKestrelMouse.h"
#include "platform/AppPaths.h"
#include "platform/hid/ReportDescriptor.h"
#include "support/TempAppFolder.h"

#include <QStandardPaths>
#include <QtTest>
#include <array>
#include <cstring>

namespace {

using Report = std::array<std::uint8_t, 32>;

Report command(std::uint8_t marker, std::initializer_list<std::uint8_t> bytes)
{
    Report r{};
    r[0] = 0xBA;
    r[1] = marker;
    int i = 2;
    for (std::uint8_t b : bytes)
        r[i++] = b;
    return r;
}

Report replyOf(EmulatedDevice &device)
{
    Report r{};
    r[0] = 0xBA;
    device.onGetInputReport(r.data(), r.size());
    return r;
}

} // namespace

class TestEmulatedKestrel : public QObject
{
    Q_OBJECT

private slots:
    void descriptorHasTheVendorCollection()
    {
        QVector<HidCollectionCaps> caps;
        QString error;
        QVERIFY2(Hid::parseReportDescriptor(KestrelEmulation::reportDescriptor(), &caps, &error), qPrintable(error));
        QCOMPARE(caps.size(), 2);
        QCOMPARE(int(caps[0].usagePage), 0x01);
        QCOMPARE(int(caps[0].usage), 0x02);
        QCOMPARE(int(caps[1].usagePage), 0xFF00);
        QCOMPARE(int(caps[1].usage), 0x0E);
        QCOMPARE(caps[1].inputReportByteLength, 32);
        QCOMPARE(caps[1].outputReportByteLength, 32);
        QCOMPARE(caps[1].reportIds, QVector<quint8>{0xBA});
    }

    // Every model, fresh from the factory: its identity, and its factory
    // profile in both banks (spot values from the two factory tables).
    void factoryMemory_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("wiredPid");
        QTest::addColumn<int>("receiverPid");
        QTest::addColumn<QByteArray>("buttons0");   // first 8 bytes at bank offset 512
        QTest::addColumn<QByteArray>("settings20"); // bytes at bank offset 1172 (CPI count word)
        QTest::addColumn<quint32>("battery");
        const QByteArray buttonsA = QByteArray::fromHex("0300100008000600");
        const QByteArray buttonsB = QByteArray::fromHex("0300010003000400");
        const QByteArray countA = QByteArray::fromHex("26000400");
        const QByteArray countB = QByteArray::fromHex("40010600");
        QTest::newRow("kestrel") << "kestrel" << 0x4130 << 0x1804 << buttonsB << countB << 727u;
        QTest::newRow("merlin") << "merlin" << 0x4132 << 0x4133 << buttonsA << countA << 712u;
        // The KestrelC has the Merlin settings but the Kestrel's button layout.
        QTest::newRow("kestrelc") << "kestrelc" << 0x4137 << 0x180A << buttonsB << countA << 712u;
        // The KestrelQ and KestrelEU end their level words with 5000 CPI in their encodings.
        QTest::newRow("kestrelq") << "kestrelq" << 0x4138 << 0x180B << buttonsB << QByteArray::fromHex("64000600") << 727u;
        QTest::newRow("merlinc") << "merlinc" << 0x4139 << 0x180C << buttonsA << countA << 712u;
        QTest::newRow("merlinq") << "merlinq" << 0x413A << 0x180D << buttonsA << countA << 712u;
        QTest::newRow("kestreleu") << "kestreleu" << 0x413B << 0x180F << buttonsB << QByteArray::fromHex("30000600") << 727u;
    }
    void factoryMemory()
    {
        QFETCH(QString, model);
        QFETCH(int, wiredPid);
        QFETCH(int, receiverPid);
        QFETCH(QByteArray, buttons0);
        QFETCH(QByteArray, settings20);
        QFETCH(quint32, battery);
        auto mouse = std::make_shared<EmulatedKestrelMouse>(model);
        EmulatedKestrelReceiver receiver(mouse);
        QCOMPARE(int(mouse->productId()), wiredPid);
        QCOMPARE(int(receiver.productId()), receiverPid);
        QByteArray identity(4, '\0');
        identity[0] = char(wiredPid & 0xFF);
        identity[1] = char(wiredPid >> 8);
        QCOMPARE(mouse->memory(4, 4), identity);
        for (int bank = 0; bank < 2; ++bank) {
            QCOMPARE(mouse->memory(bank * 1024 + 512, 8), buttons0);
            QCOMPARE(mouse->memory(bank * 1024 + 1172, 4), settings20);
        }
        QCOMPARE(mouse->memory(0, 512).count('\0'), 510);     // only the identity below the banks
        QCOMPARE(mouse->memory(4096, 4096).count('\0'), 4096); // macro slots empty
        QCOMPARE(mouse->bank(), 1);
        QCOMPARE(mouse->batteryRaw(), battery);
    }

    void linkMarkerIsChecked()
    {
        auto mouse = std::make_shared<EmulatedKestrelMouse>(QStringLiteral("merlin"));
        // A wired report carrying the receiver's marker is refused.
        Report wrong = command(0xA5, {0xA2, 0x00});
        QCOMPARE(mouse->onWrite(wrong.data(), wrong.size()), 32);
        QCOMPARE(int(replyOf(*mouse)[0]), 0);
        Report right = command(0xFF, {0xA2, 0x00});
        mouse->onWrite(right.data(), right.size());
        Report reply = replyOf(*mouse);
        QCOMPARE(int(reply[0]), 1);
        QCOMPARE(int(reply[1]), 1);

        // The receiver takes only its own marker.
        EmulatedKestrelReceiver receiver(mouse);
        receiver.onWrite(right.data(), right.size());
        QCOMPARE(int(replyOf(receiver)[0]), 0);
        receiver.onWrite(wrong.data(), wrong.size());
        QCOMPARE(int(replyOf(receiver)[0]), 1);
        // Another report ID is not a command at all.
        Report other = right;
        other[0] = 0x01;
        QCOMPARE(mouse->onWrite(other.data(), other.size()), -1);
    }

    void busyThenDone()
    {
        auto mouse = std::make_shared<EmulatedKestrelMouse>();
        mouse->setBusyReplies(2);
        Report c = command(0xFF, {0xAA});
        mouse->onWrite(c.data(), c.size());
        QCOMPARE(int(replyOf(*mouse)[0]), 2);
        QCOMPARE(int(replyOf(*mouse)[0]), 2);
        Report done = replyOf(*mouse);
        QCOMPARE(int(done[0]), 1);
        QCOMPARE(int(done[1] | (done[2] << 8)), 727);
        QCOMPARE(mouse->commandCount(), 1);
        QCOMPARE(mouse->replyCount(), 3);
    }

    void refusedCommandIsNotCarriedOut()
    {
        auto mouse = std::make_shared<EmulatedKestrelMouse>();
        mouse->refuseNextCommands(1);
        Report c = command(0xFF, {0xA5, 4, 0x00, 0x06, 0, 0, 1, 2, 3, 4});
        mouse->onWrite(c.data(), c.size());
        QCOMPARE(int(replyOf(*mouse)[0]), 0);
        QCOMPARE(mouse->memory(1536, 4), QByteArray::fromHex("03000100"));
        mouse->onWrite(c.data(), c.size());
        QCOMPARE(int(replyOf(*mouse)[0]), 1);
        QCOMPARE(mouse->memory(1536, 4), QByteArray::fromHex("01020304"));
    }

    void memoryLimits_data()
    {
        QTest::addColumn<QByteArray>("cmd");
        QTest::newRow("read past the end") << QByteArray::fromHex("a404fcff0200");
        QTest::newRow("read of 25") << QByteArray::fromHex("a41900100000");
        QTest::newRow("read of 0") << QByteArray::fromHex("a40000100000");
        QTest::newRow("write over the identity") << QByteArray::fromHex("a50404000000aabbccdd");
        QTest::newRow("bank 2") << QByteArray::fromHex("a102");
        QTest::newRow("unknown command") << QByteArray::fromHex("b0");
    }
    void memoryLimits()
    {
        QFETCH(QByteArray, cmd);
        auto mouse = std::make_shared<EmulatedKestrelMouse>();
        Report c{};
        c[0] = 0xBA;
        c[1] = 0xFF;
        std::memcpy(c.data() + 2, cmd.constData(), size_t(cmd.size()));
        mouse->onWrite(c.data(), c.size());
        QCOMPARE(int(replyOf(*mouse)[0]), 0);
        QCOMPARE(mouse->memory(4, 2), QByteArray::fromHex("3041"));
        QCOMPARE(mouse->bank(), 1);
    }

    void receiverPairing()
    {
        auto mouse = std::make_shared<EmulatedKestrelMouse>(QStringLiteral("kestrelc"));
        EmulatedKestrelReceiver receiver(mouse);
        receiver.setPairingCompletesAfter(2);
        Report start = command(0xA5, {0xA1, 0x8F, 0x34, 0x12, 0x00, 0x00});
        receiver.onWrite(start.data(), start.size());
        QCOMPARE(int(replyOf(receiver)[0]), 1);
        QCOMPARE(receiver.pairingAddress(), 0x1234u);
        Report query = command(0xA5, {0xA7});
        for (int expected : {1, 1, 0}) {
            receiver.onWrite(query.data(), query.size());
            const Report r = replyOf(receiver);
            QCOMPARE(int(r[0]), 1);
            QCOMPARE(int(r[1]), expected);
        }
        QCOMPARE(int(receiver.pairedPid()), 0x4137);
        QCOMPARE(receiver.ownCommands().size(), 4);
    }

    // Every first-family model can be emulated by cable and through its receiver.
    void catalogue()
    {
        for (const KestrelEmulation::Model &m : KestrelEmulation::models()) {
            const QString name = QLatin1String(m.name);
            EmulatedDevices devices;
            QString error;
            QVERIFY2(EmulatedCatalog::create(name, &devices, &error), qPrintable(error));
            QCOMPARE(devices.size(), 1);
            QCOMPARE(int(devices[0]->productId()), int(m.wiredPid));
            QVERIFY(std::dynamic_pointer_cast<EmulatedKestrelMouse>(devices[0]));
            QVERIFY2(EmulatedCatalog::create(name + QStringLiteral("-receiver"), &devices, &error), qPrintable(error));
            QCOMPARE(devices.size(), 1);
            QCOMPARE(int(devices[0]->productId()), int(m.receiverPid));
            auto receiver = std::dynamic_pointer_cast<EmulatedKestrelReceiver>(devices[0]);
            QVERIFY(receiver);
            QCOMPARE(receiver->mouse()->model().code, m.code);
            QVERIFY(EmulatedCatalog::availableNames().contains(name + QStringLiteral("-receiver")));
        }
    }

private:
    TempAppFolder m_dir;
};

QTEST_GUILESS_MAIN(TestEmulatedKestrel)
#include "tst_emulatedkestrel.moc"
