#include "pages/ChangePasswordDialog.h"

#include "online/AccountOperations.h"
#include "store/OperateToken.h"
#include "store/TextTable.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ChangePasswordDialog::ChangePasswordDialog(QWidget *parent)
    : QDialog(parent)
    , m_password(new QLineEdit(this))
    , m_repeat(new QLineEdit(this))
    , m_status(new QLabel(this))
    , m_changeButton(new QPushButton(TextTable::text(TextTable::TextCloudChangePassword), this))
    , m_update(new UpdatePasswdAccount(this))
{
    setObjectName(QStringLiteral("ChangePasswordDialog"));
    setWindowTitle(TextTable::text(TextTable::TextCloudChangePassword));
    setModal(true);
    m_password->setObjectName(QStringLiteral("NewPasswordEdit"));
    m_password->setEchoMode(QLineEdit::Password);
    m_repeat->setObjectName(QStringLiteral("RepeatPasswordEdit"));
    m_repeat->setEchoMode(QLineEdit::Password);
    m_status->setObjectName(QStringLiteral("StatusLabel"));
    m_status->setWordWrap(true);
    m_changeButton->setObjectName(QStringLiteral("ChangeButton"));
    auto *close = new QPushButton(TextTable::text(TextTable::TextDialogClose), this);
    close->setObjectName(QStringLiteral("CloseButton"));

    auto *form = new QFormLayout;
    form->addRow(TextTable::text(TextTable::TextForgotNewPassword), m_password);
    form->addRow(TextTable::text(TextTable::TextRegisterRepeat), m_repeat);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 24, 28, 24);
    layout->addLayout(form);
    layout->addWidget(m_changeButton);
    layout->addWidget(m_status);
    layout->addWidget(close, 0, Qt::AlignRight);

    connect(m_changeButton, &QPushButton::clicked, this, &ChangePasswordDialog::on_ChangeButton_clicked);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_update, &UpdatePasswdAccount::sigUpdatePwdRet, this, &ChangePasswordDialog::slot_UpdatePwdRet);
}

QString ChangePasswordDialog::statusText() const
{
    return m_status->text();
}

void ChangePasswordDialog::on_ChangeButton_clicked()
{
    if (m_password->text().isEmpty()) {
        m_status->setText(TextTable::text(TextTable::TextFieldsMissing));
        return;
    }
    if (m_password->text() != m_repeat->text()) {
        m_status->setText(TextTable::text(TextTable::TextPasswordsDiffer));
        return;
    }
    m_changeButton->setEnabled(false);
    m_status->setText(TextTable::text(TextTable::TextPleaseWait));
    m_update->KvUpdatePasswdJson(OperateToken().GetEmail(), m_password->text(), m_repeat->text());
}

void ChangePasswordDialog::slot_UpdatePwdRet(int rCode, QString rMsg)
{
    m_changeButton->setEnabled(true);
    if (rCode == KVAccountManage::kLoginExpiredCode) {
        emit sig_LoginExpired();
        reject();
        return;
    }
    if (rCode != 0) {
        m_status->setText(rMsg);
        return;
    }
    m_password->clear();
    m_repeat->clear();
    m_status->setText(TextTable::text(TextTable::TextPasswordChanged));
}
