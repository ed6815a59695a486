#include "emulator/EmulatedCatalog.h"

#include "emulator/EmulatedBootLoaders.h"
#include "emulator/kestrel/EmulatedKestrelMouse.h"
#include "emulator/osprey/EmulatedOspreyMouse.h"

namespace {

const QVector<EmulatedModel> kModels = {
    {"kestrel", "Kestrel", EmulatedFamily::First, 0x4130, 0x1804},
    {"merlin", "Merlin", EmulatedFamily::First, 0x4132, 0x4133},
    {"kestrelc", "KestrelC", EmulatedFamily::First, 0x4137, 0x180A},
    {"kestrelq", "KestrelQ", EmulatedFamily::First, 0x4138, 0x180B},
    {"merlinc", "MerlinC", EmulatedFamily::First, 0x4139, 0x180C},
    {"merlinq", "MerlinQ", EmulatedFamily::First, 0x413A, 0x180D},
    {"kestreleu", "KestrelEU", EmulatedFamily::First, 0x413B, 0x180F},
    {"falcon", "Falcon", EmulatedFamily::Second, 0x4123, 0},
    {"osprey", "Osprey", EmulatedFamily::Second, 0x4122, 0},
    {"saker", "Saker", EmulatedFamily::Second, 0x4126, 0},
    {"falcons", "FalconS", EmulatedFamily::Second, 0x4124, 0},
    {"sakers", "SakerS", EmulatedFamily::Second, 0x4118, 0},
    {"lanner", "Lanner", EmulatedFamily::Second, 0x4162, 0},
    {"harrier", "Harrier", EmulatedFamily::Second, 0x4163, 0},
    {"wren", "Wren", EmulatedFamily::Third, 0x4161, 0},
};

// The registration point of the families' emulated mice: each family whose
// protocol is emulated puts its factory in its row (null: not emulated yet).
struct FamilyFactory
{
    EmulatedFamily family;
    EmulatedFactory factory;
};
const FamilyFactory kFactories[] = {
    {EmulatedFamily::First, &KestrelEmulation::createDevices},
    {EmulatedFamily::Second, &OspreyEmulation::createDevices},
    {EmulatedFamily::Third, &OspreyEmulation::createDevices},
};

EmulatedFactory factoryOf(EmulatedFamily family)
{
    for (const FamilyFactory &f : kFactories)
        if (f.family == family)
            return f.factory;
    return nullptr;
}

// The boot-loader identities need no protocol of their own.
EmulatedDevices bootLoader(const EmulatedModel &m)
{
    if (m.family == EmulatedFamily::First)
        return {std::make_shared<EmulatedFirstFamilyBootLoader>(QLatin1String(m.productName) + QLatin1String(" Boot"))};
    return {std::make_shared<EmulatedSecondFamilyBootLoader>(m.wiredPid)};
}

struct Parsed
{
    const EmulatedModel *model = nullptr;
    EmulatedForm form = EmulatedForm::Wired;
};

Parsed parse(const QString &name)
{
    static const struct { const char *suffix; EmulatedForm form; } kSuffixes[] = {
        {"-receiver", EmulatedForm::Receiver},
        {"-boot", EmulatedForm::Boot},
    };
    Parsed p;
    const QString lower = name.trimmed().toLower();
    for (const auto &s : kSuffixes) {
        if (lower.endsWith(QLatin1String(s.suffix))) {
            p.model = EmulatedCatalog::model(lower.chopped(int(qstrlen(s.suffix))));
            p.form = s.form;
            return p;
        }
    }
    p.model = EmulatedCatalog::model(lower);
    return p;
}

} // namespace

namespace EmulatedCatalog {

const QVector<EmulatedModel> &models() { return kModels; }

const EmulatedModel *model(const QString &name)
{
    for (const EmulatedModel &m : kModels)
        if (name == QLatin1String(m.name))
            return &m;
    return nullptr;
}

bool create(const QString &name, EmulatedDevices *devices, QString *error)
{
    const Parsed p = parse(name);
    QString why;
    if (!p.model) {
        why = QStringLiteral("unknown model \"%1\"; known: %2").arg(name, availableNames().join(QLatin1String(", ")));
    } else if (p.form == EmulatedForm::Receiver && p.model->receiverPid == 0) {
        why = QStringLiteral("%1 has no receiver").arg(QLatin1String(p.model->productName));
    } else if (p.form == EmulatedForm::Boot) {
        if (devices)
            *devices = bootLoader(*p.model);
        return true;
    } else if (EmulatedFactory factory = factoryOf(p.model->family)) {
        EmulatedDevices made = factory(*p.model, p.form);
        if (!made.isEmpty()) {
            if (devices)
                *devices = made;
            return true;
        }
        why = QStringLiteral("%1 cannot be emulated in this form").arg(name);
    } else {
        why = QStringLiteral("the protocol of %1 is not emulated yet").arg(QLatin1String(p.model->productName));
    }
    if (error)
        *error = why;
    return false;
}

QStringList availableNames()
{
    QStringList names;
    for (const EmulatedModel &m : kModels) {
        const QString base = QLatin1String(m.name);
        if (factoryOf(m.family)) {
            names << base;
            if (m.receiverPid)
                names << base + QLatin1String("-receiver");
        }
        names << base + QLatin1String("-boot");
    }
    return names;
}

} // namespace EmulatedCatalog
