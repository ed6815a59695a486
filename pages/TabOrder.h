#pragma once
#include <QList>
#include <QWidget>

// Tab goes through the widgets in the order given (each to the next).
inline void chainTabOrder(const QList<QWidget *> &order)
{
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}
