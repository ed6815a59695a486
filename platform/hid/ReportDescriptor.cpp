#include "platform/hid/ReportDescriptor.h"

#include "platform/hid/ReportDescriptorCore.h"

namespace Hid {

namespace {

HidCollectionCaps toCaps(const Descriptor::Collection &c)
{
    HidCollectionCaps caps;
    caps.usagePage = c.usagePage;
    caps.usage = c.usage;
    for (std::uint8_t id : c.reportIds)
        caps.reportIds.append(id);
    caps.inputReportByteLength = c.inputReportByteLength;
    caps.outputReportByteLength = c.outputReportByteLength;
    caps.featureReportByteLength = c.featureReportByteLength;
    caps.numberInputValueCaps = c.numberInputValueCaps;
    caps.numberOutputValueCaps = c.numberOutputValueCaps;
    caps.numberFeatureValueCaps = c.numberFeatureValueCaps;
    for (std::uint8_t id : c.featureValueCapReportIds)
        caps.featureValueCapReportIds.append(id);
    for (const Descriptor::ReportLengths &r : c.reports)
        caps.reports.append(HidReportLengths{r.reportId, r.input, r.output, r.feature});
    return caps;
}

} // namespace

bool parseReportDescriptor(const QByteArray &descriptor, QVector<HidCollectionCaps> *collections, QString *error)
{
    const Descriptor::Result result = Descriptor::parse(
        reinterpret_cast<const std::uint8_t *>(descriptor.constData()), static_cast<std::size_t>(descriptor.size()));
    if (error)
        *error = QString::fromStdString(result.error);
    if (collections) {
        collections->clear();
        if (result.ok)
            for (const Descriptor::Collection &c : result.collections)
                collections->append(toCaps(c));
    }
    return result.ok;
}

} // namespace Hid
