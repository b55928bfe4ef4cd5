// Measures the library's data sources against raw SQLite doing the same work on the same file.
//   cobrelle_bench generate <file> <payments>
//   cobrelle_bench run <file>
//   cobrelle_bench peak <operation> cobrelle|raw <file>   (one side once, in a process of its own)
// Prints one line per operation: <operation> payments=<N> cobrelle_ms=<median> raw_ms=<median> ratio=<x>
// BENCH_ONLY=<text> measures only the operations whose name contains it; BENCH_RUNS=<n> sets the
// number of timed runs (a profiler needs few).

#include "timing.h"
#include "daybench.h"
#include "generator.h"
#include "gridbench.h"
#include "maintenancebench.h"
#include "gridtoolsbench.h"
#include "ledgerbench.h"
#include "outputbench.h"
#include "rawquery.h"
#include "stallbench.h"
#include "windowbench.h"

#include "data/DB.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

int timedRuns()
{
    bool ok = false;
    const int runs = qEnvironmentVariableIntValue("BENCH_RUNS", &ok);
    return ok && runs > 0 ? runs : 21;
}

bool wanted(const char *operation)
{
    const QByteArray only = qgetenv("BENCH_ONLY");
    return only.isEmpty() || QByteArray(operation).contains(only);
}

// Times the library's work and raw SQLite's in turn, run after run, so that both sides see the same
// state of a shared machine; prints the medians and their ratio.
void measure(const char *operation, qint64 payments, const std::function<void()> &ours, const std::function<void()> &raw)
{
    ours(); // warm the page cache and the statement paths
    raw();
    QList<double> oursMs, rawMs;
    for (int i = 0, runs = timedRuns(); i < runs; ++i) {
        oursMs.append(elapsedMs(ours));
        rawMs.append(elapsedMs(raw));
    }
    const double oursMedian = median(oursMs), rawMedian = median(rawMs);
    std::printf("%s payments=%lld cobrelle_ms=%.3f raw_ms=%.3f ratio=%.2f\n", operation, static_cast<long long>(payments),
                oursMedian, rawMedian, rawMedian > 0 ? oursMedian / rawMedian : 0.0);
    std::fflush(stdout);
}

const char *kPaymentFields = "*, Movimenti.Descrizione AS DescrizionePagamento, Movimenti.Importo AS ImportoPagamento";

int run(const QString &path)
{
    auto context = objdb::Application::Initialise(std::make_shared<DB>(), QStringLiteral("Cobrelle"), nullptr);
    auto db = objdb::Database::create();
    db->Open(objdb::kDatabaseFormat, path);
    context->Attach(db);
    QSqlQuery count = db->exec(QStringLiteral("SELECT COUNT(*) FROM Pagamenti"));
    count.next();
    const qint64 payments = count.value(0).toLongLong();
    RawQuery raw(path);

    auto &table = context->Tables().Item(QStringLiteral("Pagamenti"));
    objdb::OpenOptions options;
    options.fieldList = QString::fromLatin1(kPaymentFields);
    const QDate day(2024, 6, 12);
    const QString dayCondition = QStringLiteral("Data >= #%1# AND Data < #%2#")
                                     .arg(day.toString(QStringLiteral("MM/dd/yyyy")), day.addDays(1).toString(QStringLiteral("MM/dd/yyyy")));
    const QString monthCondition = QStringLiteral("Month(Data) = 6 AND Year(Data) = 2024");

    if (wanted("open_day_first50"))
        measure("open_day_first50", payments, [&] { table.OpenDataSource(dayCondition, QString(), options)->firstRows(50); },
                [&] { raw.firstPaymentRows(QStringLiteral("2024-06-12"), QStringLiteral("2024-06-13"), 50); });
    if (wanted("open_month_first50"))
        measure("open_month_first50", payments, [&] { table.OpenDataSource(monthCondition, QString(), options)->firstRows(50); },
                [&] { raw.firstPaymentRows(QStringLiteral("2024-06-01"), QStringLiteral("2024-07-01"), 50); });

    const GridBench grid{context, raw, options.fieldList, payments, measure, wanted, timedRuns()};
    runGridBenchmarks(grid);
    runGridToolsBenchmarks(grid);
    runWindowBenchmarks(grid, db);
    runStallBenchmarks(grid, db);
    runOutputBenchmarks({path, context, payments, wanted});
    runMaintenanceBenchmarks({path, payments, measure, wanted});
    runDayBenchmarks({path, context, db, payments, measure, wanted});
    runLedgerBenchmarks({path, payments, wanted});
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv); // the main window is driven too
    const QStringList args = app.arguments();
    if (args.size() == 4 && args.at(1) == QLatin1String("generate")) {
        generateArchive(args.at(2), args.at(3).toInt());
        return 0;
    }
    if (args.size() == 3 && args.at(1) == QLatin1String("run"))
        return run(args.at(2));
    if (args.size() == 5 && args.at(1) == QLatin1String("peak"))
        return runPeakMeasurement(args.mid(2));
    std::fprintf(stderr, "usage: cobrelle_bench generate <file> <payments> | run <file> | peak <operation> <side> <file>\n");
    return 2;
}
