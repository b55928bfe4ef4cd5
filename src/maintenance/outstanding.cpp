#include "maintenance/outstanding.h"

#include "data/deletionlog.h"
#include "data/outstandingrule.h"
#include "objdb/database.h"

#include <QSqlQuery>

namespace Outstanding {

QString expectedSql(const QString &importo, const QString &sconto)
{
    const QString expected =
        OutstandingRule::OutstandingSql(importo, sconto, {QStringLiteral("p.s"), QStringLiteral("e.s")});
    return QStringLiteral(
               "SELECT mv.OID AS OID, mv.ImportoInSospeso AS ImportoInSospeso, mv.Pagato AS Pagato, "
               "CAST(%3 AS BIGINT) AS Atteso, %2 AS PagatoAtteso "
               "FROM Movimenti AS mv "
               "LEFT JOIN (SELECT OID_Movimenti AS m, SUM(%1) AS s FROM Pagamenti "
               "WHERE OID_Movimenti BETWEEN ? AND ? GROUP BY OID_Movimenti) AS p ON p.m = mv.OID "
               "LEFT JOIN (SELECT OID_Movimenti AS m, SUM(%1) AS s FROM Eliminazioni "
               "WHERE Comando = ? AND OID_Movimenti BETWEEN ? AND ? GROUP BY OID_Movimenti) AS e ON e.m = mv.OID "
               "WHERE mv.OID BETWEEN ? AND ?")
        .arg(OutstandingRule::PaidSql(), OutstandingRule::IsPaidSql(expected), expected);
}

QVariantList binds(qint64 first, qint64 last)
{
    return {first, last, DeletionLog::kPurgeCommand, first, last, first, last};
}

QString mismatchCondition()
{
    return QStringLiteral("(x.ImportoInSospeso IS DISTINCT FROM x.Atteso OR x.Pagato IS DISTINCT FROM x.PagatoAtteso)");
}

QString updateSql()
{
    return QStringLiteral("UPDATE Movimenti SET ImportoInSospeso = x.Atteso, Pagato = x.PagatoAtteso FROM (%1) AS x "
                          "WHERE x.OID = Movimenti.OID AND %2")
        .arg(expectedSql(), mismatchCondition());
}

QString correlatedExpression(const QString &importo, const QString &sconto, bool withPurged)
{
    QStringList paidSums{QStringLiteral("(SELECT SUM(%1) FROM Pagamenti WHERE OID_Movimenti = Movimenti.OID)")
                             .arg(OutstandingRule::PaidSql())};
    if (withPurged)
        paidSums.append(QStringLiteral("(SELECT SUM(%1) FROM Eliminazioni WHERE OID_Movimenti = Movimenti.OID AND Comando = ?)")
                            .arg(OutstandingRule::PaidSql()));
    return OutstandingRule::OutstandingSql(importo, sconto, paidSums);
}

QVariantList correlatedBinds(bool withPurged)
{
    return withPurged ? QVariantList{DeletionLog::kPurgeCommand} : QVariantList{};
}

bool AnyPurged(objdb::Database &database)
{
    QSqlQuery q = database.exec(QStringLiteral("SELECT EXISTS (SELECT 1 FROM Eliminazioni WHERE Comando = ?)"),
                                {DeletionLog::kPurgeCommand});
    return q.next() && q.value(0).toBool();
}

QString paidFlagSql()
{
    return QStringLiteral("UPDATE Movimenti SET Pagato = %1 WHERE OID BETWEEN ? AND ? AND Pagato IS DISTINCT FROM (%1)")
        .arg(OutstandingRule::IsPaidSql(QStringLiteral("ImportoInSospeso")));
}

} // namespace Outstanding
