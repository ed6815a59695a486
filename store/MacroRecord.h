#pragma once
// One macro as the second and third families store it: two header bytes
// (the repeat count, high byte first) and its 16-bit steps. The device code
// carries it over the wire; the profile files mirror it.
#include "platform/WinTypes.h"

#include <QList>

struct MacroRecord
{
    uchar header0 = 0;
    uchar header1 = 0;
    QList<USHORT> items;
};
