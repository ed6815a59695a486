#include "online/AccountOperations.h"

#include "online/ConfigArchive.h"

#include <QDebug>
#include <QDir>

namespace {

QString field(const QJsonObject &data, const char *name)
{
    return data.value(QLatin1String(name)).toString();
}

} // namespace

// Each operation owns its manager, so every reply reaching its slot is its own.
#define KV_OPERATION_CONSTRUCTOR(Class)                                                                                \
    Class::Class(QObject *parent) : KVAccountManage(parent)                                                           \
    {                                                                                                                  \
        connect(this, &KVAccountManage::sigFinished, this, &Class::slots_onSigFinished);                              \
    }

KV_OPERATION_CONSTRUCTOR(LoginAccount)
KV_OPERATION_CONSTRUCTOR(RegisterAccount)
KV_OPERATION_CONSTRUCTOR(FindPasswd)
KV_OPERATION_CONSTRUCTOR(ValidatePassword)
KV_OPERATION_CONSTRUCTOR(NewPassword)
KV_OPERATION_CONSTRUCTOR(UpdatePasswdAccount)
KV_OPERATION_CONSTRUCTOR(SaveConfigInfo)
KV_OPERATION_CONSTRUCTOR(GetDownLoadFilePath)
KV_OPERATION_CONSTRUCTOR(LastVersion)

// ---------------------------------------------------------------- log in

void LoginAccount::KvPostLoginJson(const QString &emailAccount, const QString &passwd)
{
    m_email = emailAccount;
    const QJsonObject body{{"email", emailAccount}, {"password", passwd}};
    if (!postJson(EndpointLogin, body))
        reportLater([this] { emit sigLoginRet(kNoCode, unavailableText()); });
}

void LoginAccount::slots_onSigFinished(QNetworkReply *reply)
{
    const Reply r = decode(reply, networkErrorText());
    const QString nickname = field(r.data, "nickname");
    // The token comes in a header of the same name; its value is never logged.
    // Only the service's own answer carries one: not an error page, a
    // redirect, or a body that is cut short or not the service's JSON.
    for (const QNetworkReply::RawHeaderPair &header : reply->rawHeaderPairs()) {
        if (r.isServiceAnswer && header.first == "Authorization") {
            m_token.SetToken(QString::fromUtf8(header.second));
            m_token.SetEmail(m_email);
            m_token.SetNickName(nickname);
            break;
        }
    }
    emit sigLoginRet(r.code, r.code == 0 ? nickname : r.msg);
}

// ---------------------------------------------------------------- register

void RegisterAccount::KvPostRegisiterJson(const QString &nickName, const QString &email, const QString &password,
                                          const QString &rePassword)
{
    const QJsonObject body{
        {"nickname", nickName}, {"email", email}, {"password", password}, {"rePassword", rePassword}};
    if (!postJson(EndpointRegister, body))
        reportLater([this] { emit sigRegisterRet(kNoCode, unavailableText()); });
}

void RegisterAccount::slots_onSigFinished(QNetworkReply *reply)
{
    const Reply r = decode(reply, tr("Network Error"));
    emit sigRegisterRet(r.code, r.msg);
}

// ---------------------------------------------------------------- forgotten password

void FindPasswd::KvFindPasswdJson(const QString &email)
{
    if (!postJson(EndpointFindPassword, QJsonObject{{"email", email}}))
        reportLater([this] { emit sigFindPwdRet(kNoCode, unavailableText()); });
}

void FindPasswd::slots_onSigFinished(QNetworkReply *reply)
{
    const Reply r = decode(reply, networkErrorText());
    emit sigFindPwdRet(r.code, r.msg);
}

void ValidatePassword::KvValidatePasswordJson(const QString &email, const QString &captcha)
{
    if (!postJson(EndpointValidatePassword, QJsonObject{{"email", email}, {"captcha", captcha}}))
        reportLater([this] { emit sigValidateCodeRet(kNoCode, unavailableText()); });
}

void ValidatePassword::slots_onSigFinished(QNetworkReply *reply)
{
    const Reply r = decode(reply, networkErrorText());
    emit sigValidateCodeRet(r.code, r.msg);
}

void NewPassword::KvNewPasswordJson(const QString &email, const QString &captcha, const QString &password)
{
    const QJsonObject body{{"email", email}, {"captcha", captcha}, {"password", password}};
    if (!postJson(EndpointNewPassword, body))
        reportLater([this] { emit sigAlterPwdRet(kNoCode, unavailableText()); });
}

void NewPassword::slots_onSigFinished(QNetworkReply *reply)
{
    const Reply r = decode(reply, networkErrorText());
    emit sigAlterPwdRet(r.code, r.msg);
}

// ---------------------------------------------------------------- change password

void UpdatePasswdAccount::KvUpdatePasswdJson(const QString &email, const QString &passwd, const QString &rePasswd)
{
    const QJsonObject body{{"email", email}, {"password", passwd}, {"rePassword", rePasswd}};
    if (!postJson(EndpointUpdatePassword, body))
        reportLater([this] { emit sigUpdatePwdRet(kNoCode, unavailableText()); });
}

