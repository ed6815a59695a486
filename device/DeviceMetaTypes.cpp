#include "device/DeviceMetaTypes.h"

#include "device/DeviceTypes.h"

#include <QList>
#include <QMap>
#include <QMetaType>

void registerDeviceMetaTypes()
{
    qRegisterMetaType<QMap<int, QList<int>>>("QMap<int,QList<int> >");
    qRegisterMetaType<QList<COLORREF>>("QList<COLORREF>");
    qRegisterMetaType<LightColorParam>("LightColorParam");
    qRegisterMetaType<USHORT>("USHORT");
    qRegisterMetaType<DWORD>("DWORD");
    qRegisterMetaType<QList<DWORD>>("QList<DWORD>");
}
