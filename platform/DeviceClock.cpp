#include "platform/DeviceClock.h"

#include <QThread>
#include <atomic>

namespace {
std::atomic<bool> g_virtual{false};
std::atomic<qint64> g_elapsed{0};
} // namespace

namespace DeviceClock {

void sleep(int ms)
{
    if (ms <= 0)
        return;
    if (g_virtual.load()) {
        g_elapsed.fetch_add(ms);
        return;
    }
    QThread::msleep(static_cast<unsigned long>(ms));
}

void setVirtual(bool isVirtual) { g_virtual.store(isVirtual); }
bool isVirtual() { return g_virtual.load(); }
qint64 virtualElapsedMs() { return g_elapsed.load(); }
void resetVirtual() { g_elapsed.store(0); }

} // namespace DeviceClock
