#include "store/GearHandle.h"

#include "store/JsonHandle.h"
#include "store/SafeFile.h"

#include <QDebug>
#include <QJsonArray>
#include <atomic>
#include <memory>

namespace {

const QString kGearVariable = QStringLiteral("GearVariable");
const QString kGearData = QStringLiteral("GearData");
const QString kGearPosition = QStringLiteral("GearPosition");
const QString kGearCurrentValue = QStringLiteral("GearCurrentValue");
const QString kGearEnable = QStringLiteral("GearEnable");

// Model types whose level positions are variable: the first family.
constexpr int kVariableGearTypes[] = {7, 8, 9, 10, 11, 12, 14};

bool variableGear(int mouseType)
{
    for (int t : kVariableGearTypes)
        if (t == mouseType)
            return true;
    return false;
}

// Sets one member of level `level` of object's "GearData"; false when there is no such level.
bool setLevelMember(QJsonObject &object, int level, const QString &key, const QJsonValue &value)
{
    if (!object.value(kGearData).isArray())
        return false;
    QJsonArray levels = object.value(kGearData).toArray();
    if (level < 0 || level >= levels.size())
        return false;
    QJsonObject entry = levels.at(level).toObject();
    entry.insert(key, value);
    levels.replace(level, entry);
    object.insert(kGearData, levels);
    return true;
}

std::shared_ptr<const QJsonObject> g_sharedGear;

} // namespace

GearHandle::GearHandle(QObject *parent)
    : QObject(parent)
{
}

QString GearHandle::gearFilePath(int mouseType, int configNumber)
{
    return JsonHandle::currentCpiSettingFilePath(mouseType, configNumber);
}

QJsonObject GearHandle::BuildDefaultGear(int mouseType)
{
    QJsonArray levels;
    for (int i = 0; i < GearCount; ++i)
        levels.append(QJsonObject{{kGearPosition, i + 1}, {kGearCurrentValue, 0}, {kGearEnable, true}});
    const QJsonObject gear{{kGearVariable, variableGear(mouseType)}, {kGearData, levels}};
    qDebug() << "++++++++++----------" << gear;
    return gear;
}

QJsonObject GearHandle::CreateDefaultGearFile(int mouseType, int configNumber)
{
    const QJsonObject gear = BuildDefaultGear(mouseType);
    WriteGearFile(mouseType, configNumber, gear);
    return gear;
}

QJsonObject GearHandle::ReadGearFile(int mouseType, int configNumber)
{
    QJsonObject stored;
    if (SafeFile::readJsonObject(gearFilePath(mouseType, configNumber), &stored) != SafeFile::JsonRead::Ok)
        return QJsonObject();
    // Take what the file holds in the right form; the rest keeps the default,
    // so the page always finds seven complete levels. Members we do not know
    // stay, so the next write keeps them.
    const QJsonObject defaults = BuildDefaultGear(mouseType);
    QJsonObject gear = stored;
    if (!stored.value(kGearVariable).isBool())
        gear.insert(kGearVariable, defaults.value(kGearVariable));
    const QJsonArray storedLevels = stored.value(kGearData).toArray();
    QJsonArray levels = defaults.value(kGearData).toArray();
    for (int i = 0; i < GearCount && i < storedLevels.size(); ++i) {
        const QJsonObject from = storedLevels.at(i).toObject();
        QJsonObject level = from;
        const QJsonObject defaultLevel = levels.at(i).toObject();
        for (auto it = defaultLevel.constBegin(); it != defaultLevel.constEnd(); ++it)
            level.insert(it.key(), it.value());
        for (const QString &key : {kGearPosition, kGearCurrentValue}) {
            const QJsonValue v = from.value(key);
            if (v.isDouble() && v.toDouble() == double(v.toInt()))
                level.insert(key, v.toInt());
        }
        if (from.value(kGearEnable).isBool())
            level.insert(kGearEnable, from.value(kGearEnable));
        levels.replace(i, level);
    }
    gear.insert(kGearData, levels);
    return gear;
}

void GearHandle::WriteGearFile(int mouseType, int configNumber, const QJsonObject &object)
{
    SafeFile::writeJsonObject(gearFilePath(mouseType, configNumber), object);
}

int GearHandle::GetGearCurrentValue(const QJsonObject &object, int level)
{
    return object.value(kGearData).toArray().at(level).toObject().value(kGearCurrentValue).toInt();
}

void GearHandle::SetGearCurrentValue(int mouseType, int configNumber, QJsonObject &object, int level, int value)
{
    if (setLevelMember(object, level, kGearCurrentValue, value))
        WriteGearFile(mouseType, configNumber, object);
}

void GearHandle::SetGearCurrentValues(int mouseType, int configNumber, QJsonObject &object,
                                      const QVector<QPair<int, int>> &values)
{
    bool changed = false;
    for (const auto &value : values)
        if (GetGearCurrentValue(object, value.first) != value.second)
            changed = setLevelMember(object, value.first, kGearCurrentValue, value.second) || changed;
    if (changed)
        WriteGearFile(mouseType, configNumber, object);
}

void GearHandle::SetGearEnable(int mouseType, int configNumber, QJsonObject &object, int level, bool enabled)
{
    if (setLevelMember(object, level, kGearEnable, enabled))
        WriteGearFile(mouseType, configNumber, object);
}

namespace SharedGear {

QJsonObject current()
{
    const std::shared_ptr<const QJsonObject> gear = std::atomic_load(&g_sharedGear);
    return gear ? *gear : QJsonObject();
}

void setCurrent(const QJsonObject &gear)
{
    std::atomic_store(&g_sharedGear, std::shared_ptr<const QJsonObject>(std::make_shared<QJsonObject>(gear)));
}

} // namespace SharedGear
