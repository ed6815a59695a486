#include "UhidDevice.h"

#include "platform/hid/ReportDescriptor.h"

#include <QDebug>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/uhid.h>
#include <poll.h>
#include <unistd.h>

namespace {

// A request the device cannot answer fails on the host as a stalled transfer would.
constexpr __u16 kTransferFailed = EIO;

} // namespace

UhidDevice::UhidDevice(std::shared_ptr<EmulatedDevice> device) : m_device(std::move(device)) { }

UhidDevice::~UhidDevice()
{
    destroy();
}

bool UhidDevice::create(QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        return false;
    };
    if (!m_device || m_fd >= 0)
        return fail(QStringLiteral("no device, or already created"));

    const QByteArray descriptor = m_device->reportDescriptor();
    QVector<HidCollectionCaps> collections;
    Hid::parseReportDescriptor(descriptor, &collections);
    m_numbered = false;
    for (const HidCollectionCaps &c : qAsConst(collections))
        m_numbered = m_numbered || !c.reportIds.isEmpty();

    m_fd = ::open("/dev/uhid", O_RDWR | O_CLOEXEC);
    if (m_fd < 0)
        return fail(QStringLiteral("/dev/uhid: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));

    uhid_event ev;
    std::memset(&ev, 0, sizeof ev);
    ev.type = UHID_CREATE2;
    const QByteArray name = m_device->productString().toUtf8().left(int(sizeof ev.u.create2.name) - 1);
    std::memcpy(ev.u.create2.name, name.constData(), size_t(name.size()));
    std::strcpy(reinterpret_cast<char *>(ev.u.create2.phys), "harrier-uhid");
    if (descriptor.size() > int(sizeof ev.u.create2.rd_data))
        return fail(QStringLiteral("report descriptor too long for uhid"));
    ev.u.create2.rd_size = __u16(descriptor.size());
    std::memcpy(ev.u.create2.rd_data, descriptor.constData(), size_t(descriptor.size()));
    ev.u.create2.bus = BUS_USB;
    ev.u.create2.vendor = m_device->vendorId();
    ev.u.create2.product = m_device->productId();
    ev.u.create2.version = m_device->releaseNumber();
    if (!send(&ev, sizeof ev))
        return fail(QStringLiteral("uhid refused the device: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));

    if (::pipe2(m_wake, O_CLOEXEC) != 0)
        return fail(QStringLiteral("pipe: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    m_destroyed = false;
    m_thread = std::thread([this] { serve(); });
    return true;
}

void UhidDevice::destroy()
{
    if (m_fd < 0)
        return;
    m_destroyed = true;
    if (m_wake[1] >= 0) {
        const char stop = 1;
        (void)!::write(m_wake[1], &stop, 1);
    }
    if (m_thread.joinable())
        m_thread.join();
    // Also wakes a host request still waiting for its answer, which then fails.
    uhid_event ev;
    std::memset(&ev, 0, sizeof ev);
    ev.type = UHID_DESTROY;
    send(&ev, sizeof ev);
    ::close(m_fd);
    m_fd = -1;
    for (int &fd : m_wake) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

bool UhidDevice::send(const void *event, std::size_t size)
{
    const ssize_t n = ::write(m_fd, event, size);
    return n == ssize_t(size);
}

void UhidDevice::serve()
{
    while (!m_destroyed) {
        pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        const int ready = ::poll(fds, 2, -1);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0 || (fds[1].revents & POLLIN) || (fds[0].revents & (POLLERR | POLLHUP)))
            return;
        if ((fds[0].revents & POLLIN) && !handleEvent())
            return;
    }
}

// One event from the kernel; false once the device is gone.
bool UhidDevice::handleEvent()
{
    uhid_event ev;
    std::memset(&ev, 0, sizeof ev);
    const ssize_t n = ::read(m_fd, &ev, sizeof ev);
    if (n <= 0)
        return n < 0 && (errno == EINTR || errno == EAGAIN);

    const bool request = ev.type == UHID_OUTPUT || ev.type == UHID_GET_REPORT || ev.type == UHID_SET_REPORT;
    if (request && m_unplugAfter.load() >= 0 && m_requests.load() >= m_unplugAfter.load()) {
        destroyFromServiceThread();
        return false;
    }

    switch (ev.type) {
    case UHID_OUTPUT: {
        // The kernel passes the report as the host wrote it, report ID first;
        // an output report has no answer, so a refusal goes unseen as on a cable.
        const uhid_output_req &out = ev.u.output;
        m_device->onWrite(out.data, qMin<std::size_t>(out.size, UHID_DATA_MAX));
        ++m_requests;
        break;
    }
    case UHID_GET_REPORT: {
        const uhid_get_report_req req = ev.u.get_report;
        uhid_event reply;
        std::memset(&reply, 0, sizeof reply);
        reply.type = UHID_GET_REPORT_REPLY;
        reply.u.get_report_reply.id = req.id;
        std::uint8_t *data = reply.u.get_report_reply.data;
        data[0] = req.rnum;
        // The request carries no length: the device answers its whole report
        // and the kernel hands the host as much as it asked for.
        int got = -1;
        if (req.rtype == UHID_FEATURE_REPORT)
            got = m_device->onGetFeature(data, UHID_DATA_MAX);
        else if (req.rtype == UHID_INPUT_REPORT)
            got = m_device->onGetInputReport(data, UHID_DATA_MAX);
        if (got < 0) {
            reply.u.get_report_reply.err = kTransferFailed;
        } else {
            reply.u.get_report_reply.size = __u16(qMin(got, int(UHID_DATA_MAX)));
        }
        ++m_requests;
        send(&reply, sizeof reply);
        break;
    }
    case UHID_SET_REPORT: {
        const uhid_set_report_req &req = ev.u.set_report;
        int taken = -1;
        const std::size_t size = qMin<std::size_t>(req.size, UHID_DATA_MAX);
        if (req.rtype == UHID_FEATURE_REPORT)
            taken = m_device->onSetFeature(req.data, size);
        else if (req.rtype == UHID_OUTPUT_REPORT)
            taken = m_device->onWrite(req.data, size);
        uhid_event reply;
        std::memset(&reply, 0, sizeof reply);
        reply.type = UHID_SET_REPORT_REPLY;
        reply.u.set_report_reply.id = req.id;
        reply.u.set_report_reply.err = taken < 0 ? kTransferFailed : 0;
        ++m_requests;
        send(&reply, sizeof reply);
        break;
    }
    default:
        break; // start, stop, open, close: nothing to do
    }
    forwardInputReports();
    return true;
}

// Input reports the device has ready go up as interrupt-in reports, without
// the ID byte when the device numbers none, as a device sends them.
void UhidDevice::forwardInputReports()
{
    // Bounded, so a device that always has a report cannot starve the requests.
    for (int i = 0; i < 64; ++i) {
        uhid_event ev;
        std::memset(&ev, 0, sizeof ev);
        ev.type = UHID_INPUT2;
        std::uint8_t buffer[UHID_DATA_MAX + 1] = {};
        const int n = m_device->onRead(buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        const int skip = m_numbered ? 0 : 1;
        const int size = qMin(n - skip, int(UHID_DATA_MAX));
        if (size <= 0)
            continue;
        std::memcpy(ev.u.input2.data, buffer + skip, size_t(size));
        ev.u.input2.size = __u16(size);
        send(&ev, sizeof ev);
    }
}

void UhidDevice::destroyFromServiceThread()
{
    // Set first: the host sees the device gone as soon as the kernel takes the event.
    m_unpluggedItself = true;
    uhid_event ev;
    std::memset(&ev, 0, sizeof ev);
    ev.type = UHID_DESTROY;
    send(&ev, sizeof ev);
}
