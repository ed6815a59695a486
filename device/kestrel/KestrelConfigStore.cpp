#include "device/kestrel/KestrelConfigStore.h"

#include "platform/LocalFiles.h"
#include "store/SafeFile.h"

#include "device/kestrel/KestrelMacroCodec.h"
#include "device/kestrel/KestrelTables.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>

using namespace KestrelTables;

namespace {

bool validMacroLength(int length) { return KestrelMacroCodec::isWholeLength(length); }

} // namespace

int KestrelConfigStore::macroLength(const Image &image, int slot)
{
    return int(qFromLittleEndian<quint32>(image.data() + kLengthsAt + 4 * slot));
}

const BYTE *KestrelConfigStore::macroData(const Image &image, int slot)
{
    return image.data() + kMacrosAt + slot * kMacroSlotSize;
}

void KestrelConfigStore::setMacro(Image &image, int slot, const BYTE *data, int length)
{
    BYTE *at = image.data() + kMacrosAt + slot * kMacroSlotSize;
    std::fill(at, at + kMacroSlotSize, BYTE(0));
    if (length > 0)
        std::copy(data, data + length, at);
    qToLittleEndian<quint32>(quint32(length), image.data() + kLengthsAt + 4 * slot);
}

void KestrelConfigStore::clearMacro(Image &image, int slot) { setMacro(image, slot, nullptr, 0); }

QByteArray KestrelConfigStore::record(int type, int number) { return m_json.getMouseData_Korvan(type, number); }

KestrelConfigStore::Image KestrelConfigStore::load(int type, int number)
{
    Image image(kImageSize, 0);
    const QByteArray profile = m_json.getMouseData_Korvan(type, number).left(kRecordSize);
    std::copy(profile.cbegin(), profile.cend(), image.begin());
    for (int m = 0; m < kMacroCount; ++m) {
        const QByteArray macro = m_json.getMacroData_Korvan(type, number, m).left(kMacroSlotSize);
        const int length = macro.size() >= 2 ? qFromLittleEndian<quint16>(macro.constData()) : 0;
        if (length == 0)
            continue;
        if (!validMacroLength(length) || length > macro.size()) {
            qWarning() << "configuration" << number << "macro" << m << "has a bad length" << length;
            continue;
        }
        setMacro(image, m, reinterpret_cast<const BYTE *>(macro.constData()), length);
    }
    return image;
}

void KestrelConfigStore::save(const Image &image, int type, int number)
{
    QList<QByteArray> macros;
    for (int m = 0; m < kMacroCount; ++m)
        macros.append(QByteArray(reinterpret_cast<const char *>(macroData(image, m)), kMacroSlotSize));
    m_json.saveConfigData_Korvan(QByteArray(reinterpret_cast<const char *>(image.data()), kRecordSize), macros, type,
                                   number);
}

KestrelMacro KestrelConfigStore::macroFromFile(const QString &path, int *macroType)
{
    *macroType = m_json.getMacroType(path);
    return KestrelMacroCodec::fromNodes(m_json.getMacroNodeList(path), *macroType, m_json.getRepeatTimes(path));
}

// ---- legacy text files ---------------------------------------------------

QString KestrelConfigStore::legacyFilePath(const QString &modelKey, int configNumber)
{
    const QString model = QStringLiteral("%1/%2/%3").arg(JsonHandle::configFilesRoot(), QStringLiteral("MouseFile"), modelKey);
    const QString folder = QStringLiteral("%1/%2").arg(model, configNumber == 0 ? QStringLiteral("OriginalFile")
                                                                               : QStringLiteral("AFile"));
    LocalFiles::makePrivatePath(folder);
    const QString path = QStringLiteral("%1/%2%3%4").arg(folder, QStringLiteral("Config"),
                                                         QString::number(configNumber), QStringLiteral(".txt"));
    qDebug() << "getConfigFilePath " << path;
    return path;
}

bool KestrelConfigStore::imageFromLegacyFile(const QByteArray &data, Image *image)
{
    // Exactly what the writer makes: the head, then every macro its length
    // names, each starting with that same length. Anything else is no
    // configuration of ours and is not taken even in part.
    if (data.size() < kImageHeadSize)
        return false;
    Image parsed(kImageSize, 0);
    std::copy(data.cbegin(), data.cbegin() + kImageHeadSize, parsed.begin());
    int at = kImageHeadSize;
    for (int m = 0; m < kMacroCount; ++m) {
        const int length = macroLength(parsed, m);
        if (length == 0)
            continue;
        qDebug() << "len macro:" << m << length;
        if (!validMacroLength(length) || data.size() - at < length
            || qFromLittleEndian<quint16>(data.constData() + at) != length)
            return false;
        setMacro(parsed, m, reinterpret_cast<const BYTE *>(data.constData() + at), length);
        at += length;
    }
    if (at != data.size())
        return false;
    *image = std::move(parsed);
    return true;
}

QByteArray KestrelConfigStore::legacyFileFromImage(const Image &image)
{
    QByteArray data(reinterpret_cast<const char *>(image.data()), kImageHeadSize);
    for (int m = 0; m < kMacroCount; ++m) {
        const int length = macroLength(image, m);
        if (length != 0 && validMacroLength(length))
            data.append(reinterpret_cast<const char *>(macroData(image, m)), length);
    }
    return data;
}

void KestrelConfigStore::convertLegacyFiles(const QString &modelKey, int type)
{
    if (!QFile::exists(legacyFilePath(modelKey, 1)))
        return;
    QFile::remove(legacyFilePath(modelKey, 0));
    for (int number = 1; number <= 5; ++number) {
        const QString path = legacyFilePath(modelKey, number);
        if (!QFile::exists(path))
            continue;
        // A text file never replaces a profile: it is only ever the older copy.
        if (QFileInfo::exists(JsonHandle::currentConfigJsonFilePath(type, number))) {
            qWarning() << "legacy file kept, configuration" << number << "already has its profile:" << path;
            continue;
        }
        QByteArray data;
        if (!LocalFiles::readRegularFile(path, kImageSize, &data)) {
            qDebug() << "open failed" << path;
            continue;
        }
        qDebug() << "file get:" << data.size() << kRecordSize;
        Image image;
        if (!imageFromLegacyFile(data, &image)) {
            qWarning() << "legacy file kept, it holds no whole configuration:" << path;
            continue;
        }
        save(image, type, number);
        qDebug() << "end getLocalGunShootProfileByConfigureNumber";
        QFile::remove(path);
    }
}

void KestrelConfigStore::writeLegacyFiles(const QString &modelKey, int type)
{
    for (int number = 1; number <= 5; ++number) {
        qDebug() << "KestrelConfigStore::saveToOldTxtFile" << number;
        const QByteArray data = legacyFileFromImage(load(type, number));
        qDebug() << "MOUSE DATA LEN:" << kImageHeadSize << kRecordSize;
        SafeFile::writeAtomically(legacyFilePath(modelKey, number), data);
    }
}

void KestrelConfigStore::removeLegacyFiles(const QString &modelKey)
{
    for (int number = 1; number <= 5; ++number)
        QFile::remove(legacyFilePath(modelKey, number));
}
