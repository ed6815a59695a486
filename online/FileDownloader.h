#pragma once
// Fetches one file of the web service with a GET request and keeps its body.
#include <QByteArray>
#include <QObject>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

class FileDownloader : public QObject
{
    Q_OBJECT
public:
    // A body larger than this is not one of our archives: the transfer is cut off.
    static constexpr qint64 kMaxBytes = 64 * 1024 * 1024;
    static constexpr int kTransferTimeoutMs = 30000;

    explicit FileDownloader(QObject *parent = nullptr);
    ~FileDownloader() override;

    // The body of the last download (empty until one finished).
    QByteArray downloadedData() const { return m_data; }
    // True when the last download delivered its whole body: no network error,
    // the length announced, an https address.
    bool isComplete() const { return m_complete; }

public slots:
    // Fetches url, replacing what an earlier download kept; downloaded() follows.
    void startDownlod(const QUrl &url);

signals:
    void downloaded();

private slots:
    void fileDownloaded(QNetworkReply *reply);

private:
    QNetworkAccessManager *m_networkManager; // lives on the transfer thread
    QByteArray m_data;
    bool m_complete = false;
};
