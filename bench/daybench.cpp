#include "daybench.h"

#include "rawquery.h"

#include "grid/viewtotals.h"
#include "output/closingsummary.h"
#include "views/sectionview.h"

#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"

#include <QDate>

namespace {

ViewTotals band(objdb::DataContext &context, DateSelection selection, const QDate &date)
{
    SectionViewRequest request;
    request.query = SectionQueryFor(QStringLiteral("Pagamenti"));
    request.selection = selection;
    request.selectionDate = date;
    const auto view = OpenSectionView(context, request);
    return ComputeViewTotals(*view, TotalsFieldsOf(QStringLiteral("Pagamenti")));
}

} // namespace

void runDayBenchmarks(const DayBench &bench)
{
    RawQuery raw(bench.archive);
    const QDate june(2024, 6, 12);
    volatile qint64 sink = 0;
    if (bench.wanted("totals_band_month"))
        bench.measure("totals_band_month", bench.payments, [&] { sink = band(*bench.context, DateSelection::Month, june).rows; },
                      [&] { sink = raw.bandSums("Data >= ? AND Data < ?", {"2024-06-01", "2024-07-01"}); });
    if (bench.wanted("totals_band_all"))
        bench.measure("totals_band_all", bench.payments, [&] { sink = band(*bench.context, DateSelection::All, june).rows; },
                      [&] { sink = raw.bandSums(QByteArray()); });
    const auto closing = [&](const char *operation, const QDate &from, const QDate &to, bool nearTheEnd) {
        if (!bench.wanted(operation))
            return;
        const QByteArray first = from.toString(Qt::ISODate).toUtf8(), next = to.addDays(1).toString(Qt::ISODate).toUtf8();
        bench.measure(operation, bench.payments,
                      [&] { sink = output::ComputeClosingSummary(*bench.database, from, to).payments; },
                      [&] { sink = raw.closingSummary(first, next, nearTheEnd); });
    };
    closing("closing_summary_day", june, june, false);
    const QDate last = QDate::fromString(
        QString::number(raw.aggregate("SELECT CAST(REPLACE(MAX(Data), '-', '') AS INTEGER) FROM Pagamenti")),
        QStringLiteral("yyyyMMdd"));
    closing("closing_summary_last_day", last, last, true);
    closing("closing_summary_month", QDate(2024, 6, 1), QDate(2024, 6, 30), false);
}
