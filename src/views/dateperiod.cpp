#include "views/dateperiod.h"

namespace {

int monthsOf(const DatePeriod &period)
{
    return (period.to.year() - period.from.year()) * 12 + period.to.month() - period.from.month() + 1;
}

// Whole steps of `length` from 0 to `distance`, rounded towards the past.
qint64 stepsBefore(qint64 distance, qint64 length)
{
    return distance >= 0 ? distance / length : -((-distance + length - 1) / length);
}

} // namespace

bool IsWholeMonths(const DatePeriod &period)
{
    return period.from.day() == 1 && period.to.addDays(1).day() == 1 && period.from <= period.to;
}

DatePeriod StepPeriod(const DatePeriod &period, int steps)
{
    if (IsWholeMonths(period)) {
        const int months = monthsOf(period);
        const QDate from = period.from.addMonths(steps * months);
        return {from, from.addMonths(months).addDays(-1)};
    }
    const qint64 days = qMax<qint64>(1, period.from.daysTo(period.to) + 1);
    return {period.from.addDays(steps * days), period.to.addDays(steps * days)};
}

DatePeriod PeriodHolding(const DatePeriod &period, const QDate &day)
{
    if (IsWholeMonths(period)) {
        const qint64 distance = (day.year() - period.from.year()) * 12 + day.month() - period.from.month();
        return StepPeriod(period, int(stepsBefore(distance, monthsOf(period))));
    }
    const qint64 days = qMax<qint64>(1, period.from.daysTo(period.to) + 1);
    return StepPeriod(period, int(stepsBefore(period.from.daysTo(day), days)));
}
