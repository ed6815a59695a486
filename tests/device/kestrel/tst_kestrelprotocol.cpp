// The first-family driver against the emulated mouse: what the mouse holds
// afterwards, how many exchanges it took, and how much device time.
#include "support/KestrelRig.h"

#include <QSignalSpy>
#include <QtTest>
#include <cstring>
#include <functional>
#include <vector>

namespace {

QByteArray pattern(int n, int seed = 1)
{
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i)
        b[i] = char((i * 7 + seed) & 0xFF);
    return b;
}

const BYTE *bytes(const QByteArray &b)
{
    return reinterpret_cast<const BYTE *>(b.constData());
}

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((v >> (8 * i)) & 0xFF);
    return b;
}

using BankOp = std::function<bool(USBDriverKestrel &, int bank)>;

} // namespace

Q_DECLARE_METATYPE(BankOp)

class TestKestrelProtocol : public QObject
{
    Q_OBJECT

private slots:
    void opens()
    {
        KestrelRig rig;
        QVERIFY(rig.opened);
        DWORD bank = 9;
        QVERIFY(rig.driver.GetCurrentBank(&bank));
        QCOMPARE(bank, DWORD(1));
        QCOMPARE(rig.driver.CurrentBank(), 1);
    }

    void openFailures()
    {
        USBDriverKestrel driver;
        driver.SetWiredWirelessString(QStringLiteral("VID_3A5E&PID_4130"), QStringLiteral("VID_3A5E&PID_1804"));
        driver.SetMode(0);
        QTest::ignoreMessage(QtWarningMsg, "load dll failed.");
        QVERIFY(!driver.FindHIDDevice());

        KestrelRig rig; // a Kestrel by cable only
        rig.driver.SetMode(1);
        QVERIFY(!rig.driver.FindHIDDevice()); // no receiver on the bus
        rig.driver.SetMode(2);
        QTest::ignoreMessage(QtWarningMsg, "DeviceWireless error");
        QVERIFY(!rig.driver.FindHIDDevice());
        // Closed, every command fails without traffic.
        DWORD v = 0;
        QVERIFY(!rig.driver.GetBatteryRaw(&v));
        QCOMPARE(rig.transfers(), 0);
    }

    // Transfers go 24 bytes at a time; the rest in one shorter command.
    void chunks_data()
    {
        QTest::addColumn<quint32>("address");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("commands");
        QTest::newRow("4 bytes") << 1536u << 4 << 1;
        QTest::newRow("24 bytes: one chunk, no remainder") << 1536u << 24 << 1;
        QTest::newRow("25 bytes: one chunk and 1 byte") << 4096u << 25 << 2;
        QTest::newRow("28 bytes below 4096") << 1536u << 28 << 2;
        QTest::newRow("48 bytes: two chunks") << 1536u << 48 << 2;
        QTest::newRow("6 bytes at a macro address") << 8192u << 6 << 1;
        QTest::newRow("a picture, 384 bytes") << 139264u << 384 << 16;
        QTest::newRow("a whole macro slot") << 4096u << 4096 << 171;
    }
    void chunks()
    {
        QFETCH(quint32, address);
        QFETCH(int, length);
        QFETCH(int, commands);
        KestrelRig rig;
        const QByteArray data = pattern(length);
        QVERIFY(rig.driver.WriteEEPROM(address, length, bytes(data)));
        QCOMPARE(rig.mouse->memory(address, length), data);
        QCOMPARE(rig.mouse->commandCount(), commands);
        QCOMPARE(rig.transfers(), 2 * commands); // one report out, one reply in
        QCOMPARE(DeviceClock::virtualElapsedMs(), qint64(10 * commands));

        rig.reset();
        rig.mouse->setMemory(address, pattern(length, 99));
        QByteArray back(length, '\0');
        QVERIFY(rig.driver.ReadEEPROM(address, length, reinterpret_cast<BYTE *>(back.data())));
        QCOMPARE(back, pattern(length, 99));
        QCOMPARE(rig.mouse->commandCount(), commands);
    }

    void chunkMessages()
    {
        KestrelRig rig;
        QSignalSpy spy(&rig.driver, &USBDriverKestrel::sigMsg);
        QVERIFY(rig.driver.WriteEEPROM(4096, 25, bytes(pattern(25))));
        QByteArray back(25, '\0');
        QVERIFY(rig.driver.ReadEEPROM(4096, 25, reinterpret_cast<BYTE *>(back.data())));
        rig.mouse->refuseNextCommands(4);
        QVERIFY(!rig.driver.WriteEEPROM(4096, 24, bytes(pattern(24))));
        rig.mouse->refuseNextCommands(4);
        QVERIFY(!rig.driver.WriteEEPROM(4096, 4, bytes(pattern(4))));
        rig.mouse->refuseNextCommands(4);
        QVERIFY(!rig.driver.ReadEEPROM(4096, 48, reinterpret_cast<BYTE *>(back.data())));
        QStringList texts;
        for (const QList<QVariant> &args : spy)
            texts << args.at(0).toString();
        QCOMPARE(texts, (QStringList{
                            QStringLiteral("WriteEEPROM OK, dwAddr= 1000, BytesOfRest= 1\n"),
                            QStringLiteral("WriteEEPROM OK, dwAddr= 1018, bytestowrite= 1,\n"),
                            QStringLiteral("ReadEEPROM OK, Addr=1000, bytestoread=24"),
                            QStringLiteral("ReadEEPROM OK, Addr=1018, bytestoread=1"),
                            QStringLiteral("WriteEEPROM Failed,Addr=1000, bytestowrite=24 error = 0\n"),
                            QStringLiteral("WriteEEPROM Failed, Addr=1000, bytestowrite=4 error = 0 Cmd=0\n"),
                            QStringLiteral("ReadEEPROM Failed, FW return 0, Addr=1000, BytesOfRest=48"),
                        }));
    }

