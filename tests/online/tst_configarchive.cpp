// Archives from the web service are untrusted: a hostile or damaged one is
// refused whole and leaves the user's folder byte for byte as it was; a good
// one replaces the folder entirely.
#include "support/ZipMaker.h"
#include "online/ConfigArchive.h"

#include <QtTest>

class TestConfigArchive : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void goodArchiveReplacesTheFolder();
    void missingTargetIsCreated();
    void refusedArchiveLeavesFolderUnchanged_data();
    void refusedArchiveLeavesFolderUnchanged();
    void unsafeNames_data();
    void unsafeNames();
    void compressRoundTrip();

private:
    // The user's folder with a known content.
    void fillTarget();
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_target;
};

void TestConfigArchive::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_target = m_dir->path() + "/ConfigFiles/MouseFile/kestrel/AFile";
    fillTarget();
}

void TestConfigArchive::fillTarget()
{
    writeFile(m_target + "/ConfigJsonFile/Config1.json", "{\"mine\":1}");
    writeFile(m_target + "/Config2.txt", QByteArray(300, '\x07'));
}

void TestConfigArchive::goodArchiveReplacesTheFolder()
{
    const QString zip = m_dir->path() + "/LocalFile.zip";
    QVERIFY(writeZip(zip, {{"ConfigJsonFile/", {}}, {"ConfigJsonFile/Config1.json", "{\"cloud\":1}"},
                           {"CPIUIInterfaceFile/1/CpiSetting.json", "{}"}}));
    QCOMPARE(ConfigArchive::extractSafely(zip, m_target), ConfigArchive::Result::Ok);
    const auto files = snapshot(m_target);
    QCOMPARE(files.value("ConfigJsonFile/Config1.json"), QByteArray("{\"cloud\":1}"));
    QCOMPARE(files.value("CPIUIInterfaceFile/1/CpiSetting.json"), QByteArray("{}"));
    // Swapped in whole: what the archive lacks is gone.
    QVERIFY(!files.contains("Config2.txt"));
    // No staging or old folder is left beside it.
    QCOMPARE(QDir(m_dir->path() + "/ConfigFiles/MouseFile/kestrel").entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{"AFile"});
}

void TestConfigArchive::missingTargetIsCreated()
{
    const QString zip = m_dir->path() + "/MacroFiles.zip";
    QVERIFY(writeZip(zip, {{"PlayerCustom/20260101.json", "[]"}}));
    const QString target = m_dir->path() + "/ConfigFiles/MacroFiles";
    QCOMPARE(ConfigArchive::extractSafely(zip, target), ConfigArchive::Result::Ok);
    QCOMPARE(snapshot(target).value("PlayerCustom/20260101.json"), QByteArray("[]"));
}

