// libFuzzer target for the report-descriptor parser: any byte string must
// give a result (usable collections or a reason), never a crash, a read past
// the input or undefined behaviour. Built and run by scripts/run-fuzz.sh.
#include "platform/hid/ReportDescriptorCore.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const Hid::Descriptor::Result result = Hid::Descriptor::parse(data, size);
    if (!result.ok && result.error.empty())
        std::abort(); // a failure must say why
    for (const Hid::Descriptor::Collection &c : result.collections) {
        // Lengths stay within the caps the parser promises.
        const int longest = int(Hid::Descriptor::kMaxReportBytes) + 1;
        if (c.inputReportByteLength > longest || c.outputReportByteLength > longest ||
            c.featureReportByteLength > longest)
            std::abort();
        if (c.featureValueCapReportIds.size() != std::size_t(c.numberFeatureValueCaps))
            std::abort();
    }
    return 0;
}
