#pragma once
// Compaction of an archive into a new file, for the repair: the engine rewrites every table and
// index into the copy (VACUUM INTO), which drops free pages, and the copy must pass the engine's
// integrity check before it may take the archive's place. An index that disagrees with its table
// comes over as it is; the copy's indexes are then rebuilt from their tables before the check is
// repeated.

#include <QSqlDatabase>
#include <QString>

namespace objdb {

class CompactedCopy {
public:
    // Copies the archive at source, compacted, into target (which must not exist). Refuses, leaving
    // the archive untouched, when another program is reading or writing it, when the engine cannot
    // read it whole, or when the copy fails its integrity check even with its indexes rebuilt. On return the copy is on disk and
    // nobody else can write to the archive until this object goes, so the copy stays its equal
    // while it takes the archive's place.
    CompactedCopy(const QString &source, const QString &target);
    ~CompactedCopy();
    CompactedCopy(const CompactedCopy &) = delete;
    CompactedCopy &operator=(const CompactedCopy &) = delete;

private:
    QString m_connectionName;
    QSqlDatabase m_source;
};

} // namespace objdb
