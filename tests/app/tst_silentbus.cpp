// A session bus that accepts the connection and never answers: the window's
// thread goes on (a notification is posted, never waited for), the tray's
// balloon stands in where the bus gives no answer at all, and the program
// still ends.
#include "app/Notifier.h"
#include "platform/SessionBus.h"
#include "store/TextTable.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

class TestSilentBus : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_listener = -1;

private slots:
    void initTestCase()
    {
        // Listening, never accepting: the kernel completes the connection,
        // and nothing ever reads what the client says.
        const QByteArray path = QFile::encodeName(m_dir.filePath(QStringLiteral("bus")));
        m_listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(m_listener >= 0);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        QVERIFY(size_t(path.size()) < sizeof address.sun_path);
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
        QVERIFY(::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
        QVERIFY(::listen(m_listener, 16) == 0);
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + path);
        TextTable::loadTextTable(QFINDTESTDATA("../../resources/translate.json"), TextTable::kEnglishSlot);
    }

    void cleanupTestCase()
    {
        // Ends with the bus thread still waiting: the test would hang here if it could not.
        SessionBus::shutDown();
        ::close(m_listener);
    }

    // The program started on that bus says so and does not wait on it: its
    // window is built (offscreen) and it keeps running.
    void theProgramSetsTheBusAside()
    {
        QTemporaryDir home;
        QDir().mkpath(home.filePath(QStringLiteral("runtime")));
        QFile::setPermissions(home.filePath(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("runtime")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HARRIER_LOG"), QStringLiteral("verbose"));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(HARRIERDRIVER), {QStringLiteral("--emulate"), QStringLiteral("kestrel")});
        QVERIFY(program.waitForStarted());
        QByteArray err;
        QTRY_VERIFY_WITH_TIMEOUT((err += program.readAllStandardError(), err.contains("did not answer")), 20000);
        // Past the bus, the window is built and the emulated mouse opened.
        QTRY_VERIFY_WITH_TIMEOUT((err += program.readAllStandardError(), err.contains("openDevice")), 20000);
        QCOMPARE(program.state(), QProcess::Running);
        program.kill();
        program.waitForFinished();
    }

    void theWindowThreadGoesOn()
    {
        Notifier notifier(nullptr);
        QSignalSpy said(&notifier, &Notifier::notified);
        int ticks = 0;
        QTimer frame;
        connect(&frame, &QTimer::timeout, this, [&ticks] { ++ticks; });
        frame.start(16);
        notifier.firmwareUpdateEnded(true);
        notifier.keptInTray();
        QCOMPARE(said.count(), 2);
        // The thread keeps drawing frames while the bus says nothing.
        QTRY_VERIFY_WITH_TIMEOUT(ticks >= 30, 5000);
        notifier.batteryValue(4);
        QCOMPARE(said.count(), 3);
        QTRY_VERIFY_WITH_TIMEOUT(ticks >= 60, 5000);
    }
};

QTEST_MAIN(TestSilentBus)
#include "tst_silentbus.moc"
