#pragma once
// The SQLite engine's compaction of an archive file for the repair: SQLite rewrites every table and
// index into the copy (VACUUM INTO), which drops free pages, and the copy must pass SQLite's
// integrity check before it may take the archive's place. An index that disagrees with its table
// comes over as it is; the copy's indexes are then rebuilt from their tables before the check is
// repeated.

#include "objdb/engine/engine.h"

#include <QSqlDatabase>
#include <QString>

namespace objdb {

class SqliteCompactedCopy final : public EngineHold {
public:
    // See Engine::compactedCopy.
    SqliteCompactedCopy(const QString &source, const QString &target);
    ~SqliteCompactedCopy() override;
    SqliteCompactedCopy(const SqliteCompactedCopy &) = delete;
    SqliteCompactedCopy &operator=(const SqliteCompactedCopy &) = delete;

private:
    QString m_connectionName;
    QSqlDatabase m_source;
};

} // namespace objdb
