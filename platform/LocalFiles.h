#pragma once
// The checks the program makes on its own files before it trusts them: only
// regular files are read (a FIFO, device or socket in place of a file would
// block or never end), reads are bounded, and files are never written
// through a link or into a file that belongs to someone else.
#include <QByteArray>
#include <QString>

namespace LocalFiles {

// Why a file could not be read.
enum class ReadFailure {
    None,
    Missing,    // nothing there, or no access
    NotRegular, // a folder, FIFO, socket or device
    TooLarge,   // a regular file longer than the limit
    Unreadable, // a read error
};

// Reads the regular file at path whole when it holds at most maxBytes. Links
// are followed; anything that is no regular file fails at once, without
// blocking. bytes is written only on success; failure says why.
bool readRegularFile(const QString &path, qint64 maxBytes, QByteArray *bytes, ReadFailure *failure = nullptr);

// True when path holds nothing, or a regular file (links followed).
bool isRegularOrMissing(const QString &path);

// True when the program may replace or append to the file at path: nothing
// is there, or a regular file owned by the user that is no link. Otherwise
// reason says why.
bool mayWrite(const QString &path, QString *reason = nullptr);

// Appends bytes to the regular file at path, creating it (owner read and
// write only) when missing; never follows a link, never blocks on a FIFO.
bool appendToRegularFile(const QString &path, const QByteArray &bytes);

// Creates the missing folders of path, each readable by the user alone.
// Folders that exist are left as they are. True when path is a folder.
bool makePrivatePath(const QString &path);

// True when path is a folder of the user's own (no link) that no one else
// may enter or change.
bool isPrivateFolder(const QString &path);

// True when the file at path (not followed) belongs to the user.
bool ownedByUser(const QString &path);

// From now on every file and folder this process creates is the user's
// alone (files 0600, folders 0700), whatever umask it was started with.
void restrictNewFiles();

// Narrows what exists below root (root included) to the user alone:
// folders to 0700, files to 0600; links are not followed, files of other
// users are left alone. Each change is logged; returns how many there were.
int tightenTree(const QString &root);

} // namespace LocalFiles
