#include "analytics/GAnalytics.h"

#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QDebug>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSettings>
#include <QSysInfo>
#include <QUrl>
#include <QUuid>

namespace {

const char kEnabledKey[] = "GAnalytics-enabled";
const char kUrlKey[] = "GAnalytics-url";
const char kTrackingIdKey[] = "GAnalytics-tid";
const char kClientIdKey[] = "GAnalytics-cid";
const char kUserIdKey[] = "GAnalytics-uid";

void openIni(QSettings &settings)
{
    settings.setIniCodec("UTF-8");
    settings.setAtomicSyncRequired(true);
}

} // namespace

GAnalytics::GAnalytics(QObject *parent)
    : QObject(parent)
    , m_networkManager(new QNetworkAccessManager(this))
{
    m_networkManager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    connect(m_networkManager, &QNetworkAccessManager::finished, this, &GAnalytics::postFinished);
}

QString GAnalytics::settingsPath()
{
    return AppPaths::dataRoot() + QStringLiteral("/system/mouse.ini");
}

bool GAnalytics::isEnabled()
{
    QSettings settings(settingsPath(), QSettings::IniFormat);
    openIni(settings);
    return settings.value(QLatin1String(kEnabledKey)).toInt() == 1;
}

void GAnalytics::setEnabled(bool enabled)
{
    QSettings settings(settingsPath(), QSettings::IniFormat);
    openIni(settings);
    settings.setValue(QLatin1String(kEnabledKey), enabled ? 1 : 0);
}

QString GAnalytics::collectionUrl()
{
    QSettings settings(settingsPath(), QSettings::IniFormat);
    openIni(settings);
    QString address = settings.value(QLatin1String(kUrlKey)).toString().trimmed();
    while (address.endsWith(QLatin1Char('/')))
        address.chop(1);
    const QUrl url(address, QUrl::StrictMode);
    if (address.isEmpty() || !url.isValid() || url.host().isEmpty()
        || url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) != 0)
        return QString();
    if (!address.endsWith(QLatin1String("/collect")))
        address += QStringLiteral("/collect");
    return address;
}

void GAnalytics::setCollectionAddress(const QString &address)
{
    QSettings settings(settingsPath(), QSettings::IniFormat);
    openIni(settings);
    settings.setValue(QLatin1String(kUrlKey), address);
}

bool GAnalytics::isSending()
{
    return isEnabled() && !collectionUrl().isEmpty();
}

QString GAnalytics::userAgent()
{
    return QStringLiteral("%1/%2 (%3; %4) GAnalytics/1.0 (Qt/%5)")
        .arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion(),
             QSysInfo::prettyProductName(), QLocale::system().name(), QLatin1String(qVersion()));
}

// An identifier made once, on the first hit that is sent, and kept.
QString GAnalytics::identifier(const char *key)
{
    QSettings settings(settingsPath(), QSettings::IniFormat);
    openIni(settings);
    QString id = settings.value(QLatin1String(key)).toString();
    if (id.isEmpty()) {
        id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        settings.setValue(QLatin1String(key), id);
    }
    return id;
}

void GAnalytics::sendScreenView(const QString &screenName)
{
    QUrlQuery hit;
    hit.addQueryItem(QStringLiteral("t"), QStringLiteral("screenview"));
    hit.addQueryItem(QStringLiteral("cd"), screenName);
    enqueue(hit);
}

void GAnalytics::sendEvent(const QString &category, const QString &action, const QString &label)
{
    QUrlQuery hit;
    hit.addQueryItem(QStringLiteral("t"), QStringLiteral("event"));
    hit.addQueryItem(QStringLiteral("ec"), category);
    hit.addQueryItem(QStringLiteral("ea"), action);
    if (!label.isEmpty())
        hit.addQueryItem(QStringLiteral("el"), label);
    enqueue(hit);
}

void GAnalytics::slot_SendEventMessageToGA(QString category, QString action, QString Label, QString viewScreen)
{
    if (!viewScreen.isEmpty())
        sendScreenView(viewScreen);
    sendEvent(category, action, Label);
}

void GAnalytics::enqueue(QUrlQuery hit)
{
    // Without consent nothing is collected, not even in memory.
    if (!isSending())
        return;
    QSettings settings(settingsPath(), QSettings::IniFormat);
    openIni(settings);
    QUrlQuery full;
    full.addQueryItem(QStringLiteral("v"), QStringLiteral("1"));
    full.addQueryItem(QStringLiteral("tid"), settings.value(QLatin1String(kTrackingIdKey)).toString());
    full.addQueryItem(QStringLiteral("cid"), identifier(kClientIdKey));
    full.addQueryItem(QStringLiteral("uid"), identifier(kUserIdKey));
    full.addQueryItem(QStringLiteral("an"), QCoreApplication::applicationName());
    full.addQueryItem(QStringLiteral("av"), QCoreApplication::applicationVersion());
    full.addQueryItem(QStringLiteral("ul"), QLocale::system().name().toLower().replace(QLatin1Char('_'), QLatin1Char('-')));
    for (const auto &item : hit.queryItems(QUrl::FullyDecoded))
        full.addQueryItem(item.first, item.second);
    if (m_queue.size() >= kMaxQueued)
        m_queue.dequeue();
    m_queue.enqueue(full);
    postNext();
}

void GAnalytics::postNext()
{
    if (m_posting || m_queue.isEmpty())
        return;
    const QString url = collectionUrl();
    // Consent withdrawn or address removed while hits waited: they go unsent.
    if (!isEnabled() || url.isEmpty()) {
        m_queue.clear();
        return;
    }
    QNetworkRequest request{QUrl(url)};
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    request.setTransferTimeout(30000);
    m_posting = true;
    m_networkManager->post(request, m_queue.head().toString(QUrl::FullyEncoded).toUtf8());
}

void GAnalytics::postFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    m_posting = false;
    const bool ok = reply->error() == QNetworkReply::NoError;
    if (!ok)
        qDebug() << "GAnalytics hit not sent" << int(reply->error());
    // A hit the collector could not take is dropped: statistics are not worth a backlog.
    if (!m_queue.isEmpty())
        m_queue.dequeue();
    emit hitSent(ok);
    postNext();
}
