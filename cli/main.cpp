#include "cli/HarrierCtl.h"
#include "platform/AppIdentity.h"
#include "platform/AppPaths.h"
#include "platform/LocalFiles.h"
#include "platform/Log.h"
#include "platform/hid/HidBackend.h"
#include "platform/hid/SystemBackend.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    // What the program keeps is the user's alone, whatever the umask.
    LocalFiles::restrictNewFiles();
    QCoreApplication app(argc, argv);
    // The window's name, so both keep their files in the same place.
    AppIdentity::setApplicationIdentity();
    const QStringList arguments = app.arguments().mid(1);
    // Warnings always reach the terminal; the informational log when asked,
    // the per-byte dumps only at the raw level.
    Log::installTerminalHandler(arguments.contains(QStringLiteral("--verbose=raw")) ? Log::Level::Raw
                                : arguments.contains(QStringLiteral("--verbose"))    ? Log::Level::Verbose
                                                                                      : Log::Level::Warnings);
    AppPaths::makeOwnFilesPrivate();
    Hid::setBackend(Hid::systemBackend());
    QTextStream out(stdout);
    QTextStream err(stderr);
    return HarrierCtl::run(arguments, out, err);
}
