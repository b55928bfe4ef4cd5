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
        // ?1 the day, ?2 the next, ?3 the purge's command in the log.
        const QByteArray movements =
            "SELECT SUM(opened), SUM(CASE WHEN opened THEN Importo END), SUM(Pagato <> 0 AND closed) FROM (SELECT m.Importo, "
            "m.Pagato, NOT EXISTS (SELECT 1 FROM Pagamenti p WHERE p.OID_Movimenti = m.OID AND p.Data < ?1) AND NOT EXISTS "
            "(SELECT 1 FROM Eliminazioni e WHERE e.OID_Movimenti = m.OID AND e.Comando = ?3) AS opened, NOT EXISTS (SELECT 1 "
            "FROM Pagamenti p WHERE p.OID_Movimenti = m.OID AND p.Data >= ?2) AS closed FROM Movimenti m WHERE m.OID IN "
            "(SELECT OID_Movimenti FROM Pagamenti WHERE Data >= ?1 AND Data < ?2))";
        const QByteArray outstanding =
            QByteArray("SELECT (SELECT SUM(m.ImportoInSospeso) FROM Movimenti m WHERE EXISTS (SELECT 1 FROM Pagamenti p WHERE "
                       "p.OID_Movimenti = m.OID) OR EXISTS (SELECT 1 FROM Eliminazioni e WHERE e.OID_Movimenti = m.OID AND "
                       "e.Comando = ?3)) + (SELECT COALESCE(SUM(")
            + received
            + "), 0) FROM Pagamenti NOT INDEXED WHERE Data >= ?2) - (SELECT COALESCE(SUM(COALESCE(m.Importo, 0) - COALESCE(m.Sconto, 0)), 0) FROM Movimenti m "
              "WHERE m.OID IN (SELECT OID_Movimenti FROM Pagamenti WHERE Data >= ?2) AND NOT EXISTS (SELECT 1 FROM Pagamenti p "
              "WHERE p.OID_Movimenti = m.OID AND p.Data < ?2) AND NOT EXISTS (SELECT 1 FROM Eliminazioni e WHERE "
              "e.OID_Movimenti = m.OID AND e.Comando = ?3))";
        const QString purge = QStringLiteral("Eliminazione pagamenti saldati");
        bench.measure("closing_summary_day", bench.payments,
                      [&] { sink = output::ComputeClosingSummary(*bench.database, june, june).payments; },
                      [&] {
                          sink = raw.run((QByteArray(kBandSums) + " WHERE Data >= ? AND Data < ?").constData(), {day, next})
                              + raw.run(operators.constData(), {day, next}) + raw.run(movements.constData(), {day, next, purge})
                              + raw.run(outstanding.constData(), {day, next, purge});
                      });
    }
}
