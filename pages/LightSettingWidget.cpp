#include "pages/LightSettingWidget.h"

LightSettingWidget::LightSettingWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("LightSettingWidget"));
}

void LightSettingWidget::connectBridge(DCDataHandle *) {}
