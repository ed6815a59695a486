#pragma once
#include <QString>

// Where the program keeps its files. Every path the program writes (logs,
// profiles, macros, pictures, settings) is built below dataRoot(), with the
// same folder layout wherever the root is.
namespace AppPaths {

// The writable root: the executable's folder when it is writable (a build
// or portable folder), the user's application data folder otherwise.
QString dataRoot();

// Overrides the root (tests point it at a temporary folder); empty restores the default.
void setDataRoot(const QString &root);

// A shipped read-only file or folder such as "/Language/translate.json":
// beside the executable first, then in the install's share folder. Returns
// the path beside the executable when neither exists.
QString shippedPath(const QString &relative);

// Makes what the program keeps below the root (its folders and settings
// files; in a build or portable folder not the shipped files beside them)
// the user's alone, logging each change; returns how many there were.
int makeOwnFilesPrivate();

} // namespace AppPaths
