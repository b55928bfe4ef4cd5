#include "objdb/source/keysetcursor.h"

#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/error.h"
#include "objdb/source/sourcescope.h"
#include "objdb/source/viewclauses.h"
#include "objdb/sqldialect.h"
#include "objdb/statementcache.h"

#include <QSqlQuery>

namespace objdb::source {

namespace {

KeyQuery keyQuery(const ViewClauses &clauses)
{
    const query::Sql &where = clauses.where();
    const QString tail = where.text + clauses.orderBy();
    return {QStringLiteral("SELECT t0.OID FROM ") + clauses.keyFrom(tail) + tail, where.binds};
}

QList<qint64> readKeys(StatementCache &statements, Database &db, const KeyQuery &query)
{
    QList<qint64> keys;
    statements.select(db, query.sql, query.binds, [&](const StoredRow &row) { keys.append(row.integer(0)); });
    return keys;
}

} // namespace

const QList<qint64> &KeysetCursor::keys()
{
    if (!m_keysValid) {
        stopReadingApart();
        m_keys = readKeys(m_scope.context->statements(), *m_scope.database(), keyQuery(m_clauses));
        m_keysValid = true;
    }
    return m_keys;
}

bool KeysetCursor::loadKeysInBackground(std::function<void()> onLoaded)
{
    if (m_keysValid)
        return false;
    const auto db = m_scope.database();
    if (!BackgroundRead::canReadApart(*db))
        return false;
    // A read that fails apart is left to the ordinary way, when the keys are next needed.
    m_background.start<QList<qint64>>(
        db->path(),
        [query = keyQuery(m_clauses)](Database &worker) {
            StatementCache statements;
            return readKeys(statements, worker, query);
        },
        [this, onLoaded = std::move(onLoaded)](QList<qint64> keys) {
            m_keys = std::move(keys);
            m_keysValid = true;
            if (onReadingApart)
                onReadingApart(false);
            onLoaded();
        },
        [this](const Error &) {
            if (onReadingApart)
                onReadingApart(false);
        });
    if (onReadingApart)
        onReadingApart(true);
    return true;
}

bool KeysetCursor::contains(qint64 oid) const
{
    const query::Sql &where = m_clauses.where();
    const QString sql = QStringLiteral("SELECT t0.OID FROM ") + m_clauses.keyFrom(where.text) + where.text
                        + (where.text.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ")) + QStringLiteral("t0.OID = ?");
    bool found = false;
    m_scope.context->statements().select(*m_scope.database(), sql, where.binds + QVariantList{oid},
                                         [&](const StoredRow &) { found = true; });
    return found;
}

void KeysetCursor::stopReadingApart()
{
    if (!m_background.running())
        return;
    m_background.stop();
    if (onReadingApart)
        onReadingApart(false);
}

void KeysetCursor::invalidate()
{
    stopReadingApart();
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
                                               + m_clauses.orderBy() + m_scope.schema->dialect().limitClause(1),
                                           where.binds);
    if (q.next())
        return q.value(0).toLongLong();
    return std::nullopt;
}

bool KeysetCursor::isEmpty() const
{
    const query::Sql &where = m_clauses.where();
    QSqlQuery q = m_scope.database()->exec(QStringLiteral("SELECT 1 FROM ") + m_scope.schema->fromClause() + where.text
                                               + m_scope.schema->dialect().limitClause(1),
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

KeyQuery KeysetCursor::findFirstQuery(const QString &criterion) const
{
    const query::Sql where = m_clauses.whereAlso(criterion);
    return {QStringLiteral("SELECT t0.OID FROM ") + m_scope.schema->fromClause() + where.text + m_clauses.orderBy()
                + m_scope.schema->dialect().limitClause(1),
            where.binds};
}

std::optional<qint64> KeysetCursor::firstKey(StatementCache &statements, Database &db, const QList<KeyQuery> &queries)
{
    std::optional<qint64> found;
    for (const KeyQuery &query : queries) {
        statements.select(db, query.sql, query.binds, [&](const StoredRow &row) {
            if (!found)
                found = row.integer(0);
        });
        if (found)
            break;
    }
    return found;
}

std::optional<qint64> KeysetCursor::findFirst(const QString &criterion) const
{
    return firstKey(m_scope.context->statements(), *m_scope.database(), {findFirstQuery(criterion)});
}

std::optional<qint64> KeysetCursor::find(const QString &criterion, std::optional<qint64> current, bool afterCurrent)
{
    return firstKey(m_scope.context->statements(), *m_scope.database(), findQueries(criterion, current, afterCurrent));
}

QList<KeyQuery> KeysetCursor::findQueries(const QString &criterion, std::optional<qint64> current, bool afterCurrent) const
{
    if (!afterCurrent || !current)
        return {findFirstQuery(criterion)};
    // The first match after the current row in the order of the rows, asked of the archive: the
    // current row's values of the order's terms bound into "comes after it" (keyset), so that a
    // search costs the same from any row and reads no key list.
    const auto &terms = m_clauses.orderTerms();
    QStringList columns;
    for (const auto &term : terms)
        columns.append(term.sql);
    const auto db = m_scope.database();
    auto &statements = m_scope.context->statements();
    const QString orderColumns = columns.join(QStringLiteral(", "));
    QVariantList here;
    statements.select(*db, QStringLiteral("SELECT ") + orderColumns + QStringLiteral(" FROM ") + m_clauses.keyFrom(orderColumns)
                               + QStringLiteral(" WHERE t0.OID = ?"),
                      {*current}, [&](const StoredRow &row) {
                          for (int i = 0; i < columns.size(); ++i)
                              here.append(row.value(i));
                      });
    if (here.isEmpty()) // the current row is gone: from the start
        return {findFirstQuery(criterion)};
    // Built from the last term (the OID, never Null) outwards: after on this term, or equal on it
    // and after on the next. SQLite sorts Null first ascending and last descending.
    QString after;
    QVariantList afterBinds;
    for (qsizetype i = terms.size() - 1; i >= 0; --i) {
        const auto &term = terms.at(i);
        const QVariant value = here.at(i);
        QString beyond, equal;
        QVariantList beyondBinds, equalBinds;
        if (value.isNull()) {
            beyond = term.descending ? QStringLiteral("1 = 0") : term.sql + QStringLiteral(" IS NOT NULL");
            equal = term.sql + QStringLiteral(" IS NULL");
        } else {
            beyond = term.descending ? QStringLiteral("(%1 < ? OR %1 IS NULL)").arg(term.sql) : term.sql + QStringLiteral(" > ?");
            beyondBinds = {value};
            equal = term.sql + QStringLiteral(" = ?");
            equalBinds = {value};
        }
        if (after.isEmpty()) {
            after = beyond;
            afterBinds = beyondBinds;
        } else {
            after = QStringLiteral("(%1 OR (%2 AND %3))").arg(beyond, equal, after);
            afterBinds = beyondBinds + equalBinds + afterBinds;
        }
    }
    // SQLite answers the OR of "after" by gathering and sorting every later row, even where an index
    // gives the order. The first term's bound, ANDed in, lets it walk the index from the current
    // row instead. Descending, the later rows also hold the Nulls at the end: asked for apart when
    // no other row follows.
    const auto &first = terms.constFirst();
    const QVariant firstValue = here.constFirst();
    QString bound;
    if (!firstValue.isNull() && terms.size() > 1)
        bound = first.sql + (first.descending ? QStringLiteral(" <= ? AND ") : QStringLiteral(" >= ? AND "));
    const query::Sql where = m_clauses.whereAlso(criterion);
    const QString whereAnd = where.text + (where.text.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND "));
    const QString orderBy = m_clauses.orderBy();
    const QString tail = orderBy + m_scope.schema->dialect().limitClause(1);
    const QString from = QStringLiteral("SELECT t0.OID FROM ") + m_clauses.keyFrom(where.text + orderBy);
    QList<KeyQuery> queries{{from + whereAnd + bound + QLatin1Char('(') + after + QLatin1Char(')') + tail,
                             where.binds + (bound.isEmpty() ? QVariantList() : QVariantList{firstValue}) + afterBinds}};
    if (!bound.isEmpty() && first.descending)
        queries.append({from + whereAnd + first.sql + QStringLiteral(" IS NULL") + tail, where.binds});
    return queries;
}

} // namespace objdb::source