    // Requests that break the rules never reach the mouse.
    void refusedWithoutTraffic_data()
    {
        QTest::addColumn<quint32>("address");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("nullBuffer");
        QTest::newRow("6 bytes at 1152") << 1152u << 6 << false;
        QTest::newRow("2 bytes at 4092") << 4092u << 2 << false;
        QTest::newRow("length 0") << 1152u << 0 << false;
        QTest::newRow("negative length") << 8192u << -4 << false;
        QTest::newRow("null buffer") << 8192u << 4 << true;
    }
    void refusedWithoutTraffic()
    {
        QFETCH(quint32, address);
        QFETCH(int, length);
        QFETCH(bool, nullBuffer);
        KestrelRig rig;
        BYTE buffer[32] = {};
        BYTE *b = nullBuffer ? nullptr : buffer;
        QVERIFY(!rig.driver.ReadEEPROM(address, length, b));
        QVERIFY(!rig.driver.WriteEEPROM(address, length, b));
        QCOMPARE(rig.transfers(), 0);
    }

    // Busy replies keep the host polling without sending again.
    void busyReplies_data()
    {
        QTest::addColumn<int>("busy");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("commands");
        QTest::addColumn<int>("replies");
        QTest::newRow("none") << 0 << true << 1 << 1;
        QTest::newRow("one") << 1 << true << 1 << 2;
        QTest::newRow("24, answered on the last poll") << 24 << true << 1 << 25;
        QTest::newRow("25, answered in the second attempt") << 25 << true << 1 << 26;
        QTest::newRow("99, answered on the very last poll") << 99 << true << 1 << 100;
        QTest::newRow("busy in all four attempts") << 100 << false << 1 << 100;
    }
    void busyReplies()
    {
        QFETCH(int, busy);
        QFETCH(bool, ok);
        QFETCH(int, commands);
        QFETCH(int, replies);
        KestrelRig rig;
        rig.mouse->setBusyReplies(busy);
        QCOMPARE(rig.driver.SetReportRate(4, 0), ok);
        QCOMPARE(rig.mouse->commandCount(), commands);
        QCOMPARE(rig.mouse->replyCount(), replies);
        QCOMPARE(DeviceClock::virtualElapsedMs(), qint64(10 * replies));
        if (ok)
            QCOMPARE(rig.mouse->memory(1152, 4), le32(4));
    }

    // A refused command is sent again, up to four times.
    void refusals_data()
    {
        QTest::addColumn<int>("refusals");
        QTest::addColumn<bool>("ok");
        QTest::newRow("one") << 1 << true;
        QTest::newRow("three") << 3 << true;
        QTest::newRow("four") << 4 << false;
    }
    void refusals()
    {
        QFETCH(int, refusals);
        QFETCH(bool, ok);
        KestrelRig rig;
        rig.mouse->refuseNextCommands(refusals);
        QCOMPARE(rig.driver.SetSilentHeight(0x11223344, 1), ok);
        QCOMPARE(rig.mouse->commandCount(), qMin(refusals + 1, 4));
        QCOMPARE(rig.mouse->memory(2180, 4), ok ? le32(0x11223344) : QByteArray::fromHex("ffffffff"));
    }

    // Replies are device data: a wrong status or a short reply fails, and
    // the caller's buffer keeps what it had.
    void badReplies()
    {
        KestrelRig rig;
        BYTE buffer[8];
        std::memset(buffer, 0x5A, sizeof buffer);
        rig.mouse->overrideNextStatus(7, 1000);
        QVERIFY(!rig.driver.ReadEEPROM(1536, 8, buffer));
        QCOMPARE(rig.mouse->commandCount(), 1); // the other attempts are spent without sending
        QCOMPARE(rig.mouse->replyCount(), 25);
        QCOMPARE(int(buffer[0]), 0x5A);

        rig.reset();
        rig.mouse->overrideNextStatus(3, 1); // one odd reply, then the real one
        QVERIFY(rig.driver.ReadEEPROM(1536, 8, buffer));
        QCOMPARE(rig.mouse->replyCount(), 2);

        rig.reset();
        rig.mouse->overrideNextStatus(0, 0);
        rig.mouse->setReplyLength(6); // a read of 8 needs 12 reply bytes
        std::memset(buffer, 0x5A, sizeof buffer);
        QVERIFY(!rig.driver.ReadEEPROM(1536, 8, buffer));
        QCOMPARE(int(buffer[0]), 0x5A);
        DWORD bank = 7;
        QVERIFY(rig.driver.GetCurrentBank(&bank)); // two bytes are enough here
        QCOMPARE(bank, DWORD(1));

        // A bank outside 0..1 is not believed.
        rig.mouse->setReplyLength(0);
        rig.mouse->setBank(5);
        bank = 7;
        QVERIFY(!rig.driver.GetCurrentBank(&bank));
        QCOMPARE(bank, DWORD(7));
        QCOMPARE(rig.driver.CurrentBank(), 1);
    }

