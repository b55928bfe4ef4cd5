#pragma once
// What SQLite's result codes mean to the library: the causes of error.h.

class QSqlError;

namespace objdb {

// The cause of an (extended) SQLite result code; kErrEngine when not foreseen.
int sqliteErrorCause(int extendedCode);
// The cause of an error of Qt's SQLite driver, whose native code is SQLite's extended code.
int sqliteErrorCause(const QSqlError &error);

} // namespace objdb
