#pragma once
// What every movement's outstanding amount must be: its amount less its discount, less what its
// payments cover, less what the payments a purge removed had covered (kept in the deletion log).
// Payments removed by the record command gave their amounts back when they went, so they count
// no more. Paid exactly when the outstanding amount is within one cent.

#include <QString>
#include <QVariantList>

namespace Outstanding {

// SELECT OID, ImportoInSospeso, Pagato, the expected outstanding amount (Atteso) and paid flag
// (PagatoAtteso) of the movements whose OID lies in a range, by aggregates over the payments and
// the log. Its binds come from binds(first, last).
QString expectedSql();
QVariantList binds(qint64 first, qint64 last);

// The condition, on a row of expectedSql() aliased x, that the stored values differ from it.
QString mismatchCondition();

// Sets the outstanding amount and paid flag of the movements of the range that differ from what
// they must be; its binds come from binds(first, last).
QString updateSql();

} // namespace Outstanding
