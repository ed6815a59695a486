// A bare 960 x 640 Qt Widgets window titled like ours ("BareWindow"): the
// least a Qt program of this kind takes to show a window.
#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("BareWindow"));
    window.resize(960, 640);
    window.show();
    return app.exec();
}
