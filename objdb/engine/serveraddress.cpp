#include "objdb/engine/serveraddress.h"

#include <QHash>
#include <QMutex>
#include <QUrl>

namespace objdb {

namespace {

const QString kScheme = QStringLiteral("postgresql");

// Passwords of this run, by the URI they open, and the application name; connections are opened
// on several threads.
QMutex settingsMutex;
QHash<QString, QString> &passwords()
{
    static QHash<QString, QString> byUri;
    return byUri;
}

QString &applicationName()
{
    static QString name;
    return name;
}

} // namespace

QString ServerAddress::uri() const
{
    QUrl url;
    url.setScheme(kScheme);
    url.setUserName(user);
    url.setHost(host);
    url.setPort(port);
    url.setPath(QLatin1Char('/') + database);
    return url.toString(QUrl::FullyEncoded);
}

std::optional<ServerAddress> ServerAddress::fromUri(const QString &uri)
{
    const QUrl url(uri, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != kScheme || url.host().isEmpty() || !url.password().isEmpty()
        || url.hasQuery() || url.hasFragment())
        return std::nullopt;
    ServerAddress address;
    address.host = url.host();
    address.port = url.port(5432);
    address.user = url.userName();
    address.database = url.path().mid(1);
    if (address.database.isEmpty() || address.database.contains(QLatin1Char('/')))
        return std::nullopt;
    return address;
}

QString ServerAddress::caption() const
{
    return QStringLiteral("%1 su %2:%3").arg(database, host).arg(port);
}

bool isServerAddress(const QString &archive)
{
    return archive.startsWith(kScheme + QStringLiteral("://"));
}

void setServerPassword(const ServerAddress &address, const QString &password)
{
    const QMutexLocker lock(&settingsMutex);
    if (password.isEmpty())
        passwords().remove(address.uri());
    else
        passwords().insert(address.uri(), password);
}

QString serverPassword(const ServerAddress &address)
{
    const QMutexLocker lock(&settingsMutex);
    return passwords().value(address.uri());
}

void setServerApplicationName(const QString &name)
{
    const QMutexLocker lock(&settingsMutex);
    applicationName() = name;
}

QString serverApplicationName()
{
    const QMutexLocker lock(&settingsMutex);
    return applicationName();
}

} // namespace objdb
