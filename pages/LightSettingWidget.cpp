#include "pages/LightSettingWidget.h"

#include "data/DCDataHandle.h"

LightSettingWidget::LightSettingWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("LightSettingWidget"));
}

void LightSettingWidget::connectBridge(DCDataHandle *bridge)
{
    connect(bridge, &DCDataHandle::sig_SetLightParameterOnPage, this,
            &LightSettingWidget::slot_SetLightParameterOnPage);
}
