#pragma once
// Upload and download of the two folders the account keeps: the model's
// local folder ("LocalFile.zip") and the macro folder ("MacroFiles.zip").
// Each step is a request whose answer is awaited with the GUI kept alive.
#include "online/ConfigArchive.h"

#include <QObject>
#include <QString>

class CloudSync : public QObject
{
    Q_OBJECT
public:
    // How long each step may take before the sequence gives up.
    static constexpr int kReplyWaitMs = 10000;
    static constexpr int kFileWaitMs = 20000;

    enum class Outcome {
        Done,
        Unavailable,    // no usable service address: nothing was sent
        Failed,         // a step answered with an error; message says which
        TimedOut,       // a step gave no answer in time
        LoginExpired,   // the service no longer accepts the stored token
        ArchiveRefused, // the downloaded archive was unsafe, damaged or too large
    };

    struct Result
    {
        Outcome outcome = Outcome::Done;
        QString message;
        // The model's local folder was replaced by the download.
        bool localConfigReplaced = false;
    };

    explicit CloudSync(QObject *parent = nullptr);

    // Uploads the local folder of mouseType and the macro folder, registering each.
    Result upload(int mouseType);
    // Downloads and swaps in the local folder of mouseType, then the macro folder.
    Result download(int mouseType);

    // The folders exchanged with the service.
    static QString localFolder(int mouseType);
    static QString macroFolder();

    // Shorter waits and limits for tests.
    void setWaitLimits(int replyMs, int fileMs);
    void setArchiveLimits(const ConfigArchive::Limits &limits) { m_limits = limits; }

    // Keeps the GUI running until flag is non-zero or ms have passed; returns flag.
    static int waitFlag(const int &flag, int ms);

private:
    Result uploadFolder(const QString &folder, bool isMacro, int mouseType);
    Result downloadFolder(const QString &configType, const QString &folder, const QString &archiveName);

    int m_replyWaitMs = kReplyWaitMs;
    int m_fileWaitMs = kFileWaitMs;
    ConfigArchive::Limits m_limits;
};
