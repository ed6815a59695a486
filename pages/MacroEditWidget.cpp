#include "pages/MacroEditWidget.h"

MacroEditWidget::MacroEditWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MacroEditWidget"));
}

void MacroEditWidget::connectBridge(DCDataHandle *) {}
