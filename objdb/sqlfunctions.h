#pragma once
#include <QSqlDatabase>

namespace objdb {
// Registers the library's SQL functions (objdb_fold) on an open SQLite connection.
void registerSqlFunctions(QSqlDatabase &db);
}
