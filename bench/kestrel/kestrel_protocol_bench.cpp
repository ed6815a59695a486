// Prints what the first-family protocol costs on an emulated mouse: device
// time on the virtual clock and the reports exchanged, for a picture, a full
// macro slot and the profile record, with 0, 1 and 2 busy replies per command.
#include "device/kestrel/USBDriverKestrel.h"
#include "emulator/EmulatedBackend.h"
#include "emulator/kestrel/EmulatedKestrelMouse.h"
#include "platform/DeviceClock.h"

#include <QCoreApplication>
#include <QTextStream>
#include <functional>
#include <vector>

namespace {

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

struct Case
{
    const char *name;
    std::function<bool(USBDriverKestrel &)> run;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(quiet);
    DeviceClock::setVirtual(true);

    EmulatedBackend backend;
    Hid::setBackend(&backend);
    auto mouse = std::make_shared<EmulatedKestrelMouse>(QStringLiteral("kestrel"));
    backend.plug(mouse);
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

    out << QStringLiteral("%1 %2 %3 %4 %5 %6\n")
               .arg(QStringLiteral("operation"), -30)
               .arg(QStringLiteral("busy"), 5)
               .arg(QStringLiteral("ok"), 3)
               .arg(QStringLiteral("device ms"), 10)
               .arg(QStringLiteral("commands"), 9)
               .arg(QStringLiteral("replies"), 8);
    for (int busy = 0; busy <= 2; ++busy) {
        mouse->setBusyReplies(busy);
        for (const Case &c : cases) {
            mouse->resetCounters();
            DeviceClock::resetVirtual();
            const bool ok = c.run(driver);
            out << QStringLiteral("%1 %2 %3 %4 %5 %6\n")
                       .arg(QLatin1String(c.name), -30)
                       .arg(busy, 5)
                       .arg(ok ? QStringLiteral("yes") : QStringLiteral("no"), 3)
                       .arg(DeviceClock::virtualElapsedMs(), 10)
                       .arg(mouse->commandCount(), 9)
                       .arg(mouse->replyCount(), 8);
        }
    }
    driver.UnInitDevice();
    Hid::setBackend(nullptr);
    return 0;
}