    void bankTwoFailsWithoutTraffic_data()
    {
        QTest::addColumn<BankOp>("op");
        DWORD d = 0;
        BYTE b = 0;
        static BYTE buf[64];
        static DWORD words[8];
        QTest::newRow("SetCurrentBank") << BankOp([](USBDriverKestrel &k, int bank) { return k.SetCurrentBank(bank); });
        QTest::newRow("ReadBankBlock") << BankOp([](USBDriverKestrel &k, int bank) { return k.ReadBankBlock(buf, 32, bank); });
        QTest::newRow("WriteBankBlock") << BankOp([](USBDriverKestrel &k, int bank) { return k.WriteBankBlock(buf, 32, bank); });
        QTest::newRow("SetButtonValue") << BankOp([](USBDriverKestrel &k, int bank) { return k.SetButtonValue(1, 0, bank); });
        QTest::newRow("GetReportRate") << BankOp([d](USBDriverKestrel &k, int bank) mutable { return k.GetReportRate(&d, bank); });
        QTest::newRow("SetReportRate") << BankOp([](USBDriverKestrel &k, int bank) { return k.SetReportRate(1, bank); });
        QTest::newRow("GetSilentHeight") << BankOp([d](USBDriverKestrel &k, int bank) mutable { return k.GetSilentHeight(&d, bank); });
        QTest::newRow("SetSilentHeight") << BankOp([](USBDriverKestrel &k, int bank) { return k.SetSilentHeight(1, bank); });
        QTest::newRow("GetDPIStageMatrix") << BankOp([](USBDriverKestrel &k, int bank) { return k.GetDPIStageMatrix(words, 16, bank); });
        QTest::newRow("SetDPIStageMatrix") << BankOp([](USBDriverKestrel &k, int bank) { return k.SetDPIStageMatrix(words, 16, bank); });
        QTest::newRow("GetDpiLedRateLightIntensity") << BankOp([](USBDriverKestrel &k, int bank) { return k.GetDpiLedRateLightIntensity(buf, buf, buf, buf, bank); });
        QTest::newRow("SetDpiLedRateLightIntensity") << BankOp([](USBDriverKestrel &k, int bank) { return k.SetDpiLedRateLightIntensity(1, 2, 3, 4, bank); });
        QTest::newRow("GetDpiLed") << BankOp([b](USBDriverKestrel &k, int bank) mutable { return k.GetDpiLed(&b, bank); });
        QTest::newRow("SetDpiLed") << BankOp([](USBDriverKestrel &k, int bank) { return k.SetDpiLed(1, bank); });
        QTest::newRow("GetLightMode") << BankOp([b](USBDriverKestrel &k, int bank) mutable { return k.GetLightMode(&b, bank); });
        QTest::newRow("SetLightMode") << BankOp([](USBDriverKestrel &k, int bank) { return k.SetLightMode(1, bank); });
        QTest::newRow("GetLightSpeed") << BankOp([b](USBDriverKestrel &k, int bank) mutable { return k.GetLightSpeed(&b, bank); });
        QTest::newRow("SetLightSpeed") << BankOp([](USBDriverKestrel &k, int bank) { return k.SetLightSpeed(1, bank); });
        QTest::newRow("GetLightDegree") << BankOp([b](USBDriverKestrel &k, int bank) mutable { return k.GetLightDegree(&b, bank); });
        QTest::newRow("SetLightDegree") << BankOp([](USBDriverKestrel &k, int bank) { return k.SetLightDegree(1, bank); });
        QTest::newRow("GetWord1180") << BankOp([d](USBDriverKestrel &k, int bank) mutable { return k.GetWord1180(&d, bank); });
        QTest::newRow("SetWord1180") << BankOp([](USBDriverKestrel &k, int bank) { return k.SetWord1180(1, bank); });
        QTest::newRow("GetWord1180Byte0") << BankOp([b](USBDriverKestrel &k, int bank) mutable { return k.GetWord1180Byte0(&b, bank); });
        QTest::newRow("SetWord1180Byte0") << BankOp([](USBDriverKestrel &k, int bank) { return k.SetWord1180Byte0(1, bank); });
        QTest::newRow("SetOLEDScreenParameter") << BankOp([](USBDriverKestrel &k, int bank) { return k.SetOLEDScreenParameter(3, true, bank); });
        QTest::newRow("GetWord1180Byte1") << BankOp([b](USBDriverKestrel &k, int bank) mutable { return k.GetWord1180Byte1(&b, bank); });
        QTest::newRow("SetWord1180Byte1") << BankOp([](USBDriverKestrel &k, int bank) { return k.SetWord1180Byte1(1, bank); });
        QTest::newRow("GetLedColor") << BankOp([d](USBDriverKestrel &k, int bank) mutable { return k.GetLedColor(&d, 0, bank); });
        QTest::newRow("SetLedColor") << BankOp([](USBDriverKestrel &k, int bank) { return k.SetLedColor(1, 0, bank); });
        QTest::newRow("SetLedColorMatrixAll") << BankOp([](USBDriverKestrel &k, int bank) { return k.SetLedColorMatrixAll(words, 3, bank); });
        QTest::newRow("SetGlobal2196") << BankOp([](USBDriverKestrel &k, int bank) { return k.SetGlobal2196(1, bank); });
        QTest::newRow("GetDPICount") << BankOp([b](USBDriverKestrel &k, int bank) mutable { return k.GetDPICount(&b, bank); });
        QTest::newRow("GetLedColorMatrixAll") << BankOp([](USBDriverKestrel &k, int bank) { return k.GetLedColorMatrixAll(words, 3, bank); });
        QTest::newRow("SetGlobal2208") << BankOp([](USBDriverKestrel &k, int bank) { return k.SetGlobal2208(7, bank); });
        QTest::newRow("GetGlobal2208") << BankOp([d](USBDriverKestrel &k, int bank) mutable { return k.GetGlobal2208(&d, bank); });
        QTest::newRow("SetGlobal2212") << BankOp([](USBDriverKestrel &k, int bank) { return k.SetGlobal2212(0, 1, bank); });
        QTest::newRow("GetBankBytes1188") << BankOp([](USBDriverKestrel &k, int bank) { return k.GetBankBytes1188(buf, bank); });
        QTest::newRow("SetBank1196") << BankOp([](USBDriverKestrel &k, int bank) { return k.SetBank1196(1, bank); });
        QTest::newRow("GetBank1196") << BankOp([d](USBDriverKestrel &k, int bank) mutable { return k.GetBank1196(&d, bank); });
        QTest::newRow("GetBank1196Byte1") << BankOp([b](USBDriverKestrel &k, int bank) mutable { return k.GetBank1196Byte1(&b, bank); });
        QTest::newRow("SetGunFireNumber") << BankOp([](USBDriverKestrel &k, int bank) { return k.SetGunFireNumber(3, bank); });
        QTest::newRow("ReadWord1180") << BankOp([d](USBDriverKestrel &k, int bank) mutable { return k.ReadWord1180(&d, bank); });
        QTest::newRow("SetBank1200") << BankOp([](USBDriverKestrel &k, int bank) { return k.SetBank1200(1, bank); });
        QTest::newRow("GetBank1200") << BankOp([d](USBDriverKestrel &k, int bank) mutable { return k.GetBank1200(&d, bank); });
        QTest::newRow("SetBank1204") << BankOp([](USBDriverKestrel &k, int bank) { return k.SetBank1204(1, bank); });
        QTest::newRow("GetBank1204") << BankOp([d](USBDriverKestrel &k, int bank) mutable { return k.GetBank1204(&d, bank); });
    }
    void bankTwoFailsWithoutTraffic()
    {
        QFETCH(BankOp, op);
        KestrelRig rig;
        QVERIFY(!op(rig.driver, 2));
        QVERIFY(!op(rig.driver, -1));
        QCOMPARE(rig.transfers(), 0);
        QVERIFY(op(rig.driver, 1)); // and the same operation works on a real bank
        QVERIFY(rig.transfers() > 0);
    }

