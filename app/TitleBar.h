#pragma once
#include <QPoint>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;

// The window's own title bar: the program's mark and name, the mouse
// chooser, minimise and close. Dragging it moves the frameless window.
class TitleBar : public QWidget
{
    Q_OBJECT
public:
    explicit TitleBar(QWidget *parent = nullptr);

    QPushButton *minimumButton() const { return m_minimumButton; }
    QPushButton *quitButton() const { return m_quitButton; }
    // The mouse being configured, and the others present to choose from;
    // shown only while there is more than one.
    QComboBox *mouseChooser() const { return m_mouseChooser; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPushButton *m_minimumButton;
    QPushButton *m_quitButton;
    QComboBox *m_mouseChooser;
    QPoint m_dragOffset;
    bool m_dragging = false;
};
