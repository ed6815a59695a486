#include "device/kestrel/KestrelConfigStore.h"

#include "device/kestrel/KestrelMacroCodec.h"
#include "device/kestrel/KestrelTables.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QSaveFile>
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
    QDir().mkpath(folder);
    const QString path = QStringLiteral("%1/%2%3%4").arg(folder, QStringLiteral("Config"),
                                                         QString::number(configNumber), QStringLiteral(".txt"));
    qDebug() << "getConfigFilePath " << path;
    return path;
}

KestrelConfigStore::Image KestrelConfigStore::imageFromLegacyFile(const QByteArray &data, int type)
{
    Image image(kImageSize, 0);
    // What the file lacks of the profile keeps the model's factory values.
    QByteArray factory(kRecordSize, '\0');
    m_json.createAOriginalMouseDataFile_Korvan(factory, type);
    std::copy(factory.cbegin(), factory.cbegin() + std::min(int(factory.size()), kRecordSize), image.begin());
    std::copy(data.cbegin(), data.cbegin() + std::min(int(data.size()), kImageHeadSize), image.begin());

    int at = kImageHeadSize;
    for (int m = 0; m < kMacroCount; ++m) {
        const int length = macroLength(image, m);
        qToLittleEndian<quint32>(0, image.data() + kLengthsAt + 4 * m);
        if (length == 0)
            continue;
        qDebug() << "len macro:" << m << length;
        // The writer leaves out what is no whole macro, so the stream holds nothing for it.
        if (!validMacroLength(length))
            continue;
        const int available = std::clamp(data.size() - at, 0, length);
        // A cut-off macro keeps its whole events.
        const int kept = available < 4 ? 0 : 4 + (available - 4) / 3 * 3;
        if (kept > 0) {
            QByteArray macro = data.mid(at, kept);
            qToLittleEndian<quint16>(quint16(kept), reinterpret_cast<uchar *>(macro.data()));
            setMacro(image, m, reinterpret_cast<const BYTE *>(macro.constData()), kept);
        }
        at += available;
    }
    return image;
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
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            qDebug() << "open failed" << path;
            continue;
        }
        // A whole configuration is never longer than the image.
        const QByteArray data = file.read(kImageSize);
        file.close();
        qDebug() << "file get:" << data.size() << kRecordSize;
        save(imageFromLegacyFile(data, type), type, number);
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
        QSaveFile file(legacyFilePath(modelKey, number));
        if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size())
            file.commit();
    }
}

void KestrelConfigStore::removeLegacyFiles(const QString &modelKey)
{
    for (int number = 1; number <= 5; ++number)
        QFile::remove(legacyFilePath(modelKey, number));
}