    // Setters that take a bank but always write bank 1's fixed address.
    void bankOneOnlySetters_data()
    {
        QTest::addColumn<BankOp>("op");
        QTest::addColumn<quint32>("address");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("SetGlobal2196, byte 2 at 2196")
            << BankOp([](USBDriverKestrel &k, int bank) { return k.SetGlobal2196(3, bank); }) << 2196u
            << QByteArray::fromHex("40010300");
        QTest::newRow("SetDpiLedRateLightIntensity at 2200")
            << BankOp([](USBDriverKestrel &k, int bank) { return k.SetDpiLedRateLightIntensity(1, 2, 3, 4, bank); })
            << 2200u << QByteArray::fromHex("01020304");
        QTest::newRow("SetLightSpeed, byte 2 at 2200")
            << BankOp([](USBDriverKestrel &k, int bank) { return k.SetLightSpeed(9, bank); }) << 2200u
            << QByteArray::fromHex("03030904");
        QTest::newRow("SetGunFireNumber, byte 2 at 2204")
            << BankOp([](USBDriverKestrel &k, int bank) { return k.SetGunFireNumber(3, bank); }) << 2204u
            << QByteArray::fromHex("32000300");
        QTest::newRow("SetGlobal2208 at 2208")
            << BankOp([](USBDriverKestrel &k, int bank) { return k.SetGlobal2208(8, bank); }) << 2208u
            << QByteArray::fromHex("08000000");
        QTest::newRow("SetGlobal2212, value 5 at 2217")
            << BankOp([](USBDriverKestrel &k, int bank) { return k.SetGlobal2212(5, 0x66, bank); }) << 2216u
            << QByteArray::fromHex("04660607");
        QTest::newRow("SetOLEDScreenParameter at 2220")
            << BankOp([](USBDriverKestrel &k, int bank) { return k.SetOLEDScreenParameter(3, true, bank); }) << 2220u
            << QByteArray::fromHex("03010000");
        QTest::newRow("SetLedColor 1 at 2236")
            << BankOp([](USBDriverKestrel &k, int bank) { return k.SetLedColor(0x00AABBCC, 1, bank); }) << 2236u
            << QByteArray::fromHex("ccbbaa00");
        QTest::newRow("SetLedColorMatrixAll at 2232")
            << BankOp([](USBDriverKestrel &k, int bank) {
                   const DWORD colours[3] = {0x112233, 0x445566, 0x778899};
                   return k.SetLedColorMatrixAll(colours, 3, bank);
               })
            << 2232u << QByteArray::fromHex("332211006655440099887700");
    }
    void bankOneOnlySetters()
    {
        QFETCH(BankOp, op);
        QFETCH(quint32, address);
        QFETCH(QByteArray, expected);
        KestrelRig rig;
        const QByteArray bank0Before = rig.mouse->memory(512, 708);
        QVERIFY(op(rig.driver, 0));
        QCOMPARE(rig.mouse->memory(address, expected.size()), expected);
        QCOMPARE(rig.mouse->memory(512, 708), bank0Before); // bank 0 untouched
    }

