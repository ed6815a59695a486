#include "emulator/EmulatedBootLoaders.h"

QByteArray EmulatedFirstFamilyBootLoader::reportDescriptor() const
{
    static const char hex[] = "06 00 ff"  // Usage Page (Vendor 0xFF00)
                              "09 01"     // Usage (1)
                              "a1 01"     // Collection (Application)
                              "15 00 26 ff 00 75 08 95 40" // bytes 0..255, 64 of them
                              "09 01 81 02" //   Input (Data, Var, Abs)
                              "09 02 91 02" //   Output (Data, Var, Abs)
                              "c0";
    return QByteArray::fromHex(hex);
}

QByteArray EmulatedSecondFamilyBootLoader::reportDescriptor() const
{
    static const char hex[] = "06 00 ff"  // Usage Page (Vendor 0xFF00)
                              "09 01"     // Usage (1)
                              "a1 01"     // Collection (Application)
                              "85 01"     //   Report ID (1)
                              "15 00 26 ff 00 75 08 95 3f" // bytes 0..255, 63 of them
                              "09 01 b1 02" //   Feature (Data, Var, Abs)
                              "c0";
    return QByteArray::fromHex(hex);
}
