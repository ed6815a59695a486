// "cmake --install" into a temporary prefix, then the installed programs run
// from there as a user would: their shipped data found below the prefix,
// everything they write in the user's data folder, nothing under the prefix.
#include <QDir>
#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QtTest>

namespace {

constexpr int kWaitMs = 60000;
const QString kAppId = QStringLiteral("org.harrierdriver.harrierdriver");

struct Ran
{
    int code = -1;
    QString out;
    QString err;
};

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_prefix;

    QString path(const QString &relative) const { return m_root.path() + QLatin1Char('/') + relative; }
    QString userData() const { return path(QStringLiteral("data/HarrierDriver")); }

    // Every file below the prefix with its size and time, to see that nothing changes there.
    QStringList prefixFiles() const
    {
        QStringList files;
        QDirIterator it(m_prefix, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            files << QStringLiteral("%1 %2 %3")
                         .arg(it.filePath())
                         .arg(it.fileInfo().size())
                         .arg(it.fileInfo().lastModified().toMSecsSinceEpoch());
        }
        files.sort();
        return files;
    }

    // A user session of its own: home, data folder and runtime folder in the test's folder.
    void setUp(QProcess &process) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("home/.config")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QStringLiteral("run")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        process.setProcessEnvironment(env);
        // Started from elsewhere: nothing may depend on the working folder.
        process.setWorkingDirectory(path(QStringLiteral("home")));
    }

    Ran ctl(const QStringList &arguments) const
    {
        QProcess process;
        setUp(process);
        process.start(m_prefix + QStringLiteral("/bin/harrierctl"), arguments);
        Ran ran;
        if (!process.waitForFinished(kWaitMs)) {
            process.kill();
            process.waitForFinished();
            return ran;
        }
        ran.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        ran.out = QString::fromUtf8(process.readAllStandardOutput());
        ran.err = QString::fromUtf8(process.readAllStandardError());
        return ran;
    }

    QString logText() const
    {
        QString text;
        const QDir folder(userData() + QStringLiteral("/Log"));
        for (const QString &name : folder.entryList(QDir::Files, QDir::Name)) {
            QFile file(folder.filePath(name));
            if (file.open(QIODevice::ReadOnly))
                text += QString::fromUtf8(file.readAll());
        }
        return text;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_prefix = path(QStringLiteral("prefix"));
        for (const char *folder : {"home", "data", "run"})
            QVERIFY(QDir().mkpath(path(QLatin1String(folder))));
        QFile::setPermissions(path(QStringLiteral("run")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(HARRIER_CMAKE),
                      {QStringLiteral("--install"), QStringLiteral(HARRIER_BUILD_DIR), QStringLiteral("--prefix"), m_prefix});
        QVERIFY(install.waitForFinished(kWaitMs));
        QVERIFY2(install.exitCode() == 0, install.readAll().constData());
    }

    void layout_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("the app") << "bin/HarrierDriver";
        QTest::newRow("the command line") << "bin/harrierctl";
        QTest::newRow("text table") << "share/harrierdriver/Language/translate.json";
        QTest::newRow("udev rule") << "lib/udev/rules.d/70-harrierdriver.rules";
        QTest::newRow("desktop entry") << "share/applications/" + kAppId + ".desktop";
        QTest::newRow("icon") << "share/icons/hicolor/scalable/apps/" + kAppId + ".svg";
        QTest::newRow("metainfo") << "share/metainfo/" + kAppId + ".metainfo.xml";
        QTest::newRow("manual of the app") << "share/man/man1/HarrierDriver.1";
        QTest::newRow("manual of the command line") << "share/man/man1/harrierctl.1";
    }

    // The font is the system's: the install brings no copy of it.
    void noBundledFont() { QVERIFY(!QFileInfo::exists(m_prefix + QStringLiteral("/share/harrierdriver/Font"))); }

    void layout()
    {
        QFETCH(QString, file);
        const QFileInfo info(m_prefix + QLatin1Char('/') + file);
        QVERIFY2(info.isFile(), qPrintable(file));
        if (file.startsWith(QLatin1String("bin/")))
            QVERIFY(info.isExecutable());
    }

    // The metainfo's newest release is the version the program says it is.
    void metainfoReleaseIsTheProgramsVersion()
    {
        QFile metainfo(m_prefix + "/share/metainfo/" + kAppId + ".metainfo.xml");
        QVERIFY(metainfo.open(QIODevice::ReadOnly));
        const QRegularExpressionMatch release =
            QRegularExpression(QStringLiteral("<release version=\"([^\"]+)\"")).match(QString::fromUtf8(metainfo.readAll()));
        QVERIFY(release.hasMatch());
        QProcess version;
        version.start(m_prefix + QStringLiteral("/bin/HarrierDriver"), {QStringLiteral("--version")});
        QVERIFY(version.waitForFinished(kWaitMs));
        QCOMPARE(QString::fromUtf8(version.readAllStandardOutput()).trimmed(),
                 QStringLiteral("HarrierDriver ") + release.captured(1));
    }

    // The desktop's own checkers, where they are installed (scripts/install-deps.sh brings them).
    void desktopFilesValidate_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("desktop entry") << "desktop-file-validate"
                                       << QStringList{"share/applications/" + kAppId + ".desktop"};
        QTest::newRow("metainfo") << "appstreamcli"
                                  << QStringList{"validate", "--no-net", "--pedantic", "--no-color",
                                                 "share/metainfo/" + kAppId + ".metainfo.xml"};
        QTest::newRow("manual of the app") << "man" << QStringList{"--warnings", "-l", "share/man/man1/HarrierDriver.1"};
        QTest::newRow("manual of the command line")
            << "man" << QStringList{"--warnings", "-l", "share/man/man1/harrierctl.1"};
    }

    void desktopFilesValidate()
    {
        QFETCH(QString, tool);
        QFETCH(QStringList, arguments);
        const QString program = QStandardPaths::findExecutable(tool);
        if (program.isEmpty())
            QSKIP(qPrintable(tool + QStringLiteral(" is not installed (scripts/install-deps.sh installs it)")));
        QProcess check;
        check.setWorkingDirectory(m_prefix);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("MANWIDTH"), QStringLiteral("80"));
        env.insert(QStringLiteral("MAN_KEEP_FORMATTING"), QStringLiteral("0"));
        check.setProcessEnvironment(env);
        check.start(program, arguments);
        QVERIFY(check.waitForFinished(kWaitMs));
        const QByteArray out = check.readAllStandardOutput();
        const QByteArray err = check.readAllStandardError();
        QVERIFY2(check.exitCode() == 0, (out + err).constData());
        // Passing is not enough: not a note, a pedantic remark or a warning either.
        if (tool == QLatin1String("man")) {
            QVERIFY2(err.isEmpty(), err.constData());
            QVERIFY(out.contains("harrierctl") || out.contains("HarrierDriver"));
        } else if (tool == QLatin1String("desktop-file-validate")) {
            QVERIFY2(out.isEmpty() && err.isEmpty(), (out + err).constData());
        } else {
            // The one note left is intended: the program configures a mouse,
            // so a pointing device is required, not merely recommended.
            QByteArray notes = out;
            notes.replace("I: org.harrierdriver.harrierdriver:31: relation-control-in-requires", "");
            QVERIFY2(!notes.contains("I:") && !notes.contains("W:") && !notes.contains("P:") && !notes.contains("E:"),
                     out.constData());
        }
    }

    // The installed app opens an emulated mouse, reads its shipped data from
    // the share folder and writes into the user's data folder; harrierctl
    // stays away from the mouse meanwhile and works once the app is gone.
    void installedProgramsRun()
    {
        const QStringList before = prefixFiles();

        QProcess app;
        setUp(app);
        app.setProcessChannelMode(QProcess::ForwardedChannels);
        app.start(m_prefix + QStringLiteral("/bin/HarrierDriver"),
                  {QStringLiteral("-d"), QStringLiteral("--emulate"), QStringLiteral("kestrel")});
        QVERIFY(app.waitForStarted());
        const QString profile = userData() + QStringLiteral("/ConfigFiles/MouseFile/kestrel");
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(profile).isDir() && logText().contains(QStringLiteral("GetProfileFromMouse")),
                                 kWaitMs);

        const Ran refused = ctl({QStringLiteral("--emulate"), QStringLiteral("kestrel"), QStringLiteral("show")});
        QCOMPARE(refused.code, 5);
        QVERIFY2(refused.err.contains(QStringLiteral("HarrierDriver is running and holds the mouse")),
                 qPrintable(refused.err));

        // Ended as a crash would end it: the lock it leaves behind holds no one back.
        app.kill();
        QVERIFY(app.waitForFinished(kWaitMs));

        const Ran changed = ctl({QStringLiteral("--emulate"), QStringLiteral("harrier"), QStringLiteral("set"),
                                 QStringLiteral("cpi"), QStringLiteral("800"), QStringLiteral("1600")});
        QVERIFY2(changed.code == 0, qPrintable(changed.err));
        QVERIFY(QFileInfo::exists(userData()
                                  + QStringLiteral("/ConfigFiles/MouseFile/harrier/AFile/ConfigJsonFile/Config1.json")));
        const Ran shown = ctl({QStringLiteral("--emulate"), QStringLiteral("wren"), QStringLiteral("show"),
                               QStringLiteral("--json")});
        QCOMPARE(shown.code, 0);
        QCOMPARE(QJsonDocument::fromJson(shown.out.toUtf8()).object().value(QStringLiteral("model")).toString(),
                 QStringLiteral("wren"));
        const Ran unknown = ctl({QStringLiteral("--emulate"), QStringLiteral("hawk"), QStringLiteral("show")});
        QCOMPARE(unknown.code, 2);
        QVERIFY2(unknown.err.contains(QStringLiteral("cannot emulate hawk")), qPrintable(unknown.err));

        // The font and the text table came from the share folder.
        const QString log = logText();
        QVERIFY2(log.contains(QStringLiteral("Add Font : WenQuanYi Micro Hei"))
                     || !QFileInfo::exists(m_prefix + QStringLiteral("/share/harrierdriver/Font")),
                 qPrintable(log.left(2000)));
        QVERIFY(log.contains(QStringLiteral("loadSysLanguage")));
        QVERIFY(!log.contains(QStringLiteral("NoArray")));
        // Nothing was written below the prefix.
        QCOMPARE(prefixFiles(), before);
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
