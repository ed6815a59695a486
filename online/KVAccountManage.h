#pragma once
// The request manager of the vendor web service: it turns an endpoint index
// into an address, builds the JSON and upload requests with the stored token,
// and decodes the service's {"code", "msg", "data"} replies. Each operation
// class derives from it and turns one reply into its result signal.
#include "store/OperateToken.h"

#include <QJsonObject>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QObject>
#include <QString>
#include <functional>

class QIODevice;
class QNetworkAccessManager;

class KVAccountManage : public QObject
{
    Q_OBJECT
public:
    // The endpoint index; each names one path below the base address.
    enum Endpoint {
        EndpointLogin = 0,
        EndpointRegister = 1,
        EndpointUpdatePassword = 2,
        EndpointFindPassword = 3,
        EndpointValidatePassword = 4,
        EndpointNewPassword = 5,
        EndpointUpload = 6,
        EndpointMacroConfigSave = 7,
        EndpointLocalConfigSave = 8,
        EndpointLocalConfigGet = 9,
        EndpointMacroConfigGet = 10,
        EndpointVersion = 11,
    };

    // The code of a reply that gave no code of its own (network or server error).
    static constexpr int kNoCode = -1;
    // The archive-path reply's code for a token the service no longer accepts.
    static constexpr int kLoginExpiredCode = 10011;
    // A reply larger than this is not the service's JSON.
    static constexpr qint64 kMaxReplyBytes = 1024 * 1024;
    // A request with no answer for this long is given up as a network error.
    static constexpr int kTransferTimeoutMs = 30000;
    // A request not finished this long after it was sent is given up too,
    // however slowly the server keeps sending.
    static constexpr int kRequestDeadlineMs = 30000;

    // Takes the base address from ServiceAddress (empty when none is usable).
    explicit KVAccountManage(QObject *parent = nullptr);
    ~KVAccountManage() override;

    // The base address followed by the endpoint's path; empty for an unknown
    // index or when no usable address is configured.
    QString urlOf(int index) const;
    static QString pathOf(int index);
    QString baseUrl() const { return m_baseUrl; }

    // False when nothing can be sent (no address, or one that is not https).
    bool isServiceAvailable() const { return !m_baseUrl.isEmpty(); }
    // Why nothing can be sent, for the user; empty when the service is available.
    static QString unavailableText();
    // The messages of replies that failed on the network or were not the service's JSON.
    static QString networkErrorText();

    // The JSON request of an endpoint: its address, the content type and the
    // stored token as "Authorization".
    QNetworkRequest jsonRequest(int index);

    // The whole-request deadline of this object's requests (tests shorten it).
    void setRequestDeadline(int ms) { m_deadlineMs = ms; }

signals:
    // Every reply of this object's requests, finished. It lives on the
    // transfer thread and is deleted after the slots ran: they read it, and
    // neither delete nor keep it.
    void sigFinished(QNetworkReply *reply);

protected:
    // The decoded form of a reply.
    struct Reply
    {
        int code = kNoCode;
        QString msg;
        QJsonObject data;
        // The reply came with a 2xx status and its body is the service's JSON object.
        bool isServiceAnswer = false;
    };

    // Posts body as compact JSON to the endpoint, with the stored token as
    // "Authorization" (empty when none is stored). Null when nothing was
    // sent, the service being unavailable.
    QNetworkReply *postJson(int index, const QJsonObject &body);
    // Posts the open archive as the form-data part "file", named
    // "MacroFiles.zip" or "LocalFile.zip". The reply keeps the multipart.
    QNetworkReply *postArchive(QIODevice *archive, bool isMacro);

    // Logs the reply's error number and decodes it; networkError is the
    // message of a reply that failed on the network.
    Reply decode(QNetworkReply *reply, const QString &networkError);

    // For an operation that cannot be sent: report is run once control is
    // back in the event loop, so callers see the result as they would an answer.
    void reportLater(std::function<void()> report);

    // The stored token as the service expects it (empty when there is none).
    QByteArray storedToken();

    static QString serverErrorText();

    // Bounds a reply in size and time: it is aborted (and so finishes as a
    // network error) as soon as its announced or received size passes
    // kMaxReplyBytes, or when it is not finished by the request deadline.
    // Runs on the transfer thread.
    QNetworkReply *bounded(QNetworkReply *reply) const;
    // Ends every request of this object at once (its replies go too); no
    // request can be sent after.
    void endTransfers();

    // Lives on the transfer thread (online/TransferThread.h): use it through TransferThread::run.
    QNetworkAccessManager *m_networkManager;
    QString m_baseUrl;
    OperateToken m_token;
    int m_deadlineMs = kRequestDeadlineMs;
};
