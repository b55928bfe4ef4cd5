#pragma once
// The totals kept in sight under a view: its row count and the sums of its amount columns, read
// by one aggregate query over the rows the view shows, its filter included.

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>

namespace objdb {
class BackgroundRead;
class DataSource;
struct ColumnsSummary;
}

struct TotalsColumn {
    QString caption;
    QVariant sum; // Null when a row holds Null, as the totals of the tools menu
    QString format;
};

struct ViewTotals {
    qint64 rows = 0;
    QList<TotalsColumn> columns;
};

// The amount columns a table's band sums: the four ways of paying for the payments; none for others.
QStringList TotalsFieldsOf(const QString &table);
// The row count and the sums of the fields; with fields a last column "Totale" adds them up.
ViewTotals ComputeViewTotals(const objdb::DataSource &ds, const QStringList &fields);
// The same, on a thread of its own when the view reads apart (objdb::DataSource::SummarizeColumnsApart):
// onDone gets the totals, onRefused the library's text for a total it cannot give.
void ComputeViewTotalsApart(objdb::BackgroundRead &reader, const objdb::DataSource &ds, const QStringList &fields,
                            std::function<void(const ViewTotals &)> onDone, std::function<void(const QString &)> onRefused);
// "Pagamenti: 1.234 righe", "Pagamenti: 1 riga".
QString RowCountText(const QString &section, qint64 rows);
// "Righe: 3   Contanti: 12,00   ...   Totale: 40,00"; a Null sum shows nothing after its ": ".
QString TotalsBandText(const ViewTotals &totals);
