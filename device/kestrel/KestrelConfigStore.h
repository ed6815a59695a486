#pragma once
// The first family's configurations in files: the configuration image (the
// 128-byte profile record, fourteen macro lengths, fourteen 4096-byte
// device-form macros) as a configuration's profile and macro files, the
// user's macro files, and the legacy binary files of older versions. Files
// are untrusted: a bad macro length is dropped, never read past.
#include "device/kestrel/KestrelMacroCodec.h"
#include "platform/WinTypes.h"
#include "store/JsonHandle.h"

#include <QByteArray>
#include <QString>
#include <vector>

class KestrelConfigStore
{
public:
    using Image = std::vector<BYTE>;

    // Macro slot access in an image.
    static int macroLength(const Image &image, int slot);
    static const BYTE *macroData(const Image &image, int slot);
    static void setMacro(Image &image, int slot, const BYTE *data, int length);
    static void clearMacro(Image &image, int slot);

    // Configuration `number` (0: factory) of a model, with every macro length checked.
    Image load(int mouseType, int number);
    void save(const Image &image, int mouseType, int number);
    // The stored profile record of configuration `number`.
    QByteArray record(int mouseType, int number);
    // The macro a user's macro file holds, and the file's macro type.
    KestrelMacro macroFromFile(const QString &path, int *macroType);

    // The legacy file of configuration n (0: factory) of a model key; its folder is created.
    static QString legacyFilePath(const QString &modelKey, int configNumber);
    // Legacy files 1..5 become configurations 1..5 and are deleted (only when file 1 exists).
    void convertLegacyFiles(const QString &modelKey, int mouseType);
    // Configurations 1..5 written as legacy files.
    void writeLegacyFiles(const QString &modelKey, int mouseType);
    static void removeLegacyFiles(const QString &modelKey);

private:
    Image imageFromLegacyFile(const QByteArray &data, int mouseType);
    static QByteArray legacyFileFromImage(const Image &image);

    JsonHandle m_json;
};
