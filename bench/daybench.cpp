#include "daybench.h"

#include "grid/viewtotals.h"
#include "output/closingsummary.h"
#include "views/sectionview.h"

#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"

#include <QDate>
#include <sqlite3.h>

namespace {

// Raw SQLite on its own connection: each statement prepared, stepped to the end and finalised.
class RawAggregates {
public:
    explicit RawAggregates(const QString &path) { sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr); }
    ~RawAggregates() { sqlite3_close(m_db); }

    qint64 run(const char *sql, const QStringList &binds)
    {
        sqlite3_stmt *statement = nullptr;
        sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr);
        QList<QByteArray> texts;
        for (int i = 0; i < binds.size(); ++i) {
            texts.append(binds.at(i).toUtf8());
            sqlite3_bind_text(statement, i + 1, texts.last().constData(), int(texts.last().size()), SQLITE_STATIC);
        }
        qint64 checksum = 0;
        while (sqlite3_step(statement) == SQLITE_ROW)
            for (int c = 0; c < sqlite3_column_count(statement); ++c)
                checksum += sqlite3_column_int64(statement, c);
        sqlite3_finalize(statement);
        return checksum;
    }

private:
    sqlite3 *m_db = nullptr;
};

const char *const kBandSums = "SELECT COUNT(*), SUM(Contanti), SUM(Bonifico_Bancomat), SUM(Assegno), SUM(Anticipo) "
                              "FROM Pagamenti";

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
    RawAggregates raw(bench.archive);
    const QDate june(2024, 6, 12);
    volatile qint64 sink = 0;
    if (bench.wanted("totals_band_month"))
        bench.measure("totals_band_month", bench.payments, [&] { sink = band(*bench.context, DateSelection::Month, june).rows; },
                      [&] {
                          sink = raw.run((QByteArray(kBandSums) + " WHERE Data >= ? AND Data < ?").constData(),
                                         {QStringLiteral("2024-06-01"), QStringLiteral("2024-07-01")});
                      });
    if (bench.wanted("totals_band_all"))
        bench.measure("totals_band_all", bench.payments, [&] { sink = band(*bench.context, DateSelection::All, june).rows; },
                      [&] { sink = raw.run(kBandSums, {}); });
    if (bench.wanted("closing_summary_day")) {
        const QString day = june.toString(Qt::ISODate), next = june.addDays(1).toString(Qt::ISODate);
        const char *received = "(COALESCE(Contanti, 0) + COALESCE(Bonifico_Bancomat, 0) + COALESCE(Assegno, 0) + "
                               "COALESCE(Anticipo, 0))";
        const QByteArray operators = QByteArray("SELECT Operatore, COUNT(*), SUM(") + received
            + ") FROM Pagamenti WHERE Data >= ? AND Data < ? GROUP BY Operatore";
        const QByteArray movements =
            QByteArray("SELECT SUM(f.first >= ?1 AND f.first < ?2), SUM(CASE WHEN f.first >= ?1 AND f.first < ?2 THEN "
                       "m.Importo END), SUM(m.Pagato <> 0 AND f.last >= ?1 AND f.last < ?2), SUM(CASE WHEN f.first < ?2 "
                       "THEN m.Importo - COALESCE(m.Sconto, 0) - f.paid END) FROM (SELECT OID_Movimenti AS movement, "
                       "MIN(Data) AS first, MAX(Data) AS last, SUM(CASE WHEN Data < ?2 THEN ")
            + received + " ELSE 0 END) AS paid FROM Pagamenti GROUP BY OID_Movimenti) f JOIN Movimenti m ON m.OID = f.movement";
        bench.measure("closing_summary_day", bench.payments,
                      [&] { sink = output::ComputeClosingSummary(*bench.database, june, june).payments; },
                      [&] {
                          sink = raw.run((QByteArray(kBandSums) + " WHERE Data >= ? AND Data < ?").constData(), {day, next})
                              + raw.run(operators.constData(), {day, next}) + raw.run(movements.constData(), {day, next});
                      });
    }
}
