#include "store/JsonHandle.h"

#include "model/ProductTable.h"
#include "store/FactoryRecords.h"
#include "store/SafeFile.h"
#include "store/TextTable.h"
#include "platform/AppPaths.h"
#include "platform/LocalFiles.h"
#include "platform/Log.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

QString madeFolder(const QString &folder)
{
    LocalFiles::makePrivatePath(folder);
    return folder;
}

QString modelBase(int mouseType)
{
    return JsonHandle::configFilesRoot() + "/MouseFile/" + JsonHandle::modelFolderName(mouseType);
}

// A byte stored as a JSON number: an integer 0..255, nothing else.
bool toByte(const QJsonValue &value, quint8 *out)
{
    if (!value.isDouble())
        return false;
    const double d = value.toDouble();
    if (!(d >= 0 && d <= 255) || d != std::floor(d))
        return false;
    *out = quint8(d);
    return true;
}

// A 16-bit count: out-of-range numbers are clamped, non-numbers read 0.
int toWord(const QJsonValue &value)
{
    if (!value.isDouble())
        return 0;
    const double d = value.toDouble();
    if (!(d > 0))
        return 0;
    return d >= 65535 ? 65535 : int(d);
}

quint8 byteAt(const QByteArray &bytes, int i)
{
    return i < bytes.size() ? quint8(bytes[i]) : 0;
}

// Reads every byte of the first `count` elements of array, or fails.
bool readBytes(const QJsonArray &array, int count, QByteArray *out)
{
    out->resize(count);
    for (int i = 0; i < count; ++i) {
        quint8 b = 0;
        if (!toByte(array.at(i), &b))
            return false;
        (*out)[i] = char(b);
    }
    return true;
}

} // namespace

JsonHandle::JsonHandle(QObject *parent)
    : QObject(parent)
{
}

// ---- Folders and paths

QString JsonHandle::modelFolderName(int mouseType)
{
    // The catalogue's lower-case model name; "osprey" for a type without a row.
    return Products::modelName(mouseType);
}

QString JsonHandle::configFilesRoot()
{
    return AppPaths::dataRoot() + "/ConfigFiles";
}

QString JsonHandle::currentConfigJsonFilePath(int mouseType, int configNumber)
{
    const QString folder = configNumber == 0 ? modelBase(mouseType) + "/OriginalFile"
                                             : modelBase(mouseType) + "/AFile/ConfigJsonFile";
    const QString path = madeFolder(folder) + "/Config" + QString::number(configNumber) + ".json";
    qDebug() << "currentConfigJsonFilePath" << path;
    return path;
}

QString JsonHandle::currentConfigMouseLocalFilePath(int mouseType)
{
    const QString path = madeFolder(modelBase(mouseType) + "/AFile");
    qDebug() << "currentConfigMouseLocalFilePath " << path;
    return path;
}

QString JsonHandle::currentOldTxtFilePath(int mouseType, int configNumber)
{
    const QString folder = configNumber == 0 ? modelBase(mouseType) + "/OriginalFile"
                                             : modelBase(mouseType) + "/AFile";
    return madeFolder(folder) + "/Config" + QString::number(configNumber) + ".txt";
}

QString JsonHandle::currentCpiSettingFilePath(int mouseType, int configNumber)
{
    return madeFolder(modelBase(mouseType) + "/AFile/CPIUIInterfaceFile/" + QString::number(configNumber))
        + "/CpiSetting.json";
}

QString JsonHandle::currentPicturePath(int mouseType, int configNumber)
{
    const QString path =
        madeFolder(modelBase(mouseType) + "/AFile/PictureFile/" + QString::number(configNumber))
        + "/drawImage.BMP";
    qDebug() << "currentPicturePath" << path;
    return path;
}

QString JsonHandle::currentDefaultPicturePath(int mouseType)
{
    const QString path =
        madeFolder(configFilesRoot() + "/RecoverFile/PictureFile/" + modelFolderName(mouseType))
        + "/drawImage.BMP";
    qDebug() << "currentDefaultPicturePath" << path;
    return path;
}

QString JsonHandle::macroFolderPath()
{
    return madeFolder(configFilesRoot() + "/MacroFiles");
}

QString JsonHandle::playerCustomMacroFolderPath()
{
    return madeFolder(configFilesRoot() + "/MacroFiles/PlayerCustom");
}

// ---- Profile records

