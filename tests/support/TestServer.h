#pragma once
// A real HTTPS server on 127.0.0.1 for the web client's tests: cpp-httplib
// with OpenSSL, a certificate made with openssl when the server starts, and
// that certificate trusted by this test process only. Handlers are set per
// path at any time; every request is recorded. The server stops when the
// fixture goes, or by itself after kLifetimeSeconds.
#include <httplib.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TestServer
{
public:
    using Handler = std::function<void(const httplib::Request &, httplib::Response &)>;
    static constexpr int kLifetimeSeconds = 240;

    struct Recorded
    {
        std::string method;
        std::string path;
        bool hasAuthorization = false;
        std::string authorization;
        std::string contentType;
        std::string body;
        httplib::MultipartFormDataMap files;
    };

    TestServer()
    {
        const QString cert = m_folder.path() + "/cert.pem";
        const QString key = m_folder.path() + "/key.pem";
        QProcess openssl;
        openssl.start("openssl", {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                                  "-nodes", "-keyout", key, "-out", cert, "-days", "1", "-subj", "/CN=127.0.0.1",
                                  "-addext", "subjectAltName=IP:127.0.0.1"});
        if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
            return;
        trust(cert);
        m_server = std::make_unique<httplib::SSLServer>(cert.toLocal8Bit().constData(), key.toLocal8Bit().constData());
        if (!m_server->is_valid())
            return;
        m_server->set_read_timeout(5, 0);
        m_server->set_write_timeout(5, 0);
        m_server->set_payload_max_length(64 * 1024 * 1024);
        auto dispatch = [this](const httplib::Request &request, httplib::Response &response) {
            Handler handler;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                Recorded r;
                r.method = request.method;
                r.path = request.path;
                r.hasAuthorization = request.has_header("Authorization");
                r.authorization = request.get_header_value("Authorization");
                r.contentType = request.get_header_value("Content-Type");
                r.body = request.body;
                r.files = request.files;
                m_requests.push_back(r);
                auto it = m_handlers.find(request.method + " " + request.path);
                if (it != m_handlers.end())
                    handler = it->second;
            }
            if (handler)
                handler(request, response);
            else
                response.status = 404;
        };
        m_server->Post(".*", dispatch);
        m_server->Get(".*", dispatch);
        m_port = m_server->bind_to_any_port("127.0.0.1");
        if (m_port <= 0)
            return;
        m_thread = std::thread([this] { m_server->listen_after_bind(); });
        m_watchdog = std::thread([this] {
            std::unique_lock<std::mutex> lock(m_stopMutex);
            m_stopCondition.wait_for(lock, std::chrono::seconds(kLifetimeSeconds), [this] { return m_stopping; });
            m_server->stop();
        });
        for (int i = 0; i < 500 && !m_server->is_running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }

    ~TestServer() { stop(); }

    TestServer(const TestServer &) = delete;
    TestServer &operator=(const TestServer &) = delete;

    bool isRunning() const { return m_thread.joinable(); }
    QString baseUrl() const { return QStringLiteral("https://127.0.0.1:%1").arg(m_port); }
    int port() const { return m_port; }

    // Ends the server: later requests find nobody listening.
    void stop()
    {
        if (!m_thread.joinable())
            return;
        {
            std::lock_guard<std::mutex> lock(m_stopMutex);
            m_stopping = true;
        }
        m_stopCondition.notify_all();
        m_server->stop();
        m_thread.join();
        m_watchdog.join();
    }

    void on(const std::string &method, const std::string &path, Handler handler)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_handlers[method + " " + path] = std::move(handler);
    }
    void onPost(const std::string &path, Handler handler) { on("POST", path, std::move(handler)); }
    void onGet(const std::string &path, Handler handler) { on("GET", path, std::move(handler)); }

    // A POST path that answers with the service's JSON.
    void answer(const std::string &path, int code, const QString &msg, const QJsonObject &data = QJsonObject())
    {
        const std::string body = json(code, msg, data);
        onPost(path, [body](const httplib::Request &, httplib::Response &response) {
            response.set_content(body, "application/json");
        });
    }

    static std::string json(int code, const QString &msg, const QJsonObject &data = QJsonObject())
    {
        QJsonObject root{{"code", code}, {"msg", msg}};
        if (!data.isEmpty())
            root.insert("data", data);
        return QJsonDocument(root).toJson(QJsonDocument::Compact).toStdString();
    }

    std::vector<Recorded> requests() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests;
    }
    void clearRequests()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.clear();
    }

private:
    // Adds the test certificate to this process's trusted authorities.
    static void trust(const QString &certPath)
    {
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.addCaCertificates(QSslCertificate::fromPath(certPath));
        QSslConfiguration::setDefaultConfiguration(configuration);
    }

    QTemporaryDir m_folder;
    std::unique_ptr<httplib::SSLServer> m_server;
    int m_port = 0;
    std::thread m_thread;
    std::thread m_watchdog;
    std::mutex m_stopMutex;
    std::condition_variable m_stopCondition;
    bool m_stopping = false;
    mutable std::mutex m_mutex;
    std::map<std::string, Handler> m_handlers;
    std::vector<Recorded> m_requests;
};
