#pragma once
#include "device/DeviceTypes.h"
#include "model/ProductTable.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QVector>
#include <functional>
#include <memory>

class DCDataHandle;

// One mouse as the command line reaches it: through the same bridge the
// window uses, driven on the caller's thread. Each request is one call into
// the bridge, and everything it answers has been recorded when the call
// returns; nothing here knows a protocol.
class MouseSession : public QObject
{
    Q_OBJECT
public:
    // A device of the vendor's on the bus, once per identity.
    struct Present
    {
        USHORT pid = 0;
        const ProductInfo *product = nullptr; // null for a boot loader that names no model
        bool viaReceiver = false;
        bool bootLoader = false;               // waiting in firmware-update mode
    };
    // The supported mice and boot loaders on the bus now: mice first, a
    // mouse by cable before one through a receiver, then boot loaders.
    static QVector<Present> scan();

    // A button's assignment as the mouse reports it.
    struct Button
    {
        bool original = true;
        int changeType = 0;
        int value = 0;
        int modifiers = 0;
    };

    MouseSession();
    ~MouseSession() override;

    // Opens the mouse with this identity and reads what it holds; false when
    // the bridge could not open it.
    bool open(USHORT pid);
    // Opens the mouse only to tell its model, connection and firmware (the
    // battery may be asked after): nothing else is read, nothing written.
    bool identify(USHORT pid);

    int mouseType() const { return m_mouseType; }
    bool isWireless() const { return m_wireless; }
    int firmware() const { return m_firmware; }
    // The stored configuration 1..5 the mouse holds; 0 when none matches.
    int configuration() const { return m_configuration; }
    // Seven positions, 0 for a level switched off.
    const QList<DWORD> &cpi() const { return m_cpi; }
    // Report-rate index 0..3, -1 when unread.
    int rateIndex() const { return m_rateIndex; }
    bool hasLight() const { return m_hasLight; }
    const LightColorParam &light() const { return m_light; }
    // Page buttons 4..17 the mouse reported.
    const QMap<int, Button> &buttons() const { return m_buttons; }

    // Battery percent, or 101 charging, 102 full, 103 no valid reading; -1
    // for a mouse on its cable or when the bridge published no value.
    int battery();

    // The warnings the last open or request raised, in order.
    const QList<int> &warnings() const { return m_warnings; }
    // Why the last open failed though the mouse is there (empty: it did not fail so).
    QString cannotOpenReason() const { return m_cannotOpenReason; }
    bool cannotOpenForPermission() const { return m_cannotOpenForPermission; }

    // Runs one bridge request; returns the warning numbers it raised, in order.
    QList<int> request(const std::function<void(DCDataHandle &)> &call);

    enum class Pairing { NotStarted, Paired, NoMouse, Stopped };
    // Runs the receiver's pairing as the pairing page does, waiting at most
    // the page's time-out; progress is called once a second with the seconds
    // passed. stop, asked ten times a second, ends the wait early (Stopped).
    // However it ends, the receiver is not left pairing.
    Pairing pair(const std::function<void(int)> &progress, const std::function<bool()> &stop = {});
    bool unpair();

private:
    // What an earlier open told, cleared before the next.
    void forgetLastOpen();
    std::unique_ptr<DCDataHandle> m_bridge;
    bool m_opened = false;
    int m_mouseType = 0;
    bool m_wireless = false;
    int m_firmware = 0;
    int m_configuration = 0;
    QList<DWORD> m_cpi;
    int m_rateIndex = -1;
    bool m_hasLight = false;
    LightColorParam m_light{};
    QMap<int, Button> m_buttons;
    QList<int> m_warnings;
    QString m_cannotOpenReason;
    bool m_cannotOpenForPermission = false;
    int m_battery = -1;
};
