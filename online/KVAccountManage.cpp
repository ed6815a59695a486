#include "online/KVAccountManage.h"

#include "online/ServiceAddress.h"
#include "online/TransferThread.h"
#include "platform/Log.h"
#include "store/TextTable.h"

#include <QDebug>
#include <QHttpMultiPart>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QTimer>

namespace {

// The endpoint paths, by index.
const char *const kPaths[] = {
    "/v1/user/login",               // 0
    "/v1/user/register",            // 1
    "/v1/user/updatePassword",      // 2
    "/v1/user/findPassword",        // 3
    "/v1/user/validatePassword",    // 4
    "/v1/user/newPassword",         // 5
    "/v1/file/upload",              // 6
    "/v1/driver/macro/config/save", // 7
    "/v1/driver/config2/save",      // 8
    "/v1/driver/config2/get",       // 9
    "/v1/driver/macro/config/get",  // 10
    "/v1/driver/version",           // 11
};
constexpr int kPathCount = int(sizeof kPaths / sizeof kPaths[0]);

} // namespace

KVAccountManage::KVAccountManage(QObject *parent)
    : QObject(parent)
    , m_networkManager(new QNetworkAccessManager)
    , m_baseUrl(ServiceAddress::baseUrl())
{
    // Redirects are not followed: they could lead the token off https.
    m_networkManager->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    // Replies finish on the transfer thread and reach this object queued;
    // each is deleted there once every slot here has read it.
    connect(m_networkManager, &QNetworkAccessManager::finished, this, [this](QNetworkReply *reply) {
        emit sigFinished(reply);
        reply->deleteLater();
    });
    TransferThread::adopt(m_networkManager);
}

KVAccountManage::~KVAccountManage()
{
    endTransfers();
}

void KVAccountManage::endTransfers()
{
    if (!m_networkManager)
        return;
    // Its replies, and what they still read from, go with it on its own thread.
    QNetworkAccessManager *manager = m_networkManager;
    m_networkManager = nullptr;
    TransferThread::run([manager] { delete manager; });
}

QString KVAccountManage::pathOf(int index)
{
    if (index < 0 || index >= kPathCount)
        return QString();
    return QLatin1String(kPaths[index]);
}

QString KVAccountManage::urlOf(int index) const
{
    const QString path = pathOf(index);
    if (path.isEmpty() || m_baseUrl.isEmpty())
        return QString();
    return m_baseUrl + path;
}

QString KVAccountManage::unavailableText()
{
    switch (ServiceAddress::status()) {
    case ServiceAddress::Status::NotConfigured:
        return TextTable::text(TextTable::TextCloudNotConfigured);
    case ServiceAddress::Status::NotHttps:
        return TextTable::text(TextTable::TextCloudNotHttps);
    case ServiceAddress::Status::Invalid:
        return TextTable::text(TextTable::TextCloudInvalidAddress);
    case ServiceAddress::Status::Ok:
        break;
    }
    return QString();
}

QByteArray KVAccountManage::storedToken()
{
    const QString token = m_token.GetToken();
    // Never a null array: Qt would drop the header, and the service expects it even when empty.
    QByteArray value("");
    if (token != QLatin1String("NULL"))
        value.append(token.toUtf8());
    return value;
}

QNetworkRequest KVAccountManage::jsonRequest(int index)
{
    QNetworkRequest request{QUrl(urlOf(index))};
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    request.setRawHeader("Authorization", storedToken());
    request.setTransferTimeout(kTransferTimeoutMs);
    return request;
}

QNetworkReply *KVAccountManage::postJson(int index, const QJsonObject &body)
{
    if (urlOf(index).isEmpty() || !m_networkManager)
        return nullptr;
    const QNetworkRequest request = jsonRequest(index);
    const QByteArray data = QJsonDocument(body).toJson(QJsonDocument::Compact);
    QNetworkReply *reply = nullptr;
    TransferThread::run([&] { reply = bounded(m_networkManager->post(request, data)); });
    return reply;
}

