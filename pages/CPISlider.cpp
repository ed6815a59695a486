#include "pages/CPISlider.h"

#include <QVariant>
#include <QMouseEvent>
#include <QWheelEvent>

CPISlider::CPISlider(QWidget *parent) : QSlider(Qt::Horizontal, parent)
{
    setProperty("cpiSlider", true);
    setFixedSize(200, 10);
    setFocusPolicy(Qt::NoFocus);
    setStyleSheet(QStringLiteral(
        "QSlider::groove:horizontal { height: 4px; background: #2a2a31; border-radius: 2px; }"
        "QSlider::sub-page:horizontal { background: #ff5a1f; border-radius: 2px; }"
        "QSlider::sub-page:horizontal:disabled { background: #4a4a52; }"
        "QSlider::handle:horizontal { width: 10px; margin: -3px 0; border-radius: 5px; background: #f2f2f4; }"
        "QSlider::handle:horizontal:disabled { background: #5a5a62; }"));
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
