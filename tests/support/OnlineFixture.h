#pragma once
// A temporary application folder, a fresh test server and the service
// address pointing at it: the sane baseline of every web client test.
#include "support/TestServer.h"
#include "support/TempAppFolder.h"
#include "online/ServiceAddress.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>

struct OnlineFixture
{
    OnlineFixture()
    {
        server = std::make_unique<TestServer>();
        ServiceAddress::setCommandLineAddress(server->baseUrl());
    }
    ~OnlineFixture()
    {
        ServiceAddress::setCommandLineAddress(QString());
        server.reset();
    }

    QString root() const { return folder.path(); }

    TempAppFolder folder;
    std::unique_ptr<TestServer> server;
};

// A recorded request's JSON body.
inline QJsonObject bodyOf(const TestServer::Recorded &request)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(request.body)).object();
}

// The paths the server was asked for, in order.
inline std::vector<std::string> paths(const TestServer &server)
{
    std::vector<std::string> list;
    for (const auto &request : server.requests())
        list.push_back(request.path);
    return list;
}

// Waits (bounded) for a spy's first signal.
inline bool waitForSignal(QSignalSpy &spy, int ms = 10000)
{
    return !spy.isEmpty() || spy.wait(ms);
}
