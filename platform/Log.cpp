#include "platform/Log.h"

#include <atomic>
#include <cstdio>

Q_LOGGING_CATEGORY(lcApp, "harrier.app")
Q_LOGGING_CATEGORY(lcData, "harrier.data")
Q_LOGGING_CATEGORY(lcDevice, "harrier.device")
Q_LOGGING_CATEGORY(lcKestrel, "harrier.device.kestrel")
Q_LOGGING_CATEGORY(lcOsprey, "harrier.device.osprey")
Q_LOGGING_CATEGORY(lcStore, "harrier.store")
Q_LOGGING_CATEGORY(lcOnline, "harrier.online")
Q_LOGGING_CATEGORY(lcPlatform, "harrier.platform")
Q_LOGGING_CATEGORY(lcRaw, "harrier.raw", QtWarningMsg)

namespace Log {

namespace {

std::atomic<Level> g_level{Level::Warnings};

void terminalHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    const bool chatty = type == QtDebugMsg || type == QtInfoMsg;
    if (chatty && g_level.load() == Level::Warnings)
        return;
    const QByteArray line = message.toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

} // namespace

void setLevel(Level level)
{
    g_level.store(level);
    // The dumps are off unless asked for; the environment's rules still apply on top.
    QLoggingCategory::setFilterRules(level == Level::Raw ? QStringLiteral("harrier.raw.debug=true")
                                                         : QStringLiteral("harrier.raw.debug=false"));
}

Level level()
{
    return g_level.load();
}

void installTerminalHandler(Level level)
{
    setLevel(level);
    qInstallMessageHandler(terminalHandler);
}

} // namespace Log
