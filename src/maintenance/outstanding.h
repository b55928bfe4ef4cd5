#pragma once
// What every movement's outstanding amount must be: its amount less its discount, less what its
// payments cover, less what the payments a purge removed had covered (kept in the deletion log).
// Payments removed by the record command gave their amounts back when they went, so they count
// no more. Paid exactly when the outstanding amount is within one cent.

#include <QString>
#include <QVariantList>

namespace objdb {
class Database;
}

namespace Outstanding {

// SELECT OID, ImportoInSospeso, Pagato, the expected outstanding amount (Atteso) and paid flag
// (PagatoAtteso) of the movements (aliased mv) whose OID lies in a range, by aggregates over the
// payments and the log. importo and sconto are the movement's amount and discount as SQL (a
// conversion passes them converted). Its binds come from binds(first, last).
QString expectedSql(const QString &importo = QStringLiteral("mv.Importo"),
                    const QString &sconto = QStringLiteral("mv.Sconto"));
QVariantList binds(qint64 first, qint64 last);

// The condition, on a row of expectedSql() aliased x, that the stored values differ from it.
QString mismatchCondition();

// Sets the outstanding amount and paid flag of the movements of the range that differ from what
// they must be; its binds come from binds(first, last).
QString updateSql();

// The same rule per row, for an UPDATE of Movimenti that rewrites a slice anyway (the conversion):
// the expected outstanding amount as an expression over the row's importo and sconto (SQL) with
// correlated sums, its binds from correlatedBinds(); then paidFlagSql() over the same slice (binds
// first, last) sets the paid flags from the new outstanding amounts. Without `withPurged` the log is
// left out: for an archive where AnyPurged() is false, it spares a probe per movement.
QString correlatedExpression(const QString &importo, const QString &sconto, bool withPurged = true);
QVariantList correlatedBinds(bool withPurged = true);
bool AnyPurged(objdb::Database &database);
QString paidFlagSql();

} // namespace Outstanding
