#pragma once
// Logging by category: one per layer and family, and one for the per-byte
// protocol dumps, which are off unless asked for. The log texts themselves
// stay as they are; where they go is decided here: the window's "-d" log
// file takes everything but the dumps, a terminal only warnings, and
// harrierctl as much as its --verbose level asks.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcApp)
Q_DECLARE_LOGGING_CATEGORY(lcData)
Q_DECLARE_LOGGING_CATEGORY(lcDevice)
Q_DECLARE_LOGGING_CATEGORY(lcKestrel)
Q_DECLARE_LOGGING_CATEGORY(lcOsprey)
Q_DECLARE_LOGGING_CATEGORY(lcStore)
Q_DECLARE_LOGGING_CATEGORY(lcOnline)
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
// Per-byte dumps of profiles and comparisons: thousands of lines an open.
Q_DECLARE_LOGGING_CATEGORY(lcRaw)

namespace Log {

// How much reaches a terminal.
enum class Level {
    Warnings, // warnings and worse (the default)
    Verbose,  // and the informational lines of every category but the dumps
    Raw,      // and the per-byte dumps
};

// A handler for a terminal: prints what the level lets through to standard
// error (the dumps' category is enabled at Raw only), the rest is dropped. Installed by the window without "-d" and by harrierctl.
void installTerminalHandler(Level level);

} // namespace Log
