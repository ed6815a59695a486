#pragma once
// One small class per web service operation: a sender that builds the
// request body, and slots_onSigFinished, which turns the reply into the
// operation's result signal. A code of 0 means success; -1 means the reply
// carried no code (network or server error, or the service is unavailable).
#include "online/KVAccountManage.h"

#include <QFile>
#include <QTemporaryDir>
#include <memory>

// Logs in; on success the stored token, e-mail and nick name are replaced.
class LoginAccount : public KVAccountManage
{
    Q_OBJECT
public:
    explicit LoginAccount(QObject *parent = nullptr);
public slots:
    void KvPostLoginJson(const QString &emailAccount, const QString &passwd);
signals:
    // On success the message is the account's nick name.
    void sigLoginRet(int rCode, QString rMsg);
private slots:
    void slots_onSigFinished(QNetworkReply *reply);
private:
    QString m_email;
};

class RegisterAccount : public KVAccountManage
{
    Q_OBJECT
public:
    explicit RegisterAccount(QObject *parent = nullptr);
public slots:
    void KvPostRegisiterJson(const QString &nickName, const QString &email, const QString &password,
                             const QString &rePassword);
signals:
    void sigRegisterRet(int rCode, QString rMsg);
private slots:
    void slots_onSigFinished(QNetworkReply *reply);
};

// Has the service mail a verification code for a forgotten password.
class FindPasswd : public KVAccountManage
{
    Q_OBJECT
public:
    explicit FindPasswd(QObject *parent = nullptr);
public slots:
    void KvFindPasswdJson(const QString &email);
signals:
    void sigFindPwdRet(int rCode, QString rMsg);
private slots:
    void slots_onSigFinished(QNetworkReply *reply);
};

// Checks the verification code.
class ValidatePassword : public KVAccountManage
{
    Q_OBJECT
public:
    explicit ValidatePassword(QObject *parent = nullptr);
public slots:
    void KvValidatePasswordJson(const QString &email, const QString &captcha);
signals:
    void sigValidateCodeRet(int rCode, QString rMsg);
private slots:
    void slots_onSigFinished(QNetworkReply *reply);
};

// Sets a new password with the verification code.
class NewPassword : public KVAccountManage
{
    Q_OBJECT
public:
    explicit NewPassword(QObject *parent = nullptr);
public slots:
    void KvNewPasswordJson(const QString &email, const QString &captcha, const QString &password);
signals:
    void sigAlterPwdRet(int rCode, QString rMsg);
private slots:
    void slots_onSigFinished(QNetworkReply *reply);
};

// Changes the password of the signed-in account.
class UpdatePasswdAccount : public KVAccountManage
{
    Q_OBJECT
public:
    explicit UpdatePasswdAccount(QObject *parent = nullptr);
public slots:
    void KvUpdatePasswdJson(const QString &email, const QString &passwd, const QString &rePasswd);
signals:
    void sigUpdatePwdRet(int rCode, QString rMsg);
private slots:
    void slots_onSigFinished(QNetworkReply *reply);
};

// Registers an uploaded archive as the account's local or macro configuration.
class SaveConfigInfo : public KVAccountManage
{
    Q_OBJECT
public:
    explicit SaveConfigInfo(QObject *parent = nullptr);
public slots:
    // type "LocalConfig" or "MacroConfig"; any other type sends nothing.
    void KvSaveConfigInfoJson(const QString &filePath, const QString &mouseType, const QString &type);
signals:
    void sigSaveConfRet(int rCode, QString rMsg);
private slots:
    void slots_onSigFinished(QNetworkReply *reply);
};

// Compresses a folder and uploads the archive.
class UploadFile : public KVAccountManage
{
    Q_OBJECT
public:
    explicit UploadFile(QObject *parent = nullptr);
    ~UploadFile() override;
public slots:
    // Sends the folder as "MacroFiles.zip" (isMacro) or "LocalFile.zip".
    void KvUploadFile(const QString &path, bool isMacro);
signals:
    // path: where the service stored the archive.
    void sigUploadFileRet(int rCode, QString rMsg, QString path);
private slots:
    void slots_onSigFinished(QNetworkReply *reply);
    void OnUploadProgress(qint64 bytesSent, qint64 bytesTotal);
    void upLoadError(QNetworkReply::NetworkError error);
private:
    void releaseArchive();
    std::unique_ptr<QTemporaryDir> m_archiveFolder;
    std::unique_ptr<QFile> m_archive;
};

// Asks where the account's archive is: the local configuration of a mouse
// type, or with an empty mouse type the macros.
class GetDownLoadFilePath : public KVAccountManage
{
    Q_OBJECT
public:
    explicit GetDownLoadFilePath(QObject *parent = nullptr);
public slots:
    void KvDownLoadFilePathJson(const QString &mouseType);
signals:
    void sig_DownLoadFilePathRet(int rCode, QString rConfigType, QString rMsg, QString path);
private slots:
    void slots_onSigFinished(QNetworkReply *reply);
};

// The latest firmware or software version of a product.
class LastVersion : public KVAccountManage
{
    Q_OBJECT
public:
    explicit LastVersion(QObject *parent = nullptr);
public slots:
    void KvLastFirmVersionJson(const QString &versionType);
    void KvLastSoftwareVersionJson(const QString &versionType);
signals:
    // path: the download address of that version.
    void sigLastVersionRet(int rCode, QString rMsg, QString version, QString path, QString versionDate);
private slots:
    void slots_onSigFinished(QNetworkReply *reply);
private:
    void ask(const QString &versionType);
};
