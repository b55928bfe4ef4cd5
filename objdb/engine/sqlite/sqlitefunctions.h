#pragma once
// The SQL functions objdb's rendered SQL relies on, registered on each SQLite connection.

class QSqlDatabase;

namespace objdb {

// Registers on the open connection `db` (driver QSQLITE):
//   objdb_fold(x): objdb::foldText(x) (case and accents folded), Null for Null. Used by Like.
//   objdb_amount_mul(x, f), objdb_amount_div(x, f): the amount x times or divided by f, both in
//     ten-thousandths, exact and rounded half away from zero; Null for Null. A result the archive
//     does not accept, a zero divisor or an argument that is not an integer fail the statement
//     with an Italian message.
// Throws objdb::Error (n = 124) when the connection is not an open SQLite connection or SQLite refuses.
void registerSqlFunctions(QSqlDatabase &db);

} // namespace objdb
