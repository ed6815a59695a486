// harrierctl as separate programs beside each other: two commands at once
// wait their turn instead of taking each other for the window, and one
// waits while another holds the mice.
#include "platform/InstanceLock.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

class TestHarrierCtlProcesses : public QObject
{
    Q_OBJECT

    QTemporaryDir m_runtime;
    QTemporaryDir m_home;
    QString m_program;

    QProcess *start(const QStringList &arguments)
    {
        auto *p = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
        p->setProcessEnvironment(env);
        p->start(m_program, arguments);
        return p;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
        // A copy of its own: a program keeps its files beside itself, and
        // these must not land in the build folder.
        QVERIFY(QDir().mkpath(m_home.filePath(QStringLiteral("bin"))));
        m_program = m_home.filePath(QStringLiteral("bin/harrierctl"));
        QVERIFY(QFile::copy(QStringLiteral(HARRIERCTL), m_program));
    }

    void concurrentCommandsNeverSeeTheWindow()
    {
        const QStringList command{QStringLiteral("--emulate"), QStringLiteral("kestrel"), QStringLiteral("set"),
                                  QStringLiteral("rate"), QStringLiteral("500")};
        for (int round = 0; round < 6; ++round) {
            QProcess *a = start(command);
            QProcess *b = start(command);
            for (QProcess *p : {a, b}) {
                QVERIFY(p->waitForFinished(60000));
                const QByteArray err = p->readAllStandardError();
                QVERIFY2(p->exitCode() == 0, err.constData());
                QVERIFY2(!err.contains("HarrierDriver is running"), err.constData());
            }
            delete a;
            delete b;
        }
    }

    void aCommandWaitsForTheOneHoldingTheMice()
    {
        QLockFile other(InstanceLock::lockPath(QStringLiteral("harrierctl")));
        QVERIFY(other.tryLock(0));
        QProcess *p = start({QStringLiteral("--emulate"), QStringLiteral("kestrel"), QStringLiteral("show")});
        QVERIFY(!p->waitForFinished(1500));
        other.unlock();
        QVERIFY(p->waitForFinished(60000));
        QCOMPARE(p->exitCode(), 0);
    }

