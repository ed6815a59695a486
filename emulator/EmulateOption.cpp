#include "emulator/EmulateOption.h"

#include "emulator/EmulatedBackend.h"
#include "emulator/EmulatedCatalog.h"
#include "emulator/EmulatedMemory.h"
#include "emulator/kestrel/EmulatedKestrelUpdate.h"
#include "platform/hid/CombinedBackend.h"
#include "platform/hid/SystemBackend.h"

#include <QCoreApplication>
#include <QDebug>
#include <QHash>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

const QString kOption = QStringLiteral("--emulate");
// How often a change in an emulated mouse is written to its file.
constexpr int kSaveEveryMs = 2000;

// The emulated bus lives as long as the process, as the real one does.
EmulatedBackend &emulatedBus()
{
    static EmulatedBackend bus;
    return bus;
}

// A first-family mouse on the emulated bus goes through firmware updates as
// the hardware does: into its boot loader and back with the new version.
void plugWithUpdates(const QString &model, const EmulatedDevices &devices)
{
    static std::vector<std::unique_ptr<EmulatedKestrelUpdate>> updates;
    const QString name = model.trimmed().toLower();
    for (const auto &d : devices) {
        if (auto mouse = std::dynamic_pointer_cast<EmulatedKestrelMouse>(d)) {
            updates.push_back(std::make_unique<EmulatedKestrelUpdate>(emulatedBus(), mouse, emulatedBus().plug(d)));
            continue;
        }
        // A first-family mouse waiting in its boot loader becomes that mouse again after an update.
        const KestrelEmulation::Model *m = KestrelEmulation::modelByName(name.chopped(qMin(5, name.size())));
        if (m && name.endsWith(QLatin1String("-boot")) && std::dynamic_pointer_cast<EmulatedFirstFamilyBootLoader>(d)) {
            auto mouse = std::make_shared<EmulatedKestrelMouse>(QLatin1String(m->name));
            updates.push_back(std::make_unique<EmulatedKestrelUpdate>(emulatedBus(), mouse, 0));
            updates.back()->enterBootLoader();
            continue;
        }
        emulatedBus().plug(d);
    }
}

// The emulated mice of this run and the files they keep their memory in.
struct Kept
{
    QString name;
    EmulatedDevices devices;
    QByteArray saved;
};
std::vector<Kept> &kept()
{
    static std::vector<Kept> all;
    return all;
}

void saveChanged()
{
    for (Kept &k : kept()) {
        const QByteArray now = EmulatedMemory::stateOf(k.devices);
        if (now != k.saved && EmulatedMemory::save(k.name, k.devices))
            k.saved = now;
    }
}

// Each emulated mouse starts from what the last run left in it (unless
// --emulate-fresh), and what it holds is kept as it changes and at exit. A
// test (QStandardPaths' test mode) keeps nothing: every test starts fresh.
void keepMemories(const QStringList &arguments, const QStringList &models, const QVector<EmulatedDevices> &made)
{
    if (QStandardPaths::isTestModeEnabled() || !QCoreApplication::instance())
        return;
    const bool fresh = arguments.contains(QStringLiteral("--emulate-fresh"));
    QHash<QString, int> seen;
    for (int i = 0; i < made.size(); ++i) {
        // A second mouse of one name keeps its own file.
        const QString base = models.at(i).trimmed().toLower();
        const int n = ++seen[base];
        const QString name = n == 1 ? base : QStringLiteral("%1-%2").arg(base).arg(n);
        if (!fresh)
            EmulatedMemory::restore(name, made.at(i));
        kept().push_back({name, made.at(i), fresh ? QByteArray() : EmulatedMemory::stateOf(made.at(i))});
    }
    auto *timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, &saveChanged);
    timer->start(kSaveEveryMs);
    qAddPostRoutine(saveChanged);
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
    keepMemories(arguments, models, made);
    for (int i = 0; i < made.size(); ++i)
        plugWithUpdates(models.at(i), made.at(i));
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
