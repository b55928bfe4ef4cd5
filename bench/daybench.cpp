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
    if (bench.wanted("closing_summary_day")) {
        const QByteArray day = june.toString(Qt::ISODate).toUtf8(), next = june.addDays(1).toString(Qt::ISODate).toUtf8();
        bench.measure("closing_summary_day", bench.payments,
                      [&] { sink = output::ComputeClosingSummary(*bench.database, june, june).payments; },
                      [&] { sink = raw.closingSummaryDay(day, next); });
    }
}
