#include "pages/MoveSlider.h"

#include <QVariant>
#include <QMouseEvent>
#include <QWheelEvent>

MoveSlider::MoveSlider(QWidget *parent) : QSlider(Qt::Horizontal, parent)
{
    setFocusPolicy(Qt::NoFocus);
    setProperty("moveSlider", true);
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
