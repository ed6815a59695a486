// Profile and macro files: factory records, profile round trips, macros
// inside profiles, user macro files, paths, and what damaged files give.
#include "FilesTestSupport.h"

#include "store/JsonHandle.h"
#include "store/SafeFile.h"
#include "store/TextTable.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>
#include <sys/stat.h>

namespace {

// The factory images as the product documentation prints them, parsed here
// on their own so that a typo in the program's tables shows up.
const char *const kTernBaseDump = R"(
  0: 03 80 80 00 00 03 05 02 00 04 00 01 5A 02 83 09
 16: 0A 83 09 00 00 FF 00 08 09 09 05 08 05 08 09 09
 32: 05 08 01 09 09 09 09 00 00 FF 00 09 02 05 08 05
 48: 03 01 08 09 08 01 09 1E 09 1E 12 1B 28 43 8C 00
 64: 00 00 00 00 00 00 00 00 00 00 12 1B 28 43 8C 00
 80: 00 00 00 00 00 00 00 00 00 00 01 00 F0 00 01 00
 96: F1 00 01 00 F2 00 01 00 F3 00 01 00 F4 00 07 00
112: 01 00 07 00 02 00 11 00 00 00 00 00 00 00 00 00
128: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00
144: 00 00 04 00 01 00 04 00 02 00 FF 00 00 FF 60 00
160: FF FF 00 00 FF 00 00 FF FF 00 00 FF FF 00 FF 10
176: 55 AA FF 00 00 00 FF 00 00 00 FF FF FF 00 FF 00
192: FF 00 FF FF FF FF FF 10 55 AA FF 00 00 00 FF 00
208: 00 00 FF FF FF 00 FF 00 FF 00 FF FF FF FF FF FF
224: FF FF 00 00 00 00 00 00 00 02
)";

const char *const kTern3Changes = "6=07 7=03 58=10 59=14 60=1E 61=28 62=3C 63=A0 64=40 72=01 74=10 75=14 "
                                  "76=1E 77=28 78=3C 79=A0 80=40 88=01 124=21 126=08 128=03";
const char *const kTern4Changes = "6=07 14=85 15=05 18=04 23=00 25=00 29=03 30=01 31=08 32=03 44=00 51=03 "
                                  "58=09 59=12 60=1B 61=24 62=2E 63=37 64=45 74=09 75=12 76=1B 77=24 "
                                  "78=2E 79=37 80=45 112=03";
const char *const kTern5Changes = "16=00 23=00 25=00 29=03 30=01 31=08 32=03 44=00 51=01 58=0C 59=14 60=18 "
                                  "61=20 62=28 74=0C 75=14 76=18 77=20 78=28";
const char *const kTern6Changes = "6=07 14=85 15=05 18=04 23=00 25=00 29=03 30=01 31=08 32=03 44=00 51=03 "
                                  "58=08 59=10 60=18 61=20 62=28 63=30 64=3C 74=08 75=10 76=18 77=20 "
                                  "78=28 79=30 80=3C 112=03";

const char *const kKorvanMerlinDump = R"(
  0: 01 00 00 00 CD CD CD CD D0 07 CD CD C8 02 00 00
 16: 03 00 10 00 08 00 06 00 08 00 05 00 00 00 1E 00
 32: 03 00 01 00 00 00 20 00 03 00 08 00 03 00 04 00
 48: 03 00 02 00 FF FF FF FF FF FF FF FF 01 00 00 00
 64: FF FF FF FF 08 00 0D 00 12 00 1C 00 30 00 26 00
 80: 26 00 04 00 02 04 02 04 32 00 00 00 07 00 00 00
 96: 00 01 02 03 04 05 06 07 00 01 00 00 00 00 00 00
112: 03 00 00 00 FF FF FF 00 FF FF FF 00 FF FF FF 00
)";

const char *const kKorvanKestrelDump = R"(
  0: 01 00 00 00 CD CD CD CD D0 07 CD CD D7 02 00 00
 16: 03 00 01 00 03 00 04 00 03 00 02 00 08 00 05 00
 32: 08 00 06 03 03 10 10 03 03 08 08 03 03 10 10 03
 48: 03 08 08 FF FF FF FF FF FF FF FF 01 01 00 00 FF
 64: FF FF FF FF 10 00 14 00 1E 00 25 00 3C 00 82 00
 80: 40 01 06 00 03 03 02 04 32 00 00 00 07 00 00 00
 96: 00 01 02 03 04 05 06 07 00 01 00 00 00 00 00 00
112: 03 00 00 00 4B 9F 60 00 00 00 FF 00 00 00 FF 00
)";

// The printed Kestrel image carries stray bytes 1 and 3 in its button words
// from offset 528 on and ends its last word in 01; the mouse's factory words
// of that layout are clean, and the record holds them.
const char *const kKestrelButtonWords = "35=00 37=00 39=00 41=00 43=00 45=00 47=00 49=00 51=00 59=FF";

// "offset: hex hex ..." rows; the offsets must follow on from each other.
QByteArray parseDump(const char *dump)
{
    QByteArray bytes;
    for (const QString &line : QString::fromLatin1(dump).split('\n', Qt::SkipEmptyParts)) {
        const QStringList parts = line.split(':');
        if (parts.size() != 2 || parts[0].trimmed().toInt() != bytes.size())
            return QByteArray();
        for (const QString &hex : parts[1].split(' ', Qt::SkipEmptyParts))
            bytes.append(char(hex.toInt(nullptr, 16)));
    }
    return bytes;
}

QByteArray withChanges(QByteArray bytes, const char *changes)
{
    for (const QString &change : QString::fromLatin1(changes).split(' ', Qt::SkipEmptyParts)) {
        const QStringList kv = change.split('=');
        bytes[kv[0].toInt()] = char(kv[1].toInt(nullptr, 16));
    }
    return bytes;
}

