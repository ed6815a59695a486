// The firmware transfer against the emulated boot loader: the packets as the
// loader sees them, the image it holds at the end, the faults it can show,
// and the version the mouse comes back with. Device time on the virtual clock.
#include "device/fwupdate/FwUpdate.h"
#include "support/FirmwareRig.h"

#include <QSignalSpy>
#include <QtTest>
#include <sys/stat.h>

Q_DECLARE_METATYPE(EmulatedFirstFamilyBootLoader::Fault)

namespace {

using Fault = EmulatedFirstFamilyBootLoader::Fault;

quint32 le32(const QByteArray &b, int at)
{
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | quint8(b.at(at + i));
    return v;
}

// One update run to its end on this thread; the results it signalled.
struct Run
{
    explicit Run(FirmwareRig &rig)
    {
        update.SetDevicePaths(rig.normalPath(), FirmwareRig::bootPath());
    }
    bool go(const QString &path)
    {
        update.slotUpdate(path);
        return results.size() == 1 && results.at(0).at(0).toBool();
    }
    QList<uint> percents() const
    {
        QList<uint> out;
        for (const QList<QVariant> &args : percentSpy)
            out << args.at(0).toUInt();
        return out;
    }
    FwUpdate update;
    QSignalSpy results{&update, &FirmwareTransfer::sigUpdateResult};
    QSignalSpy percentSpy{&update, &FirmwareTransfer::sigPercent};
};

int commandCount(const QVector<QByteArray> &packets, quint32 command)
{
    int n = 0;
    for (const QByteArray &p : packets)
        n += le32(p, 1) == command;
    return n;
}

} // namespace

class TestFwUpdate : public QObject
{
    Q_OBJECT

private slots:
    // Sizes around the limits, and files that must never reach the mouse.
    void imageFiles_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("dataPackets"); // following packets after the first

