#include "pages/UiText.h"

namespace UiText {

QString text(int)
{
    return QString();
}

QString textWith(int index, const QString &value)
{
    const QString t = text(index);
    return t.contains(QLatin1String("%1")) ? t.arg(value) : t;
}

} // namespace UiText