QByteArray patternRecord(int size, int seed)
{
    QByteArray r(size, 0);
    for (int i = 0; i < size; ++i)
        r[i] = char((i * 37 + seed * 11 + 5) & 0xFF);
    return r;
}

// A Korvan macro record: size, repeat count, events.
QByteArray korvanMacro(int size, int repeat, const QByteArray &events)
{
    QByteArray r(JsonHandle::KorvanMacroRecordSize, 0);
    r[0] = char(size & 0xFF);
    r[1] = char(size >> 8);
    r[2] = char(repeat & 0xFF);
    r[3] = char(repeat >> 8);
    for (int i = 0; i < events.size() && 4 + i < r.size(); ++i)
        r[4 + i] = events[i];
    return r;
}

QJsonArray numbers(std::initializer_list<QJsonValue> values)
{
    QJsonArray a;
    for (const QJsonValue &v : values)
        a.append(v);
    return a;
}

enum Flavour { Korvan, Tern };

} // namespace

class TestJsonHandle : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempAppFolder> m_app;
    JsonHandle m_json;

    QString profilePath(int type, int n) { return JsonHandle::currentConfigJsonFilePath(type, n); }

private slots:
    void initTestCase() { quietDebugLog(); }
    void init() { m_app.reset(new TempAppFolder); }
    void cleanup()
    {
        SafeFile::setBeforeReplaceHook({});
        m_app.reset();
    }

    void factoryRecords_data()
    {
        QTest::addColumn<int>("flavour");
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray merlin = parseDump(kKorvanMerlinDump);
        const QByteArray kestrel = withChanges(parseDump(kKorvanKestrelDump), kKestrelButtonWords);
        const QByteArray base = parseDump(kTernBaseDump);
        QCOMPARE(merlin.size(), 128);
        QCOMPARE(kestrel.size(), 128);
        QCOMPARE(base.size(), 234);
        for (int t : {7, 8, 12})
            QTest::addRow("korvan %d", t) << int(Korvan) << t << merlin;
        // The KestrelC: the Merlin settings with the Kestrel button layout's words.
        QTest::addRow("korvan 9") << int(Korvan) << 9
                                  << QByteArray(merlin).replace(16, 44, kestrel.mid(16, 44));
        QTest::addRow("korvan 11") << int(Korvan) << 11 << kestrel;
        // The KestrelQ and KestrelEU: the Kestrel's image with 800 .. 5000 CPI in their own encodings.
        QTest::addRow("korvan 10") << int(Korvan) << 10
                                   << QByteArray(kestrel).replace(68, 14, QByteArray::fromHex("100014001e0028003c0050006400"));
        QTest::addRow("korvan 14") << int(Korvan) << 14
                                   << QByteArray(kestrel).replace(68, 14, QByteArray::fromHex("060008000d0012001c0026003000"));
        QTest::addRow("tern 2") << int(Tern) << 2 << base;
        // The Wren: the base image with 400 .. 2500 CPI in table B's codes, X and Y.
        QTest::addRow("tern 13") << int(Tern) << 13
                                 << QByteArray(base).replace(58, 5, QByteArray::fromHex("09121b2e39"))
                                        .replace(74, 5, QByteArray::fromHex("09121b2e39"));
        QTest::addRow("tern 3") << int(Tern) << 3 << withChanges(base, kTern3Changes);
        for (int t : {4, 18, 19})
            QTest::addRow("tern %d", t) << int(Tern) << t << withChanges(base, kTern4Changes);
        QTest::addRow("tern 5") << int(Tern) << 5 << withChanges(base, kTern5Changes);
        QTest::addRow("tern 6") << int(Tern) << 6 << withChanges(base, kTern6Changes);
        // Types a flavour does not know leave the record as it was.
        for (int t : {0, 2, 3, 13, 15, 19})
            QTest::addRow("korvan unknown %d", t) << int(Korvan) << t << QByteArray(128, char(0xAB));
        for (int t : {0, 1, 7, 11, 14, 20})
            QTest::addRow("tern unknown %d", t) << int(Tern) << t << QByteArray(234, char(0xAB));
    }
    void factoryRecords()
    {
        QFETCH(int, flavour);
        QFETCH(int, type);
        QFETCH(QByteArray, expected);
        QByteArray record(expected.size(), char(0xAB));
        const bool known = flavour == Korvan ? m_json.createAOriginalMouseDataFile_Korvan(record, type)
                                             : m_json.createAOriginalMouseDataFile_Tern(record, type);
        QCOMPARE(known, expected != QByteArray(expected.size(), char(0xAB)));
        QCOMPARE(record.toHex(' '), expected.toHex(' '));
    }

    void korvanFactoryKeepsCdBytesAs205()
    {
        QByteArray record;
        m_json.createAOriginalMouseDataFile_Korvan(record, 11);
        m_json.saveMouseData_Korvan(record, 11, 0);
        const QJsonObject data = readObject(profilePath(11, 0)).value("MouseDataOfGamingMode").toObject();
        for (const char *key : {"4", "5", "6", "7", "10", "11"})
            QCOMPARE(data.value(key).toInt(), 205);
    }

    void profileRoundTrip_data()
    {
        QTest::addColumn<int>("flavour");
        QTest::addColumn<int>("type");
        for (int t : {7, 8, 9, 10, 11, 12, 14})
            QTest::addRow("korvan %d", t) << int(Korvan) << t;
        for (int t : {2, 3, 4, 5, 6, 13, 18, 19})
            QTest::addRow("tern %d", t) << int(Tern) << t;
    }
    void profileRoundTrip()
    {
        QFETCH(int, flavour);
        QFETCH(int, type);
        for (int n = 0; n <= 5; ++n) {
            if (flavour == Korvan) {
                const QByteArray record = patternRecord(128, type * 10 + n);
                m_json.saveMouseData_Korvan(record, type, n);
                QCOMPARE(m_json.getMouseData_Korvan(type, n), record);
            } else {
                const QByteArray record = patternRecord(234, type * 10 + n);
                m_json.saveMouseData_Tern(record, type, n);
                QCOMPARE(m_json.getMouseData_Tern(type, n), record);
            }
        }
        // One member per byte, named by its decimal offset.
        const QJsonObject data = readObject(profilePath(type, 5)).value("MouseDataOfGamingMode").toObject();
        QCOMPARE(data.size(), flavour == Korvan ? 128 : 234);
        QCOMPARE(data.value("17").toInt(),
                 int(quint8(patternRecord(data.size(), type * 10 + 5)[17])));
    }

    void writtenFilesAreCompact()
    {
        m_json.saveMouseData_Tern(patternRecord(234, 1), 2, 1);
        const QByteArray bytes = readBytes(profilePath(2, 1));
        QVERIFY(bytes.startsWith("{\"MouseDataOfGamingMode\":{\""));
        QVERIFY(!bytes.contains('\n'));
        QVERIFY(!bytes.contains(' '));
    }

    void missingMemberReadsZero_data()
    {
        QTest::addColumn<int>("flavour");
        QTest::addColumn<int>("member"); // one whose factory value is not 0
        QTest::addRow("korvan 16") << int(Korvan) << 16;
        QTest::addRow("tern 17") << int(Tern) << 17;
    }
    void missingMemberReadsZero()
    {
        QFETCH(int, flavour);
        QFETCH(int, member);
        const int type = flavour == Korvan ? 11 : 2;
        const int size = flavour == Korvan ? 128 : 234;
        QByteArray factory;
        QJsonObject data;
        if (flavour == Korvan) {
            m_json.createAOriginalMouseDataFile_Korvan(factory, type);
            data = m_json.turnMouseDataJsonObject_Korvan(factory);
        } else {
            m_json.createAOriginalMouseDataFile_Tern(factory, type);
            data = m_json.turnMouseDataJsonObject_Tern(factory);
        }
        QVERIFY(factory.at(member) != char(0));
        data.remove(QString::number(member));
        writeObject(profilePath(type, 2), QJsonObject{{"MouseDataOfGamingMode", data}});
        const QByteArray got = flavour == Korvan ? m_json.getMouseData_Korvan(type, 2)
                                                 : m_json.getMouseData_Tern(type, 2);
        QCOMPARE(got.size(), size);
        QByteArray expected = factory;
        expected[member] = 0;
        QCOMPARE(got, expected);
    }

    // A file without a record, or one we cannot read, gives the factory
    // record. Only the Tern reader writes it back; the Korvan reader leaves
    // no file behind.
    void unreadableProfile_data()
    {
        QTest::addColumn<int>("flavour");
        QTest::addColumn<QByteArray>("content"); // empty: no file
        QTest::addColumn<bool>("ternRewrites");
        QTest::addRow("korvan missing") << int(Korvan) << QByteArray() << false;
        QTest::addRow("korvan empty") << int(Korvan) << QByteArray(" ") << false;
        QTest::addRow("korvan garbage") << int(Korvan) << QByteArray("{\"Mouse") << false;
        QTest::addRow("korvan array") << int(Korvan) << QByteArray("[1,2]") << false;
        QTest::addRow("korvan no record") << int(Korvan) << QByteArray("{\"Other\":1}") << false;
        QTest::addRow("korvan record not object") << int(Korvan)
                                                  << QByteArray("{\"MouseDataOfGamingMode\":[1]}") << false;
        QTest::addRow("tern missing") << int(Tern) << QByteArray() << true;
        QTest::addRow("tern garbage") << int(Tern) << QByteArray("nonsense") << true;
        QTest::addRow("tern array") << int(Tern) << QByteArray("[1,2]") << true;
        QTest::addRow("tern no record") << int(Tern) << QByteArray("{\"Other\":1}") << false;
    }
    void unreadableProfile()
    {
        QFETCH(int, flavour);
        QFETCH(QByteArray, content);
        QFETCH(bool, ternRewrites);
        const int type = flavour == Korvan ? 9 : 4;
        const QString path = profilePath(type, 3);
        if (!content.isEmpty())
            writeBytes(path, content);
        QByteArray factory;
        QByteArray got;
        if (flavour == Korvan) {
            m_json.createAOriginalMouseDataFile_Korvan(factory, type);
            got = m_json.getMouseData_Korvan(type, 3);
        } else {
            m_json.createAOriginalMouseDataFile_Tern(factory, type);
            got = m_json.getMouseData_Tern(type, 3);
        }
        QCOMPARE(got, factory);
        if (ternRewrites) {
            const QJsonObject root = readObject(path);
            QCOMPARE(root.keys(), QStringList{"MouseDataOfGamingMode"});
            QCOMPARE(m_json.getMouseData_Tern(type, 3), factory);
        } else if (content.isEmpty()) {
            QVERIFY(!QFileInfo::exists(path));
        } else {
            QCOMPARE(readBytes(path), content);
        }
    }

    void recordMembersThatAreNotBytesReadZero()
    {
        QByteArray record = patternRecord(128, 3);
        QJsonObject data = m_json.turnMouseDataJsonObject_Korvan(record);
        data.insert("1", 300);
        data.insert("2", -1);
        data.insert("3", "12");
        data.insert("4", 1.5);
        data.insert("5", QJsonValue::Null);
        data.insert("6", 255);
        data.insert("999", 7); // past the record: ignored
        writeObject(profilePath(7, 1), QJsonObject{{"MouseDataOfGamingMode", data}});
        const QByteArray got = m_json.getMouseData_Korvan(7, 1);
        QCOMPARE(got.size(), 128);
        for (int i = 1; i <= 5; ++i)
            QCOMPARE(int(got[i]), 0);
        QCOMPARE(quint8(got[6]), quint8(255));
        QCOMPARE(got.mid(7), record.mid(7));
    }

    void shortRecordIsPaddedWithZeros()
    {
        m_json.saveMouseData_Tern(QByteArray(10, char(9)), 13, 1);
        QByteArray expected(234, 0);
        expected.replace(0, 10, QByteArray(10, char(9)));
        QCOMPARE(m_json.getMouseData_Tern(13, 1), expected);
    }

    void otherRootMembersStayUntouched()
    {
        writeObject(profilePath(11, 1), QJsonObject{{"Vendor", "kept"}, {"MouseDataOfGamingMode", 1}});
        m_json.saveMouseData_Korvan(patternRecord(128, 1), 11, 1);
        m_json.saveMacroData_Korvan(korvanMacro(7, 2, QByteArray("\x01\x00\x04", 3)), 0, 11, 1);
        const QJsonObject root = readObject(profilePath(11, 1));
        QCOMPARE(root.value("Vendor").toString(), QString("kept"));
        QCOMPARE(root.size(), 3);
    }

    // ---- macros inside a profile

    void korvanMacroToJson_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("events"); // -1: empty object
        QTest::addRow("empty slot") << 0 << -1;
        QTest::addRow("size 3") << 3 << -1;
        QTest::addRow("header only") << 4 << 0;
        QTest::addRow("size 7: one event") << 7 << 1;
        QTest::addRow("size 8") << 8 << -1;
        QTest::addRow("size 10: two events") << 10 << 2;
        QTest::addRow("size 11") << 11 << -1;
        QTest::addRow("full record") << 4096 << 1364;
        QTest::addRow("past the record") << 4099 << -1;
    }
    void korvanMacroToJson()
    {
        QFETCH(int, size);
        QFETCH(int, events);
        QByteArray bytes;
        for (int i = 0; i < 4092; ++i)
            bytes.append(char(i % 251));
        const QJsonObject o = m_json.turnMacroDataToJsonObject_Korvan(korvanMacro(size, 0x0102, bytes));
        if (events < 0) {
            QVERIFY(o.isEmpty());
            return;
        }
        QCOMPARE(o.value("MacroSize").toInt(), size);
        QCOMPARE(o.value("RepeatTimes").toInt(), 0x0102);
        const QJsonArray macro = o.value("Macro").toArray();
        QCOMPARE(macro.size(), 3 * events);
        for (int i = 0; i < macro.size(); ++i)
            QCOMPARE(macro.at(i).toInt(), i % 251);
    }

    void korvanMacroRoundTripKeepsOtherSlots()
    {
        const QByteArray record = patternRecord(128, 8);
        m_json.saveMouseData_Korvan(record, 12, 2);
        QList<QByteArray> macros;
        for (int slot = 0; slot < 4; ++slot) {
            QByteArray events;
            for (int e = 0; e < 3 * (slot + 1); ++e)
                events.append(char(slot * 16 + e));
            macros.append(korvanMacro(4 + events.size(), slot + 1, events));
            m_json.saveMacroData_Korvan(macros.last(), slot, 12, 2);
        }
        QCOMPARE(m_json.getMouseData_Korvan(12, 2), record);
        for (int slot = 0; slot < 4; ++slot)
            QCOMPARE(m_json.getMacroData_Korvan(12, 2, slot), macros[slot]);
        // An absent slot, and a profile without macros, read as all zero.
        QCOMPARE(m_json.getMacroData_Korvan(12, 2, 9), QByteArray(4096, 0));
        QCOMPARE(m_json.getMacroData_Korvan(12, 4, 0), QByteArray(4096, 0));
        QVERIFY(!QFileInfo::exists(profilePath(12, 4)));
    }

    void ternMacroSlot3KeepsSlots0To2AndTheRecord()
    {
        const QByteArray record = patternRecord(234, 4);
        m_json.saveMouseData_Tern(record, 19, 1);
        QList<MacroRecord> macros;
        for (int slot = 0; slot < 4; ++slot) {
            MacroRecord m;
            m.header0 = uchar(slot);
            m.header1 = uchar(0x80 + slot);
            for (int i = 0; i <= slot; ++i)
                m.items.append(USHORT(0x1234 * (i + 1) + slot));
            macros.append(m);
        }
        for (int slot = 0; slot < 3; ++slot)
            m_json.saveMacroData_Tern(macros[slot], slot, 19, 1);
        const QJsonObject before = readObject(profilePath(19, 1));
        m_json.saveMacroData_Tern(macros[3], 3, 19, 1);
        const QJsonObject after = readObject(profilePath(19, 1));
        QCOMPARE(after.value("MouseDataOfGamingMode"), before.value("MouseDataOfGamingMode"));
        const QJsonObject slotsBefore = before.value("MacroDataOfGamingMode").toObject();
        const QJsonObject slotsAfter = after.value("MacroDataOfGamingMode").toObject();
        for (const char *slot : {"0", "1", "2"})
            QCOMPARE(slotsAfter.value(slot), slotsBefore.value(slot));
        QCOMPARE(slotsAfter.size(), 4);
        // Low byte first in the file, repeat count high byte first in the record.
        QCOMPARE(slotsAfter.value("3").toObject().value("RepeatTimes").toInt(), 3 * 256 + 0x83);
        QCOMPARE(slotsAfter.value("3").toObject().value("Macro").toArray().at(0).toInt(), (0x1234 + 3) & 0xFF);
        for (int slot = 0; slot < 4; ++slot) {
            MacroRecord out;
            const MacroRecord got = m_json.getMacroData_Tern(out, 19, 1, slot);
            QCOMPARE(got.header0, macros[slot].header0);
            QCOMPARE(got.header1, macros[slot].header1);
            QCOMPARE(got.items, macros[slot].items);
            QCOMPARE(out.items, got.items);
        }
        QCOMPARE(m_json.getMouseData_Tern(19, 1), record);
    }

    // What the stored Tern macro of a slot gives back.
    void ternMacroFromFile_data()
    {
        QTest::addColumn<QJsonValue>("stored"); // the slot's member; Undefined: no slot
        QTest::addColumn<int>("repeat");
        QTest::addColumn<QList<USHORT>>("items");
        QTest::addRow("absent slot") << QJsonValue(QJsonValue::Undefined) << 0 << QList<USHORT>{};
        QTest::addRow("pairs") << QJsonValue(QJsonObject{{"RepeatTimes", 5}, {"Macro", numbers({0x34, 0x12, 0xFF, 0})}})
                               << 5 << QList<USHORT>{0x1234, 0x00FF};
        QTest::addRow("odd length 5") << QJsonValue(QJsonObject{{"RepeatTimes", 9}, {"Macro", numbers({1, 2, 3, 4, 5})}})
                                      << 9 << QList<USHORT>{};
        QTest::addRow("no repeat count") << QJsonValue(QJsonObject{{"Macro", numbers({1, 0})}}) << 0 << QList<USHORT>{1};
        QTest::addRow("repeat count too big") << QJsonValue(QJsonObject{{"RepeatTimes", 70000}}) << 65535
                                              << QList<USHORT>{};
        QTest::addRow("repeat count text") << QJsonValue(QJsonObject{{"RepeatTimes", "3"}}) << 0 << QList<USHORT>{};
        QTest::addRow("byte 256") << QJsonValue(QJsonObject{{"RepeatTimes", 2}, {"Macro", numbers({1, 0, 256, 0})}})
                                  << 2 << QList<USHORT>{};
        QTest::addRow("negative byte") << QJsonValue(QJsonObject{{"RepeatTimes", 2}, {"Macro", numbers({-1, 0})}})
                                       << 2 << QList<USHORT>{};
        QTest::addRow("text byte") << QJsonValue(QJsonObject{{"RepeatTimes", 2}, {"Macro", numbers({"1", 0})}})
                                   << 2 << QList<USHORT>{};
        QTest::addRow("macro not array") << QJsonValue(QJsonObject{{"RepeatTimes", 2}, {"Macro", 7}}) << 2
                                         << QList<USHORT>{};
        QTest::addRow("slot not object") << QJsonValue(12) << 0 << QList<USHORT>{};
    }
    void ternMacroFromFile()
    {
        QFETCH(QJsonValue, stored);
        QFETCH(int, repeat);
        QFETCH(QList<USHORT>, items);
        QJsonObject slotsObject;
        if (!stored.isUndefined())
            slotsObject.insert("6", stored);
        writeObject(profilePath(2, 1), QJsonObject{{"MacroDataOfGamingMode", slotsObject}});
        MacroRecord out;
        m_json.getMacroData_Tern(out, 2, 1, 6);
        QCOMPARE(out.header0 * 256 + out.header1, repeat);
        QCOMPARE(out.items, items);
    }

    void ternMacroWithoutProfileMacrosRepeatsOnce()
    {
        MacroRecord out;
        out.items = {1, 2, 3};
        m_json.getMacroData_Tern(out, 2, 5, 0);
        QCOMPARE(int(out.header0), 0);
        QCOMPARE(int(out.header1), 1);
        QVERIFY(out.items.isEmpty());
        QVERIFY(!QFileInfo::exists(profilePath(2, 5)));
    }

    void ternMacroLongerThanABlockIsCut()
    {
        QJsonArray longMacro;
        for (int i = 0; i < 2 * 600; ++i)
            longMacro.append(i % 256);
        writeObject(profilePath(18, 2),
                    QJsonObject{{"MacroDataOfGamingMode", QJsonObject{{"0", QJsonObject{{"RepeatTimes", 1}, {"Macro", longMacro}}}}}});
        MacroRecord out;
        m_json.getMacroData_Tern(out, 18, 2, 0);
        QCOMPARE(out.items.size(), JsonHandle::TernMacroMaxItems);
        QCOMPARE(out.items.last(), USHORT(((2 * 510) % 256) | (((2 * 510 + 1) % 256) << 8)));

        // And a record with too many steps is stored cut to the same limit.
        MacroRecord big;
        big.items = QList<USHORT>();
        for (int i = 0; i < 600; ++i)
            big.items.append(USHORT(i));
        QCOMPARE(m_json.turnMacroDataToJsonObject_Tern(big).value("Macro").toArray().size(), 2 * 511);
    }

    // What the stored Korvan macro of a slot gives back: size, repeat, events.
    void korvanMacroFromFile_data()
    {
        QTest::addColumn<QJsonObject>("stored");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("repeat");
        QTest::addColumn<int>("events");
        const QJsonArray two = numbers({2, 0, 4, 3, 0, 4});
        QTest::addRow("consistent") << QJsonObject{{"MacroSize", 10}, {"RepeatTimes", 3}, {"Macro", two}} << 10 << 3 << 2;
        QTest::addRow("size names fewer events") << QJsonObject{{"MacroSize", 7}, {"RepeatTimes", 3}, {"Macro", two}}
                                                 << 7 << 3 << 1;
        QTest::addRow("size past the array") << QJsonObject{{"MacroSize", 22}, {"RepeatTimes", 3}, {"Macro", two}}
                                             << 10 << 3 << 2;
        QTest::addRow("no size: empty slot") << QJsonObject{{"RepeatTimes", 3}, {"Macro", two}} << 0 << 0 << 0;
        QTest::addRow("size not 4 + 3n") << QJsonObject{{"MacroSize", 9}, {"RepeatTimes", 3}, {"Macro", two}}
                                         << 0 << 0 << 0;
        QTest::addRow("size as text") << QJsonObject{{"MacroSize", "10"}, {"Macro", two}} << 0 << 0 << 0;
        QTest::addRow("incomplete group dropped") << QJsonObject{{"MacroSize", 10}, {"Macro", numbers({2, 0, 4, 3, 0})}}
                                                  << 7 << 0 << 1;
        QTest::addRow("byte out of range") << QJsonObject{{"MacroSize", 10}, {"Macro", numbers({2, 0, 4, 3, 0, 300})}}
                                           << 0 << 0 << 0;
        QTest::addRow("repeat count clamped") << QJsonObject{{"MacroSize", 4}, {"RepeatTimes", 1e9}} << 4 << 65535 << 0;
    }
    void korvanMacroFromFile()
    {
        QFETCH(QJsonObject, stored);
        QFETCH(int, size);
        QFETCH(int, repeat);
        QFETCH(int, events);
        writeObject(profilePath(8, 1), QJsonObject{{"MacroDataOfGamingMode", QJsonObject{{"2", stored}}}});
        const QByteArray got = m_json.getMacroData_Korvan(8, 1, 2);
        QCOMPARE(got.size(), 4096);
        QCOMPARE(quint8(got[0]) | quint8(got[1]) << 8, size);
        QCOMPARE(quint8(got[2]) | quint8(got[3]) << 8, repeat);
        const QByteArray expectedEvents = QByteArray("\x02\x00\x04\x03\x00\x04", 6).left(3 * events);
        QCOMPARE(got.mid(4, 3 * events), expectedEvents);
        QCOMPARE(got.mid(4 + 3 * events), QByteArray(4092 - 3 * events, 0));
    }

    void korvanMacroLongerThanTheRecordIsCut()
    {
        QJsonArray huge;
        for (int i = 0; i < 3 * 2000; ++i)
            huge.append(7);
        writeObject(profilePath(10, 1),
                    QJsonObject{{"MacroDataOfGamingMode", QJsonObject{{"0", QJsonObject{{"MacroSize", 4 + 3 * 2000}, {"Macro", huge}}}}}});
        const QByteArray got = m_json.getMacroData_Korvan(10, 1, 0);
        QCOMPARE(got.size(), 4096);
        QCOMPARE(quint8(got[0]) | quint8(got[1]) << 8, 4096);
        QCOMPARE(got.mid(4), QByteArray(4092, 7));
    }

    // ---- user macro files

    void macroFileWithOnlyANameGivesDefaults()
    {
        const QString path = JsonHandle::playerCustomMacroFolderPath() + "/m.json";
        writeObject(path, QJsonObject{{"Name", "Reload"}});
        QCOMPARE(m_json.getMacroName(path), QString("Reload"));
        QCOMPARE(m_json.getMacroType(path), 0);
        QCOMPARE(m_json.getRepeatTimes(path), 1);
        QCOMPARE(m_json.getIgnoreDelayTime(path), 0);
        QCOMPARE(m_json.getMacroLength(path), 0);
        QVERIFY(m_json.getMacroNodeList(path).isEmpty());
        QCOMPARE(m_json.getMacroEventCount(path), 0);
    }

    void missingMacroFileGivesDefaultsAndIsNotCreated()
    {
        const QString path = JsonHandle::playerCustomMacroFolderPath() + "/absent.json";
        QCOMPARE(m_json.getMacroName(path), QString("ErrorName"));
        QCOMPARE(m_json.getRepeatTimes(path), 1);
        QVERIFY(m_json.getMacroNodeList(path).isEmpty());
        QCOMPARE(m_json.getMacroEventCount(path), 0);
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(JsonHandle::macroFileList(JsonHandle::playerCustomMacroFolderPath()).isEmpty());
        // A list refresh after those reads shows nothing, not an "ErrorName" entry.
    }

    void settersReplaceOneKey()
    {
        const QString path = JsonHandle::playerCustomMacroFolderPath() + "/m.json";
        // A missing file becomes an object holding only the key set.
        m_json.setMacroLength(path, 12);
        QCOMPARE(readObject(path), (QJsonObject{{"MacroLength", 12}}));
        m_json.setMacroName(path, "Burst");
        m_json.setMacroType(path, 2);
        m_json.setRepeatTimes(path, 7);
        m_json.setIgnoreDelayTime(path, 1);
        m_json.setMacroType(path, 4);
        QCOMPARE(readObject(path), (QJsonObject{{"MacroLength", 12}, {"Name", "Burst"}, {"MacroType", 4},
                                                {"RepeatTimes", 7}, {"IgnoreDelayTime", 1}}));
        QCOMPARE(m_json.getMacroName(path), QString("Burst"));
        QCOMPARE(m_json.getMacroType(path), 4);
        QCOMPARE(m_json.getRepeatTimes(path), 7);
        QCOMPARE(m_json.getIgnoreDelayTime(path), 1);
        QCOMPARE(m_json.getMacroLength(path), 12);
    }

    void settersLeaveANonObjectDocumentAlone()
    {
        const QString path = JsonHandle::playerCustomMacroFolderPath() + "/list.json";
        writeBytes(path, "[1,2,3]");
        m_json.setMacroName(path, "x");
        m_json.setMacroNodeList(path, {MacroNode()});
        QCOMPARE(readBytes(path), QByteArray("[1,2,3]"));
        // A file that does not parse is replaced by a fresh object.
        writeBytes(path, "{broken");
        m_json.setRepeatTimes(path, 3);
        QCOMPARE(readObject(path), (QJsonObject{{"RepeatTimes", 3}}));
    }

    void wrongTypesReadAsDefaults()
    {
        const QString path = JsonHandle::playerCustomMacroFolderPath() + "/m.json";
        writeObject(path, QJsonObject{{"Name", 5}, {"MacroType", "2"}, {"RepeatTimes", QJsonArray()},
                                      {"MacroLength", 2.5}, {"Macro", QJsonObject()}});
        QCOMPARE(m_json.getMacroName(path), QString("ErrorName"));
        QCOMPARE(m_json.getMacroType(path), 0);
        QCOMPARE(m_json.getRepeatTimes(path), 1);
        QCOMPARE(m_json.getMacroLength(path), 0);
        QVERIFY(m_json.getMacroNodeList(path).isEmpty());
        QCOMPARE(m_json.getMacroEventCount(path), 0);
    }

    void nodeListRoundTrip()
    {
        const QString path = JsonHandle::playerCustomMacroFolderPath() + "/m.json";
        QList<MacroNode> nodes;
        MacroNode key;
        key.valueType = 3;
        key.keyValue = 0x41;
        key.timeLapse = 130;
        key.state = 0;
        key.text = QStringLiteral("A");
        MacroNode move;
        move.valueType = 6;
        move.coordinateX = -20;
        move.coordinateY = 1080;
        move.timeLapse = 0;
        move.text = QStringLiteral("(-20,1080)");
        nodes << key << move;
        // The list is only written into a file that already exists.
        m_json.setMacroNodeList(path, nodes);
        QVERIFY(!QFileInfo::exists(path));
        m_json.setMacroName(path, "n");
        m_json.setMacroNodeList(path, nodes);
        QCOMPARE(m_json.getMacroNodeList(path), nodes);
        QCOMPARE(m_json.getMacroEventCount(path), 2);
        QCOMPARE(m_json.getMacroName(path), QString("n"));
        // Exactly these keys per written event; "MouseValue" is never written.
        const QJsonObject written = readObject(path).value("Macro").toArray().at(0).toObject();
        QStringList keys = written.keys();
        keys.sort();
        QCOMPARE(keys, (QStringList{"CoordinateX", "CoordinateY", "KeyValue", "State", "Text", "TimeLapse", "ValueType"}));
    }

    void nodeReaderTakesOnlyWhatIsThere()
    {
        const QString path = JsonHandle::playerCustomMacroFolderPath() + "/m.json";
        QJsonArray macro;
        macro.append(QJsonObject{{"KeyValue", 65}, {"MouseValue", 2}});
        macro.append(7); // not an event: skipped
        macro.append(QJsonObject{{"ValueType", "3"}, {"TimeLapse", 1e12}, {"Text", 4}});
        writeObject(path, QJsonObject{{"Macro", macro}});
        const QList<MacroNode> nodes = m_json.getMacroNodeList(path);
        QCOMPARE(nodes.size(), 2);
        MacroNode first;
        first.keyValue = 65;
        first.mouseValue = 2;
        QCOMPARE(nodes[0], first);
        QCOMPARE(nodes[1], MacroNode());
        QCOMPARE(m_json.getMacroEventCount(path), 3);
    }

    void newMacroFile()
    {
        QJsonArray table;
        for (int i = 0; i < 300; ++i)
            table.append(QString("text %1").arg(i));
        TextTable::setTable(table);
        const QDateTime at(QDate(2024, 3, 9), QTime(7, 5, 4, 32));
        const QString folder = m_app->path() + "/ConfigFiles/MacroFiles/PlayerCustom";
        const QString first = m_json.createNewMacroFile(at);
        QCOMPARE(first, folder + "/20240309070504032.json");
        QCOMPARE(readObject(first), (QJsonObject{{"Name", "text 294"}}));
        m_json.setRepeatTimes(first, 4);
        // A second macro in the same millisecond gets the next one.
        const QString second = m_json.createNewMacroFile(at);
        QCOMPARE(second, folder + "/20240309070504033.json");
        QCOMPARE(m_json.getRepeatTimes(first), 4);
        QCOMPARE(JsonHandle::macroFileList(folder).size(), 2);
        TextTable::setTable(QJsonArray());
    }

    void macroLength_data()
    {
        QTest::addColumn<int>("valueType");
        QTest::addColumn<int>("keyValue");
        QTest::addColumn<int>("timeLapse");
        QTest::addColumn<int>("length");
        QTest::addRow("key, 127 ms") << 3 << 0x41 << 127 << 3;
        QTest::addRow("key, 128 ms") << 3 << 0x41 << 128 << 7;
        QTest::addRow("position, 1 ms") << 6 << -1 << 1 << 7;
        QTest::addRow("position, 500 ms") << 6 << -1 << 500 << 11;
        QTest::addRow("key code 6 is a plain key") << 3 << 6 << 1 << 3;
    }
    void macroLength()
    {
        QFETCH(int, valueType);
        QFETCH(int, keyValue);
        QFETCH(int, timeLapse);
        QFETCH(int, length);
        MacroNode node;
        node.valueType = valueType;
        node.keyValue = keyValue;
        node.timeLapse = timeLapse;
        QCOMPARE(JsonHandle::calculateMacroListLength({node}), length);
        QCOMPARE(JsonHandle::calculateMacroListLength({node, node}), 2 * length);
    }

    void recordedNodeLength()
    {
        QCOMPARE(JsonHandle::calculateMacroNodeLength(127), 3);
        QCOMPARE(JsonHandle::calculateMacroNodeLength(128), 7);
        QCOMPARE(JsonHandle::MacroLengthLimit, 900);
    }

    void removeFile()
    {
        const QString path = JsonHandle::playerCustomMacroFolderPath() + "/m.json";
        m_json.removeFile(path); // nothing there: nothing happens
        m_json.setMacroName(path, "x");
        m_json.removeFile(path);
        QVERIFY(!QFileInfo::exists(path));
    }

    void macroFileListTakesFilesOnly()
    {
        const QString folder = JsonHandle::playerCustomMacroFolderPath();
        writeObject(folder + "/a.json", {{"Name", "a"}});
        writeObject(folder + "/.hidden.json", {{"Name", "h"}});
        QDir(folder).mkdir("sub");
        QFile::link(folder + "/a.json", folder + "/link.json");
        QStringList files = JsonHandle::macroFileList(folder);
        files.sort();
        QCOMPARE(files, (QStringList{folder + "/.hidden.json", folder + "/a.json"}));
    }

    // ---- paths

    void modelFolders_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("folder");
        const QList<QPair<int, QString>> table = {
            {2, "falcon"},   {3, "osprey"},    {4, "saker"},    {5, "falcons"}, {6, "sakers"},
            {7, "merlinc"},  {8, "merlinq"},   {9, "kestrelc"}, {10, "kestrelq"}, {11, "kestrel"},
            {12, "merlin"},  {13, "wren"},     {14, "kestreleu"}, {18, "lanner"}, {19, "harrier"},
            {0, "osprey"},   {15, "osprey"},   {-1, "osprey"},
        };
        for (const auto &row : table)
            QTest::addRow("%d", row.first) << row.first << row.second;
    }
    void modelFolders()
    {
        QFETCH(int, type);
        QFETCH(QString, folder);
        QCOMPARE(JsonHandle::modelFolderName(type), folder);
    }

    void pathsAreBuiltBelowTheApplicationFolderWithTheirFolders()
    {
        const QString cf = m_app->path() + "/ConfigFiles";
        const struct
        {
            QString got;
            QString expected;
        } rows[] = {
            {JsonHandle::currentConfigJsonFilePath(19, 3), cf + "/MouseFile/harrier/AFile/ConfigJsonFile/Config3.json"},
            {JsonHandle::currentConfigJsonFilePath(19, 0), cf + "/MouseFile/harrier/OriginalFile/Config0.json"},
            {JsonHandle::currentConfigMouseLocalFilePath(11), cf + "/MouseFile/kestrel/AFile"},
            {JsonHandle::currentOldTxtFilePath(11, 2), cf + "/MouseFile/kestrel/AFile/Config2.txt"},
            {JsonHandle::currentOldTxtFilePath(11, 0), cf + "/MouseFile/kestrel/OriginalFile/Config0.txt"},
            {JsonHandle::currentCpiSettingFilePath(3, 4), cf + "/MouseFile/osprey/AFile/CPIUIInterfaceFile/4/CpiSetting.json"},
            {JsonHandle::currentPicturePath(10, 5), cf + "/MouseFile/kestrelq/AFile/PictureFile/5/drawImage.BMP"},
            {JsonHandle::currentDefaultPicturePath(13), cf + "/RecoverFile/PictureFile/wren/drawImage.BMP"},
            {JsonHandle::macroFolderPath(), cf + "/MacroFiles"},
            {JsonHandle::playerCustomMacroFolderPath(), cf + "/MacroFiles/PlayerCustom"},
        };
        for (const auto &row : rows) {
            QCOMPARE(row.got, row.expected);
            const QFileInfo info(row.got);
            // The folder exists; the file itself is not created by building its path.
            QVERIFY2(QFileInfo(info.suffix().isEmpty() ? row.got : info.absolutePath()).isDir(),
                     qPrintable(row.got));
            if (!info.suffix().isEmpty())
                QVERIFY(!info.exists());
        }
    }

    void profilePathIsLogged()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=true"));
        const QString expected = m_app->path() + "/ConfigFiles/MouseFile/wren/AFile/ConfigJsonFile/Config1.json";
        QTest::ignoreMessage(QtDebugMsg, QString("currentConfigJsonFilePath \"%1\"").arg(expected).toUtf8().constData());
        JsonHandle::currentConfigJsonFilePath(13, 1);
        quietDebugLog();
    }

    // ---- writes that do not happen

    // A valid partner-flavour profile past the read limit is read as the
    // factory record, and the file is left exactly as it was.
    void oversizedTernProfileIsKept()
    {
        const QString path = profilePath(2, 1);
        QJsonObject root;
        root.insert("MouseDataOfGamingMode", m_json.turnMouseDataJsonObject_Tern(patternRecord(234, 3)));
        root.insert("Notes", QString(int(SafeFile::kMaxReadBytes), QLatin1Char('x')));
        const QByteArray bytes = QJsonDocument(root).toJson(QJsonDocument::Compact);
        writeBytes(path, bytes);
        QByteArray factory;
        QVERIFY(m_json.createAOriginalMouseDataFile_Tern(factory, 2));
        QCOMPARE(m_json.getMouseData_Tern(2, 1), factory);
        QCOMPARE(readBytes(path), bytes);
    }

    // Special files in place of profiles and macro files read as missing, at
    // once, and are never replaced.
    void specialFilesReadAsMissing()
    {
        const QString korvan = profilePath(11, 1);
        const QString tern = profilePath(2, 1);
        const QString macro = JsonHandle::playerCustomMacroFolderPath() + "/fifo.json";
        for (const QString &path : {korvan, tern, macro})
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        QByteArray factory;
        QVERIFY(m_json.createAOriginalMouseDataFile_Korvan(factory, 11));
        QCOMPARE(m_json.getMouseData_Korvan(11, 1), factory);
        QVERIFY(m_json.createAOriginalMouseDataFile_Tern(factory, 2));
        QCOMPARE(m_json.getMouseData_Tern(2, 1), factory);
        QCOMPARE(m_json.getMacroData_Korvan(11, 1, 0), QByteArray(4096, '\0'));
        QCOMPARE(m_json.getMacroName(macro), QStringLiteral("ErrorName"));
        QCOMPARE(m_json.getMacroNodeList(macro).size(), 0);
        for (const QString &path : {korvan, tern, macro})
            QVERIFY(!QFileInfo(path).isFile());
    }

    void interruptedWriteKeepsTheOldFile()
    {
        const QByteArray old = patternRecord(128, 1);
        m_json.saveMouseData_Korvan(old, 11, 1);
        const QByteArray before = readBytes(profilePath(11, 1));
        QString stoppedAt;
        SafeFile::setBeforeReplaceHook([&](const QString &path) {
            stoppedAt = path;
            return false; // the write stops here, as if the program died
        });
        m_json.saveMouseData_Korvan(patternRecord(128, 2), 11, 1);
        QCOMPARE(stoppedAt, profilePath(11, 1));
        SafeFile::setBeforeReplaceHook({});
        QCOMPARE(readBytes(profilePath(11, 1)), before);
        QCOMPARE(m_json.getMouseData_Korvan(11, 1), old);
        // Nothing is left behind but the profile itself.
        QCOMPARE(QFileInfo(profilePath(11, 1)).dir().entryList(QDir::Files | QDir::Hidden),
                 QStringList{"Config1.json"});
    }
};

QTEST_GUILESS_MAIN(TestJsonHandle)
#include "tst_jsonhandle.moc"
