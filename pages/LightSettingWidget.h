#pragma once
#include "pages/BridgePage.h"
#include "device/DeviceTypes.h"

#include <QWidget>

// Page 1: light modes, speed, brightness and colours.
// Filled in with its own page; the main window already calls the operations below.
class LightSettingWidget : public QWidget, public BridgePage
{
    Q_OBJECT
public:
    explicit LightSettingWidget(QWidget *parent = nullptr);
    void connectBridge(DCDataHandle *bridge) override;

    // Configures the page for a model type.
    void setMouseType(int mouseType) { m_mouseType = mouseType; }
    int mouseType() const { return m_mouseType; }
    // The first family's layout (model types 7 to 12) or the other one.
    void setFirstFamilyLayout(bool firstFamily) { m_firstFamilyLayout = firstFamily; }
    bool isFirstFamilyLayout() const { return m_firstFamilyLayout; }
    const LightColorParam &lightParameter() const { return m_lightParam; }

public slots:
    // The lighting record the mouse holds.
    void slot_SetLightParameterOnPage(LightColorParam param) { m_lightParam = param; }

private:
    int m_mouseType = 0;
    bool m_firstFamilyLayout = false;
    LightColorParam m_lightParam{};
};
