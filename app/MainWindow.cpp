#include "app/MainWindow.h"

MainWindow::MainWindow(QWidget *parent) : QWidget(parent)
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::Window);
    setFixedSize(960, 640);
    setWindowTitle(QStringLiteral("HarrierDriver"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::black);
    setPalette(p);
}

void MainWindow::slotMessageReceived(const QString &)
{
    showNormal();
    raise();
    activateWindow();
}
