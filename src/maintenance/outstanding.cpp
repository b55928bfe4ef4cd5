#include "maintenance/outstanding.h"

#include "data/deletionlog.h"

namespace Outstanding {

namespace {

const char *const kPaymentTotal =
    "coalesce(Contanti, 0) + coalesce(Bonifico_Bancomat, 0) + coalesce(Assegno, 0) + coalesce(Anticipo, 0)";
// One cent in ten-thousandths.
const char *const kCent = "100";

} // namespace

QString expectedSql()
{
    return QStringLiteral(
               "SELECT mv.OID AS OID, mv.ImportoInSospeso AS ImportoInSospeso, mv.Pagato AS Pagato, "
               "coalesce(mv.Importo, 0) - coalesce(mv.Sconto, 0) - coalesce(p.s, 0) - coalesce(e.s, 0) AS Atteso, "
               "abs(coalesce(mv.Importo, 0) - coalesce(mv.Sconto, 0) - coalesce(p.s, 0) - coalesce(e.s, 0)) <= %2 "
               "AS PagatoAtteso "
               "FROM Movimenti AS mv "
               "LEFT JOIN (SELECT OID_Movimenti AS m, SUM(%1) AS s FROM Pagamenti "
               "WHERE OID_Movimenti BETWEEN ? AND ? GROUP BY OID_Movimenti) AS p ON p.m = mv.OID "
               "LEFT JOIN (SELECT OID_Movimenti AS m, SUM(%1) AS s FROM Eliminazioni "
               "WHERE Comando = ? AND OID_Movimenti BETWEEN ? AND ? GROUP BY OID_Movimenti) AS e ON e.m = mv.OID "
               "WHERE mv.OID BETWEEN ? AND ?")
        .arg(QLatin1String(kPaymentTotal), QLatin1String(kCent));
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

} // namespace Outstanding
