#pragma once
#include <QSlider>

// A slider that jumps to the pointer and reports a value only when the user
// lets go: the pointer speed here, the light settings on the lighting page.
// The wheel leaves it alone, so it never shows a value that was not applied.
class MoveSlider : public QSlider
{
    Q_OBJECT
public:
    explicit MoveSlider(QWidget *parent = nullptr);

    // Sizes the slider and sets its range, with single and page steps of 1;
    // a release reports only values within minimum..maximum.
    void setCPIType(int minimum, int maximum, int width, int height);

signals:
    // The value the user let go at.
    void sig_ValueChange(int value);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void jumpTo(int x);

    int m_acceptedMinimum = 0;
    int m_acceptedMaximum = 0;
};
