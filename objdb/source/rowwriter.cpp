#include "objdb/source/rowwriter.h"

#include "objdb/amount.h"
#include "objdb/database.h"
#include "objdb/engine/engine.h"
#include "objdb/error.h"
#include "objdb/source/editrow.h"
#include "objdb/source/sourcescope.h"
#include "objdb/sqldialect.h"
#include "objdb/types.h"

#include <QSqlError>
#include <QSqlQuery>

namespace objdb::source {

namespace {

QString placeholders(qsizetype count)
{
    QStringList marks;
    for (qsizetype i = 0; i < count; ++i)
        marks.append(QStringLiteral("?"));
    return marks.join(QStringLiteral(", "));
}

// A unique-index refusal becomes a clear message naming column and value; any other failure of
// the engine says its cause and what to do.
void execWrite(Database &db, const TableDef &table, const QString &sql, const QVariantList &binds)
{
    QSqlQuery q = db.prepare(sql);
    for (const auto &b : binds)
        q.addBindValue(b);
    if (q.exec())
        return;
    if (const auto unique = db.uniqueRefusal(q.lastError())) {
        // Named as the definition spells them: an engine may store names in its own case.
        const bool ours = unique->table.compare(table.name, Qt::CaseInsensitive) == 0;
        const ColumnDef *column = ours ? table.column(unique->column) : nullptr;
        fail(QStringLiteral("Impossibile salvare: in %1 esiste già una riga con lo stesso valore del campo %2.")
                 .arg(ours ? table.name : unique->table, column ? column->name : unique->column));
    }
    db.failEngine(QStringLiteral("Salvataggio non riuscito in %1").arg(table.caption()), q.lastError());
}

// UPDATE of the given columns of one row.
void update(Database &db, const TableDef &table, qint64 oid, const QHash<QString, QVariant> &values,
            const QSet<QString> &columns)
{
    QStringList sets;
    QVariantList binds;
    for (const auto &name : columns) {
        const ColumnDef *c = table.column(name);
        sets.append(sqlName(name) + QStringLiteral(" = ?"));
        binds.append(toStorage(values.value(name), c ? c->type : int(TypeInteger), name));
    }
    binds.append(oid);
    execWrite(db, table,
              QStringLiteral("UPDATE %1 SET %2 WHERE OID = ?").arg(sqlName(table.name), sets.join(QStringLiteral(", "))),
              binds);
}

} // namespace

qint64 RowWriter::write(const EditRow &row) const
{
    qint64 oid = row.oid;
    if (row.isNew)
        oid = insert(row);
    else if (!row.dirtyOwn.isEmpty())
        update(*m_scope.database(), m_scope.table, row.oid, row.own, row.dirtyOwn);
    if (row.parentOid != 0 && !row.dirtyParent.isEmpty())
        update(*m_scope.database(), *m_scope.schema->parentTable(), row.parentOid, row.parent, row.dirtyParent);
    return oid;
}

qint64 RowWriter::insert(const EditRow &row) const
{
    const auto db = m_scope.database();
    const TableDef &table = m_scope.table;
    QStringList columns;
    QVariantList binds;
    for (auto it = row.own.cbegin(); it != row.own.cend(); ++it) {
        if (isNull(it.value()))
            continue;
        const ColumnDef *c = table.column(it.key());
        columns.append(sqlName(it.key()));
        binds.append(toStorage(it.value(), c ? c->type : int(TypeInteger), it.key()));
    }
    const QString sql = columns.isEmpty()
        ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(sqlName(table.name))
        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
              .arg(sqlName(table.name), columns.join(QStringLiteral(", ")), placeholders(columns.size()));
    execWrite(*db, table, sql, binds);
    return db->lastInsertedKey();
}

void RowWriter::remove(qint64 oid) const
{
    execWrite(*m_scope.database(), m_scope.table,
              QStringLiteral("DELETE FROM %1 WHERE OID = ?").arg(sqlName(m_scope.table.name)), {oid});
}

} // namespace objdb::source
