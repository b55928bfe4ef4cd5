#include "objdb/relations/relations.h"

#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/definition.h"
#include "objdb/error.h"
#include "objdb/sqldialect.h"

#include <QSqlQuery>

namespace objdb::Relations {

namespace {

const QString kNotNow = QStringLiteral("Operazione non abilitata in questa fase");

QString quoted(const QString &name)
{
    return SqlDialect::quoteIdentifier(name);
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The view's table and its parents, nearest first; a parent already met ends the chain.
QList<const TableDef *> chainOf(const DataContext &context, const TableDef &table)
{
    QList<const TableDef *> chain{&table};
    while (const TableDef *parent = context.tableDef(chain.last()->identity.ParentTable)) {
        if (chain.contains(parent))
            break;
        chain.append(parent);
    }
    return chain;
}

bool hasRows(const Database &db, const QString &table)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT EXISTS(SELECT 1 FROM %1)").arg(quoted(table)));
    return q.next() && q.value(0).toBool();
}

// A stored column of one row; Null when the row or its value is missing.
QVariant storedValue(const Database &db, const QString &table, const QString &column, qint64 oid)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT %1 FROM %2 WHERE OID = ?").arg(quoted(column), quoted(table)), {oid});
    return q.next() ? q.value(0) : QVariant();
}

QString oidCriterion(const QString &field, const QVariant &oid)
{
    return oid.isNull() ? Table::NoRowsCriterion() : field + QStringLiteral(" = ") + QString::number(oid.toLongLong());
}

} // namespace

QList<Relation> Numbered(const DataSource &ds)
{
    const DataContext &context = *ds.context();
    const auto db = context.database();
    const QList<const TableDef *> chain = chainOf(context, ds.tableDef());
    QList<Relation> relations;
    auto add = [&](Relation r, RelationKind kind, int depth) {
        r.kind = kind;
        r.depth = depth;
        r.sourceTable = chain.at(depth)->name;
        r.SourceCaption = chain.at(depth)->caption();
        relations.append(r);
    };

    for (int depth = 0; depth < chain.size(); ++depth) {
        for (const ReferenceDef &ref : chain.at(depth)->references) {
            const TableDef *target = context.tableDef(ref.table);
            if (ref.hidden || !target)
                continue;
            Relation r;
            r.Name = ref.name;
            r.RelatedTable = target->name;
            r.TableCaption = target->caption();
            r.Description = ref.name + QStringLiteral(" (") + target->caption() + QLatin1Char(')');
            r.Usable = hasRows(*db, target->name);
            add(r, RelationKind::References, depth);
        }
    }
    for (int depth = 0; depth < chain.size(); ++depth) {
        const TableDef &table = *chain.at(depth);
        const TableDef *cameFrom = depth > 0 ? chain.at(depth - 1) : nullptr;
        for (const TableDef &holder : context.tableDefs()) {
            for (const ReferenceDef &ref : holder.references) {
                if (ref.hidden || !sameName(ref.table, table.name))
                    continue;
                Relation r;
                r.Name = ref.name;
                r.RelatedTable = holder.name;
                r.TableCaption = holder.caption();
                r.Description = ref.name + QStringLiteral(" (") + holder.caption() + QLatin1Char(')');
                r.Usable = hasRows(*db, holder.name);
                r.Plural = true;
                add(r, RelationKind::Referencing, depth);
            }
            if (&holder == cameFrom || !sameName(holder.identity.ParentTable, table.name))
                continue;
            Relation r;
            r.Name = table.name;
            r.RelatedTable = holder.name;
            r.TableCaption = holder.caption();
            r.Description = table.caption() + QStringLiteral(" (") + holder.caption() + QLatin1Char(')');
            r.Usable = hasRows(*db, holder.name);
            r.Plural = true;
            r.parentLink = true;
            add(r, RelationKind::Referencing, depth);
        }
    }
    for (int depth = 0; depth + 1 < chain.size(); ++depth) {
        const TableDef &parent = *chain.at(depth + 1);
        Relation r;
        r.Name = parent.name;
        r.RelatedTable = parent.name;
        r.TableCaption = parent.caption();
        r.Description = parent.name + QStringLiteral(" (") + parent.caption() + QLatin1Char(')');
        r.Usable = hasRows(*db, chain.at(depth)->name);
        r.Plural = true;
        add(r, RelationKind::Containers, depth);
    }
    return relations;
}

std::optional<Relation> RelationByNumber(const DataSource &ds, int n)
{
    const QList<Relation> relations = Numbered(ds);
    if (n < 1 || n > relations.size())
        return std::nullopt;
    return relations.at(n - 1);
}

bool CanNavigate(const DataSource &ds)
{
    return !ds.IsEmpty() && ds.Bookmark() != 0 && !ds.isDirty();
}

std::shared_ptr<DataSource> RelatedDataSource(const DataSource &ds, const Relation &relation)
{
    if (!CanNavigate(ds))
        fail(kNotNow);
    DataContext &context = *ds.context();
    const auto db = context.database();
    const QList<const TableDef *> chain = chainOf(context, ds.tableDef());
    if (relation.depth < 0 || relation.depth >= chain.size() || !sameName(chain.at(relation.depth)->name, relation.sourceTable))
        fail(QStringLiteral("La relazione %1 non appartiene alla tabella %2.").arg(relation.Name, ds.TableName()));

    // The row the relation starts from: the current row, or its parent's, its parent's parent's...
    QVariant oid = ds.Bookmark();
    for (int depth = 1; depth <= relation.depth && !oid.isNull(); ++depth)
        oid = storedValue(*db, chain.at(depth - 1)->name, chain.at(depth - 1)->parentLinkColumn(), oid.toLongLong());

    const TableDef &source = *chain.at(relation.depth);
    QString table;
    QString criterion;
    switch (relation.kind) {
    case RelationKind::References:
        table = relation.RelatedTable;
        criterion = oidCriterion(QStringLiteral("OID"),
                                 oid.isNull() ? QVariant() : storedValue(*db, source.name, relation.Name, oid.toLongLong()));
        break;
    case RelationKind::Referencing: {
        table = relation.RelatedTable;
        const TableDef *holder = context.tableDef(table);
        criterion = relation.parentLink ? oidCriterion(holder->parentLinkColumn(), oid)
                                        : oidCriterion(relation.Name + QStringLiteral(".OID"), oid);
        break;
    }
    case RelationKind::Containers:
        table = source.name;
        criterion = oidCriterion(source.parentLinkColumn(),
                                 oid.isNull() ? QVariant() : storedValue(*db, source.name, source.parentLinkColumn(), oid.toLongLong()));
        break;
    }
    OpenOptions options;
    options.readOnly = true;
    return context.Tables().Item(table).OpenDataSource(criterion, QString(), options);
}

} // namespace objdb::Relations
