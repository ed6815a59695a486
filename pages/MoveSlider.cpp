#include "pages/MoveSlider.h"

#include <QVariant>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

MoveSlider::MoveSlider(QWidget *parent) : QSlider(Qt::Horizontal, parent)
{
    // Tab reaches it and the arrow keys step it; a click leaves the focus where it is.
    setFocusPolicy(Qt::TabFocus);
    setProperty("moveSlider", true);
}

void MoveSlider::keyPressEvent(QKeyEvent *event)
{
    const int before = value();
    QSlider::keyPressEvent(event);
    if (value() == before)
        return;
    // A step by keyboard is sent as a drag that was let go.
    setSliderDown(true);
    setSliderDown(false);
    if (value() >= m_acceptedMinimum && value() <= m_acceptedMaximum)
        emit sig_ValueChange(value());
}

void MoveSlider::setCPIType(int minimum, int maximum, int width, int height)
{
    setFixedSize(width, height);
    setRange(minimum, maximum);
    setSingleStep(1);
    setPageStep(1);
    m_acceptedMinimum = minimum;
    m_acceptedMaximum = maximum;
}

void MoveSlider::jumpTo(int x)
{
    if (width() <= 0)
        return;
    setValue(int(minimum() + double(x) / width() * (maximum() - minimum())));
}

// The left button is ours alone: the style's own handling would page towards
// the pointer, and keep paging while the button is held, wherever the
// jump left the handle.
void MoveSlider::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QSlider::mousePressEvent(event);
        return;
    }
    event->accept();
    setSliderDown(true);
    jumpTo(event->pos().x());
}

void MoveSlider::mouseMoveEvent(QMouseEvent *event)
{
    jumpTo(event->pos().x());
    if (!(event->buttons() & Qt::LeftButton))
        QSlider::mouseMoveEvent(event);
}

void MoveSlider::mouseReleaseEvent(QMouseEvent *event)
{
    if ((event->button() == Qt::LeftButton || event->button() == Qt::MiddleButton) && value() >= m_acceptedMinimum
        && value() <= m_acceptedMaximum)
        emit sig_ValueChange(value());
    if (event->button() == Qt::LeftButton) {
        event->accept();
        setSliderDown(false);
        return;
    }
    QSlider::mouseReleaseEvent(event);
}

void MoveSlider::wheelEvent(QWheelEvent *event)
{
    event->ignore();
}
