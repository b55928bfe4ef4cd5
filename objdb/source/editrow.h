#pragma once
// The current row of a data source as it is being edited: its values and its parent's, what was
// read from the archive, and which columns were written since, by the user or by the rules.

#include "objdb/viewschema.h"

#include <QHash>
#include <QSet>
#include <QVariant>

namespace objdb::source {

struct EditRow {
    qint64 oid = 0;
    bool isNew = false;
    QHash<QString, QVariant> own;        // own columns, references (OIDs) and the parent link
    QHash<QString, QVariant> parent;     // the parent row's columns
    QHash<QString, QVariant> ownRead;    // own as read from the archive
    QHash<QString, QVariant> parentRead; // parent as read from the archive
    qint64 parentOid = 0;
    QSet<QString> dirtyOwn;
    QSet<QString> dirtyParent;
    QSet<QString> userOwn; // the dirty columns written by the user (the rest by the rules)
    QSet<QString> userParent;
    QVariantList loaded; // visible fields as read

    // A new row of the table with every stored column Null.
    static EditRow blank(const TableDef &table);
    bool isDirty() const { return isNew || !dirtyOwn.isEmpty() || !dirtyParent.isEmpty(); }
    // Writes a field; a parent column without a parent row has nothing to write to.
    void assign(const FieldDef &field, const QVariant &value, bool byUser);
    // Points the row at another parent (0 = none); its columns are read again by the caller.
    void setParentLink(const QString &linkColumn, qint64 linkedOid);
    // Forgets the parent row's values.
    void clearParent();
};

} // namespace objdb::source
