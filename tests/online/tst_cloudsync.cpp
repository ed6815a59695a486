// The upload and download sequences against the local HTTPS server: both
// archives uploaded and registered, an archive downloaded and swapped in,
// and every way a download can go wrong leaving the user's folder alone.
#include "support/OnlineFixture.h"
#include "support/ZipMaker.h"
#include "support/MessageCapture.h"
#include "online/CloudSync.h"
#include "store/OperateToken.h"
#include "store/TextTable.h"

#include <QJsonDocument>
#include <QtTest>

namespace {

constexpr int kMouseType = 7;

// Serves an archive at path.
void serveFile(TestServer &server, const std::string &path, const QByteArray &bytes)
{
    const std::string content = bytes.toStdString();
    server.onGet(path, [content](const httplib::Request &, httplib::Response &response) {
        response.set_content(content, "application/zip");
    });
}

} // namespace

class TestCloudSync : public QObject
{
    Q_OBJECT

private slots:
    void uploadSendsBothArchivesAndRegistersThem();
    void uploadStopsAtTheFirstRefusal();
    void downloadSwapsInBothFolders();
    void failedDownloadLeavesFoldersUnchanged_data();
    void failedDownloadLeavesFoldersUnchanged();
    void slowRepliesTimeOut_data();
    void slowRepliesTimeOut();
    void noAddressSendsNothing();

private:
    // The user's two folders with a known content.
    static void fillFolders()
    {
        writeFile(CloudSync::localFolder(kMouseType) + "/ConfigJsonFile/Config1.json", "{\"local\":1}");
        writeFile(CloudSync::macroFolder() + "/PlayerCustom/20260101.json", "[\"macro\"]");
    }
};

void TestCloudSync::uploadSendsBothArchivesAndRegistersThem()
{
    OnlineFixture f;
    OperateToken().SetToken("tok-up");
    fillFolders();
    f.server->onPost("/v1/file/upload", [](const httplib::Request &request, httplib::Response &response) {
        const std::string name = request.has_file("file") ? request.get_file_value("file").filename : "none";
        response.set_content(TestServer::json(0, "ok", QJsonObject{{"filePath", "/store/" + QString::fromStdString(name)}}),
                             "application/json");
    });
    f.server->answer("/v1/driver/config2/save", 0, "ok");
    f.server->answer("/v1/driver/macro/config/save", 0, "ok");

    CloudSync sync;
    const CloudSync::Result result = sync.upload(kMouseType);
    QCOMPARE(int(result.outcome), int(CloudSync::Outcome::Done));

    const auto requests = f.server->requests();
    QCOMPARE(requests.size(), size_t(4));
    const QStringList expectedNames[] = {{"ConfigJsonFile/", "ConfigJsonFile/Config1.json"},
                                         {"PlayerCustom/", "PlayerCustom/20260101.json"}};
    const char *fileNames[] = {"LocalFile.zip", "MacroFiles.zip"};
    const char *savePaths[] = {"/v1/driver/config2/save", "/v1/driver/macro/config/save"};
    QTemporaryDir scratch;
    for (int i = 0; i < 2; ++i) {
        const auto &upload = requests[size_t(2 * i)];
        QCOMPARE(upload.path, std::string("/v1/file/upload"));
        QCOMPARE(upload.authorization, std::string("tok-up"));
        QCOMPARE(upload.files.count("file"), size_t(1));
        const httplib::MultipartFormData &part = upload.files.find("file")->second;
        QCOMPARE(part.filename, std::string(fileNames[i]));
        const QString zip = scratch.path() + "/" + fileNames[i];
        writeFile(zip, QByteArray::fromStdString(part.content));
        QCOMPARE(zipNames(zip), expectedNames[i]);

        const auto &save = requests[size_t(2 * i + 1)];
        QCOMPARE(save.path, std::string(savePaths[i]));
        QCOMPARE(bodyOf(save), (QJsonObject{{"filePath", QString("/store/") + fileNames[i]},
                                            {"configContent", ""},
                                            {"configType", QString::number(kMouseType)}}));
    }
    // The archives were made outside the user's folders and are gone.
    QVERIFY(!QFile::exists(CloudSync::localFolder(kMouseType) + ".zip"));
    QCOMPARE(snapshot(CloudSync::localFolder(kMouseType)).keys(), (QStringList{"ConfigJsonFile", "ConfigJsonFile/Config1.json"}));
}

