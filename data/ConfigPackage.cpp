#include "data/ConfigPackage.h"

#include "device/FamilyTable.h"
#include "model/ProductTable.h"
#include "store/GearHandle.h"
#include "store/JsonHandle.h"
#include "store/SafeFile.h"
#include "store/TextTable.h"
#include "platform/LocalFiles.h"

#include <QBuffer>
#include <QDebug>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>
#include <cmath>

namespace ConfigPackage {

namespace {

// The file's members.
const QLatin1String kFormat("HarrierDriverConfiguration");
const QLatin1String kModel("Model");
const QLatin1String kProfile("Profile");
const QLatin1String kGear("CpiSetting");
const QLatin1String kPicture("Picture");
// The profile file's members a configuration is made of.
const QLatin1String kRecord("MouseDataOfGamingMode");
const QLatin1String kMacros("MacroDataOfGamingMode");

constexpr int kKorvanMacroBytes = 4096; // header and events of one first-family macro
constexpr int kKorvanHeaderBytes = 4;
constexpr int kTernMacroSteps = 511;    // what one device macro block holds
constexpr int kMaxRepeat = 0xFFFF;
constexpr int kGearLevels = 7;
// What a 16-bit CPI level can hold; the page's own ranges are narrower.
constexpr int kMaxGearCpi = 0xFFFF;

Outcome fail(Problem problem, const QString &detail = QString())
{
    return Outcome{problem, detail};
}

// An integer within [low, high], as JSON writes it: a number without a fraction.
bool intIn(const QJsonValue &value, int low, int high, int *out = nullptr)
{
    if (!value.isDouble())
        return false;
    const double d = value.toDouble();
    if (std::floor(d) != d || d < low || d > high)
        return false;
    if (out)
        *out = int(d);
    return true;
}

// A whole array of bytes, at most maxItems long.
bool byteArray(const QJsonValue &value, int maxItems, int *count)
{
    if (!value.isArray())
        return false;
    const QJsonArray array = value.toArray();
    if (array.size() > maxItems)
        return false;
    for (const QJsonValue &v : array)
        if (!intIn(v, 0, 255))
            return false;
    *count = array.size();
    return true;
}

// The slots of a package's macro list that hold events; the list itself is checked by checkMacros.
QSet<int> filledMacroSlots(const QJsonValue &value)
{
    QSet<int> filled;
    const QJsonObject macros = value.toObject();
    for (auto it = macros.begin(); it != macros.end(); ++it) {
        bool number = false;
        const int slot = it.key().toInt(&number);
        if (number && !it.value().toObject().value(QLatin1String("Macro")).toArray().isEmpty())
            filled.insert(slot);
    }
    return filled;
}

bool checkRecord(const FamilyEntry &family, int mouseType, const QJsonValue &value, const QSet<int> &filledMacros,
                 QString *why)
{
    if (!value.isObject()) {
        *why = QStringLiteral("no profile record");
        return false;
    }
    const QJsonObject members = value.toObject();
    const int size = family.profile.recordSize;
    if (members.size() != size) {
        *why = QStringLiteral("profile record of %1 bytes, not %2").arg(members.size()).arg(size);
        return false;
    }
    QByteArray record(size, '\0');
    for (int i = 0; i < size; ++i) {
        int byte = 0;
        if (!intIn(members.value(QString::number(i)), 0, 255, &byte)) {
            *why = QStringLiteral("profile byte %1").arg(i);
            return false;
        }
        record[i] = char(byte);
    }
    return family.checkProfile(mouseType, record, filledMacros, why);
}

bool checkMacro(const FamilyEntry &family, const QString &slot, const QJsonValue &value, QString *why)
{
    *why = QStringLiteral("macro %1").arg(slot);
    if (!value.isObject())
        return false;
    const QJsonObject macro = value.toObject();
    // An empty slot is written as an empty object.
    if (macro.isEmpty())
        return true;
    if (!intIn(macro.value(QLatin1String("RepeatTimes")), 0, kMaxRepeat))
        return false;
    int items = 0;
    if (family.profile.korvanMacros) {
        int size = 0;
        const int maxEvents = (kKorvanMacroBytes - kKorvanHeaderBytes) / 3;
        return intIn(macro.value(QLatin1String("MacroSize")), kKorvanHeaderBytes, kKorvanMacroBytes, &size)
               && byteArray(macro.value(QLatin1String("Macro")), 3 * maxEvents, &items)
               && size == kKorvanHeaderBytes + items && items % 3 == 0;
    }
    return byteArray(macro.value(QLatin1String("Macro")), 2 * kTernMacroSteps, &items) && items % 2 == 0;
}

bool checkMacros(const FamilyEntry &family, const QJsonValue &value, QString *why)
{
    if (value.isUndefined())
        return true; // a configuration without macros
    if (!value.isObject()) {
        *why = QStringLiteral("macro list");
        return false;
    }
    const QJsonObject macros = value.toObject();
    for (auto it = macros.begin(); it != macros.end(); ++it) {
        bool number = false;
        const int slot = it.key().toInt(&number);
        if (!number || slot < 0 || slot >= family.profile.macroSlots || it.key() != QString::number(slot)) {
            *why = QStringLiteral("macro slot %1").arg(it.key());
            return false;
        }
        if (!checkMacro(family, it.key(), it.value(), why))
            return false;
    }
    return true;
}

bool checkGear(const QJsonValue &value, QString *why)
{
    *why = QStringLiteral("CPI levels");
    if (!value.isObject())
        return false;
    const QJsonObject gear = value.toObject();
    if (!gear.value(QLatin1String("GearVariable")).isBool() || !gear.value(QLatin1String("GearData")).isArray())
        return false;
    const QJsonArray levels = gear.value(QLatin1String("GearData")).toArray();
    if (levels.size() != kGearLevels)
        return false;
    for (int i = 0; i < kGearLevels; ++i) {
        *why = QStringLiteral("CPI level %1").arg(i + 1);
        const QJsonObject level = levels.at(i).toObject();
        if (!intIn(level.value(QLatin1String("GearPosition")), 1, kGearLevels)
            || !intIn(level.value(QLatin1String("GearCurrentValue")), 0, kMaxGearCpi)
            || !level.value(QLatin1String("GearEnable")).isBool())
            return false;
    }
    return true;
}

bool checkPicture(int mouseType, const QByteArray &picture, QString *why)
{
    *why = QStringLiteral("screen picture");
    if (picture.isEmpty())
        return true;
    if (!Products::hasScreenPicture(mouseType) || picture.size() > kMaxPictureBytes)
        return false;
    // The header's size is believed only once it is known to be small.
    QBuffer buffer;
    buffer.setData(picture);
    QImageReader reader(&buffer, "BMP");
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > 1024 || size.height() > 1024)
        return false;
    return !reader.read().isNull();
}

QString fill(int index, const QString &a = QString(), const QString &b = QString())
{
    QString text = TextTable::text(index);
    if (text.contains(QLatin1String("%2")))
        return text.arg(a, b);
    if (text.contains(QLatin1String("%1")))
        return text.arg(a);
    return text;
}

} // namespace

