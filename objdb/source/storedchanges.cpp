#include "objdb/source/storedchanges.h"

#include "objdb/amount.h"
#include "objdb/database.h"
#include "objdb/error.h"
#include "objdb/source/editrow.h"
#include "objdb/source/sourcescope.h"
#include "objdb/sqldialect.h"
#include "objdb/types.h"

#include <QSqlQuery>

namespace objdb::source {

namespace {

// The written columns of one stored row (the row itself or its parent).
struct Written {
    const TableDef &table;
    qint64 oid;
    const QHash<QString, QVariant> &values;
    const QHash<QString, QVariant> &read;
    const QSet<QString> &dirty;
    const QSet<QString> &byUser;
    bool parent;
};

void compare(const SourceScope &scope, const Written &w, QList<MovedColumn> &moved)
{
    if (w.oid == 0 || w.dirty.isEmpty())
        return;
    const QStringList names(w.dirty.cbegin(), w.dirty.cend());
    QStringList columns;
    for (const QString &name : names)
        columns.append(sqlName(name));
    QSqlQuery q = scope.database()->exec(QStringLiteral("SELECT %1 FROM %2 WHERE OID = ?")
                                             .arg(columns.join(QStringLiteral(", ")),
                                                  sqlName(w.table.name)),
                                         {w.oid});
    if (!q.next())
        fail(QStringLiteral("La riga di %1 è stata eliminata da un altro utente mentre era aperta: la modifica non è stata salvata.")
                 .arg(w.table.caption()));
    for (int i = 0; i < names.size(); ++i) {
        const QString &name = names.at(i);
        const ColumnDef *c = w.table.column(name);
        const int type = c ? c->type : int(TypeInteger);
        const QVariant stored = fromStorage(q.value(i), type);
        if (toStorage(stored, type, name) == toStorage(w.read.value(name), type, name))
            continue;
        if (w.byUser.contains(name))
            fail(QStringLiteral("Il campo %1 di %2 è stato modificato da un altro utente mentre la riga era aperta: "
                                "annullare e ripetere la modifica.")
                     .arg(scope.captionOf(name), w.table.caption()));
        if (type != TypeAmount)
            continue; // the rules' own value stands
        const auto edited = toAmount(w.values.value(name));
        if (!edited)
            continue;
        const auto orZero = [](const QVariant &v) { return toAmount(v).value_or(Amount()); };
        moved.append({name, w.parent, QVariant::fromValue(orZero(stored) + (*edited - orZero(w.read.value(name))))});
    }
}

} // namespace

QList<MovedColumn> storedChanges(const SourceScope &scope, const EditRow &row)
{
    QList<MovedColumn> moved;
    if (!row.isNew)
        compare(scope, {scope.table, row.oid, row.own, row.ownRead, row.dirtyOwn, row.userOwn, false}, moved);
    if (const TableDef *parent = scope.schema->parentTable())
        compare(scope, {*parent, row.parentOid, row.parent, row.parentRead, row.dirtyParent, row.userParent, true}, moved);
    return moved;
}

} // namespace objdb::source
