#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class UpdatePasswdAccount;

// Changes the password of the signed-in account (the stored token proves who asks).
class ChangePasswordDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ChangePasswordDialog(QWidget *parent = nullptr);
    QString statusText() const;

signals:
    // The service no longer accepts the stored token.
    void sig_LoginExpired();

private slots:
    void on_ChangeButton_clicked();
    void slot_UpdatePwdRet(int rCode, QString rMsg);

private:
    QLineEdit *m_password;
    QLineEdit *m_repeat;
    QLabel *m_status;
    QPushButton *m_changeButton;
    UpdatePasswdAccount *m_update;
};