    // Fields addressed in the bank given.
    void bankFields()
    {
        KestrelRig rig;
        USBDriverKestrel &k = rig.driver;
        QVERIFY(k.SetReportRate(2, 0));
        QCOMPARE(rig.mouse->memory(1152, 4), le32(2));
        DWORD d = 0;
        QVERIFY(k.GetReportRate(&d, 0));
        QCOMPARE(d, DWORD(2));
        QVERIFY(k.SetWord1180(0x01020304, 0));
        QCOMPARE(rig.mouse->memory(1180, 4), le32(0x01020304));
        QVERIFY(k.SetWord1180Byte1(0x77, 0));
        QCOMPARE(rig.mouse->memory(1180, 4), le32(0x01027704));
        BYTE b = 0;
        QVERIFY(k.GetWord1180Byte0(&b, 0));
        QCOMPARE(int(b), 4);
        QVERIFY(k.SetBank1200(0xA1B2C3D4, 1));
        QVERIFY(k.SetBank1204(0x0BADF00D, 0));
        QCOMPARE(rig.mouse->memory(2224, 4), le32(0xA1B2C3D4));
        QCOMPARE(rig.mouse->memory(1204, 4), le32(0x0BADF00D));
        QVERIFY(k.SetBank1196(0x00000300, 0));
        QVERIFY(k.GetBank1196Byte1(&b, 0));
        QCOMPARE(int(b), 3);
        QVERIFY(k.GetDPICount(&b, 1));
        QCOMPARE(int(b), 6); // a Kestrel leaves the factory with seven levels
        rig.mouse->setMemory(2212, QByteArray::fromHex("0102030405060708"));
        BYTE eight[8] = {};
        QVERIFY(k.GetBankBytes1188(eight, 1));
        QCOMPARE(QByteArray(reinterpret_cast<char *>(eight), 8), QByteArray::fromHex("0102030405060708"));
        DWORD colours[3] = {};
        QVERIFY(k.GetLedColorMatrixAll(colours, 3, 1));
        QCOMPARE(colours[0], DWORD(0x00609F4B));
        BYTE b0 = 0, mode = 0, speed = 0, degree = 0;
        QVERIFY(k.GetDpiLedRateLightIntensity(&b0, &mode, &speed, &degree, 1));
        QCOMPARE(QList<int>({b0, mode, speed, degree}), QList<int>({3, 3, 2, 4}));
    }

