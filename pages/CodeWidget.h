#pragma once
#include "pages/BridgePage.h"

#include <QWidget>

// Page 5: pairing a wireless mouse with its receiver.
// Filled in with its own page; the main window already uses what is below.
class CodeWidget : public QWidget, public BridgePage
{
    Q_OBJECT
public:
    explicit CodeWidget(QWidget *parent = nullptr);
    void connectBridge(DCDataHandle *bridge) override;

    // The step shown: 0 before pairing starts, 1 while the mouse is awaited.
    void showCodeStep(int step) { m_step = step; }
    int codeStep() const { return m_step; }

signals:
    void sig_startCode();
    void sig_stopCode();

private:
    int m_step = 0;
};
