#include "data/deletionlog.h"

#include "data/outstandingrule.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/definition.h"
#include "objdb/sqldialect.h"
#include "objdb/types.h"

#include <QDateTime>
#include <QSqlQuery>

using namespace objdb;

namespace {

// A stored value as text, inside SQL so that any number of rows is logged by one statement.
// Amounts are integer ten-thousandths and are written with integer arithmetic only; dates as stored.
QString valueText(const QString &column, int type)
{
    const QString c = QStringLiteral("t.") + sqlName(column);
    switch (type) {
    case TypeAmount:
        return DeletionLog::AmountTextSql(c);
    case TypeYesNo:
        return DeletionLog::FlagTextSql(c);
    default:
        return QStringLiteral("coalesce(CAST(%1 AS TEXT), '')").arg(c);
    }
}

// "Column=value; ..." over the stored columns of the table that have no column of their own in the log.
QString valuesText(const TableDef &table, const QStringList &ownColumns)
{
    QStringList parts;
    const auto add = [&](const QString &column, int type) {
        if (!ownColumns.contains(column))
            parts.append(QStringLiteral("'%1=' || %2").arg(column, valueText(column, type)));
    };
    for (const auto &c : table.columns)
        add(c.name, c.type);
    for (const auto &r : table.references)
        add(r.name, TypeInteger);
    if (!table.parentLinkColumn().isEmpty())
        add(table.parentLinkColumn(), TypeInteger);
    return parts.join(QStringLiteral(" || '; ' || "));
}

const QStringList &paymentColumns()
{
    static const QStringList columns = QStringList{QStringLiteral("OID_Movimenti")} + OutstandingRule::PaymentColumns();
    return columns;
}

} // namespace

namespace DeletionLog {

QString AmountTextSql(const QString &expression)
{
    // Plain SQL that every engine speaks: the four decimals are the last four digits of 10000 + them.
    return QStringLiteral("CASE WHEN {c} IS NULL THEN '' ELSE CASE WHEN {c} < 0 THEN '-' ELSE '' END "
                          "|| CAST(abs({c}) / 10000 AS TEXT) || ',' || substr(CAST(10000 + abs({c}) % 10000 AS TEXT), 2) END")
        .replace(QStringLiteral("{c}"), expression);
}

QString FlagTextSql(const QString &expression)
{
    return QStringLiteral("CASE %1 WHEN 1 THEN 'Sì' WHEN 0 THEN 'No' ELSE '' END").arg(expression);
}

QString now()
{
    return QDateTime::currentDateTime().toString(Qt::ISODate);
}

int LogRows(DataContext &context, const TableDef &table, const QString &command, const QString &condition,
            const QVariantList &binds)
{
    QStringList columns{QStringLiteral("Quando"), QStringLiteral("Operatore"), QStringLiteral("Comando"),
                        QStringLiteral("Tabella"), QStringLiteral("OID_Eliminato"), QStringLiteral("Valori")};
    // A payment's movement and amounts have columns of their own: amounts there are converted with
    // every other amount and summed by the check of the archive.
    const QStringList own = table.name == QLatin1String("Pagamenti") ? paymentColumns() : QStringList();
    QStringList values{QStringLiteral("?"), QStringLiteral("?"), QStringLiteral("?"), QStringLiteral("?"),
                       QStringLiteral("t.OID"), valuesText(table, own)};
    for (const auto &c : own) {
        columns.append(c);
        values.append(QStringLiteral("t.") + sqlName(c));
    }
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4 AS t WHERE %5")
                            .arg(sqlName(kTable), columns.join(QStringLiteral(", ")),
                                 values.join(QStringLiteral(", ")), sqlName(table.name), condition);
    QSqlQuery q = context.database()->exec(sql, QVariantList{now(), context.UserName, command, table.name} + binds);
    return q.numRowsAffected();
}

} // namespace DeletionLog
