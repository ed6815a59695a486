#include "app/LogFile.h"

#include "platform/AppPaths.h"
#include "platform/LocalFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <atomic>
#include <cstdio>

namespace LogFile {

namespace {

std::atomic<Clock> g_clock{nullptr};
std::atomic<bool> g_installed{false};
// Set while this thread is inside the handler, so a message raised by the
// handler's own file work cannot recurse into it.
thread_local bool t_inHandler = false;

QDateTime now()
{
    const Clock clock = g_clock.load();
    return clock ? clock() : QDateTime::currentDateTime();
}

// Where the folder is not known yet (before the application object exists,
// or after it is gone), or the handler re-enters itself: standard error.
void toStandardError(const QString &line)
{
    const QByteArray bytes = line.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace

QString lineText(QtMsgType type, const QString &message)
{
    switch (type) {
    case QtDebugMsg:
    case QtInfoMsg:
        return message;
    case QtWarningMsg:
        return QStringLiteral("Warning: ") + message;
    case QtCriticalMsg:
        return QStringLiteral("Critical: ") + message;
    case QtFatalMsg:
        return QStringLiteral("Fatal: ") + message;
    }
    return QString();
}

QString filePath(const QDateTime &when)
{
    return AppPaths::dataRoot() + QStringLiteral("/Log/") + when.toString(QStringLiteral("yyyy_MM_dd_hh"))
           + QStringLiteral(".txt");
}

void messageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    const QString text = lineText(type, message);
    if (t_inHandler || !QCoreApplication::instance()) {
        toStandardError(text);
        return;
    }
    t_inHandler = true;
    const QDateTime when = now();
    const QString path = filePath(when);
    // A new hour's file: the folder is made if missing, and files older
    // than the days kept are removed, so the log cannot grow without end.
    if (!QFileInfo::exists(path)) {
        LocalFiles::makePrivatePath(QFileInfo(path).absolutePath());
        prune(QFileInfo(path).absolutePath(), when, kKeepDays);
    }
    // One write per line, so lines from several threads never mix within a
    // line; a FIFO or a link in place of the file loses the line instead of
    // blocking the thread that logs.
    const QString line =
        when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) + QStringLiteral(": ") + text + QLatin1Char('\n');
    LocalFiles::appendToRegularFile(path, line.toUtf8());
    t_inHandler = false;
}

int prune(const QString &folder, const QDateTime &now, int days)
{
    // Only our own hourly files ("yyyy_MM_dd_hh.txt"), by the hour they name.
    // Names of that form sort as their hours do, so each is compared with
    // the oldest hour kept as text: no date is parsed per file, which made
    // a folder of thousands cost most of a second.
    static const QRegularExpression name(
        QStringLiteral("^\\d{4}_(0[1-9]|1[0-2])_(0[1-9]|[12]\\d|3[01])_([01]\\d|2[0-3])\\.txt$"));
    const QDateTime cut = now.addDays(-days);
    const QString oldest = cut.toString(QStringLiteral("yyyy_MM_dd_hh")) + QStringLiteral(".txt");
    // The hour the cut falls in began before it, unless the cut is on the hour.
    const bool cutInsideItsHour = cut.time() != QTime(cut.time().hour(), 0);
    QDir dir(folder);
    int removed = 0;
    for (const QString &file : dir.entryList(QDir::Files, QDir::Unsorted)) {
        const bool older = file < oldest || (file == oldest && cutInsideItsHour);
        if (file.size() != oldest.size() || !older || !name.match(file).hasMatch())
            continue;
        if (dir.remove(file))
            ++removed;
    }
    return removed;
}

bool install()
{
    if (g_installed.exchange(true))
        return false;
    qInstallMessageHandler(messageHandler);
    return true;
}

void setClock(Clock clock)
{
    g_clock.store(clock);
}

} // namespace LogFile
