#include "objdb/engine/postgres/postgresengine.h"

#include "objdb/engine/postgres/postgresconnection.h"
#include "objdb/engine/postgres/postgresdialect.h"
#include "objdb/engine/postgres/postgreserrors.h"
#include "objdb/error.h"

namespace objdb {

const SqlDialect &PostgresEngine::dialect() const
{
    static const PostgresDialect dialect;
    return dialect;
}

std::unique_ptr<EngineConnection> PostgresEngine::connection(const QString &connectionName) const
{
    return std::make_unique<PostgresConnection>(connectionName);
}

int PostgresEngine::errorCause(const QSqlError &error) const
{
    return postgresErrorCause(error);
}

QString PostgresEngine::errorText(const QSqlError &error) const
{
    if (error.driverText() == QLatin1String(kWriteLockHeld) && !error.databaseText().isEmpty())
        return QStringLiteral("l'archivio è occupato dal terminale %1, che vi sta scrivendo: riprovare tra poco")
            .arg(error.databaseText());
    return Engine::errorText(error);
}

std::optional<UniqueRefusal> PostgresEngine::uniqueRefusal(const QSqlError &error) const
{
    return postgresUniqueRefusal(error);
}

std::unique_ptr<EngineHold> PostgresEngine::compactedCopy(const QString &, const QString &) const
{
    fail(QStringLiteral("La compattazione è possibile solo con un archivio su file: il server compatta da sé i propri "
                        "archivi."));
}

} // namespace objdb
