#include "app/EmulateOption.h"
#include "app/MainWindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("HarrierDriver"));
    QCoreApplication::setApplicationVersion(QStringLiteral("0.9.013950.0828"));
    if (!EmulateOption::install(app.arguments()))
        return EmulateOption::kRefusedExitCode;
    MainWindow window;
    window.show();
    QObject::connect(&window, &MainWindow::QuitTheApplication, &app, &QApplication::quit);
    return app.exec();
}
