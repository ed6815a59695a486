#pragma once
#include <QPushButton>

// One assignable mouse button on the picture of the mouse: it shows whether
// the button still does its factory job (plain look) or was changed, holds the
// assignment the mouse reported, and asks for the key dialog when clicked.
class MyPushButton : public QPushButton
{
    Q_OBJECT
public:
    static constexpr int FirstButton = 4;
    static constexpr int LastButton = 17;

    explicit MyPushButton(int button, QWidget *parent = nullptr);

    int button() const { return m_button; }
    // Style, caption, width and place for a model type; hidden where the model has no such button.
    void setMouseType(int mouseType);
    void setButtonTrueValue(int changeType, int trueMouseValue, int modifyKey);
    int changeType() const { return m_changeType; }
    int trueMouseValue() const { return m_trueMouseValue; }
    int modifyKey() const { return m_modifyKey; }
    bool isOriginal() const { return m_isOriginal; }

    // Whether a model type shows this button.
    static bool isShown(int mouseType, int button);

signals:
    void sig_ShowKeySettingDialog(int button, int changeType, int trueMouseValue, int modifyKeyValue);
    void sig_ShowMouseLeftLabel(bool state, int button);

public slots:
    void setMouseButtonStyleSheetIsOriginal(bool state);
    void slot_SendShowKeySettingMessage();

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void applyStyle();

    int m_button;
    int m_mouseType = 0;
    bool m_isOriginal = true;
    int m_changeType = -1;
    int m_trueMouseValue = -1;
    int m_modifyKey = -1;
};
