#include "online/CloudSync.h"

#include "online/AccountOperations.h"
#include "online/FileDownloader.h"
#include "online/ServiceAddress.h"
#include "store/JsonHandle.h"
#include "store/TextTable.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

namespace {

CloudSync::Result failed(CloudSync::Outcome outcome, const QString &message)
{
    CloudSync::Result result;
    result.outcome = outcome;
    result.message = message;
    return result;
}

CloudSync::Result fromCode(int code, const QString &message)
{
    if (code == KVAccountManage::kLoginExpiredCode)
        return failed(CloudSync::Outcome::LoginExpired, message);
    return failed(CloudSync::Outcome::Failed, message);
}

} // namespace

CloudSync::CloudSync(QObject *parent) : QObject(parent) {}

QString CloudSync::localFolder(int mouseType)
{
    return JsonHandle::currentConfigMouseLocalFilePath(mouseType);
}

QString CloudSync::macroFolder()
{
    return JsonHandle::macroFolderPath();
}

void CloudSync::setWaitLimits(int replyMs, int fileMs)
{
    m_replyWaitMs = replyMs;
    m_fileWaitMs = fileMs;
}

int CloudSync::waitFlag(const int &flag, int ms)
{
    const QDeadlineTimer deadline(ms);
    while (flag == 0 && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
        if (flag == 0)
            QThread::msleep(5);
    }
    return flag;
}

// ---------------------------------------------------------------- upload

CloudSync::Result CloudSync::upload(int mouseType)
{
    if (ServiceAddress::baseUrl().isEmpty())
        return failed(Outcome::Unavailable, KVAccountManage::unavailableText());
    Result result = uploadFolder(localFolder(mouseType), false, mouseType);
    if (result.outcome != Outcome::Done)
        return result;
    return uploadFolder(macroFolder(), true, mouseType);
}

CloudSync::Result CloudSync::uploadFolder(const QString &folder, bool isMacro, int mouseType)
{
    int flag = 0;
    int code = KVAccountManage::kNoCode;
    QString message;
    QString serverPath;
    UploadFile upload;
    connect(&upload, &UploadFile::sigUploadFileRet, &upload, [&](int rCode, QString rMsg, QString path) {
        code = rCode;
        message = rMsg;
        serverPath = path;
        flag = 1;
    });
    upload.KvUploadFile(folder, isMacro);
    if (!waitFlag(flag, m_replyWaitMs)) {
        qDebug() << "checkUploadState waitFlagTimeOut";
        return failed(Outcome::TimedOut, TextTable::text(TextTable::TextCloudTimedOut));
    }
    if (code != 0)
        return fromCode(code, message);

    flag = 0;
    SaveConfigInfo save;
    connect(&save, &SaveConfigInfo::sigSaveConfRet, &save, [&](int rCode, QString rMsg) {
        code = rCode;
        message = rMsg;
        flag = 1;
    });
    save.KvSaveConfigInfoJson(serverPath, QString::number(mouseType),
                              isMacro ? QStringLiteral("MacroConfig") : QStringLiteral("LocalConfig"));
    if (!waitFlag(flag, m_replyWaitMs)) {
        qDebug() << "checkUploadState waitFlagTimeOut";
        return failed(Outcome::TimedOut, TextTable::text(TextTable::TextCloudTimedOut));
    }
    if (code != 0)
        return fromCode(code, message);
    return Result();
}

// ---------------------------------------------------------------- download

CloudSync::Result CloudSync::download(int mouseType)
{
    if (ServiceAddress::baseUrl().isEmpty())
        return failed(Outcome::Unavailable, KVAccountManage::unavailableText());
    Result result = downloadFolder(QString::number(mouseType), localFolder(mouseType), QStringLiteral("LocalFile.zip"));
    if (result.outcome != Outcome::Done)
        return result;
    Result macros = downloadFolder(QString(), macroFolder(), QStringLiteral("MacroFiles.zip"));
    macros.localConfigReplaced = true;
    return macros;
}

CloudSync::Result CloudSync::downloadFolder(const QString &configType, const QString &folder,
                                            const QString &archiveName)
{
    int flag = 0;
    int code = KVAccountManage::kNoCode;
    QString message;
    QString filePath;
    GetDownLoadFilePath ask;
    connect(&ask, &GetDownLoadFilePath::sig_DownLoadFilePathRet, &ask,
            [&](int rCode, QString, QString rMsg, QString path) {
                code = rCode;
                message = rMsg;
                filePath = path;
                flag = 1;
            });
    ask.KvDownLoadFilePathJson(configType);
    if (!waitFlag(flag, m_replyWaitMs)) {
        qDebug() << "sig_GetDownLoadFilePath waitFlagTimeOut";
        return failed(Outcome::TimedOut, TextTable::text(TextTable::TextCloudTimedOut));
    }
    if (code == KVAccountManage::kLoginExpiredCode)
        qDebug() << "slot_getDownLoadFilePathResult Login Failed";
    if (code != 0)
        return fromCode(code, message);
    if (filePath.isEmpty())
        return failed(Outcome::Failed, TextTable::text(TextTable::TextCloudNothingStored));

    // The service may name the archive relative to itself.
    const QUrl url = QUrl(ask.baseUrl() + QLatin1Char('/')).resolved(QUrl(filePath));
    flag = 0;
    FileDownloader downloader;
    connect(&downloader, &FileDownloader::downloaded, &downloader, [&flag] { flag = 1; });
    downloader.startDownlod(url);
    if (!waitFlag(flag, m_fileWaitMs)) {
        qDebug() << "FileDownloader waitFlagTimeOut";
        return failed(Outcome::TimedOut, TextTable::text(TextTable::TextCloudTimedOut));
    }
    if (!downloader.isComplete())
        return failed(Outcome::Failed, KVAccountManage::networkErrorText());

    QTemporaryDir scratch;
    const QString zipPath = scratch.path() + QLatin1Char('/') + archiveName;
    qDebug() << "saveFile" << archiveName;
    QFile zip(zipPath);
    if (!scratch.isValid() || !zip.open(QIODevice::WriteOnly) || zip.write(downloader.downloadedData()) < 0
        || !zip.flush()) {
        return failed(Outcome::Failed, TextTable::text(TextTable::TextCloudWriteFailed));
    }
    zip.close();

    qDebug() << "discondenseDownLoadFile";
    const ConfigArchive::Result extracted = ConfigArchive::extractSafely(zipPath, folder, m_limits);
    if (extracted == ConfigArchive::Result::Ok)
        qDebug() << "Succed to discondenseFile " << archiveName;
    else
        qDebug() << "Failed to discondenseFile " << archiveName << ConfigArchive::resultName(extracted);
    if (!QFile::remove(zipPath))
        qDebug() << "discondenseDownLoadFile Remove File Failed";

    switch (extracted) {
    case ConfigArchive::Result::Ok:
        return Result();
    case ConfigArchive::Result::WriteFailed:
        return failed(Outcome::Failed, TextTable::text(TextTable::TextCloudWriteFailed));
    default:
        return failed(Outcome::ArchiveRefused, TextTable::text(TextTable::TextCloudArchiveRefused));
    }
}
