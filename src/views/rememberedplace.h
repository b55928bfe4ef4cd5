#pragma once
// Where the operator left the program: the section shown, the date mode and the date when it was
// not today. Kept in "Settings" under keys of their own, written when the main window unloads.

#include "views/viewquery.h"

#include <QDate>
#include <QString>
#include <optional>

struct RememberedPlace {
    QString section;                   // a node's key, or a grouping node's text; "" for none
    std::optional<DateSelection> mode; // none stored: the configuration's day selection decides
    QDate date;                        // invalid: today
};

// Values that are missing or no longer read (an unknown mode, a date that does not parse) are left
// out, so the start falls back to the defaults for them.
RememberedPlace ReadRememberedPlace();
// The date is stored only when it differs from today; an empty section (no tree, as when the archive
// never opened) keeps the one stored.
void WriteRememberedPlace(const RememberedPlace &place, const QDate &today);
