#include "emulator/EmulatedMemory.h"

#include "emulator/kestrel/EmulatedKestrelMouse.h"
#include "emulator/osprey/EmulatedOspreyMouse.h"

#include <QDataStream>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <functional>
#include <vector>

namespace {

constexpr quint32 kMagic = 0x48444D45; // "HDME"
constexpr quint32 kVersion = 1;
constexpr qint64 kLargestFile = 4 * 1024 * 1024;
constexpr quint8 kFirstOspreyMacro = 0x8C;

} // namespace

namespace EmulatedMemory {

// What each device holds, written in device order; the reader checks each
// part's size against the device before anything is put back.
QByteArray stateOf(const EmulatedDevices &devices)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << kMagic << kVersion << quint32(devices.size());
    for (const auto &d : devices) {
        if (auto k = std::dynamic_pointer_cast<EmulatedKestrelMouse>(d)) {
            out << QByteArray("kestrel") << k->memory(0, EmulatedKestrelMouse::kMemorySize) << qint32(k->bank())
                << k->firmwareVersion();
        } else if (auto o = std::dynamic_pointer_cast<EmulatedOspreyMouse>(d)) {
            out << QByteArray("osprey") << o->profile() << o->screenBlock();
            for (int slot = 0; slot < EmulatedOspreyMouse::kMacroSlots; ++slot)
                out << o->macroBlock(quint8(kFirstOspreyMacro + 4 * slot));
        } else {
            out << QByteArray("other"); // receivers and boot loaders keep nothing of their own here
        }
    }
    return bytes;
}

} // namespace EmulatedMemory

namespace {

// Applies a state to the devices; nothing is applied unless all of it fits.
bool applyState(const QByteArray &bytes, const EmulatedDevices &devices)
{
    QDataStream in(bytes);
    quint32 magic = 0, version = 0, count = 0;
    in >> magic >> version >> count;
    if (in.status() != QDataStream::Ok || magic != kMagic || version != kVersion || count != quint32(devices.size()))
        return false;
    std::vector<std::function<void()>> steps;
    for (const auto &d : devices) {
        QByteArray kind;
        in >> kind;
        if (auto k = std::dynamic_pointer_cast<EmulatedKestrelMouse>(d)) {
            QByteArray memory;
            qint32 bank = 0;
            quint32 firmware = 0;
            in >> memory >> bank >> firmware;
            if (kind != "kestrel" || memory.size() != EmulatedKestrelMouse::kMemorySize || bank < 0 || bank > 1)
                return false;
            steps.push_back([k, memory, bank, firmware] {
                k->setMemory(0, memory);
                k->setBank(bank);
                k->setFirmwareVersion(firmware);
            });
        } else if (auto o = std::dynamic_pointer_cast<EmulatedOspreyMouse>(d)) {
            QByteArray profile, screen;
            in >> profile >> screen;
            if (kind != "osprey" || profile.size() != o->profile().size() || screen.size() != o->screenBlock().size())
                return false;
            QVector<QByteArray> macros(EmulatedOspreyMouse::kMacroSlots);
            for (QByteArray &m : macros) {
                in >> m;
                if (m.size() != o->macroBlock(kFirstOspreyMacro).size())
                    return false;
            }
            steps.push_back([o, profile, screen, macros] {
                o->setProfile(profile);
                o->setScreenBlock(screen);
                for (int slot = 0; slot < macros.size(); ++slot)
                    o->setMacroBlock(quint8(kFirstOspreyMacro + 4 * slot), macros.at(slot));
            });
        } else if (kind != "other") {
            return false;
        }
        if (in.status() != QDataStream::Ok)
            return false;
    }
    for (const auto &step : steps)
        step();
    return true;
}

} // namespace

namespace EmulatedMemory {

QString fileFor(const QString &name)
{
    QString safe = name.trimmed().toLower();
    safe.replace(QRegularExpression(QStringLiteral("[^a-z0-9-]")), QStringLiteral("_"));
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/HarrierDriver/emulated/") + safe + QStringLiteral(".mem");
}

void restore(const QString &name, const EmulatedDevices &devices)
{
    QFile file(fileFor(name));
    if (!QFileInfo(file).isFile())
        return;
    if (file.size() > kLargestFile || !file.open(QIODevice::ReadOnly) || !applyState(file.readAll(), devices))
        qWarning().noquote() << "emulated" << name << ": its kept memory" << file.fileName()
                             << "is damaged; it starts factory-fresh";
}

bool save(const QString &name, const EmulatedDevices &devices)
{
    const QString path = fileFor(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = stateOf(devices);
    file.write(bytes);
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return file.commit();
}

} // namespace EmulatedMemory
