#pragma once
#include <QWidget>

class QLineEdit;
class QPushButton;

// The number box of one CPI row: a line edit with up and down buttons. Up,
// Down and a finished edit "set" a value (it is shown and sent on); the row
// and the page only "show" values, which sends nothing. Only the line edit
// takes focus. A finished edit is one ended by Return, by leaving the
// field's focus, or by the pointer leaving the field while the box is enabled.
class USpinBox : public QWidget
{
    Q_OBJECT
public:
    explicit USpinBox(QWidget *parent = nullptr);

    // The value shown; the last value when the field is empty.
    int value() const;
    // Shows and remembers a value without sending anything.
    void showValue(int value);
    // Sets a value as the user's actions do: raised to the minimum, shown,
    // remembered, then sent on.
    void setValue(int value);

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    QLineEdit *lineEdit() const { return m_lineEdit; }
    QPushButton *upButton() const { return m_upButton; }
    QPushButton *downButton() const { return m_downButton; }

signals:
    // A value the user set.
    void sig_SpinBoxValueChange(int value);
    // The user changed a level with a slider (true) or a spin box (false).
    void sig_CpiSliderChange(bool type);

public slots:
    virtual void slot_UpButtonClicked();
    virtual void slot_DownButtonClicked();
    virtual void slot_LineEditEditFinished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Puts a typed value in range and on the step.
    virtual int revalidated(int value) const;

    int m_minimum = 1;
    int m_maximum = 100;
    int m_smallStep = 1;
    int m_largeStep = 1;
    int m_threshold = 1;
    int m_lastValue = 200;

private:
    QLineEdit *m_lineEdit = nullptr;
    QPushButton *m_upButton = nullptr;
    QPushButton *m_downButton = nullptr;
};

// One step over the whole range; shows the minimum when created.
class OneKindStepUSpinBox : public USpinBox
{
    Q_OBJECT
public:
    OneKindStepUSpinBox(int minimum, int maximum, int step, QWidget *parent = nullptr);
};

// The small step at or below the threshold, the large step above it.
class TwoKindsStepUSpinBox : public USpinBox
{
    Q_OBJECT
public:
    TwoKindsStepUSpinBox(int minimum, int maximum, int smallStep, int largeStep, int threshold,
                         QWidget *parent = nullptr);

public slots:
    void slot_UpButtonClicked() override;
    void slot_DownButtonClicked() override;

protected:
    // A finished edit goes on the large step above the threshold.
    int revalidated(int value) const override;
};
