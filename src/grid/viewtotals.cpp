#include "grid/viewtotals.h"

#include "grid/columntotals.h"
#include "grid/numberformat.h"

#include "data/outstandingrule.h"
#include "objdb/amount.h"
#include "objdb/datasource.h"
#include "objdb/error.h"
#include "objdb/types.h"

#include <QLocale>
#include <QPointer>

namespace {

QString grouped(qint64 number)
{
    static const QLocale italian(QLocale::Italian, QLocale::Italy);
    return italian.toString(number);
}

} // namespace

QStringList TotalsFieldsOf(const QString &table)
{
    if (table == QLatin1String("Pagamenti"))
        return OutstandingRule::PaymentColumns();
    return {};
}

namespace {

ViewTotals totalsOf(const objdb::DataSource &ds, const QStringList &fields, const objdb::ColumnsSummary &summary)
{
    ViewTotals totals;
    totals.rows = summary.rows;
    QVariant all = QVariant::fromValue(objdb::Amount());
    for (int i = 0; i < fields.size(); ++i) {
        const objdb::FieldDef &field = *ds.Field(fields.at(i));
        const QVariant sum = summary.columns.at(i).sum;
        totals.columns.append({field.caption, sum, TotalFormatOf(field)});
        if (objdb::isNull(sum))
            all = QVariant();
        else if (!objdb::isNull(all))
            all = QVariant::fromValue(all.value<objdb::Amount>() + sum.value<objdb::Amount>());
    }
    if (!totals.columns.isEmpty())
        totals.columns.append({QStringLiteral("Totale"), all, totals.columns.first().format});
    return totals;
}

} // namespace

ViewTotals ComputeViewTotals(const objdb::DataSource &ds, const QStringList &fields)
{
    return totalsOf(ds, fields, ds.SummarizeColumns(fields));
}

void ComputeViewTotalsApart(objdb::BackgroundRead &reader, const objdb::DataSource &ds, const QStringList &fields,
                            std::function<void(const ViewTotals &)> onDone, std::function<void(const QString &)> onRefused)
{
    const QPointer<const objdb::DataSource> source(&ds);
    ds.SummarizeColumnsApart(
        reader, fields,
        [source, fields, onDone = std::move(onDone)](const objdb::ColumnsSummary &summary) {
            onDone(totalsOf(*source, fields, summary));
        },
        [onRefused = std::move(onRefused)](const objdb::Error &error) { onRefused(error.description()); });
}

QString RowCountText(const QString &section, qint64 rows)
{
    return section + QStringLiteral(": ") + grouped(rows) + (rows == 1 ? QStringLiteral(" riga") : QStringLiteral(" righe"));
}

QString TotalsBandText(const ViewTotals &totals)
{
    QStringList parts{QStringLiteral("Righe: ") + grouped(totals.rows)};
    for (const TotalsColumn &column : totals.columns)
        parts.append(column.caption + QStringLiteral(": ") + FormatNumber(column.sum, column.format));
    return parts.join(QStringLiteral("   "));
}
