#pragma once
#include "emulator/EmulatedDevice.h"

// Mice waiting in firmware-update mode, as the bus shows them. For now they
// carry their identity only; a firmware transfer answers nothing yet.

// A first-family mouse in update mode: VID 0x3A5E, PID 0x3000, its model
// named in the product string; 64-byte reports, no report IDs.
class EmulatedFirstFamilyBootLoader : public EmulatedDevice
{
public:
    explicit EmulatedFirstFamilyBootLoader(const QString &productString) : m_product(productString) {}

    quint16 vendorId() const override { return 0x3A5E; }
    quint16 productId() const override { return 0x3000; }
    QString productString() const override { return m_product; }
    QByteArray reportDescriptor() const override;

private:
    QString m_product;
};

// A second- or third-family mouse in update mode: VID 0x0603, PID 0x1022,
// the release number carrying the mouse's normal PID.
class EmulatedSecondFamilyBootLoader : public EmulatedDevice
{
public:
    explicit EmulatedSecondFamilyBootLoader(quint16 normalPid) : m_normalPid(normalPid) {}

    quint16 vendorId() const override { return 0x0603; }
    quint16 productId() const override { return 0x1022; }
    quint16 releaseNumber() const override { return m_normalPid; }
    QString productString() const override { return QStringLiteral("USB Update Device"); }
    QByteArray reportDescriptor() const override;

private:
    quint16 m_normalPid;
};
