// The cloud page and the account dialogs, clicked and typed into offscreen,
// against the local HTTPS server.
#include "support/OnlineFixture.h"
#include "support/ZipMaker.h"
#include "support/MessageCapture.h"
#include "analytics/GAnalytics.h"
#include "online/CloudSync.h"
#include "pages/AccountDialog.h"
#include "pages/ChangePasswordDialog.h"
#include "pages/CloudSyncWidget.h"
#include "store/OperateToken.h"
#include "store/TextTable.h"

#include <QCheckBox>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

constexpr int kMouseType = 7;

using Warnings = QList<QPair<int, QString>>;

template <typename T>
T *child(QObject *parent, const char *name)
{
    T *found = parent->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

void type(QObject *parent, const char *name, const QString &text)
{
    QLineEdit *edit = child<QLineEdit>(parent, name);
    edit->clear();
    QTest::keyClicks(edit, text);
}

void click(QObject *parent, const char *name)
{
    QTest::mouseClick(child<QPushButton>(parent, name), Qt::LeftButton);
}

} // namespace

class TestCloudSyncWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void noAddressSaysSoAndSendsNothing();
    void needsLoginAndMouse();
    void logInThroughTheDialog();
    void registerAndForgottenPassword();
    void changePassword();
    void uploadAfterConfirmation();
    void downloadLoadsTheProfile();
    void refusedDownloadWarnsAndKeepsFolder();
    void expiredLoginWarns();
    void analyticsSwitch();

private:
    // A page over a logged-in account with a mouse open, warnings recorded.
    struct Page
    {
        explicit Page(bool loggedIn = true)
        {
            if (loggedIn) {
                OperateToken token;
                token.SetToken("tok-page");
                token.SetEmail("ann@example.org");
                token.SetNickName("Ann");
            }
            widget = std::make_unique<CloudSyncWidget>();
            widget->cloudSync()->setWaitLimits(5000, 5000);
            widget->setMouseType(kMouseType);
            QObject::connect(widget.get(), &CloudSyncWidget::sig_ShowWarningDialogOnCloudSyncWidget,
                             [this](int type, QString message) { warnings.append({type, message}); });
            widget->show();
        }
        std::unique_ptr<CloudSyncWidget> widget;
        Warnings warnings;
    };
};

void TestCloudSyncWidget::initTestCase()
{
    TextTable::loadTextTable(QStringLiteral(HARRIER_SOURCE_DIR "/resources/translate.json"), TextTable::kEnglishSlot);
    QVERIFY(TextTable::size() > 0);
}

void TestCloudSyncWidget::noAddressSaysSoAndSendsNothing()
{
    OnlineFixture f;
    ServiceAddress::setCommandLineAddress(QString());
    Page page;
    QCOMPARE(page.widget->stateText(), TextTable::text(TextTable::TextCloudNotConfigured));
    // Nothing that would send is offered, and each says why.
    for (const char *name : {"UploadButton", "DownloadButton", "LoginButton"}) {
        auto *button = page.widget->findChild<QPushButton *>(QLatin1String(name));
        QVERIFY2(button && !button->isEnabled(), name);
        QCOMPARE(button->toolTip(), TextTable::text(TextTable::TextCloudNotConfigured));
    }
    click(page.widget.get(), "UploadButton");
    click(page.widget.get(), "DownloadButton");
    page.widget->slot_StartDownload();
    QCOMPARE(page.warnings, Warnings());
    QCOMPARE(page.widget->stateText(), TextTable::text(TextTable::TextCloudNotConfigured));

    // The log-in dialog says it too, offers no account to create or password
    // to recover, and its button sends nothing.
    AccountDialog dialog;
    QCOMPARE(dialog.statusText(), TextTable::text(TextTable::TextCloudNotConfigured));
    QVERIFY(!dialog.findChild<QPushButton *>(QStringLiteral("ToRegisterButton"))->isVisibleTo(&dialog));
    QVERIFY(!dialog.findChild<QPushButton *>(QStringLiteral("ToForgotButton"))->isVisibleTo(&dialog));
    type(&dialog, "LoginEmailEdit", "ann@example.org");
    type(&dialog, "LoginPasswordEdit", "pw");
    click(&dialog, "LoginButton");
    QTRY_COMPARE(dialog.statusText(), TextTable::text(TextTable::TextCloudNotConfigured));
    QTest::qWait(100);
    QCOMPARE(f.server->requests().size(), size_t(0));

    // An http address is refused the same way, with its own reason.
    ServiceAddress::setCommandLineAddress(QStringLiteral("http://127.0.0.1:%1").arg(f.server->port()));
    page.widget->refreshAccount();
    QCOMPARE(page.widget->stateText(), TextTable::text(TextTable::TextCloudNotHttps));
    page.widget->slot_StartUpload();
    QCOMPARE(f.server->requests().size(), size_t(0));
}