void TestCloudSync::uploadStopsAtTheFirstRefusal()
{
    OnlineFixture f;
    fillFolders();
    f.server->answer("/v1/file/upload", 10011, "token expired");
    CloudSync sync;
    const CloudSync::Result result = sync.upload(kMouseType);
    QCOMPARE(int(result.outcome), int(CloudSync::Outcome::LoginExpired));
    QCOMPARE(result.message, QString("token expired"));
    QCOMPARE(f.server->requests().size(), size_t(1));
}

void TestCloudSync::downloadSwapsInBothFolders()
{
    OnlineFixture f;
    fillFolders();
    f.server->answer("/v1/driver/config2/get", 0, "ok", {{"configType", "7"}, {"filePath", "/files/local.zip"}});
    // An absolute address on the same server works as well as a relative one.
    f.server->answer("/v1/driver/macro/config/get", 0, "ok",
                     {{"filePath", f.server->baseUrl() + "/files/macro.zip"}});
    serveFile(*f.server, "/files/local.zip", zipBytes({{"ConfigJsonFile/Config1.json", "{\"cloud\":1}"}}));
    serveFile(*f.server, "/files/macro.zip", zipBytes({{"PlayerCustom/20261201.json", "[\"cloud\"]"}}));

    MessageCapture capture;
    CloudSync sync;
    const CloudSync::Result result = sync.download(kMouseType);
    QCOMPARE(int(result.outcome), int(CloudSync::Outcome::Done));
    QVERIFY(result.localConfigReplaced);
    QCOMPARE(snapshot(CloudSync::localFolder(kMouseType)),
             (QMap<QString, QByteArray>{{"ConfigJsonFile", "<dir>"}, {"ConfigJsonFile/Config1.json", "{\"cloud\":1}"}}));
    QCOMPARE(snapshot(CloudSync::macroFolder()),
             (QMap<QString, QByteArray>{{"PlayerCustom", "<dir>"}, {"PlayerCustom/20261201.json", "[\"cloud\"]"}}));
    QVERIFY(MessageCapture::messages().join('\n').contains("Succed to discondenseFile"));

    const auto requests = f.server->requests();
    QCOMPARE(requests.size(), size_t(4));
    QCOMPARE(bodyOf(requests[0]), (QJsonObject{{"configType", "7"}}));
    QCOMPARE(requests[2].body, std::string("{}"));
}

void TestCloudSync::failedDownloadLeavesFoldersUnchanged_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("outcome");
    const int refused = int(CloudSync::Outcome::ArchiveRefused);
    const int failedStep = int(CloudSync::Outcome::Failed);
    QTest::newRow("zip slip") << "slip" << refused;
    QTest::newRow("absolute path") << "absolute" << refused;
    QTest::newRow("symlink entry") << "symlink" << refused;
    QTest::newRow("oversized member") << "oversized" << refused;
    QTest::newRow("interrupted mid-body") << "interrupted" << failedStep;
    QTest::newRow("archive at a plain http address") << "http" << failedStep;
    QTest::newRow("archive missing") << "missing" << failedStep;
    QTest::newRow("log-in expired") << "expired" << int(CloudSync::Outcome::LoginExpired);
    QTest::newRow("server gone") << "gone" << failedStep;
}

