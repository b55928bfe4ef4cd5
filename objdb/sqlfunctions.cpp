#include "objdb/sqlfunctions.h"

#include "objdb/error.h"
#include "objdb/sqldialect.h"

#include <QSqlDriver>
#include <QVariant>
#include <sqlite3.h>

namespace objdb {

namespace {

void foldFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const QByteArray folded = foldText(QString::fromUtf8(text, sqlite3_value_bytes(argv[0]))).toUtf8();
    sqlite3_result_text(context, folded.constData(), int(folded.size()), SQLITE_TRANSIENT);
}

} // namespace

void registerSqlFunctions(QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        fail(QStringLiteral("Motore di archivio non supportato."));
    sqlite3 *connection = *static_cast<sqlite3 *const *>(handle.data());
    if (!connection)
        fail(QStringLiteral("Connessione all'archivio non disponibile."));
    sqlite3_create_function_v2(connection, "objdb_fold", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               foldFunction, nullptr, nullptr, nullptr);
}

} // namespace objdb