    void buttons_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("offset");
        const int offsets[11] = {512, 520, 516, 524, 528, 532, 536, 548, 552, 540, 544};
        for (int key = 1; key <= 11; ++key)
            QTest::addRow("key %d", key) << key << offsets[key - 1];
    }
    void buttons()
    {
        QFETCH(int, key);
        QFETCH(int, offset);
        KestrelRig rig;
        QVERIFY(rig.driver.SetButtonValue(key, 0x00290000, 1));
        QCOMPARE(rig.mouse->memory(1024 + offset, 4), QByteArray::fromHex("00002900"));
        QVERIFY(rig.driver.SetButtonValue(key, 0x00050008, 0));
        QCOMPARE(rig.mouse->memory(offset, 4), QByteArray::fromHex("08000500"));
        // GetButtonValue counts banks from 1.
        DWORD word = 0;
        QVERIFY(rig.driver.GetButtonValue(key, &word, 2));
        QCOMPARE(word, DWORD(0x00290000));
        QVERIFY(rig.driver.GetButtonValue(key, &word, 1));
        QCOMPARE(word, DWORD(0x00050008));
        QVERIFY(!rig.driver.GetButtonValue(key, &word, 0));
        QVERIFY(!rig.driver.SetButtonValue(0, 0, 1));
        QVERIFY(!rig.driver.SetButtonValue(12, 0, 1));
    }

    // Keypad Enter set on the host side goes to the mouse as Enter.
    void keypadEnterDoesNotComeBack()
    {
        KestrelRig rig;
        const int vk = USBDriverKestrel::UsageToKey(0x58); // keypad Enter as the host knows it
        const DWORD word = DWORD(USBDriverKestrel::KeyToUsage(vk)) << 16; // type 0 key word
        QVERIFY(rig.driver.SetButtonValue(4, word, 1));
        QCOMPARE(rig.mouse->memory(1024 + 524, 4), QByteArray::fromHex("00002800"));
        DWORD back = 0;
        QVERIFY(rig.driver.GetButtonValue(4, &back, 2));
        QVERIFY(int((back >> 16) & 0xFF) != 0x58);
    }

    void cpiTable()
    {
        KestrelRig rig;
        rig.mouse->setMemory(2196, QByteArray::fromHex("00000400"));
        const DWORD table[4] = {0x000D0008, 0x001C0012, 0x00260030, 0xFFFF0026};
        QVERIFY(rig.driver.SetDPIStageMatrix(table, 16, 0));
        // Byte 14 repeats the level count from 2196; byte 15 is 0.
        QCOMPARE(rig.mouse->memory(1160, 16), QByteArray::fromHex("08000d0012001c003000260026000400"));
        DWORD out[4] = {};
        QVERIFY(rig.driver.GetDPIStageMatrix(out, 16, 0));
        QCOMPARE(out[0], DWORD(0x000D0008));
        QCOMPARE(out[3], DWORD(0x00040026));
        QVERIFY(!rig.driver.SetDPIStageMatrix(table, 6, 0));
    }

    void profileRecord()
    {
        KestrelRig rig(QStringLiteral("merlinc"));
        rig.mouse->setDeviceWord(0x1234);
        rig.mouse->setBatteryRaw(0x00000280);
        std::vector<BYTE> record(128, 0xEE);
        QVERIFY(rig.driver.GetProfileData(record.data()));
        const QByteArray r(reinterpret_cast<const char *>(record.data()), 128);
        QCOMPARE(r.left(4), le32(1));
        QCOMPARE(r.mid(4, 4), QByteArray(4, char(0xEE))); // not the driver's
        QCOMPARE(r.mid(8, 2), QByteArray::fromHex("3412"));
        QCOMPARE(r.mid(12, 4), le32(0x280));
        QCOMPARE(r.mid(16, 44), rig.mouse->memory(1536, 44));
        QCOMPARE(r.mid(60, 68), rig.mouse->memory(2176, 68));
        QCOMPARE(r.mid(16, 8), QByteArray::fromHex("0300100008000600"));
        QCOMPARE(rig.mouse->commandCount(), 3 + 2 + 3);

        // Written back: buttons always to bank 1, settings to the current bank.
        rig.mouse->setBank(0);
        DWORD bank = 9;
        QVERIFY(rig.driver.GetCurrentBank(&bank));
        const QByteArray changed = pattern(128, 5);
        QVERIFY(rig.driver.SetProfileData(bytes(changed)));
        QCOMPARE(rig.mouse->memory(1536, 44), changed.mid(16, 44));
        QCOMPARE(rig.mouse->memory(1152, 68), changed.mid(60, 68));
        QVERIFY(rig.mouse->memory(512, 44) != changed.mid(16, 44));
    }

    void profileRecordFailure()
    {
        KestrelRig rig;
        std::vector<BYTE> record(128, 0xEE);
        rig.mouse->setReplyLength(8); // enough for the three words, not for memory
        QVERIFY(!rig.driver.GetProfileData(record.data()));
        QCOMPARE(int(record[0]), 1);       // the first three fields are filled anyway
        QCOMPARE(int(record[12]), 0xD7);
        QCOMPARE(int(record[16]), 0xEE);   // the rest is left alone
        QCOMPARE(int(record[127]), 0xEE);
    }

    void macroSlots()
    {
        KestrelRig rig;
        KestrelMacro macro;
        macro.header = 2;
        macro.events = {0xC0000041, 0xA0000010, 0xE0000041};
        QVERIFY(rig.driver.WriteMacro(3, 1, macro));
        QCOMPARE(rig.mouse->memory(4096 * 4, 10), QByteArray::fromHex("0a000200210004000004"));
        QCOMPARE(rig.mouse->commandCount(), 1);
        QVERIFY(!rig.driver.IsMacroSlotFree(3));
        QVERIFY(rig.driver.IsMacroSlotFree(4));

        std::vector<BYTE> out(4096, 0xEE);
        QVERIFY(rig.driver.ReadMacro(3, 1, out.data()));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(out.data()), 11), QByteArray::fromHex("0a00020021000400000400"));

        // The second form lives at 4096 * (m + 16) and has fourteen slots.
        QVERIFY(rig.driver.WriteMacro(13, 2, macro));
        QCOMPARE(rig.mouse->memory(4096 * 29, 4), QByteArray::fromHex("0a000200"));

        rig.reset();
        QTest::ignoreMessage(QtWarningMsg, "TotalSize = 0x2");
        QVERIFY(!rig.driver.WriteMacro(11, 1, macro));
        macro.events.append(0x77000000);
        QTest::ignoreMessage(QtWarningMsg, "StandardToHardware = 0x2");
        QVERIFY(!rig.driver.WriteMacro(0, 1, macro));
        QCOMPARE(rig.transfers(), 0);

        // An image already converted: written as long as it says.
        QByteArray image(4096, '\0');
        image.replace(0, 7, QByteArray::fromHex("07000100010029"));
        QVERIFY(rig.driver.WriteMacroImage(0, 1, bytes(image)));
        QCOMPARE(rig.mouse->memory(4096, 8), QByteArray::fromHex("0700010001002900"));
        QVERIFY(rig.driver.WriteMacroImage(0, 1, bytes(QByteArray(4096, '\0'))));
        QVERIFY(rig.driver.IsMacroSlotFree(0));
    }

    // The length field is device data: outside 1..4096 the slot reads empty.
    void macroLengthField_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<bool>("free");
        QTest::addColumn<int>("read");   // bytes that come back
        QTest::newRow("0") << QByteArray::fromHex("0000") << true << 0;
        QTest::newRow("7") << QByteArray::fromHex("0700") << false << 7;
        QTest::newRow("4096") << QByteArray::fromHex("0010") << false << 4096;
        QTest::newRow("4097") << QByteArray::fromHex("0110") << true << 0;
        QTest::newRow("erased, FFFF") << QByteArray::fromHex("ffff") << true << 0;
    }
    void macroLengthField()
    {
        QFETCH(QByteArray, head);
        QFETCH(bool, free);
        QFETCH(int, read);
        KestrelRig rig;
        rig.mouse->setMemory(4096 * 2, QByteArray(4096, char(0x33)));
        rig.mouse->setMemory(4096 * 2, head);
        QCOMPARE(rig.driver.IsMacroSlotFree(1), free);
        std::vector<BYTE> out(4096, 0xEE);
        QVERIFY(rig.driver.ReadMacro(1, 1, out.data()));
        const QByteArray got(reinterpret_cast<const char *>(out.data()), 4096);
        QCOMPARE(got.left(read), rig.mouse->memory(4096 * 2, read));
        QCOMPARE(got.mid(read).count('\0'), 4096 - read);
    }

    void macroSlotFreeWhenUnreadable()
    {
        KestrelRig rig;
        rig.mouse->refuseNextCommands(4);
        QVERIFY(!rig.driver.IsMacroSlotFree(0));
        rig.reset();
        QVERIFY(!rig.driver.IsMacroSlotFree(11));
        QCOMPARE(rig.transfers(), 0);
    }

    void oledPicture()
    {
        KestrelRig rig;
        const QByteArray picture = pattern(384, 3);
        QVERIFY(rig.driver.WriteOLEDImage(1, bytes(picture)));
        QCOMPARE(rig.mouse->memory(4096 * 35, 384), picture);
        QCOMPARE(rig.mouse->commandCount(), 16);
        BYTE back[384] = {};
        QVERIFY(rig.driver.ReadOLEDImage(1, back));
        QCOMPARE(QByteArray(reinterpret_cast<char *>(back), 384), picture);
        QVERIFY(!rig.driver.WriteOLEDImage(-1, bytes(picture)));
    }

    void singleCommands()
    {
        KestrelRig rig;
        rig.mouse->setFirmwareVersion(0x04030201);
        QSignalSpy spy(&rig.driver, &USBDriverKestrel::sigMsg);
        DWORD version = 0;
        QVERIFY(rig.driver.GetFwVersion(&version));
        QCOMPARE(version, DWORD(0x04030201));
        QCOMPARE(spy.takeFirst().at(0).toString(), QStringLiteral("version: 1 2 3 4"));
        DWORD raw = 0;
        rig.mouse->setBatteryRaw(0x01000005);
        QVERIFY(rig.driver.GetBatteryRaw(&raw));
        QCOMPARE(raw, DWORD(0x01000005));
        WORD word = 0;
        QVERIFY(rig.driver.GetDeviceWord(&word));
        QCOMPARE(word, WORD(0x07D0));
        QVERIFY(rig.driver.SendCommandAB(0x42));
        QCOMPARE(rig.mouse->lastAbValue(), 0x42);
        QVERIFY(rig.driver.SendCommandA7());
        QVERIFY(rig.driver.SendCommandA8());
        QVERIFY(rig.driver.SetCurrentBank(0));
        QCOMPARE(rig.mouse->bank(), 0);
        BYTE b0 = 0, b1 = 0;
        QVERIFY(rig.driver.GetMousePid(&b0, &b1));
        QCOMPARE(b1 * 256 + b0, 0x4130);
    }

    // AA is sent once; the next five replies are looked at, the last one included.
    void batteryPolled_data()
    {
        QTest::addColumn<int>("busy");
        QTest::addColumn<bool>("ok");
        QTest::newRow("at once") << 0 << true;
        QTest::newRow("after four busy replies") << 4 << true;
        QTest::newRow("five busy replies") << 5 << false;
    }
    void batteryPolled()
    {
        QFETCH(int, busy);
        QFETCH(bool, ok);
        KestrelRig rig;
        rig.mouse->setBatteryRaw(0x00AB0263);
        rig.mouse->setBusyReplies(busy);
        DWORD raw = 0;
        QCOMPARE(rig.driver.GetBatteryPolled(&raw), ok);
        QCOMPARE(raw, ok ? DWORD(0x0263) : DWORD(0));
        QCOMPARE(rig.mouse->commandCount(), 1);
        QCOMPARE(rig.mouse->replyCount(), qMin(busy + 1, 5));
    }

    // Through the receiver: the same commands with the receiver's marker.
    void throughTheReceiver()
    {
        KestrelRig rig(QStringLiteral("kestrelq"), KestrelRig::Via::Receiver);
        QVERIFY(rig.opened);
        QVERIFY(rig.driver.SetReportRate(8, 1));
        QCOMPARE(rig.mouse->memory(2176, 4), le32(8));
        BYTE b0 = 0, b1 = 0;
        rig.receiver->setPairedPid(0x4130);
        QVERIFY(rig.driver.GetMousePid(&b0, &b1));
        QCOMPARE(b1 * 256 + b0, 0x4130);
        // Paired with another mouse, this one is out of reach.
        QVERIFY(!rig.driver.SetReportRate(4, 1));
        QCOMPARE(rig.mouse->memory(2176, 4), le32(8));
    }

    void wiredReportWithReceiverMarkerIsRefused()
    {
        KestrelRig rig;
        // The receiver's marker on the cable identity.
        rig.driver.SetWiredWirelessString(QString(), QStringLiteral("VID_3A5E&PID_4130"));
        rig.driver.SetMode(1);
        QVERIFY(rig.driver.FindHIDDevice());
        rig.reset();
        QVERIFY(!rig.driver.SetReportRate(2, 1));
        QCOMPARE(rig.mouse->commandCount(), 4);
        QCOMPARE(rig.mouse->memory(2176, 4), QByteArray::fromHex("010000ff"));
    }

    void receiverChannel()
    {
        KestrelRig rig(QStringLiteral("merlin"), KestrelRig::Via::Receiver);
        auto send = [&](const QByteArray &cmd) {
            BYTE reply[2] = {0xEE, 0xEE};
            if (!rig.driver.WriteDongle(bytes(cmd), cmd.size()) || !rig.driver.ReadDongle(reply))
                return QByteArray();
            return QByteArray(reinterpret_cast<char *>(reply), 2);
        };
        QCOMPARE(send(QByteArray::fromHex("a081")).left(1), QByteArray::fromHex("01"));
        QCOMPARE(send(QByteArray::fromHex("a18f39300000")).left(1), QByteArray::fromHex("01"));
        QCOMPARE(rig.receiver->pairingAddress(), 0x3039u);
        QCOMPARE(send(QByteArray::fromHex("a7")), QByteArray::fromHex("0101"));
        QVERIFY(!rig.driver.SetReportRate(2, 1)); // no mouse while pairing runs
        rig.receiver->completePairing();
        QCOMPARE(send(QByteArray::fromHex("a7")), QByteArray::fromHex("0100"));
        QVERIFY(rig.driver.SetReportRate(2, 1));
        QCOMPARE(rig.receiver->ownCommands(),
                 (QVector<QByteArray>{QByteArray::fromHex("a081"), QByteArray::fromHex("a18f39300000"),
                                      QByteArray::fromHex("a7"), QByteArray::fromHex("a7")}));
        QVERIFY(!rig.driver.WriteDongle(bytes(QByteArray(31, char(0xA0))), 31));
    }

    // Tests read the mouse while the driver talks to it from another thread.
    void inspectedWhileInUse()
    {
        KestrelRig rig;
        rig.mouse->setBusyReplies(1);
        QThread worker;
        QObject context;
        context.moveToThread(&worker);
        worker.start();
        QAtomicInt done(0);
        const QByteArray data = pattern(4096, 9);
        QMetaObject::invokeMethod(&context, [&] {
            rig.driver.WriteEEPROM(4096 * 5, 4096, bytes(data));
            done.storeRelease(1);
        });
        int looks = 0;
        do {
            QCOMPARE(rig.mouse->memory(4, 2), QByteArray::fromHex("3041"));
            ++looks;
        } while (!done.loadAcquire());
        worker.quit();
        worker.wait();
        QCOMPARE(rig.mouse->memory(4096 * 5, 4096), data);
        QVERIFY(looks > 0);
    }
};

QTEST_GUILESS_MAIN(TestKestrelProtocol)
#include "tst_kestrelprotocol.moc"
