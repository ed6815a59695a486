#pragma once
// The third family's manager: the second family's, with table B as its only
// CPI coding (for every model code) and CPI level 2 to start a matched
// configuration on.
#include "device/osprey/UsbDriverManger_Osprey.h"

class UsbDriverManger_Wren : public UsbDriverManger_Osprey
{
    Q_OBJECT
public:
    explicit UsbDriverManger_Wren(QObject *parent = nullptr);

    // The CPI of the low code; the high byte is not used.
    DWORD DecodeCpi(BYTE low, BYTE high) override;
    // (code, 0); a CPI without a code takes the nearest one.
    void EncodeCpi(int mouseType, DWORD cpi, BYTE *low, BYTE *high) override;
    int returnDefaultDPIGear() override;

private:
    QMap<uchar, int> m_codeToCpi;
};
