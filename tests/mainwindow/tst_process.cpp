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
        QTemporaryDir dir;
        const QString path = copyProgram(dir, QStringLiteral("TestRestart3.exe"));
        QVERIFY(!path.isEmpty());
        QVERIFY(!Process::isRunning(QStringLiteral("TestRestart3.exe")));

        QProcess restarter;
        restarter.start(path, {QStringLiteral("30")});
        QVERIFY(restarter.waitForStarted());
        QTRY_VERIFY(Process::isRunning(QStringLiteral("TestRestart3.exe")));
        QVERIFY(Process::isRunning(QStringLiteral("testrestart3.EXE")));
        QVERIFY(!Process::isRunning(QStringLiteral("TestRestart3")));
        QVERIFY(!Process::isRunning(QStringLiteral("KorvanUpdataOnce.exe")));

        QCOMPARE(Process::endAll(QStringLiteral("TestRestart3.exe")), 1);
        QVERIFY(restarter.waitForFinished(5000));
        QCOMPARE(restarter.exitStatus(), QProcess::CrashExit);
        QVERIFY(!Process::isRunning(QStringLiteral("TestRestart3.exe")));
        QCOMPARE(Process::endAll(QStringLiteral("TestRestart3.exe")), 0);
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
