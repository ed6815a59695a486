#include "pages/MyPushButton.h"

#include <QtGlobal>
#include <algorithm>
#include <initializer_list>

namespace {

// Buttons each group of model types shows.
struct ShownButtons
{
    std::initializer_list<int> mouseTypes;
    std::initializer_list<int> buttons;
};

const ShownButtons kShown[] = {
    {{2, 5, 13, 16, 17}, {4, 5, 6, 7, 8, 11, 12, 13, 14, 15}},
    {{3, 15}, {4, 5, 6, 7, 8, 11, 12, 13, 14, 15, 16, 17}},
    {{4, 6}, {4, 5, 6, 7, 8, 11, 12, 13}},
    {{7, 8, 9, 10, 11, 12, 14}, {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
    {{18}, {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 16}},
    {{19}, {4, 5, 6, 7, 8, 11, 12, 13, 14}},
};

bool contains(std::initializer_list<int> list, int value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

// Fixed captions; the others come from the text table with the model's picture.
QString fixedCaption(int button)
{
    switch (button) {
    case 9:
        return QStringLiteral("CPI+");
    case 10:
        return QStringLiteral("CPI-");
    case 14:
        return QStringLiteral("侧滚轮上");
    case 15:
        return QStringLiteral("侧滚轮下");
    case 16:
        return QStringLiteral("自定义1");
    case 17:
        return QStringLiteral("自定义2");
    default:
        return QStringLiteral("%1").arg(button);
    }
}

// Width by model: the larger pictures take wider labels.
int buttonWidth(int mouseType)
{
    if (mouseType == 3 || mouseType == 15)
        return 195;
    if (mouseType >= 7 && mouseType <= 14)
        return 192;
    return 186;
}

} // namespace

MyPushButton::MyPushButton(int button, QWidget *parent) : QPushButton(parent), m_button(button)
{
    setObjectName(QStringLiteral("MouseButton_%1").arg(button));
    connect(this, &QPushButton::clicked, this, &MyPushButton::slot_SendShowKeySettingMessage);
    applyStyle();
}

bool MyPushButton::isShown(int mouseType, int button)
{
    for (const ShownButtons &group : kShown)
        if (contains(group.mouseTypes, mouseType))
            return contains(group.buttons, button);
    return false;
}

void MyPushButton::setMouseType(int mouseType)
{
    m_mouseType = mouseType;
    setFixedSize(buttonWidth(mouseType), 25);
    setText(fixedCaption(m_button));
    setVisible(isShown(mouseType, m_button));
    applyStyle();
}

void MyPushButton::setButtonTrueValue(int changeType, int trueMouseValue, int modifyKey)
{
    m_changeType = changeType;
    m_trueMouseValue = trueMouseValue;
    m_modifyKey = modifyKey;
}

void MyPushButton::setMouseButtonStyleSheetIsOriginal(bool state)
{
    m_isOriginal = state;
    setButtonTrueValue(-1, -1, -1);
    applyStyle();
}

void MyPushButton::slot_SendShowKeySettingMessage()
{
    emit sig_ShowKeySettingDialog(m_button, m_changeType, m_trueMouseValue, m_modifyKey);
}

void MyPushButton::enterEvent(QEvent *event)
{
    emit sig_ShowMouseLeftLabel(true, m_button);
    QPushButton::enterEvent(event);
}

void MyPushButton::leaveEvent(QEvent *event)
{
    emit sig_ShowMouseLeftLabel(false, m_button);
    QPushButton::leaveEvent(event);
}

void MyPushButton::applyStyle()
{
    // Plain: the factory assignment; changed: highlighted so the user sees what differs.
    setStyleSheet(m_isOriginal ? QStringLiteral("QPushButton{color:#d0d0d0;border:1px solid #505050;}")
                               : QStringLiteral("QPushButton{color:#ffffff;border:1px solid #e02020;}"));
}
