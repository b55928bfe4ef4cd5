#include "objdb/source/columnsummary.h"

#include "objdb/amount.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/error.h"
#include "objdb/source/sourcescope.h"
#include "objdb/source/viewclauses.h"
#include "objdb/statementcache.h"
#include "objdb/types.h"

#include <limits>

namespace objdb {

QVariant ColumnSummary::mean(int decimals) const
{
    if (isNull(sum))
        return QVariant();
    if (sum.metaType().id() == QMetaType::Double)
        return rows > 0 ? sum.toDouble() / double(rows) : 0.0;
    const Amount total = sum.metaType() == QMetaType::fromType<Amount>() ? sum.value<Amount>()
                                                                          : Amount::fromInteger(sum.toLongLong());
    if (rows == 0)
        return QVariant::fromValue(Amount());
    return QVariant::fromValue(total.dividedBy(Amount::fromInteger(rows), decimals));
}

namespace source {

namespace {

// The values of the '?' of a visible field's expression: a computed field's come from the field
// set's binds, in the order of its SELECT list.
QVariantList bindsOf(const FieldSet &set, const FieldDef &field)
{
    int index = 0;
    while (index < set.fields.size() && set.fields.at(index).name != field.name)
        ++index;
    if (index == set.fields.size())
        return {};
    const int column = set.columnOf.at(index);
    qsizetype offset = 0;
    for (int c = 0; c < column; ++c)
        offset += set.selectColumns.at(c).count(QLatin1Char('?'));
    return set.binds.mid(offset, field.sql.count(QLatin1Char('?')));
}

[[noreturn]] void totalTooLarge(const FieldDef &field)
{
    fail(QStringLiteral("Il totale di %1 è troppo grande per essere calcolato.").arg(field.caption));
}

} // namespace

ColumnSummary summarizeColumn(const SourceScope &scope, const ViewClauses &clauses, const FieldDef &field)
{
    const bool decimal = field.type == TypeFloat;
    if (!decimal && field.type != TypeAmount && field.type != TypeInteger)
        fail(QStringLiteral("Il campo %1 non è numerico: non può essere totalizzato.").arg(field.caption));

    const query::Sql &where = clauses.where();
    const QString expression = QLatin1Char('(') + field.sql + QLatin1Char(')');
    const QVariantList fieldBinds = bindsOf(*scope.fieldSet, field);
    const QString from = clauses.keyFrom(where.text + QLatin1Char(' ') + field.sql);
    const auto db = scope.database();

    ColumnSummary summary;
    qint64 withValue = 0;
    QVariant sum;
    const auto run = [&](const QString &sums, int sumCount, const std::function<void(const StoredRow &)> &read) {
        QVariantList binds = fieldBinds;
        for (int i = 0; i < sumCount; ++i)
            binds += fieldBinds;
        binds += where.binds;
        const QString sql = QStringLiteral("SELECT COUNT(*), COUNT(%1), %2 FROM %3%4").arg(expression, sums, from, where.text);
        scope.context->statements().select(*db, sql, binds, [&](const StoredRow &row) {
            summary.rows = row.integer(0);
            withValue = row.integer(1);
            read(row);
        });
    };

    if (decimal) {
        run(QStringLiteral("TOTAL(%1)").arg(expression), 1, [&](const StoredRow &row) { sum = row.value(2).toDouble(); });
    } else {
        try {
            // SQLite adds whole numbers in 64 bits and stops at an overflow, even one a later
            // negative value would have undone.
            run(QStringLiteral("SUM(%1)").arg(expression), 1, [&](const StoredRow &row) { sum = row.integer(2); });
        } catch (const Error &) {
            // Again in two halves that cannot overflow, joined in 128 bits: the exact total, or
            // a clear refusal when even that does not fit.
            constexpr qint64 kSplit = 1'000'000'000;
            __int128 exact = 0;
            run(QStringLiteral("SUM(%1 / %2), SUM(%1 % %2)").arg(expression, QString::number(kSplit)), 2, [&](const StoredRow &row) {
                exact = static_cast<__int128>(row.integer(2)) * kSplit + row.integer(3);
            });
            if (exact > std::numeric_limits<qint64>::max() || exact < std::numeric_limits<qint64>::min())
                totalTooLarge(field);
            sum = qint64(exact);
        }
    }

    if (withValue < summary.rows)
        summary.sum = QVariant();
    else if (field.type == TypeAmount)
        summary.sum = QVariant::fromValue(Amount::fromUnits(sum.toLongLong()));
    else
        summary.sum = sum;
    return summary;
}

} // namespace source
} // namespace objdb