QByteArray JsonHandle::readRecord(const QJsonObject &bytes, int size, const char *logText)
{
    QByteArray record(size, 0);
    for (int i = 0; i < size; ++i) {
        const QJsonValue value = bytes.value(QString::number(i));
        quint8 b = 0;
        // A missing member reads 0; so does anything that is not a byte.
        if (!value.isUndefined() && !toByte(value, &b))
            qWarning() << logText << "member" << i << "is not a byte, read as 0";
        record[i] = char(b);
        qCDebug(lcRaw) << logText << i << b;
    }
    return record;
}

QJsonObject JsonHandle::turnRecordToJsonObject(const QByteArray &record, int size)
{
    QJsonObject object;
    for (int i = 0; i < size; ++i)
        object.insert(QString::number(i), int(byteAt(record, i)));
    return object;
}

void JsonHandle::saveRecord(const QByteArray &record, int size, int mouseType, int configNumber)
{
    const QString path = currentConfigJsonFilePath(mouseType, configNumber);
    QJsonObject root;
    if (SafeFile::readJsonObject(path, &root) != SafeFile::JsonRead::Ok)
        root = QJsonObject();
    root.insert(m_mouseData, turnRecordToJsonObject(record, size));
    SafeFile::writeJsonObject(path, root);
}

QByteArray JsonHandle::getMouseData_Korvan(int mouseType, int configNumber)
{
    const QString path = currentConfigJsonFilePath(mouseType, configNumber);
    QByteArray record(KorvanRecordSize, 0);
    createAOriginalMouseDataFile_Korvan(record, mouseType);
    QJsonObject root;
    if (SafeFile::readJsonObject(path, &root) != SafeFile::JsonRead::Ok)
        return record;
    const QJsonValue data = root.value(m_mouseData);
    if (!data.isObject())
        return record;
    return readRecord(data.toObject(), KorvanRecordSize, "getMouseData_Korvan");
}

QByteArray JsonHandle::getMouseData_Tern(int mouseType, int configNumber)
{
    const QString path = currentConfigJsonFilePath(mouseType, configNumber);
    QByteArray record(TernRecordSize, 0);
    createAOriginalMouseDataFile_Tern(record, mouseType);
    QJsonObject root;
    switch (SafeFile::readJsonObject(path, &root)) {
    case SafeFile::JsonRead::Ok:
        break;
    case SafeFile::JsonRead::TooLarge:
        // Not ours to judge: keep the file, work from the factory record.
        return record;
    case SafeFile::JsonRead::Unreadable:
    case SafeFile::JsonRead::NotObject:
        saveMouseData_Tern(record, mouseType, configNumber);
        return record;
    }
    const QJsonValue data = root.value(m_mouseData);
    if (!data.isObject())
        return record;
    return readRecord(data.toObject(), TernRecordSize, "getMouseData_Tern data");
}

void JsonHandle::saveMouseData_Korvan(const QByteArray &record, int mouseType, int configNumber)
{
    saveRecord(record, KorvanRecordSize, mouseType, configNumber);
}

void JsonHandle::saveMouseData_Tern(const QByteArray &record, int mouseType, int configNumber)
{
    saveRecord(record, TernRecordSize, mouseType, configNumber);
}

bool JsonHandle::createAOriginalMouseDataFile_Korvan(QByteArray &record, int mouseType)
{
    return FactoryRecords::fillKorvan(record, mouseType);
}

bool JsonHandle::createAOriginalMouseDataFile_Tern(QByteArray &record, int mouseType)
{
    return FactoryRecords::fillTern(record, mouseType);
}

QJsonObject JsonHandle::turnMouseDataJsonObject_Korvan(const QByteArray &record)
{
    return turnRecordToJsonObject(record, KorvanRecordSize);
}

QJsonObject JsonHandle::turnMouseDataJsonObject_Tern(const QByteArray &record)
{
    return turnRecordToJsonObject(record, TernRecordSize);
}

// ---- Macros inside a profile

QJsonObject JsonHandle::readSlot(int mouseType, int configNumber, int slot, bool *found)
{
    *found = false;
    QJsonObject root;
    if (SafeFile::readJsonObject(currentConfigJsonFilePath(mouseType, configNumber), &root)
        != SafeFile::JsonRead::Ok)
        return QJsonObject();
    const QJsonValue macros = root.value(m_macroData);
    if (!macros.isObject())
        return QJsonObject();
    *found = true;
    return macros.toObject().value(QString::number(slot)).toObject();
}

