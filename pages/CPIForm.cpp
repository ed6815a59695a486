#include "pages/CPIForm.h"

#include "store/TextTable.h"

#include "pages/CPISlider.h"
#include "model/CpiTables.h"
#include "pages/USpinBox.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QLabel>
#include <QSignalBlocker>
#include <QVariant>

namespace {

constexpr int kLevels = 7;
constexpr int kSliderX = 37;
constexpr int kSliderWidth = 200;

QLabel *scaleLabel(QWidget *parent, Qt::Alignment alignment, int x)
{
    auto *label = new QLabel(parent);
    label->setProperty("cpiScale", true);
    label->setAlignment(alignment | Qt::AlignTop);
    label->setGeometry(x, 15, 70, 14);
    return label;
}

} // namespace

CPIForm::CPIForm(int level, QWidget *parent) : QWidget(parent), m_level(level)
{
    setObjectName(QStringLiteral("CPIForm_%1").arg(level + 1));
    setFixedSize(316, 30);
    m_checkBox = new QCheckBox(QString::number(level + 1), this);
    m_checkBox->setObjectName(QStringLiteral("CPICheckBox"));
    m_checkBox->setFocusPolicy(Qt::TabFocus);
    m_checkBox->setGeometry(0, 0, kSliderX - 2, 16);
    connect(m_checkBox, &QCheckBox::stateChanged, this, &CPIForm::on_CPICheckBox_stateChanged);
    connect(m_checkBox, &QCheckBox::clicked, this, &CPIForm::on_CPICheckBox_clicked);

    m_minimumLabel = scaleLabel(this, Qt::AlignLeft, kSliderX);
    m_middleLabel = scaleLabel(this, Qt::AlignHCenter, kSliderX + (kSliderWidth - 70) / 2);
    m_maximumLabel = scaleLabel(this, Qt::AlignRight, kSliderX + kSliderWidth - 70);
    setMouseType(0);
}

void CPIForm::setMouseType(int mouseType)
{
    m_mouseType = mouseType;
    const CpiTables::CpiRange range = CpiTables::rangeFor(mouseType);
    m_minimum = range.minimum;

    delete m_slider;
    delete m_spinBox;
    if (range.twoSteps) {
        m_slider =
            new TwoKindStepCPISlider(range.minimum, range.maximum, range.step, range.largeStep, range.threshold, this);
        m_spinBox =
            new TwoKindsStepUSpinBox(range.minimum, range.maximum, range.step, range.largeStep, range.threshold, this);
    } else {
        m_slider = new OneKindSingleStepCPISlider(range.minimum, range.maximum, range.step, this);
        m_spinBox = new OneKindStepUSpinBox(range.minimum, range.maximum, range.step, this);
    }
    m_slider->move(kSliderX, 3);
    m_spinBox->move(252, 0);
    // What a screen reader says: the level, and the value the slider or field holds.
    const QString level = TextTable::text(TextTable::TextA11yCpiLevel).arg(m_level + 1);
    m_checkBox->setAccessibleName(level);
    m_slider->setAccessibleName(level);
    m_spinBox->lineEdit()->setAccessibleName(level);
    m_spinBox->upButton()->setAccessibleName(TextTable::text(TextTable::TextA11yCpiRaise).arg(m_level + 1));
    m_spinBox->downButton()->setAccessibleName(TextTable::text(TextTable::TextA11yCpiLower).arg(m_level + 1));

    connect(m_spinBox, &USpinBox::sig_SpinBoxValueChange, m_slider, &QSlider::setValue);
    connect(m_spinBox, &USpinBox::sig_SpinBoxValueChange, this, &CPIForm::slot_ToSigCPISpinboxValue);
    connect(m_slider, &QSlider::valueChanged, this, &CPIForm::slot_SetCPISpinboxValue);
    connect(m_slider, &CPISlider::sig_SliderValueChange, this, &CPIForm::slot_ToSigCPISliderValue);
    connect(m_slider, &CPISlider::sig_CpiSliderChange, this, &CPIForm::sig_CpiSliderChange);
    connect(m_spinBox, &USpinBox::sig_CpiSliderChange, this, &CPIForm::sig_CpiSliderChange);

    m_minimumLabel->setText(QString::number(range.minimum));
    m_middleLabel->setText(QString::number(range.middle));
    m_maximumLabel->setText(QString::number(range.maximum));
    setValueWidgetsEnabled(m_checkBox->isChecked());
    m_slider->show();
    m_spinBox->show();
}

void CPIForm::setCPIValue(int value, bool checked)
{
    // A value the model cannot take (a mouse holding another model's table)
    // is shown as the nearest one it can, so the next change sends no stranger.
    if (m_mouseType != 0 && value > 0)
        value = CpiTables::clamped(m_mouseType, value);
    m_checkBox->setChecked(checked);
    setValueWidgetsEnabled(checked);
    {
        // The slider keeps within its range; the box shows the value itself.
        const QSignalBlocker blocker(m_slider);
        m_slider->setValue(value);
    }
    m_spinBox->showValue(value);
}

void CPIForm::setCheckable(bool checkable)
{
    m_isCheckable = checkable;
    if (!checkable)
        m_isChecked = false;
}

void CPIForm::setCheckedState(bool checked)
{
    m_isChecked = m_isCheckable ? checked : false;
}

int CPIForm::returnValue() const
{
    const int shown = m_spinBox->value();
    return shown < m_minimum ? CpiTables::defaultCpi(m_mouseType, m_level) : shown;
}

void CPIForm::setValueWidgetsEnabled(bool enabled)
{
    m_slider->setEnabled(enabled);
    m_spinBox->setEnabled(enabled);
}

void CPIForm::on_CPICheckBox_stateChanged(int state)
{
    if (state == Qt::Checked)
        setValueWidgetsEnabled(true);
    else if (state == Qt::Unchecked)
        setValueWidgetsEnabled(false);
}

void CPIForm::slot_ToSigCPISliderValue(int value)
{
    if (m_level >= 0 && m_level < kLevels)
        emit sig_CurrentCPIValue(m_level, value);
}

void CPIForm::slot_ToSigCPISpinboxValue(int value)
{
    emit sig_CurrentCPIValue(m_level, value);
}

void CPIForm::slot_SetCPISliderValue(int value)
{
    m_slider->setValue(value);
}

void CPIForm::slot_SetCPISpinboxValue(int value)
{
    m_spinBox->showValue(value);
}

void CPIForm::on_CPICheckBox_clicked()
{
    const int value = returnValue();
    if (!m_checkBox->isChecked()) {
        emit sig_CheckIsLastOneCpi(m_level, value);
        return;
    }
    m_spinBox->showValue(value);
    m_slider->setValue(value);
    emit sig_CurrentCPIValue(m_level, value);
    m_isChecked = true;
}
