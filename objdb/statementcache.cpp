#include "objdb/statementcache.h"

#include "objdb/database.h"

namespace objdb {

namespace {

// Marks a statement text as being stepped, so that a nested read of the same text prepares its own.
class BusyGuard {
public:
    BusyGuard(QSet<QString> &busy, const QString &sql) : m_busy(busy), m_sql(sql), m_marked(!busy.contains(sql))
    {
        m_busy.insert(sql);
    }
    ~BusyGuard()
    {
        if (m_marked)
            m_busy.remove(m_sql);
    }
    BusyGuard(const BusyGuard &) = delete;
    BusyGuard &operator=(const BusyGuard &) = delete;

private:
    QSet<QString> &m_busy;
    const QString &m_sql;
    bool m_marked;
};

} // namespace

std::shared_ptr<EngineStatement> StatementCache::preparedStatement(Database &db, const QString &sql)
{
    QSqlDriver *driver = db.sql().driver();
    if (const Entry *cached = m_statements.object(sql)) {
        // A statement of a closed (or another) connection, or one finalized by a close, is prepared anew.
        if (driver && cached->driver == driver && cached->statement->isValid())
            return cached->statement;
        m_statements.remove(sql);
    }
    std::shared_ptr<EngineStatement> statement = db.engine().prepareSelect(sql);
    m_statements.insert(sql, new Entry{statement, driver});
    return statement;
}

void StatementCache::select(Database &db, const QString &sql, const QVariantList &binds,
                            const std::function<void(const StoredRow &)> &onRow)
{
    // Held here, the statement stays alive even if the cache drops it meanwhile.
    const std::shared_ptr<EngineStatement> statement =
        m_busy.contains(sql) ? std::shared_ptr<EngineStatement>(db.engine().prepareSelect(sql)) : preparedStatement(db, sql);
    const BusyGuard busy(m_busy, sql);
    statement->select(binds, onRow);
}

} // namespace objdb
