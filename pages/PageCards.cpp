#include "pages/PageCards.h"

#include "store/TextTable.h"

#include <QLabel>
#include <QVariant>
#include <QWidget>

namespace PageCards {

QWidget *card(QWidget *parent, const QRect &geometry, const char *objectName)
{
    auto *w = new QWidget(parent);
    if (objectName)
        w->setObjectName(QLatin1String(objectName));
    w->setProperty("card", true);
    w->setAttribute(Qt::WA_StyledBackground);
    w->setGeometry(geometry);
    return w;
}

QLabel *label(QWidget *parent, int text, const QRect &geometry, const char *objectName)
{
    auto *l = new QLabel(TextTable::text(text), parent);
    if (objectName)
        l->setObjectName(QLatin1String(objectName));
    l->setGeometry(geometry);
    return l;
}

QLabel *title(QWidget *parent, int text, const QRect &geometry)
{
    QLabel *l = label(parent, text, geometry);
    l->setProperty("cardTitle", true);
    return l;
}

QLabel *note(QWidget *parent, int text, const QRect &geometry, const char *objectName)
{
    QLabel *l = label(parent, text, geometry, objectName);
    l->setProperty("cardHelp", true);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

} // namespace PageCards