void JsonHandle::saveSlot(const QJsonObject &macro, int slot, int mouseType, int configNumber)
{
    const QString path = currentConfigJsonFilePath(mouseType, configNumber);
    QJsonObject root;
    if (SafeFile::readJsonObject(path, &root) != SafeFile::JsonRead::Ok)
        root = QJsonObject();
    QJsonObject macros = root.value(m_macroData).toObject();
    macros.insert(QString::number(slot), macro);
    root.insert(m_macroData, macros);
    SafeFile::writeJsonObject(path, root);
}

QJsonObject JsonHandle::turnMacroDataToJsonObject_Korvan(const QByteArray &macro)
{
    const int size = byteAt(macro, 0) | byteAt(macro, 1) << 8;
    const int room = std::min<int>(macro.size(), KorvanMacroRecordSize);
    // The size counts the 4-byte header and whole 3-byte events, within the record.
    if (size < 4 || size > room || (size - 4) % 3 != 0)
        return QJsonObject();
    QJsonArray events;
    for (int at = 4; at + 3 <= size; at += 3) {
        const int word = byteAt(macro, at) | byteAt(macro, at + 1) << 8;
        qDebug() << "turnMacroDataToJsonObject_Korvan delay" << (word >> 1) << "state" << (word & 1)
                 << "key" << byteAt(macro, at + 2);
        events.append(int(byteAt(macro, at)));
        events.append(int(byteAt(macro, at + 1)));
        events.append(int(byteAt(macro, at + 2)));
    }
    QJsonObject object;
    object.insert(m_macroSize, size);
    object.insert(m_repeatTimes, byteAt(macro, 2) | byteAt(macro, 3) << 8);
    object.insert(m_macro, events);
    return object;
}

QJsonObject JsonHandle::turnMacroDataToJsonObject_Tern(const MacroRecord &macro)
{
    QJsonArray events;
    const int count = std::min(macro.items.size(), TernMacroMaxItems);
    if (count < macro.items.size())
        qWarning() << "turnMacroDataToJsonObject_Tern: steps past" << TernMacroMaxItems << "dropped";
    for (int i = 0; i < count; ++i) {
        events.append(macro.items.at(i) & 0xFF);
        events.append(macro.items.at(i) >> 8);
    }
    QJsonObject object;
    object.insert(m_repeatTimes, macro.header0 * 256 + macro.header1);
    object.insert(m_macro, events);
    return object;
}

QByteArray JsonHandle::getMacroData_Korvan(int mouseType, int configNumber, int macroSlot)
{
    QByteArray record(KorvanMacroRecordSize, 0);
    bool found = false;
    const QJsonObject macro = readSlot(mouseType, configNumber, macroSlot, &found);
    if (!found)
        return record;

    // The stored size says how much of the record the mouse plays. A size
    // that is not 4 + 3 x events marks no macro; one past the events the
    // array holds, or past the record, is cut down to them.
    const QJsonValue sizeValue = macro.value(m_macroSize);
    const int declared = sizeValue.isDouble() ? sizeValue.toInt(-1) : 0;
    if (declared < 4 || (declared - 4) % 3 != 0) {
        if (declared != 0)
            qWarning() << "getMacroData_Korvan: macro" << macroSlot << "has no valid size" << sizeValue;
        return record;
    }
    const QJsonArray array = macro.value(m_macro).toArray();
    const int events = std::min({(declared - 4) / 3, int(array.size()) / 3, KorvanMacroMaxEvents});
    if (events != (declared - 4) / 3)
        qWarning() << "getMacroData_Korvan: macro" << macroSlot << "size" << declared
                   << "cut to" << 4 + 3 * events;
    QByteArray bytes;
    if (!readBytes(array, 3 * events, &bytes)) {
        qWarning() << "getMacroData_Korvan: macro" << macroSlot << "holds values that are not bytes";
        return record;
    }
    const int size = 4 + 3 * events;
    const int repeat = toWord(macro.value(m_repeatTimes));
    record[0] = char(size & 0xFF);
    record[1] = char(size >> 8);
    record[2] = char(repeat & 0xFF);
    record[3] = char(repeat >> 8);
    std::copy(bytes.cbegin(), bytes.cend(), record.begin() + 4);
    return record;
}

