#pragma once
#include <QApplication>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

// The application object of a program that runs once per user session.
// The first copy takes a lock file named by the key and listens on a local
// socket beside it, in the user's runtime folder; a later copy finds the
// lock taken, reports isRunning() and can send the first copy a message.
// A lock left behind by a crashed copy is taken over.
class SingleApplication : public QApplication
{
    Q_OBJECT
public:
    SingleApplication(int &argc, char **argv, const QString &key);
    ~SingleApplication() override;

    // True when another copy holds the key.
    bool isRunning() const;

    // Where the running copy is, for the person who started a second one:
    // the lock file and, when it can be read, the holder's process id.
    QString runningCopyText() const;

    // True when a running program holds the key, asked without becoming
    // the copy that holds it (a tool that must not work beside the program).
    static bool isHeld(const QString &key);

    // Sends `message` to the running copy, waiting at most `timeout` ms for
    // it to be taken; false when it could not be delivered.
    bool sendMessage(const QString &message, int timeout);

signals:
    // A later copy sent a message (first copy only).
    void messageReceived(const QString &message);

private:
    void acceptConnections();

    QString m_socketName;
    QString m_lockPath;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    bool m_isRunning = false;
};
