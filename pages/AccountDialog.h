#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class FindPasswd;
class LoginAccount;
class NewPassword;
class RegisterAccount;
class ValidatePassword;

// The vendor account: log in, register, and a forgotten password (a code
// mailed to the user, then a new password). Passwords never leave the
// dialog except in the request itself.
class AccountDialog : public QDialog
{
    Q_OBJECT
public:
    enum Page { LoginPage = 0, RegisterPage, ForgotPage };

    explicit AccountDialog(QWidget *parent = nullptr);

    int currentPage() const;
    // The last outcome or hint shown to the user.
    QString statusText() const;

signals:
    // Logged in; the token, e-mail and nick name are stored.
    void sig_LoggedIn(QString nickName);

public slots:
    void showPage(int page);

private slots:
    void on_LoginButton_clicked();
    void on_RegisterButton_clicked();
    void on_SendCodeButton_clicked();
    void on_CheckCodeButton_clicked();
    void on_SetPasswordButton_clicked();
    void slot_LoginRet(int rCode, QString rMsg);
    void slot_RegisterRet(int rCode, QString rMsg);
    void slot_FindPwdRet(int rCode, QString rMsg);
    void slot_ValidateCodeRet(int rCode, QString rMsg);
    void slot_AlterPwdRet(int rCode, QString rMsg);

private:
    QWidget *buildLoginPage();
    QWidget *buildRegisterPage();
    QWidget *buildForgotPage();
    void setBusy(bool busy);
    void setStatus(const QString &text);

    QStackedWidget *m_pages;
    QLabel *m_status;
    QLineEdit *m_loginEmail;
    QLineEdit *m_loginPassword;
    QLineEdit *m_nickName;
    QLineEdit *m_registerEmail;
    QLineEdit *m_registerPassword;
    QLineEdit *m_registerRepeat;
    QLineEdit *m_forgotEmail;
    QLineEdit *m_code;
    QLineEdit *m_newPassword;
    QLineEdit *m_newRepeat;
    QList<QPushButton *> m_actionButtons;
    bool m_busy = false;
    LoginAccount *m_login;
    RegisterAccount *m_register;
    FindPasswd *m_findPasswd;
    ValidatePassword *m_validate;
    NewPassword *m_newPasswd;
};