void TestCloudSyncWidget::needsLoginAndMouse()
{
    OnlineFixture f;
    {
        Page page(false);
        click(page.widget.get(), "UploadButton");
        QCOMPARE(page.warnings, (Warnings{{10, QString()}}));
        QVERIFY(child<QPushButton>(page.widget.get(), "LoginButton")->isVisible());
        QVERIFY(!child<QPushButton>(page.widget.get(), "LogoutButton")->isVisible());
    }
    Page page;
    page.widget->setMouseType(0);
    click(page.widget.get(), "DownloadButton");
    QCOMPARE(page.warnings, Warnings());
    QCOMPARE(page.widget->stateText(), TextTable::text(TextTable::TextCloudNeedsMouse));
    QCOMPARE(child<QLabel>(page.widget.get(), "AccountLabel")->text(),
             TextTable::textWith(TextTable::TextCloudLoggedInAs, "Ann"));
    click(page.widget.get(), "LogoutButton");
    QCOMPARE(page.warnings, (Warnings{{3, QString()}}));
    QCOMPARE(f.server->requests().size(), size_t(0));
}

void TestCloudSyncWidget::logInThroughTheDialog()
{
    OnlineFixture f;
    f.server->onPost("/v1/user/login", [](const httplib::Request &request, httplib::Response &response) {
        const QJsonObject body = QJsonDocument::fromJson(QByteArray::fromStdString(request.body)).object();
        if (body.value("password").toString() != "pw-right-9") {
            response.set_content(TestServer::json(20002, "wrong password"), "application/json");
            return;
        }
        response.set_header("Authorization", "tok-dialog-5");
        response.set_content(TestServer::json(0, "ok", QJsonObject{{"nickname", "Ann"}}), "application/json");
    });
    Page page(false);
    QSignalSpy state(page.widget.get(), &CloudSyncWidget::sig_LoginStateChanged);
    click(page.widget.get(), "LoginButton");
    auto *dialog = page.widget->findChild<AccountDialog *>();
    QVERIFY(dialog && dialog->isVisible());

    MessageCapture capture;
    type(dialog, "LoginEmailEdit", "ann@example.org");
    type(dialog, "LoginPasswordEdit", "pw-wrong");
    click(dialog, "LoginButton");
    QTRY_COMPARE(dialog->statusText(), QString("wrong password"));
    QVERIFY(dialog->isVisible());

    // Enter in the e-mail field logs in as well, says at once that it is
    // on its way, and a second Enter meanwhile sends nothing more.
    const size_t before = f.server->requests().size();
    auto *email = child<QLineEdit>(dialog, "LoginEmailEdit");
    QTest::keyClick(email, Qt::Key_Return);
    QCOMPARE(dialog->statusText(), TextTable::text(TextTable::TextPleaseWait));
    QTest::keyClick(email, Qt::Key_Return);
    QTRY_COMPARE(dialog->statusText(), QString("wrong password"));
    QVERIFY(dialog->isVisible());
    QTest::qWait(100);
    QCOMPARE(f.server->requests().size(), before + 1);

    type(dialog, "LoginPasswordEdit", "pw-right-9");
    QTest::keyClick(child<QLineEdit>(dialog, "LoginPasswordEdit"), Qt::Key_Return);
    QTRY_VERIFY(page.widget->isLoggedIn());
    QCOMPARE(state.size(), 1);
    QCOMPARE(child<QLabel>(page.widget.get(), "AccountLabel")->text(),
             TextTable::textWith(TextTable::TextCloudLoggedInAs, "Ann"));
    QVERIFY(child<QPushButton>(page.widget.get(), "LogoutButton")->isVisible());
    QCOMPARE(OperateToken().GetToken(), QString("tok-dialog-5"));
    const QString log = MessageCapture::messages().join('\n');
    QVERIFY(!log.contains("pw-right-9") && !log.contains("pw-wrong") && !log.contains("tok-dialog-5"));
}