QString Outcome::message(int mouseType) const
{
    using namespace TextTable;
    if (exporting) {
        // A stored part that is not as it should be: the export's own words.
        if (problem == Problem::Unreadable)
            return fill(TextConfigExportUnreadable, detail);
        if (problem == Problem::BadValue || problem == Problem::NotAPackage || problem == Problem::TooLarge)
            return fill(TextConfigExportDamaged, detail);
    }
    switch (problem) {
    case Problem::None: return QString();
    case Problem::NoFolder: return fill(TextConfigNoFolder, detail);
    case Problem::Unreadable: return fill(TextConfigUnreadable, detail);
    case Problem::TooLarge: return fill(TextConfigTooLarge);
    case Problem::NotAPackage: return fill(TextConfigNotAPackage);
    case Problem::OtherModel: return fill(TextConfigOtherModel, detail, Products::modelName(mouseType));
    case Problem::BadValue: return fill(TextConfigBadValue, detail);
    case Problem::NothingToExport: return fill(TextConfigNothingToExport, detail);
    case Problem::WriteFailed: return fill(TextConfigWriteFailed, detail);
    case Problem::MouseRefused: return fill(TextConfigMouseRefused);
    case Problem::NoMouse: return fill(TextConfigNoMouse);
    }
    return QString();
}

Outcome collect(int mouseType, int number, Contents *out)
{
    QJsonObject file;
    if (SafeFile::readJsonObject(JsonHandle::currentConfigJsonFilePath(mouseType, number), &file)
            != SafeFile::JsonRead::Ok
        || !file.contains(kRecord))
        return fail(Problem::NothingToExport, QString::number(number));
    Contents contents;
    contents.profile.insert(kRecord, file.value(kRecord));
    if (file.contains(kMacros))
        contents.profile.insert(kMacros, file.value(kMacros));
    // Without a gear file of its own the configuration shows the default levels.
    const QString gearPath = GearHandle::gearFilePath(mouseType, number);
    if (SafeFile::readJsonObject(gearPath, &contents.gear) != SafeFile::JsonRead::Ok)
        contents.gear = GearHandle().BuildDefaultGear(mouseType);
    const QString picturePath = JsonHandle::currentPicturePath(mouseType, number);
    if (QFile::exists(picturePath) && !SafeFile::readAll(picturePath, &contents.picture, nullptr, kMaxPictureBytes))
        return fail(Problem::Unreadable, picturePath);
    *out = contents;
    return Outcome{};
}

