#pragma once
// The WHERE and ORDER BY of a data source: rendered from its opening condition, filter, selection
// and sort when one of them changes, and kept. Nothing else can change them: the fields of a data
// source are fixed.

#include "objdb/query/criterion.h"
#include "objdb/viewschema.h"

#include <memory>

namespace objdb::source {

class ViewClauses {
public:
    // Malformed conditions and unknown fields are refused here, when the data source opens.
    ViewClauses(std::shared_ptr<const ViewSchema> schema, std::shared_ptr<const FieldSet> fields, QString baseFilter,
                const QString &order);

    const QString &baseFilter() const { return m_baseFilter; }
    const QString &filter() const { return m_filter; }
    const QString &sort() const { return m_sort; }
    // The first index's column, "" without indexes.
    QString defaultSort() const;

    // Each change renders at once; a refused text leaves every clause as it was.
    void setFilter(const QString &criterion);
    void setSort(const QString &order); // "" = the default sort
    // A candidate list's restriction: the filter ANDed, the order (when given) replacing the sort.
    void setSelection(const QString &filter, const QString &order);

    // " WHERE ..." (or "") and its binds.
    const query::Sql &where() const { return m_where; }
    // The WHERE with one more criterion ANDed.
    query::Sql whereAlso(const QString &criterion) const;
    // " ORDER BY ..., t0.OID": the OID makes every order total.
    const QString &orderBy() const { return m_orderBy; }
    // The terms of that ORDER BY, the OID last.
    struct OrderTerm {
        QString sql;
        bool descending = false;
    };
    const QList<OrderTerm> &orderTerms() const { return m_orderTerms; }
    // Whether the order's first term is the key or a column with an index, which SQLite walks in
    // order (either way) to give the first rows without sorting the others.
    bool orderFollowsAnIndex() const;
    // The FROM clause a key-only query with these clauses needs.
    QString keyFrom(const QString &clauses) const;

private:
    std::optional<query::FieldInfo> resolve(const QString &name) const;
    query::Sql renderWhere() const;
    QString renderOrder();

    std::shared_ptr<const ViewSchema> m_schema;
    std::shared_ptr<const FieldSet> m_fields;
    QString m_baseFilter;
    QString m_filter;
    QString m_selection;
    QString m_sort;
    query::Sql m_where;
    QString m_orderBy;
    QList<OrderTerm> m_orderTerms;
};

} // namespace objdb::source
