#pragma once
// The closing summary of a day (a month, a period) at the cash desk: what came in by each way of paying,
// how many payments and settled movements, the movements opened and the outstanding total at the end
// of the period, and each operator's share. Read from the archive by a few aggregate queries; it
// changes nothing.

#include "objdb/amount.h"
#include "objdb/report/summaryreport.h"

#include <QDate>
#include <QList>
#include <QString>

namespace objdb {
class Database;
}

namespace output {

struct OperatorShare {
    QString name;
    qint64 payments = 0;
    objdb::Amount total;
};

struct ClosingSummary {
    QDate from; // first day
    QDate to;   // last day, included
    objdb::Amount cash, transfer, cheque, advance;
    qint64 payments = 0;
    qint64 movementsSettled = 0;  // paid movements whose last payment falls in the period
    qint64 movementsOpened = 0;   // movements whose first payment falls in the period (a purge keeps it out)
    objdb::Amount openedAmount;   // their Importo
    objdb::Amount outstandingAtEnd; // what movements opened by the end of the period still owed then
    QList<OperatorShare> operators; // by name

    objdb::Amount received() const { return cash + transfer + cheque + advance; }
};

// The summary of the days from..to (both included). An empty amount counts as nothing, as the rules
// count it.
ClosingSummary ComputeClosingSummary(const objdb::Database &db, const QDate &from, const QDate &to);
// What a summary is called for the days it covers: one day, one calendar month or any other period.
struct ClosingHeading {
    QString kind;   // "Chiusura giornata", "Chiusura mensile", "Chiusura del periodo"
    QString period; // "del 07/03/2005", "di marzo 2005", "dal 01/03/2005 al 07/03/2005"
    QString dates;  // for a file name: "2005-03-07", "2005-03", "2005-03-01 2005-03-07"

    QString text() const { return kind + QLatin1Char(' ') + period; }
};
ClosingHeading ClosingHeadingFor(const QDate &from, const QDate &to);
// The summary as the window and the report show it.
QList<objdb::report::SummarySection> ClosingSummarySections(const ClosingSummary &summary);

} // namespace output
