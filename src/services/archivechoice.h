#pragma once
// Where this desk keeps its archive: a file in the working directory, or a database on a server.
// Kept per desk in the settings store (group "Configuration"); the server's password never is.

#include "objdb/engine/serveraddress.h"

#include <QString>

enum class ArchiveKind { File, Server };

struct ArchiveChoice {
    ArchiveKind kind = ArchiveKind::File;
    objdb::ServerAddress server;
    bool operator==(const ArchiveChoice &) const = default;
};

// The choice stored; a desk that never chose keeps its archive in a file.
ArchiveChoice ReadArchiveChoice();
void WriteArchiveChoice(const ArchiveChoice &choice);

// What is wrong with the parts of a server address, in Italian; "" when they can name an archive.
QString ServerAddressProblem(const QString &host, const QString &port, const QString &database);
