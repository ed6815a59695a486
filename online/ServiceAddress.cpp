#include "online/ServiceAddress.h"

#include "platform/AppPaths.h"

#include <QSettings>
#include <QUrl>

namespace {

const char kKey[] = "Service/baseUrl";
const char kOption[] = "--service-url";

QString &commandLineAddress()
{
    static QString address;
    return address;
}

QString normalised(QString url)
{
    url = url.trimmed();
    while (url.endsWith(QLatin1Char('/')))
        url.chop(1);
    return url;
}

} // namespace

namespace ServiceAddress {

QString settingsPath()
{
    return AppPaths::dataRoot() + QStringLiteral("/system/online.ini");
}

QString configured()
{
    if (!commandLineAddress().isEmpty())
        return commandLineAddress();
    QSettings settings(settingsPath(), QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    return normalised(settings.value(QLatin1String(kKey)).toString());
}

Status check(const QString &url)
{
    if (url.isEmpty())
        return Status::NotConfigured;
    const QUrl parsed(url, QUrl::StrictMode);
    if (!parsed.isValid() || parsed.host().isEmpty())
        return Status::Invalid;
    if (parsed.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) != 0)
        return Status::NotHttps;
    return Status::Ok;
}

QString baseUrl()
{
    const QString url = configured();
    return check(url) == Status::Ok ? url : QString();
}

Status status()
{
    return check(configured());
}

void setStored(const QString &url)
{
    QSettings settings(settingsPath(), QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    settings.setAtomicSyncRequired(true);
    settings.setValue(QLatin1String(kKey), normalised(url));
    settings.sync();
}

QString optionValue(const QStringList &arguments)
{
    const QString option = QLatin1String(kOption);
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == option)
            return i + 1 < arguments.size() ? normalised(arguments.at(i + 1)) : QString();
        if (argument.startsWith(option + QLatin1Char('=')))
            return normalised(argument.mid(option.size() + 1));
    }
    return QString();
}

void setCommandLineAddress(const QString &url)
{
    commandLineAddress() = normalised(url);
}

} // namespace ServiceAddress
