#pragma once
// The Windows integer types the device protocols are written in, defined once
// for every other platform with the same widths and signedness as on Windows
// (where long is 32 bits, so DWORD is not unsigned long here).

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>

typedef std::uint32_t DWORD;   // registered with Qt under the name "DWORD"
typedef unsigned short USHORT;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef DWORD COLORREF;        // 0x00BBGGRR: red in the low byte

inline constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b)
{
    return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16);
}
inline constexpr BYTE GetRValue(COLORREF c) { return BYTE(c & 0xFF); }
inline constexpr BYTE GetGValue(COLORREF c) { return BYTE((c >> 8) & 0xFF); }
inline constexpr BYTE GetBValue(COLORREF c) { return BYTE((c >> 16) & 0xFF); }
#endif

static_assert(sizeof(DWORD) == 4, "DWORD is 32 bits, as on Windows");
static_assert(sizeof(COLORREF) == 4, "COLORREF is 32 bits, as on Windows");
static_assert(sizeof(WORD) == 2 && sizeof(USHORT) == 2, "WORD and USHORT are 16 bits");
static_assert(sizeof(BYTE) == 1, "BYTE is one octet");