QNetworkReply *KVAccountManage::bounded(QNetworkReply *reply) const
{
    if (!reply)
        return reply;
    // Qt buffers the whole body before finished(): without these checks a
    // hostile or broken server could fill the memory or keep us waiting.
    // They run on the transfer thread, which is never busy with anything
    // else, so the reply is aborted as its bytes pass the limit.
    reply->setReadBufferSize(kMaxReplyBytes + 1);
    const auto tooLarge = [reply](qint64 bytes) {
        if (bytes <= kMaxReplyBytes || !reply->isRunning())
            return;
        qCWarning(lcOnline) << "KVAccountManage: the reply passes" << kMaxReplyBytes << "bytes; given up";
        reply->abort();
    };
    connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, tooLarge] {
        bool ok = false;
        const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&ok);
        if (ok)
            tooLarge(announced);
    });
    // readyRead comes with every chunk; downloadProgress is throttled and
    // could let tens of megabytes in between two of its signals.
    connect(reply, &QNetworkReply::readyRead, reply, [reply, tooLarge] { tooLarge(reply->bytesAvailable()); });
    connect(reply, &QNetworkReply::downloadProgress, reply, [tooLarge](qint64 received, qint64) { tooLarge(received); });
    auto *deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, reply, [reply] {
        if (!reply->isRunning())
            return;
        qCWarning(lcOnline) << "KVAccountManage: the reply did not finish in time; given up";
        reply->abort();
    });
    deadline->start(m_deadlineMs);
    return reply;
}

QNetworkReply *KVAccountManage::postArchive(QIODevice *archive, bool isMacro)
{
    const QString url = urlOf(EndpointUpload);
    if (url.isEmpty() || !m_networkManager)
        return nullptr;
    const QByteArray token = storedToken();
    QNetworkRequest request{QUrl(url)};
    request.setRawHeader("Authorization", token);
    request.setTransferTimeout(kTransferTimeoutMs);
    QNetworkReply *reply = nullptr;
    // The multipart is made where the reply lives, which it goes with.
    TransferThread::run([&] {
        auto *multiPart = new QHttpMultiPart(QHttpMultiPart::FormDataType);
        QHttpPart part;
        part.setRawHeader("Authorization", token);
        part.setHeader(QNetworkRequest::ContentDispositionHeader,
                       isMacro ? QStringLiteral("form-data; name=\"file\"; filename=\"MacroFiles.zip\"")
                               : QStringLiteral("form-data; name=\"file\"; filename=\"LocalFile.zip\""));
        part.setBodyDevice(archive);
        multiPart->append(part);
        reply = m_networkManager->post(request, multiPart);
        multiPart->setParent(reply);
        bounded(reply);
    });
    return reply;
}

KVAccountManage::Reply KVAccountManage::decode(QNetworkReply *reply, const QString &networkError)
{
    Reply result;
    qDebug() << "slots_onSigFinished " << int(reply->error());
    if (reply->error() != QNetworkReply::NoError) {
        result.msg = networkError;
        return result;
    }
    // A redirect we do not follow, or any other non-2xx status, is no answer of the service.
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status < 200 || status >= 300) {
        result.msg = networkError;
        return result;
    }
    if (reply->bytesAvailable() > kMaxReplyBytes) {
        result.msg = serverErrorText();
        return result;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(reply->readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        result.msg = serverErrorText();
        return result;
    }
    const QJsonObject root = document.object();
    result.isServiceAnswer = true;
    result.code = root.value(QLatin1String("code")).toInt(kNoCode);
    result.msg = root.value(QLatin1String("msg")).toString();
    result.data = root.value(QLatin1String("data")).toObject();
    return result;
}

void KVAccountManage::reportLater(std::function<void()> report)
{
    QTimer::singleShot(0, this, std::move(report));
}

QString KVAccountManage::networkErrorText()
{
    return tr("Network Error, please try again later");
}

QString KVAccountManage::serverErrorText()
{
    return tr("Server error, please try again later");
}
