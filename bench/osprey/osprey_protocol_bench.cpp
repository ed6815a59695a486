// Prints what the second-family protocol costs on an emulated Harrier:
// device time on the virtual clock, reports set (commands) and transfers
// of each kind, with 0, 1 and 3 busy status answers per status poll, beside
// the least the exchange schedule allows: 100 ms before every command and
// every reply, the waits between a write and its poll, 100 ms between polls.
#include "bench/BenchSupport.h"
#include "model/ProductTable.h"
#include "device/osprey/USBDriver_Osprey.h"
#include "emulator/osprey/EmulatedOspreyMouse.h"

#include <QCoreApplication>
#include <functional>
#include <vector>

namespace {

// A status poll answered busy `busy` times: an exchange per answer, 100 ms after each busy one.
qint64 pollMs(int busy)
{
    return 200 * (busy + 1) + 100 * busy;
}

struct Case
{
    const char *name;
    std::function<bool(USBDriver_Osprey &)> run;
    std::function<qint64(int busy)> minimum;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Bench::start();
    Bench::Bus bench;
    EmulatedBackend &backend = bench.bus;
    auto mouse = std::make_shared<EmulatedOspreyMouse>(QStringLiteral("harrier"));
    backend.plug(mouse);
    MouseType::setCurrent(mouse->model().type);
    USBDriver_Osprey driver;
    driver.SetMouseType(mouse->model().type);
    driver.SetPidVid(mouse->model().pid, 0x3A5E);
    QTextStream out(stdout);
    if (!driver.FindHIDDevice()) {
        out << "the emulated mouse did not open\n";
        return 1;
    }

    std::vector<BYTE> profile(USBDriver_Osprey::kProfileSize, 0);
    std::vector<BYTE> screen(USBDriver_Osprey::kBlockSize, 0x5A);
    std::vector<BYTE> scratch(USBDriver_Osprey::kBlockSize, 0);
    MacroRecord macro;
    macro.header1 = 1;
    for (int i = 0; i < USBDriver_Osprey::kMaxMacroItems; ++i)
        macro.items.append(USHORT(0x8001 + i));
    if (!driver.GetProfileDataBlock(profile.data())) {
        out << "the emulated mouse's profile did not read\n";
        return 1;
    }

    const Case cases[] = {
        {"profile read (83)", [&](USBDriver_Osprey &d) { return d.GetProfileDataBlock(profile.data()); },
         [](int) { return qint64(50 + 200); }},
        {"profile write (03)", [&](USBDriver_Osprey &d) { return d.SetProfileDataBlock(profile.data()); },
         [](int busy) { return 100 + 100 + pollMs(busy); }},
        {"one macro write (04)", [&](USBDriver_Osprey &d) { return d.SetMacroStruct(macro, 0x8C); },
         [](int busy) { return 100 + 100 + pollMs(busy); }},
        {"all 17 macros read (84)",
         [&](USBDriver_Osprey &d) {
             QList<MacroRecord> macros;
             return d.ReadMacros(&macros);
         },
         [](int busy) { return 17 * (200 + 50 + pollMs(busy)); }},
        {"screen write (05)", [&](USBDriver_Osprey &d) { return d.WriteScreenBlock(screen.data()); },
         [](int busy) { return 100 + 100 + pollMs(busy); }},
        {"screen read (85)", [&](USBDriver_Osprey &d) { return d.ReadScreenBlock(scratch.data()); },
         [](int) { return qint64(200); }},
    };

    Bench::Table table(out, {{"operation", 24}, {"busy", 5}, {"ok", 3}, {"device ms", 10}, {"minimum ms", 11},
                             {"commands", 9}, {"transfers", 10}, {"replies", 8}});
    for (int busy : {0, 1, 3}) {
        mouse->setBusyPolls(busy);
        for (const Case &c : cases) {
            mouse->resetCounters();
            backend.resetTransferCount();
            DeviceClock::resetVirtual();
            const bool ok = c.run(driver);
            table.row({c.name, busy, ok, DeviceClock::virtualElapsedMs(), c.minimum(busy), mouse->reportsSet().size(),
                       backend.transferCount(), mouse->reportsRead()});
        }
    }
    driver.UnInitDevice();
    return 0;
}
