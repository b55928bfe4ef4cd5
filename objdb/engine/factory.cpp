// The one place that knows which engines exist: every archive is a SQLite file today.

#include "objdb/engine/engine.h"
#include "objdb/engine/sqlite/sqliteengine.h"

namespace objdb {

namespace {

const SqliteEngine &sqliteEngine()
{
    static const SqliteEngine engine;
    return engine;
}

} // namespace

const Engine &engineFor(const QString &)
{
    return sqliteEngine();
}

} // namespace objdb
