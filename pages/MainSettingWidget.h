#pragma once
#include "pages/BridgePage.h"

#include <QWidget>

// Page 0: CPI levels, report rate, pointer settings and the mouse's buttons.
// Filled in with its own page; the main window already calls the operations below.
class MainSettingWidget : public QWidget, public BridgePage
{
    Q_OBJECT
public:
    explicit MainSettingWidget(QWidget *parent = nullptr);
    void connectBridge(DCDataHandle *bridge) override;

    // Configures the page for a model type (buttons, picture, CPI layout).
    void setMouseType(int mouseType) { m_mouseType = mouseType; }
    int mouseType() const { return m_mouseType; }
    // The configuration (1..5) the profile buttons selected.
    void setCurrentConfigNumber(int configNumber) { m_configNumber = configNumber; }
    int currentConfigNumber() const { return m_configNumber; }

private:
    int m_mouseType = 0;
    int m_configNumber = 1;
};
