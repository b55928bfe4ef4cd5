#include "objdb/engine/sqlite/sqliteerrors.h"

#include "objdb/error.h"

#include <QSqlError>
#include <sqlite3.h>

namespace objdb {

int sqliteErrorCause(int extendedCode)
{
    if (extendedCode == SQLITE_READONLY_DBMOVED)
        return kErrReplaced;
    // An extended code carries its primary code in the low byte.
    switch (extendedCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return kErrLocked;
    case SQLITE_READONLY: return kErrReadOnly;
    case SQLITE_IOERR: return kErrDiskIo;
    case SQLITE_CORRUPT: return kErrDamaged;
    case SQLITE_FULL: return kErrDiskFull;
    case SQLITE_CANTOPEN: return kErrFileAccess;
    case SQLITE_NOTADB: return kErrNotArchive;
    default: return kErrEngine;
    }
}

int sqliteErrorCause(const QSqlError &error)
{
    bool ok = false;
    const int extended = error.nativeErrorCode().toInt(&ok);
    return ok ? sqliteErrorCause(extended) : kErrEngine;
}

} // namespace objdb
