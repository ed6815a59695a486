#pragma once
// Reading and replacing the program's own files. Writes never leave a half
// file behind: the bytes go to a temporary file in the same folder, which
// then replaces the old file in one rename. Reads never create anything.
#include <QByteArray>
#include <QFileDevice>
#include <QJsonObject>
#include <QString>
#include <functional>

namespace SafeFile {

// Files larger than this are not ours: read as unreadable rather than loaded.
constexpr qint64 kMaxReadBytes = 16 * 1024 * 1024;

// Replaces the file at path with bytes, creating its missing folders private
// to the user. ownerOnly makes the file readable and writable by the user
// alone. A link, or a file of another user, is never replaced. Returns false
// (and logs why) when the old file had to be kept.
bool writeAtomically(const QString &path, const QByteArray &bytes, bool ownerOnly = false);

// Reads a regular file of at most maxBytes whole; false when it is missing,
// no regular file (a FIFO or device reads as missing, without blocking),
// unreadable or too large. tooLarge tells the last case apart.
bool readAll(const QString &path, QByteArray *bytes, bool *tooLarge = nullptr, qint64 maxBytes = kMaxReadBytes);

// How a JSON file read went; only Ok gives a usable object.
enum class JsonRead { Ok, Unreadable, NotObject, TooLarge };

// Reads the file as one JSON object. Missing, empty and unparsable files are
// Unreadable; a document that parses to an array is NotObject; a file past
// the read limit is TooLarge (and must not be replaced for it).
JsonRead readJsonObject(const QString &path, QJsonObject *object);

// Writes the object compactly, atomically.
bool writeJsonObject(const QString &path, const QJsonObject &object);

// For tests: called once the temporary file holds every byte and before it
// replaces the target. Returning false abandons the write there, as a crash
// at that moment would. An empty function removes the hook. Set it while no
// other thread writes.
void setBeforeReplaceHook(std::function<bool(const QString &path)> hook);

} // namespace SafeFile