MacroRecord JsonHandle::getMacroData_Tern(MacroRecord &macro, int mouseType, int configNumber,
                                          int MacroPosition)
{
    MacroRecord record;
    record.header0 = 0; // repeat count 1, high byte first
    record.header1 = 1;
    bool found = false;
    const QJsonObject stored = readSlot(mouseType, configNumber, MacroPosition, &found);
    if (found) {
        const int repeat = toWord(stored.value(m_repeatTimes));
        record.header0 = uchar(repeat >> 8);
        record.header1 = uchar(repeat & 0xFF);
        const QJsonArray array = stored.value(m_macro).toArray();
        // An odd array is not a list of (low, high) pairs: no steps at all.
        if (array.size() % 2 == 0) {
            const int steps = std::min(int(array.size()) / 2, TernMacroMaxItems);
            if (steps < array.size() / 2)
                qWarning() << "getMacroData_Tern: macro" << MacroPosition << "cut to" << steps << "steps";
            QByteArray bytes;
            if (readBytes(array, 2 * steps, &bytes)) {
                for (int i = 0; i < steps; ++i)
                    record.items.append(USHORT(quint8(bytes[2 * i]) | quint8(bytes[2 * i + 1]) << 8));
            } else {
                qWarning() << "getMacroData_Tern: macro" << MacroPosition << "holds values that are not bytes";
            }
        }
    }
    macro = record;
    return record;
}

void JsonHandle::saveMacroData_Korvan(const QByteArray &macro, int macroSlot, int mouseType, int configNumber)
{
    saveSlot(turnMacroDataToJsonObject_Korvan(macro), macroSlot, mouseType, configNumber);
}

void JsonHandle::saveConfigData_Korvan(const QByteArray &record, const QList<QByteArray> &macros, int mouseType,
                                       int configNumber)
{
    const QString path = currentConfigJsonFilePath(mouseType, configNumber);
    QJsonObject root;
    if (SafeFile::readJsonObject(path, &root) != SafeFile::JsonRead::Ok)
        root = QJsonObject();
    root.insert(m_mouseData, turnRecordToJsonObject(record, KorvanRecordSize));
    QJsonObject macroObjects = root.value(m_macroData).toObject();
    for (int slot = 0; slot < macros.size(); ++slot)
        macroObjects.insert(QString::number(slot), turnMacroDataToJsonObject_Korvan(macros.at(slot)));
    root.insert(m_macroData, macroObjects);
    SafeFile::writeJsonObject(path, root);
}

void JsonHandle::saveMacroData_Tern(const MacroRecord &macro, int macroSlot, int mouseType, int configNumber)
{
    saveSlot(turnMacroDataToJsonObject_Tern(macro), macroSlot, mouseType, configNumber);
}

// ---- User macro files

int JsonHandle::readInt(const QString &path, const QString &key, int defaultValue)
{
    QJsonObject root;
    if (SafeFile::readJsonObject(path, &root) != SafeFile::JsonRead::Ok)
        return defaultValue;
    return root.value(key).toInt(defaultValue);
}

void JsonHandle::setKey(const QString &path, const QString &key, const QJsonValue &value, const char *missingLog)
{
    QJsonObject root;
    switch (SafeFile::readJsonObject(path, &root)) {
    case SafeFile::JsonRead::Unreadable:
        qDebug() << missingLog;
        root = QJsonObject();
        break;
    case SafeFile::JsonRead::NotObject:
    case SafeFile::JsonRead::TooLarge:
        return; // someone else's document: leave it as it is
    case SafeFile::JsonRead::Ok:
        root.remove(key);
        break;
    }
    root.insert(key, value);
    SafeFile::writeJsonObject(path, root);
}

QString JsonHandle::getMacroName(const QString &path)
{
    QJsonObject root;
    if (SafeFile::readJsonObject(path, &root) == SafeFile::JsonRead::Ok) {
        const QJsonValue name = root.value(m_name);
        if (name.isString())
            return name.toString();
    }
    return QStringLiteral("ErrorName");
}

void JsonHandle::setMacroName(const QString &path, const QString &name)
{
    setKey(path, m_name, name, "no this");
}

int JsonHandle::getMacroType(const QString &path)
{
    return readInt(path, m_macroType, 0);
}

void JsonHandle::setMacroType(const QString &path, int type)
{
    setKey(path, m_macroType, type, "no this");
}

int JsonHandle::getRepeatTimes(const QString &path)
{
    return readInt(path, m_repeatTimes, 1);
}

void JsonHandle::setRepeatTimes(const QString &path, int times)
{
    setKey(path, m_repeatTimes, times, "no this");
}

int JsonHandle::getIgnoreDelayTime(const QString &path)
{
    return readInt(path, m_ignoreDelayTime, 0);
}

void JsonHandle::setIgnoreDelayTime(const QString &path, int ignore)
{
    setKey(path, m_ignoreDelayTime, ignore, "no this");
}

