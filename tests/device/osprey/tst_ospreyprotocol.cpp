// The second- and third-family drivers against the emulated mice: the bytes
// on the wire, what the mouse holds afterwards, and the device time.
#include "support/OspreyRig.h"

#include <QtTest>
#include <functional>

namespace {

using Op = std::function<bool(USBDriver_Osprey &)>;

QByteArray pattern(int n, int seed = 1)
{
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i)
        b[i] = char((i * 7 + seed) & 0xFF);
    return b;
}

MacroRecord macroOf(int items, uchar h0 = 0x00, uchar h1 = 0x03, int seed = 0)
{
    MacroRecord m;
    m.header0 = h0;
    m.header1 = h1;
    for (int i = 0; i < items; ++i)
        m.items.append(USHORT(0x8000 | ((i + seed) & 0x7FFF)) | 1);
    return m;
}

// A macro block as the mouse stores it: header, steps little-endian, zero fill.
QByteArray blockOf(const MacroRecord &m)
{
    QByteArray b(1024, '\0');
    b[0] = char(m.header0);
    b[1] = char(m.header1);
    for (int i = 0; i < m.items.size(); ++i) {
        b[2 + 2 * i] = char(m.items.at(i) & 0xFF);
        b[3 + 2 * i] = char(m.items.at(i) >> 8);
    }
    return b;
}

bool sameMacro(const MacroRecord &a, const MacroRecord &b)
{
    return a.header0 == b.header0 && a.header1 == b.header1 && a.items == b.items;
}

// A device with only some of the mouse's collections, to see which ones FindHIDDevice needs.
class PartialMouse : public EmulatedDevice
{
public:
    PartialMouse(quint16 pid, const QByteArray &descriptor) : m_pid(pid), m_descriptor(descriptor) {}
    quint16 vendorId() const override { return 0x3A5E; }
    quint16 productId() const override { return m_pid; }
    QByteArray reportDescriptor() const override { return m_descriptor; }

private:
    quint16 m_pid;
    QByteArray m_descriptor;
};

const char kMouseCollection[] = "05010902a10185010901950575018102050109300931750895028106c0";
const char kCommandCollection[] = "0600ff0901a10185050901150026ff0075089505b102c0";
const char kDataCollection[] = "0600ff0901a10185060902150026ff007508960704b102c0";
// The data collection under a vendor usage other than 1: no report ID is taken from it.
const char kDataCollectionUsage2[] = "0600ff0902a10185060902150026ff007508960704b102c0";
const char kOddLengthCollection[] = "0600ff0901a10185070901150026ff0075089510b102c0";

} // namespace

Q_DECLARE_METATYPE(Op)

class TestOspreyProtocol : public QObject
{
    Q_OBJECT

private slots:
    // Every model opens with both channels and reads a profile that balances.
    void opensEveryModel_data()
    {
        QTest::addColumn<QString>("model");
        for (const auto &m : OspreyEmulation::models())
            QTest::newRow(m.name) << QString::fromLatin1(m.name);
    }
    void opensEveryModel()
    {
        QFETCH(QString, model);
        OspreyRig rig(model);
        QVERIFY(rig.opened);
        QCOMPARE(rig.driver->commandChannel()->reportId, 5);
        QCOMPARE(rig.driver->commandChannel()->reportLength, USHORT(6));
        QCOMPARE(rig.driver->dataChannel()->reportId, 6);
        QCOMPARE(rig.driver->dataChannel()->reportLength, USHORT(1032));
        QCOMPARE(rig.driver->GetDeviceVersion(), rig.mouse->releaseNumber());
        QCOMPARE(rig.driver->dataChannel()->productName, rig.mouse->productString());

        QByteArray record(476, '\x55');
        QVERIFY(rig.driver->GetProfileDataBlock(bytesOf(record)));
        QCOMPARE(record, rig.record());
        QCOMPARE(rig.driver->profileCache(), rig.mouse->profile());
        QCOMPARE(rig.driver->keyA(), rig.mouse->model().keyA);
        QCOMPARE(rig.driver->keyB(), rig.mouse->model().keyB);
        QCOMPARE(rig.ms(), qint64(250)); // 50, then 100 before the command and 100 before the reply
    }

