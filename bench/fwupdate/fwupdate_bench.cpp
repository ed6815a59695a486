// Prints what a first-family firmware update costs on the emulated mouse:
// device time on the virtual clock, packets and resends for a 64 KiB and a
// 128 KiB image (clean, and with one damaged packet in every hundred), and
// the host's own time per packet on the real clock, the emulated boot loader
// answering at once.
#include "bench/BenchSupport.h"
#include "device/fwupdate/FwUpdate.h"
#include "emulator/EmulatedBackend.h"
#include "emulator/kestrel/EmulatedKestrelMouse.h"
#include "emulator/kestrel/EmulatedKestrelUpdate.h"
#include "platform/DeviceClock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

struct Result
{
    bool ok = false;
    qint64 deviceMs = 0;
    int packets = 0;
    int resends = 0;
    double hostUsPerPacket = 0;
};

Result runOnce(int size, int damageEvery, const QString &folder)
{
    QByteArray image(size, '\0');
    for (int i = 0; i < size; ++i)
        image[i] = char(QRandomGenerator::global()->bounded(256));
    image[size - 1] = char(0x7F); // a version the mouse does not run yet
    const QString path = folder + QStringLiteral("/Nuc123.bin");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(image) != size)
        return {};
    f.close();

    EmulatedBackend bus;
    Hid::setBackend(&bus);
    auto mouse = std::make_shared<EmulatedKestrelMouse>(QStringLiteral("kestrel"));
    EmulatedKestrelUpdate cycle(bus, mouse, bus.plug(mouse));
    if (damageEvery > 0)
        for (int p = damageEvery; p < size / 56; p += damageEvery)
            cycle.bootLoader()->injectFault(EmulatedFirstFamilyBootLoader::Fault::Corrupt, p);

    FwUpdate update;
    update.SetDevicePaths(QStringLiteral("VID_3A5E&PID_4130"), QStringLiteral("VID_3A5E&PID_3000"));
    bool ok = false;
    QObject::connect(&update, &FirmwareTransfer::sigUpdateResult, [&](bool r) { ok = r; });
    DeviceClock::resetVirtual();
    QElapsedTimer host;
    host.start();
    update.slotUpdate(path);
    const qint64 hostNs = host.nsecsElapsed();

    Result r;
    r.ok = ok;
    r.deviceMs = DeviceClock::virtualElapsedMs();
    const QVector<QByteArray> packets = cycle.bootLoader()->packets();
    r.packets = packets.size();
    for (const QByteArray &p : packets)
        r.resends += quint8(p.at(1)) == 0xFF;
    r.hostUsPerPacket = r.packets ? double(hostNs) / 1000.0 / r.packets : 0;
    Hid::setBackend(nullptr);
    return r;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Bench::start(); // waits cost nothing on the host: its time is our own overhead
    QTemporaryDir folder;
    QTextStream out(stdout);
    out << "image      damaged   ok  device ms  packets  resends  host us/packet\n";
    for (int size : {64 * 1024, 128 * 1024}) {
        for (int every : {0, 100}) {
            const Result r = runOnce(size, every, folder.path());
            out << QStringLiteral("%1 KiB  %2  %3  %4  %5  %6  %7\n")
                       .arg(size / 1024, 3)
                       .arg(every ? QStringLiteral("1 in 100") : QStringLiteral("none    "))
                       .arg(r.ok ? QStringLiteral("yes") : QStringLiteral(" no"))
                       .arg(r.deviceMs, 9)
                       .arg(r.packets, 7)
                       .arg(r.resends, 7)
                       .arg(r.hostUsPerPacket, 14, 'f', 1);
        }
    }
    return 0;
}