int JsonHandle::getMacroLength(const QString &path)
{
    return readInt(path, m_macroLength, 0);
}

void JsonHandle::setMacroLength(const QString &path, int length)
{
    setKey(path, m_macroLength, length, "no this MacroLength TERN");
}

QList<MacroNode> JsonHandle::getMacroNodeList(const QString &path)
{
    QList<MacroNode> nodes;
    QJsonObject root;
    if (SafeFile::readJsonObject(path, &root) != SafeFile::JsonRead::Ok)
        root = QJsonObject();
    const QJsonValue macro = root.value(m_macro);
    if (!macro.isArray()) {
        qDebug() << "isn't array";
        return nodes;
    }
    const QJsonArray array = macro.toArray();
    for (const QJsonValue &element : array) {
        if (!element.isObject())
            continue;
        const QJsonObject o = element.toObject();
        MacroNode node;
        // Only numbers replace a default; anything else in the file is ignored.
        auto take = [&o](const QString &key, int &field) {
            const QJsonValue v = o.value(key);
            if (v.isDouble())
                field = v.toInt(field);
        };
        take(m_valueType, node.valueType);
        take(m_mouseValue, node.mouseValue);
        take(m_keyValue, node.keyValue);
        take(m_timeLapse, node.timeLapse);
        take(m_coordinateX, node.coordinateX);
        take(m_coordinateY, node.coordinateY);
        take(m_state, node.state);
        if (o.value(m_text).isString())
            node.text = o.value(m_text).toString();
        nodes.append(node);
    }
    return nodes;
}

QJsonArray JsonHandle::TurnMacroNodeListToJsonArray(const QList<MacroNode> &nodeList)
{
    qDebug() << "TurnMacroNodeListToJsonArray";
    QJsonArray array;
    for (const MacroNode &node : nodeList) {
        QJsonObject o;
        o.insert(m_valueType, node.valueType);
        o.insert(m_keyValue, node.keyValue);
        o.insert(m_timeLapse, node.timeLapse);
        o.insert(m_coordinateX, node.coordinateX);
        o.insert(m_coordinateY, node.coordinateY);
        o.insert(m_state, node.state);
        o.insert(m_text, node.text);
        array.append(o);
    }
    return array;
}

void JsonHandle::setMacroNodeList(const QString &path, const QList<MacroNode> &nodeList)
{
    QJsonObject root;
    if (SafeFile::readJsonObject(path, &root) != SafeFile::JsonRead::Ok)
        return;
    root.insert(m_macro, TurnMacroNodeListToJsonArray(nodeList));
    SafeFile::writeJsonObject(path, root);
}

int JsonHandle::getMacroEventCount(const QString &path)
{
    QJsonObject root;
    if (SafeFile::readJsonObject(path, &root) != SafeFile::JsonRead::Ok)
        return 0;
    return root.value(m_macro).toArray().size();
}

void JsonHandle::removeFile(const QString &path)
{
    if (QFile::exists(path))
        QFile::remove(path);
}

QString JsonHandle::createNewMacroFile(const QDateTime &now)
{
    const QString folder = playerCustomMacroFolderPath();
    QDateTime stamp = now;
    QString path;
    for (;;) {
        path = folder + "/" + stamp.toString(QStringLiteral("yyyyMMddhhmmsszzz")) + ".json";
        if (!QFileInfo::exists(path))
            break;
        stamp = stamp.addMSecs(1);
    }
    setMacroName(path, TextTable::text(TextTable::TextNewMacroName));
    return path;
}

void JsonHandle::loadTextTable(const QString &path, int slot)
{
    TextTable::loadTextTable(path, slot);
}

QStringList JsonHandle::macroFileList(const QString &folder)
{
    QStringList paths;
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Unsorted);
    for (const QFileInfo &entry : entries)
        paths.append(entry.filePath());
    return paths;
}

// ---- Macro length

int JsonHandle::calculateMacroListLength(const QList<MacroNode> &nodeList)
{
    int length = 0;
    for (const MacroNode &node : nodeList) {
        length += 3;
        if (node.timeLapse > 127)
            length += 4;
        // A mouse-position event is the one that costs more on the mouse (it
        // becomes two device events), and position events are known by their
        // kind everywhere else. Testing the key code instead would charge every
        // press of key code 6 (the fifth mouse button) as if it were a move.
        if (node.valueType == 6)
            length += 4;
    }
    return length;
}

int JsonHandle::calculateMacroNodeLength(int time)
{
    return time < 128 ? 3 : 7;
}
