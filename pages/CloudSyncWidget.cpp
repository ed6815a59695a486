#include "pages/CloudSyncWidget.h"

CloudSyncWidget::CloudSyncWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("CloudSyncWidget"));
}

void CloudSyncWidget::connectBridge(DCDataHandle *) {}
