#include "device/wren/UsbDriverManger_Wren.h"

#include "model/ProductTable.h"
#include "device/osprey/OspreyCodecs.h"

#include <QDebug>

UsbDriverManger_Wren::UsbDriverManger_Wren(QObject *parent)
    : UsbDriverManger_Osprey(ModelWren, parent), m_codeToCpi(OspreyCodecs::cpiTableB())
{
    qDebug() << "UsbDriverManger_Wren";
}

DWORD UsbDriverManger_Wren::DecodeCpi(BYTE low, BYTE)
{
    return OspreyCodecs::cpiOfCode(m_codeToCpi, low);
}

void UsbDriverManger_Wren::EncodeCpi(int, DWORD cpi, BYTE *low, BYTE *high)
{
    *low = OspreyCodecs::codeOfCpi(m_codeToCpi, cpi);
    *high = 0;
}

int UsbDriverManger_Wren::returnDefaultDPIGear()
{
    qDebug() << "UsbDriverManger_Wren::returnDefaultDPIGear" << 2;
    return 2;
}
