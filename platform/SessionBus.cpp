#include "platform/SessionBus.h"

#include "platform/Log.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusPendingCallWatcher>
#include <QElapsedTimer>
#include <QPointer>
#include <QThread>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace SessionBus {

namespace {

// The thread every bus exchange runs on, and an object living there to post to.
struct Link
{
    QThread *thread = nullptr;
    QObject *worker = nullptr;
};

Link *g_link = nullptr;
bool g_shutDown = false;
// A thread still stuck in a silent bus at exit, kept reachable on purpose:
// it cannot be ended, and the process ends it.
Link g_stuck;

Link *link()
{
    // Made on the application's thread on first use; the bus is never
    // touched anywhere else, so nothing races this.
    if (!g_link && !g_shutDown) {
        g_link = new Link;
        g_link->thread = new QThread;
        g_link->thread->setObjectName(QStringLiteral("session-bus"));
        g_link->worker = new QObject;
        g_link->worker->moveToThread(g_link->thread);
        QObject::connect(g_link->thread, &QThread::finished, g_link->worker, &QObject::deleteLater);
        g_link->thread->start();
    }
    return g_link;
}

// The bus, connected on first use; blocks the bus thread only.
QDBusConnection bus()
{
    return QDBusConnection::sessionBus();
}

} // namespace

#ifdef Q_OS_UNIX

namespace {

// The socket of the first unix entry of a bus address ("unix:path=..." or
// "unix:abstract=..."); false when it names none.
bool socketOf(const QByteArray &address, sockaddr_un *out, socklen_t *length)
{
    for (const QByteArray &entry : address.split(';')) {
        if (!entry.startsWith("unix:"))
            continue;
        for (const QByteArray &pair : entry.mid(5).split(',')) {
            const bool abstract = pair.startsWith("abstract=");
            if (!abstract && !pair.startsWith("path="))
                continue;
            const QByteArray name = QByteArray::fromPercentEncoding(pair.mid(pair.indexOf('=') + 1));
            *out = {};
            out->sun_family = AF_UNIX;
            const int offset = abstract ? 1 : 0; // an abstract name starts with a zero byte
            if (name.isEmpty() || size_t(name.size() + offset) >= sizeof out->sun_path)
                return false;
            std::memcpy(out->sun_path + offset, name.constData(), size_t(name.size()));
            *length = socklen_t(offsetof(sockaddr_un, sun_path) + size_t(offset) + size_t(name.size()) + (abstract ? 0 : 1));
            return true;
        }
    }
    return false;
}

// Sends the credentials byte and an AUTH line, and waits for the bus's
// first reply line: any line is an answer.
bool answers(const sockaddr_un &address, socklen_t length, int timeoutMs, QString *why)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return true; // nothing to judge by; leave it to the bus library
    const auto done = [fd](bool result) {
        ::close(fd);
        return result;
    };
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), length) != 0 && errno != EINPROGRESS) {
        // Refused or missing: the bus library fails at once too.
        return done(true);
    }
    QElapsedTimer clock;
    clock.start();
    const QByteArray uid = QByteArray::number(qulonglong(::getuid())).toHex();
    const QByteArray hello = QByteArray(1, '\0') + "AUTH EXTERNAL " + uid + "\r\n";
    int sent = 0;
    while (sent < hello.size()) {
        pollfd p = {fd, POLLOUT, 0};
        if (::poll(&p, 1, int(qMax<qint64>(0, timeoutMs - clock.elapsed()))) <= 0)
            break;
        const ssize_t n = ::send(fd, hello.constData() + sent, size_t(hello.size() - sent), MSG_NOSIGNAL);
        if (n <= 0)
            return done(true);
        sent += int(n);
    }
    while (sent == hello.size() && clock.elapsed() < timeoutMs) {
        pollfd p = {fd, POLLIN, 0};
        if (::poll(&p, 1, int(qMax<qint64>(0, timeoutMs - clock.elapsed()))) <= 0)
            break;
        char reply[64];
        if (::recv(fd, reply, sizeof reply, 0) != 0)
            return done(true); // a reply, or a closed socket the library also sees at once
    }
    if (why)
        *why = QStringLiteral("the session bus accepted the connection but did not answer within %1 ms").arg(timeoutMs);
    return done(false);
}

} // namespace

bool setAsideIfSilent(int timeoutMs, QString *why)
{
    QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    if (address.isEmpty()) {
        // The bus library's own fallback: the bus in the runtime folder.
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        if (runtime.isEmpty())
            return true;
        address = "unix:path=" + runtime + "/bus";
    }
    sockaddr_un socketAddress;
    socklen_t length = 0;
    if (!socketOf(address, &socketAddress, &length))
        return true;
    if (answers(socketAddress, length, timeoutMs, why))
        return true;
    // An address no transport takes: the bus library gives up at once.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    return false;
}

#else

bool setAsideIfSilent(int, QString *)
{
    return true;
}

#endif

void call(const QDBusMessage &message, QObject *context,
          std::function<void(bool, const QDBusMessage &, const QString &)> done)
{
    Link *l = link();
    if (!l)
        return;
    QPointer<QObject> guard(context);
    // Answers travel back through the application object, which outlives
    // any context; the context itself is checked there, on its own thread.
    QObject *home = QCoreApplication::instance();
    const auto answer = [home, guard, done](bool ok, const QDBusMessage &reply, const QString &error) {
        if (!home)
            return;
        QMetaObject::invokeMethod(
            home,
            [guard, done, ok, reply, error] {
                if (guard && done)
                    done(ok, reply, error);
            },
            Qt::QueuedConnection);
    };
    QMetaObject::invokeMethod(
        l->worker,
        [message, answer, worker = l->worker] {
            QDBusConnection connection = bus();
            if (!connection.isConnected()) {
                const QString why = connection.lastError().message();
                answer(false, QDBusMessage(), why.isEmpty() ? QStringLiteral("no session bus") : why);
                return;
            }
            auto *watcher = new QDBusPendingCallWatcher(connection.asyncCall(message), worker);
            QObject::connect(watcher, &QDBusPendingCallWatcher::finished, worker, [answer](QDBusPendingCallWatcher *w) {
                const QDBusMessage reply = w->reply();
                if (w->isError())
                    answer(false, reply, w->error().message());
                else
                    answer(true, reply, QString());
                w->deleteLater();
            });
        },
        Qt::QueuedConnection);
}

void send(const QDBusMessage &message)
{
    Link *l = link();
    if (!l)
        return;
    QMetaObject::invokeMethod(
        l->worker,
        [message] {
            QDBusConnection connection = bus();
            if (connection.isConnected())
                connection.send(message);
        },
        Qt::QueuedConnection);
}

void shutDown()
{
    g_shutDown = true;
    if (!g_link)
        return;
    g_link->thread->quit();
    if (g_link->thread->wait(1000)) {
        delete g_link->thread;
    } else {
        // Stuck connecting to a bus that never answered: the thread cannot
        // be ended from here, and destroying it running would abort.
        qCWarning(lcPlatform) << "SessionBus: the session bus never answered; leaving its thread at exit";
        g_stuck = *g_link;
    }
    delete g_link;
    g_link = nullptr;
}

} // namespace SessionBus
