#include "app/MainWindow.h"
#include "app/SingleApplication.h"
#include "app/Startup.h"
#include "emulator/EmulateOption.h"
#include "online/ServiceAddress.h"
#include "platform/AppPaths.h"
#include "platform/LocalFiles.h"
#include "platform/Log.h"
#include "platform/SessionBus.h"

#include <cstdio>

int main(int argc, char *argv[])
{
    // Answered before anything starts, so a running copy does not take them.
    {
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments.append(QString::fromLocal8Bit(argv[i]));
        const QString answer = Startup::commandLineAnswer(arguments);
        if (!answer.isEmpty()) {
            std::fputs(answer.toLocal8Bit().constData(), stdout);
            return 0;
        }
    }
    // What the program keeps is the user's alone, whatever the umask.
    LocalFiles::restrictNewFiles();
    // Nothing in this program draws with OpenGL; on X11 the platform would
    // still load the GL stack (tens of megabytes of Mesa and LLVM). The
    // environment can still ask for it.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    // "-d" logs everything but the byte dumps to the log file; otherwise the
    // terminal gets warnings only (HARRIER_LOG=verbose or raw asks for more).
    if (!Startup::scanArguments(argc, argv)) {
        const QString asked = qEnvironmentVariable("HARRIER_LOG");
        Log::installTerminalHandler(asked == QLatin1String("raw")       ? Log::Level::Raw
                                    : asked == QLatin1String("verbose") ? Log::Level::Verbose
                                                                        : Log::Level::Warnings);
    }

    // A session bus that never answers would hold the window's thread at the
    // first widget (the screen-reader bridge asks for the bus there).
    QString silentBus;
    if (!SessionBus::setAsideIfSilent(Startup::kBusAnswerMs, &silentBus))
        std::fprintf(stderr, "HarrierDriver: %s; running without it (no desktop notifications, no screen reader)\n",
                     qPrintable(silentBus));

    SingleApplication app(argc, argv, Startup::kInstanceKey);
    if (app.isRunning()) {
        // Said on the terminal too: the exit code alone does not tell a person why.
        const bool answered = app.sendMessage(Startup::kInstanceKey, Startup::kMessageTimeoutMs);
        std::fprintf(stderr, "%s %s\n", qPrintable(app.runningCopyText()),
                     answered ? "Its window was brought to the front." : "It did not answer.");
        return Startup::kSecondInstanceExitCode;
    }

    Startup::registerMetaTypes();
    Startup::loadFonts();
    Startup::loadSysLanguage();
    Startup::setApplicationIdentity();
    if (!EmulateOption::install(app.arguments()))
        return EmulateOption::kRefusedExitCode;
    // Files an older version or another program left readable by others.
    AppPaths::makeOwnFilesPrivate();

    // "--service-url URL": the web service for this run (tests and trials), over the settings file.
    ServiceAddress::setCommandLineAddress(ServiceAddress::optionValue(app.arguments()));

    MainWindow window;
    window.startPresence();
    Startup::applyStyleSheet(&window);
    // "--hidden": in the tray only (the autostart entry starts it so); a
    // second start, or the tray icon, brings the window.
    if (!app.arguments().contains(QStringLiteral("--hidden")))
        window.show();

    QObject::connect(&app, &SingleApplication::messageReceived, &window, &MainWindow::slotMessageReceived);
    QObject::connect(&window, &MainWindow::QuitTheApplication, &app, &QApplication::quit);
    const int code = app.exec();
    SessionBus::shutDown();
    return code;
}
