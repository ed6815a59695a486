#pragma once
#include <QPoint>
#include <QWidget>

class QLabel;
class QPushButton;

// The window's own title bar: the program's mark and name, minimise and
// close. Dragging it moves the frameless window.
class TitleBar : public QWidget
{
    Q_OBJECT
public:
    explicit TitleBar(QWidget *parent = nullptr);

    QPushButton *minimumButton() const { return m_minimumButton; }
    QPushButton *quitButton() const { return m_quitButton; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPushButton *m_minimumButton;
    QPushButton *m_quitButton;
    QPoint m_dragOffset;
    bool m_dragging = false;
};
