#pragma once
// The PostgreSQL engine: an archive is one database on a server, named by a libpq URI and opened
// through Qt's QPSQL driver; the driver's handle gives libpq itself for what Qt SQL does not offer
// (cancelling a running statement).

#include "objdb/engine/engine.h"

namespace objdb {

class PostgresEngine final : public Engine {
public:
    const SqlDialect &dialect() const override;
    std::unique_ptr<EngineConnection> connection(const QString &connectionName) const override;
    int errorCause(const QSqlError &error) const override;
    QString errorText(const QSqlError &error) const override;
    std::optional<UniqueRefusal> uniqueRefusal(const QSqlError &error) const override;
    std::unique_ptr<EngineHold> compactedCopy(const QString &source, const QString &target) const override;
    bool forwardOnlyQueries() const override { return false; }
    bool isArchiveHeader(const QByteArray &) const override { return false; }
    int headerSize() const override { return 0; }
};

} // namespace objdb