QByteArray serialise(int mouseType, const Contents &contents)
{
    QJsonObject root;
    root.insert(kFormat, kFormatVersion);
    root.insert(kModel, Products::modelName(mouseType));
    root.insert(kProfile, contents.profile);
    root.insert(kGear, contents.gear);
    if (!contents.picture.isEmpty())
        root.insert(kPicture, QString::fromLatin1(contents.picture.toBase64()));
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

Outcome parse(const QByteArray &bytes, int mouseType, Contents *out)
{
    if (bytes.size() > kMaxFileBytes)
        return fail(Problem::TooLarge);
    const ProductInfo *product = Products::byType(mouseType);
    const FamilyEntry *family = product ? Families::find(product->family) : nullptr;
    if (!family)
        return fail(Problem::NoMouse);

    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    const QJsonObject root = document.object();
    if (error.error != QJsonParseError::NoError || !document.isObject() || !root.contains(kFormat))
        return fail(Problem::NotAPackage);
    if (!intIn(root.value(kFormat), kFormatVersion, kFormatVersion))
        return fail(Problem::NotAPackage);
    const QString model = root.value(kModel).toString();
    if (model != Products::modelName(mouseType))
        return fail(Problem::OtherModel, model.left(40));

    const QJsonObject profile = root.value(kProfile).toObject();
    QString why;
    if (!checkMacros(*family, profile.value(kMacros), &why)
        || !checkRecord(*family, mouseType, profile.value(kRecord), filledMacroSlots(profile.value(kMacros)), &why)
        || !checkGear(root.value(kGear), &why))
        return fail(Problem::BadValue, why);
    QByteArray picture;
    const QJsonValue pictureValue = root.value(kPicture);
    if (!pictureValue.isUndefined()) {
        picture = QByteArray::fromBase64(pictureValue.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!pictureValue.isString() || picture.isEmpty() || !checkPicture(mouseType, picture, &why))
            return fail(Problem::BadValue, QStringLiteral("screen picture"));
    }

    Contents contents;
    contents.profile.insert(kRecord, profile.value(kRecord));
    if (profile.contains(kMacros))
        contents.profile.insert(kMacros, profile.value(kMacros));
    contents.gear = root.value(kGear).toObject();
    contents.picture = picture;
    *out = contents;
    return Outcome{};
}

Outcome readFile(const QString &path, int mouseType, Contents *out)
{
    QByteArray bytes;
    LocalFiles::ReadFailure failure = LocalFiles::ReadFailure::None;
    if (!LocalFiles::readRegularFile(path, kMaxFileBytes, &bytes, &failure))
        return failure == LocalFiles::ReadFailure::TooLarge ? fail(Problem::TooLarge) : fail(Problem::Unreadable, path);
    return parse(bytes, mouseType, out);
}

Saved save(int mouseType, int number)
{
    Saved saved;
    saved.paths = {JsonHandle::currentConfigJsonFilePath(mouseType, number), GearHandle::gearFilePath(mouseType, number),
                   JsonHandle::currentPicturePath(mouseType, number)};
    for (const QString &path : qAsConst(saved.paths)) {
        QByteArray bytes;
        if (!QFile::exists(path) || !SafeFile::readAll(path, &bytes))
            bytes = QByteArray();
        else if (bytes.isNull())
            bytes = QByteArray(""); // an empty file, not an absent one
        saved.bytes.append(bytes);
    }
    return saved;
}

void restore(const Saved &saved)
{
    for (int i = 0; i < saved.paths.size(); ++i) {
        if (saved.bytes.at(i).isNull())
            QFile::remove(saved.paths.at(i));
        else if (!SafeFile::writeAtomically(saved.paths.at(i), saved.bytes.at(i)))
            qWarning() << "ConfigPackage restore failed" << saved.paths.at(i);
    }
}

Outcome install(int mouseType, int number, const Contents &contents)
{
    const Saved saved = save(mouseType, number);
    const QString profilePath = saved.paths.at(0);
    QJsonObject file;
    if (SafeFile::readJsonObject(profilePath, &file) != SafeFile::JsonRead::Ok)
        file = QJsonObject();
    file.insert(kRecord, contents.profile.value(kRecord));
    if (contents.profile.contains(kMacros))
        file.insert(kMacros, contents.profile.value(kMacros));
    else
        file.remove(kMacros);

    QString failed;
    if (!SafeFile::writeJsonObject(profilePath, file))
        failed = profilePath;
    else if (!SafeFile::writeJsonObject(saved.paths.at(1), contents.gear))
        failed = saved.paths.at(1);
    else if (contents.picture.isEmpty() ? QFile::exists(saved.paths.at(2)) && !QFile::remove(saved.paths.at(2))
                                        : !SafeFile::writeAtomically(saved.paths.at(2), contents.picture))
        failed = saved.paths.at(2);
    if (failed.isEmpty())
        return Outcome{};
    restore(saved);
    return fail(Problem::WriteFailed, failed);
}

} // namespace ConfigPackage
