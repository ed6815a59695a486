#include "platform/AppIdentity.h"

#include <QCoreApplication>

namespace AppIdentity {

void setApplicationIdentity()
{
    QCoreApplication::setApplicationName(kApplicationName);
    QCoreApplication::setApplicationVersion(kApplicationVersion);
}

} // namespace AppIdentity
