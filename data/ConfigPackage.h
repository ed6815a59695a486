#pragma once
// One configuration of a model in one file, to keep or to carry to another
// computer: its profile file (the profile record and the macros its buttons
// use), its CPI gear file and its screen picture. A file from elsewhere is
// untrusted: it is checked whole — model, sizes, every value the program
// reads from it — before any file of the configuration is replaced.
#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace ConfigPackage {

// No configuration file is anywhere near this; anything larger is refused unread.
constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;
// The screen picture a configuration may carry, as its own file is limited.
constexpr int kMaxPictureBytes = 1024 * 1024;
// The file's format; a later format is refused rather than half understood.
constexpr int kFormatVersion = 1;

struct Contents
{
    QJsonObject profile; // "MouseDataOfGamingMode" and "MacroDataOfGamingMode"
    QJsonObject gear;    // the CPI gear file
    QByteArray picture;  // the screen picture file; empty when there is none
};

enum class Problem {
    None,
    Unreadable,      // the file cannot be read (detail: why)
    TooLarge,        // larger than any configuration file
    NotAPackage,     // not ours, damaged or cut short
    OtherModel,      // another model's configuration (detail: its model)
    BadValue,        // a size or value out of range (detail: which)
    NothingToExport, // the configuration has no profile file yet
    WriteFailed,     // a file could not be written (detail: which)
    MouseRefused,    // the mouse did not take it; the previous files are back
    NoMouse,
    NoFolder,        // the folder to export into does not exist (detail: which)
};

struct Outcome
{
    Problem problem = Problem::None;
    QString detail;
    // Said of an export: its messages say nothing was exported, not that nothing changed.
    bool exporting = false;
    bool ok() const { return problem == Problem::None; }
    // What the user is told, from the text table.
    QString message(int mouseType) const;
};

// Configuration `number` (1..5) of a model, from its files.
Outcome collect(int mouseType, int number, Contents *out);
// The file's bytes (compact JSON).
QByteArray serialise(int mouseType, const Contents &contents);
// Checks bytes as a configuration of the model; `out` is written only when
// every part holds.
Outcome parse(const QByteArray &bytes, int mouseType, Contents *out);
// Reads and checks the file at path (at most kMaxFileBytes, a regular file).
Outcome readFile(const QString &path, int mouseType, Contents *out);

// The files of one configuration as they are now, to put back after a
// failed import.
struct Saved
{
    QList<QString> paths;
    QList<QByteArray> bytes; // per path; a null array for a file that was absent
};
Saved save(int mouseType, int number);
void restore(const Saved &saved);

// Makes the contents configuration `number`: the profile file (keeping
// members other than the record and the macros), the gear file and the
// picture (removed when the contents have none). When a write fails the
// files already written are put back.
Outcome install(int mouseType, int number, const Contents &contents);

} // namespace ConfigPackage
