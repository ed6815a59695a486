#pragma once
// A first-family mouse on an emulated bus that can go through a firmware
// update (its boot loader takes the image and the mouse comes back running
// it), the virtual device clock, and a folder for made-up image files.
#include "emulator/EmulatedBackend.h"
#include "emulator/kestrel/EmulatedKestrelMouse.h"
#include "emulator/kestrel/EmulatedKestrelUpdate.h"
#include "platform/DeviceClock.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <memory>

struct FirmwareRig
{
    static constexpr quint32 kOldVersion = 0x04000001;

    // inBootLoader: the mouse waits in its boot loader from the start.
    explicit FirmwareRig(bool inBootLoader = false, const QString &model = QStringLiteral("kestrel"))
    {
        DeviceClock::setVirtual(true);
        DeviceClock::resetVirtual();
        Hid::setBackend(&bus);
        mouse = std::make_shared<EmulatedKestrelMouse>(model);
        mouse->setFirmwareVersion(kOldVersion);
        const int id = inBootLoader ? 0 : bus.plug(mouse);
        update = std::make_unique<EmulatedKestrelUpdate>(bus, mouse, id);
        if (inBootLoader)
            update->enterBootLoader();
    }
    ~FirmwareRig()
    {
        update.reset();
        Hid::setBackend(nullptr);
    }

    std::shared_ptr<EmulatedFirstFamilyBootLoader> boot() const { return update->bootLoader(); }
    int bootId() const { return update->bootLoaderId(); }
    QString normalPath() const
    {
        return QStringLiteral("VID_3A5E&PID_%1").arg(mouse->model().wiredPid, 4, 16, QLatin1Char('0'));
    }
    static QString bootPath() { return QStringLiteral("VID_3A5E&PID_3000"); }

    // Random image bytes whose last four carry the version the mouse will report.
    static QByteArray image(int size, quint32 version = 0x05000002)
    {
        QByteArray b(size, '\0');
        for (int i = 0; i < size; ++i)
            b[i] = char(QRandomGenerator::global()->bounded(256));
        for (int i = 0; i < 4 && size - 4 + i >= 0; ++i)
            b[size - 4 + i] = char((version >> (8 * i)) & 0xFF);
        return b;
    }
    QString file(const QByteArray &bytes, const QString &name = QStringLiteral("Nuc123.bin")) const
    {
        const QString path = files.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return path;
    }

    EmulatedBackend bus;
    std::shared_ptr<EmulatedKestrelMouse> mouse;
    std::unique_ptr<EmulatedKestrelUpdate> update;
    QTemporaryDir files;
};
