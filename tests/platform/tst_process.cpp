#include "platform/Process.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// The process helper against real processes: a copy of a system program
// under the name the window looks for.
class TestProcess : public QObject
{
    Q_OBJECT

private:
    QString copyProgram(const QTemporaryDir &dir, const QString &name)
    {
        const QString path = dir.filePath(name);
        if (!QFile::copy(QStringLiteral("/bin/sleep"), path))
            return QString();
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
        return path;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void findsAndEndsAProgramByName()
    {
        // A name of this run's own: other suites end "TestRestart3.exe" whenever a window starts.
        const QString name = QStringLiteral("Restart-%1.exe").arg(QCoreApplication::applicationPid());
        QTemporaryDir dir;
        const QString path = copyProgram(dir, name);
        QVERIFY(!path.isEmpty());
        QVERIFY(!Process::isRunning(name));

        QProcess restarter;
        restarter.start(path, {QStringLiteral("30")});
        QVERIFY(restarter.waitForStarted());
        QTRY_VERIFY(Process::isRunning(name));
        QVERIFY(Process::isRunning(name.toUpper()));
        QVERIFY(!Process::isRunning(name.chopped(4)));
        QVERIFY(!Process::isRunning(QStringLiteral("Restart-.exe")));

        QCOMPARE(Process::endAll(name), 1);
        QVERIFY(restarter.waitForFinished(5000));
        QCOMPARE(restarter.exitStatus(), QProcess::CrashExit);
        QVERIFY(!Process::isRunning(name));
        QCOMPARE(Process::endAll(name), 0);
    }

    void neverEndsItself()
    {
        const QString self = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        QVERIFY(!Process::isRunning(self));
        QCOMPARE(Process::endAll(self), 0);
        QCOMPARE(Process::endAll(QString()), 0);
    }

    void startsAProgramDetached()
    {
        QTemporaryDir dir;
        const QString marker = dir.filePath(QStringLiteral("started"));
        const QString program = dir.filePath(QStringLiteral("TestRestart3.exe"));
        QFile script(program);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\ntouch \"$(dirname \"$0\")/started\"\n");
        script.close();
        QVERIFY(!Process::startDetached(program)); // not executable yet
        script.setPermissions(script.permissions() | QFile::ExeOwner);

        QVERIFY(Process::startDetached(program));
        QTRY_VERIFY(QFile::exists(marker));
        QVERIFY(!Process::startDetached(dir.filePath(QStringLiteral("missing.exe"))));
    }
};

QTEST_GUILESS_MAIN(TestProcess)
#include "tst_process.moc"
