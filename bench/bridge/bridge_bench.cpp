// Prints what the bridge's flows cost on a factory-fresh emulated mouse:
// device time on the virtual clock, the commands the mouse took and the HID
// transfers on the bus, for the whole open with its start-up read (cable
// Kestrel, Merlin through its receiver, Harrier and Wren by cable) and for
// one CPI change; for the Harrier also a configuration load and a macro write.
#include "bench/BenchSupport.h"
#include "data/DCDataHandle.h"
#include "emulator/EmulatedBackend.h"
#include "emulator/kestrel/EmulatedKestrelMouse.h"
#include "emulator/osprey/EmulatedOspreyMouse.h"
#include "store/JsonHandle.h"
#include "platform/AppPaths.h"
#include "platform/DeviceClock.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>
#include <memory>

namespace {

struct Cost
{
    qint64 deviceMs;
    int commands;
    int transfers;
};

// Commands a mouse took: first-family command reports, or the second
// family's feature reports set (each one command).
int commandsOf(const EmulatedKestrelMouse &mouse) { return mouse.commandCount(); }
int commandsOf(const EmulatedOspreyMouse &mouse) { return mouse.reportsSet().size(); }

template <typename Mouse>
Cost measure(EmulatedBackend &bus, Mouse &mouse, const std::function<void()> &run)
{
    DeviceClock::resetVirtual();
    bus.resetTransferCount();
    mouse.resetCounters();
    run();
    return {DeviceClock::virtualElapsedMs(), commandsOf(mouse), bus.transferCount()};
}

// Warnings raised during the last measurement, so a figure cut short by a failure shows it.
QList<int> g_warnings;

void print(QTextStream &out, const char *what, const Cost &c)
{
    QString warned;
    for (int w : g_warnings)
        warned += QStringLiteral(" %1").arg(w);
    out << QString::asprintf("%-58s %6lld ms device time %5d commands %5d HID transfers", what,
                             static_cast<long long>(c.deviceMs), c.commands, c.transfers)
        << (warned.isEmpty() ? QString() : QStringLiteral("  (warnings:%1)").arg(warned)) << "\n";
    g_warnings.clear();
}

// Opens the mouse through the bridge and changes its CPI list, printing
// both figures; false when the mouse did not open.
template <typename Mouse>
bool openAndChangeCpi(QTextStream &out, EmulatedBackend &bus, DCDataHandle &bridge, Mouse &mouse, USHORT pid,
                      const QString &label)
{
    bool opened = false;
    QObject::connect(&bridge, &DCDataHandle::sig_OpenDeviceResult, [&](bool ok, int, bool) { opened = ok; });
    QObject::connect(&bridge, &DCDataHandle::sig_ShowWarningDialog, [](int w) { g_warnings << w; });
    // The pages are filled when the bridge ends its busy overlay.
    qint64 filledAt = -1;
    const auto filled = QObject::connect(&bridge, &DCDataHandle::sig_EndLoadingDialog,
                                         [&] { filledAt = DeviceClock::virtualElapsedMs(); });
    print(out, qPrintable(QStringLiteral("open + start-up read, ") + label),
          measure(bus, mouse, [&] { bridge.slot_OpenDevice(pid, 0x3A5E); }));
    QObject::disconnect(filled);
    out << QString::asprintf("%-58s %6lld ms device time\n", qPrintable(QStringLiteral("  of which until the page is filled")),
                             static_cast<long long>(filledAt));
    if (!opened) {
        out << "the emulated mouse (" << label << ") did not open\n";
        return false;
    }
    print(out, qPrintable(QStringLiteral("CPI change (800/1600/3200), ") + label), measure(bus, mouse, [&] {
              bridge.slot_setCPIListValueOnMouse(QList<DWORD>{800, 1600, 3200, 0, 0, 0, 0});
          }));
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Bench::start();
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir root;
    AppPaths::setDataRoot(root.path());
    DCDataHandle::registerMetaTypes();
    QTextStream out(stdout);

    Bench::Bus bench;
    EmulatedBackend &bus = bench.bus;

    // The bridge's slots are called directly here: the cost is the device's,
    // whichever thread waits for it.
    {
        auto mouse = std::make_shared<EmulatedKestrelMouse>(QStringLiteral("kestrel"));
        const int id = bus.plug(mouse);
        DCDataHandle bridge;
        if (!openAndChangeCpi(out, bus, bridge, *mouse, 0x4130, QStringLiteral("Kestrel by cable")))
            return 1;
        bridge.releaseObject();
        bus.unplug(id);
    }
    {
        auto mouse = std::make_shared<EmulatedKestrelMouse>(QStringLiteral("merlin"));
        auto receiver = std::make_shared<EmulatedKestrelReceiver>(mouse);
        const int id = bus.plug(receiver);
        DCDataHandle bridge;
        if (!openAndChangeCpi(out, bus, bridge, *mouse, 0x4133, QStringLiteral("Merlin by receiver")))
            return 1;
        bridge.releaseObject();
        bus.unplug(id);
    }
    for (const char *model : {"harrier", "wren"}) {
        const QString name = QString::fromLatin1(model);
        const QString label = name.left(1).toUpper() + name.mid(1) + QStringLiteral(" by cable");
        auto mouse = std::make_shared<EmulatedOspreyMouse>(name);
        const int id = bus.plug(mouse);
        DCDataHandle bridge;
        if (!openAndChangeCpi(out, bus, bridge, *mouse, mouse->model().pid, label))
            return 1;
        print(out, qPrintable(QStringLiteral("configuration 2 load, ") + label),
              measure(bus, *mouse, [&] { bridge.slot_LoadLocalConfigFileAndWriteIntoMouse(2); }));
        JsonHandle json;
        const QString macro = json.createNewMacroFile();
        QList<MacroNode> events;
        for (int key : {0x41, 0x42, 0x43}) {
            MacroNode press;
            press.valueType = 3;
            press.keyValue = key;
            press.timeLapse = 50;
            press.state = 0;
            MacroNode release = press;
            release.state = 1;
            events << press << release;
        }
        json.setMacroNodeList(macro, events);
        print(out, qPrintable(QStringLiteral("macro write (6 key events, button 7), ") + label),
              measure(bus, *mouse, [&] { bridge.slot_WriteSingleMacro(7, macro); }));
        bridge.releaseObject();
        bus.unplug(id);
    }
    return 0;
}
