#pragma once
// The statements that store a data source's rows: INSERT or UPDATE of the row being saved and
// UPDATE of its parent, DELETE of a row. Every value is bound; a unique-index refusal throws a
// message naming the column.

#include <QtGlobal>

namespace objdb::source {

struct EditRow;
struct SourceScope;

class RowWriter {
public:
    explicit RowWriter(const SourceScope &scope) : m_scope(scope) {}

    // Stores the row's written columns and its parent's; returns the row's OID (a new one's too).
    qint64 write(const EditRow &row) const;
    void remove(qint64 oid) const;

private:
    qint64 insert(const EditRow &row) const;

    const SourceScope &m_scope;
};

} // namespace objdb::source
