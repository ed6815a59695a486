#include "pages/CloudSyncWidget.h"

CloudSyncWidget::CloudSyncWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("CloudSyncWidget"));
}

