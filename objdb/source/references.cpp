#include "objdb/source/references.h"

#include "objdb/amount.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/error.h"
#include "objdb/source/sourcescope.h"
#include "objdb/sqldialect.h"
#include "objdb/types.h"

#include <QSqlQuery>

namespace objdb::source {

namespace {

bool rowExists(const SourceScope &scope, const QString &table, qint64 oid)
{
    return scope.database()->exec(QStringLiteral("SELECT 1 FROM %1 WHERE OID = ?").arg(sqlName(table)), {oid}).next();
}

// Whether any row of the table has the value in the column.
bool anyRowWith(Database &db, const QString &table, const QString &column, qint64 oid)
{
    return db.exec(QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ? LIMIT 1").arg(sqlName(table), sqlName(column)), {oid})
        .next();
}

} // namespace

QVariant References::checkedReference(const FieldDef &field, const QVariant &value) const
{
    if (isNull(value))
        return QVariant();
    const QVariant oid = toStorage(value, TypeInteger, field.name);
    const ReferenceDef *ref = m_scope.table.reference(field.column);
    if (!rowExists(m_scope, ref->table, oid.toLongLong()))
        fail(QStringLiteral("Il valore scelto per %1 non esiste in %2.").arg(field.name, ref->table));
    return oid;
}

void References::refuseMissingParent(qint64 parentOid) const
{
    const TableDef *parent = m_scope.schema->parentTable();
    if (!rowExists(m_scope, parent->name, parentOid))
        fail(QStringLiteral("La riga scelta come contenitore non esiste in %1.").arg(parent->caption()));
}

qint64 References::oidOfKey(const ReferenceDef &reference, const QVariant &key) const
{
    const TableDef *target = m_scope.context->tableDef(reference.table);
    const ColumnDef *keyColumn = target->column(reference.keyColumn);
    QSqlQuery q = m_scope.database()->exec(
        QStringLiteral("SELECT OID FROM %1 WHERE %2 = ?").arg(sqlName(target->name), sqlName(keyColumn->name)),
        {toStorage(key, keyColumn->type, keyColumn->name)});
    if (!q.next())
        fail(QStringLiteral("Il codice %1 non esiste in %2.").arg(key.toString(), target->caption()));
    return q.value(0).toLongLong();
}

void References::refuseIfReferenced(qint64 oid) const
{
    const auto db = m_scope.database();
    const TableDef &table = m_scope.table;
    for (const auto &other : m_scope.context->tableDefs()) {
        for (const auto &ref : other.references)
            if (ref.table.compare(table.name, Qt::CaseInsensitive) == 0 && anyRowWith(*db, other.name, ref.name, oid))
                fail(QStringLiteral("Impossibile eliminare la riga: è ancora usata in %1.").arg(other.caption()));
        if (other.identity.ParentTable.compare(table.name, Qt::CaseInsensitive) == 0
            && !other.identity.DeleteChildrenWithParent && anyRowWith(*db, other.name, other.parentLinkColumn(), oid))
            fail(QStringLiteral("Impossibile eliminare la riga: contiene ancora righe di %1.").arg(other.caption()));
    }
}

} // namespace objdb::source