void UpdatePasswdAccount::slots_onSigFinished(QNetworkReply *reply)
{
    const Reply r = decode(reply, networkErrorText());
    emit sigUpdatePwdRet(r.code, r.msg);
}

// ---------------------------------------------------------------- archives

void SaveConfigInfo::KvSaveConfigInfoJson(const QString &filePath, const QString &mouseType, const QString &type)
{
    int index = -1;
    if (type == QLatin1String("LocalConfig"))
        index = EndpointLocalConfigSave;
    else if (type == QLatin1String("MacroConfig"))
        index = EndpointMacroConfigSave;
    else
        return;
    const QJsonObject body{{"filePath", filePath}, {"configContent", QString()}, {"configType", mouseType}};
    if (!postJson(index, body))
        reportLater([this] { emit sigSaveConfRet(kNoCode, unavailableText()); });
}

void SaveConfigInfo::slots_onSigFinished(QNetworkReply *reply)
{
    const Reply r = decode(reply, networkErrorText());
    emit sigSaveConfRet(r.code, r.msg);
}

UploadFile::UploadFile(QObject *parent) : KVAccountManage(parent)
{
    connect(this, &KVAccountManage::sigFinished, this, &UploadFile::slots_onSigFinished);
}

UploadFile::~UploadFile()
{
    // Replies still running read from the archive: end them first.
    endTransfers();
}

void UploadFile::releaseArchive()
{
    m_archive.reset();
    m_archiveFolder.reset();
}

void UploadFile::KvUploadFile(const QString &path, bool isMacro)
{
    qDebug() << "path" << path;
    if (!isServiceAvailable()) {
        reportLater([this] { emit sigUploadFileRet(kNoCode, unavailableText(), QString()); });
        return;
    }
    releaseArchive();
    // The archive is made outside the user's folders and goes with the upload.
    m_archiveFolder = std::make_unique<QTemporaryDir>();
    const QString zipPath = m_archiveFolder->path()
                            + (isMacro ? QStringLiteral("/MacroFiles.zip") : QStringLiteral("/LocalFile.zip"));
    if (!m_archiveFolder->isValid() || !ConfigArchive::compressFolder(path, zipPath)) {
        qDebug() << "compressDir file failed";
        releaseArchive();
        // Said at once, rather than leaving the caller to wait for an answer that cannot come.
        reportLater([this] { emit sigUploadFileRet(kNoCode, tr("compressDir file failed"), QString()); });
        return;
    }
    m_archive = std::make_unique<QFile>(zipPath);
    if (!m_archive->open(QIODevice::ReadOnly)) {
        qDebug() << "compressDir file failed";
        releaseArchive();
        reportLater([this] { emit sigUploadFileRet(kNoCode, tr("compressDir file failed"), QString()); });
        return;
    }
    QNetworkReply *reply = postArchive(m_archive.get(), isMacro);
    connect(reply, &QNetworkReply::uploadProgress, this, &UploadFile::OnUploadProgress);
    connect(reply, &QNetworkReply::errorOccurred, this, &UploadFile::upLoadError);
}

void UploadFile::OnUploadProgress(qint64 bytesSent, qint64 bytesTotal)
{
    qDebug() << "OnUploadProgress" << bytesSent << bytesTotal;
}

void UploadFile::upLoadError(QNetworkReply::NetworkError error)
{
    qDebug() << "upLoadError" << int(error);
}

void UploadFile::slots_onSigFinished(QNetworkReply *reply)
{
    const Reply r = decode(reply, networkErrorText());
    emit sigUploadFileRet(r.code, r.msg, field(r.data, "filePath"));
}

void GetDownLoadFilePath::KvDownLoadFilePathJson(const QString &mouseType)
{
    QJsonObject body;
    if (!mouseType.isEmpty())
        body.insert(QLatin1String("configType"), mouseType);
    if (!postJson(mouseType.isEmpty() ? EndpointMacroConfigGet : EndpointLocalConfigGet, body))
        reportLater([this] { emit sig_DownLoadFilePathRet(kNoCode, QString(), unavailableText(), QString()); });
}

void GetDownLoadFilePath::slots_onSigFinished(QNetworkReply *reply)
{
    const Reply r = decode(reply, networkErrorText());
    emit sig_DownLoadFilePathRet(r.code, field(r.data, "configType"), r.msg, field(r.data, "filePath"));
}

// ---------------------------------------------------------------- versions

void LastVersion::KvLastFirmVersionJson(const QString &versionType)
{
    ask(versionType + QStringLiteral("-firmware"));
}

void LastVersion::KvLastSoftwareVersionJson(const QString &versionType)
{
    ask(versionType + QStringLiteral("-software"));
}

void LastVersion::ask(const QString &versionType)
{
    if (!postJson(EndpointVersion, QJsonObject{{"versionType", versionType}}))
        reportLater([this] { emit sigLastVersionRet(kNoCode, unavailableText(), QString(), QString(), QString()); });
}

void LastVersion::slots_onSigFinished(QNetworkReply *reply)
{
    const Reply r = decode(reply, networkErrorText());
    emit sigLastVersionRet(r.code, r.msg, field(r.data, "version"), field(r.data, "downloadUrl"),
                           field(r.data, "versionDate"));
}
