// One copy per user session: the real program, started twice from a folder
// of its own (its data root), with a private runtime folder and home.
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <pwd.h>
#include <unistd.h>

class TestSingleInstance : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_program;

    QString runtimeFolder() const { return m_root->path() + QStringLiteral("/run"); }

    QString logText() const
    {
        QString text;
        const QDir folder(m_root->path() + QStringLiteral("/app/Log"));
        for (const QString &name : folder.entryList(QDir::Files, QDir::Name)) {
            QFile file(folder.filePath(name));
            if (file.open(QIODevice::ReadOnly))
                text += QString::fromUtf8(file.readAll());
        }
        return text;
    }

    // Start-up is done once the style sheet is applied: the copy listens by then.
    bool isUp() const { return logText().contains(QRegularExpression(QStringLiteral(": open$"), QRegularExpression::MultilineOption)); }
    int receivedMessages() const
    {
        return logText().count(QRegularExpression(QStringLiteral(": Osprey$"), QRegularExpression::MultilineOption));
    }

    void start(QProcess &process, const QStringList &arguments, bool withRuntimeFolder = true)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (withRuntimeFolder) {
            environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder());
        } else {
            environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
            environment.insert(QStringLiteral("TMPDIR"), m_root->path() + QStringLiteral("/tmp"));
        }
        environment.insert(QStringLiteral("HOME"), m_root->path() + QStringLiteral("/home"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(m_program, arguments);
    }

    static void stop(QProcess &process)
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(10000)) {
            process.kill();
            process.waitForFinished(10000);
        }
    }

private slots:
    void init()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
        // The program keeps its files beside itself: give it a folder of its own.
        QVERIFY(QDir().mkpath(m_root->path() + QStringLiteral("/app")));
        QVERIFY(QDir().mkpath(m_root->path() + QStringLiteral("/home")));
        QVERIFY(QDir().mkpath(runtimeFolder()));
        QFile::setPermissions(runtimeFolder(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        m_program = m_root->path() + QStringLiteral("/app/HarrierDriver");
        QVERIFY(QFile::copy(QStringLiteral(HARRIER_APP_BINARY), m_program));
    }

    void secondCopyHandsOverAndExits()
    {
        QProcess first;
        start(first, {QStringLiteral("-d")});
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(isUp(), 60000);

        QProcess second;
        start(second, {});
        QVERIFY(second.waitForFinished(60000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 255); // -1 as the system reports it

        QTRY_COMPARE_WITH_TIMEOUT(receivedMessages(), 1, 10000);
        QCOMPARE(first.state(), QProcess::Running);

        // --help and --version print and exit, even beside a running copy.
        for (const QString &option : {QStringLiteral("--help"), QStringLiteral("--version")}) {
            QProcess asked;
            start(asked, {option});
            QVERIFY(asked.waitForFinished(30000));
            QCOMPARE(asked.exitCode(), 0);
            const QByteArray out = asked.readAllStandardOutput();
            QVERIFY2(out.contains(option == QLatin1String("--help") ? "Usage: HarrierDriver" : "HarrierDriver 0."),
                     out.constData());
        }
        QCOMPARE(receivedMessages(), 1);
        stop(first);
    }

    void copyAfterACrashStartsNormally()
    {
        QProcess crashed;
        start(crashed, {QStringLiteral("-d")});
        QVERIFY(crashed.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(isUp(), 60000);
        crashed.kill(); // leaves its lock file and socket behind
        QVERIFY(crashed.waitForFinished(10000));
        QVERIFY(QDir(m_root->path() + QStringLiteral("/app/Log")).removeRecursively());

        QProcess next;
        start(next, {QStringLiteral("-d")});
        QVERIFY(next.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(isUp(), 60000);
        QCOMPARE(next.state(), QProcess::Running);

        QProcess another;
        start(another, {});
        QVERIFY(another.waitForFinished(60000));
        QCOMPARE(another.exitCode(), 255);
        QTRY_COMPARE_WITH_TIMEOUT(receivedMessages(), 1, 10000);
        stop(next);
    }

    // Without a runtime folder, a fallback folder in the temporary folder
    // that another user made (holding a lock and listening) is not used: the
    // program starts on its own and hands nothing over.
    void foreignFallbackFolderIsNotUsed()
    {
        const QString tmp = m_root->path() + QStringLiteral("/tmp");
        const QByteArray user = ::getpwuid(::geteuid())->pw_name;
        const QString qtRuntime = tmp + QStringLiteral("/runtime-") + QString::fromLocal8Bit(user);
        const QString fallback = tmp + QStringLiteral("/harrier-") + QString::number(::geteuid());
        for (const QString &folder : {qtRuntime, fallback}) {
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions(0x7777)));
            if (::chown(QFile::encodeName(folder).constData(), 65534, 65534) != 0)
                QSKIP("making another user's folder needs root");
        }
        QLockFile lock(fallback + QStringLiteral("/Osprey.lock"));
        QVERIFY(lock.tryLock(0));
        QLocalServer other;
        QVERIFY(other.listen(fallback + QStringLiteral("/Osprey.socket")));
        QSignalSpy connections(&other, &QLocalServer::newConnection);

        QProcess copy;
        start(copy, {QStringLiteral("-d")}, false);
        QVERIFY(copy.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(isUp() || copy.state() == QProcess::NotRunning, 60000);
        QCOMPARE(copy.state(), QProcess::Running);
        QCOMPARE(connections.count(), 0);
        stop(copy);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
