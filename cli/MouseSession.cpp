#include "cli/MouseSession.h"

#include "data/DCDataHandle.h"
#include "platform/hid/HidBackend.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>

namespace {

// A filtered battery value is published once three readings agree.
constexpr int kBatteryReadings = 4;

} // namespace

QVector<MouseSession::Present> MouseSession::scan()
{
    QVector<Present> found;
    HidBackend *bus = Hid::backend();
    if (!bus)
        return found;
    auto known = [&found](USHORT pid) {
        return std::any_of(found.begin(), found.end(), [pid](const Present &p) { return p.pid == pid; });
    };
    // The bus lists a device once per top-level collection.
    for (const HidDeviceInfo &info : bus->enumerate()) {
        const USHORT pid = info.productId;
        Present p;
        p.pid = pid;
        if (info.vendorId == Products::kVendorId && pid == Products::kFirstFamilyBootPid) {
            p.bootLoader = true;
            p.product = Products::byType(Products::typeOfBootProduct(info.productString));
        } else if (info.vendorId == Products::kOtherFamilyBootVid && pid == Products::kOtherFamilyBootPid) {
            p.bootLoader = true;
            p.product = Products::byType(Products::typeOfBootRelease(info.releaseNumber));
        } else if (info.vendorId == Products::kVendorId && Products::byPid(pid)) {
            p.product = Products::byPid(pid);
            p.viaReceiver = Products::isReceiverPid(pid);
        } else {
            continue;
        }
        if (!known(pid))
            found.append(p);
    }
    std::stable_sort(found.begin(), found.end(), [](const Present &a, const Present &b) {
        return std::make_pair(a.bootLoader, a.viaReceiver) < std::make_pair(b.bootLoader, b.viaReceiver);
    });
    return found;
}

MouseSession::MouseSession() : m_bridge(std::make_unique<DCDataHandle>())
{
    DCDataHandle::registerMetaTypes();
    DCDataHandle *b = m_bridge.get();
    connect(b, &DCDataHandle::sig_OpenDeviceResult, this, [this](bool ok, int type, bool wireless) {
        m_opened = ok;
        m_mouseType = type;
        m_wireless = wireless;
    });
    connect(b, &DCDataHandle::sig_VersionNumber, this, [this](int version) { m_firmware = version; });
    connect(b, &DCDataHandle::sig_SetCurrentConfigure, this, [this](int number) { m_configuration = number; });
    connect(b, &DCDataHandle::sig_SetCurrentCpiListValueOnPage, this, [this](QList<DWORD> list) { m_cpi = list; });
    connect(b, &DCDataHandle::sig_SetCurrentReportRate, this, [this](int index) { m_rateIndex = index; });
    connect(b, &DCDataHandle::sig_SetLightParameterOnPage, this, [this](LightColorParam light) {
        m_light = light;
        m_hasLight = true;
    });
    connect(b, &DCDataHandle::sig_CurrentButtonIsOriginalButton, this, [this](bool original, int button) {
        m_buttons[button] = Button{original, 0, 0, 0};
    });
    connect(b, &DCDataHandle::sig_TrueMouseValue, this, [this](int button, int changeType, int value, int modifiers) {
        m_buttons[button] = Button{false, changeType, value, modifiers};
    });
    connect(b, &DCDataHandle::sig_ShowWarningDialog, this, [this](int warning) { m_warnings << warning; });
    connect(b, &DCDataHandle::sig_DeviceCannotOpen, this, [this](bool permission, const QString &reason) {
        m_cannotOpenForPermission = permission;
        m_cannotOpenReason = reason;
    });
    connect(b, &DCDataHandle::sig_BatteryPower, this, [this](DWORD value) { m_battery = int(value); });
}

MouseSession::~MouseSession()
{
    m_bridge->releaseObject();
}

void MouseSession::forgetLastOpen()
{
    m_opened = false;
    m_configuration = 0;
    m_firmware = 0;
    m_warnings.clear();
    m_cannotOpenReason.clear();
    m_cannotOpenForPermission = false;
}

bool MouseSession::open(USHORT pid)
{
    forgetLastOpen();
    m_bridge->slot_OpenDevice(pid, Products::kVendorId);
    return m_opened;
}

bool MouseSession::identify(USHORT pid)
{
    forgetLastOpen();
    m_bridge->openDeviceForIdentity(pid, Products::kVendorId);
    return m_opened;
}

int MouseSession::battery()
{
    if (!m_opened || !m_wireless)
        return -1;
    m_battery = -1;
    for (int i = 0; i < kBatteryReadings && m_battery < 0; ++i)
        m_bridge->slot_GetBatteryPower();
    return m_battery;
}

MouseSession::Pairing MouseSession::pair(const std::function<void(int)> &progress, const std::function<bool()> &stop)
{
    DCDataHandle *b = m_bridge.get();
    Pairing result = Pairing::NoMouse;
    bool started = true;
    QEventLoop loop;
    const auto startConnection = connect(b, &DCDataHandle::sig_startCode, &loop, [&](bool ok) {
        started = ok;
        if (!ok)
            loop.quit();
    });
    const auto finishConnection = connect(b, &DCDataHandle::sig_finishCode, &loop, [&](bool ok) {
        result = ok ? Pairing::Paired : Pairing::NoMouse;
        loop.quit();
    });
    QTimer tick;
    int seconds = 0;
    connect(&tick, &QTimer::timeout, &loop, [&] { progress(++seconds); });
    bool stopped = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, &loop, [&] {
        if (stop && stop()) {
            stopped = true;
            loop.quit();
        }
    });
    // The bridge gives up after its time-out; this is only the backstop.
    QTimer::singleShot(DCDataHandle::kPairingTimeoutMs + 5000, &loop, &QEventLoop::quit);
    b->slot_startCode();
    if (started) {
        tick.start(1000);
        watch.start(100);
        loop.exec();
    }
    b->slot_stopCode();
    disconnect(startConnection);
    disconnect(finishConnection);
    if (!started)
        return Pairing::NotStarted;
    // A stop asked as the wait ended anyway still counts, unless a mouse paired.
    stopped = stopped || (stop && stop());
    return stopped && result != Pairing::Paired ? Pairing::Stopped : result;
}

bool MouseSession::unpair()
{
    return m_bridge->unpairReceiver();
}

QList<int> MouseSession::request(const std::function<void(DCDataHandle &)> &call)
{
    m_warnings.clear();
    call(*m_bridge);
    return m_warnings;
}
