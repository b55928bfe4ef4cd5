#pragma once
// The database server of one test program: with COBRELLE_TEST_ENGINE=postgres every test archive is
// a fresh database on a private PostgreSQL cluster, laid down in a temporary folder on first use,
// listening on 127.0.0.1 only, stopped and removed when the program ends. So the same tests run on
// both engines.

#include <QString>

namespace TestSupport {

// Whether this run's archives are server databases rather than files.
bool serverArchives();

// A new empty database (UTF8) on the test server, as an archive's URI.
QString newServerArchive();
// Removes an archive made by newServerArchive, whoever is still connected to it.
void dropServerArchive(const QString &uri);

} // namespace TestSupport