        QTest::newRow("48 bytes: first packet alone") << 48 << "Nuc123.bin" << true << 0;
        QTest::newRow("49 bytes") << 49 << "Nuc123.bin" << true << 1;
        QTest::newRow("104 bytes: one full chunk") << 104 << "Nuc123.bin" << true << 1;
        QTest::newRow("128 KiB") << 131072 << "Nuc123.bin" << true << 2340;
        QTest::newRow("128 KiB and one") << 131073 << "Nuc123.bin" << false << 0;
        QTest::newRow("empty") << 0 << "Nuc123.bin" << false << 0;
        QTest::newRow("hex file") << 1000 << "Nuc123.hex" << false << 0;
        QTest::newRow("ihex suffix") << 1000 << "Nuc123.ihex" << false << 0;
        QTest::newRow("no such file") << -1 << "Nuc123.bin" << false << 0;
    }
    void imageFiles()
    {
        QFETCH(int, size);
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        QFETCH(int, dataPackets);
        FirmwareRig rig;
        const QByteArray image = FirmwareRig::image(qMax(size, 0));
        const QString path = size < 0 ? rig.files.filePath(name) : rig.file(image, name);
        rig.bus.resetTransferCount();
        const int mouseId = rig.update->mouseId();

        Run run(rig);
        QCOMPARE(run.go(path), accepted);
        QCOMPARE(run.results.size(), 1);
        if (!accepted) {
            // Refused before the mouse was touched: it is still there in normal mode.
            QCOMPARE(rig.bus.transferCount(), 0);
            QVERIFY(rig.bus.isPlugged(mouseId));
            QCOMPARE(rig.bootId(), 0);
            return;
        }
        const QVector<QByteArray> packets = rig.boot()->packets();
        QCOMPARE(packets.size(), 3 + dataPackets); // sync, first, data..., finish
        QCOMPARE(commandCount(packets, 0x00), dataPackets);
        QCOMPARE(rig.boot()->image(), image);
        QCOMPARE(rig.mouse->firmwareVersion(), EmulatedFirstFamilyBootLoader::versionOfImage(image));
    }

    // Commands, packet numbers 1, 3, 5, ..., little-endian fields and the
    // bytes a short last chunk leaves behind, as the boot loader got them.
    void packetBytes()
    {
        FirmwareRig rig;
        const QByteArray image = FirmwareRig::image(48 + 56 + 10);
        Run run(rig);
        QVERIFY(run.go(rig.file(image)));

        const QVector<QByteArray> p = rig.boot()->packets();
        QCOMPARE(p.size(), 5);
        const quint32 commands[] = {0xA4, 0xA0, 0x00, 0x00, 0xAB};
        for (int i = 0; i < p.size(); ++i) {
            QCOMPARE(p[i].size(), 65);
            QCOMPARE(quint8(p[i][0]), quint8(0));
            QCOMPARE(le32(p[i], 1), commands[i]);
            QCOMPARE(le32(p[i], 5), quint32(2 * i + 1));
        }
        QCOMPARE(le32(p[0], 9), quint32(1));          // sync repeats its number
        QCOMPARE(le32(p[1], 9), quint32(0));          // start address of the application
        QCOMPARE(le32(p[1], 13), quint32(image.size()));
        QCOMPARE(p[1].mid(17, 48), image.left(48));
        QCOMPARE(p[2].mid(9, 56), image.mid(48, 56));
        QCOMPARE(p[3].mid(9, 10), image.mid(104, 10));
        QCOMPARE(p[3].mid(19), p[2].mid(19));        // stale bytes after the short chunk

        // Progress: the transfer's share up to 80, then the closing steps.
        const QList<uint> percents = run.percents();
        QCOMPARE(percents.mid(percents.size() - 5), (QList<uint>{80, 85, 90, 95, 100}));
        QCOMPARE(percents.first(), uint((48 * 100 / image.size()) * 8 / 10));
    }

    // A damaged packet or a cut answer: the resend marker makes the loader
    // drop what it took, the chunk goes again and the image arrives whole.
    void resend_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::newRow("wrong checksum") << Fault::Corrupt;
        QTest::newRow("short reply") << Fault::ShortReply;
    }
    void resend()
    {
        QFETCH(Fault, fault);
        FirmwareRig rig(true);
        const QByteArray image = FirmwareRig::image(1000);
        rig.boot()->injectFault(fault, 5);
        Run run(rig);
        QVERIFY(run.go(rig.file(image)));

        const QVector<QByteArray> p = rig.boot()->packets();
        QCOMPARE(commandCount(p, 0xFF), 1);
        QCOMPARE(le32(p[5], 1), quint32(0xFF));
        QCOMPARE(p[6].mid(9, 56), p[4].mid(9, 56)); // the same chunk again
        // Numbers still step by two, across the resend too.
        for (int i = 1; i < p.size(); ++i)
            QCOMPARE(le32(p[i], 5), le32(p[i - 1], 5) + 2);
        QCOMPARE(rig.boot()->image(), image);
    }

    // Faults that end the transfer: one failed result, the right lastError,
    // and for the answers that never come the whole 20 s deadline.
    void failures_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("packet");
        QTest::addColumn<int>("lastError");
        QTest::addColumn<bool>("deadline");
        QTest::newRow("wrong packet number") << Fault::WrongNumber << 4 << -3 << true;
        QTest::newRow("silence") << Fault::Silence << 4 << -3 << true;
        QTest::newRow("silent sync") << Fault::Silence << 1 << -3 << true;
        QTest::newRow("damaged first packet") << Fault::Corrupt << 2 << -2 << false;
    }
    void failures()
    {
        QFETCH(Fault, fault);
        QFETCH(int, packet);
        QFETCH(int, lastError);
        QFETCH(bool, deadline);
        FirmwareRig rig(true);
        rig.boot()->injectFault(fault, packet);
        Run run(rig);
        QVERIFY(!run.go(rig.file(FirmwareRig::image(1000))));
        QCOMPARE(run.results.size(), 1);
        QCOMPARE(run.update.lastError(), lastError);
        QCOMPARE(rig.boot()->packets().size(), packet);
        QCOMPARE(DeviceClock::virtualElapsedMs() >= 20000, deadline);
        QCOMPARE(rig.update->completed(), 0);
    }

    // The boot loader leaves the bus at the first, a middle or the last data
    // packet, or just before the finish: one failed result, no hang.
    void unplugged_data()
    {
        QTest::addColumn<int>("packet");
        QTest::newRow("first") << 1;
        QTest::newRow("middle") << 10;
        QTest::newRow("last data") << 19;
        QTest::newRow("finish") << 20;
    }
    void unplugged()
    {
        QFETCH(int, packet);
        FirmwareRig rig(true);
        // 48 + 17 * 56 bytes: sync, first, 17 data packets, finish = 20 packets.
        const QString path = rig.file(FirmwareRig::image(48 + 17 * 56));
        EmulatedBackend::Faults faults;
        faults.unplugAfterTransfers = 2 * (packet - 1); // a write and a read per packet
        rig.bus.setFaults(rig.bootId(), faults);
        Run run(rig);
        QVERIFY(!run.go(path));
        QCOMPARE(run.results.size(), 1);
        QCOMPARE(rig.boot()->packets().size(), packet - 1);
        QVERIFY(!rig.bus.isPlugged(rig.bootId()));
    }

    // Switching: straight into a waiting boot loader, or by the 0xA8 request
    // and its waits. Device time tells the two apart.
    void entersUpdateMode()
    {
        {
            FirmwareRig rig(true);
            Run run(rig);
            QVERIFY(run.go(rig.file(FirmwareRig::image(48))));
            // Finish wait 2000 ms, closing steps 4 x 100 ms, a version read; no switch waits.
            QVERIFY(DeviceClock::virtualElapsedMs() >= 2400);
            QVERIFY(DeviceClock::virtualElapsedMs() < 3000);
            QCOMPARE(rig.boot()->packets().size(), 3);
            QCOMPARE(rig.update->completed(), 1);
        }
        {
            FirmwareRig rig;
            Run run(rig);
            QVERIFY(run.go(rig.file(FirmwareRig::image(48))));
            // 3000 ms after the request, 2000 ms before the first open of the loader.
            QVERIFY(DeviceClock::virtualElapsedMs() >= 3000 + 2000 + 2400);
            QVERIFY(rig.bus.isPlugged(rig.update->mouseId()));
            QVERIFY(!rig.bus.isPlugged(rig.bootId()));
        }
        {
            // No mouse at all: nothing to switch, no waiting.
            FirmwareRig rig;
            rig.bus.unplugAll();
            Run run(rig);
            QVERIFY(!run.go(rig.file(FirmwareRig::image(48))));
            QCOMPARE(DeviceClock::virtualElapsedMs(), qint64(0));
        }
    }

    // The mouse must come back running a different version; the same
    // version means the new image did not take.
    void versionAfterUpdate()
    {
        FirmwareRig rig;
        Run run(rig);
        QVERIFY(!run.go(rig.file(FirmwareRig::image(500, FirmwareRig::kOldVersion))));
        QVERIFY(rig.boot()->finished());
        QVERIFY(!run.percents().contains(100));

        Run again(rig);
        QVERIFY(again.go(rig.file(FirmwareRig::image(500, 0x05000003))));
        QCOMPARE(rig.mouse->firmwareVersion(), quint32(0x05000003));
    }

    // The alternative image has no caller yet; its file obeys the same rules
    // and goes into a buffer of its own.
    void alternativeImage()
    {
        FirmwareRig rig;
        FwUpdate update;
        const QByteArray app = FirmwareRig::image(100);
        const QByteArray alt = FirmwareRig::image(200);
        QVERIFY(update.ReadImageFile(rig.file(app, QStringLiteral("a.bin")), FwUpdate::ImageKind::Application));
        QVERIFY(update.ReadImageFile(rig.file(alt, QStringLiteral("b.bin")), FwUpdate::ImageKind::Alternative));
        QVERIFY(!update.ReadImageFile(rig.file(FirmwareRig::image(131073), QStringLiteral("c.bin")),
                                      FwUpdate::ImageKind::Alternative));
        QVERIFY(!update.ReadImageFile(rig.file(alt, QStringLiteral("d.hex")), FwUpdate::ImageKind::Alternative));
        QCOMPARE(update.image(FwUpdate::ImageKind::Application), app);
        QCOMPARE(update.image(FwUpdate::ImageKind::Alternative), alt);
    }

    // A FIFO in the image's place is refused at once instead of blocking the
    // transfer thread (which quitting waits for); nothing reaches the mouse.
    void aFifoImageIsRefusedAtOnce()
    {
        FirmwareRig rig;
        const QString path = rig.file(FirmwareRig::image(100), QStringLiteral("fifo.bin"));
        QVERIFY(QFile::remove(path));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        FwUpdate update;
        QSignalSpy result(&update, &FwUpdate::sigUpdateResult);
        QElapsedTimer clock;
        clock.start();
        update.slotUpdate(path);
        QCOMPARE(result.count(), 1);
        QCOMPARE(result.at(0).at(0).toBool(), false);
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(update.image(FwUpdate::ImageKind::Application).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFwUpdate)
#include "tst_fwupdate.moc"
