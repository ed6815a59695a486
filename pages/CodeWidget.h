#pragma once
#include "pages/BridgePage.h"

#include <QWidget>

class QPushButton;
class QStackedWidget;

// Page 5: guides the user through pairing a wireless mouse with its
// receiver. The page only asks for pairing to start or stop; the exchange
// with the receiver, its poll and its time-out run in the bridge, and the
// window shows the outcome.
class CodeWidget : public QWidget, public BridgePage
{
    Q_OBJECT
public:
    explicit CodeWidget(QWidget *parent = nullptr);
    void connectBridge(DCDataHandle *bridge) override;

    // The step shown: 0 before pairing starts, 1 while the mouse is awaited.
    void showCodeStep(int step);
    int codeStep() const;

signals:
    void sig_startCode();
    void sig_stopCode();
    void sig_SendUIEventMessageToGA(QString category, QString action, QString Label, QString viewScreen);

public slots:
    void on_pushButton_code_clicked();
    void on_pushButton_stopCode_clicked();
    void on_pushButton_stopCode_3_clicked();

private:
    void sendEvent(const QString &action);

    QStackedWidget *m_stackedWidget = nullptr;
    QPushButton *m_pairButton = nullptr;
};
