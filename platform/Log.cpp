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

void installTerminalHandler(Level level)
{
    g_level.store(level);
    // The dumps' category is off by default; only the raw level turns it on
    // (the environment's QT_LOGGING_RULES still apply on top).
    if (level == Level::Raw)
        QLoggingCategory::setFilterRules(QStringLiteral("harrier.raw.debug=true"));
    qInstallMessageHandler(terminalHandler);
}

} // namespace Log
