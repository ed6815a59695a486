// Prints how the cost of the program's work grows with the work: each figure
// at several sizes, so a cost that grows faster than the work shows as a
// ratio well above the size's. Wall time on this machine (median of a few
// runs where cheap), device time on the virtual clock, and peak memory.
//   growth_bench [--quick]
#include "app/LogFile.h"
#include "bench/BenchSupport.h"
#include "data/DCDataHandle.h"
#include "device/CheckDevice.h"
#include "emulator/EmulatedCatalog.h"
#include "emulator/osprey/EmulatedOspreyMouse.h"
#include "online/ConfigArchive.h"
#include "pages/MacroEditWidget.h"
#include "platform/AppPaths.h"
#include "store/JsonHandle.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <functional>

namespace {

// Median wall time of runs of call, in milliseconds.
double medianMs(int runs, const std::function<void()> &call)
{
    QVector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        call();
        times.append(clock.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

// Peak resident memory of the process so far, in MiB (VmHWM).
double peakMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

QJsonObject macroFile(int events)
{
    QJsonArray nodes;
    for (int i = 0; i < events; ++i)
        nodes.append(QJsonObject{{"ValueType", 3}, {"KeyValue", 0x41 + i % 26}, {"TimeLapse", 20}, {"State", i % 2}});
    return QJsonObject{{"Name", "m"}, {"MacroType", 0}, {"RepeatTimes", 1}, {"Macro", nodes}};
}

void writeMacros(int count, int events)
{
    const QString folder = JsonHandle::playerCustomMacroFolderPath();
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    const QByteArray text = QJsonDocument(macroFile(events)).toJson(QJsonDocument::Compact);
    for (int i = 0; i < count; ++i) {
        QFile f(QStringLiteral("%1/macro%2.json").arg(folder).arg(i));
        if (f.open(QIODevice::WriteOnly))
            f.write(text);
    }
}

void storedMacros(QTextStream &out, const QList<int> &sizes)
{
    out << "\nStored macros (10 key events each): the macro page built and its lists read\n";
    Bench::Table table(out, {{"macros", 8}, {"page ms", 10}, {"reload ms", 10}, {"per macro us", 13}});
    for (int n : sizes) {
        writeMacros(n, 10);
        const double build = medianMs(3, [] { MacroEditWidget page; });
        MacroEditWidget page;
        const double reload = medianMs(5, [&page] { page.reloadLists(); });
        table.row({n, QString::number(build, 'f', 1), QString::number(reload, 'f', 1),
                   QString::number(reload * 1000.0 / n, 'f', 1)});
    }
}

void longestMacro(QTextStream &out)
{
    // The second family's macro block holds 511 steps: 255 key events (a
    // press and a release, each a step, and the delays between them).
    out << "\nOne macro at its longest, written into an emulated Harrier through the bridge\n";
    Bench::Table table(out, {{"events", 8}, {"file write ms", 14}, {"device ms", 10}, {"wall ms", 8}});
    Bench::Bus bus;
    auto mouse = std::make_shared<EmulatedOspreyMouse>(QStringLiteral("harrier"));
    bus.bus.plug(mouse);
    DCDataHandle bridge;
    bridge.slot_OpenDevice(0x4163, 0x3A5E);
    for (int events : {16, 64, 255}) {
        const QString path = JsonHandle::playerCustomMacroFolderPath() + QStringLiteral("/long%1.json").arg(events);
        const double write = medianMs(3, [&] {
            QFile f(path);
            if (f.open(QIODevice::WriteOnly))
                f.write(QJsonDocument(macroFile(events)).toJson(QJsonDocument::Compact));
        });
        DeviceClock::resetVirtual();
        QElapsedTimer clock;
        clock.start();
        bridge.slot_WriteSingleMacro(5, path);
        table.row({events, QString::number(write, 'f', 2), DeviceClock::virtualElapsedMs(), clock.elapsed()});
    }
}

void miceOnTheBus(QTextStream &out, const QList<int> &sizes)
{
    static const char *const kModels[] = {"kestrel", "harrier", "merlin", "wren", "osprey", "saker", "lanner", "falcon"};
    out << "\nMice on the bus: one presence scan, and switching the bridge to another mouse\n";
    Bench::Table table(out, {{"mice", 6}, {"scan ms", 9}, {"switch device ms", 17}, {"switch wall ms", 15}});
    for (int n : sizes) {
        Bench::Bus bus;
        QVector<USHORT> pids;
        for (int i = 0; i < n; ++i) {
            QString error;
            EmulatedDevices devices;
            EmulatedCatalog::create(QLatin1String(kModels[i % 8]), &devices, &error);
            for (const auto &d : devices) {
                bus.bus.plug(d);
                pids.append(d->productId());
            }
        }
        CheckDevice presence;
        presence.stopTheTimer();
        const double scan = medianMs(5, [&presence] { presence.checkDeviceOnce(); });
        if (n < 2) {
            table.row({n, QString::number(scan, 'f', 2), QStringLiteral("-"), QStringLiteral("-")});
            continue;
        }
        // Always from the Kestrel to the Harrier, so the sizes compare.
        DCDataHandle bridge;
        bridge.slot_OpenDevice(pids.at(0), 0x3A5E);
        DeviceClock::resetVirtual();
        QElapsedTimer clock;
        clock.start();
        bridge.destroyUselessThings();
        bridge.slot_OpenDevice(pids.at(1), 0x3A5E);
        table.row({n, QString::number(scan, 'f', 2), DeviceClock::virtualElapsedMs(), clock.elapsed()});
    }
}

void logFiles(QTextStream &out, const QList<int> &sizes)
{
    out << "\nHourly log files (-d): the pruning a new hour's first line runs, over files all kept\n"
           "(each hour's pruning) and all past the days kept (the first start after a long time)\n";
    Bench::Table table(out, {{"files", 7}, {"all kept ms", 12}, {"per file us", 12}, {"all old ms", 11}, {"per file us", 12}});
    const QDateTime now = QDateTime::currentDateTime();
    const auto fill = [](const QString &folder, int n, const QDateTime &newest) {
        for (int i = 0; i < n; ++i) {
            // Names of the log's own form: one file an hour, going back.
            QFile f(folder + QLatin1Char('/') + newest.addSecs(-3600LL * i).toString(QStringLiteral("yyyy_MM_dd_hh"))
                    + QStringLiteral(".txt"));
            if (f.open(QIODevice::WriteOnly))
                f.write("x\n");
        }
    };
    for (int n : sizes) {
        QTemporaryDir kept, old;
        // Kept: hours in the future of the cut (the test clock runs ahead), so none goes.
        fill(kept.path(), n, now.addDays(365 * 2));
        fill(old.path(), n, now.addDays(-LogFile::kKeepDays - 1));
        const double keptMs = medianMs(3, [&] { LogFile::prune(kept.path(), now, LogFile::kKeepDays); });
        QElapsedTimer clock;
        clock.start();
        LogFile::prune(old.path(), now, LogFile::kKeepDays);
        const double oldMs = clock.nsecsElapsed() / 1e6;
        table.row({n, QString::number(keptMs, 'f', 1), QString::number(keptMs * 1000.0 / n, 'f', 1),
                   QString::number(oldMs, 'f', 1), QString::number(oldMs * 1000.0 / n, 'f', 1)});
    }
}

void archives(QTextStream &out, const QList<int> &megabytes)
{
    out << "\nA cloud archive of the configuration folder: made for upload, and taken apart after download\n";
    Bench::Table table(out, {{"MiB", 5}, {"zip ms", 9}, {"unzip ms", 9}, {"peak MiB", 9}});
    for (int mb : megabytes) {
        QTemporaryDir work;
        const QString folder = work.filePath(QStringLiteral("LocalFile"));
        QDir().mkpath(folder);
        // Pictures and configuration files do not compress much: random bytes, in 1 MiB files.
        QByteArray block(1 << 20, '\0');
        for (int i = 0; i < mb; ++i) {
            for (int j = 0; j < block.size(); j += 4)
                *reinterpret_cast<quint32 *>(block.data() + j) = QRandomGenerator::global()->generate();
            QFile f(QStringLiteral("%1/part%2.bin").arg(folder).arg(i));
            if (f.open(QIODevice::WriteOnly))
                f.write(block);
        }
        const QString zip = work.filePath(QStringLiteral("LocalFile.zip"));
        QElapsedTimer clock;
        clock.start();
        ConfigArchive::compressFolder(folder, zip);
        const qint64 zipMs = clock.restart();
        ConfigArchive::Limits limits;
        limits.maxTotalBytes = qint64(mb + 1) << 20;
        ConfigArchive::extractSafely(zip, work.filePath(QStringLiteral("out")), limits);
        table.row({mb, zipMs, clock.elapsed(), QString::number(peakMiB(), 'f', 0)});
    }
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    Bench::start();
    QTemporaryDir root;
    AppPaths::setDataRoot(root.path());
    DCDataHandle::registerMetaTypes();
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    QTextStream out(stdout);
    out << "growth_bench: wall times on this machine, device time on the virtual clock\n";
    storedMacros(out, quick ? QList<int>{10, 100} : QList<int>{10, 100, 1000});
    longestMacro(out);
    miceOnTheBus(out, {1, 2, 4, 8});
    logFiles(out, quick ? QList<int>{50, 500} : QList<int>{50, 500, 5000});
    archives(out, quick ? QList<int>{1, 10} : QList<int>{1, 10, 100});
    return 0;
}
