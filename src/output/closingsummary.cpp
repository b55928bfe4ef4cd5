#include "output/closingsummary.h"

#include "objdb/database.h"

#include <QLocale>
#include <QSqlQuery>

namespace output {

namespace {

// The four ways of paying of one payment, empty ones as 0.
const char *const kReceived =
    "(COALESCE(Contanti, 0) + COALESCE(Bonifico_Bancomat, 0) + COALESCE(Assegno, 0) + COALESCE(Anticipo, 0))";

objdb::Amount units(const QVariant &value)
{
    return objdb::Amount::fromUnits(value.toLongLong());
}

const QLocale &italian()
{
    static const QLocale locale(QLocale::Italian, QLocale::Italy);
    return locale;
}

QString money(const objdb::Amount &amount)
{
    return amount.toDisplayString();
}

} // namespace

ClosingSummary ComputeClosingSummary(const objdb::Database &db, const QDate &from, const QDate &to)
{
    ClosingSummary summary;
    summary.from = from;
    summary.to = to;
    const QString first = from.toString(Qt::ISODate);
    const QString next = to.addDays(1).toString(Qt::ISODate);

    QSqlQuery received = db.exec(
        QStringLiteral("SELECT COUNT(*), COALESCE(SUM(Contanti), 0), COALESCE(SUM(Bonifico_Bancomat), 0), "
                       "COALESCE(SUM(Assegno), 0), COALESCE(SUM(Anticipo), 0) FROM Pagamenti WHERE Data >= ? AND Data < ?"),
        {first, next});
    if (received.next()) {
        summary.payments = received.value(0).toLongLong();
        summary.cash = units(received.value(1));
        summary.transfer = units(received.value(2));
        summary.cheque = units(received.value(3));
        summary.advance = units(received.value(4));
    }

    QSqlQuery operators = db.exec(
        QStringLiteral("SELECT COALESCE(Operatore, ''), COUNT(*), SUM(%1) FROM Pagamenti WHERE Data >= ? AND Data < ? "
                       "GROUP BY 1 ORDER BY 1")
            .arg(QLatin1String(kReceived)),
        {first, next});
    while (operators.next())
        summary.operators.append({operators.value(0).toString(), operators.value(1).toLongLong(), units(operators.value(2))});

    // One pass over the movements with payments: when each was first and last paid, and how much
    // of it was paid by the end of the period.
    QSqlQuery movements = db.exec(
        QStringLiteral(
            "SELECT COALESCE(SUM(f.first >= ? AND f.first < ?), 0), "
            "COALESCE(SUM(CASE WHEN f.first >= ? AND f.first < ? THEN m.Importo END), 0), "
            "COALESCE(SUM(m.Pagato <> 0 AND f.last >= ? AND f.last < ?), 0), "
            "COALESCE(SUM(CASE WHEN f.first < ? THEN m.Importo - COALESCE(m.Sconto, 0) - f.paid END), 0) "
            "FROM (SELECT OID_Movimenti AS movement, MIN(Data) AS first, MAX(Data) AS last, "
            "SUM(CASE WHEN Data < ? THEN %1 ELSE 0 END) AS paid FROM Pagamenti GROUP BY OID_Movimenti) f "
            "JOIN Movimenti m ON m.OID = f.movement")
            .arg(QLatin1String(kReceived)),
        {first, next, first, next, first, next, next, next});
    if (movements.next()) {
        summary.movementsOpened = movements.value(0).toLongLong();
        summary.openedAmount = units(movements.value(1));
        summary.movementsSettled = movements.value(2).toLongLong();
        summary.outstandingAtEnd = units(movements.value(3));
    }
    return summary;
}

QString ClosingPeriodText(const QDate &from, const QDate &to)
{
    if (from == to)
        return QStringLiteral("del giorno ") + from.toString(QStringLiteral("dd/MM/yyyy"));
    return QStringLiteral("del mese di ") + italian().toString(from, QStringLiteral("MMMM yyyy"));
}

QList<objdb::report::SummarySection> ClosingSummarySections(const ClosingSummary &s)
{
    QList<objdb::report::SummarySection> sections;
    sections.append({QStringLiteral("Incassi per modalità"),
                     {{QStringLiteral("Contanti"), money(s.cash)},
                      {QStringLiteral("Bonifico/Bancomat"), money(s.transfer)},
                      {QStringLiteral("Assegno"), money(s.cheque)},
                      {QStringLiteral("Anticipo"), money(s.advance)},
                      {QStringLiteral("Totale incassato"), money(s.received())}}});
    sections.append({QStringLiteral("Pagamenti e movimenti"),
                     {{QStringLiteral("Pagamenti registrati"), italian().toString(s.payments)},
                      {QStringLiteral("Movimenti saldati"), italian().toString(s.movementsSettled)},
                      {QStringLiteral("Movimenti aperti"), italian().toString(s.movementsOpened)},
                      {QStringLiteral("Importo dei movimenti aperti"), money(s.openedAmount)},
                      {QStringLiteral("Totale in sospeso a fine periodo"), money(s.outstandingAtEnd)}}});
    objdb::report::SummarySection shares{QStringLiteral("Quota per operatore"), {}};
    for (const OperatorShare &share : s.operators)
        shares.lines.append({(share.name.isEmpty() ? QStringLiteral("(nessuno)") : share.name)
                                 + QStringLiteral(" (%1 pagamenti)").arg(italian().toString(share.payments)),
                             money(share.total)});
    if (shares.lines.isEmpty())
        shares.lines.append({QStringLiteral("Nessun pagamento"), QString()});
    sections.append(shares);
    return sections;
}

} // namespace output
