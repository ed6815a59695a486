#pragma once
#include <QString>
#include <QStringList>

// Where the vendor web service is. The base address is configuration: the key
// "Service/baseUrl" of "/system/online.ini" below the application folder, or
// the command-line option "--service-url URL", which wins. Only https
// addresses are used: the requests carry passwords and the account token.
namespace ServiceAddress {

enum class Status {
    Ok,
    NotConfigured, // no address anywhere: nothing is sent
    NotHttps,      // refused: would send secrets in clear
    Invalid,       // not a usable URL
};

// "/system/online.ini" below the application folder (kept on log-out).
QString settingsPath();

// The address as configured (option first, then the settings file), trimmed,
// without a trailing slash; empty when there is none.
QString configured();

// Whether an address may be used.
Status check(const QString &url);

// The address to send to: configured() when check() accepts it, else empty.
QString baseUrl();
// check(configured()).
Status status();

// Stores the address in the settings file.
void setStored(const QString &url);

// The value of "--service-url URL" or "--service-url=URL"; empty when absent.
QString optionValue(const QStringList &arguments);
// Sets the address given on the command line for this run (empty clears it).
void setCommandLineAddress(const QString &url);

} // namespace ServiceAddress