void TestCloudSyncWidget::registerAndForgottenPassword()
{
    OnlineFixture f;
    f.server->answer("/v1/user/register", 0, "ok");
    f.server->answer("/v1/user/findPassword", 0, "ok");
    f.server->answer("/v1/user/validatePassword", 0, "ok");
    f.server->answer("/v1/user/newPassword", 0, "ok");
    AccountDialog dialog;
    dialog.show();

    click(&dialog, "ToRegisterButton");
    QCOMPARE(dialog.currentPage(), int(AccountDialog::RegisterPage));
    type(&dialog, "NickNameEdit", "Ann");
    type(&dialog, "RegisterEmailEdit", "ann@example.org");
    type(&dialog, "RegisterPasswordEdit", "pw1");
    type(&dialog, "RegisterRepeatEdit", "pw2");
    click(&dialog, "RegisterButton");
    QCOMPARE(dialog.statusText(), TextTable::text(TextTable::TextPasswordsDiffer));
    type(&dialog, "RegisterRepeatEdit", "pw1");
    click(&dialog, "RegisterButton");
    QTRY_COMPARE(dialog.currentPage(), int(AccountDialog::LoginPage));
    QCOMPARE(dialog.statusText(), TextTable::text(TextTable::TextRegisterDone));
    QCOMPARE(child<QLineEdit>(&dialog, "LoginEmailEdit")->text(), QString("ann@example.org"));

    click(&dialog, "ToForgotButton");
    type(&dialog, "ForgotEmailEdit", "ann@example.org");
    click(&dialog, "SendCodeButton");
    QTRY_COMPARE(dialog.statusText(), TextTable::text(TextTable::TextCodeSent));
    type(&dialog, "CodeEdit", "4711");
    click(&dialog, "CheckCodeButton");
    QTRY_COMPARE(dialog.statusText(), TextTable::text(TextTable::TextCodeChecked));
    type(&dialog, "NewPasswordEdit", "pw-new");
    type(&dialog, "NewRepeatEdit", "pw-new");
    click(&dialog, "SetPasswordButton");
    QTRY_COMPARE(dialog.currentPage(), int(AccountDialog::LoginPage));
    QCOMPARE(dialog.statusText(), TextTable::text(TextTable::TextPasswordChanged));

    const auto requests = f.server->requests();
    QCOMPARE(paths(*f.server), (std::vector<std::string>{"/v1/user/register", "/v1/user/findPassword",
                                                         "/v1/user/validatePassword", "/v1/user/newPassword"}));
    QCOMPARE(bodyOf(requests[3]),
             (QJsonObject{{"email", "ann@example.org"}, {"captcha", "4711"}, {"password", "pw-new"}}));
}

void TestCloudSyncWidget::changePassword()
{
    OnlineFixture f;
    f.server->answer("/v1/user/updatePassword", 0, "ok");
    Page page;
    click(page.widget.get(), "ChangePasswordButton");
    auto *dialog = page.widget->findChild<ChangePasswordDialog *>();
    QVERIFY(dialog);
    type(dialog, "NewPasswordEdit", "pw-3");
    type(dialog, "RepeatPasswordEdit", "pw-3");
    click(dialog, "ChangeButton");
    QTRY_COMPARE(dialog->statusText(), TextTable::text(TextTable::TextPasswordChanged));
    const auto requests = f.server->requests();
    QCOMPARE(requests.size(), size_t(1));
    QCOMPARE(requests[0].authorization, std::string("tok-page"));
    QCOMPARE(bodyOf(requests[0]), (QJsonObject{{"email", "ann@example.org"}, {"password", "pw-3"}, {"rePassword", "pw-3"}}));
}

void TestCloudSyncWidget::uploadAfterConfirmation()
{
    OnlineFixture f;
    writeFile(CloudSync::localFolder(kMouseType) + "/Config1.txt", "profile");
    writeFile(CloudSync::macroFolder() + "/PlayerCustom/1.json", "[]");
    f.server->answer("/v1/file/upload", 0, "ok", {{"filePath", "/store/x.zip"}});
    f.server->answer("/v1/driver/config2/save", 0, "ok");
    f.server->answer("/v1/driver/macro/config/save", 0, "ok");
    Page page;
    QSignalSpy finished(page.widget.get(), &CloudSyncWidget::sig_UploadFinished);
    click(page.widget.get(), "UploadButton");
    QCOMPARE(page.warnings, (Warnings{{2, QString()}}));
    QCOMPARE(f.server->requests().size(), size_t(0)); // nothing before the confirmation

    page.widget->slot_StartUpload();
    QCOMPARE(page.warnings.last(), (QPair<int, QString>{15, QString()}));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(paths(*f.server), (std::vector<std::string>{"/v1/file/upload", "/v1/driver/config2/save",
                                                         "/v1/file/upload", "/v1/driver/macro/config/save"}));
    QVERIFY(child<QPushButton>(page.widget.get(), "UploadButton")->isEnabled());
}

