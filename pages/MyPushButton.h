#pragma once
#include <QPushButton>

// One assignable mouse button (4..17) on the mouse picture of the settings
// page, with the assignment the mouse last reported for it (-1: none yet).
class MyPushButton : public QPushButton
{
    Q_OBJECT
public:
    explicit MyPushButton(int index, QWidget *parent = nullptr);

    int index() const { return m_index; }
    int mouseType() const { return m_mouseType; }
    void setMouseType(int mouseType) { m_mouseType = mouseType; }
    // The plain look: the button does what it did from the factory.
    bool isOriginal() const { return m_isOriginal; }
    void setOriginal(bool original) { m_isOriginal = original; }

    int changeType() const { return m_changeType; }
    int trueMouseValue() const { return m_trueMouseValue; }
    int modifyKey() const { return m_modifyKey; }
    void setAssignment(int changeType, int trueMouseValue, int modifyKey);

private:
    int m_index;
    int m_mouseType = 0;
    bool m_isOriginal = true;
    int m_changeType = -1;
    int m_trueMouseValue = -1;
    int m_modifyKey = -1;
};
