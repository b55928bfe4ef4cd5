#include "objdb/connection.h"

#include "objdb/amount.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/error.h"
#include "objdb/sqldialect.h"
#include "objdb/types.h"

#include <QRegularExpression>
#include <QSqlError>
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
    const SqlDialect &dialect = m_database.dialect();
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
            const bool divide = a.captured(3) == QLatin1String("/");
            const auto factor = Amount::parseDecimal(a.captured(4));
            if (!factor)
                fail(QStringLiteral("Fattore non valido: %1 (al massimo quattro decimali e non oltre %2).")
                         .arg(a.captured(4).left(40), Amount::largestText()));
            if (divide && factor->units() == 0)
                fail(QStringLiteral("Divisione per zero: %1").arg(part.trimmed()));
            // Exact in the registered function: no intermediate product can spill into a REAL.
            value = QStringLiteral("%1(%2, ?)")
                        .arg(divide ? dialect.amountDivideFunction() : dialect.amountMultiplyFunction(), value);
            binds << qlonglong(factor->units());
        }
        sets.append(dialect.quoteIdentifier(target->name) + QStringLiteral(" = ") + value);
    }
    QSqlQuery q = m_database.prepare(
        QStringLiteral("UPDATE %1 SET %2").arg(dialect.quoteIdentifier(table->name), sets.join(QStringLiteral(", "))));
    for (const QVariant &bind : binds)
        q.addBindValue(bind);
    // The statement is undone whole by the engine on failure.
    if (!q.exec())
        m_database.failEngine(QStringLiteral("Importi di %1 non aggiornati").arg(table->name), q.lastError());
    return q.numRowsAffected();
}

} // namespace objdb
