#include "pages/CodeWidget.h"

CodeWidget::CodeWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("CodeWidget"));
}

void CodeWidget::connectBridge(DCDataHandle *) {}
