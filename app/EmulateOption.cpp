#include "app/EmulateOption.h"

#include "emulator/EmulatedBackend.h"
#include "emulator/EmulatedCatalog.h"
#include "platform/hid/CombinedBackend.h"
#include "platform/hid/SystemBackend.h"

#include <QDebug>
#include <cstdio>

namespace {

const QString kOption = QStringLiteral("--emulate");

// The emulated bus lives as long as the process, as the real one does.
EmulatedBackend &emulatedBus()
{
    static EmulatedBackend bus;
    return bus;
}

} // namespace

namespace EmulateOption {

QStringList requestedModels(const QStringList &arguments)
{
    QStringList models;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (a == kOption)
            models << (i + 1 < arguments.size() ? arguments.at(++i) : QString());
        else if (a.startsWith(kOption + QLatin1Char('=')))
            models << a.mid(kOption.size() + 1);
    }
    return models;
}

bool install(const QStringList &arguments, QString *error)
{
    const QStringList models = requestedModels(arguments);
    QVector<EmulatedDevices> made;
    QStringList refused;
    for (const QString &model : models) {
        EmulatedDevices devices;
        QString why;
        if (model.trimmed().isEmpty())
            refused << QStringLiteral("--emulate needs a model name, such as --emulate harrier");
        else if (!EmulatedCatalog::create(model, &devices, &why))
            refused << QStringLiteral("cannot emulate %1: %2").arg(model, why);
        else
            made << devices;
    }
    if (!refused.isEmpty()) {
        if (error)
            *error = refused.join(QLatin1Char('\n'));
        return false;
    }

    if (models.isEmpty()) {
        Hid::setBackend(Hid::systemBackend());
        return true;
    }
    for (const EmulatedDevices &devices : qAsConst(made))
        for (const auto &d : devices)
            emulatedBus().plug(d);
    static CombinedBackend both({Hid::systemBackend(), &emulatedBus()});
    Hid::setBackend(&both);
    qInfo().noquote() << "emulating" << models.join(QLatin1String(", "));
    return true;
}

bool install(const QStringList &arguments)
{
    QString error;
    if (install(arguments, &error))
        return true;
    std::fprintf(stderr, "HarrierDriver: %s\n", qPrintable(error));
    return false;
}

} // namespace EmulateOption
