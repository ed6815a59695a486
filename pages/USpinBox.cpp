#include "pages/USpinBox.h"

#include <QVariant>
#include <QEvent>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

namespace {

// What a CPI can be typed as at all; the row's own range is applied after.
constexpr int kTypedMinimum = 1;
constexpr int kTypedMaximum = 16000;

} // namespace

USpinBox::USpinBox(QWidget *parent) : QWidget(parent)
{
    setFixedSize(60, 22);
    m_lineEdit = new QLineEdit(this);
    m_lineEdit->setObjectName(QStringLiteral("SpinBoxLineEdit"));
    m_lineEdit->setGeometry(0, 0, 44, 22);
    m_lineEdit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_lineEdit->setValidator(new QIntValidator(kTypedMinimum, kTypedMaximum, m_lineEdit));
    m_lineEdit->setProperty("mainSpinBox", true);
    m_lineEdit->installEventFilter(this);

    m_upButton = new QPushButton(this);
    m_upButton->setObjectName(QStringLiteral("UpButton"));
    m_upButton->setProperty("spinUp", true);
    m_upButton->setGeometry(44, 0, 14, 11);
    m_downButton = new QPushButton(this);
    m_downButton->setObjectName(QStringLiteral("DownButton"));
    m_downButton->setProperty("spinDown", true);
    m_downButton->setGeometry(44, 11, 14, 11);
    // No auto-repeat: every step is a write to the mouse.
    m_upButton->setFocusPolicy(Qt::TabFocus);
    m_downButton->setFocusPolicy(Qt::TabFocus);
    connect(m_upButton, &QPushButton::clicked, this, &USpinBox::slot_UpButtonClicked);
    connect(m_downButton, &QPushButton::clicked, this, &USpinBox::slot_DownButtonClicked);
}

int USpinBox::value() const
{
    bool ok = false;
    const int typed = m_lineEdit->text().trimmed().toInt(&ok);
    return ok ? typed : m_lastValue;
}

void USpinBox::showValue(int value)
{
    // A level never set holds 0: its field stays empty rather than showing a CPI of 0.
    m_lineEdit->setText(value > 0 ? QString::number(value) : QString());
    m_lastValue = value;
}

void USpinBox::setValue(int value)
{
    value = std::max(value, m_minimum);
    showValue(value);
    emit sig_SpinBoxValueChange(value);
    emit sig_CpiSliderChange(false);
}

void USpinBox::slot_UpButtonClicked()
{
    const int v = value();
    if (v < m_maximum)
        setValue(std::min(v + m_smallStep, m_maximum));
}

void USpinBox::slot_DownButtonClicked()
{
    const int v = value();
    if (v > m_minimum)
        setValue(std::max(v - m_smallStep, m_minimum));
}

void USpinBox::slot_LineEditEditFinished()
{
    const QString text = m_lineEdit->text().trimmed();
    bool ok = false;
    const int typed = text.toInt(&ok);
    if (text.isEmpty() || !ok) {
        // Nothing usable typed: the last value comes back. When it is a value
        // of this row nothing changed, so nothing is sent.
        if (m_lastValue >= m_minimum && m_lastValue <= m_maximum)
            showValue(m_lastValue);
        else
            setValue(revalidated(m_minimum));
    } else if (typed != m_lastValue) {
        setValue(revalidated(typed));
    }
    m_lineEdit->clearFocus();
}

int USpinBox::revalidated(int value) const
{
    if (value < m_minimum)
        return m_minimum;
    if (value > m_maximum)
        return m_maximum;
    return value - value % m_smallStep;
}

bool USpinBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_lineEdit) {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                slot_LineEditEditFinished();
                return true;
            }
            break;
        }
        case QEvent::FocusOut:
            slot_LineEditEditFinished();
            break;
        case QEvent::Leave:
            // A disabled box has nothing to finish.
            if (isEnabled())
                slot_LineEditEditFinished();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

OneKindStepUSpinBox::OneKindStepUSpinBox(int minimum, int maximum, int step, QWidget *parent) : USpinBox(parent)
{
    m_minimum = minimum;
    m_maximum = maximum;
    m_smallStep = m_largeStep = step > 0 ? step : 1;
    m_threshold = maximum;
    showValue(minimum);
}

TwoKindsStepUSpinBox::TwoKindsStepUSpinBox(int minimum, int maximum, int smallStep, int largeStep, int threshold,
                                           QWidget *parent)
    : USpinBox(parent)
{
    m_minimum = minimum;
    m_maximum = maximum;
    m_smallStep = smallStep > 0 ? smallStep : 1;
    m_largeStep = largeStep > 0 ? largeStep : 1;
    m_threshold = threshold;
    showValue(minimum);
}

void TwoKindsStepUSpinBox::slot_UpButtonClicked()
{
    const int v = value();
    if (v < m_maximum)
        setValue(std::min(v + (v < m_threshold ? m_smallStep : m_largeStep), m_maximum));
}

void TwoKindsStepUSpinBox::slot_DownButtonClicked()
{
    const int v = value();
    if (v > m_minimum)
        setValue(std::max(v - (v > m_threshold ? m_largeStep : m_smallStep), m_minimum));
}

int TwoKindsStepUSpinBox::revalidated(int value) const
{
    if (value < m_minimum)
        return m_minimum;
    if (value > m_maximum)
        return m_maximum;
    return value - value % (value > m_threshold ? m_largeStep : m_smallStep);
}
