#pragma once
// Where the operator left the program: the section shown, the date mode and the dates. Kept in
// "Settings" under keys of their own, written when the main window unloads. A desk opened on
// another day shows that day: the dates are taken back only on the day they were left.

#include "views/dateperiod.h"
#include "views/viewquery.h"

#include <QDate>
#include <QString>
#include <optional>

struct RememberedPlace {
    QString section;                   // a node's key, or a grouping node's text; "" for none
    std::optional<DateSelection> mode; // none stored: the configuration's day selection decides
    QDate date;                        // invalid: today
    QDate periodEnd;                   // the last day of a period; invalid unless mode is Period
};

// The place as it is to be shown today. Values that are missing or no longer read (an unknown mode,
// a date that does not parse) are left out, so the start falls back to the defaults for them. Dates
// left on another day give way to today: a period keeps its length and is moved to the one that
// holds today, a period that cannot be read falls back to today's day.
RememberedPlace ReadRememberedPlace(const QDate &today);
// An empty section (no tree, as when the archive never opened) keeps the one stored.
void WriteRememberedPlace(const RememberedPlace &place, const QDate &today);