    // A lock file nobody holds, in every shape it has been found in, is
    // cleared at once with a note saying what was wrong: never the 120 s
    // wait and refusal, run after run. One the program cannot remove
    // (a folder) is refused at once, saying what to do.
    void abandonedLockFiles_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<bool>("old");
        QTest::addColumn<QString>("said");
        QTest::newRow("left by a killed run") << "killed" << false << "has ended";
        QTest::newRow("random bytes") << "random" << true << "damaged";
        QTest::newRow("random bytes, just written") << "random" << false << "damaged";
        QTest::newRow("empty") << "empty" << true << "empty";
        QTest::newRow("dangling symbolic link") << "dangling" << false << "symbolic link";
        QTest::newRow("symbolic link to a file") << "link" << false << "symbolic link";
        QTest::newRow("own lock at mode 000") << "mode000" << true << "has ended";
        QTest::newRow("another user's stale lock") << "foreign" << true << "";
    }
    void abandonedLockFiles()
    {
        QFETCH(QString, shape);
        QFETCH(bool, old);
        QFETCH(QString, said);
        const QString path = InstanceLock::lockPath(QStringLiteral("harrierctl"));
        const QByteArray name = QFile::encodeName(path);
        QFile::remove(path);
        const auto write = [&](const QByteArray &text) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(text);
        };
        // Above the kernel's largest process number: no live process has it.
        const QByteArray deadPid = QByteArray::number(qint64(0x3FFFFFFF)) + "\nharrierctl\nhost\n";
        if (shape == QLatin1String("killed")) {
            write(deadPid);
        } else if (shape == QLatin1String("random")) {
            QByteArray noise;
            for (int i = 0; i < 64; ++i)
                noise += char(QRandomGenerator::global()->bounded(1, 256));
            noise[0] = 'x';
            write(noise);
        } else if (shape == QLatin1String("empty")) {
            write({});
        } else if (shape == QLatin1String("dangling")) {
            QVERIFY(QFile::link(m_runtime.filePath(QStringLiteral("nowhere")), path));
        } else if (shape == QLatin1String("link")) {
            const QString target = m_home.filePath(QStringLiteral("target"));
            QFile t(target);
            QVERIFY(t.open(QIODevice::WriteOnly));
            t.write(deadPid);
            t.close();
            QVERIFY(QFile::link(target, path));
        } else if (shape == QLatin1String("mode000")) {
            write(deadPid);
            QVERIFY(::chmod(name.constData(), 0) == 0);
        } else if (shape == QLatin1String("foreign")) {
            write(deadPid);
            if (::getuid() != 0)
                QSKIP("making another user's file needs root");
            QVERIFY(::chown(name.constData(), 65534, 65534) == 0);
            QVERIFY(::chmod(name.constData(), 0600) == 0);
        }
        if (old) {
            const QDateTime then = QDateTime::currentDateTime().addSecs(-600);
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(then, QFileDevice::FileModificationTime));
        }
        QElapsedTimer took;
        took.start();
        QProcess *p = start({QStringLiteral("--emulate"), QStringLiteral("kestrel"), QStringLiteral("show")});
        QVERIFY(p->waitForFinished(30000));
        const QString err = QString::fromLocal8Bit(p->readAllStandardError());
        QVERIFY2(p->exitCode() == 0, qPrintable(err));
        QVERIFY2(err.contains(QStringLiteral("removed the abandoned lock")) && err.contains(said), qPrintable(err));
        QVERIFY2(took.elapsed() < 20000, "it waited for a lock nobody held");
        if (shape == QLatin1String("link"))
            QVERIFY(QFile::exists(m_home.filePath(QStringLiteral("target")))); // only the link goes
        delete p;

        // The next run finds nothing to say.
        p = start({QStringLiteral("--emulate"), QStringLiteral("kestrel"), QStringLiteral("show")});
        QVERIFY(p->waitForFinished(30000));
        QCOMPARE(p->exitCode(), 0);
        QVERIFY(!p->readAllStandardError().contains("removed"));
        delete p;
    }

    // An emulated mouse keeps its memory from one run to the next, as a real
    // one does; --emulate-fresh starts it factory-fresh, and a damaged
    // memory file gives a fresh mouse with a warning.
    void anEmulatedMouseKeepsItsMemory()
    {
        const auto run = [this](const QStringList &arguments) {
            QProcess *p = start(arguments);
            p->waitForFinished(30000);
            const QString out = QString::fromLocal8Bit(p->readAllStandardOutput() + p->readAllStandardError());
            delete p;
            return out;
        };
        const QStringList mouse{QStringLiteral("--emulate"), QStringLiteral("wren")};
        run(mouse + QStringList{QStringLiteral("--emulate-fresh"), QStringLiteral("set"), QStringLiteral("rate"),
                                QStringLiteral("250")});
        QVERIFY(run(mouse + QStringList{QStringLiteral("show")}).contains(QStringLiteral("Report rate:   250 Hz")));
        QVERIFY(run(mouse + QStringList{QStringLiteral("--emulate-fresh"), QStringLiteral("show")})
                    .contains(QStringLiteral("Report rate:   1000 Hz")));
        const QString kept = m_home.filePath(QStringLiteral("data/HarrierDriver/emulated/wren.mem"));
        QVERIFY2(QFile::exists(kept), qPrintable(kept));
        QFile damaged(kept);
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("not a memory");
        damaged.close();
        const QString fresh = run(mouse + QStringList{QStringLiteral("show")});
        QVERIFY2(fresh.contains(QStringLiteral("Report rate:   1000 Hz")) && fresh.contains(QStringLiteral("damaged")),
                 qPrintable(fresh));
    }

    void aLockThatCannotBeRemovedIsSaidAtOnce()
    {
        const QString path = InstanceLock::lockPath(QStringLiteral("harrierctl"));
        QFile::remove(path);
        QVERIFY(QDir().mkpath(path));
        QElapsedTimer took;
        took.start();
        QProcess *p = start({QStringLiteral("--emulate"), QStringLiteral("kestrel"), QStringLiteral("show")});
        QVERIFY(p->waitForFinished(30000));
        const QString err = QString::fromLocal8Bit(p->readAllStandardError());
        QCOMPARE(p->exitCode(), 6);
        QVERIFY2(err.contains(QStringLiteral("rm -rf '%1'").arg(path)), qPrintable(err));
        QVERIFY(took.elapsed() < 20000);
        QVERIFY(QDir(path).removeRecursively());
        delete p;
    }
};

QTEST_GUILESS_MAIN(TestHarrierCtlProcesses)
#include "tst_harrierctlprocesses.moc"
