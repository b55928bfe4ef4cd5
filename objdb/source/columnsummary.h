#pragma once
// The sum of one numeric column over every row of a data source and the number of rows, read by
// one aggregate query over the data source's own FROM and WHERE, never by stepping the rows.

#include <QList>
#include <QString>
#include <QVariant>

namespace objdb {

struct FieldDef;

struct ColumnSummary {
    qint64 rows = 0; // every row, those holding Null included
    // Null when any row holds Null; otherwise an Amount for amounts, a qint64 for whole numbers and
    // a double for numbers with decimals: 0 of that kind without rows.
    QVariant sum;

    // sum / rows, rounded once (half away from zero) to `decimals` (0..4): an Amount for amounts
    // and whole numbers, a double for numbers with decimals; Null as the sum is, 0 without rows.
    QVariant mean(int decimals) const;
};

// The number of rows and the sums of several columns, by one query.
struct ColumnsSummary {
    qint64 rows = 0;
    QList<ColumnSummary> columns; // in the order the fields were given
};

class Database;
class StatementCache;

namespace source {

struct ViewCopy;

// The sums as stored (an amount of a converting view not yet converted), read on db: the window's
// connection or one of a thread of their own. Throws objdb::Error for a field that is not numeric
// and, in Italian, for a total beyond 64 bits of ten-thousandths (or of units): a total is exact or
// it is not given.
ColumnSummary summarizeColumn(const ViewCopy &view, Database &db, StatementCache &statements, const FieldDef &field);
// The same for several fields at once; no field gives the number of rows alone. A sum beyond 64 bits
// is taken again column by column, as summarizeColumn does.
ColumnsSummary summarizeColumns(const ViewCopy &view, Database &db, StatementCache &statements,
                                const QList<FieldDef> &fields);

} // namespace source
} // namespace objdb
