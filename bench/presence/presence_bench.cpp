// Prints how soon a mouse shows, with the bare once-a-second poll ("poll")
// and with the scan woken at start-up and by the bus's announcements
// ("wake-up"): from start-up to the settings page filled by an emulated
// mouse already plugged in, and from plugging a mouse in (or pulling it
// out) to CheckDevice's report. Host time on this machine; the device
// clock is virtual, so the mouse's protocol waits cost nothing and the
// figures are the presence path's own. Several runs each, plugged at
// random moments of the poll's cycle as a user would.
#include "app/MainWindow.h"
#include "device/CheckDevice.h"
#include "emulator/EmulatedBackend.h"
#include "emulator/osprey/EmulatedOspreyMouse.h"
#include "pages/MainSettingWidget.h"
#include "platform/AppPaths.h"
#include "platform/DeviceClock.h"
#include "platform/hid/HidBackend.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <algorithm>
#include <functional>
#include <memory>

namespace {

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

constexpr int kRuns = 6;
constexpr qint64 kGiveUpMs = 10000;

// Runs the event loop until done() holds; the milliseconds it took, -1 on time-out.
qint64 waitFor(const std::function<bool()> &done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > kGiveUpMs)
            return -1;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
    }
    return clock.elapsed();
}

void idle(qint64 ms)
{
    QElapsedTimer clock;
    clock.start();
    waitFor([&] { return clock.elapsed() >= ms; });
}

void print(QTextStream &out, const QString &what, QList<qint64> ms)
{
    std::sort(ms.begin(), ms.end());
    qint64 sum = 0;
    for (qint64 v : ms)
        sum += v;
    out << QString::asprintf("%-44s mean %5lld ms  min %5lld ms  max %5lld ms  (%d runs)\n", qPrintable(what),
                             static_cast<long long>(ms.isEmpty() ? 0 : sum / ms.size()),
                             static_cast<long long>(ms.isEmpty() ? 0 : ms.first()),
                             static_cast<long long>(ms.isEmpty() ? 0 : ms.last()), int(ms.size()));
    out.flush();
}

// Start-up with a Harrier plugged in, until the settings page shows its CPI levels.
qint64 startUpToFirstPage(EmulatedBackend &bus, bool wake)
{
    QTemporaryDir root;
    AppPaths::setDataRoot(root.path());
    const int id = bus.plug(std::make_shared<EmulatedOspreyMouse>(QStringLiteral("harrier")));
    QElapsedTimer clock;
    clock.start();
    qint64 ms = -1;
    {
        MainWindow window;
        window.findChild<CheckDevice *>()->setWakeEnabled(wake);
        window.show();
        auto *page = window.findChild<MainSettingWidget *>();
        if (waitFor([page] {
                const QList<DWORD> cpi = page->cpiList();
                return std::any_of(cpi.begin(), cpi.end(), [](DWORD v) { return v != 0; });
            }) >= 0)
            ms = clock.elapsed();
    }
    bus.unplug(id);
    AppPaths::setDataRoot(QString());
    return ms;
}

// A mouse plugged in, then pulled out, at random moments: each to its report.
void arrivalAndRemoval(EmulatedBackend &bus, bool wake, QList<qint64> *arrivals, QList<qint64> *removals)
{
    CheckDevice check;
    check.setWakeEnabled(wake);
    int found = 0;
    QObject::connect(&check, &CheckDevice::sigFound, [&found] { ++found; });
    idle(1200); // past the start-up scan and a first poll
    int id = 0;
    for (int run = 0; run < kRuns; ++run) {
        for (bool arriving : {true, false}) {
            idle(QRandomGenerator::global()->bounded(1000));
            const int before = found;
            QElapsedTimer clock;
            clock.start();
            if (arriving)
                id = bus.plug(std::make_shared<EmulatedOspreyMouse>(QStringLiteral("harrier")));
            else
                bus.unplug(id);
            if (waitFor([&] { return found > before; }) >= 0)
                (arriving ? arrivals : removals)->append(clock.elapsed());
        }
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qInstallMessageHandler(quiet);
    QStandardPaths::setTestModeEnabled(true);
    DeviceClock::setVirtual(true);
    QTextStream out(stdout);

    EmulatedBackend bus;
    Hid::setBackend(&bus);
    for (bool wake : {false, true}) {
        const QString how = wake ? QStringLiteral("wake-up") : QStringLiteral("poll");
        QList<qint64> startUp;
        for (int run = 0; run < 3; ++run) {
            const qint64 ms = startUpToFirstPage(bus, wake);
            if (ms >= 0)
                startUp << ms;
        }
        print(out, QStringLiteral("start-up to first page filled, %1").arg(how), startUp);
        QList<qint64> arrivals, removals;
        arrivalAndRemoval(bus, wake, &arrivals, &removals);
        print(out, QStringLiteral("arrival to sigFound, %1").arg(how), arrivals);
        print(out, QStringLiteral("removal to sigFound(false), %1").arg(how), removals);
    }
    Hid::setBackend(nullptr);
    return 0;
}
