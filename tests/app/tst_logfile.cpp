// The hourly log file of "-d": its lines, its files and when it is installed.
#include "app/LogFile.h"
#include "app/Startup.h"
#include "platform/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <sys/stat.h>

namespace {
QDateTime g_now;
QDateTime fixedClock()
{
    return g_now;
}

QStringList fileLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void log(QtMsgType type, const QString &text)
{
    LogFile::messageHandler(type, QMessageLogContext(), text);
}
} // namespace

class TestLogFile : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_root;
    QString logFolder() const { return m_root->path() + QStringLiteral("/Log"); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        LogFile::setClock(fixedClock);
    }
    void cleanupTestCase()
    {
        LogFile::setClock(nullptr);
        AppPaths::setDataRoot(QString());
    }
    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
        AppPaths::setDataRoot(m_root->path());
        g_now = QDateTime(QDate(2024, 3, 5), QTime(9, 30, 0));
    }

    void lineText_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("expected");
        QTest::newRow("debug as it is") << int(QtDebugMsg) << "text";
        QTest::newRow("info as it is") << int(QtInfoMsg) << "text";
        QTest::newRow("warning") << int(QtWarningMsg) << "Warning: text";
        QTest::newRow("critical") << int(QtCriticalMsg) << "Critical: text";
        QTest::newRow("fatal") << int(QtFatalMsg) << "Fatal: text";
        QTest::newRow("unknown type") << 99 << "";
    }
    void lineText()
    {
        QFETCH(int, type);
        QFETCH(QString, expected);
        QCOMPARE(LogFile::lineText(QtMsgType(type), QStringLiteral("text")), expected);
    }

    void linesAcrossTheHourLandInTwoFiles()
    {
        g_now = QDateTime(QDate(2024, 3, 5), QTime(10, 59, 59));
        log(QtDebugMsg, QStringLiteral("before"));
        g_now = QDateTime(QDate(2024, 3, 5), QTime(11, 0, 0));
        log(QtWarningMsg, QStringLiteral("after"));

        QCOMPARE(fileLines(logFolder() + QStringLiteral("/2024_03_05_10.txt")),
                 QStringList{QStringLiteral("2024-03-05 10:59:59: before")});
        QCOMPARE(fileLines(logFolder() + QStringLiteral("/2024_03_05_11.txt")),
                 QStringList{QStringLiteral("2024-03-05 11:00:00: Warning: after")});
        QCOMPARE(QDir(logFolder()).entryList(QDir::Files).size(), 2);
    }

    // A new hour's file prunes the hourly files older than the days kept,
    // and leaves every other file alone.
    void oldHoursArePruned()
    {
        QVERIFY(QDir().mkpath(logFolder()));
        const QStringList old{QStringLiteral("2024_02_01_08.txt"), QStringLiteral("2024_02_20_09.txt")};
        const QStringList kept{QStringLiteral("2024_02_20_10.txt"), QStringLiteral("2024_03_05_08.txt"),
                               QStringLiteral("notes.txt"), QStringLiteral("2024_02_01.txt"),
                               QStringLiteral("2023_13_01_08.txt"), QStringLiteral("2023_12_01_24.txt")};
        for (const QString &name : old + kept) {
            QFile f(logFolder() + QLatin1Char('/') + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        g_now = QDateTime(QDate(2024, 3, 5), QTime(9, 30, 0)); // 14 days back: 2024-02-20 09:30
        log(QtDebugMsg, QStringLiteral("new hour"));
        for (const QString &name : old)
            QVERIFY2(!QFile::exists(logFolder() + QLatin1Char('/') + name), qPrintable(name));
        for (const QString &name : kept)
            QVERIFY2(QFile::exists(logFolder() + QLatin1Char('/') + name), qPrintable(name));
        QCOMPARE(LogFile::kKeepDays, 14);
    }

    void linesOfOneHourAppend()
    {
        log(QtDebugMsg, QStringLiteral("one"));
        g_now = g_now.addSecs(29 * 60 + 59);
        log(QtCriticalMsg, QStringLiteral("两"));
        QCOMPARE(fileLines(logFolder() + QStringLiteral("/2024_03_05_09.txt")),
                 (QStringList{QStringLiteral("2024-03-05 09:30:00: one"),
                              QStringLiteral("2024-03-05 09:59:59: Critical: 两")}));
    }

    void unwritableFileDropsTheMessage()
    {
        // A plain file where the folder should be: nothing can be created below it.
        QFile blocker(logFolder());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        log(QtWarningMsg, QStringLiteral("lost"));
        QVERIFY(QFileInfo(logFolder()).isFile());
        QCOMPARE(blocker.size(), 0);
    }

    // A FIFO or a link in place of the hour's file loses the line rather
    // than blocking the thread that logs or writing somewhere else.
    void specialFileInPlaceOfTheLogDropsTheMessage()
    {
        QVERIFY(QDir().mkpath(logFolder()));
        const QString path = logFolder() + QStringLiteral("/2024_03_05_09.txt");
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        log(QtWarningMsg, QStringLiteral("lost"));
        QVERIFY(!QFileInfo(path).isFile());

        QVERIFY(QFile::remove(path));
        const QString elsewhere = m_root->path() + QStringLiteral("/elsewhere.txt");
        QVERIFY(QFile::link(elsewhere, path));
        log(QtWarningMsg, QStringLiteral("lost"));
        QVERIFY(!QFileInfo::exists(elsewhere));
    }

    void linesFromSeveralThreadsStayWhole()
    {
        const int threads = 4;
        const int perThread = 200;
        std::vector<std::unique_ptr<QThread>> workers;
        for (int t = 0; t < threads; ++t) {
            workers.emplace_back(QThread::create([t] {
                for (int i = 0; i < perThread; ++i)
                    log(QtDebugMsg, QStringLiteral("thread %1 line %2 ").arg(t).arg(i).repeated(8));
            }));
            workers.back()->start();
        }
        for (auto &worker : workers)
            QVERIFY(worker->wait(60000));

        const QStringList lines = fileLines(logFolder() + QStringLiteral("/2024_03_05_09.txt"));
        QCOMPARE(lines.size(), threads * perThread);
        const QRegularExpression whole(QStringLiteral("^2024-03-05 09:30:00: (thread \\d line \\d+ ){8}$"));
        for (const QString &line : lines)
            QVERIFY2(whole.match(line).hasMatch(), qPrintable(line));
    }

    // Runs before anything installs the handler: installing happens once per process.
    void argumentsWithoutLowerCaseDInstallNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no arguments") << QStringList{QStringLiteral("HarrierDriver")};
        QTest::newRow("upper case") << QStringList{QStringLiteral("HarrierDriver"), QStringLiteral("-D")};
        QTest::newRow("longer") << QStringList{QStringLiteral("HarrierDriver"), QStringLiteral("-debug")};
        QTest::newRow("padded") << QStringList{QStringLiteral("HarrierDriver"), QStringLiteral(" -d")};
        QTest::newRow("double dash") << QStringList{QStringLiteral("HarrierDriver"), QStringLiteral("--d")};
    }
    void argumentsWithoutLowerCaseDInstallNothing()
    {
        QFETCH(QStringList, arguments);
        const QtMessageHandler before = qInstallMessageHandler(nullptr);
        qInstallMessageHandler(before);

        QVERIFY(!Startup::scanArguments(arguments));

        const QtMessageHandler after = qInstallMessageHandler(nullptr);
        qInstallMessageHandler(after);
        QVERIFY(after == before);
    }

    void dashDTwiceInstallsOneHandler()
    {
        const QtMessageHandler testHandler = qInstallMessageHandler(nullptr);
        qInstallMessageHandler(testHandler);

        QVERIFY(Startup::scanArguments(
            {QStringLiteral("HarrierDriver"), QStringLiteral("-d"), QStringLiteral("x"), QStringLiteral("-d")}));
        QVERIFY(!Startup::scanArguments({QStringLiteral("HarrierDriver"), QStringLiteral("-d")}));
        qDebug("only once");
        const QtMessageHandler installed = qInstallMessageHandler(testHandler);

        QVERIFY(installed == &LogFile::messageHandler);
        QCOMPARE(fileLines(logFolder() + QStringLiteral("/2024_03_05_09.txt")),
                 QStringList{QStringLiteral("2024-03-05 09:30:00: only once")});
    }
};

QTEST_GUILESS_MAIN(TestLogFile)
#include "tst_logfile.moc"
