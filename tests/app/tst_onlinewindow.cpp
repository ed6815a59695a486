// The main window with the web service behind it (the local HTTPS server):
// version checks answered with their warnings, the log-out warning, a
// download loading the profile, and usage events only with consent.
#include "support/OnlineFixture.h"
#include "support/ZipMaker.h"
#include "analytics/GAnalytics.h"
#include "app/MainWindow.h"
#include "app/WarningDialog.h"
#include "model/ProductTable.h"
#include "emulator/EmulatedBackend.h"
#include "online/CloudSync.h"
#include "online/KVAccountManage.h"
#include "pages/CloudSyncWidget.h"
#include "platform/hid/HidBackend.h"
#include "store/OperateToken.h"
#include "store/SettingsFiles.h"

#include <QDesktopServices>
#include <QJsonDocument>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

class TestOnlineWindow : public QObject
{
    Q_OBJECT

private:
    EmulatedBackend m_bus; // an empty bus: the window never sees the machine's devices
    std::unique_ptr<OnlineFixture> m_f;
    std::unique_ptr<MainWindow> m_window;

    template <typename T>
    T *child(const char *name) const
    {
        T *widget = m_window->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no child %s", name);
        return widget;
    }
    WarningDialog *warning() const { return m_window->warningDialog(); }
    int shownWarning() const { return warning()->isVisible() ? warning()->currentType() : -1; }
    void makeWindow()
    {
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        // Every page at once, not after the first paint.
        m_window->attachDeferredPages();
    }
    QJsonObject lastBody(const std::string &path) const
    {
        QJsonObject body;
        for (const auto &request : m_f->server->requests())
            if (request.path == path)
                body = QJsonDocument::fromJson(QByteArray::fromStdString(request.body)).object();
        return body;
    }

public slots:
    void openUrl(const QUrl &) {}

private slots:
    void initTestCase()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl");
        Hid::setBackend(&m_bus);
        QCoreApplication::setApplicationVersion(QStringLiteral("0.9.013950.0828"));
    }
    void cleanupTestCase() { Hid::setBackend(nullptr); }
    void init()
    {
        m_f = std::make_unique<OnlineFixture>();
        MouseType::setCurrent(0);
    }
    void cleanup()
    {
        m_window.reset();
        m_f.reset();
    }

    void automaticSoftwareCheckPromptsForANewerVersion()
    {
        m_f->server->answer("/v1/driver/version", 0, "ok",
                            {{"version", "1.0.0"}, {"downloadUrl", "https://downloads.test/h"}, {"versionDate", "2026-12-01"}});
        makeWindow();
        MouseType::setCurrent(11);
        m_window->slot_OpenDeviceResult(true, 11, false);
        QTRY_COMPARE(shownWarning(), 1);
        QCOMPARE(lastBody("/v1/driver/version"), (QJsonObject{{"versionType", "harrier-software"}}));
    }

    void manualCheckShowsTheServersRefusal()
    {
        m_f->server->answer("/v1/driver/version", 40001, "no such product");
        makeWindow();
        QTest::mouseClick(child<QPushButton>("UpdateButton"), Qt::LeftButton);
        QTRY_COMPARE(shownWarning(), 54);
        QCOMPARE(warning()->findChild<QLabel *>(QStringLiteral("MessageLabel"))->text(), QString("no such product"));
        QVERIFY(child<QPushButton>("UpdateButton")->isEnabled());
    }

    void manualCheckWithoutAddressSaysSo()
    {
        ServiceAddress::setCommandLineAddress(QString());
        makeWindow();
        QTest::mouseClick(child<QPushButton>("UpdateButton"), Qt::LeftButton);
        QTRY_COMPARE(shownWarning(), 54);
        QCOMPARE(warning()->findChild<QLabel *>(QStringLiteral("MessageLabel"))->text(),
                 KVAccountManage::unavailableText());
        QCOMPARE(m_f->server->requests().size(), size_t(0));
    }

    void newerFirmwareIsOffered()
    {
        m_f->server->answer("/v1/driver/version", 0, "ok", {{"version", "9"}, {"downloadUrl", "https://downloads.test/f"}});
        makeWindow();
        MouseType::setCurrent(11);
        m_window->slot_GetCurrentFirmVersion(3);
        QTRY_COMPARE(shownWarning(), 35);
        QCOMPARE(lastBody("/v1/driver/version"),
                 (QJsonObject{{"versionType", Products::modelName(11) + "-firmware"}}));
    }

    void logOutThroughTheWarning()
    {
        OperateToken().SetToken("tok-window");
        makeWindow();
        QVERIFY(m_window->isLoggedIn());
        QTest::mouseClick(child<QPushButton>("CloudSyncButton"), Qt::LeftButton);
        QCOMPARE(shownWarning(), -1); // logged in: no log-in reminder
        QTest::mouseClick(child<QPushButton>("LogoutButton"), Qt::LeftButton);
        QCOMPARE(shownWarning(), 3);
        QTest::mouseClick(warning()->findChild<QPushButton *>(QStringLiteral("OkButton")), Qt::LeftButton);
        QVERIFY(!m_window->isLoggedIn());
        QVERIFY(!QFile::exists(SettingsFiles::systemIniPath()));
        QVERIFY(!child<QPushButton>("LoginButton")->isHidden());
    QVERIFY(child<QPushButton>("LogoutButton")->isHidden());
    }

    void confirmedDownloadLoadsTheCurrentProfile()
    {
        OperateToken().SetToken("tok-window");
        m_f->server->answer("/v1/driver/version", 0, "ok");
        m_f->server->answer("/v1/driver/config2/get", 0, "ok", {{"filePath", "/files/l.zip"}});
        m_f->server->answer("/v1/driver/macro/config/get", 0, "ok", {{"filePath", "/files/m.zip"}});
        const std::string archive = zipBytes({{"ConfigJsonFile/Config1.json", "{}"}}).toStdString();
        m_f->server->onGet("/files/l.zip", [archive](const httplib::Request &, httplib::Response &r) { r.set_content(archive, "application/zip"); });
        m_f->server->onGet("/files/m.zip", [archive](const httplib::Request &, httplib::Response &r) { r.set_content(archive, "application/zip"); });
        makeWindow();
        MouseType::setCurrent(11);
        m_window->slot_OpenDeviceResult(true, 11, false);
        m_window->showCurrentConfigButton(3);
        QSignalSpy load(m_window.get(), &MainWindow::sig_LoadFileAndeWriteIntoMouse);
        QSignalSpy convert(m_window.get(), &MainWindow::sig_TurnOldTxtFileToNewJsonFile);
        QTest::mouseClick(child<QPushButton>("CloudSyncButton"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>("DownloadButton"), Qt::LeftButton);
        QCOMPARE(shownWarning(), 4);
        QTest::mouseClick(warning()->findChild<QPushButton *>(QStringLiteral("OkButton")), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(load.size(), 1, 15000);
        QCOMPARE(convert.size(), 1);
        QCOMPARE(load.first().first().toInt(), 3);
        QTRY_COMPARE(shownWarning(), 16);
    }

    void usageEventsOnlyWithConsent()
    {
        m_f->server->onPost("/collect", [](const httplib::Request &, httplib::Response &r) { r.status = 200; });
        GAnalytics::setCollectionAddress(m_f->server->baseUrl());
        makeWindow();
        QTest::mouseClick(child<QPushButton>("SupportButton"), Qt::LeftButton);
        QTest::qWait(200);
        QCOMPARE(m_f->server->requests().size(), size_t(0));

        GAnalytics::setEnabled(true);
        QTest::mouseClick(child<QPushButton>("LightSettingButton"), Qt::LeftButton);
        QTRY_VERIFY(m_f->server->requests().size() >= 2);
        const std::string body = m_f->server->requests().back().body;
        QVERIFY(QString::fromStdString(body).contains("ea=LightSettingButton"));
    }
};

QTEST_MAIN(TestOnlineWindow)
#include "tst_onlinewindow.moc"
