#include "pages/MainSettingWidget.h"

MainSettingWidget::MainSettingWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MainSettingWidget"));
}

void MainSettingWidget::connectBridge(DCDataHandle *) {}
