#include "rawquery.h"

#include <sqlite3.h>

#include <algorithm>

RawQuery::RawQuery(const QString &path)
{
    sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
}

RawQuery::~RawQuery()
{
    sqlite3_close(m_db);
}

namespace {

// The payments view with its joins, as the data source reads it.
const QByteArray kPaymentSelect =
    "SELECT t0.OID, t0.Data, t0.Contanti, t0.Bonifico_Bancomat, t0.Assegno, t0.Anticipo, t0.DataCopertura, "
    "t0.Operatore, r0.Descrizione, r0.Codice, t0.OID_Movimenti, p.Descrizione, p.Importo, p.ScontoPrivato, "
    "p.Sconto, p.ImportoInSospeso, p.Pagato, pr0.RagioneSociale, pr0.Codice, pr1.Nome, pr1.Codice, "
    "p.Descrizione, p.Importo "
    "FROM Pagamenti AS t0 LEFT JOIN TipiOperazione AS r0 ON r0.OID = t0.TipoOperazione "
    "LEFT JOIN Movimenti AS p ON p.OID = t0.OID_Movimenti LEFT JOIN Compagnie AS pr0 ON pr0.OID = p.Compagnia "
    "LEFT JOIN Collaboratori AS pr1 ON pr1.OID = p.Collaboratore ";

sqlite3_stmt *prepared(sqlite3 *db, const QByteArray &sql)
{
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr);
    return statement;
}

// Steps through every row, reading each column as the data source does, then finalises the statement.
int readAllRows(sqlite3_stmt *statement)
{
    int rows = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(statement); ++c)
            sqlite3_column_value(statement, c);
        ++rows;
    }
    sqlite3_finalize(statement);
    return rows;
}

} // namespace

int RawQuery::stepAll(const QByteArray &sql, const QList<qint64> &binds)
{
    sqlite3_stmt *statement = prepared(m_db, sql);
    for (int i = 0; i < binds.size(); ++i)
        sqlite3_bind_int64(statement, i + 1, binds.at(i));
    return readAllRows(statement);
}

int RawQuery::firstPaymentScreen(const QString &orderColumn, int count)
{
    return stepAll(kPaymentSelect + "ORDER BY " + orderColumn.toUtf8() + ", t0.OID LIMIT ?", {count});
}

QList<qint64> RawQuery::paymentKeys(const QString &orderColumn)
{
    const QByteArray sql = "SELECT t0.OID FROM Pagamenti AS t0 ORDER BY " + orderColumn.toUtf8() + ", t0.OID";
    sqlite3_stmt *statement = prepared(m_db, sql);
    QList<qint64> keys;
    while (sqlite3_step(statement) == SQLITE_ROW)
        keys.append(sqlite3_column_int64(statement, 0));
    sqlite3_finalize(statement);
    return keys;
}

int RawQuery::lastPaymentRowsByKey(const QString &orderColumn, int count)
{
    const QList<qint64> keys = paymentKeys(orderColumn);
    return paymentRowsByKey(keys.mid(std::max<qsizetype>(0, keys.size() - count)));
}

int RawQuery::paymentRowsByKey(const QList<qint64> &keys)
{
    QByteArray marks;
    for (int i = 0; i < keys.size(); ++i)
        marks += i ? ", ?" : "?";
    return stepAll(kPaymentSelect + "WHERE t0.OID IN (" + marks + ")", keys);
}

int RawQuery::rowOfPaymentKey(const QString &orderColumn, qint64 oid)
{
    return int(paymentKeys(orderColumn).indexOf(oid));
}

