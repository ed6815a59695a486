#pragma once
// Usage statistics as Measurement Protocol hits. Nothing is collected or
// sent until the user has agreed ("GAnalytics-enabled" = 1) and an https
// collection address is configured ("GAnalytics-url"); both, and the client
// and user identifiers ("GAnalytics-cid", "GAnalytics-uid"), live in
// "/system/mouse.ini" below the application folder.
#include <QObject>
#include <QQueue>
#include <QString>
#include <QUrlQuery>

class QNetworkAccessManager;
class QNetworkReply;

class GAnalytics : public QObject
{
    Q_OBJECT
public:
    // Hits waiting beyond this many are dropped, oldest first.
    static constexpr int kMaxQueued = 100;

    explicit GAnalytics(QObject *parent = nullptr);

    static QString settingsPath();
    // The user's consent; off unless the user turned it on.
    static bool isEnabled();
    static void setEnabled(bool enabled);
    // The collection endpoint: the configured https address, ending in
    // "/collect"; empty when none (or one that is not https) is configured.
    static QString collectionUrl();
    static void setCollectionAddress(const QString &address);

    // True when hits are collected and sent: consent and an address.
    static bool isSending();

    // "%1/%2 (%3; %4) GAnalytics/1.0 (Qt/%5)": program, version, system, locale, Qt.
    static QString userAgent();

    int queuedHits() const { return m_queue.size(); }

public slots:
    void sendScreenView(const QString &screenName);
    void sendEvent(const QString &category, const QString &action, const QString &label);
    // Every page's usage signal ends here.
    void slot_SendEventMessageToGA(QString category, QString action, QString Label, QString viewScreen);

signals:
    // A hit left the queue; ok is false when the collector did not take it.
    void hitSent(bool ok);

private slots:
    void postFinished(QNetworkReply *reply);

private:
    void enqueue(QUrlQuery hit);
    void postNext();
    static QString identifier(const char *key);

    QNetworkAccessManager *m_networkManager;
    QQueue<QUrlQuery> m_queue;
    bool m_posting = false;
};
