#include "app/SingleApplication.h"

#include "platform/InstanceLock.h"
#include "platform/LocalFiles.h"

#include <QDataStream>
#include <QDebug>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <QtEndian>


namespace {

// A message is a 32-bit length and that many bytes of UTF-8; anything
// longer than this is not ours and is dropped.
constexpr quint32 kMaxMessageBytes = 64 * 1024;

QString lockPath(const QString &folder, const QString &key)
{
    return folder + QLatin1Char('/') + key + QStringLiteral(".lock");
}

} // namespace

SingleApplication::SingleApplication(int &argc, char **argv, const QString &key)
    : QApplication(argc, argv)
{
    const QString folder = InstanceLock::folder();
#ifdef Q_OS_WIN
    m_socketName = key + QStringLiteral("-") + qEnvironmentVariable("USERNAME");
#else
    m_socketName = folder + QLatin1Char('/') + key + QStringLiteral(".socket");
#endif
    m_lockPath = lockPath(folder, key);
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // A copy may run for weeks: the lock is stale only when its owner is gone.
    m_lock->setStaleLockTime(0);

    bool locked = m_lock->tryLock(0);
    if (!locked && m_lock->error() == QLockFile::LockFailedError) {
        // A lock nobody holds (damaged, a link, unreadable, left by a killed
        // copy) would otherwise keep the program from starting for good.
        QString what;
        if (InstanceLock::clearAbandoned(m_lockPath, &what) == InstanceLock::LockState::Cleared)
            locked = m_lock->tryLock(0);
        else if (!what.isEmpty())
            qWarning() << "SingleApplication:" << what;
    }
    if (locked) {
        acceptConnections();
        return;
    }
    if (m_lock->error() == QLockFile::LockFailedError) {
        m_isRunning = true;
        return;
    }
    // The lock cannot be made at all (no writable runtime folder): run
    // rather than refuse to start, without the single-instance guard.
    qWarning() << "SingleApplication: no instance lock in" << folder;
}

SingleApplication::~SingleApplication()
{
    if (m_server)
        m_server->close();
}

bool SingleApplication::isRunning() const
{
    return m_isRunning;
}

QString SingleApplication::runningCopyText() const
{
    qint64 pid = 0;
    QString host;
    QString application;
    if (m_lock && m_lock->getLockInfo(&pid, &host, &application) && pid > 0)
        return QStringLiteral("HarrierDriver is already running (process %1; its lock is %2).")
            .arg(pid)
            .arg(m_lockPath);
    return QStringLiteral("HarrierDriver is already running (its lock %1 is held).").arg(m_lockPath);
}

bool SingleApplication::isHeld(const QString &key)
{
    return InstanceLock::isHeld(key);
}

void SingleApplication::acceptConnections()
{
    // We hold the lock, so a socket left by a crashed copy is nobody's.
    QLocalServer::removeServer(m_socketName);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_socketName)) {
        qWarning() << "SingleApplication: cannot listen on" << m_socketName << m_server->errorString();
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            auto readMessage = [this, socket] {
                if (socket->bytesAvailable() < qint64(sizeof(quint32)))
                    return;
                uchar header[sizeof(quint32)];
                socket->peek(reinterpret_cast<char *>(header), sizeof header);
                const quint32 length = qFromBigEndian<quint32>(header);
                if (length > kMaxMessageBytes) {
                    socket->abort();
                    return;
                }
                if (socket->bytesAvailable() < qint64(sizeof header + length))
                    return;
                socket->skip(sizeof header);
                const QString message = QString::fromUtf8(socket->read(length));
                // Acknowledge, so the sender knows the message was taken.
                socket->write("\x01", 1);
                socket->flush();
                socket->disconnectFromServer();
                emit messageReceived(message);
            };
            connect(socket, &QLocalSocket::readyRead, socket, readMessage);
            // Bytes may have arrived before the connection above was made.
            readMessage();
        }
    });
}

bool SingleApplication::sendMessage(const QString &message, int timeout)
{
    const QByteArray payload = message.toUtf8();
    if (quint32(payload.size()) > kMaxMessageBytes)
        return false;
    QByteArray frame(sizeof(quint32), '\0');
    qToBigEndian(quint32(payload.size()), frame.data());
    frame += payload;

    // The first copy may hold the lock but not listen yet: retry until the deadline.
    QDeadlineTimer deadline(timeout);
    while (!deadline.hasExpired()) {
        // Our message goes to a copy of ours, never to someone else's socket.
        if (QFileInfo::exists(m_socketName) && !LocalFiles::ownedByUser(m_socketName)) {
            qWarning() << "SingleApplication: the socket" << m_socketName << "is not the user's";
            return false;
        }
        QLocalSocket socket;
        socket.connectToServer(m_socketName);
        if (socket.waitForConnected(int(deadline.remainingTime()))) {
            socket.write(frame);
            if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
                return false;
            // Wait for the acknowledgement, or for the first copy to hang up.
            socket.waitForReadyRead(int(deadline.remainingTime()));
            return socket.read(1) == QByteArray(1, '\x01');
        }
        QThread::msleep(100);
    }
    return false;
}
