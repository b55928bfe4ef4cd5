#include "objdb/source/columnsummary.h"

#include "objdb/amount.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/error.h"
#include "objdb/source/viewcopy.h"
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

void requireNumeric(const FieldDef &field)
{
    if (field.type != TypeFloat && field.type != TypeAmount && field.type != TypeInteger)
        fail(QStringLiteral("Il campo %1 non è numerico: non può essere totalizzato.").arg(field.caption));
}

// The sum as the summary gives it: Null when a row holds Null, an Amount for amounts.
QVariant presentSum(const FieldDef &field, qint64 rows, qint64 withValue, const QVariant &sum)
{
    if (withValue < rows)
        return QVariant();
    if (field.type == TypeAmount)
        return QVariant::fromValue(Amount::fromUnits(sum.toLongLong()));
    return sum;
}

} // namespace

ColumnSummary summarizeColumn(const ViewCopy &view, Database &db, StatementCache &statements, const FieldDef &field)
{
    const ViewClauses &clauses = view.clauses;
    requireNumeric(field);
    const bool decimal = field.type == TypeFloat;

    const query::Sql &where = clauses.where();
    const QString expression = QLatin1Char('(') + field.sql + QLatin1Char(')');
    const QVariantList fieldBinds = bindsOf(*view.fieldSet, field);
    const QString from = clauses.keyFrom(where.text + QLatin1Char(' ') + field.sql);

    ColumnSummary summary;
    qint64 withValue = 0;
    QVariant sum;
    const auto run = [&](const QString &sums, int sumCount, const std::function<void(const StoredRow &)> &read) {
        QVariantList binds = fieldBinds;
        for (int i = 0; i < sumCount; ++i)
            binds += fieldBinds;
        binds += where.binds;
        const QString sql = QStringLiteral("SELECT COUNT(*), COUNT(%1), %2 FROM %3%4").arg(expression, sums, from, where.text);
        statements.select(db, sql, binds, [&](const StoredRow &row) {
            summary.rows = row.integer(0);
            withValue = row.integer(1);
            read(row);
        });
    };

    if (decimal) {
        run(db.dialect().floatSum(expression), 1, [&](const StoredRow &row) { sum = row.value(2).toDouble(); });
    } else {
        try {
            // SQLite adds whole numbers in 64 bits and stops at an overflow, even one a later
            // negative value would have undone.
            run(db.dialect().integerSum(expression), 1, [&](const StoredRow &row) { sum = row.integer(2); });
        } catch (const Error &) {
            // Again in two halves that cannot overflow, joined in 128 bits: the exact total, or
            // a clear refusal when even that does not fit.
            constexpr qint64 kSplit = 1'000'000'000;
            __int128 exact = 0;
            const QString split = QString::number(kSplit);
            const QString high = QStringLiteral("%1 / %2").arg(expression, split);
            const QString low = QStringLiteral("%1 % %2").arg(expression, split);
            run(db.dialect().integerSum(high) + QStringLiteral(", ") + db.dialect().integerSum(low), 2, [&](const StoredRow &row) {
                exact = static_cast<__int128>(row.integer(2)) * kSplit + row.integer(3);
            });
            if (exact > std::numeric_limits<qint64>::max() || exact < std::numeric_limits<qint64>::min())
                totalTooLarge(field);
            sum = qint64(exact);
        }
    }

    summary.sum = presentSum(field, summary.rows, withValue, sum);
    return summary;
}

ColumnsSummary summarizeColumns(const ViewCopy &view, Database &db, StatementCache &statements,
                                const QList<FieldDef> &fields)
{
    const ViewClauses &clauses = view.clauses;
    for (const FieldDef &field : fields)
        requireNumeric(field);
    const query::Sql &where = clauses.where();
    QStringList columns{QStringLiteral("COUNT(*)")};
    QString referenced = where.text;
    QVariantList binds;
    for (const FieldDef &field : fields) {
        const QString expression = QLatin1Char('(') + field.sql + QLatin1Char(')');
        columns << QStringLiteral("COUNT(%1)").arg(expression)
                << (field.type == TypeFloat ? db.dialect().floatSum(expression) : db.dialect().integerSum(expression));
        referenced += QLatin1Char(' ') + field.sql;
        const QVariantList fieldBinds = bindsOf(*view.fieldSet, field);
        binds += fieldBinds;
        binds += fieldBinds;
    }
    binds += where.binds;
    const QString sql = QStringLiteral("SELECT %1 FROM %2%3")
                            .arg(columns.join(QStringLiteral(", ")), clauses.keyFrom(referenced), where.text);

    ColumnsSummary summary;
    try {
        statements.select(db, sql, binds, [&](const StoredRow &row) {
            summary.rows = row.integer(0);
            for (int i = 0; i < fields.size(); ++i) {
                const FieldDef &field = fields.at(i);
                const QVariant sum = field.type == TypeFloat ? QVariant(row.value(2 + 2 * i).toDouble())
                                                             : QVariant(row.integer(2 + 2 * i));
                summary.columns.append({summary.rows, presentSum(field, summary.rows, row.integer(1 + 2 * i), sum)});
            }
        });
    } catch (const Error &) {
        // A whole-number sum stopped at 64 bits: each column on its own, with its exact fallback.
        summary.columns.clear();
        for (const FieldDef &field : fields)
            summary.columns.append(summarizeColumn(view, db, statements, field));
        if (summary.columns.isEmpty())
            throw;
        summary.rows = summary.columns.first().rows;
    }
    return summary;
}

} // namespace source
} // namespace objdb
