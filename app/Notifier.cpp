#include "app/Notifier.h"

#include "platform/Log.h"
#include "store/TextTable.h"

#include "platform/SessionBus.h"

#include <QDBusMessage>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QVariantMap>

namespace {

constexpr DWORD kCharging = 101;
constexpr DWORD kFull = 102;
constexpr int kShownMs = 8000;

} // namespace

Notifier::Notifier(QSystemTrayIcon *tray, QObject *parent) : QObject(parent), m_tray(tray) {}

void Notifier::setEnabled(bool enabled)
{
    m_enabled = enabled;
}

void Notifier::mouseOpened()
{
    m_lowSaid = false;
    m_veryLowSaid = false;
    m_lastBattery = 0;
}

void Notifier::batteryValue(DWORD value)
{
    using namespace TextTable;
    const DWORD before = m_lastBattery;
    m_lastBattery = value;
    if (value == kFull) {
        if (before == kCharging)
            show(text(TextNotifyChargedTitle), text(TextNotifyChargedBody));
        m_lowSaid = m_veryLowSaid = false;
        return;
    }
    if (value == kCharging) {
        m_lowSaid = m_veryLowSaid = false;
        return;
    }
    if (value > 100 || value == 0)
        return; // no level to judge (0 is no valid reading)
    const int percent = int(value);
    // Charged well above a threshold: its notice may come again. A reading
    // that wavers around the line is not a new crossing.
    if (percent >= kLowPercent + kRearmMargin)
        m_lowSaid = false;
    if (percent >= kVeryLowPercent + kRearmMargin)
        m_veryLowSaid = false;
    if (percent <= kVeryLowPercent && !m_veryLowSaid) {
        m_veryLowSaid = m_lowSaid = true;
        show(text(TextNotifyBatteryVeryLowTitle), textWith(TextNotifyBatteryBody, QString::number(percent)));
    } else if (percent <= kLowPercent && !m_lowSaid) {
        m_lowSaid = true;
        show(text(TextNotifyBatteryLowTitle), textWith(TextNotifyBatteryBody, QString::number(percent)));
    }
}

void Notifier::firmwareUpdateEnded(bool succeeded)
{
    using namespace TextTable;
    if (succeeded)
        show(text(TextNotifyFirmwareDoneTitle), text(TextNotifyFirmwareDoneBody));
    else
        show(text(TextNotifyFirmwareFailedTitle), text(TextNotifyFirmwareFailedBody));
}

void Notifier::keptInTray()
{
    if (m_trayNoticeSaid)
        return;
    m_trayNoticeSaid = true;
    show(QStringLiteral("HarrierDriver"), TextTable::text(TextTable::TextKeepsRunningInTray));
}

void Notifier::show(const QString &summary, const QString &body)
{
    if (!m_enabled)
        return;
    qCInfo(lcApp).noquote() << "notification:" << summary << "-" << body;
    emit notified(summary, body);
    const auto balloon = [tray = QPointer<QSystemTrayIcon>(m_tray), summary, body] {
        if (tray && tray->isVisible())
            tray->showMessage(summary, body, QSystemTrayIcon::Information, kShownMs);
    };
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    call << QStringLiteral("HarrierDriver") << uint(0) << QStringLiteral("org.harrierdriver.harrierdriver") << summary << body
         << QStringList() << QVariantMap{{QStringLiteral("desktop-entry"), QStringLiteral("org.harrierdriver.harrierdriver")}}
         << kShownMs;
    // Posted, never waited for: the window does not pause for the desktop,
    // even on a bus that never answers. No bus, no service or an error falls
    // back to the tray's balloon.
    SessionBus::call(call, this, [balloon](bool ok, const QDBusMessage &, const QString &error) {
        if (!ok) {
            qCInfo(lcApp).noquote() << "no notification service:" << error;
            balloon();
        }
    });
}
