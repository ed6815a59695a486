#pragma once
// The CPI page's view of the seven CPI levels of one configuration: which
// levels are on, the value last chosen for each, and whether positions are
// variable. Kept per model and configuration in "CpiSetting.json"; the
// device itself holds only CPI codes.
#include <QJsonObject>
#include <QPair>
#include <QVector>
#include <QObject>

class GearHandle : public QObject
{
    Q_OBJECT
public:
    static constexpr int GearCount = 7;

    explicit GearHandle(QObject *parent = nullptr);

    // Seven enabled levels at positions 1..7 with value 0; "GearVariable" is
    // true for the first family (types 7..12 and 14).
    QJsonObject BuildDefaultGear(int mouseType);
    // Writes the default object as the gear file of (mouse type, n) and returns it.
    QJsonObject CreateDefaultGearFile(int mouseType, int configNumber);
    // The gear file of (mouse type, n); an unreadable file gives an empty
    // object. Damaged members are replaced by their defaults.
    QJsonObject ReadGearFile(int mouseType, int configNumber);
    // Replaces the gear file of (mouse type, n) with object.
    void WriteGearFile(int mouseType, int configNumber, const QJsonObject &object);
    // "GearCurrentValue" of a level (0-based); 0 when there is no such level.
    int GetGearCurrentValue(const QJsonObject &object, int level);
    // Sets a level's value in object and writes the file; a level the object
    // does not have changes nothing.
    void SetGearCurrentValue(int mouseType, int configNumber, QJsonObject &object, int level, int value);
    // Sets several levels' values (level, value) and writes the file once,
    // when any of them changed.
    void SetGearCurrentValues(int mouseType, int configNumber, QJsonObject &object,
                              const QVector<QPair<int, int>> &values);
    // Sets a level's "GearEnable" and writes the file, when object has "GearData".
    void SetGearEnable(int mouseType, int configNumber, QJsonObject &object, int level, bool enabled);

    // The gear file's path; its folder is created.
    static QString gearFilePath(int mouseType, int configNumber);
};

// The gear object of the current configuration, shared by the bridge (which
// replaces and edits it on its worker thread) and the CPI page (which reads
// it). Values are copied in and out whole.
namespace SharedGear {
QJsonObject current();
void setCurrent(const QJsonObject &gear);
} // namespace SharedGear
