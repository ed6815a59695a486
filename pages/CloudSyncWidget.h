#pragma once
#include "pages/BridgePage.h"

#include <QWidget>

// Page 4: upload and download of the settings through the vendor account.
// Filled in with the online service; the main window only switches to it.
class CloudSyncWidget : public QWidget, public BridgePage
{
    Q_OBJECT
public:
    explicit CloudSyncWidget(QWidget *parent = nullptr);
    void connectBridge(DCDataHandle *bridge) override;

};
