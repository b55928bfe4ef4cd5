#include "objdb/source/editrow.h"

namespace objdb::source {

EditRow EditRow::blank(const TableDef &table)
{
    EditRow row;
    row.isNew = true;
    for (const auto &c : table.columns)
        row.own.insert(c.name, QVariant());
    for (const auto &r : table.references)
        row.own.insert(r.name, QVariant());
    if (!table.identity.ParentTable.isEmpty())
        row.own.insert(table.parentLinkColumn(), QVariant());
    return row;
}

void EditRow::assign(const FieldDef &field, const QVariant &value, bool byUser)
{
    switch (field.origin) {
    case FieldDef::Origin::Own:
    case FieldDef::Origin::Reference:
        own.insert(field.column, value);
        dirtyOwn.insert(field.column);
        if (byUser)
            userOwn.insert(field.column);
        break;
    case FieldDef::Origin::Parent:
        if (parentOid) {
            parent.insert(field.column, value);
            dirtyParent.insert(field.column);
            if (byUser)
                userParent.insert(field.column);
        }
        break;
    default:
        break;
    }
}

void EditRow::setParentLink(const QString &linkColumn, qint64 linkedOid)
{
    own.insert(linkColumn, linkedOid ? QVariant(linkedOid) : QVariant());
    dirtyOwn.insert(linkColumn);
}

void EditRow::clearParent()
{
    parent.clear();
    parentRead.clear();
    dirtyParent.clear();
    userParent.clear();
    parentOid = 0;
}

} // namespace objdb::source
