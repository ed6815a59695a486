#include "device/wren/USBDriver_Wren.h"

USBDriver_Wren::USBDriver_Wren(QObject *parent) : USBDriver_Osprey(parent) {}

bool USBDriver_Wren::CheckProfileSum(BYTE *)
{
    return true;
}
