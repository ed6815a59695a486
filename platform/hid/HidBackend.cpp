#include "platform/hid/HidBackend.h"

#include <atomic>

namespace {
std::atomic<HidBackend *> g_backend{nullptr};
}

namespace Hid {

HidBackend *backend() { return g_backend.load(); }
void setBackend(HidBackend *backend) { g_backend.store(backend); }

} // namespace Hid

namespace Hid {

namespace {
thread_local OpenFailure t_lastOpenFailure;
} // namespace

void setLastOpenFailure(const OpenFailure &failure)
{
    t_lastOpenFailure = failure;
}

OpenFailure lastOpenFailure()
{
    return t_lastOpenFailure;
}

} // namespace Hid
