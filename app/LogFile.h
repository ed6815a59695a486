#pragma once
#include <QDateTime>
#include <QString>
#include <QtGlobal>

// The diagnostic log of `-d`: every message is appended to an hourly file
// "<data root>/Log/yyyy_MM_dd_hh.txt" as one line "yyyy-MM-dd hh:mm:ss: text".
namespace LogFile {

// The message handler itself; it may be called from any thread.
void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);

// Installs messageHandler as Qt's message handler once per process.
// Returns true when this call installed it, false when it already was.
bool install();

// The text of a line without its time: debug and info messages as they
// are, the others with "Warning: ", "Critical: " or "Fatal: " in front.
QString lineText(QtMsgType type, const QString &message);

// The file a message logged at `when` goes to.
QString filePath(const QDateTime &when);

// How many days of hourly files the log keeps.
constexpr int kKeepDays = 14;
// Removes the hourly files in `folder` that are older than `days` days at
// `now` (other files are left alone); returns how many went.
int prune(const QString &folder, const QDateTime &now, int days);

// The clock the handler reads (local time). Tests set a fixed one; null
// restores the real clock.
using Clock = QDateTime (*)();
void setClock(Clock clock);

} // namespace LogFile
