#pragma once
// The SQL functions objdb's rendered SQL relies on, registered on each SQLite connection.

class QSqlDatabase;

namespace objdb {

// Registers on the open connection `db` (driver QSQLITE):
//   objdb_fold(x): objdb::foldText(x) (case and accents folded), Null for Null. Used by Like.
// Throws objdb::Error (n = 124) when the connection is not an open SQLite connection or SQLite refuses.
void registerSqlFunctions(QSqlDatabase &db);

} // namespace objdb