    void opensOnlyWithBothChannels_data()
    {
        QTest::addColumn<QByteArray>("descriptor");
        QTest::addColumn<quint16>("pid");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<int>("dataReportId");
        const QByteArray mouse = QByteArray(kMouseCollection);
        QTest::newRow("all three") << QByteArray::fromHex(mouse + kCommandCollection + kDataCollection) << quint16(0x4163)
                                   << true << 6;
        QTest::newRow("data collection only") << QByteArray::fromHex(mouse + kDataCollection) << quint16(0x4163) << false
                                              << 0;
        QTest::newRow("command collection only") << QByteArray::fromHex(mouse + kCommandCollection) << quint16(0x4163)
                                                 << false << 0;
        QTest::newRow("another PID") << QByteArray::fromHex(mouse + kCommandCollection + kDataCollection)
                                     << quint16(0x4162) << false << 0;
        QTest::newRow("a third length is passed over")
            << QByteArray::fromHex(mouse + kOddLengthCollection + kCommandCollection + kDataCollection)
            << quint16(0x4163) << true << 6;
        QTest::newRow("report ID only under vendor usage 1")
            << QByteArray::fromHex(mouse + kCommandCollection + kDataCollectionUsage2) << quint16(0x4163) << true << 0;
    }
    void opensOnlyWithBothChannels()
    {
        QFETCH(QByteArray, descriptor);
        QFETCH(quint16, pid);
        QFETCH(bool, opens);
        QFETCH(int, dataReportId);
        DeviceClock::setVirtual(true);
        EmulatedBackend backend;
        Hid::setBackend(&backend);
        backend.plug(std::make_shared<PartialMouse>(pid, descriptor));
        USBDriver_Osprey driver;
        driver.SetPidVid(0x4163, 0x3A5E);
        QCOMPARE(driver.FindHIDDevice(), opens);
        if (opens)
            QCOMPARE(driver.dataChannel()->reportId, dataReportId);
        BYTE status = 0;
        if (!opens) {
            QVERIFY(!driver.GetStatus(&status, 1));
            QCOMPARE(backend.transferCount(), 0);
        }
        Hid::setBackend(nullptr);
    }

