#include "output/closingperiod.h"

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

} // namespace output
