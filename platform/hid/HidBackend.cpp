#include "platform/hid/HidBackend.h"

#include <atomic>

namespace {
std::atomic<HidBackend *> g_backend{nullptr};
}

namespace Hid {

HidBackend *backend() { return g_backend.load(); }
void setBackend(HidBackend *backend) { g_backend.store(backend); }

} // namespace Hid
