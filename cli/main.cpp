#include "cli/HarrierCtl.h"
#include "platform/AppIdentity.h"
#include "platform/hid/HidBackend.h"
#include "platform/hid/SystemBackend.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

// The device layer logs every step for the window's log file; on a terminal
// only harrierctl's own messages belong, unless --verbose asks for them.
void quiet(QtMsgType, const QMessageLogContext &, const QString &) { }

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The window's name, so both keep their files in the same place.
    AppIdentity::setApplicationIdentity();
    const QStringList arguments = app.arguments().mid(1);
    if (!arguments.contains(QStringLiteral("--verbose")))
        qInstallMessageHandler(quiet);
    Hid::setBackend(Hid::systemBackend());
    QTextStream out(stdout);
    QTextStream err(stderr);
    return HarrierCtl::run(arguments, out, err);
}
