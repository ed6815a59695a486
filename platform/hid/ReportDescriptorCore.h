#pragma once
// The report-descriptor parser itself, in plain C++ so it can be built and
// fuzzed on its own; ReportDescriptor.h is the Qt face the program uses.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Hid {
namespace Descriptor {

// Limits past which a descriptor is taken as hostile rather than unusual.
constexpr std::size_t kMaxDescriptorBytes = 65535; // wDescriptorLength is 16 bits
constexpr int kMaxCollectionDepth = 32;
constexpr int kMaxPushDepth = 16;
constexpr int kMaxTopLevelCollections = 64;
constexpr std::uint32_t kMaxReportSizeBits = 256;   // one field
constexpr std::uint32_t kMaxReportCount = 65535;    // fields of one main item
constexpr std::uint32_t kMaxReportBytes = 16384;    // one report, report-ID byte excluded
constexpr int kMaxUsagesPerItem = 4096;

// Byte lengths of one report ID in one top-level collection, the report-ID
// byte included (also for report ID 0, as Windows counts it); 0 when the
// collection has no report of that kind under this ID.
struct ReportLengths
{
    std::uint8_t reportId = 0;
    int input = 0;
    int output = 0;
    int feature = 0;
};

struct Collection
{
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    std::vector<std::uint8_t> reportIds; // non-zero IDs, in order of first use
    std::vector<ReportLengths> reports;  // one per report ID used, in order of first use
    int inputReportByteLength = 0;       // longest of each kind
    int outputReportByteLength = 0;
    int featureReportByteLength = 0;
    int numberInputValueCaps = 0;
    int numberOutputValueCaps = 0;
    int numberFeatureValueCaps = 0;
    std::vector<std::uint8_t> featureValueCapReportIds; // one per feature value cap, in order
};

struct Result
{
    bool ok = false;
    std::string error;          // why the descriptor failed, or why collections were skipped
    std::vector<Collection> collections; // the usable top-level collections, in order
};

// Parses a descriptor. Structural faults (truncated or long items,
// unbalanced collections or push/pop, nesting too deep) fail the whole
// descriptor; a collection with absurd sizes or counts is skipped alone and
// named in error. ok is false when no usable collection remains.
Result parse(const std::uint8_t *data, std::size_t size);

} // namespace Descriptor
} // namespace Hid
