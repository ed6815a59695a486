#pragma once
// The configuration archives exchanged with the web service. An archive from
// the service is untrusted: it is checked whole before anything is written,
// unpacked into a folder beside the target, and swapped in only once every
// entry is out; the user's folder is never left half replaced.
#include <QString>

namespace ConfigArchive {

// What an archive may hold, unpacked.
struct Limits
{
    qint64 maxTotalBytes = 256 * 1024 * 1024;
    int maxEntries = 10000;
};

enum class Result {
    Ok,
    Unreadable,   // not a zip archive, or damaged (a CRC that does not match)
    UnsafeEntry,  // an entry would leave the target: absolute, "..", a link
    TooLarge,     // more entries or more bytes than the limits allow
    WriteFailed,  // the unpacked folder could not be written or swapped in
};

// Packs the folder's files and subfolders (the folder's own name is not
// stored) into a new archive at zipPath. False when the folder is missing or
// the archive cannot be written.
bool compressFolder(const QString &folder, const QString &zipPath);

// Replaces targetFolder with the archive's content. Anything but Ok leaves
// targetFolder exactly as it was.
Result extractSafely(const QString &zipPath, const QString &targetFolder, const Limits &limits = Limits());

// Why an entry name may not be unpacked; empty when it is a plain relative path.
QString unsafeReason(const QString &entryName);

// For logs: the result's name.
const char *resultName(Result result);

} // namespace ConfigArchive
