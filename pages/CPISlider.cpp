#include "pages/CPISlider.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QVariant>
#include <QWheelEvent>

CPISlider::CPISlider(QWidget *parent) : QSlider(Qt::Horizontal, parent)
{
    setProperty("cpiSlider", true);
    setFixedSize(200, 10);
    setFocusPolicy(Qt::TabFocus);
    // Its look is in the window's style sheet (QSlider[cpiSlider="true"]):
    // a sheet of its own per slider would be parsed and applied seven times.
}

void CPISlider::jumpTo(int x)
{
    if (width() <= 0)
        return;
    const double at = minimum() + double(x) / width() * (maximum() - minimum());
    setValue(int(at));
}

void CPISlider::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    emit sig_IsMovingSlider(true);
    if (event->button() == Qt::LeftButton)
        jumpTo(event->pos().x());
}

void CPISlider::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    jumpTo(event->pos().x());
}

void CPISlider::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    emit sig_IsMovingSlider(false);
    if (event->button() != Qt::LeftButton)
        return;
    const int value = snapped(this->value());
    setValue(value);
    emit sig_SliderValueChange(value);
    emit sig_CpiSliderChange(true);
}

void CPISlider::keyPressEvent(QKeyEvent *event)
{
    const int before = value();
    QSlider::keyPressEvent(event);
    if (value() == before)
        return;
    // A step by keyboard is sent as a drag that was let go, on the model's
    // step: where its steps are larger, the key moves on to the next one.
    const int direction = value() > before ? 1 : -1;
    int stepped = snapped(value());
    for (int v = value(); stepped == before && v > minimum() && v < maximum();) {
        v += direction * singleStep();
        stepped = snapped(qBound(minimum(), v, maximum()));
    }
    setValue(stepped);
    emit sig_SliderValueChange(stepped);
    emit sig_CpiSliderChange(true);
}

void CPISlider::wheelEvent(QWheelEvent *event)
{
    event->ignore();
}

OneKindSingleStepCPISlider::OneKindSingleStepCPISlider(int minimum, int maximum, int singleStep, QWidget *parent)
    : CPISlider(parent), m_step(singleStep > 0 ? singleStep : 1)
{
    setRange(minimum, maximum);
    setSingleStep(m_step);
}

int OneKindSingleStepCPISlider::snapped(int value) const
{
    return value - value % m_step;
}

TwoKindStepCPISlider::TwoKindStepCPISlider(int minimum, int maximum, int smallStep, int largeStep, int threshold,
                                           QWidget *parent)
    : CPISlider(parent)
{
    m_smallStep = smallStep > 0 ? smallStep : 1;
    m_largeStep = largeStep > 0 ? largeStep : 1;
    m_threshold = threshold;
    setRange(minimum, maximum);
    setSingleStep(m_smallStep);
}

int TwoKindStepCPISlider::snapped(int value) const
{
    if (value < minimum())
        return minimum();
    if (value > maximum())
        return maximum();
    const int r = value % (value < m_threshold ? m_smallStep : m_largeStep);
    return r > 0 ? value - r : value;
}
