#pragma once
// What the program tells the user outside its window: through the desktop's
// notification service (the freedesktop Notifications interface on the
// session D-Bus), or the tray's balloon where there is no such service.
// Each event is said once: a battery falling to 15 % and to 5 % once per
// crossing (again only after it was charged above), charging finished once
// per charge, a firmware update's end, and the first close to the tray.
#include "platform/WinTypes.h"

#include <QObject>
#include <QString>

class QSystemTrayIcon;

class Notifier : public QObject
{
    Q_OBJECT
public:
    static constexpr int kLowPercent = 15;
    static constexpr int kVeryLowPercent = 5;
    // How far above a threshold a reading must rise before its notice is due again.
    static constexpr int kRearmMargin = 10;

    explicit Notifier(QSystemTrayIcon *tray, QObject *parent = nullptr);

    // The user's setting; off, nothing is shown (the events are still followed).
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    // A battery value as the bridge publishes it after its filter: 0..100
    // percent, 101 charging, 102 full, 103 no reading.
    void batteryValue(DWORD value);
    // A mouse was opened: its battery is followed afresh.
    void mouseOpened();
    void firmwareUpdateEnded(bool succeeded);
    // The window went to the tray; said the first time only.
    void keptInTray();

signals:
    // Each notification as it is sent (summary, body), for the log and tests.
    void notified(const QString &summary, const QString &body);

private:
    void show(const QString &summary, const QString &body);

    QSystemTrayIcon *m_tray;
    bool m_enabled = true;
    bool m_lowSaid = false;
    bool m_veryLowSaid = false;
    DWORD m_lastBattery = 0;
    bool m_trayNoticeSaid = false;
};
