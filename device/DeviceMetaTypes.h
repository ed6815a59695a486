#pragma once

// Registers, under the names queued connections look them up by, the types
// that cross threads between the pages, the bridge and the device code:
// "QMap<int,QList<int> >", "QList<COLORREF>", "LightColorParam", "USHORT",
// "DWORD" and "QList<DWORD>", in that order. Call before any window or
// worker thread exists; calling again changes nothing.
void registerDeviceMetaTypes();
