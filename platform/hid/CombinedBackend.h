#pragma once
#include "platform/hid/HidBackend.h"

#include <QVector>

// Several buses seen as one, e.g. the real one and the emulator: entries of
// all of them, in the order the backends were given. Backends are not owned.
class CombinedBackend : public HidBackend
{
public:
    explicit CombinedBackend(const QVector<HidBackend *> &backends);

    QVector<HidDeviceInfo> enumerate() override;
    // Asks each backend in turn; paths of one backend mean nothing to the others.
    std::unique_ptr<HidDevice> open(const HidDeviceInfo &info) override;

private:
    QVector<HidBackend *> m_backends;
};