    // The reports each operation sets, in order (6-byte command reports whole,
    // 1032-byte data reports by their first 8 bytes), and its device time.
    void wireBytes_data()
    {
        QTest::addColumn<Op>("op");
        QTest::addColumn<QStringList>("reports");
        QTest::addColumn<int>("reads");
        QTest::addColumn<qint64>("ms");
        const QString status = QStringLiteral("058200000000");
        QTest::newRow("status poll") << Op([](USBDriver_Osprey &d) {
            BYTE s = 9;
            return d.GetStatus(&s, 1) && s == 0;
        }) << QStringList{status} << 1 << qint64(200);
        QTest::newRow("profile read") << Op([](USBDriver_Osprey &d) {
            QByteArray r(476, '\0');
            return d.GetProfileDataBlock(bytesOf(r));
        }) << QStringList{"058300000000"} << 1 << qint64(250);
        QTest::newRow("profile write") << Op([](USBDriver_Osprey &d) {
            const QByteArray r = d.profileCache().left(476);
            return d.SetProfileDataBlock(bytesOf(r));
        }) << QStringList{"0603000002000000", status} << 1 << qint64(400);
        QTest::newRow("macro read") << Op([](USBDriver_Osprey &d) {
            MacroRecord m;
            return !d.ReadMacro(0x90, &m); // the slot is empty
        }) << QStringList{"058490000000", status} << 2 << qint64(450);
        QTest::newRow("macro write") << Op([](USBDriver_Osprey &d) { return d.SetMacroStruct(macroOf(3), 0x94); })
                                     << QStringList{"0604940004000000", status} << 1 << qint64(400);
        QTest::newRow("two macro blocks") << Op([](USBDriver_Osprey &d) {
            return d.WriteMacroBlocks({macroOf(2), macroOf(5)});
        }) << QStringList{"06048c0004000000", status, "0604900004000000", status} << 2 << qint64(700);
        QTest::newRow("screen write") << Op([](USBDriver_Osprey &d) {
            const QByteArray b = pattern(1024);
            return d.WriteScreenBlock(bytesOf(b));
        }) << QStringList{"0605800004000000", status} << 1 << qint64(400);
        QTest::newRow("screen read") << Op([](USBDriver_Osprey &d) {
            QByteArray b(1024, '\0');
            return d.ReadScreenBlock(bytesOf(b));
        }) << QStringList{"058580000000"} << 1 << qint64(200);
    }
    void wireBytes()
    {
        QFETCH(Op, op);
        QFETCH(QStringList, reports);
        QFETCH(int, reads);
        QFETCH(qint64, ms);
        OspreyRig rig;
        QByteArray record(476, '\0');
        QVERIFY(rig.driver->GetProfileDataBlock(bytesOf(record)));
        rig.reset();
        QVERIFY(op(*rig.driver));
        const QVector<QByteArray> set = rig.mouse->reportsSet();
        QCOMPARE(set.size(), reports.size());
        for (int i = 0; i < set.size(); ++i) {
            const QByteArray expected = QByteArray::fromHex(reports.at(i).toLatin1());
            QCOMPARE(set.at(i).size(), expected.at(0) == 5 ? 6 : 1032);
            QCOMPARE(set.at(i).left(expected.size()).toHex(), expected.toHex());
        }
        QCOMPARE(rig.mouse->reportsRead(), reads);
        QCOMPARE(rig.ms(), ms);
    }

    // The profile write carries 504 cache bytes with the key bytes and a
    // fresh settings checksum, then zeros; the mouse then holds a balanced profile.
    void profileWriteBytes()
    {
        OspreyRig rig(QStringLiteral("falcons"));
        QByteArray record(476, '\0');
        QVERIFY(rig.driver->GetProfileDataBlock(bytesOf(record)));
        const QByteArray before = rig.mouse->profile();
        record[242] = 1;   // 250 reports per second
        record[300] = 20;  // CPI level 1
        record[0] = 1;
        rig.reset();
        QVERIFY(rig.driver->SetProfileDataBlock(bytesOf(record)));
        const QByteArray sent = rig.mouse->reportsSet().first();
        QCOMPARE(sent.mid(8, 476), record);
        QCOMPARE(quint8(sent.at(8 + 476)), rig.mouse->model().keyA);
        QCOMPARE(quint8(sent.at(8 + 477)), rig.mouse->model().keyB);
        QCOMPARE(sent.at(8 + 478), '\0');
        QCOMPARE(sent.mid(8 + 481, 23), before.mid(481, 23)); // cache bytes up to 503 as read
        QCOMPARE(sent.mid(8 + 504), QByteArray(1032 - 8 - 504, '\0'));

        const QByteArray held = rig.mouse->profile();
        QCOMPARE(held.left(476), record);
        QVERIFY(rig.mouse->fixedPartBalances());
        QVERIFY(rig.mouse->settingsSumHolds());
        QVERIFY(held.mid(479, 2) != before.mid(479, 2));
    }

