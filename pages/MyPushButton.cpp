#include "pages/MyPushButton.h"

#include <QVariant>

MyPushButton::MyPushButton(int index, QWidget *parent) : QPushButton(parent), m_index(index)
{
    setObjectName(QStringLiteral("MouseButton_%1").arg(index));
    setProperty("mouseButton", true);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void MyPushButton::setAssignment(int changeType, int trueMouseValue, int modifyKey)
{
    m_changeType = changeType;
    m_trueMouseValue = trueMouseValue;
    m_modifyKey = modifyKey;
}
