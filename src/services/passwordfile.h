#pragma once
// The password file of the PostgreSQL client library, where a desk remembers the password of its
// server archive: the file named by PGPASSFILE, else ~/.pgpass. One line per server account,
// "host:port:database:user:password", ':' and '\' escaped with '\'; the client library reads it
// only when nobody but its owner can, so it is written with mode 0600. The program's own settings
// never hold the password.

#include "objdb/engine/serveraddress.h"

#include <QString>

namespace PasswordFile {

QString path();
// The line that gives the password of the address's account.
QString line(const objdb::ServerAddress &address, const QString &password);
// Writes the password of the address's account, replacing a line of the same account and keeping
// every other; the file is replaced whole or not at all. False, with the reason in *error, when it
// cannot be written.
bool remember(const objdb::ServerAddress &address, const QString &password, QString *error);
// Removes the line of the address's account, if any; false with the reason when the file cannot be
// rewritten.
bool forget(const objdb::ServerAddress &address, QString *error);
// Whether the client library finds a password for the address in the file (a '*' field matches
// anything).
bool holds(const objdb::ServerAddress &address);

} // namespace PasswordFile
