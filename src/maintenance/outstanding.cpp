#include "maintenance/outstanding.h"

#include "data/deletionlog.h"
#include "objdb/database.h"

#include <QSqlQuery>

namespace Outstanding {

namespace {

const char *const kPaymentTotal =
    "coalesce(Contanti, 0) + coalesce(Bonifico_Bancomat, 0) + coalesce(Assegno, 0) + coalesce(Anticipo, 0)";
// One cent in ten-thousandths.
const char *const kCent = "100";

} // namespace

QString expectedSql(const QString &importo, const QString &sconto)
{
    const QString expected = QStringLiteral("coalesce(%1, 0) - coalesce(%2, 0) - coalesce(p.s, 0) - coalesce(e.s, 0)")
                                 .arg(importo, sconto);
    return QStringLiteral(
               "SELECT mv.OID AS OID, mv.ImportoInSospeso AS ImportoInSospeso, mv.Pagato AS Pagato, "
               "%3 AS Atteso, abs(%3) <= %2 AS PagatoAtteso "
               "FROM Movimenti AS mv "
               "LEFT JOIN (SELECT OID_Movimenti AS m, SUM(%1) AS s FROM Pagamenti "
               "WHERE OID_Movimenti BETWEEN ? AND ? GROUP BY OID_Movimenti) AS p ON p.m = mv.OID "
               "LEFT JOIN (SELECT OID_Movimenti AS m, SUM(%1) AS s FROM Eliminazioni "
               "WHERE Comando = ? AND OID_Movimenti BETWEEN ? AND ? GROUP BY OID_Movimenti) AS e ON e.m = mv.OID "
               "WHERE mv.OID BETWEEN ? AND ?")
        .arg(QLatin1String(kPaymentTotal), QLatin1String(kCent), expected);
}

QVariantList binds(qint64 first, qint64 last)
{
    return {first, last, DeletionLog::kPurgeCommand, first, last, first, last};
}

QString mismatchCondition()
{
    return QStringLiteral("(x.ImportoInSospeso IS NOT x.Atteso OR x.Pagato IS NOT x.PagatoAtteso)");
}

QString updateSql()
{
    return QStringLiteral("UPDATE Movimenti SET ImportoInSospeso = x.Atteso, Pagato = x.PagatoAtteso FROM (%1) AS x "
                          "WHERE x.OID = Movimenti.OID AND %2")
        .arg(expectedSql(), mismatchCondition());
}

QString correlatedExpression(const QString &importo, const QString &sconto, bool withPurged)
{
    QString expression = QStringLiteral("coalesce(%1, 0) - coalesce(%2, 0) "
                                        "- coalesce((SELECT SUM(%3) FROM Pagamenti WHERE OID_Movimenti = Movimenti.OID), 0)")
                             .arg(importo, sconto, QLatin1String(kPaymentTotal));
    if (withPurged)
        expression += QStringLiteral(" - coalesce((SELECT SUM(%1) FROM Eliminazioni WHERE OID_Movimenti = Movimenti.OID"
                                     " AND Comando = ?), 0)")
                          .arg(QLatin1String(kPaymentTotal));
    return expression;
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
    return QStringLiteral("UPDATE Movimenti SET Pagato = abs(ImportoInSospeso) <= %1 "
                          "WHERE OID BETWEEN ? AND ? AND Pagato IS NOT (abs(ImportoInSospeso) <= %1)")
        .arg(QLatin1String(kCent));
}

} // namespace Outstanding
