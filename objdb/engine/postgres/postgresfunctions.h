#pragma once
// The SQL functions objdb's rendered SQL relies on, kept in a PostgreSQL archive (a server runs no
// code of the program's): objdb_fold(x) folds as objdb::foldText does, Null for Null.

class QSqlDatabase;

namespace objdb {

// Creates or replaces the functions in the archive on the open connection `db`, inside the
// caller's transaction; leaves them alone when they are already as this library defines them.
// Throws objdb::Error when the server refuses.
void installSqlFunctions(QSqlDatabase &db);

} // namespace objdb
