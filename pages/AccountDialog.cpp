#include "pages/AccountDialog.h"

#include "online/AccountOperations.h"
#include "store/TextTable.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

QLineEdit *lineEdit(const char *name, bool secret)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(QLatin1String(name));
    if (secret)
        edit->setEchoMode(QLineEdit::Password);
    edit->setMinimumWidth(260);
    return edit;
}

QPushButton *button(const char *name, int text, bool link = false)
{
    auto *b = new QPushButton(TextTable::text(text));
    b->setObjectName(QLatin1String(name));
    b->setCursor(Qt::PointingHandCursor);
    // Enter in a field does that field's page's action (below), never
    // whichever button the dialog would take as its default.
    b->setAutoDefault(false);
    if (link)
        b->setFlat(true);
    return b;
}

// Enter in `field` moves on to `next` while that is empty, and otherwise runs `action`.
template <typename Action>
void onEnter(QLineEdit *field, QLineEdit *next, Action action)
{
    QObject::connect(field, &QLineEdit::returnPressed, field, [next, action] {
        if (next && next->text().isEmpty())
            next->setFocus();
        else
            action();
    });
}

} // namespace

AccountDialog::AccountDialog(QWidget *parent)
    : QDialog(parent)
    , m_pages(new QStackedWidget(this))
    , m_status(new QLabel(this))
    , m_login(new LoginAccount(this))
    , m_register(new RegisterAccount(this))
    , m_findPasswd(new FindPasswd(this))
    , m_validate(new ValidatePassword(this))
    , m_newPasswd(new NewPassword(this))
{
    setObjectName(QStringLiteral("AccountDialog"));
    // Framed like every other dialog of the program: by itself, with its own close button.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowTitle(TextTable::text(TextTable::TextLoginTitle));
    setModal(true);
    m_status->setObjectName(QStringLiteral("StatusLabel"));
    m_status->setWordWrap(true);

    m_pages->addWidget(buildLoginPage());
    m_pages->addWidget(buildRegisterPage());
    m_pages->addWidget(buildForgotPage());

    auto *close = button("CloseButton", TextTable::TextDialogClose);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 24, 28, 24);
    layout->addWidget(m_pages);
    layout->addWidget(m_status);
    layout->addWidget(close, 0, Qt::AlignRight);

    connect(m_login, &LoginAccount::sigLoginRet, this, &AccountDialog::slot_LoginRet);
    connect(m_register, &RegisterAccount::sigRegisterRet, this, &AccountDialog::slot_RegisterRet);
    connect(m_findPasswd, &FindPasswd::sigFindPwdRet, this, &AccountDialog::slot_FindPwdRet);
    connect(m_validate, &ValidatePassword::sigValidateCodeRet, this, &AccountDialog::slot_ValidateCodeRet);
    connect(m_newPasswd, &NewPassword::sigAlterPwdRet, this, &AccountDialog::slot_AlterPwdRet);
    if (!m_login->isServiceAvailable()) {
        setStatus(KVAccountManage::unavailableText());
        // With no service to ask, its actions are not offered: the dialog
        // says why instead of buttons that do nothing.
        for (const char *name : {"LoginButton", "ToRegisterButton", "ToForgotButton"})
            if (auto *offer = findChild<QPushButton *>(QLatin1String(name)))
                offer->setVisible(false);
        for (QPushButton *action : qAsConst(m_actionButtons))
            action->setEnabled(false);
    }
}

QWidget *AccountDialog::buildLoginPage()
{
    auto *page = new QWidget;
    m_loginEmail = lineEdit("LoginEmailEdit", false);
    m_loginPassword = lineEdit("LoginPasswordEdit", true);
    auto *login = button("LoginButton", TextTable::TextLoginButton);
    auto *toRegister = button("ToRegisterButton", TextTable::TextLoginRegisterLink, true);
    auto *toForgot = button("ToForgotButton", TextTable::TextLoginForgotLink, true);
    m_actionButtons << login;
    connect(login, &QPushButton::clicked, this, &AccountDialog::on_LoginButton_clicked);
    onEnter(m_loginEmail, m_loginPassword, [this] { on_LoginButton_clicked(); });
    onEnter(m_loginPassword, nullptr, [this] { on_LoginButton_clicked(); });
    connect(toRegister, &QPushButton::clicked, this, [this] { showPage(RegisterPage); });
    connect(toForgot, &QPushButton::clicked, this, [this] { showPage(ForgotPage); });

    auto *form = new QFormLayout(page);
    form->addRow(TextTable::text(TextTable::TextLoginEmail), m_loginEmail);
    form->addRow(TextTable::text(TextTable::TextLoginPassword), m_loginPassword);
    form->addRow(login);
    form->addRow(toRegister);
    form->addRow(toForgot);
    return page;
}