void TestConfigArchive::refusedArchiveLeavesFolderUnchanged_data()
{
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<int>("maxBytes");
    QTest::addColumn<int>("maxEntries");
    QTest::addColumn<int>("expected");
    const int unsafe = int(ConfigArchive::Result::UnsafeEntry);
    const int tooLarge = int(ConfigArchive::Result::TooLarge);
    const int unreadable = int(ConfigArchive::Result::Unreadable);
    const ZipEntry good{"ConfigJsonFile/Config1.json", "{\"cloud\":1}"};
    const int big = 1 << 30;
    QTest::newRow("zip slip") << zipBytes({good, {"../../evil.txt", "x"}}) << big << 100 << unsafe;
    QTest::newRow("slip inside a path") << zipBytes({good, {"ConfigJsonFile/../../evil.txt", "x"}}) << big << 100 << unsafe;
    QTest::newRow("absolute path") << zipBytes({good, {"/tmp/harrier-evil.txt", "x"}}) << big << 100 << unsafe;
    QTest::newRow("backslash slip") << zipBytes({good, {"..\\evil.txt", "x"}}) << big << 100 << unsafe;
    QTest::newRow("symlink entry") << zipBytes({good, {"ConfigJsonFile/link", "/etc/passwd", true}}) << big << 100 << unsafe;
    QTest::newRow("oversized member") << zipBytes({good, {"big.bin", QByteArray(2 * 1024 * 1024, 'a')}})
                                      << 1024 * 1024 << 100 << tooLarge;
    QTest::newRow("too many entries") << zipBytes({good, {"a", "1"}, {"b", "2"}, {"c", "3"}}) << big << 3 << tooLarge;
    QTest::newRow("same name twice") << zipBytes({good, {"ConfigJsonFile/Config1.json", "{\"evil\":1}"}}) << big << 100
                                     << unsafe;
    QTest::newRow("same path spelt twice") << zipBytes({good, {"ConfigJsonFile//./Config1.json", "{}"}}) << big << 100
                                           << unsafe;
    QTest::newRow("a file and a folder of one name") << zipBytes({{"ConfigJsonFile/", ""}, {"ConfigJsonFile", "x"}})
                                                    << big << 100 << unsafe;
    QTest::newRow("not a zip") << QByteArray("<html>error</html>") << big << 100 << unreadable;
    QByteArray truncated = zipBytes({good, {"ConfigJsonFile/Config2.json", QByteArray(4000, 'q')}});
    truncated.chop(truncated.size() / 2);
    QTest::newRow("cut short") << truncated << big << 100 << unreadable;
    QByteArray damaged = zipBytes({{"ConfigJsonFile/Config1.json", QByteArray(64, 'z')}});
    // Change the CRC the archive records, in the local header and in the
    // directory, so the intact data no longer matches it. (Searching the data
    // for a byte could land in the header's time stamp instead.)
    const int local = damaged.indexOf(QByteArray("PK\x03\x04", 4));
    const int central = damaged.indexOf(QByteArray("PK\x01\x02", 4));
    damaged[local + 14] = char(damaged[local + 14] ^ 0x5a);
    damaged[central + 16] = char(damaged[central + 16] ^ 0x5a);
    QTest::newRow("bad crc") << damaged << big << 100 << unreadable;
}

void TestConfigArchive::refusedArchiveLeavesFolderUnchanged()
{
    QFETCH(QByteArray, archive);
    QFETCH(int, maxBytes);
    QFETCH(int, maxEntries);
    QFETCH(int, expected);
    const auto before = snapshot(m_dir->path());
    const QString zip = m_dir->path() + "/../" + QFileInfo(m_dir->path()).fileName() + "-download.zip";
    writeFile(zip, archive);
    ConfigArchive::Limits limits;
    limits.maxTotalBytes = maxBytes;
    limits.maxEntries = maxEntries;
    QCOMPARE(int(ConfigArchive::extractSafely(zip, m_target, limits)), expected);
    QFile::remove(zip);
    QCOMPARE(snapshot(m_dir->path()), before);
    QVERIFY(!QFile::exists("/tmp/harrier-evil.txt"));
    QVERIFY(!QFile::exists(m_dir->path() + "/ConfigFiles/evil.txt"));
}

void TestConfigArchive::unsafeNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("safe");
    QTest::newRow("plain") << "Config1.json" << true;
    QTest::newRow("nested") << "a/b/c.json" << true;
    QTest::newRow("folder") << "a/" << true;
    QTest::newRow("dots in a name") << "a..b/c..json" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("parent") << "../a" << false;
    QTest::newRow("parent at the end") << "a/.." << false;
    QTest::newRow("absolute") << "/a" << false;
    QTest::newRow("drive") << "C:/a" << false;
    QTest::newRow("backslash") << "a\\b" << false;
}

void TestConfigArchive::unsafeNames()
{
    QFETCH(QString, name);
    QFETCH(bool, safe);
    QCOMPARE(ConfigArchive::unsafeReason(name).isEmpty(), safe);
}

void TestConfigArchive::compressRoundTrip()
{
    const QString zip = m_dir->path() + "/out/LocalFile.zip";
    QDir().mkpath(m_dir->path() + "/out");
    QVERIFY(ConfigArchive::compressFolder(m_target, zip));
    QCOMPARE(zipNames(zip), (QStringList{"Config2.txt", "ConfigJsonFile/", "ConfigJsonFile/Config1.json"}));
    const QString copy = m_dir->path() + "/copy";
    QCOMPARE(ConfigArchive::extractSafely(zip, copy), ConfigArchive::Result::Ok);
    QCOMPARE(snapshot(copy), snapshot(m_target));
    QVERIFY(!ConfigArchive::compressFolder(m_dir->path() + "/missing", zip + "2"));
}

QTEST_MAIN(TestConfigArchive)
#include "tst_configarchive.moc"
