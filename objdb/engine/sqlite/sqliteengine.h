#pragma once
// The SQLite engine: an archive is one file, opened through Qt's QSQLITE driver; the driver's
// handle gives the engine's own interface for what Qt SQL does not offer.

#include "objdb/engine/engine.h"

namespace objdb {

class SqliteEngine final : public Engine {
public:
    const SqlDialect &dialect() const override;
    std::unique_ptr<EngineConnection> connection(const QString &connectionName) const override;
    int errorCause(const QSqlError &error) const override;
    std::optional<UniqueRefusal> uniqueRefusal(const QSqlError &error) const override;
    std::unique_ptr<EngineHold> compactedCopy(const QString &source, const QString &target) const override;
    bool isArchiveHeader(const QByteArray &firstBytes) const override;
    int headerSize() const override;
};

} // namespace objdb
