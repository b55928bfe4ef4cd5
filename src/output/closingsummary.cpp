#include "output/closingsummary.h"

#include "data/deletionlog.h"
#include "data/outstandingrule.h"
#include "objdb/database.h"
#include "objdb/sqldialect.h"

#include <QLocale>
#include <QSqlQuery>

namespace output {

namespace {

// The four ways of paying of one payment, empty ones as 0.
const QString &received()
{
    static const QString sum = QLatin1Char('(') + OutstandingRule::PaidSql() + QLatin1Char(')');
    return sum;
}

// The exact sum of an amount expression over the rows, 0 for none.
QString total(const objdb::Database &db, const QString &expression)
{
    return QStringLiteral("COALESCE(%1, 0)").arg(db.dialect().integerSum(expression));
}

// "COALESCE(SUM(Contanti), 0), ...": each way of paying summed, in the table's order.
QString sumsOfEachWay(const objdb::Database &db)
{
    QStringList sums;
    for (const QString &column : OutstandingRule::PaymentColumns())
        sums.append(total(db, column));
    return sums.join(QStringLiteral(", "));
}

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

// Whether the days after `to` are at most a tenth of the archive's days with payments: then its
// payments after `to` are few enough to be read through the date index.
bool fewDaysAfter(const objdb::Database &db, const QDate &to)
{
    QSqlQuery span = db.exec(QStringLiteral("SELECT (SELECT MIN(Data) FROM Pagamenti), (SELECT MAX(Data) FROM Pagamenti)"));
    if (!span.next())
        return true;
    const QDate first = span.value(0).toDate(), last = span.value(1).toDate();
    if (!first.isValid() || !last.isValid() || to >= last)
        return true;
    return to.daysTo(last) * 10 <= first.daysTo(last);
}

} // namespace

ClosingSummary ComputeClosingSummary(const objdb::Database &db, const QDate &from, const QDate &to)
{
    ClosingSummary summary;
    summary.from = from;
    summary.to = to;
    const QString first = from.toString(Qt::ISODate);
    const QString next = to.addDays(1).toString(Qt::ISODate);

    QSqlQuery byWay = db.exec(
        QStringLiteral("SELECT COUNT(*), %1 FROM Pagamenti WHERE Data >= ? AND Data < ?").arg(sumsOfEachWay(db)), {first, next});
    if (byWay.next()) {
        summary.payments = byWay.value(0).toLongLong();
        summary.cash = units(byWay.value(1));
        summary.transfer = units(byWay.value(2));
        summary.cheque = units(byWay.value(3));
        summary.advance = units(byWay.value(4));
    }

    QSqlQuery operators = db.exec(
        QStringLiteral("SELECT COALESCE(Operatore, ''), COUNT(*), %1 FROM Pagamenti WHERE Data >= ? AND Data < ? "
                       "GROUP BY 1 ORDER BY 1")
            .arg(total(db, received())),
        {first, next});
    while (operators.next())
        summary.operators.append({operators.value(0).toString(), operators.value(1).toLongLong(), units(operators.value(2))});

    // The movements paid in the period: opened there when nothing of them was paid before (neither a
    // payment nor one a purge removed, which are older than the payments left), settled there when
    // paid and nothing of them was paid after. Per movement each question is one seek of the index
    // by movement and date: the period's payments and their movements are all that is read.
    QSqlQuery movements = db.exec(
        QStringLiteral(
            "SELECT COUNT(CASE WHEN opened THEN 1 END), %1, COUNT(CASE WHEN Pagato <> 0 AND closed THEN 1 END) "
            "FROM (SELECT m.Importo, m.Pagato, "
            "NOT EXISTS (SELECT 1 FROM Pagamenti p WHERE p.OID_Movimenti = m.OID AND p.Data < ?) "
            "AND NOT EXISTS (SELECT 1 FROM Eliminazioni e WHERE e.OID_Movimenti = m.OID AND e.Comando = ?) AS opened, "
            "NOT EXISTS (SELECT 1 FROM Pagamenti p WHERE p.OID_Movimenti = m.OID AND p.Data >= ?) AS closed "
            "FROM Movimenti m WHERE m.OID IN (SELECT OID_Movimenti FROM Pagamenti WHERE Data >= ? AND Data < ?)) AS paid")
            .arg(total(db, QStringLiteral("CASE WHEN opened THEN Importo END"))),
        {first, DeletionLog::kPurgeCommand, next, first, next});
    if (movements.next()) {
        summary.movementsOpened = movements.value(0).toLongLong();
        summary.openedAmount = units(movements.value(1));
        summary.movementsSettled = movements.value(2).toLongLong();
    }

    // What the movements opened by the end owed then: their outstanding amount today, which counts
    // every payment and purged payment, plus what they were paid after the end. Summed as the
    // outstanding amounts of every movement ever paid (those owing nothing add nothing), plus every
    // payment after the end, less the net amounts of the movements first paid after the end (for
    // them both parts make up the net amount). The part after the end is the archive's: near its
    // last day a range of the date index; further back a walk of the table and of the index by
    // movement, cheaper than seeking most of the table row by row.
    const bool nearTheEnd = fewDaysAfter(db, to);
    const QString afterTheEnd = QStringLiteral("SELECT %1 FROM Pagamenti%2 WHERE Data >= ?")
                                    .arg(total(db, received()), nearTheEnd ? QString() : db.dialect().keyScan());
    const QString firstPaidAfter = nearTheEnd
        ? QStringLiteral("SELECT m.OID, m.Importo, m.Sconto FROM Movimenti m WHERE m.OID IN "
                         "(SELECT OID_Movimenti FROM Pagamenti WHERE Data >= ?) "
                         "AND NOT EXISTS (SELECT 1 FROM Pagamenti p WHERE p.OID_Movimenti = m.OID AND p.Data < ?)")
        : QStringLiteral("SELECT m.OID, m.Importo, m.Sconto FROM (SELECT OID_Movimenti AS oid FROM Pagamenti "
                         "GROUP BY OID_Movimenti HAVING MIN(Data) >= ?) f JOIN Movimenti m ON m.OID = f.oid");
    QVariantList binds{DeletionLog::kPurgeCommand, next, next};
    if (nearTheEnd)
        binds.append(next);
    binds.append(DeletionLog::kPurgeCommand);
    QSqlQuery outstanding = db.exec(
        QStringLiteral(
            "SELECT (SELECT %3 FROM Movimenti m WHERE m.ImportoInSospeso <> 0 AND "
            "(EXISTS (SELECT 1 FROM Pagamenti p WHERE p.OID_Movimenti = m.OID) "
            "OR EXISTS (SELECT 1 FROM Eliminazioni e WHERE e.OID_Movimenti = m.OID AND e.Comando = ?))) "
            "+ (%1) "
            "- (SELECT %4 FROM (%2) f "
            "WHERE NOT EXISTS (SELECT 1 FROM Eliminazioni e WHERE e.OID_Movimenti = f.OID AND e.Comando = ?))")
            .arg(afterTheEnd, firstPaidAfter, total(db, QStringLiteral("m.ImportoInSospeso")),
                 total(db, QStringLiteral("COALESCE(f.Importo, 0) - COALESCE(f.Sconto, 0)"))),
        binds);
    if (outstanding.next())
        summary.outstandingAtEnd = units(outstanding.value(0));
    return summary;
}

ClosingHeading ClosingHeadingFor(const QDate &from, const QDate &to)
{
    const auto day = [](const QDate &date) { return date.toString(QStringLiteral("dd/MM/yyyy")); };
    if (from == to)
        return {QStringLiteral("Chiusura giornata"), QStringLiteral("del ") + day(from),
                from.toString(QStringLiteral("yyyy-MM-dd"))};
    if (from.day() == 1 && to == from.addMonths(1).addDays(-1))
        return {QStringLiteral("Chiusura mensile"), QStringLiteral("di ") + italian().toString(from, QStringLiteral("MMMM yyyy")),
                from.toString(QStringLiteral("yyyy-MM"))};
    return {QStringLiteral("Chiusura del periodo"), QStringLiteral("dal ") + day(from) + QStringLiteral(" al ") + day(to),
            from.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ') + to.toString(QStringLiteral("yyyy-MM-dd"))};
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
