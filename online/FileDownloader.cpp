#include "online/FileDownloader.h"

#include <QDebug>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

FileDownloader::FileDownloader(QObject *parent)
    : QObject(parent)
    , m_networkManager(new QNetworkAccessManager(this))
{
    m_networkManager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    connect(m_networkManager, &QNetworkAccessManager::finished, this, &FileDownloader::fileDownloaded);
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
    QNetworkReply *reply = m_networkManager->get(request);
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64 total) {
        if (received > kMaxBytes || total > kMaxBytes) {
            qWarning() << "startDownlod: too large" << received << total;
            reply->abort();
        }
    });
}

void FileDownloader::fileDownloaded(QNetworkReply *reply)
{
    reply->deleteLater();
    m_data = reply->readAll();
    const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
    m_complete = reply->error() == QNetworkReply::NoError && m_data.size() <= kMaxBytes
                 && (!announced.isValid() || announced.toLongLong() == m_data.size());
    if (!m_complete)
        qWarning() << "fileDownloaded incomplete" << int(reply->error()) << m_data.size();
    emit downloaded();
}
