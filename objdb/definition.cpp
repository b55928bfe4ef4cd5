#include "objdb/definition.h"

#include "objdb/error.h"
#include "objdb/sqldialect.h"

namespace objdb {

namespace {

void checkIdentifier(const QString &name)
{
    if (!SqlDialect::isValidIdentifier(name))
        fail(QStringLiteral("Nome non valido nella definizione: '%1'.").arg(name));
}

} // namespace

void ColumnCollection::AddColumn(const QString &name, int type, int length, ColumnOptions options)
{
    checkIdentifier(name);
    m_items.append({name, type, length, options});
}

void IndexCollection::AddIndex(const QString &column, bool unique, const QString &name)
{
    checkIdentifier(column);
    if (!name.isEmpty())
        checkIdentifier(name);
    m_items.append({column, unique, name});
}

void ReferenceCollection::AddReference(const QString &name, const QString &table, const QString &keyColumn,
                                       const QString &displayColumn, bool hidden)
{
    for (const auto &n : {name, table, keyColumn, displayColumn})
        checkIdentifier(n);
    m_items.append({name, table, keyColumn, displayColumn, hidden});
}

const TableDef *findTableDef(const QList<TableDef> &tables, const QString &name)
{
    for (const auto &d : tables)
        if (d.name.compare(name, Qt::CaseInsensitive) == 0)
            return &d;
    return nullptr;
}

const ColumnDef *TableDef::column(const QString &columnName) const
{
    for (const auto &c : columns)
        if (c.name.compare(columnName, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

const ReferenceDef *TableDef::reference(const QString &referenceName) const
{
    for (const auto &r : references)
        if (r.name.compare(referenceName, Qt::CaseInsensitive) == 0)
            return &r;
    return nullptr;
}

QString TableDef::parentLinkColumn() const
{
    return identity.ParentTable.isEmpty() ? QString() : QStringLiteral("OID_") + identity.ParentTable;
}

} // namespace objdb