int RawQuery::firstPaymentRows(const QString &fromIso, const QString &toIso, int count)
{
    static const QByteArray sql = kPaymentSelect + "WHERE t0.Data >= ? AND t0.Data < ? ORDER BY t0.Data, t0.OID LIMIT ?";
    sqlite3_stmt *statement = prepared(m_db, sql);
    const QByteArray from = fromIso.toUtf8(), to = toIso.toUtf8();
    sqlite3_bind_text(statement, 1, from.constData(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(statement, 2, to.constData(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(statement, 3, count);
    return readAllRows(statement);
}

int RawQuery::firstPaymentScreenWhere(const QByteArray &condition, int count)
{
    return stepAll(kPaymentSelect + "WHERE " + condition + " ORDER BY t0.Data, t0.OID LIMIT ?", {count});
}

qint64 RawQuery::nextPaymentAfter(qint64 oid, const QByteArray &condition)
{
    stepAll(kPaymentSelect + "WHERE t0.OID = ?", {oid});
    sqlite3_stmt *here = prepared(m_db, "SELECT t0.Data FROM Pagamenti AS t0 WHERE t0.OID = ?");
    sqlite3_bind_int64(here, 1, oid);
    QByteArray date;
    if (sqlite3_step(here) == SQLITE_ROW)
        date = reinterpret_cast<const char *>(sqlite3_column_text(here, 0));
    sqlite3_finalize(here);
    const QByteArray joins = kPaymentSelect.mid(kPaymentSelect.indexOf("FROM "));
    sqlite3_stmt *next = prepared(m_db, "SELECT t0.OID " + joins + "WHERE " + condition
                                            + " AND (t0.Data, t0.OID) > (?, ?) ORDER BY t0.Data, t0.OID LIMIT 1");
    sqlite3_bind_text(next, 1, date.constData(), int(date.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(next, 2, oid);
    const qint64 found = sqlite3_step(next) == SQLITE_ROW ? sqlite3_column_int64(next, 0) : 0;
    sqlite3_finalize(next);
    if (found)
        stepAll(kPaymentSelect + "WHERE t0.OID = ?", {found});
    return found;
}

qint64 RawQuery::sumOfPayments(const QByteArray &column, const QByteArray &condition, const QList<QByteArray> &binds, bool average)
{
    sqlite3_stmt *statement = prepared(m_db, "SELECT COUNT(*), COUNT(" + column + "), SUM(" + column + ") FROM Pagamenti AS t0"
                                                 + (condition.isEmpty() ? QByteArray() : " WHERE " + condition));
    for (int i = 0; i < binds.size(); ++i)
        sqlite3_bind_text(statement, i + 1, binds.at(i).constData(), int(binds.at(i).size()), SQLITE_TRANSIENT);
    qint64 result = 0;
    if (sqlite3_step(statement) == SQLITE_ROW) {
        const qint64 rows = sqlite3_column_int64(statement, 0);
        result = sqlite3_column_int64(statement, 2);
        if (average && rows > 0)
            result /= rows;
    }
    sqlite3_finalize(statement);
    return result;
}

qint64 RawQuery::aggregate(const QByteArray &sql, const QList<QByteArray> &binds)
{
    sqlite3_stmt *statement = prepared(m_db, sql);
    for (int i = 0; i < binds.size(); ++i)
        sqlite3_bind_text(statement, i + 1, binds.at(i).constData(), int(binds.at(i).size()), SQLITE_STATIC);
    qint64 checksum = 0;
    while (sqlite3_step(statement) == SQLITE_ROW)
        for (int c = 0; c < sqlite3_column_count(statement); ++c)
            checksum += sqlite3_column_int64(statement, c);
    sqlite3_finalize(statement);
    return checksum;
}

qint64 RawQuery::bandSums(const QByteArray &condition, const QList<QByteArray> &binds)
{
    return aggregate("SELECT COUNT(*), SUM(Contanti), SUM(Bonifico_Bancomat), SUM(Assegno), SUM(Anticipo) FROM Pagamenti AS t0"
                         + (condition.isEmpty() ? QByteArray() : " WHERE " + condition),
                     binds);
}

qint64 RawQuery::closingSummary(const QByteArray &first, const QByteArray &next, bool nearTheEnd)
{
    const QByteArray received = "(COALESCE(Contanti, 0) + COALESCE(Bonifico_Bancomat, 0) + COALESCE(Assegno, 0) + "
                                "COALESCE(Anticipo, 0))";
    const QByteArray operators = "SELECT Operatore, COUNT(*), SUM(" + received
        + ") FROM Pagamenti WHERE Data >= ? AND Data < ? GROUP BY Operatore";
    // ?1 the first day, ?2 the day after the last, ?3 the purge's command in the log.
    const QByteArray movements =
        "SELECT SUM(opened), SUM(CASE WHEN opened THEN Importo END), SUM(Pagato <> 0 AND closed) FROM (SELECT m.Importo, "
        "m.Pagato, NOT EXISTS (SELECT 1 FROM Pagamenti p WHERE p.OID_Movimenti = m.OID AND p.Data < ?1) AND NOT EXISTS "
        "(SELECT 1 FROM Eliminazioni e WHERE e.OID_Movimenti = m.OID AND e.Comando = ?3) AS opened, NOT EXISTS (SELECT 1 "
        "FROM Pagamenti p WHERE p.OID_Movimenti = m.OID AND p.Data >= ?2) AS closed FROM Movimenti m WHERE m.OID IN "
        "(SELECT OID_Movimenti FROM Pagamenti WHERE Data >= ?1 AND Data < ?2))";
    const QByteArray afterTheEnd = "SELECT COALESCE(SUM(" + received + "), 0) FROM Pagamenti "
        + (nearTheEnd ? "" : "NOT INDEXED ") + "WHERE Data >= ?2";
    const QByteArray firstPaidAfter = nearTheEnd
        ? "SELECT m.OID, m.Importo, m.Sconto FROM Movimenti m WHERE m.OID IN (SELECT OID_Movimenti FROM Pagamenti "
          "WHERE Data >= ?2) AND NOT EXISTS (SELECT 1 FROM Pagamenti p WHERE p.OID_Movimenti = m.OID AND p.Data < ?2)"
        : "SELECT m.OID, m.Importo, m.Sconto FROM (SELECT OID_Movimenti AS oid FROM Pagamenti GROUP BY OID_Movimenti "
          "HAVING MIN(Data) >= ?2) f JOIN Movimenti m ON m.OID = f.oid";
    const QByteArray outstanding =
        "SELECT (SELECT SUM(m.ImportoInSospeso) FROM Movimenti m WHERE m.ImportoInSospeso <> 0 AND (EXISTS (SELECT 1 "
        "FROM Pagamenti p WHERE p.OID_Movimenti = m.OID) OR EXISTS (SELECT 1 FROM Eliminazioni e WHERE "
        "e.OID_Movimenti = m.OID AND e.Comando = ?3))) + (" + afterTheEnd + ") - (SELECT COALESCE(SUM(COALESCE(f.Importo, 0) "
        "- COALESCE(f.Sconto, 0)), 0) FROM (" + firstPaidAfter + ") f WHERE NOT EXISTS (SELECT 1 FROM Eliminazioni e "
        "WHERE e.OID_Movimenti = f.OID AND e.Comando = ?3))";
    const QByteArray purge = "Eliminazione pagamenti saldati";
    return bandSums("Data >= ? AND Data < ?", {first, next}) + aggregate(operators, {first, next})
        + aggregate(movements, {first, next, purge}) + aggregate(outstanding, {first, next, purge});
}
