#pragma once
// JSON mirrors of the profiles held in the mouse and of the user's macros.
//
// Two flavours: Korvan (first family: 128-byte profile record, 4096-byte
// macro records of 3-byte events) and Tern (second and third families:
// 234-byte profile record, macros of 16-bit steps). Every call opens, reads or
// writes and closes its file; nothing is cached, so instances are
// interchangeable and each owner keeps its own on its own thread. Failures are
// not reported: unreadable files give the documented defaults.
#include "store/MacroNode.h"
#include "store/MacroRecord.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class JsonHandle : public QObject
{
    Q_OBJECT
public:
    static constexpr int KorvanRecordSize = 128;
    static constexpr int TernRecordSize = 234;
    static constexpr int KorvanMacroRecordSize = 4096; // 4-byte header, then 3-byte events
    static constexpr int KorvanMacroMaxEvents = (KorvanMacroRecordSize - 4) / 3;
    static constexpr int TernMacroMaxItems = 511; // what one device macro block holds
    // A recorded macro may not grow past this many encoded bytes.
    static constexpr int MacroLengthLimit = 0x384;

    explicit JsonHandle(QObject *parent = nullptr);

    // ---- Folders and paths (every folder is created when its path is built)

    // The folder name of a model type, used in every per-model path.
    static QString modelFolderName(int mouseType);
    // "<data root>/ConfigFiles".
    static QString configFilesRoot();
    // Profile file of configuration n (1..5), or the factory file for n = 0.
    static QString currentConfigJsonFilePath(int mouseType, int configNumber);
    // The model's local folder, the one exchanged with the web service.
    static QString currentConfigMouseLocalFilePath(int mouseType);
    // Older text-format profile file n (0 = the factory file).
    static QString currentOldTxtFilePath(int mouseType, int configNumber);
    // CPI gear settings of configuration n ("CpiSetting.json").
    static QString currentCpiSettingFilePath(int mouseType, int configNumber);
    // Screen image of configuration n ("drawImage.BMP").
    static QString currentPicturePath(int mouseType, int configNumber);
    // Default screen image of a model.
    static QString currentDefaultPicturePath(int mouseType);
    // "<ConfigFiles>/MacroFiles", the macro groups' parent folder.
    static QString macroFolderPath();
    // "<ConfigFiles>/MacroFiles/PlayerCustom", where new user macros go.
    static QString playerCustomMacroFolderPath();

    // ---- Profile files (model type as in the product table, configuration 0..5)

    // The 128-byte record of configuration n: the factory record when the
    // file is unreadable or has no record; a missing byte member reads 0.
    QByteArray getMouseData_Korvan(int mouseType, int configNumber);
    // The 234-byte record of configuration n. An unreadable file is first
    // rewritten with the factory record, which is returned.
    QByteArray getMouseData_Tern(int mouseType, int configNumber);
    // Stores the record (its first 128 bytes; zeros past a short one),
    // keeping every other member of the file.
    void saveMouseData_Korvan(const QByteArray &record, int mouseType, int configNumber);
    // Stores the record (its first 234 bytes), keeping every other member.
    void saveMouseData_Tern(const QByteArray &record, int mouseType, int configNumber);

    // Macro slot of configuration n as a 4096-byte record (all zero when absent).
    QByteArray getMacroData_Korvan(int mouseType, int configNumber, int macroSlot);
    // Macro slot of configuration n: repeat count 1 and no steps when absent.
    // Also written to macro.
    MacroRecord getMacroData_Tern(MacroRecord &macro, int mouseType, int configNumber, int MacroPosition);
    // Stores one macro slot, keeping the record and the other slots.
    void saveMacroData_Korvan(const QByteArray &macro, int macroSlot, int mouseType, int configNumber);
    void saveMacroData_Tern(const MacroRecord &macro, int macroSlot, int mouseType, int configNumber);
    // Stores the record and macro slots 0..n-1 of configuration n in one write
    // (what saveMouseData_Korvan and saveMacroData_Korvan per slot would give).
    void saveConfigData_Korvan(const QByteArray &record, const QList<QByteArray> &macros, int mouseType,
                               int configNumber);

    // Factory records. A model type the flavour does not know leaves record
    // untouched and returns false.
    bool createAOriginalMouseDataFile_Korvan(QByteArray &record, int mouseType);
    bool createAOriginalMouseDataFile_Tern(QByteArray &record, int mouseType);

    // One member per byte: "0": byte 0, "1": byte 1, ...
    QJsonObject turnMouseDataJsonObject_Korvan(const QByteArray &record);
    QJsonObject turnMouseDataJsonObject_Tern(const QByteArray &record);
    // The JSON form of one macro record; an inconsistent Korvan size gives {}.
    QJsonObject turnMacroDataToJsonObject_Korvan(const QByteArray &macro);
    QJsonObject turnMacroDataToJsonObject_Tern(const MacroRecord &macro);

    // ---- User macro files (one JSON object per file)

    QString getMacroName(const QString &path);           // "ErrorName" when absent
    void setMacroName(const QString &path, const QString &name);
    int getMacroType(const QString &path);                // 0 when absent
    void setMacroType(const QString &path, int type);
    int getRepeatTimes(const QString &path);              // 1 when absent
    void setRepeatTimes(const QString &path, int times);
    int getIgnoreDelayTime(const QString &path);          // 0 when absent
    void setIgnoreDelayTime(const QString &path, int ignore);
    int getMacroLength(const QString &path);              // 0 when absent
    void setMacroLength(const QString &path, int length);
    // The events of the file in order; empty when "Macro" is not an array.
    QList<MacroNode> getMacroNodeList(const QString &path);
    // Replaces the events of an existing, readable file.
    void setMacroNodeList(const QString &path, const QList<MacroNode> &nodeList);
    QJsonArray TurnMacroNodeListToJsonArray(const QList<MacroNode> &nodeList);
    // Number of elements of "Macro" (0 when absent).
    int getMacroEventCount(const QString &path);
    // Deletes the file if it exists.
    void removeFile(const QString &path);

    // Creates a user macro file named by the time ("yyyyMMddhhmmsszzz.json")
    // holding only the default name of a new macro; returns its path. A name
    // already taken moves on by a millisecond, so no macro is overwritten.
    QString createNewMacroFile(const QDateTime &now = QDateTime::currentDateTime());
    // The macro files of a folder (files, hidden ones too, no links, unsorted).
    static QStringList macroFileList(const QString &folder);

    // Loads slot `slot` of the language file at path into the process-wide text table.
    void loadTextTable(const QString &path, int slot);

    // Encoded length of an event list, as stored in "MacroLength".
    static int calculateMacroListLength(const QList<MacroNode> &nodeList);
    // Encoded length of one recorded event with this delay: 3, or 7 past 127 ms.
    static int calculateMacroNodeLength(int time);

private:
    const QString m_macroType = QStringLiteral("MacroType");
    const QString m_macroLength = QStringLiteral("MacroLength");
    const QString m_mouseData = QStringLiteral("MouseDataOfGamingMode");
    const QString m_macroData = QStringLiteral("MacroDataOfGamingMode");
    const QString m_name = QStringLiteral("Name");
    const QString m_macro = QStringLiteral("Macro");
    const QString m_macroSize = QStringLiteral("MacroSize");
    const QString m_valueType = QStringLiteral("ValueType");
    const QString m_mouseValue = QStringLiteral("MouseValue");
    const QString m_keyValue = QStringLiteral("KeyValue");
    const QString m_timeLapse = QStringLiteral("TimeLapse");
    const QString m_coordinateX = QStringLiteral("CoordinateX");
    const QString m_coordinateY = QStringLiteral("CoordinateY");
    const QString m_state = QStringLiteral("State");
    const QString m_text = QStringLiteral("Text");
    const QString m_repeatTimes = QStringLiteral("RepeatTimes");
    const QString m_ignoreDelayTime = QStringLiteral("IgnoreDelayTime");

    QByteArray readRecord(const QJsonObject &bytes, int size, const char *logText);
    QJsonObject turnRecordToJsonObject(const QByteArray &record, int size);
    void saveRecord(const QByteArray &record, int size, int mouseType, int configNumber);
    QJsonObject readSlot(int mouseType, int configNumber, int slot, bool *found);
    void saveSlot(const QJsonObject &macro, int slot, int mouseType, int configNumber);
    int readInt(const QString &path, const QString &key, int defaultValue);
    void setKey(const QString &path, const QString &key, const QJsonValue &value, const char *missingLog);
};
