#include "pages/MyPushButton.h"

#include "model/ProductTable.h"
#include "pages/MouseButtonLayout.h"

#include <QEvent>
#include <QFontMetrics>
#include <QStyle>
#include <QVariant>

MyPushButton::MyPushButton(int index, QWidget *parent) : QPushButton(parent), m_index(index)
{
    setObjectName(QStringLiteral("MouseButton_%1").arg(index));
    setProperty("mouseButton", true);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QPushButton::clicked, this, &MyPushButton::slot_SendShowKeySettingMessage);
}

bool MyPushButton::isShown(int mouseType, int index)
{
    const ProductInfo *p = Products::byType(mouseType);
    return p && index >= 0 && index < 32 && (p->pictureButtons & buttonBit(index)) != 0;
}

void MyPushButton::setMouseType(int mouseType)
{
    m_mouseType = mouseType;
    const QRect plate = MouseButtonLayout::plate(mouseType, m_index);
    if (!plate.isEmpty())
        setGeometry(plate);
    showPlateText();
    // Without a place on the picture the button would cover another one.
    setVisible(isShown(mouseType, m_index) && !plate.isEmpty());
}

void MyPushButton::setOriginal(bool original)
{
    m_isOriginal = original;
    // The style sheet tells the plain look from the changed one by this property.
    setProperty("changed", !original);
    style()->unpolish(this);
    style()->polish(this);
}

void MyPushButton::setAssignment(int changeType, int trueMouseValue, int modifyKey)
{
    m_changeType = changeType;
    m_trueMouseValue = trueMouseValue;
    m_modifyKey = modifyKey;
}

void MyPushButton::setAssignmentText(const QString &text)
{
    m_assignmentText = text;
    showPlateText();
}

void MyPushButton::showPlateText()
{
    const QString full = m_assignmentText.isEmpty() ? MouseButtonLayout::caption(m_mouseType, m_index) : m_assignmentText;
    // The plate's padding and border take about 10 pixels.
    setText(fontMetrics().elidedText(full, Qt::ElideRight, qMax(width() - 10, 20)));
}

void MyPushButton::changeEvent(QEvent *event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        showPlateText();
}

void MyPushButton::resizeEvent(QResizeEvent *event)
{
    QPushButton::resizeEvent(event);
    showPlateText();
}

void MyPushButton::setMouseButtonStyleSheetIsOriginal(bool state)
{
    setOriginal(state);
    setAssignment(-1, -1, -1);
    setAssignmentText(QString());
}

void MyPushButton::slot_SendShowKeySettingMessage()
{
    emit sig_ShowKeySettingDialog(m_index, m_changeType, m_trueMouseValue, m_modifyKey);
}

void MyPushButton::enterEvent(QEvent *event)
{
    emit sig_ShowMouseLeftLabel(true, m_index);
    QPushButton::enterEvent(event);
}

void MyPushButton::leaveEvent(QEvent *event)
{
    emit sig_ShowMouseLeftLabel(false, m_index);
    QPushButton::leaveEvent(event);
}
