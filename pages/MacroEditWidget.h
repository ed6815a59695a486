#pragma once
#include "pages/BridgePage.h"

#include <QWidget>

// Page 2: the macro editor.
// Filled in with its own page; the main window already calls the operations below.
class MacroEditWidget : public QWidget, public BridgePage
{
    Q_OBJECT
public:
    explicit MacroEditWidget(QWidget *parent = nullptr);
    void connectBridge(DCDataHandle *bridge) override;

    // Configures the editor for a model type.
    void setMouseType(int mouseType) { m_mouseType = mouseType; }
    int mouseType() const { return m_mouseType; }
    // Stops a recording in progress without keeping it (the mouse went away).
    void resetRecordState() { ++m_resets; }
    int recordStateResets() const { return m_resets; }
    // Rereads the macro lists from the macro folder (the page is opened).
    void reloadLists() {}

private:
    int m_mouseType = 0;
    int m_resets = 0;
};
