#pragma once
#include "pages/BridgePage.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

// Page 3: the program's and the mouse's versions, the update checks and the
// way to the receiver pairing page.
class SupportWidget : public QWidget, public BridgePage
{
    Q_OBJECT
public:
    explicit SupportWidget(QWidget *parent = nullptr);
    void connectBridge(DCDataHandle *bridge) override;

signals:
    // The user asked whether a newer program exists.
    void sig_CheckSoftwareVersion();
    // The user opened the firmware update view.
    void sig_ShowFirmwareUpdate();
    // The user wants to pair the mouse with its receiver.
    void sig_GoToMatchCode();
    // The user switched desktop notifications, or starting with the desktop, on or off.
    void sig_NotificationsChanged(bool enabled);
    void sig_AutostartChanged(bool enabled);

public slots:
    // The mouse's firmware version; 0 when no mouse is open.
    void setFirmwareVersion(int version);
    // The check button is disabled while a check runs.
    void setUpdateButtonEnabled(bool enabled);
    // Pairing is offered only while a mouse is open through its receiver.
    void setPairingAvailable(bool available);
    // The desktop switches as they stand, without sending anything.
    void setNotificationsEnabled(bool enabled);
    void setAutostartEnabled(bool enabled);

private:
    QLabel *m_firmwareVersion;
    QLabel *m_pairState;
    QPushButton *m_updateButton;
    QPushButton *m_firmwareButton;
    QPushButton *m_pairButton;
    QWidget *m_pairCard = nullptr;
    QCheckBox *m_notifications;
    QCheckBox *m_autostart;
    int m_mouseType = 0;
};
