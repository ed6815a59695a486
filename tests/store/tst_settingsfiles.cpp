// INI settings: the INI wrapper, account data, button functions, launch
// targets, the update-prompt switch and the launch-function lookup.
#include "FilesTestSupport.h"

#include "store/OpConfPath.h"
#include "store/OpFunConfFile.h"
#include "store/OperateIni.h"
#include "store/OperateToken.h"
#include "store/SettingsFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QtTest>
#include <sys/stat.h>

namespace {
constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QFileDevice::Permissions modeOf(const QString &path)
{
    // Only the owner/group/other bits; Qt also reports the "user" bits.
    return QFileInfo(path).permissions()
        & (QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
           | QFileDevice::WriteGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::WriteOther
           | QFileDevice::ExeOther);
}
} // namespace

class TestSettingsFiles : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempAppFolder> m_app;

private slots:
    void initTestCase() { quietDebugLog(); }
    void init() { m_app.reset(new TempAppFolder); }
    void cleanup() { m_app.reset(); }

    void pathsAreBelowTheApplicationFolder()
    {
        QCOMPARE(SettingsFiles::systemIniPath(), m_app->path() + "/system/system.ini");
        QCOMPARE(SettingsFiles::noLongerRemindIniPath(), m_app->path() + "/NoLongerRemind.ini");
        QCOMPARE(SettingsFiles::highestFunctionIniPath(), m_app->path() + "/keysetting/HighestFunction.ini");
    }

    void iniBeforeOpen()
    {
        OperateIni ini;
        QCOMPARE(ini.value("/INFO/token"), QString("key error or unInit obj"));
        ini.setValue("/INFO/token", "x"); // nowhere to go
        QCOMPARE(ini.value("/INFO/token"), QString("key error or unInit obj"));
    }

    void iniValues()
    {
        const QString path = m_app->path() + "/some.ini";
        OperateIni ini;
        ini.open(path);
        QCOMPARE(ini.value("/INFO/email"), QString("NULL"));
        QVERIFY(!QFileInfo::exists(path)); // reading creates nothing
        ini.setValue("/INFO/email", QString::fromUtf8("名前@example.com"));
        ini.setValue("NotRemind", "1");
        // Saved at once, grouped keys in their group, UTF-8 as it is.
        const QByteArray bytes = readBytes(path);
        QVERIFY(bytes.contains("[INFO]"));
        QVERIFY(bytes.contains(QString::fromUtf8("email=名前@example.com").toUtf8()));
        QVERIFY(bytes.contains("[General]\nNotRemind=1"));
        OperateIni other;
        other.open(path);
        QCOMPARE(other.value("/INFO/email"), QString::fromUtf8("名前@example.com"));
        QCOMPARE(other.value("NotRemind"), QString("1"));
        // No temporary or lock file is left beside it.
        QCOMPARE(QDir(m_app->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"some.ini"});
    }

    // A save writes a new file and renames it over the old one: the old
    // file is never opened for writing, so a crash mid-save cannot cut it.
    void iniSaveReplacesTheFileWhole()
    {
        const QString path = m_app->path() + "/some.ini";
        OperateIni ini;
        ini.open(path);
        ini.setValue("/INFO/email", "first@b.c");
        struct stat before = {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);
        QFile held(path);
        QVERIFY(held.open(QIODevice::ReadOnly));
        ini.setValue("/INFO/email", "second@b.c");
        struct stat after = {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &after), 0);
        QVERIFY(before.st_ino != after.st_ino);
        // The old file, still open here, kept its content.
        QVERIFY(held.readAll().contains("first@b.c"));
        QVERIFY(readBytes(path).contains("second@b.c"));
    }

    void tokenFileIsPrivate()
    {
        OperateToken token;
        QCOMPARE(token.GetToken(), QString("NULL"));
        QVERIFY(!QFileInfo::exists(SettingsFiles::systemIniPath()));
        token.SetToken("secret");
        token.SetEmail("a@b.c");
        token.SetNickName("nick");
        QCOMPARE(modeOf(SettingsFiles::systemIniPath()), kOwnerOnly);
        OpConfPath paths;
        paths.SetMidWebUrl("https://example.com");
        QCOMPARE(modeOf(SettingsFiles::systemIniPath()), kOwnerOnly);
        OperateToken again;
        QCOMPARE(again.GetToken(), QString("secret"));
        QCOMPARE(again.GetEmail(), QString("a@b.c"));
        QCOMPARE(again.GetNickName(), QString("nick"));
    }

    void openTokenFileIsNarrowedOnWrite()
    {
        QDir().mkpath(m_app->path() + "/system");
        writeBytes(SettingsFiles::systemIniPath(), "[INFO]\nemail=old@b.c\n");
        QFile(SettingsFiles::systemIniPath()).setPermissions(kOwnerOnly | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        OperateToken token;
        token.SetToken("secret");
        QCOMPARE(modeOf(SettingsFiles::systemIniPath()), kOwnerOnly);
        QCOMPARE(token.GetEmail(), QString("old@b.c"));
    }

    void functionTexts_data()
    {
        QTest::addColumn<QString>("stored"); // "NULL": nothing stored
        QTest::addColumn<QString>("json");
        QTest::addRow("three parts") << "copy-3-edit" << R"({"name":"copy","index":3,"tag":"edit"})";
        QTest::addRow("two parts") << "copy-3" << "";
        QTest::addRow("four parts") << "a-1-b-c" << "";
        QTest::addRow("empty middle kept") << "a--b" << R"({"name":"a","index":,"tag":"b"})";
        QTest::addRow("empty") << "" << "";
        QTest::addRow("absent") << "NULL" << "";
    }
    void functionTexts()
    {
        QFETCH(QString, stored);
        QFETCH(QString, json);
        OpFunConfFile functions;
        if (stored != "NULL") {
            functions.SetMidKey(stored);
            functions.SetMidWheel(stored);
            functions.SetSideUpKey(stored);
            functions.SetSideDownKey(stored);
            functions.SetSideWheel(stored);
        }
        QCOMPARE(functions.GetMidKey(), json);
        QCOMPARE(functions.GetMidWheel(), json);
        QCOMPARE(functions.GetSideUpKey(), json);
        QCOMPARE(functions.GetSideDownKey(), json);
        QCOMPARE(functions.GetSideWheel(), json);
    }

    void functionKeysAndClearAll()
    {
        OpFunConfFile functions;
        functions.SetMidKey("a-1-x");
        functions.SetMidWheel("b-2-x");
        functions.SetSideUpKey("c-3-x");
        functions.SetSideDownKey("d-4-x");
        functions.SetSideWheel("e-5-x");
        QSettings file(SettingsFiles::systemIniPath(), QSettings::IniFormat);
        QCOMPARE(file.value("SET/Mid_key").toString(), QString("a-1-x"));
        QCOMPARE(file.value("SET/Mid_wheel").toString(), QString("b-2-x"));
        QCOMPARE(file.value("SET/Side_upkey").toString(), QString("c-3-x"));
        QCOMPARE(file.value("SET/Side_downkey").toString(), QString("d-4-x"));
        QCOMPARE(file.value("SET/Side_wheel").toString(), QString("e-5-x"));
        functions.ClearAll();
        OperateIni ini;
        ini.open(SettingsFiles::systemIniPath());
        for (const char *key : {"/SET/Mid_key", "/SET/Mid_wheel", "/SET/Side_upkey", "/SET/Side_downkey", "/SET/Side_wheel"})
            QCOMPARE(ini.value(key), QString(""));
    }

    void launchTargetsAreRereadAndGoWithLogOut()
    {
        OpConfPath reader;
        OpConfPath writer;
        QCOMPARE(reader.GetMidWebUrl(), QString("NULL"));
        writer.SetMidWebUrl("w");
        writer.SetMidFilePath("f");
        writer.SetMidFloderPath("d");
        writer.SetMidAppPath("p");
        writer.SetSliderUpWebUrl("uw");
        writer.SetSliderUpFilePath("uf");
        writer.SetSliderUpFloderPath("ud");
        writer.SetSliderUpAppPath("up");
        writer.SetSliderDownWebUrl("dw");
        writer.SetSliderDownFilePath("df");
        writer.SetSliderDownFloderPath("dd");
        writer.SetSliderDownAppPath("dp");
        const auto all = [&reader] {
            return QStringList{reader.GetMidWebUrl(), reader.GetMidFilePath(), reader.GetMidFloderPath(),
                               reader.GetMidAppPath(), reader.GetSliderUpWebUrl(), reader.GetSliderUpFilePath(),
                               reader.GetSliderUpFloderPath(), reader.GetSliderUpAppPath(),
                               reader.GetSliderDownWebUrl(), reader.GetSliderDownFilePath(),
                               reader.GetSliderDownFloderPath(), reader.GetSliderDownAppPath()};
        };
        QCOMPARE(all(), (QStringList{"w", "f", "d", "p", "uw", "uf", "ud", "up", "dw", "df", "dd", "dp"}));
        QSettings file(SettingsFiles::systemIniPath(), QSettings::IniFormat);
        QCOMPARE(file.value("PATH/mid_folder_path").toString(), QString("d"));
        QCOMPARE(file.value("PATH/slider_down_app_path").toString(), QString("dp"));

        writer.ClearAll();
        QCOMPARE(all(), QStringList(QVector<QString>(12, QString("")).toList()));

        writer.SetMidWebUrl("w");
        OperateToken token;
        token.SetToken("secret");
        SettingsFiles::removeSystemIni();
        QVERIFY(!QFileInfo::exists(SettingsFiles::systemIniPath()));
        QCOMPARE(all(), QStringList(QVector<QString>(12, QString("NULL")).toList()));
        QCOMPARE(token.GetToken(), QString("NULL"));
    }

    void notRemind()
    {
        QCOMPARE(SettingsFiles::notRemind(), 0);
        QVERIFY(!QFileInfo::exists(SettingsFiles::noLongerRemindIniPath()));
        SettingsFiles::setNotRemind(1);
        QCOMPARE(SettingsFiles::notRemind(), 1);
        QVERIFY(readBytes(SettingsFiles::noLongerRemindIniPath()).contains("NotRemind=1"));
    }

    void highestFunctionGroups_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("group");
        const QList<QPair<int, QString>> table = {
            {4, "LeftKey"},   {5, "MidKey"},     {6, "RightKey"},  {7, "FowardKey"},
            {8, "BackKey"},   {11, "WheelFoward"}, {12, "WheelBack"}, {13, "DPIAdd"},
            {14, "DPIReduce"}, {15, "Custom1"},  {16, "Custom2"},  {17, "Custom3"},
            {3, ""},          {9, ""},           {10, ""},         {18, ""},
        };
        for (const auto &row : table)
            QTest::addRow("%d", row.first) << row.first << row.second;
    }
    void highestFunctionGroups()
    {
        QFETCH(int, button);
        QFETCH(QString, group);
        QCOMPARE(SettingsFiles::highestFunctionGroup(button), group);
    }

    void launchFunctionLookup()
    {
        int function = -7;
        QString path = "untouched";
        QVERIFY(!SettingsFiles::launchFunction(5, &function, &path));
        QVERIFY(!QFileInfo::exists(SettingsFiles::highestFunctionIniPath()));

        QDir().mkpath(m_app->path() + "/keysetting");
        writeBytes(SettingsFiles::highestFunctionIniPath(),
                   QString::fromUtf8("[MidKey]\nstate=0\nfunction=2\npath=/usr/bin/x\n"
                                     "[Custom3]\nstate=1\nfunction=3\npath=/home/u/音乐\n")
                       .toUtf8());
        // "state" 0: nothing assigned, whatever "path" says.
        QVERIFY(!SettingsFiles::launchFunction(5, &function, &path));
        QCOMPARE(function, -7);
        QCOMPARE(path, QString("untouched"));
        QVERIFY(SettingsFiles::launchFunction(17, &function, &path));
        QCOMPARE(function, 3);
        QCOMPARE(path, QString::fromUtf8("/home/u/音乐"));
        QVERIFY(!SettingsFiles::launchFunction(9, &function, &path));

        SettingsFiles::setLaunchFunction(4, 1, 2, "/opt/app");
        QVERIFY(SettingsFiles::launchFunction(4, &function, &path));
        QCOMPARE(path, QString("/opt/app"));
        QVERIFY(SettingsFiles::launchFunction(17, &function, &path));

        SettingsFiles::removeHighestFunctionIni();
        QVERIFY(!SettingsFiles::launchFunction(4, &function, &path));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFiles)
#include "tst_settingsfiles.moc"
