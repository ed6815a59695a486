#pragma once
#include <QPushButton>

// One assignable mouse button (4..17) on the mouse picture of the settings
// page, with the assignment the mouse last reported for it (-1: none yet).
class MyPushButton : public QPushButton
{
    Q_OBJECT
public:
    static constexpr int FirstButton = 4;
    static constexpr int LastButton = 17;

    explicit MyPushButton(int index, QWidget *parent = nullptr);

    int index() const { return m_index; }
    int mouseType() const { return m_mouseType; }
    // Caption and place on the model's picture; shown only where the model
    // has such a button.
    void setMouseType(int mouseType);
    // The plain look: the button does what it did from the factory.
    bool isOriginal() const { return m_isOriginal; }
    void setOriginal(bool original);

    int changeType() const { return m_changeType; }
    int trueMouseValue() const { return m_trueMouseValue; }
    int modifyKey() const { return m_modifyKey; }
    void setAssignment(int changeType, int trueMouseValue, int modifyKey);
    // What a changed button does, shown on its plate in place of its name
    // (cut to the plate's width); empty shows the name.
    void setAssignmentText(const QString &text);
    QString assignmentText() const { return m_assignmentText; }

    // Whether a model type has this button.
    static bool isShown(int mouseType, int index);

signals:
    void sig_ShowKeySettingDialog(int button, int changeType, int trueMouseValue, int modifyKeyValue);
    void sig_ShowMouseLeftLabel(bool state, int button);

public slots:
    // A new look also forgets the assignment until the mouse reports it again.
    void setMouseButtonStyleSheetIsOriginal(bool state);
    void slot_SendShowKeySettingMessage();

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    // The plate's text is cut to its width in its font, both known only once styled and placed.
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void showPlateText();

    int m_index;
    QString m_assignmentText;
    int m_mouseType = 0;
    bool m_isOriginal = true;
    int m_changeType = -1;
    int m_trueMouseValue = -1;
    int m_modifyKey = -1;
};
