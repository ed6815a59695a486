#include "device/ProductTable.h"

#include <atomic>
#include <iterator>

namespace {

const ProductInfo kProducts[] = {
    {"kestrel", 11, Family::First, 0x4130, 0x1804, "VID_3A5E&PID_4130", "VID_3A5E&PID_1804"},
    {"merlin", 12, Family::First, 0x4132, 0x4133, "VID_3A5E&PID_4132", "VID_3A5E&PID_4133"},
    {"kestrelc", 9, Family::First, 0x4137, 0x180A, "VID_3A5E&PID_4137", "VID_3A5E&PID_180a"},
    {"kestrelq", 10, Family::First, 0x4138, 0x180B, "VID_3A5E&PID_4138", "VID_3A5E&PID_180b"},
    {"merlinc", 7, Family::First, 0x4139, 0x180C, "VID_3A5E&PID_4139", "VID_3A5E&PID_180c"},
    {"merlinq", 8, Family::First, 0x413A, 0x180D, "VID_3A5E&PID_413a", "VID_3A5E&PID_180d"},
    {"kestreleu", 14, Family::First, 0x413B, 0x180F, "VID_3A5E&PID_413b", "VID_3A5E&PID_180f"},
    {"falcon", 2, Family::Second, 0x4123, 0, "", ""},
    {"osprey", 3, Family::Second, 0x4122, 0, "", ""},
    {"saker", 4, Family::Second, 0x4126, 0, "", ""},
    {"falcons", 5, Family::Second, 0x4124, 0, "", ""},
    {"sakers", 6, Family::Second, 0x4118, 0, "", ""},
    {"lanner", 18, Family::Second, 0x4162, 0, "", ""},
    {"harrier", 19, Family::Second, 0x4163, 0, "", ""},
    {"wren", 13, Family::Third, 0x4161, 0, "", ""},
};

std::atomic<int> g_mouseType{0};

} // namespace

namespace Products {

const ProductInfo *begin() { return std::begin(kProducts); }
const ProductInfo *end() { return std::end(kProducts); }

const ProductInfo *byPid(USHORT pid)
{
    if (pid == 0)
        return nullptr;
    for (const ProductInfo &p : kProducts)
        if (p.wiredPid == pid || p.receiverPid == pid)
            return &p;
    return nullptr;
}

const ProductInfo *byType(int mouseType)
{
    for (const ProductInfo &p : kProducts)
        if (p.mouseType == mouseType)
            return &p;
    return nullptr;
}

const ProductInfo *byName(const QString &name)
{
    for (const ProductInfo &p : kProducts)
        if (name == QLatin1String(p.name))
            return &p;
    return nullptr;
}

bool isReceiverPid(USHORT pid)
{
    const ProductInfo *p = byPid(pid);
    return p && p->receiverPid == pid;
}

QString modelName(int mouseType)
{
    const ProductInfo *p = byType(mouseType);
    return QLatin1String(p ? p->name : "osprey");
}

} // namespace Products

namespace MouseType {
int current() { return g_mouseType.load(); }
void setCurrent(int mouseType) { g_mouseType.store(mouseType); }
} // namespace MouseType
