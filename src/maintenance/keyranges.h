#pragma once
// Bulk work on a whole table in slices of keys, all inside one transaction: between slices the
// progress window is served, so its stop button answers promptly however big the archive.

#include <QList>
#include <QString>
#include <functional>

namespace objdb {
class Database;
}

namespace KeyRanges {

struct Range {
    qint64 first = 0;
    qint64 last = 0;
};

// The OIDs of `table` from the lowest to the highest, in ranges of `span` keys (none for an empty table).
QList<Range> Of(objdb::Database &database, const QString &table, qint64 span);

// Asked after each slice with the slices done and their total; false means the user stopped.
using Step = std::function<bool(int done, int total)>;

// The slice of keys that answers within a fraction of a second on this machine's archives.
inline constexpr qint64 kSpan = 20000;

} // namespace KeyRanges
