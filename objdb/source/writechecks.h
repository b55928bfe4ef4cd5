#pragma once
// What a write to a data source must satisfy before it reaches the row: a field that can be
// written, a value of its type and length, a required column not left blank.

#include "objdb/viewschema.h"

#include <QVariant>

namespace objdb::source {

struct EditRow;
class References;
struct SourceScope;

class WriteChecks {
public:
    WriteChecks(const SourceScope &scope, const References &references) : m_scope(scope), m_references(references) {}

    // The field a name designates; refuses a field that cannot be written.
    FieldDef writableField(const QString &name) const;
    // The value as the row keeps it (a reference as the referenced row's OID); refuses a value that
    // does not fit the field.
    QVariant normalise(const FieldDef &field, const QVariant &value) const;
    // A row is stored only with a value in each required column, also when it was never written.
    void refuseMissingValues(const EditRow &row) const;

private:
    [[noreturn]] void refuseMissing(const ColumnDef &column) const;

    const SourceScope &m_scope;
    const References &m_references;
};

} // namespace objdb::source
