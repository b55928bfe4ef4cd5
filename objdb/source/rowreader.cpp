#include "objdb/source/rowreader.h"

#include "objdb/amount.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/source/sourcescope.h"
#include "objdb/sqldialect.h"
#include "objdb/statementcache.h"
#include "objdb/types.h"

#include <QSqlQuery>

namespace objdb::source {

std::optional<EditRow> RowReader::read(qint64 oid) const
{
    const TableDef &table = m_scope.table;
    const auto &fields = m_scope.fieldSet->fields;
    QStringList columns;
    for (const auto &f : fields)
        columns.append(f.sql);
    for (const auto &c : table.columns)
        columns.append(QStringLiteral("t0.") + sqlName(c.name));
    for (const auto &r : table.references)
        columns.append(QStringLiteral("t0.") + sqlName(r.name));
    if (!table.identity.ParentTable.isEmpty())
        columns.append(QStringLiteral("t0.") + sqlName(table.parentLinkColumn()));
    QVariantList binds = m_scope.fieldSet->binds;
    binds.append(oid);
    // Through the kept statements: a row is read on every move and every search.
    std::optional<EditRow> found;
    qint64 parentOid = 0;
    m_scope.context->statements().select(
        *m_scope.database(),
        QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + m_scope.schema->fromClause()
            + QStringLiteral(" WHERE t0.OID = ?"),
        binds, [&](const StoredRow &q) {
            EditRow row;
            row.oid = oid;
            int i = 0;
            for (const auto &f : fields)
                row.loaded.append(q.typedValue(i++, f.type));
            for (const auto &c : table.columns)
                row.own.insert(c.name, q.typedValue(i++, c.type));
            for (const auto &r : table.references)
                row.own.insert(r.name, q.typedValue(i++, TypeInteger));
            if (!table.identity.ParentTable.isEmpty()) {
                const QVariant link = q.typedValue(i++, TypeInteger);
                row.own.insert(table.parentLinkColumn(), link);
                parentOid = link.isNull() ? 0 : link.toLongLong();
            }
            found = std::move(row);
        });
    if (!found)
        return std::nullopt;
    if (!table.identity.ParentTable.isEmpty())
        readParent(*found, parentOid);
    found->ownRead = found->own;
    return found;
}

void RowReader::readParent(EditRow &row, qint64 parentOid) const
{
    row.clearParent();
    const TableDef *parent = m_scope.schema->parentTable();
    if (!parent || parentOid == 0)
        return;
    QStringList columns;
    for (const auto &c : parent->columns)
        columns.append(sqlName(c.name));
    m_scope.context->statements().select(
        *m_scope.database(),
        QStringLiteral("SELECT %1 FROM %2 WHERE OID = ?").arg(columns.join(QStringLiteral(", ")), sqlName(parent->name)),
        {parentOid}, [&](const StoredRow &q) {
            row.parentOid = parentOid;
            int i = 0;
            for (const auto &c : parent->columns)
                row.parent.insert(c.name, q.typedValue(i++, c.type));
            row.parentRead = row.parent;
        });
}

QVariant RowReader::referenced(const FieldDef &field, const EditRow &row) const
{
    const ReferenceDef *ref = m_scope.table.reference(field.column);
    const QVariant oid = ref ? row.own.value(ref->name) : QVariant();
    if (!ref || isNull(oid))
        return QVariant();
    const TableDef *target = m_scope.context->tableDef(ref->table);
    const QString column = field.origin == FieldDef::Origin::Reference ? ref->displayColumn : ref->keyColumn;
    QSqlQuery q = m_scope.database()->exec(
        QStringLiteral("SELECT %1 FROM %2 WHERE OID = ?").arg(sqlName(column), sqlName(target->name)), {oid});
    return q.next() ? fromStorage(q.value(0), target->column(column)->type) : QVariant();
}

QVariant RowReader::extra(const FieldDef &field, qint64 oid) const
{
    QVariantList binds = field.origin == FieldDef::Origin::Computed ? m_scope.fieldSet->binds : QVariantList();
    binds.append(oid);
    QSqlQuery q = m_scope.database()->exec(
        QStringLiteral("SELECT %1 FROM %2 WHERE t0.OID = ?").arg(field.sql, m_scope.schema->fromClause()), binds);
    return q.next() ? fromStorage(q.value(0), field.type) : QVariant();
}

} // namespace objdb::source