void TestCloudSync::failedDownloadLeavesFoldersUnchanged()
{
    QFETCH(QString, kind);
    QFETCH(int, outcome);
    OnlineFixture f;
    fillFolders();
    const auto before = snapshot(f.root());

    const ZipEntry good{"ConfigJsonFile/Config1.json", "{\"cloud\":1}"};
    QString filePath = "/files/local.zip";
    int code = 0;
    if (kind == "slip")
        serveFile(*f.server, "/files/local.zip", zipBytes({good, {"../../../evil.txt", "x"}}));
    else if (kind == "absolute")
        serveFile(*f.server, "/files/local.zip", zipBytes({good, {f.root() + "/evil.txt", "x"}}));
    else if (kind == "symlink")
        serveFile(*f.server, "/files/local.zip", zipBytes({good, {"ConfigJsonFile/Config2.json", "/etc/passwd", true}}));
    else if (kind == "oversized")
        serveFile(*f.server, "/files/local.zip", zipBytes({good, {"big.bin", QByteArray(2 * 1024 * 1024, 0)}}));
    else if (kind == "interrupted") {
        const std::string archive = zipBytes({good, {"ConfigJsonFile/Config2.json", QByteArray(20000, 'r')}}).toStdString();
        f.server->onGet("/files/local.zip", [archive](const httplib::Request &, httplib::Response &response) {
            response.set_content_provider(archive.size(), "application/zip",
                                          [archive](size_t offset, size_t, httplib::DataSink &sink) {
                                              if (offset > 0)
                                                  return false; // the connection drops after half the body
                                              sink.write(archive.data(), archive.size() / 2);
                                              return true;
                                          });
        });
    } else if (kind == "http") {
        filePath = QStringLiteral("http://127.0.0.1:%1/files/local.zip").arg(f.server->port());
        serveFile(*f.server, "/files/local.zip", zipBytes({good}));
    } else if (kind == "expired") {
        code = 10011;
    }
    f.server->answer("/v1/driver/config2/get", code, "answer", {{"configType", "7"}, {"filePath", filePath}});
    if (kind == "gone")
        f.server->stop();

    MessageCapture capture;
    CloudSync sync;
    ConfigArchive::Limits limits;
    limits.maxTotalBytes = 1024 * 1024;
    sync.setArchiveLimits(limits);
    const CloudSync::Result result = sync.download(kMouseType);
    QCOMPARE(int(result.outcome), outcome);
    QVERIFY(!result.localConfigReplaced);
    QVERIFY(!result.message.isEmpty() || TextTable::size() == 0);
    QCOMPARE(snapshot(f.root()), before);
    if (kind == "expired")
        QVERIFY(MessageCapture::messages().contains("slot_getDownLoadFilePathResult Login Failed"));
}

void TestCloudSync::slowRepliesTimeOut_data()
{
    QTest::addColumn<bool>("upload");
    QTest::addColumn<QString>("log");
    QTest::newRow("upload") << true << "checkUploadState waitFlagTimeOut";
    QTest::newRow("archive path") << false << "sig_GetDownLoadFilePath waitFlagTimeOut";
}

void TestCloudSync::slowRepliesTimeOut()
{
    QFETCH(bool, upload);
    QFETCH(QString, log);
    OnlineFixture f;
    fillFolders();
    const auto before = snapshot(f.root());
    const std::string body = TestServer::json(0, "late", QJsonObject{{"filePath", "/files/local.zip"}});
    auto slow = [body](const httplib::Request &, httplib::Response &response) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        response.set_content(body, "application/json");
    };
    f.server->onPost("/v1/file/upload", slow);
    f.server->onPost("/v1/driver/config2/get", slow);

    MessageCapture capture;
    CloudSync sync;
    sync.setWaitLimits(300, 300);
    QElapsedTimer clock;
    clock.start();
    const CloudSync::Result result = upload ? sync.upload(kMouseType) : sync.download(kMouseType);
    QCOMPARE(int(result.outcome), int(CloudSync::Outcome::TimedOut));
    QVERIFY(MessageCapture::messages().contains(log));
    QCOMPARE(snapshot(f.root()), before);
}

void TestCloudSync::noAddressSendsNothing()
{
    OnlineFixture f;
    ServiceAddress::setCommandLineAddress(QString());
    CloudSync sync;
    QCOMPARE(int(sync.upload(kMouseType).outcome), int(CloudSync::Outcome::Unavailable));
    QCOMPARE(int(sync.download(kMouseType).outcome), int(CloudSync::Outcome::Unavailable));
    QTest::qWait(100);
    QCOMPARE(f.server->requests().size(), size_t(0));
}

QTEST_MAIN(TestCloudSync)
#include "tst_cloudsync.moc"
