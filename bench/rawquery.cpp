#include "rawquery.h"

#include <sqlite3.h>

RawQuery::RawQuery(const QString &path)
{
    sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
}

RawQuery::~RawQuery()
{
    sqlite3_close(m_db);
}

int RawQuery::firstPaymentRows(const QString &fromIso, const QString &toIso, int count)
{
    static const char *sql =
        "SELECT t0.OID, t0.Data, t0.Contanti, t0.Bonifico_Bancomat, t0.Assegno, t0.Anticipo, t0.DataCopertura, "
        "t0.Operatore, r0.Descrizione, r0.Codice, t0.OID_Movimenti, p.Descrizione, p.Importo, p.ScontoPrivato, "
        "p.Sconto, p.ImportoInSospeso, p.Pagato, pr0.RagioneSociale, pr0.Codice, pr1.Nome, pr1.Codice, "
        "p.Descrizione, p.Importo "
        "FROM Pagamenti AS t0 LEFT JOIN TipiOperazione AS r0 ON r0.OID = t0.TipoOperazione "
        "LEFT JOIN Movimenti AS p ON p.OID = t0.OID_Movimenti LEFT JOIN Compagnie AS pr0 ON pr0.OID = p.Compagnia "
        "LEFT JOIN Collaboratori AS pr1 ON pr1.OID = p.Collaboratore "
        "WHERE t0.Data >= ? AND t0.Data < ? ORDER BY t0.Data, t0.OID LIMIT ?";
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr);
    const QByteArray from = fromIso.toUtf8(), to = toIso.toUtf8();
    sqlite3_bind_text(statement, 1, from.constData(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(statement, 2, to.constData(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(statement, 3, count);
    int rows = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(statement); ++c)
            sqlite3_column_value(statement, c);
        ++rows;
    }
    sqlite3_finalize(statement);
    return rows;
}
