#include "app/MainWindow.h"

#include "app/Startup.h"

#include <QDebug>

MainWindow::MainWindow(QWidget *parent) : QWidget(parent)
{
    Startup::initResources();
    setWindowFlags(Qt::FramelessWindowHint | Qt::Window);
    setFixedSize(960, 640);
    setWindowTitle(QStringLiteral("HarrierDriver"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::black);
    setPalette(p);
}

void MainWindow::slotMessageReceived(const QString &message)
{
    qDebug().noquote() << message;
    showNormal();
    raise();
    activateWindow();
}
