#pragma once
// The third family's driver: the second family's protocol unchanged, except
// that the mouse's profile carries no fixed-part checksum the program keeps.
#include "device/osprey/USBDriver_Osprey.h"

class USBDriver_Wren : public USBDriver_Osprey
{
    Q_OBJECT
public:
    explicit USBDriver_Wren(QObject *parent = nullptr);

    // Accepts every profile and leaves bytes 476..480 as the mouse gave them.
    bool CheckProfileSum(BYTE *profile) override;
};
