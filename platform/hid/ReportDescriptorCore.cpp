#include "platform/hid/ReportDescriptorCore.h"

#include <algorithm>

namespace Hid {
namespace Descriptor {
namespace {

// Item types and tags of the short-item prefix byte (tag << 4 | type << 2 | size).
enum ItemType { Main = 0, Global = 1, Local = 2, Reserved = 3 };
enum MainTag { Input = 0x8, Output = 0x9, Feature = 0xB, CollectionTag = 0xA, EndCollection = 0xC };
enum GlobalTag { UsagePage = 0x0, ReportSize = 0x7, ReportId = 0x8, ReportCount = 0x9, Push = 0xA, Pop = 0xB };
enum LocalTag { Usage = 0x0, UsageMinimum = 0x1 };
constexpr std::uint8_t kLongItemPrefix = 0xFE;

// Main-item data bits.
constexpr std::uint32_t kConstant = 0x01;
constexpr std::uint32_t kVariable = 0x02;

constexpr int kMaxValueCapsPerCollection = 8192;

enum Kind { KindInput = 0, KindOutput = 1, KindFeature = 2 };

struct Globals
{
    std::uint32_t usagePage = 0;
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint32_t reportId = 0;
};

struct Locals
{
    int usageCount = 0;            // usages and usage ranges, each range counted once
    bool hasFirstUsage = false;
    std::uint32_t firstUsage = 0;  // page << 16 | usage
    void clear() { *this = Locals(); }
};

struct ReportBits
{
    std::uint8_t id = 0;
    std::uint64_t bits[3] = {0, 0, 0};
    bool present[3] = {false, false, false};
};

// The top-level collection being read, with the first reason it is unusable.
struct Open
{
    Collection caps;
    std::vector<ReportBits> reports;
    std::string fault;
};

std::string hex(std::uint32_t v)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    do {
        s.insert(s.begin(), digits[v & 0xF]);
        v >>= 4;
    } while (v);
    return "0x" + s;
}

Result failure(const std::string &why, std::size_t offset)
{
    Result r;
    r.error = why + " at byte " + std::to_string(offset);
    return r;
}

ReportBits &reportFor(Open &open, std::uint8_t id)
{
    for (ReportBits &r : open.reports)
        if (r.id == id)
            return r;
    open.reports.push_back(ReportBits());
    open.reports.back().id = id;
    if (id != 0)
        open.caps.reportIds.push_back(id);
    return open.reports.back();
}

void addMainItem(Open &open, Kind kind, std::uint32_t flags, const Globals &g, const Locals &l)
{
    if (!open.fault.empty())
        return;
    if (g.reportSize > kMaxReportSizeBits) {
        open.fault = "report size of " + std::to_string(g.reportSize) + " bits";
        return;
    }
    if (g.reportCount > kMaxReportCount) {
        open.fault = "report count of " + std::to_string(g.reportCount);
        return;
    }
    ReportBits &report = reportFor(open, static_cast<std::uint8_t>(g.reportId));
    report.present[kind] = true;
    report.bits[kind] += std::uint64_t(g.reportSize) * g.reportCount;
    if ((report.bits[kind] + 7) / 8 > kMaxReportBytes) {
        open.fault = "report " + hex(g.reportId) + " longer than " + std::to_string(kMaxReportBytes) + " bytes";
        return;
    }

    // A value cap per usage of a variable, non-constant field wider than one
    // bit; one-bit fields and arrays are buttons, constant fields padding.
    if ((flags & kConstant) || !(flags & kVariable) || g.reportSize <= 1)
        return;
    const int usages = std::max(1, l.usageCount);
    const int fields = static_cast<int>(std::max<std::uint32_t>(1, g.reportCount));
    const int caps = std::min(usages, fields);
    int *count = kind == KindInput    ? &open.caps.numberInputValueCaps
                 : kind == KindOutput ? &open.caps.numberOutputValueCaps
                                      : &open.caps.numberFeatureValueCaps;
    if (*count + caps > kMaxValueCapsPerCollection) {
        open.fault = "more than " + std::to_string(kMaxValueCapsPerCollection) + " value caps";
        return;
    }
    *count += caps;
    if (kind == KindFeature)
        open.caps.featureValueCapReportIds.insert(open.caps.featureValueCapReportIds.end(), caps,
                                                  static_cast<std::uint8_t>(g.reportId));
}

void finishLengths(Open &open)
{
    for (const ReportBits &r : open.reports) {
        ReportLengths lengths;
        lengths.reportId = r.id;
        int *out[3] = {&lengths.input, &lengths.output, &lengths.feature};
        for (int k = 0; k < 3; ++k)
            if (r.present[k])
                *out[k] = static_cast<int>((r.bits[k] + 7) / 8) + 1; // + the report-ID byte
        open.caps.reports.push_back(lengths);
        open.caps.inputReportByteLength = std::max(open.caps.inputReportByteLength, lengths.input);
        open.caps.outputReportByteLength = std::max(open.caps.outputReportByteLength, lengths.output);
        open.caps.featureReportByteLength = std::max(open.caps.featureReportByteLength, lengths.feature);
    }
}

} // namespace

Result parse(const std::uint8_t *data, std::size_t size)
{
    if (!data || size == 0)
        return failure("empty descriptor", 0);
    if (size > kMaxDescriptorBytes)
        return failure("descriptor longer than " + std::to_string(kMaxDescriptorBytes) + " bytes", 0);

    Result result;
    Globals globals;
    std::vector<Globals> pushed;
    Locals locals;
    int depth = 0;
    int topLevelCount = 0;
    Open open;

    std::size_t pos = 0;
    while (pos < size) {
        const std::size_t at = pos;
        const std::uint8_t prefix = data[pos++];
        if (prefix == kLongItemPrefix) {
            // No long item is defined; the kernel refuses them too.
            return failure("long item", at);
        }
        static const std::size_t sizes[4] = {0, 1, 2, 4};
        const std::size_t dataSize = sizes[prefix & 0x3];
        if (dataSize > size - pos)
            return failure("truncated item", at);
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < dataSize; ++i)
            value |= std::uint32_t(data[pos + i]) << (8 * i);
        pos += dataSize;
        const int type = (prefix >> 2) & 0x3;
        const int tag = prefix >> 4;

        switch (type) {
        case Main:
            switch (tag) {
            case CollectionTag:
                if (depth == 0) {
                    if (++topLevelCount > kMaxTopLevelCollections)
                        return failure("more than " + std::to_string(kMaxTopLevelCollections) + " top-level collections", at);
                    open = Open();
                    if (locals.hasFirstUsage) {
                        open.caps.usagePage = static_cast<std::uint16_t>(locals.firstUsage >> 16);
                        open.caps.usage = static_cast<std::uint16_t>(locals.firstUsage & 0xFFFF);
                    }
                }
                if (++depth > kMaxCollectionDepth)
                    return failure("collections nested deeper than " + std::to_string(kMaxCollectionDepth), at);
                break;
            case EndCollection:
                if (depth == 0)
                    return failure("end of a collection never opened", at);
                if (--depth == 0) {
                    if (open.fault.empty()) {
                        finishLengths(open);
                        result.collections.push_back(open.caps);
                    } else {
                        if (!result.error.empty())
                            result.error += "; ";
                        result.error += "collection " + std::to_string(topLevelCount - 1) + " (usage page " +
                                        hex(open.caps.usagePage) + ", usage " + hex(open.caps.usage) +
                                        ") skipped: " + open.fault;
                    }
                }
                break;
            case Input:
            case Output:
            case Feature:
                // Fields outside every collection belong to no collection the host can open.
                if (depth > 0)
                    addMainItem(open, tag == Input ? KindInput : tag == Output ? KindOutput : KindFeature, value,
                                globals, locals);
                break;
            default:
                break;
            }
            locals.clear();
            break;
        case Global:
            switch (tag) {
            case UsagePage: globals.usagePage = value & 0xFFFF; break;
            case ReportSize: globals.reportSize = value; break;
            case ReportCount: globals.reportCount = value; break;
            case ReportId:
                if (value == 0 || value > 0xFF)
                    return failure("report ID " + std::to_string(value) + " out of range", at);
                globals.reportId = value;
                break;
            case Push:
                if (static_cast<int>(pushed.size()) >= kMaxPushDepth)
                    return failure("push nested deeper than " + std::to_string(kMaxPushDepth), at);
                pushed.push_back(globals);
                break;
            case Pop:
                if (pushed.empty())
                    return failure("pop without push", at);
                globals = pushed.back();
                pushed.pop_back();
                break;
            default:
                break;
            }
            break;
        case Local:
            if (tag == Usage || tag == UsageMinimum) {
                if (++locals.usageCount > kMaxUsagesPerItem)
                    return failure("more than " + std::to_string(kMaxUsagesPerItem) + " usages on one item", at);
                if (!locals.hasFirstUsage) {
                    locals.hasFirstUsage = true;
                    // A four-byte usage carries its own page.
                    locals.firstUsage = dataSize == 4 ? value : (globals.usagePage << 16 | (value & 0xFFFF));
                }
            }
            break;
        case Reserved:
        default:
            break;
        }
    }

    if (depth != 0)
        return failure("collection not closed", size);
    if (!pushed.empty())
        return failure("push without pop", size);
    if (topLevelCount == 0)
        return failure("no top-level collection", size);
    result.ok = !result.collections.empty();
    return result;
}

} // namespace Descriptor
} // namespace Hid