QWidget *AccountDialog::buildRegisterPage()
{
    auto *page = new QWidget;
    m_nickName = lineEdit("NickNameEdit", false);
    m_registerEmail = lineEdit("RegisterEmailEdit", false);
    m_registerPassword = lineEdit("RegisterPasswordEdit", true);
    m_registerRepeat = lineEdit("RegisterRepeatEdit", true);
    auto *reg = button("RegisterButton", TextTable::TextRegisterButton);
    auto *back = button("RegisterBackButton", TextTable::TextBackToLogin, true);
    m_actionButtons << reg;
    connect(reg, &QPushButton::clicked, this, &AccountDialog::on_RegisterButton_clicked);
    const auto doRegister = [this] { on_RegisterButton_clicked(); };
    onEnter(m_nickName, m_registerEmail, doRegister);
    onEnter(m_registerEmail, m_registerPassword, doRegister);
    onEnter(m_registerPassword, m_registerRepeat, doRegister);
    onEnter(m_registerRepeat, nullptr, doRegister);
    connect(back, &QPushButton::clicked, this, [this] { showPage(LoginPage); });

    auto *form = new QFormLayout(page);
    form->addRow(TextTable::text(TextTable::TextRegisterNickname), m_nickName);
    form->addRow(TextTable::text(TextTable::TextLoginEmail), m_registerEmail);
    form->addRow(TextTable::text(TextTable::TextLoginPassword), m_registerPassword);
    form->addRow(TextTable::text(TextTable::TextRegisterRepeat), m_registerRepeat);
    form->addRow(reg);
    form->addRow(back);
    return page;
}

QWidget *AccountDialog::buildForgotPage()
{
    auto *page = new QWidget;
    m_forgotEmail = lineEdit("ForgotEmailEdit", false);
    m_code = lineEdit("CodeEdit", false);
    m_newPassword = lineEdit("NewPasswordEdit", true);
    m_newRepeat = lineEdit("NewRepeatEdit", true);
    auto *send = button("SendCodeButton", TextTable::TextForgotSendCode);
    auto *check = button("CheckCodeButton", TextTable::TextForgotCheckCode);
    auto *set = button("SetPasswordButton", TextTable::TextForgotSetPassword);
    auto *back = button("ForgotBackButton", TextTable::TextBackToLogin, true);
    m_actionButtons << send << check << set;
    connect(send, &QPushButton::clicked, this, &AccountDialog::on_SendCodeButton_clicked);
    connect(check, &QPushButton::clicked, this, &AccountDialog::on_CheckCodeButton_clicked);
    connect(set, &QPushButton::clicked, this, &AccountDialog::on_SetPasswordButton_clicked);
    onEnter(m_forgotEmail, nullptr, [this] { on_SendCodeButton_clicked(); });
    onEnter(m_code, nullptr, [this] { on_CheckCodeButton_clicked(); });
    const auto doSet = [this] { on_SetPasswordButton_clicked(); };
    onEnter(m_newPassword, m_newRepeat, doSet);
    onEnter(m_newRepeat, nullptr, doSet);
    connect(back, &QPushButton::clicked, this, [this] { showPage(LoginPage); });

    auto *form = new QFormLayout(page);
    form->addRow(TextTable::text(TextTable::TextLoginEmail), m_forgotEmail);
    form->addRow(send);
    form->addRow(TextTable::text(TextTable::TextForgotCode), m_code);
    form->addRow(check);
    form->addRow(TextTable::text(TextTable::TextForgotNewPassword), m_newPassword);
    form->addRow(TextTable::text(TextTable::TextRegisterRepeat), m_newRepeat);
    form->addRow(set);
    form->addRow(back);
    return page;
}

int AccountDialog::currentPage() const
{
    return m_pages->currentIndex();
}

QString AccountDialog::statusText() const
{
    return m_status->text();
}

void AccountDialog::showPage(int page)
{
    m_pages->setCurrentIndex(page);
    setStatus(m_login->isServiceAvailable() ? QString() : KVAccountManage::unavailableText());
}

void AccountDialog::setBusy(bool busy)
{
    m_busy = busy;
    for (QPushButton *b : qAsConst(m_actionButtons))
        b->setEnabled(!busy);
    if (busy)
        setStatus(TextTable::text(TextTable::TextPleaseWait));
}

void AccountDialog::setStatus(const QString &text)
{
    m_status->setText(text);
}

