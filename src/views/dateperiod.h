#pragma once
// A period of days, as the period selection limits the dated views to it: moved a whole period at
// a time, and the period of the same length that holds a given day.

#include <QDate>

struct DatePeriod {
    QDate from; // first day
    QDate to;   // last day, included

    bool operator==(const DatePeriod &) const = default;
};

// From the first of a month to the last of a month (the same or a later one): such a period moves
// by months, so that "March" moves to "April" and a quarter to the next quarter.
bool IsWholeMonths(const DatePeriod &period);

// The period moved by `steps` of its own length: its number of months for whole months, else its
// number of days (a week moves a week).
DatePeriod StepPeriod(const DatePeriod &period, int steps);

// The period moved by whole steps so that it holds `day` (itself when it already does).
DatePeriod PeriodHolding(const DatePeriod &period, const QDate &day);
