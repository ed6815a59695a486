#pragma once
#include <QString>
#include <QStringList>

// "--emulate MODEL" (or "--emulate=MODEL", repeatable): emulated mice beside
// the real ones, so the program can be tried without hardware.
namespace EmulateOption {

// Exit code when an argument names a mouse that cannot be emulated.
constexpr int kRefusedExitCode = 2;

// The model names the arguments ask for, in order; a "--emulate" without a
// name gives an empty entry, which install() refuses.
QStringList requestedModels(const QStringList &arguments);

// Gives the device code its HID bus for the whole run: the real bus, plus
// the emulated devices the arguments ask for. False, with the reasons in
// *error, when one of them cannot be emulated; nothing is plugged then.
bool install(const QStringList &arguments, QString *error);

// install() for main(): the reasons of a refusal go to standard error.
bool install(const QStringList &arguments);

} // namespace EmulateOption
