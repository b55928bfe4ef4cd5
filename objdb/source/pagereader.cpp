#include "objdb/source/pagereader.h"

#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/source/currencydisplay.h"
#include "objdb/source/sourcescope.h"
#include "objdb/source/viewclauses.h"
#include "objdb/statementcache.h"

#include <QHash>

namespace objdb::source {

namespace {

constexpr int kPageSize = 200;

// Leaves the statement's loop when the reader has had enough; the statement is reset on the way out.
struct ReadingStopped {};

QString placeholders(qsizetype count)
{
    QStringList marks;
    for (qsizetype i = 0; i < count; ++i)
        marks.append(QStringLiteral("?"));
    return marks.join(QStringLiteral(", "));
}

// The visible fields of a row being stepped, as stored, its SELECT list starting at column offset.
QVariantList typedValues(const FieldSet &set, const StoredRow &stored, int offset)
{
    QVariantList values;
    values.reserve(set.fields.size());
    for (int i = 0; i < set.fields.size(); ++i) {
        const int column = set.columnOf.at(i);
        const int first = set.firstFieldOf.at(column);
        if (first < i)
            values.append(values.at(first)); // the same column under another name
        else
            values.append(stored.typedValue(offset + column, set.fields.at(i).type));
    }
    return values;
}

QList<QVariantList> readFirstRows(const ViewCopy &view, Database &db, StatementCache &statements, int count)
{
    const ViewClauses &clauses = view.clauses;
    const query::Sql &where = clauses.where();
    const QString orderBy = clauses.orderBy();
    const QString columns = QStringLiteral("SELECT ") + view.fieldSet->selectColumns.join(QStringLiteral(", "));
    const QString &from = view.schema->fromClause();
    const QString table = clauses.keyFrom(where.text + orderBy);
    // The count is bound, so that every first screen of a view shares one prepared statement.
    QString sql;
    QVariantList binds = view.fieldSet->binds;
    if (table != from && from.startsWith(table) && !clauses.orderFollowsAnIndex()) {
        // The condition and the order name the table's own columns only, and no index gives that
        // order: the first rows are chosen from the table alone and only they are joined. Joined
        // first, every row would be joined before the sort.
        sql = columns + QStringLiteral(" FROM (SELECT * FROM ") + table + where.text + orderBy + QStringLiteral(" LIMIT ?) AS t0")
              + from.mid(table.size()) + orderBy;
    } else {
        sql = columns + QStringLiteral(" FROM ") + from + where.text + orderBy + QStringLiteral(" LIMIT ?");
    }
    binds += where.binds + QVariantList{count};
    QList<QVariantList> rows;
    rows.reserve(qBound(0, count, 256)); // a first screen; larger counts grow as read
    statements.select(db, sql, binds, [&](const StoredRow &stored) { rows.append(typedValues(*view.fieldSet, stored, 0)); });
    return rows;
}

int countRowsOf(const ViewClauses &clauses, Database &db, StatementCache &statements, int limit)
{
    const query::Sql &where = clauses.where();
    const QString sql = QStringLiteral("SELECT COUNT(*) FROM (SELECT 1 FROM ") + clauses.keyFrom(where.text) + where.text
                        + QStringLiteral(" LIMIT ?) AS counted");
    int rows = 0;
    statements.select(db, sql, where.binds + QVariantList{limit}, [&](const StoredRow &stored) { rows = stored.value(0).toInt(); });
    return rows;
}

} // namespace

FirstScreen ViewCopy::readFirstScreen(Database &db, StatementCache &statements, int rows, int countLimit) const
{
    FirstScreen screen;
    screen.rows = readFirstRows(*this, db, statements, rows);
    screen.counted = int(screen.rows.size()) < rows ? int(screen.rows.size()) : countRowsOf(clauses, db, statements, countLimit);
    return screen;
}

QVariantList PageReader::storedValues(const StoredRow &stored, int offset) const
{
    QVariantList values = typedValues(*m_scope.fieldSet, stored, offset);
    if (m_currency.converts())
        for (int i = 0; i < values.size(); ++i)
            values[i] = m_currency.present(m_scope.fieldSet->fields.at(i), values.at(i));
    return values;
}

ViewCopy PageReader::copy() const
{
    return {m_scope.schema, m_scope.fieldSet, m_clauses};
}

void PageReader::present(QList<QVariantList> &rows) const
{
    if (!m_currency.converts())
        return;
    const QList<FieldDef> &fields = m_scope.fieldSet->fields;
    for (QVariantList &row : rows)
        for (int i = 0; i < row.size(); ++i)
            row[i] = m_currency.present(fields.at(i), row.at(i));
}

QList<QVariantList> PageReader::fetchRows(const QList<qint64> &oids) const
{
    QList<QVariantList> rows;
    rows.reserve(oids.size());
    const FieldSet &set = *m_scope.fieldSet;
    const QString columns = QStringLiteral("t0.OID, ") + set.selectColumns.join(QStringLiteral(", "));
    const auto db = m_scope.database();
    for (qsizetype start = 0; start < oids.size(); start += kPageSize) {
        const QList<qint64> page = oids.mid(start, kPageSize);
        QVariantList binds = set.binds;
        for (const qint64 oid : page)
            binds.append(oid);
        // A grid asks for whole pages, so that a few statements serve every page of a view.
        const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE t0.OID IN (%3)")
                                .arg(columns, m_scope.schema->fromClause(), placeholders(page.size()));
        QHash<qint64, QVariantList> byKey;
        byKey.reserve(page.size());
        m_scope.context->statements().select(*db, sql, binds, [&](const StoredRow &stored) {
            byKey.insert(stored.integer(0), storedValues(stored, 1));
        });
        for (const qint64 oid : page)
            rows.append(byKey.value(oid));
    }
    return rows;
}

QList<QVariantList> PageReader::firstRows(int count) const
{
    QList<QVariantList> rows = readFirstRows(copy(), *m_scope.database(), m_scope.context->statements(), count);
    present(rows);
    return rows;
}

int PageReader::countRows(int limit) const
{
    return countRowsOf(m_clauses, *m_scope.database(), m_scope.context->statements(), limit);
}

void PageReader::readPages(int pageSize, const std::function<bool(const QList<QVariantList> &)> &onPage) const
{
    pageSize = qMax(1, pageSize);
    const query::Sql &where = m_clauses.where();
    const QString sql = QStringLiteral("SELECT ") + m_scope.fieldSet->selectColumns.join(QStringLiteral(", "))
                        + QStringLiteral(" FROM ") + m_scope.schema->fromClause() + where.text + m_clauses.orderBy();
    QList<QVariantList> page;
    page.reserve(pageSize);
    const auto db = m_scope.database();
    try {
        m_scope.context->statements().select(*db, sql, m_scope.fieldSet->binds + where.binds, [&](const StoredRow &stored) {
            page.append(storedValues(stored, 0));
            if (page.size() < pageSize)
                return;
            const bool more = onPage(page);
            page.clear();
            if (!more)
                throw ReadingStopped{};
        });
    } catch (const ReadingStopped &) {
        return;
    }
    if (!page.isEmpty())
        onPage(page);
}

} // namespace objdb::source