// ---------------------------------------------------------------- log in

void AccountDialog::on_LoginButton_clicked()
{
    if (m_busy) // a request is on its way; Enter again sends no second one
        return;
    if (m_loginEmail->text().trimmed().isEmpty() || m_loginPassword->text().isEmpty()) {
        setStatus(TextTable::text(TextTable::TextFieldsMissing));
        return;
    }
    setBusy(true);
    m_login->KvPostLoginJson(m_loginEmail->text().trimmed(), m_loginPassword->text());
}

void AccountDialog::slot_LoginRet(int rCode, QString rMsg)
{
    setBusy(false);
    if (rCode != 0) {
        setStatus(rMsg);
        return;
    }
    m_loginPassword->clear();
    setStatus(QString());
    emit sig_LoggedIn(rMsg);
    accept();
}

// ---------------------------------------------------------------- register

void AccountDialog::on_RegisterButton_clicked()
{
    if (m_busy)
        return;
    if (m_nickName->text().trimmed().isEmpty() || m_registerEmail->text().trimmed().isEmpty()
        || m_registerPassword->text().isEmpty()) {
        setStatus(TextTable::text(TextTable::TextFieldsMissing));
        return;
    }
    if (m_registerPassword->text() != m_registerRepeat->text()) {
        setStatus(TextTable::text(TextTable::TextPasswordsDiffer));
        return;
    }
    setBusy(true);
    m_register->KvPostRegisiterJson(m_nickName->text().trimmed(), m_registerEmail->text().trimmed(),
                                    m_registerPassword->text(), m_registerRepeat->text());
}

void AccountDialog::slot_RegisterRet(int rCode, QString rMsg)
{
    setBusy(false);
    if (rCode != 0) {
        setStatus(rMsg);
        return;
    }
    m_loginEmail->setText(m_registerEmail->text().trimmed());
    m_registerPassword->clear();
    m_registerRepeat->clear();
    m_pages->setCurrentIndex(LoginPage);
    setStatus(TextTable::text(TextTable::TextRegisterDone));
}

// ---------------------------------------------------------------- forgotten password

void AccountDialog::on_SendCodeButton_clicked()
{
    if (m_busy)
        return;
    if (m_forgotEmail->text().trimmed().isEmpty()) {
        setStatus(TextTable::text(TextTable::TextFieldsMissing));
        return;
    }
    setBusy(true);
    m_findPasswd->KvFindPasswdJson(m_forgotEmail->text().trimmed());
}

void AccountDialog::slot_FindPwdRet(int rCode, QString rMsg)
{
    setBusy(false);
    setStatus(rCode == 0 ? TextTable::text(TextTable::TextCodeSent) : rMsg);
}

void AccountDialog::on_CheckCodeButton_clicked()
{
    if (m_busy)
        return;
    if (m_forgotEmail->text().trimmed().isEmpty() || m_code->text().trimmed().isEmpty()) {
        setStatus(TextTable::text(TextTable::TextFieldsMissing));
        return;
    }
    setBusy(true);
    m_validate->KvValidatePasswordJson(m_forgotEmail->text().trimmed(), m_code->text().trimmed());
}

void AccountDialog::slot_ValidateCodeRet(int rCode, QString rMsg)
{
    setBusy(false);
    setStatus(rCode == 0 ? TextTable::text(TextTable::TextCodeChecked) : rMsg);
}

void AccountDialog::on_SetPasswordButton_clicked()
{
    if (m_busy)
        return;
    if (m_forgotEmail->text().trimmed().isEmpty() || m_code->text().trimmed().isEmpty()
        || m_newPassword->text().isEmpty()) {
        setStatus(TextTable::text(TextTable::TextFieldsMissing));
        return;
    }
    if (m_newPassword->text() != m_newRepeat->text()) {
        setStatus(TextTable::text(TextTable::TextPasswordsDiffer));
        return;
    }
    setBusy(true);
    m_newPasswd->KvNewPasswordJson(m_forgotEmail->text().trimmed(), m_code->text().trimmed(), m_newPassword->text());
}

void AccountDialog::slot_AlterPwdRet(int rCode, QString rMsg)
{
    setBusy(false);
    if (rCode != 0) {
        setStatus(rMsg);
        return;
    }
    m_loginEmail->setText(m_forgotEmail->text().trimmed());
    m_newPassword->clear();
    m_newRepeat->clear();
    m_code->clear();
    m_pages->setCurrentIndex(LoginPage);
    setStatus(TextTable::text(TextTable::TextPasswordChanged));
}
