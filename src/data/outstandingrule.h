#pragma once
// The rule every movement's outstanding amount follows, in C++ for the table rules and in SQL for the
// maintenance: its amount less its discount less what its payments cover, the payments' four ways of
// paying added up (an empty one counting as nothing); paid exactly when it is within one cent of 0.

#include "objdb/amount.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

namespace OutstandingRule {

// An amount column as the rule counts it: an empty one is 0.
objdb::Amount AmountOrZero(const QVariant &value);

// The amount columns of a payment (the ways of paying), in the table's order; the deletion log
// keeps the same columns for the payments it removes.
const QStringList &PaymentColumns();

// What a payment covers, from its values (valueOf(column)).
objdb::Amount PaidBy(const std::function<QVariant(const QString &)> &valueOf);
// The same as SQL over a row of Pagamenti or of the log, its columns qualified by `alias` when given.
QString PaidSql(const QString &alias = QString());

// A movement's amount less its discount, before any payment.
objdb::Amount NetAmount(const QVariant &importo, const QVariant &sconto);
// A movement's outstanding amount as SQL: importo and sconto less every sum of paidSums (each Null
// when nothing is summed).
QString OutstandingSql(const QString &importo, const QString &sconto, const QStringList &paidSums);

// What an outstanding amount may still be, either way, for its movement to count as paid.
inline constexpr objdb::Amount kPaidTolerance = objdb::Amount::fromUnits(objdb::Amount::kScale / 100);
// An empty outstanding amount is not paid.
bool IsPaid(const QVariant &outstanding);
// The same as SQL over an amount expression: the paid flag, 1 or 0.
QString IsPaidSql(const QString &outstanding);

} // namespace OutstandingRule