    // Which fixed parts each type takes, on read and on write.
    void checksumRules_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("position"); // a fixed-part byte changed by +1 (-1: none)
        QTest::addColumn<bool>("taken");
        QTest::newRow("type 2 balanced") << "falcon" << -1 << true;
        QTest::newRow("type 2, byte 13 balances") << "falcon" << 13 << true;
        QTest::newRow("type 2, byte 19 counts") << "falcon" << 19 << false;
        QTest::newRow("type 2, byte 100 counts") << "falcon" << 100 << false;
        QTest::newRow("type 3 balanced") << "osprey" << -1 << true;
        QTest::newRow("type 3, byte 13 balances") << "osprey" << 13 << true;
        QTest::newRow("type 3, byte 19 balances") << "osprey" << 19 << true;
        QTest::newRow("type 3, byte 21 counts") << "osprey" << 21 << false;
        QTest::newRow("type 4 balanced") << "saker" << -1 << true;
        QTest::newRow("type 4, byte 19 counts") << "saker" << 19 << false;
        QTest::newRow("type 5 balanced") << "falcons" << -1 << true;
        QTest::newRow("type 5, byte 240 counts") << "falcons" << 240 << false;
        QTest::newRow("type 6 (any other) balanced") << "sakers" << -1 << true;
        QTest::newRow("type 6, byte 1 counts") << "sakers" << 1 << false;
        QTest::newRow("type 18 balanced") << "lanner" << -1 << true;
        QTest::newRow("type 18 unbalanced, taken") << "lanner" << 100 << true;
        QTest::newRow("type 19 balanced") << "harrier" << -1 << true;
        QTest::newRow("type 19 unbalanced, taken") << "harrier" << 100 << true;
        QTest::newRow("type 13 unbalanced, taken") << "wren" << 100 << true;
    }
    void checksumRules()
    {
        QFETCH(QString, model);
        QFETCH(int, position);
        QFETCH(bool, taken);
        OspreyRig rig(model);
        QByteArray held = rig.mouse->profile();
        if (position >= 0)
            held[position] = char(quint8(held.at(position)) + 1);
        rig.mouse->setProfile(held);

        QByteArray record(476, '\x77');
        QCOMPARE(rig.driver->GetProfileDataBlock(bytesOf(record)), taken);
        QCOMPARE(record, taken ? held.left(476) : QByteArray(476, '\x77')); // untouched when refused
        QCOMPARE(rig.driver->profileCache(), held); // the cache keeps what the mouse sent

        // The same record written back: refused unsent, or sent.
        rig.reset();
        const QByteArray record2 = held.left(476);
        QCOMPARE(rig.driver->SetProfileDataBlock(bytesOf(record2)), taken);
        QCOMPARE(rig.mouse->reportsSet().size(), taken ? 2 : 0);
        if (taken)
            QCOMPARE(rig.mouse->profile().left(476), record2);
    }

    // An unbalanced profile goes out with bytes 476..480 as read on types 13,
    // 18 and 19; a balanced one has them rewritten, except on type 13.
    void tailOfTheProfile_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("unbalanced");
        QTest::addColumn<bool>("rewritten");
        QTest::newRow("type 19 balanced") << "harrier" << false << true;
        QTest::newRow("type 19 unbalanced") << "harrier" << true << false;
        QTest::newRow("type 18 unbalanced") << "lanner" << true << false;
        QTest::newRow("type 13 balanced") << "wren" << false << false;
        QTest::newRow("type 13 unbalanced") << "wren" << true << false;
    }
    void tailOfTheProfile()
    {
        QFETCH(QString, model);
        QFETCH(bool, unbalanced);
        QFETCH(bool, rewritten);
        OspreyRig rig(model);
        if (unbalanced)
            rig.mouse->corruptFixedPart();
        QByteArray record(476, '\0');
        QVERIFY(rig.driver->GetProfileDataBlock(bytesOf(record)));
        const QByteArray tail = rig.mouse->profile().mid(476, 5);
        record[243] = char(record.at(243) + 5); // the settings change; their checksum is now stale
        QVERIFY(rig.driver->SetProfileDataBlock(bytesOf(record)));
        QCOMPARE(rig.mouse->profile().left(476), record);
        QCOMPARE(rig.mouse->settingsSumHolds(), rewritten);
        if (!rewritten)
            QCOMPARE(rig.mouse->profile().mid(476, 5), tail);
    }

    // A write before any read uses key bytes 0 0.
    void writeBeforeAnyRead()
    {
        OspreyRig rig(QStringLiteral("sakers"));
        const QByteArray record = rig.record();
        // Key bytes 0 0 change the fixed-part sum by the mouse's key byte B.
        QVERIFY(!rig.driver->SetProfileDataBlock(bytesOf(record)));
        QCOMPARE(rig.mouse->reportsSet().size(), 0);
        QCOMPARE(rig.driver->keyA(), uchar(0));
    }

    // The status poll: busy polls, byte 7 on the first answer, four non-zero answers.
    void statusPoll_data()
    {
        QTest::addColumn<int>("busy");
        QTest::addColumn<int>("flagFrom"); // the first status reply with byte 7 = 1 (-1: none)
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("polls");
        QTest::addColumn<qint64>("ms");
        QTest::newRow("ready at once") << 0 << -1 << true << 1 << qint64(400);
        QTest::newRow("busy once") << 1 << -1 << true << 2 << qint64(700);
        QTest::newRow("busy three times") << 3 << -1 << true << 4 << qint64(1300);
        QTest::newRow("busy four times: fails") << 4 << -1 << false << 4 << qint64(1450);
        QTest::newRow("busy for ever") << 50 << -1 << false << 4 << qint64(1450);
        QTest::newRow("byte 7 first: fails at once") << 0 << 0 << false << 1 << qint64(400);
        QTest::newRow("byte 7 later: accepted") << 2 << 1 << true << 3 << qint64(1000);
    }
    void statusPoll()
    {
        QFETCH(int, busy);
        QFETCH(int, flagFrom);
        QFETCH(bool, ok);
        QFETCH(int, polls);
        QFETCH(qint64, ms);
        OspreyRig rig;
        rig.mouse->setBusyPolls(busy);
        if (flagFrom >= 0)
            rig.mouse->flagStatusReplies(flagFrom, 10);
        const QByteArray block = pattern(1024, 3);
        QCOMPARE(rig.driver->WriteScreenBlock(bytesOf(block)), ok);
        QCOMPARE(rig.mouse->reportsSet().size(), 1 + polls);
        QCOMPARE(rig.ms(), ms);
    }

    void statusPollFailures_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<qint64>("ms");
        QTest::newRow("wrong header") << 0 << qint64(200);
        QTest::newRow("short reply") << 1 << qint64(200);
        QTest::newRow("failed transfer") << 2 << qint64(100);
    }
    void statusPollFailures()
    {
        QFETCH(int, fault);
        QFETCH(qint64, ms);
        OspreyRig rig;
        if (fault == 0)
            rig.mouse->corruptNextReplies(1);
        else if (fault == 1)
            rig.mouse->setReplyLength(7);
        else
            rig.backend.setFaults(rig.deviceId, {1, -1});
        BYTE status = 0x55;
        QVERIFY(!rig.driver->GetStatus(&status, 2));
        QCOMPARE(status, BYTE(0x55));
        QCOMPARE(rig.ms(), ms); // one exchange, no retry
    }

    // Replies the driver must not believe, and the caller's buffer after them.
    void badReplies_data()
    {
        QTest::addColumn<int>("replyLength");
        QTest::addColumn<bool>("corrupt");
        QTest::newRow("wrong command echoed") << 0 << true;
        QTest::newRow("reply cut to 1031 bytes") << 1031 << false;
        QTest::newRow("reply cut to 8 bytes") << 8 << false;
    }
    void badReplies()
    {
        QFETCH(int, replyLength);
        QFETCH(bool, corrupt);
        OspreyRig rig;
        rig.mouse->setReplyLength(replyLength);
        rig.mouse->corruptNextReplies(corrupt ? 3 : 0);
        QByteArray record(476, '\x11');
        QVERIFY(!rig.driver->GetProfileDataBlock(bytesOf(record)));
        QCOMPARE(record, QByteArray(476, '\x11'));
        QCOMPARE(rig.driver->profileCache(), QByteArray(1024, '\0'));
        QByteArray screen(1024, '\x22');
        QVERIFY(!rig.driver->ReadScreenBlock(bytesOf(screen)));
        QCOMPARE(screen, QByteArray(1024, '\x22'));
        MacroRecord macro;
        rig.mouse->setMacroBlock(0x8C, blockOf(macroOf(4)));
        QVERIFY(!rig.driver->ReadMacro(0x8C, &macro));
        QVERIFY(macro.items.isEmpty());
    }

    // Lengths that do not fit the channel's report are refused before any transfer.
    void reportLengths_data()
    {
        QTest::addColumn<bool>("data");
        QTest::addColumn<bool>("set");
        QTest::addColumn<int>("len");
        QTest::addColumn<bool>("ok");
        QTest::newRow("command set, 5 bytes") << false << true << 5 << true;
        QTest::newRow("command set, 6 bytes") << false << true << 6 << false;
        QTest::newRow("data set, 1031 bytes") << true << true << 1031 << true;
        QTest::newRow("data set, 1032 bytes") << true << true << 1032 << false;
        QTest::newRow("data set, 4096 bytes") << true << true << 4096 << false;
        QTest::newRow("data get, 1032 bytes") << true << false << 1032 << true;
        QTest::newRow("data get, 1033 bytes") << true << false << 1033 << false;
        QTest::newRow("data get, 8000 bytes") << true << false << 8000 << false;
    }
    void reportLengths()
    {
        QFETCH(bool, data);
        QFETCH(bool, set);
        QFETCH(int, len);
        QFETCH(bool, ok);
        OspreyRig rig;
        USBDriver_Osprey::Channel *channel = data ? rig.driver->dataChannel() : rig.driver->commandChannel();
        QByteArray buffer(8000, '\0');
        buffer[0] = char(data ? 0x05 : 0x82); // a status poll, or a screen block of 1024 bytes
        buffer[1] = char(data ? 0x80 : 0x00);
        buffer[3] = char(data ? 0x04 : 0x00);
        if (set) {
            QCOMPARE(rig.driver->SetFeatureReport(channel, bytesOf(buffer), len), ok);
        } else {
            const BYTE status[1] = {0x83};
            QVERIFY(rig.driver->SetFeatureReport(rig.driver->commandChannel(), status, 1));
            rig.reset();
            QCOMPARE(rig.driver->GetFeatureReport(channel, bytesOf(buffer), len), ok);
            QCOMPARE(buffer.mid(len), QByteArray(8000 - len, '\0'));
        }
        QCOMPARE(rig.transfers(), ok ? 1 : 0);
    }

    // Macro blocks as the mouse may hold them, read back.
    void macroParsing_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<bool>("found");
        QTest::addColumn<int>("items");
        QTest::addColumn<int>("lastItem");
        MacroRecord three = macroOf(3, 0x00, 0x05);
        QTest::newRow("empty slot") << QByteArray(1024, '\0') << false << 0 << 0;
        QByteArray emptyHeader = blockOf(three);
        emptyHeader[0] = emptyHeader[1] = 0;
        QTest::newRow("header 00 00 with steps") << emptyHeader << false << 0 << 0;
        QByteArray noSteps(1024, '\0');
        noSteps[1] = 1;
        QTest::newRow("header without steps") << noSteps << false << 0 << 0;
        QTest::newRow("three steps") << blockOf(three) << true << 3 << int(three.items.last());
        QByteArray after = blockOf(three);
        after[10] = 0x34; // a step behind the 00 00 end
        QTest::newRow("stops at 00 00") << after << true << 3 << int(three.items.last());
        const MacroRecord full = macroOf(511, 0x01, 0x02);
        QTest::newRow("511 steps to the block end") << blockOf(full) << true << 511 << int(full.items.last());
        QByteArray half = blockOf(three);
        half[9] = 0x12; // 00 12 is a step, not the end
        QTest::newRow("a zero low byte is a step") << half << true << 4 << 0x1200;
    }
    void macroParsing()
    {
        QFETCH(QByteArray, block);
        QFETCH(bool, found);
        QFETCH(int, items);
        QFETCH(int, lastItem);
        OspreyRig rig;
        rig.mouse->setMacroBlock(0xA0, block);
        MacroRecord macro;
        macro.header0 = 0x99;
        QCOMPARE(rig.driver->ReadMacro(0xA0, &macro), found);
        if (!found) {
            QCOMPARE(macro.header0, uchar(0x99));
            return;
        }
        QCOMPARE(macro.header0, uchar(block.at(0)));
        QCOMPARE(macro.header1, uchar(block.at(1)));
        QCOMPARE(macro.items.size(), items);
        QCOMPARE(int(macro.items.last()), lastItem);
    }

    void macroWriteAndReadBack()
    {
        OspreyRig rig;
        const MacroRecord m = macroOf(40, 0x01, 0x10, 7);
        QVERIFY(rig.driver->SetMacroStruct(m, 0x98));
        QCOMPARE(rig.mouse->macroBlock(0x98), blockOf(m));
        MacroRecord back;
        QVERIFY(rig.driver->ReadMacro(0x98, &back));
        QVERIFY(sameMacro(back, m));
    }

    void macroSizeLimits_data()
    {
        QTest::addColumn<int>("items");
        QTest::addColumn<bool>("ok");
        QTest::newRow("511 steps fill the block") << 511 << true;
        QTest::newRow("512 steps") << 512 << false;
        QTest::newRow("2000 steps") << 2000 << false;
    }
    void macroSizeLimits()
    {
        QFETCH(int, items);
        QFETCH(bool, ok);
        OspreyRig rig;
        const MacroRecord m = macroOf(items);
        QCOMPARE(rig.driver->SetMacroStruct(m, 0x8C), ok);
        QCOMPARE(rig.driver->WriteMacroBlocks({macroOf(2), m}), ok);
        QCOMPARE(rig.mouse->reportsSet().size(), ok ? 2 + 4 : 0); // nothing sent when refused
        if (ok)
            QCOMPARE(rig.mouse->macroBlock(0x90), blockOf(m));
    }

    void macroBlocks_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("ok");
        QTest::newRow("none") << 0 << true;
        QTest::newRow("three") << 3 << true;
        QTest::newRow("all 24 slots") << 24 << true;
        QTest::newRow("25: more than the slots") << 25 << false;
    }
    void macroBlocks()
    {
        QFETCH(int, count);
        QFETCH(bool, ok);
        OspreyRig rig;
        QList<MacroRecord> list;
        for (int i = 0; i < count; ++i)
            list.append(macroOf(1 + i, 0, uchar(i + 1), i * 3));
        QCOMPARE(rig.driver->WriteMacroBlocks(list), ok);
        QCOMPARE(rig.mouse->reportsSet().size(), ok ? 2 * count : 0);
        QCOMPARE(rig.ms(), qint64(ok ? 350 * count : 0));
        for (int i = 0; ok && i < count; ++i)
            QCOMPARE(rig.mouse->macroBlock(uchar(0x8C + 4 * i)), blockOf(list.at(i)));
    }

    // ReadMacros reads the first 17 slots and skips the empty ones.
    void readMacros()
    {
        OspreyRig rig;
        const MacroRecord a = macroOf(3, 0, 1, 10);
        const MacroRecord b = macroOf(9, 0, 2, 20);
        rig.mouse->setMacroBlock(0x8C, blockOf(a));
        rig.mouse->setMacroBlock(0x8C + 4 * 16, blockOf(b));  // the 17th slot
        rig.mouse->setMacroBlock(0x8C + 4 * 17, blockOf(a));  // the 18th: not read
        QList<MacroRecord> out;
        out.append(macroOf(1));
        QVERIFY(rig.driver->ReadMacros(&out));
        QCOMPARE(out.size(), 3);
        QVERIFY(sameMacro(out.at(1), a));
        QVERIFY(sameMacro(out.at(2), b));
        QCOMPARE(rig.mouse->reportsSet().size(), 2 * 17);
        QCOMPARE(rig.mouse->reportsSet().at(32).toHex(), QByteArray("0584cc000000"));
        QCOMPARE(rig.ms(), qint64(17 * 450));

        // A status that refuses stops the reading, and out stays as it was.
        rig.mouse->flagStatusReplies(0, 1);
        QList<MacroRecord> none;
        QVERIFY(!rig.driver->ReadMacros(&none));
        QVERIFY(none.isEmpty());
    }

    void screenRoundTrip()
    {
        OspreyRig rig(QStringLiteral("osprey"));
        const QByteArray block = pattern(1024, 5);
        QVERIFY(rig.driver->WriteScreenBlock(bytesOf(block)));
        QCOMPARE(rig.mouse->screenBlock(), block);
        QCOMPARE(rig.mouse->reportsSet().first().mid(8), block);
        QByteArray back(1024, '\0');
        QVERIFY(rig.driver->ReadScreenBlock(bytesOf(back)));
        QCOMPARE(back, block);
    }

    // The mouse goes away in the middle of an exchange: a failure, and the
    // driver opens the mouse again once it is back.
    void unplugMidExchange_data()
    {
        QTest::addColumn<Op>("op");
        QTest::addColumn<int>("transfersBefore");
        QTest::newRow("profile write, after the block") << Op([](USBDriver_Osprey &d) {
            const QByteArray r = d.profileCache().left(476);
            return d.SetProfileDataBlock(bytesOf(r));
        }) << 1;
        QTest::newRow("profile write, during the status poll") << Op([](USBDriver_Osprey &d) {
            const QByteArray r = d.profileCache().left(476);
            return d.SetProfileDataBlock(bytesOf(r));
        }) << 2;
        QTest::newRow("reading macros, slot 4") << Op([](USBDriver_Osprey &d) {
            QList<MacroRecord> out;
            return d.ReadMacros(&out);
        }) << 13;
    }
    void unplugMidExchange()
    {
        QFETCH(Op, op);
        QFETCH(int, transfersBefore);
        OspreyRig rig;
        QByteArray record(476, '\0');
        QVERIFY(rig.driver->GetProfileDataBlock(bytesOf(record)));
        rig.backend.setFaults(rig.deviceId, {0, transfersBefore});
        QVERIFY(!op(*rig.driver));
        QVERIFY(!rig.backend.isPlugged(rig.deviceId));
        QVERIFY(!rig.driver->GetProfileDataBlock(bytesOf(record)));

        QVERIFY(!rig.driver->FindHIDDevice());
        rig.deviceId = rig.backend.plug(rig.mouse);
        QVERIFY(rig.driver->FindHIDDevice());
        QVERIFY(rig.driver->GetProfileDataBlock(bytesOf(record)));
        QVERIFY(op(*rig.driver));
    }

    void closedDriverSendsNothing()
    {
        OspreyRig rig;
        rig.driver->UnInitDevice();
        QVERIFY(!rig.driver->commandChannel()->isOpen());
        QByteArray record(476, '\0');
        QVERIFY(!rig.driver->GetProfileDataBlock(bytesOf(record)));
        QVERIFY(!rig.driver->SetMacroStruct(macroOf(1), 0x8C));
        QCOMPARE(rig.transfers(), 0);
    }
};

QTEST_GUILESS_MAIN(TestOspreyProtocol)
#include "tst_ospreyprotocol.moc"
