#include "maintenance/settledpurge.h"

#include "data/deletionlog.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/types.h"

#include <QSqlQuery>

namespace SettledPurge {

Outcome Run(objdb::DataContext &context, const QDate &upTo, const KeyRanges::Step &step)
{
    const auto database = context.database();
    const objdb::TableDef *payments = context.tableDef(QStringLiteral("Pagamenti"));
    // Set-based on purpose: no deletion rule runs, so no amount goes back to a movement.
    const QString condition = QStringLiteral(
        "t.OID BETWEEN ? AND ? AND t.Data <= ? "
        "AND EXISTS (SELECT 1 FROM Movimenti AS m WHERE m.OID = t.OID_Movimenti AND m.Pagato = 1)");
    const QString day = objdb::isoDate(upTo);

    objdb::TransactionGuard transaction(*database);
    const QList<KeyRanges::Range> ranges = KeyRanges::Of(*database, payments->name, KeyRanges::kSpan);
    Outcome outcome;
    for (int i = 0; i < ranges.size(); ++i) {
        // The rows go by the keys just logged: what is deleted is exactly what the log holds.
        QSqlQuery last = database->exec(QStringLiteral("SELECT coalesce(MAX(OID), 0) FROM Eliminazioni"));
        last.next();
        const qint64 lastLogged = last.value(0).toLongLong();
        DeletionLog::LogRows(context, *payments, DeletionLog::kPurgeCommand, condition,
                             {ranges[i].first, ranges[i].last, day});
        outcome.deleted += database
                               ->exec(QStringLiteral("DELETE FROM Pagamenti WHERE OID IN "
                                                     "(SELECT OID_Eliminato FROM Eliminazioni WHERE OID > ?)"),
                                      {lastLogged})
                               .numRowsAffected();
        if (!step(i + 1, int(ranges.size())))
            return {0, true};
    }
    transaction.commit();
    return outcome;
}

} // namespace SettledPurge
