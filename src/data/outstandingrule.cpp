#include "data/outstandingrule.h"

using objdb::Amount;

namespace OutstandingRule {

Amount AmountOrZero(const QVariant &value)
{
    return objdb::toAmount(value).value_or(Amount());
}

const QStringList &PaymentColumns()
{
    static const QStringList columns{QStringLiteral("Contanti"), QStringLiteral("Bonifico_Bancomat"),
                                     QStringLiteral("Assegno"), QStringLiteral("Anticipo")};
    return columns;
}

Amount PaidBy(const std::function<QVariant(const QString &)> &valueOf)
{
    Amount total;
    for (const auto &column : PaymentColumns())
        total += AmountOrZero(valueOf(column));
    return total;
}

QString PaidSql(const QString &alias)
{
    const QString prefix = alias.isEmpty() ? QString() : alias + QLatin1Char('.');
    QStringList terms;
    for (const auto &column : PaymentColumns())
        terms.append(QStringLiteral("coalesce(%1%2, 0)").arg(prefix, column));
    return terms.join(QStringLiteral(" + "));
}

Amount NetAmount(const QVariant &importo, const QVariant &sconto)
{
    return AmountOrZero(importo) - AmountOrZero(sconto);
}

QString OutstandingSql(const QString &importo, const QString &sconto, const QStringList &paidSums)
{
    QString expression = QStringLiteral("coalesce(%1, 0) - coalesce(%2, 0)").arg(importo, sconto);
    for (const auto &sum : paidSums)
        expression += QStringLiteral(" - coalesce(%1, 0)").arg(sum);
    return expression;
}

bool IsPaid(const QVariant &outstanding)
{
    const auto amount = objdb::toAmount(outstanding);
    return amount.has_value() && amount->abs() <= kPaidTolerance;
}

QString IsPaidSql(const QString &outstanding)
{
    // A flag as the archive stores it, 1 or 0, on every engine; an empty amount is not paid.
    return QStringLiteral("CASE WHEN abs(%1) <= %2 THEN 1 ELSE 0 END").arg(outstanding, QString::number(kPaidTolerance.units()));
}

} // namespace OutstandingRule
