#include "output/closingperiod.h"

#include "output/frmClosingSummary.h"

namespace output {

std::pair<QDate, QDate> ClosingPeriodFor(bool administrator, DateSelection selection, const QDate &date,
                                         const QDate &periodEnd, const QDate &today)
{
    if (!administrator)
        return {today, today};
    switch (selection) {
    case DateSelection::Month: {
        const QDate first(date.year(), date.month(), 1);
        return {first, first.addMonths(1).addDays(-1)};
    }
    case DateSelection::Period:
        return {date, periodEnd};
    case DateSelection::Day:
        return {date, date};
    case DateSelection::All:
        break;
    }
    return {today, today};
}

void ShowClosingSummary(std::shared_ptr<objdb::Database> database, bool administrator, DateSelection selection,
                        const QDate &date, const QDate &periodEnd, QWidget *owner)
{
    const auto [from, to] = ClosingPeriodFor(administrator, selection, date, periodEnd, QDate::currentDate());
    frmClosingSummary window(std::move(database), from, to, administrator, owner);
    window.exec();
}

} // namespace output
