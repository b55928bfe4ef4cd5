#pragma once
// The purge of settled payments: every payment dated up to a day whose movement is settled goes,
// logged with its amounts, and the movements stay as they are (settled, with the same outstanding
// amount: what the payments covered stays covered).

#include "maintenance/keyranges.h"

#include <QDate>

namespace objdb {
class DataContext;
}

namespace SettledPurge {

struct Outcome {
    int deleted = 0;
    bool stopped = false; // the user stopped it: nothing was deleted
};

// One transaction; a stop or a failure rolls it back whole (a failure throws).
Outcome Run(objdb::DataContext &context, const QDate &upTo, const KeyRanges::Step &step);

} // namespace SettledPurge
