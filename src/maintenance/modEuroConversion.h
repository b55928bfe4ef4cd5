#pragma once
// The conversion of an archive kept in lire to Euro: every amount of every table divided by
// 1936,27, exactly in ten-thousandths and rounded once, half away from zero; then every movement's
// outstanding amount and paid flag set from its converted parts, so that they agree to the
// ten-thousandth with its converted payments and purged payments.

#include "maintenance/keyranges.h"

namespace objdb {
class DataContext;
}

namespace EuroConversion {

struct Outcome {
    bool stopped = false; // the user stopped it: nothing changed
};

// One transaction, in slices of keys, which also marks the archive converted; a stop or a failure
// rolls it back whole (a failure throws).
Outcome Convert(objdb::DataContext &context, const KeyRanges::Step &step);

} // namespace EuroConversion

// Asks (warning when the archive is marked converted already) and converts the archive of `context`
// with the progress window. True once a conversion was committed.
bool ConvertArchiveToEuro(objdb::DataContext &context);
