// harrierctl as separate programs beside each other: two commands at once
// wait their turn instead of taking each other for the window, and one
// waits while another holds the mice.
#include "platform/InstanceLock.h"

#include <QElapsedTimer>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

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
};

QTEST_GUILESS_MAIN(TestHarrierCtlProcesses)
#include "tst_harrierctlprocesses.moc"
