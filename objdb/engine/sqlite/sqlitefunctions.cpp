#include "objdb/engine/sqlite/sqlitefunctions.h"

#include "objdb/error.h"
#include "objdb/engine/sqlite/sqlitedialect.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

#include <algorithm>

namespace objdb {

namespace {

void foldFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int bytes = sqlite3_value_bytes(argv[0]);
    if (!text) {
        sqlite3_result_null(context);
        return;
    }
    // Plain ASCII, most data, folds to its lower case without the Unicode machinery.
    if (std::all_of(text, text + bytes, [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        char *folded = static_cast<char *>(sqlite3_malloc(bytes + 1));
        if (!folded) {
            sqlite3_result_error_nomem(context);
            return;
        }
        std::transform(text, text + bytes, folded, [](char c) { return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c; });
        sqlite3_result_text(context, folded, bytes, sqlite3_free);
        return;
    }
    const QByteArray folded = foldText(QString::fromUtf8(text, bytes)).toUtf8();
    sqlite3_result_text(context, folded.constData(), int(folded.size()), SQLITE_TRANSIENT);
}

sqlite3 *sqliteHandle(QSqlDatabase &db)
{
    if (!db.isValid() || !db.isOpen() || !db.driver())
        fail(QStringLiteral("Impossibile registrare le funzioni SQL: la connessione non è aperta."));
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        fail(QStringLiteral("Impossibile registrare le funzioni SQL: la connessione non è SQLite."));
    sqlite3 *connection = *static_cast<sqlite3 *const *>(handle.constData());
    if (!connection)
        fail(QStringLiteral("Impossibile registrare le funzioni SQL: la connessione non è aperta."));
    return connection;
}

} // namespace

void registerSqlFunctions(QSqlDatabase &db)
{
    sqlite3 *connection = sqliteHandle(db);
    int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
#ifdef SQLITE_INNOCUOUS
    flags |= SQLITE_INNOCUOUS;
#endif
    const SqliteDialect dialect;
    const QString name = dialect.foldFunction();
    const int rc = sqlite3_create_function_v2(connection, name.toUtf8().constData(), 1, flags, nullptr, &foldFunction,
                                              nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        fail(QStringLiteral("Impossibile registrare la funzione SQL %1: %2").arg(name, QString::fromUtf8(sqlite3_errstr(rc))));
}

} // namespace objdb
