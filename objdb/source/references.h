#pragma once
// The links between rows as a data source of one table sees them: the rows a row points at must
// exist and a row still pointed at cannot go. The children that go with their parent are deleted by
// the data source itself (DataSource::deleteChildren), through data sources of their own.

#include <QVariant>

namespace objdb {
struct FieldDef;
struct ReferenceDef;
} // namespace objdb

namespace objdb::source {

struct SourceScope;

class References {
public:
    explicit References(const SourceScope &scope) : m_scope(scope) {}

    // The stored OID of a reference field's value (Null stays Null); refuses a row that does not exist.
    QVariant checkedReference(const FieldDef &field, const QVariant &value) const;
    // Refuses a parent row that does not exist.
    void refuseMissingParent(qint64 parentOid) const;
    // The OID of the referenced row whose key column equals key; refuses an unknown key.
    qint64 oidOfKey(const ReferenceDef &reference, const QVariant &key) const;
    // Refuses the deletion of a row that another table's rows still point at, or that still has
    // children that do not go with it.
    void refuseIfReferenced(qint64 oid) const;

private:
    const SourceScope &m_scope;
};

} // namespace objdb::source
