#pragma once
// The rows a grid shows: pages of a data source's visible fields, read through the kept statements
// of the data context, without loading the row keys for the first screen.

#include "objdb/source/viewcopy.h"

#include <QList>
#include <functional>
#include <QVariantList>

namespace objdb {
class StoredRow;
}

namespace objdb::source {

class CurrencyDisplay;
struct SourceScope;

class PageReader {
public:
    PageReader(const SourceScope &scope, const ViewClauses &clauses, const CurrencyDisplay &currency)
        : m_scope(scope), m_clauses(clauses), m_currency(currency)
    {
    }

    // The visible fields of the given keys, in the order of the keys.
    QList<QVariantList> fetchRows(const QList<qint64> &oids) const;
    // The first rows in order.
    QList<QVariantList> firstRows(int count) const;
    // The view as it stands, for a read apart.
    ViewCopy copy() const;
    // Rows read apart (their values as stored) as firstRows gives them.
    void present(QList<QVariantList> &rows) const;
    // How many rows there are, counting no further than limit.
    int countRows(int limit) const;
    // Every row in order, handed over a page at a time by stepping one statement; onPage returns
    // false to stop.
    void readPages(int pageSize, const std::function<bool(const QList<QVariantList> &)> &onPage) const;

private:
    // The visible fields of a row being stepped, its SELECT list starting at column offset.
    QVariantList storedValues(const StoredRow &stored, int offset) const;

    const SourceScope &m_scope;
    const ViewClauses &m_clauses;
    const CurrencyDisplay &m_currency;
};

} // namespace objdb::source
