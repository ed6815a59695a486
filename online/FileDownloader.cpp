#include "online/FileDownloader.h"

#include "online/TransferThread.h"

#include <QDebug>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

FileDownloader::FileDownloader(QObject *parent)
    : QObject(parent)
    , m_networkManager(new QNetworkAccessManager)
{
    m_networkManager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    // Replies finish on the transfer thread and reach this object queued.
    connect(m_networkManager, &QNetworkAccessManager::finished, this, &FileDownloader::fileDownloaded);
    TransferThread::adopt(m_networkManager);
}

FileDownloader::~FileDownloader()
{
    QNetworkAccessManager *manager = m_networkManager;
    TransferThread::run([manager] { delete manager; });
}

void FileDownloader::startDownlod(const QUrl &url)
{
    m_data.clear();
    m_complete = false;
    // Settings are only taken over https, where they cannot be changed on the way.
    if (url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) != 0) {
        qWarning() << "startDownlod refused: not https";
        QTimer::singleShot(0, this, &FileDownloader::downloaded);
        return;
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(kTransferTimeoutMs);
    // On the transfer thread, which does nothing else: the body is cut off
    // as it passes the limit, however busy the window's thread is.
    TransferThread::run([this, request] {
        QNetworkReply *reply = m_networkManager->get(request);
        const auto tooLarge = [reply](qint64 received, qint64 total) {
            if ((received > kMaxBytes || total > kMaxBytes) && reply->isRunning()) {
                qWarning() << "startDownlod: too large" << received << total;
                reply->abort();
            }
        };
        connect(reply, &QNetworkReply::downloadProgress, reply, tooLarge);
        // readyRead comes with every chunk; downloadProgress is throttled.
        connect(reply, &QNetworkReply::readyRead, reply, [reply, tooLarge] { tooLarge(reply->bytesAvailable(), 0); });
    });
}

void FileDownloader::fileDownloaded(QNetworkReply *reply)
{
    m_data = reply->readAll();
    const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
    m_complete = reply->error() == QNetworkReply::NoError && m_data.size() <= kMaxBytes
                 && (!announced.isValid() || announced.toLongLong() == m_data.size());
    if (!m_complete)
        qWarning() << "fileDownloaded incomplete" << int(reply->error()) << m_data.size();
    // On the transfer thread, where it lives, once read here.
    reply->deleteLater();
    emit downloaded();
}
