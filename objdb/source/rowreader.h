#pragma once
// Reads single rows of a data source by OID: the row being edited with its parent row, and the
// values of fields that its visible fields do not carry.

#include "objdb/source/editrow.h"

#include <optional>

namespace objdb::source {

struct SourceScope;

class RowReader {
public:
    explicit RowReader(const SourceScope &scope) : m_scope(scope) {}

    // The row with that OID (its visible fields, stored columns and parent row); nothing when gone.
    std::optional<EditRow> read(qint64 oid) const;
    // Reads the parent row's columns into the row (0 = no parent).
    void readParent(EditRow &row, qint64 parentOid) const;
    // The display or key column of the row a reference field points at, as the row now points.
    QVariant referenced(const FieldDef &field, const EditRow &row) const;
    // A joined or computed field of a stored row, not among the visible fields.
    QVariant extra(const FieldDef &field, qint64 oid) const;

private:
    const SourceScope &m_scope;
};

} // namespace objdb::source
