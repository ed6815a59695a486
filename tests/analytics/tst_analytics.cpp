// Usage statistics: nothing is collected or sent without the user's consent
// and a configured https collection address; with both, hits reach the
// collector in the Measurement Protocol form with our user agent.
#include "support/OnlineFixture.h"
#include "analytics/GAnalytics.h"

#include <QRegularExpression>
#include <QSettings>
#include <QtTest>

class TestAnalytics : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void nothingIsSentWithoutConsentAndAddress_data();
    void nothingIsSentWithoutConsentAndAddress();
    void hitsReachTheCollector();
    void identifiersAreKept();
};

void TestAnalytics::initTestCase()
{
    QCoreApplication::setApplicationName("HarrierDriver");
    QCoreApplication::setApplicationVersion("0.9.1");
}

void TestAnalytics::nothingIsSentWithoutConsentAndAddress_data()
{
    QTest::addColumn<bool>("consent");
    QTest::addColumn<QString>("address");
    QTest::newRow("fresh install") << false << "";
    QTest::newRow("address but no consent") << false << "server";
    QTest::newRow("consent but no address") << true << "";
    QTest::newRow("consent, plain http") << true << "http";
}

void TestAnalytics::nothingIsSentWithoutConsentAndAddress()
{
    QFETCH(bool, consent);
    QFETCH(QString, address);
    OnlineFixture f;
    if (consent)
        GAnalytics::setEnabled(true);
    if (address == "server")
        GAnalytics::setCollectionAddress(f.server->baseUrl());
    else if (address == "http")
        GAnalytics::setCollectionAddress(QStringLiteral("http://127.0.0.1:%1").arg(f.server->port()));

    GAnalytics analytics;
    QSignalSpy sent(&analytics, &GAnalytics::hitSent);
    analytics.slot_SendEventMessageToGA("MainWindow", "CloudSyncButton", "", "MainWindow");
    QCOMPARE(analytics.queuedHits(), 0);
    QVERIFY(!sent.wait(300));
    QCOMPARE(f.server->requests().size(), size_t(0));
    // Not even an identifier is made.
    QSettings ini(GAnalytics::settingsPath(), QSettings::IniFormat);
    QVERIFY(!ini.contains("GAnalytics-cid"));
}

void TestAnalytics::hitsReachTheCollector()
{
    OnlineFixture f;
    f.server->onPost("/collect", [](const httplib::Request &, httplib::Response &response) { response.status = 200; });
    GAnalytics::setEnabled(true);
    GAnalytics::setCollectionAddress(f.server->baseUrl() + "/");
    {
        QSettings ini(GAnalytics::settingsPath(), QSettings::IniFormat);
        ini.setValue("GAnalytics-tid", "UA-000-1");
    }

    GAnalytics analytics;
    QSignalSpy sent(&analytics, &GAnalytics::hitSent);
    analytics.slot_SendEventMessageToGA("MainWindow", "ConfigureButton", "Profile 2", "MainWindow");
    QTRY_COMPARE_WITH_TIMEOUT(sent.size(), 2, 10000);
    QVERIFY(sent.at(0).at(0).toBool());

    const auto requests = f.server->requests();
    QCOMPARE(requests.size(), size_t(2));
    QUrlQuery screen(QString::fromStdString(requests[0].body));
    QUrlQuery event(QString::fromStdString(requests[1].body));
    QCOMPARE(screen.queryItemValue("t"), QString("screenview"));
    QCOMPARE(screen.queryItemValue("cd"), QString("MainWindow"));
    QCOMPARE(event.queryItemValue("v"), QString("1"));
    QCOMPARE(event.queryItemValue("tid"), QString("UA-000-1"));
    QCOMPARE(event.queryItemValue("t"), QString("event"));
    QCOMPARE(event.queryItemValue("ec"), QString("MainWindow"));
    QCOMPARE(event.queryItemValue("ea"), QString("ConfigureButton"));
    QCOMPARE(event.queryItemValue("el", QUrl::FullyDecoded), QString("Profile 2"));
    QCOMPARE(event.queryItemValue("an"), QString("HarrierDriver"));
    QSettings ini(GAnalytics::settingsPath(), QSettings::IniFormat);
    QCOMPARE(event.queryItemValue("cid"), ini.value("GAnalytics-cid").toString());
    QCOMPARE(event.queryItemValue("uid"), ini.value("GAnalytics-uid").toString());
    QVERIFY(!event.queryItemValue("cid").isEmpty());
    QCOMPARE(requests[1].contentType, std::string("application/x-www-form-urlencoded"));

    const QRegularExpression agent(R"(^HarrierDriver/0\.9\.1 \([^;]+; [^)]+\) GAnalytics/1\.0 \(Qt/5\.\d+\.\d+\)$)");
    QVERIFY2(agent.match(GAnalytics::userAgent()).hasMatch(), qPrintable(GAnalytics::userAgent()));

    // Consent withdrawn: the next action sends nothing.
    GAnalytics::setEnabled(false);
    analytics.sendEvent("MainWindow", "SupportButton", "");
    QVERIFY(!sent.wait(300));
    QCOMPARE(f.server->requests().size(), size_t(2));
}

void TestAnalytics::identifiersAreKept()
{
    OnlineFixture f;
    f.server->onPost("/collect", [](const httplib::Request &, httplib::Response &response) { response.status = 200; });
    GAnalytics::setEnabled(true);
    GAnalytics::setCollectionAddress(f.server->baseUrl() + "/collect");
    {
        QSettings ini(GAnalytics::settingsPath(), QSettings::IniFormat);
        ini.setValue("GAnalytics-cid", "client-1");
        ini.setValue("GAnalytics-uid", "user-1");
    }
    GAnalytics analytics;
    QSignalSpy sent(&analytics, &GAnalytics::hitSent);
    analytics.sendEvent("Cloud", "Upload", "");
    QVERIFY(sent.wait(10000));
    const auto requests = f.server->requests();
    QCOMPARE(requests.size(), size_t(1));
    QCOMPARE(requests[0].path, std::string("/collect"));
    QUrlQuery hit(QString::fromStdString(requests[0].body));
    QCOMPARE(hit.queryItemValue("cid"), QString("client-1"));
    QCOMPARE(hit.queryItemValue("uid"), QString("user-1"));
}

QTEST_MAIN(TestAnalytics)
#include "tst_analytics.moc"
