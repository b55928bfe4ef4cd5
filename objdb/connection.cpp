#include "objdb/connection.h"

#include "objdb/amount.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/error.h"
#include "objdb/sqldialect.h"
#include "objdb/types.h"

#include <QRegularExpression>
#include <QSqlQuery>

namespace objdb {

void Connection::BeginTrans()
{
    m_database.BeginTrans();
}

void Connection::CommitTrans()
{
    m_database.CommitTrans();
}

void Connection::RollbackTrans()
{
    m_database.Rollback();
}

int Connection::Execute(const QString &statement)
{
    static const QRegularExpression update(QStringLiteral("^\\s*UPDATE\\s+(\\w+)\\s+SET\\s+(.+?)\\s*;?\\s*$"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression assignment(
        QStringLiteral("^\\s*(\\w+)\\s*=\\s*(\\w+)\\s*(?:([*/])\\s*(\\d+(?:\\.\\d{1,4})?))?\\s*$"));
    const auto match = update.match(statement);
    if (!match.hasMatch())
        fail(QStringLiteral("Istruzione non ammessa: %1").arg(statement.left(80)));
    const TableDef *table = m_context.tableDef(match.captured(1));
    if (!table)
        fail(QStringLiteral("Tabella sconosciuta: %1").arg(match.captured(1)));
    const auto &dialect = SqlDialect::sqlite();
    QStringList sets;
    QVariantList binds;
    for (const QString &part : match.captured(2).split(QLatin1Char(','))) {
        const auto a = assignment.match(part);
        if (!a.hasMatch())
            fail(QStringLiteral("Assegnazione non ammessa: %1").arg(part.trimmed()));
        const ColumnDef *target = table->column(a.captured(1));
        const ColumnDef *source = table->column(a.captured(2));
        if (!target || !source || target->type != TypeAmount || source->type != TypeAmount)
            fail(QStringLiteral("Solo colonne di importo possono essere convertite: %1").arg(part.trimmed()));
        QString value = dialect.quoteIdentifier(source->name);
        if (!a.captured(3).isEmpty()) {
            const Amount factor = *Amount::parse(a.captured(4));
            if (factor.units() == 0)
                fail(QStringLiteral("Divisione per zero: %1").arg(part.trimmed()));
            // Integer ten-thousandths: x * 10000 / f (or x * f / 10000), rounded half away from zero.
            const qint64 numeratorFactor = a.captured(3) == QLatin1String("/") ? Amount::kScale : factor.units();
            const qint64 denominator = a.captured(3) == QLatin1String("/") ? factor.units() : Amount::kScale;
            value = QStringLiteral("CASE WHEN %1 IS NULL THEN NULL WHEN %1 >= 0 THEN (%1 * ? * 2 + ?) / (2 * ?) "
                                   "ELSE -((-%1 * ? * 2 + ?) / (2 * ?)) END")
                        .arg(value);
            binds << numeratorFactor << denominator << denominator << numeratorFactor << denominator << denominator;
        }
        sets.append(dialect.quoteIdentifier(target->name) + QStringLiteral(" = ") + value);
    }
    QSqlQuery q = m_database.exec(QStringLiteral("UPDATE %1 SET %2").arg(dialect.quoteIdentifier(table->name), sets.join(QStringLiteral(", "))),
                                  binds);
    m_database.bumpGeneration();
    return q.numRowsAffected();
}

} // namespace objdb
