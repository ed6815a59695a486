// harrier-uhid MODEL...: puts emulated mice on the real kernel HID bus
// through /dev/uhid, so any hidraw program (HarrierDriver itself, hidapi's
// tools) can talk to them. MODEL takes the names of --emulate ("kestrel",
// "merlin-receiver", "harrier", "wren", "kestrel-boot", ...). Runs until
// interrupted; needs the uhid module and write access to /dev/uhid.
#include "UhidDevice.h"

#include "emulator/EmulatedCatalog.h"

#include <QCoreApplication>
#include <QStringList>
#include <csignal>
#include <cstdio>
#include <memory>
#include <vector>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList names = app.arguments().mid(1);
    if (names.isEmpty() || names.contains(QLatin1String("-h")) || names.contains(QLatin1String("--help"))) {
        std::fprintf(stderr, "usage: harrier-uhid MODEL...\nmodels: %s\n",
                     qPrintable(EmulatedCatalog::availableNames().join(QLatin1String(", "))));
        return 2;
    }

    // Interrupts are taken by sigwait below, not by a handler.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);

    std::vector<std::unique_ptr<UhidDevice>> devices;
    for (const QString &name : names) {
        EmulatedDevices made;
        QString error;
        if (!EmulatedCatalog::create(name, &made, &error)) {
            std::fprintf(stderr, "harrier-uhid: %s\n", qPrintable(error));
            return 2;
        }
        for (const std::shared_ptr<EmulatedDevice> &d : qAsConst(made)) {
            auto uhid = std::make_unique<UhidDevice>(d);
            if (!uhid->create(&error)) {
                std::fprintf(stderr, "harrier-uhid: %s: %s\n", qPrintable(name), qPrintable(error));
                return 1;
            }
            std::printf("%s: %04x:%04x \"%s\"\n", qPrintable(name), d->vendorId(), d->productId(),
                        qPrintable(d->productString()));
            devices.push_back(std::move(uhid));
        }
    }
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stop, &signal);
    return 0; // the devices leave the bus as they are destroyed
}
