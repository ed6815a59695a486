#include "platform/hid/ReportDescriptor.h"

namespace Hid {

bool parseReportDescriptor(const QByteArray &, QVector<HidCollectionCaps> *, QString *error)
{
    // TODO(platform): the real parser.
    if (error)
        *error = QStringLiteral("not implemented");
    return false;
}

} // namespace Hid
