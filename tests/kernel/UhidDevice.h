#pragma once
// Gives an emulated device a real kernel HID device through /dev/uhid: the
// kernel sees its report descriptor, VID, PID and product string, and every
// output report, SET_REPORT and GET_REPORT it sends is answered by the
// emulated device's own handlers, on a thread of this object's. Input
// reports the device queues are passed on to the kernel as interrupt-in
// reports. Linux only; needs the uhid module and access to /dev/uhid.
#include "emulator/EmulatedDevice.h"

#include <QString>
#include <atomic>
#include <memory>
#include <thread>

class UhidDevice
{
public:
    explicit UhidDevice(std::shared_ptr<EmulatedDevice> device);
    ~UhidDevice();
    UhidDevice(const UhidDevice &) = delete;
    UhidDevice &operator=(const UhidDevice &) = delete;

    // Creates the kernel device and starts answering it. False, with the
    // reason in *error, when /dev/uhid cannot be opened or refuses the device.
    bool create(QString *error = nullptr);
    // Takes the device off the bus (as pulling the cable does); open hidraw
    // handles fail from then on. Safe to call twice.
    void destroy();
    bool isCreated() const { return m_fd >= 0; }

    // The device takes itself off the bus when the kernel's next request
    // after `requests` answered ones arrives, leaving that request
    // unanswered, as a cable pulled in the middle of an exchange (-1: never).
    void unplugAfterRequests(int requests) { m_unplugAfter.store(requests); }
    // Requests answered so far (output reports, SET_REPORT, GET_REPORT).
    int requestCount() const { return m_requests.load(); }
    // Whether the device took itself off the bus.
    bool unpluggedItself() const { return m_unpluggedItself.load(); }

    std::shared_ptr<EmulatedDevice> device() const { return m_device; }

private:
    void serve();
    bool handleEvent();
    void forwardInputReports();
    void destroyFromServiceThread();
    bool send(const void *event, std::size_t size);

    std::shared_ptr<EmulatedDevice> m_device;
    bool m_numbered = false; // whether the device's reports carry report IDs
    int m_fd = -1;
    int m_wake[2] = {-1, -1}; // wakes the service thread to stop
    std::thread m_thread;
    std::atomic<int> m_unplugAfter{-1};
    std::atomic<int> m_requests{0};
    std::atomic<bool> m_unpluggedItself{false};
    std::atomic<bool> m_destroyed{false};
};
