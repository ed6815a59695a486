#pragma once
#include <QSlider>

// The slider of one CPI row. A press jumps the handle to the pointer, a move
// follows it, and the release snaps the value to the row's step and commits
// it; only then does the row send the value on. The wheel does nothing here,
// so scrolling the page never changes a level behind the user's back.
class CPISlider : public QSlider
{
    Q_OBJECT
public:
    explicit CPISlider(QWidget *parent = nullptr);

signals:
    // A value the user chose, snapped, on release.
    void sig_SliderValueChange(int value);
    // Pressed (true) or released (false).
    void sig_IsMovingSlider(bool state);
    // The user changed a level with a slider (true) or a spin box (false).
    void sig_CpiSliderChange(bool type);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

    // The value a release leaves: the current value put on the row's step.
    virtual int snapped(int value) const = 0;

private:
    void jumpTo(int x);
};

// Rows with one step over the whole range.
class OneKindSingleStepCPISlider : public CPISlider
{
    Q_OBJECT
public:
    OneKindSingleStepCPISlider(int minimum, int maximum, int singleStep, QWidget *parent = nullptr);

protected:
    int snapped(int value) const override;

private:
    int m_step;
};

// Rows with a small step below the threshold and a large step from it up.
class TwoKindStepCPISlider : public CPISlider
{
    Q_OBJECT
public:
    TwoKindStepCPISlider(int minimum, int maximum, int smallStep, int largeStep, int threshold,
                         QWidget *parent = nullptr);

protected:
    int snapped(int value) const override;

private:
    int m_smallStep = 200;
    int m_largeStep = 200;
    int m_threshold = 2000;
};
