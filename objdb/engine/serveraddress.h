#pragma once
// An archive on a database server is named by a libpq connection URI,
// "postgresql://user@host:port/database", where a file archive is named by its path. The URI never
// holds the password: it is kept here for this run only (asked at start), or found by libpq in its
// own password file.

#include <QString>
#include <optional>

namespace objdb {

struct ServerAddress {
    QString host;
    int port = 5432;
    QString database;
    QString user;

    // The URI that names the archive; the parts percent-encoded.
    QString uri() const;
    // The parts of a URI made by uri(); nothing for a file path or a URI of another form.
    static std::optional<ServerAddress> fromUri(const QString &uri);
    // "database su host:port", for the messages that name the archive.
    QString caption() const;
    bool operator==(const ServerAddress &) const = default;
};

// Whether an archive's name is a server's URI rather than a file's path.
bool isServerAddress(const QString &archive);

// The password of the server's user for this run; an empty one leaves it to libpq's password file.
void setServerPassword(const ServerAddress &address, const QString &password);
QString serverPassword(const ServerAddress &address);

// The name this program's connections give themselves on the server (e.g. "operator@host"),
// shown to whoever waits for a lock they hold; "" leaves the driver's default.
void setServerApplicationName(const QString &name);
QString serverApplicationName();

} // namespace objdb
