#include "objdb/source/keysetcursor.h"

#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/source/sourcescope.h"
#include "objdb/source/viewclauses.h"
#include "objdb/sqldialect.h"
#include "objdb/statementcache.h"

#include <QHash>
#include <QSqlQuery>

namespace objdb::source {

const QList<qint64> &KeysetCursor::keys()
{
    if (!m_keysValid) {
        const query::Sql &where = m_clauses.where();
        const QString clauses = where.text + m_clauses.orderBy();
        const QString sql = QStringLiteral("SELECT t0.OID FROM ") + m_clauses.keyFrom(clauses) + clauses;
        QList<qint64> keys;
        m_scope.context->statements().select(*m_scope.database(), sql, where.binds,
                                             [&](const StoredRow &row) { keys.append(row.integer(0)); });
        m_keys = std::move(keys);
        m_keysValid = true;
    }
    return m_keys;
}

void KeysetCursor::invalidate()
{
    m_keysValid = false;
    m_keys.clear();
}

void KeysetCursor::restart()
{
    m_firstPending = true;
    m_position = 0;
}

void KeysetCursor::locate(std::optional<qint64> current)
{
    if (m_position != kUnknown)
        return;
    const auto &k = keys();
    m_position = current ? int(k.indexOf(*current)) : -1;
    if (current && m_position < 0)
        m_position = int(k.size()); // the row left the selection
}

std::optional<qint64> KeysetCursor::firstKey() const
{
    const query::Sql &where = m_clauses.where();
    QSqlQuery q = m_scope.database()->exec(QStringLiteral("SELECT t0.OID FROM ") + m_scope.schema->fromClause() + where.text
                                               + m_clauses.orderBy() + SqlDialect::sqlite().limitClause(1),
                                           where.binds);
    if (q.next())
        return q.value(0).toLongLong();
    return std::nullopt;
}

bool KeysetCursor::isEmpty() const
{
    const query::Sql &where = m_clauses.where();
    QSqlQuery q = m_scope.database()->exec(QStringLiteral("SELECT 1 FROM ") + m_scope.schema->fromClause() + where.text
                                               + SqlDialect::sqlite().limitClause(1),
                                           where.binds);
    return !q.next();
}

std::optional<qint64> KeysetCursor::moveFirst()
{
    const auto &k = keys();
    m_firstPending = false;
    m_position = 0;
    if (k.isEmpty())
        return std::nullopt;
    return k.first();
}

std::optional<qint64> KeysetCursor::moveNext(std::optional<qint64> current)
{
    locate(current);
    const auto &k = keys();
    if (m_position < k.size())
        ++m_position;
    if (m_position < k.size())
        return k.at(m_position);
    return std::nullopt;
}

bool KeysetCursor::atBOF(std::optional<qint64> current)
{
    if (m_firstPending)
        return isEmpty();
    locate(current);
    return m_position < 0 || keys().isEmpty();
}

bool KeysetCursor::atEOF(std::optional<qint64> current)
{
    if (m_firstPending)
        return isEmpty();
    locate(current);
    return m_position >= keys().size();
}

std::optional<qint64> KeysetCursor::findFirst(const QString &criterion) const
{
    const query::Sql where = m_clauses.whereAlso(criterion);
    QSqlQuery q = m_scope.database()->exec(QStringLiteral("SELECT t0.OID FROM ") + m_scope.schema->fromClause() + where.text
                                               + m_clauses.orderBy() + SqlDialect::sqlite().limitClause(1),
                                           where.binds);
    if (q.next())
        return q.value(0).toLongLong();
    return std::nullopt;
}

std::optional<qint64> KeysetCursor::find(const QString &criterion, std::optional<qint64> current, bool afterCurrent)
{
    const query::Sql where = m_clauses.whereAlso(criterion);
    QSqlQuery q = m_scope.database()->exec(
        QStringLiteral("SELECT t0.OID FROM ") + m_scope.schema->fromClause() + where.text + m_clauses.orderBy(), where.binds);
    QList<qint64> matches;
    while (q.next())
        matches.append(q.value(0).toLongLong());
    if (matches.isEmpty())
        return std::nullopt;
    if (!afterCurrent || !current)
        return matches.first();
    locate(current);
    const auto &k = keys();
    QHash<qint64, int> index;
    for (int i = 0; i < k.size(); ++i)
        index.insert(k.at(i), i);
    for (const qint64 oid : std::as_const(matches))
        if (index.value(oid, -1) > m_position)
            return oid;
    return std::nullopt;
}

} // namespace objdb::source
