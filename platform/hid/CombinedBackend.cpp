#include "platform/hid/CombinedBackend.h"

CombinedBackend::CombinedBackend(const QVector<HidBackend *> &backends)
{
    for (HidBackend *b : backends)
        if (b)
            m_backends.append(b);
}

QVector<HidDeviceInfo> CombinedBackend::enumerate()
{
    QVector<HidDeviceInfo> all;
    for (HidBackend *b : qAsConst(m_backends))
        all += b->enumerate();
    return all;
}

std::unique_ptr<HidDevice> CombinedBackend::open(const HidDeviceInfo &info)
{
    for (HidBackend *b : qAsConst(m_backends))
        if (std::unique_ptr<HidDevice> device = b->open(info))
            return device;
    return nullptr;
}
