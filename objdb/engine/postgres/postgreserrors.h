#pragma once
// What PostgreSQL's SQLSTATE codes mean to the library: the causes of error.h.

#include "objdb/engine/engine.h"

#include <QSqlQuery>
#include <QString>
#include <QVariantList>

class QSqlDatabase;
class QSqlError;

namespace objdb {

// The SQLSTATE a held write lock is reported with, also by the engine's own refusal.
inline constexpr char kLockNotAvailable[] = "55P03";

// The cause of a SQLSTATE; kErrEngine when not foreseen.
int postgresErrorCause(const QString &sqlState);
// The cause of an error of Qt's PostgreSQL driver, whose native code is the SQLSTATE; a connection
// that broke without one is a lost connection.
int postgresErrorCause(const QSqlError &error);
// What a unique index's refusal names: the index's name is "<table>_<column>_idx" (or the
// table's own "<table>_pkey"), and the detail says "Key (<column>)=...".
std::optional<UniqueRefusal> postgresUniqueRefusal(const QSqlError &error);

// Runs one of the engine's own statements, its result read whole (the driver would drop a streamed
// result at the next statement). A failure throws objdb::Error: `failure`, with the error's cause.
QSqlQuery runEngineStatement(QSqlDatabase &db, const QString &sql, const QVariantList &binds, const QString &failure);

} // namespace objdb
