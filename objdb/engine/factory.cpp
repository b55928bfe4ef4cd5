// The one place that knows which engines exist: an archive is a SQLite file, or a database on a
// PostgreSQL server named by its URI.

#include "objdb/engine/engine.h"
#include "objdb/engine/postgres/postgresengine.h"
#include "objdb/engine/serveraddress.h"
#include "objdb/engine/sqlite/sqliteengine.h"

namespace objdb {

namespace {

const SqliteEngine &sqliteEngine()
{
    static const SqliteEngine engine;
    return engine;
}

const PostgresEngine &postgresEngine()
{
    static const PostgresEngine engine;
    return engine;
}

} // namespace

const Engine &engineFor(const QString &path)
{
    if (isServerAddress(path))
        return postgresEngine();
    return sqliteEngine();
}

} // namespace objdb
