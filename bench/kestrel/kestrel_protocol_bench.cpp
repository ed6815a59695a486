// Prints what the first-family protocol costs on an emulated mouse: device
// time on the virtual clock and the reports exchanged, for a picture, a full
// macro slot and the profile record, with 0, 1 and 2 busy replies per command.
#include "bench/BenchSupport.h"
#include "device/kestrel/USBDriverKestrel.h"
#include "emulator/kestrel/EmulatedKestrelMouse.h"

#include <QCoreApplication>
#include <functional>
#include <vector>

namespace {

struct Case
{
    const char *name;
    std::function<bool(USBDriverKestrel &)> run;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Bench::start();
    Bench::Bus bench;
    auto mouse = std::make_shared<EmulatedKestrelMouse>(QStringLiteral("kestrel"));
    bench.bus.plug(mouse);
    USBDriverKestrel driver;
    driver.SetWiredWirelessString(QStringLiteral("VID_3A5E&PID_4130"), QStringLiteral("VID_3A5E&PID_1804"));
    driver.SetMode(0);
    QTextStream out(stdout);
    if (!driver.FindHIDDevice()) {
        out << "the emulated mouse did not open\n";
        return 1;
    }

    std::vector<BYTE> picture(384, 0x5A);
    std::vector<BYTE> macro(4096, 0x41);
    macro[0] = 0x00; // length field 4096: the slot is full
    macro[1] = 0x10;
    std::vector<BYTE> record(128, 0);
    std::vector<BYTE> scratch(4096, 0);

    const Case cases[] = {
        {"write 384-byte picture", [&](USBDriverKestrel &d) { return d.WriteOLEDImage(0, picture.data()); }},
        {"read 384-byte picture", [&](USBDriverKestrel &d) { return d.ReadOLEDImage(0, scratch.data()); }},
        {"write 4096-byte macro slot", [&](USBDriverKestrel &d) { return d.WriteMacroImage(0, 1, macro.data()); }},
        {"read 4096-byte macro slot", [&](USBDriverKestrel &d) { return d.ReadMacro(0, 1, scratch.data()); }},
        {"write 128-byte profile record", [&](USBDriverKestrel &d) { return d.SetProfileData(record.data()); }},
        {"read 128-byte profile record", [&](USBDriverKestrel &d) { return d.GetProfileData(record.data()); }},
    };

    Bench::Table table(out, {{"operation", 30}, {"busy", 5}, {"ok", 3}, {"device ms", 10}, {"commands", 9},
                             {"replies", 8}});
    for (int busy = 0; busy <= 2; ++busy) {
        mouse->setBusyReplies(busy);
        for (const Case &c : cases) {
            mouse->resetCounters();
            DeviceClock::resetVirtual();
            const bool ok = c.run(driver);
            table.row({c.name, busy, ok, DeviceClock::virtualElapsedMs(), mouse->commandCount(), mouse->replyCount()});
        }
    }
    driver.UnInitDevice();
    return 0;
}
