#pragma once
// The closing summary of a day (or a month) at the cash desk: what came in by each way of paying,
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
// "del giorno 07/03/2005" or "del mese di marzo 2005".
QString ClosingPeriodText(const QDate &from, const QDate &to);
// The summary as the window and the report show it.
QList<objdb::report::SummarySection> ClosingSummarySections(const ClosingSummary &summary);

} // namespace output