void TestCloudSyncWidget::downloadLoadsTheProfile()
{
    OnlineFixture f;
    writeFile(CloudSync::localFolder(kMouseType) + "/Config1.txt", "old");
    f.server->answer("/v1/driver/config2/get", 0, "ok", {{"filePath", "/files/l.zip"}});
    f.server->answer("/v1/driver/macro/config/get", 0, "ok", {{"filePath", "/files/m.zip"}});
    const std::string local = zipBytes({{"Config1.txt", "cloud"}}).toStdString();
    const std::string macros = zipBytes({{"PlayerCustom/2.json", "[1]"}}).toStdString();
    f.server->onGet("/files/l.zip", [local](const httplib::Request &, httplib::Response &r) { r.set_content(local, "application/zip"); });
    f.server->onGet("/files/m.zip", [macros](const httplib::Request &, httplib::Response &r) { r.set_content(macros, "application/zip"); });
    Page page;
    QSignalSpy load(page.widget.get(), &CloudSyncWidget::sig_LoadConfigFileAfterDownloadSucced);
    click(page.widget.get(), "DownloadButton");
    QCOMPARE(page.warnings, (Warnings{{4, QString()}}));
    page.widget->slot_StartDownload();
    QCOMPARE(load.size(), 1);
    QCOMPARE(page.warnings.last(), (QPair<int, QString>{16, QString()}));
    QCOMPARE(snapshot(CloudSync::localFolder(kMouseType)).value("Config1.txt"), QByteArray("cloud"));
    QCOMPARE(snapshot(CloudSync::macroFolder()).value("PlayerCustom/2.json"), QByteArray("[1]"));
}

void TestCloudSyncWidget::refusedDownloadWarnsAndKeepsFolder()
{
    OnlineFixture f;
    writeFile(CloudSync::localFolder(kMouseType) + "/Config1.txt", "old");
    f.server->answer("/v1/driver/config2/get", 0, "ok", {{"filePath", "/files/l.zip"}});
    const std::string hostile = zipBytes({{"Config1.txt", "cloud"}, {"../../../../evil", "x"}}).toStdString();
    f.server->onGet("/files/l.zip", [hostile](const httplib::Request &, httplib::Response &r) { r.set_content(hostile, "application/zip"); });
    Page page;
    const auto before = snapshot(f.root());
    QSignalSpy load(page.widget.get(), &CloudSyncWidget::sig_LoadConfigFileAfterDownloadSucced);
    page.widget->slot_StartDownload();
    QCOMPARE(load.size(), 0);
    QCOMPARE(page.warnings.size(), 1);
    QCOMPARE(page.warnings.first().first, 17);
    QCOMPARE(page.warnings.first().second, TextTable::text(TextTable::TextCloudArchiveRefused));
    QCOMPARE(page.widget->stateText(), TextTable::text(TextTable::TextCloudArchiveRefused));
    QCOMPARE(snapshot(f.root()), before);
}

void TestCloudSyncWidget::expiredLoginWarns()
{
    OnlineFixture f;
    f.server->answer("/v1/driver/config2/get", 10011, "token expired");
    Page page;
    MessageCapture capture;
    page.widget->slot_StartDownload();
    QCOMPARE(page.warnings, (Warnings{{28, QString()}}));
    QVERIFY(MessageCapture::messages().contains("slot_getDownLoadFilePathResult Login Failed"));
}

void TestCloudSyncWidget::analyticsSwitch()
{
    OnlineFixture f;
    Page page;
    QCheckBox *box = child<QCheckBox>(page.widget.get(), "AnalyticsCheckBox");
    QVERIFY(!box->isChecked());
    QVERIFY(!GAnalytics::isEnabled());
    QCOMPARE(child<QLabel>(page.widget.get(), "AnalyticsNote")->text(), TextTable::text(TextTable::TextAnalyticsNoAddress));
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    QVERIFY(box->isChecked());
    QVERIFY(GAnalytics::isEnabled());
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    QVERIFY(!GAnalytics::isEnabled());
}

QTEST_MAIN(TestCloudSyncWidget)
#include "tst_cloudsyncwidget.moc"
