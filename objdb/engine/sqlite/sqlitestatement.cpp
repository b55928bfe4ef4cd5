#include "objdb/engine/sqlite/sqlitestatement.h"

#include "objdb/amount.h"
#include "objdb/engine/sqlite/sqliteerrors.h"
#include "objdb/error.h"
#include "objdb/types.h"

#include <QDateTime>
#include <QSqlResult>
#include <optional>
#include <sqlite3.h>

namespace objdb {

namespace {

// Null as Qt's SQLite driver binds it: an invalid variant, a null string, byte array or date.
bool isNullBind(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return true;
    switch (value.typeId()) {
    case QMetaType::QString: return static_cast<const QString *>(value.constData())->isNull();
    case QMetaType::QByteArray: return static_cast<const QByteArray *>(value.constData())->isNull();
    case QMetaType::QDate: return !value.toDate().isValid();
    case QMetaType::QDateTime: return !value.toDateTime().isValid();
    default: return false;
    }
}

int bindText(sqlite3_stmt *statement, int position, const QString &text)
{
    return sqlite3_bind_text16(statement, position, text.utf16(), int(text.size() * sizeof(QChar)), SQLITE_TRANSIENT);
}

// Binds one value the way Qt's SQLite driver does, so that a cached statement compares exactly as a
// freshly executed QSqlQuery would.
int bindValue(sqlite3_stmt *statement, int position, const QVariant &value)
{
    if (isNullBind(value))
        return sqlite3_bind_null(statement, position);
    switch (value.typeId()) {
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob(statement, position, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
    }
    case QMetaType::Int:
    case QMetaType::Bool:
        return sqlite3_bind_int(statement, position, value.toInt());
    case QMetaType::Double:
        return sqlite3_bind_double(statement, position, value.toDouble());
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return sqlite3_bind_int64(statement, position, value.toLongLong());
    case QMetaType::QDateTime:
        return bindText(statement, position, value.toDateTime().toString(Qt::ISODateWithMs));
    case QMetaType::QTime:
        return bindText(statement, position, value.toTime().toString(QStringLiteral("hh:mm:ss.zzz")));
    default:
        return bindText(statement, position, value.toString());
    }
}

// Resets the statement whatever happens while its rows are read.
class ResetGuard {
public:
    explicit ResetGuard(sqlite3_stmt *statement) : m_statement(statement) {}
    ~ResetGuard()
    {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
    ResetGuard(const ResetGuard &) = delete;
    ResetGuard &operator=(const ResetGuard &) = delete;

private:
    sqlite3_stmt *m_statement;
};

[[noreturn]] void sqliteFail(sqlite3_stmt *statement)
{
    sqlite3 *db = sqlite3_db_handle(statement);
    failEngine(QStringLiteral("Operazione sull'archivio non riuscita"), sqliteErrorCause(sqlite3_extended_errcode(db)),
               QString::fromUtf8(sqlite3_errmsg(db)));
}

// SQLite's statement behind a prepared query; nullptr once the connection finalized it.
sqlite3_stmt *statementOf(const QSqlQuery &query)
{
    const QSqlResult *result = query.result();
    if (!result)
        return nullptr;
    const QVariant handle = result->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3_stmt*") != 0)
        return nullptr;
    return *static_cast<sqlite3_stmt *const *>(handle.constData());
}

} // namespace

QVariant SqliteRow::value(int column) const
{
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_column_int64(m_statement, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_statement, column);
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char *>(sqlite3_column_blob(m_statement, column)),
                          sqlite3_column_bytes(m_statement, column));
    case SQLITE_NULL:
        return QVariant();
    default: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
        return QString::fromUtf8(text, sqlite3_column_bytes(m_statement, column));
    }
    }
}

qint64 SqliteRow::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

// "yyyy-MM-dd" read digit by digit; anything else goes the general way.
static std::optional<QDate> plainIsoDate(const unsigned char *text, int bytes)
{
    if (bytes < 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    int parts[3] = {0, 0, 0};
    const int starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p)
        for (int i = starts[p]; i < starts[p] + lengths[p]; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return std::nullopt;
            parts[p] = parts[p] * 10 + (text[i] - '0');
        }
    return QDate(parts[0], parts[1], parts[2]);
}

QVariant SqliteRow::typedValue(int column, int type) const
{
    // One call into the statement (each takes the connection's mutex), then the value is read in
    // place: the connection is only ever used from the thread stepping it.
    sqlite3_value *stored = sqlite3_column_value(m_statement, column);
    const int storage = sqlite3_value_type(stored);
    if (storage == SQLITE_NULL)
        return QVariant();
    if (storage == SQLITE_INTEGER) {
        const qint64 number = sqlite3_value_int64(stored);
        switch (type) {
        case TypeAmount: return QVariant::fromValue(Amount::fromUnits(number));
        case TypeInteger: return qlonglong(number);
        case TypeYesNo: return number != 0;
        default: break;
        }
    } else if (storage == SQLITE_TEXT) {
        const unsigned char *text = sqlite3_value_text(stored);
        const int bytes = sqlite3_value_bytes(stored);
        if (type == TypeText || type == TypeLongText || type == TypeReference)
            return QString::fromUtf8(reinterpret_cast<const char *>(text), bytes);
        if (type == TypeDate)
            if (const auto date = plainIsoDate(text, bytes))
                return *date;
    }
    return fromStorage(value(column), type);
}

SqliteStatement::SqliteStatement(QSqlQuery query) : m_query(std::move(query)) {}

bool SqliteStatement::isValid() const
{
    return statementOf(m_query) != nullptr;
}

void SqliteStatement::select(const QVariantList &binds, const std::function<void(const StoredRow &)> &onRow)
{
    sqlite3_stmt *statement = statementOf(m_query);
    if (!statement)
        fail(QStringLiteral("La connessione all'archivio è chiusa."));
    const ResetGuard reset(statement);
    if (sqlite3_bind_parameter_count(statement) != binds.size())
        fail(QStringLiteral("Operazione sull'archivio non riuscita: numero di parametri errato."));
    for (int i = 0; i < binds.size(); ++i)
        if (bindValue(statement, i + 1, binds.at(i)) != SQLITE_OK)
            sqliteFail(statement);
    const SqliteRow row(statement);
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
        onRow(row);
    if (rc != SQLITE_DONE)
        sqliteFail(statement);
}

} // namespace objdb
