#pragma once
#include <QWidget>

// The program's one window: frameless, fixed 960 x 640, black.
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);

public slots:
    // A second copy of the program was started: come to the front.
    void slotMessageReceived(const QString &message);

signals:
    void QuitTheApplication();
};
