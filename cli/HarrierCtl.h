#pragma once
#include <QStringList>
#include <QTextStream>

// harrierctl: the mice from the command line, through the same bridge and
// device layer as the window. run() takes the arguments after the program
// name and works on the HID bus the process has (Hid::backend()); it adds
// the emulated mice "--emulate MODEL" asks for, as the window does.
namespace HarrierCtl {

// Exit codes, one per kind of failure, so scripts can tell them apart.
enum ExitCode {
    ExitOk = 0,
    ExitBadArguments = 1, // unknown command or option, a value out of range for the mouse
    ExitUnknownModel = 2, // a model name no product has, as with the window's --emulate
    ExitNoMouse = 3,      // no supported mouse (or not the one asked for) is connected
    ExitRefused = 4,      // the mouse refused a change or did not answer
    ExitAppRunning = 5,   // HarrierDriver is running and holds the mouse
    ExitCannotOpen = 6,   // the mouse is there but cannot be opened (access, pairing)
    ExitNotWritten = 7,   // a file of the desktop's could not be written (the autostart entry)
    ExitInterrupted = 130, // stopped by Ctrl-C or a signal, after cleaning up (as shells count it)
};

int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace HarrierCtl
