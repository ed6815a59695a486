#pragma once
#include "platform/AppIdentity.h"

#include <QLocale>
#include <QString>
#include <QStringList>

class QWidget;

// The steps of start-up, in the order main() takes them.
namespace Startup {

// The single-instance key; a second copy also sends it as its message.
inline const QString kInstanceKey = AppIdentity::kInstanceKey;
inline const QString kApplicationName = AppIdentity::kApplicationName;
inline const QString kApplicationVersion = AppIdentity::kApplicationVersion;
// The second copy waits this long for the first to take its message.
constexpr int kMessageTimeoutMs = 5000;
// How long the session bus may take to answer its first exchange at start.
constexpr int kBusAnswerMs = 1500;
constexpr int kSecondInstanceExitCode = -1;

// Scans the arguments for "-d" (case-sensitive); the first match installs
// the hourly log file handler and ends the scan. Returns true when it did.
bool scanArguments(const QStringList &arguments);
bool scanArguments(int argc, char *argv[]);

// "--help" (or "-h") and "--version": the text to print instead of starting
// the window; empty when the arguments ask for neither.
QString commandLineAnswer(const QStringList &arguments);

// Registers the types that cross queued connections, under their names.
void registerMetaTypes();

// Adds every font file of the shipped "/Font" folder to the application's
// font database, logging each. The application font is left as it is.
void loadFonts();
void loadFonts(const QString &folder);

// Loads the text table slot of the system language from the shipped
// "/Language/translate.json".
void loadSysLanguage();
void loadSysLanguage(QLocale::Language language, const QString &path);

// Sets the application name and version that other parts read back.
void setApplicationIdentity();

// Makes the compiled-in images and style sheet available (they sit in a
// static library, which does not load them by itself). Safe to call again.
void initResources();

// Applies the style sheet resource to the window; false when it cannot be read.
bool applyStyleSheet(QWidget *window);

} // namespace Startup
