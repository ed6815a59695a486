#include "app/TitleBar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

TitleBar::TitleBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TitleBar"));
    setAttribute(Qt::WA_StyledBackground);
    setFixedHeight(36);

    auto *mark = new QLabel(this);
    mark->setObjectName(QStringLiteral("TitleMarkLabel"));
    mark->setFixedSize(20, 20);
    mark->setPixmap(QPixmap(QStringLiteral(":/icon/picture/128-128.png"))
                        .scaled(20, 20, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    auto *name = new QLabel(QStringLiteral("HarrierDriver"), this);
    name->setObjectName(QStringLiteral("TitleNameLabel"));

    m_minimumButton = new QPushButton(this);
    m_minimumButton->setObjectName(QStringLiteral("minimumButton"));
    m_quitButton = new QPushButton(this);
    m_quitButton->setObjectName(QStringLiteral("quitButton"));
    for (QPushButton *button : {m_minimumButton, m_quitButton}) {
        button->setFixedSize(36, 28);
        // Reached by Tab; a click does not take the focus from the page.
        button->setFocusPolicy(Qt::TabFocus);
        button->setCursor(Qt::PointingHandCursor);
    }

    m_mouseChooser = new QComboBox(this);
    m_mouseChooser->setObjectName(QStringLiteral("MouseChooser"));
    m_mouseChooser->setMinimumWidth(220);
    m_mouseChooser->setCursor(Qt::PointingHandCursor);
    m_mouseChooser->hide();

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 4, 8, 4);
    layout->setSpacing(8);
    layout->addWidget(mark);
    layout->addWidget(name);
    layout->addStretch();
    layout->addWidget(m_mouseChooser);
    layout->addSpacing(12);
    layout->addWidget(m_minimumButton);
    layout->addWidget(m_quitButton);
}

void TitleBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_dragOffset = event->globalPos() - window()->frameGeometry().topLeft();
    }
    QWidget::mousePressEvent(event);
}

void TitleBar::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton))
        window()->move(event->globalPos() - m_dragOffset);
    QWidget::mouseMoveEvent(event);
}

void TitleBar::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}
