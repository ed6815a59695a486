#pragma once
#include <QWidget>

class QCheckBox;
class QLabel;
class CPISlider;
class USpinBox;

// One CPI level row of the settings page: a check box that switches the level
// on and off, a slider and a number box for its CPI, and the range printed
// under the slider. The slider and the box follow each other; a value the
// user commits leaves as sig_CurrentCPIValue. Switching a level off asks the
// page first (sig_CheckIsLastOneCpi), since the mouse needs one level on.
class CPIForm : public QWidget
{
    Q_OBJECT
public:
    // level 0..6; the row shows level + 1.
    explicit CPIForm(int level, QWidget *parent = nullptr);

    int level() const { return m_level; }
    int mouseType() const { return m_mouseType; }
    int minimum() const { return m_minimum; }
    bool isChecked() const { return m_isChecked; }
    bool isCheckable() const { return m_isCheckable; }

    // Rebuilds the slider and the box with the model's range and steps.
    void setMouseType(int mouseType);
    // Shows a value, checked or not, sending nothing.
    void setCPIValue(int value, bool checked);
    // A row that is not checkable never counts as an active level.
    void setCheckable(bool checkable);
    void setCheckedState(bool checked);
    // The value to switch the level on with: the model's default for this
    // level when the box holds less than the row's minimum, else the box's value.
    int returnValue() const;

    QCheckBox *checkBox() const { return m_checkBox; }
    CPISlider *slider() const { return m_slider; }
    USpinBox *spinBox() const { return m_spinBox; }

signals:
    void sig_CurrentCPIValue(int level, int value);
    void sig_CheckIsLastOneCpi(int level, int value);
    void sig_CpiSliderChange(bool type);

public slots:
    void on_CPICheckBox_stateChanged(int state);
    void slot_ToSigCPISliderValue(int value);
    void slot_ToSigCPISpinboxValue(int value);
    void slot_SetCPISliderValue(int value);
    void slot_SetCPISpinboxValue(int value);
    void on_CPICheckBox_clicked();

private:
    void setValueWidgetsEnabled(bool enabled);

    int m_level;
    int m_mouseType = 0;
    int m_minimum = 0;
    bool m_isChecked = false;
    bool m_isCheckable = true;
    QCheckBox *m_checkBox = nullptr;
    CPISlider *m_slider = nullptr;
    USpinBox *m_spinBox = nullptr;
    QLabel *m_minimumLabel = nullptr;
    QLabel *m_middleLabel = nullptr;
    QLabel *m_maximumLabel = nullptr;
};
