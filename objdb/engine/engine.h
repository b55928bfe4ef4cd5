#pragma once
// The engine behind an archive. Everything the library asks of the engine itself (opening a
// connection, the write lock, the SQL functions, stopping a running statement, what its error codes
// mean, the schema, reading rows fast, the file's own check) goes
// through these classes; the rest of the library speaks Qt SQL with the SQL of the engine's
// SqlDialect. One implementation per engine, each in a folder of its own under engine/.

#include "objdb/error.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>
#include <optional>

namespace objdb {

class SqlDialect;

// What a unique index's refusal of a write names: the table and the column, as stored.
struct UniqueRefusal {
    QString table;
    QString column;
};

// One row of a statement being stepped: the values as Qt SQL gives them (qlonglong, double,
// QString, QByteArray; QVariant() for Null). Valid only inside the call that hands it over.
class StoredRow {
public:
    virtual QVariant value(int column) const = 0;
    virtual qint64 integer(int column) const = 0;
    // fromStorage(value(column), type), without the intermediate variant for the usual storage.
    virtual QVariant typedValue(int column, int type) const = 0;

protected:
    ~StoredRow() = default;
};

// A SELECT prepared once and run many times. It is reset as soon as its rows are read: no cursor
// stays open between calls.
class EngineStatement {
public:
    virtual ~EngineStatement() = default;
    // False once the connection it was prepared on is closed.
    virtual bool isValid() const = 0;
    // Runs the statement with its binds and calls onRow for every row. Throws objdb::Error when the
    // binds do not fit or the engine fails.
    virtual void select(const QVariantList &binds, const std::function<void(const StoredRow &)> &onRow) = 0;
};

// Something the engine keeps in force until the object goes (a lock, a setting).
class EngineHold {
public:
    virtual ~EngineHold() = default;
};

// One connection to one archive, used only by the thread that opened it.
class EngineConnection {
public:
    struct Options {
        int busySeconds = 5; // how long a statement waits for another program's lock
        bool readOnly = false;
    };

    virtual ~EngineConnection() = default;
    // Opens the archive at path (a file's path, or a server's URI) with the library's SQL
    // functions; false, with sql().lastError() telling why, when the engine cannot.
    virtual bool open(const QString &path, const Options &options) = 0;
    // Writes the SQL functions the library's SQL relies on into the archive, where the engine keeps
    // them there rather than on each connection; inside the caller's write transaction.
    virtual void installFunctions() {}
    // The Qt SQL connection the library's statements run on; invalid once closed.
    virtual QSqlDatabase &sql() = 0;
    virtual void close() = 0;

    // Begins a transaction that holds the archive's write lock from its first statement, so that
    // what is read inside it is still what gets written over; waits for another writer as long as
    // the options allow. An error with type NoError when it began.
    virtual QSqlError beginWrite() = 0;
    // Whether no transaction is open at all, the library's own or one begun by plain SQL.
    virtual bool inAutocommit() = 0;
    // From now on the engine asks between steps of a running statement whether to stop; true
    // makes the statement fail at once. An empty function stops asking.
    virtual void interruptWhen(std::function<bool()> stop) = 0;

    // A SELECT for the statement cache, stepped without Qt SQL's conversions where the engine can.
    virtual std::unique_ptr<EngineStatement> prepareSelect(const QString &sql) = 0;
    // The key of the row the last INSERT on this connection added.
    virtual qint64 lastInsertedKey() = 0;
    // After rows were written into `table` with their keys given (a transfer of a whole archive): the
    // keys the engine gives new rows from now on follow the highest one. SQLite does so by itself.
    virtual void keysWritten(const QString & /*table*/) {}

    // The schema of the archive; `archive` names one attached beside it, "" the archive itself.
    virtual bool hasTable(const QString &table, const QString &archive) = 0;
    virtual QStringList tables() = 0;
    // Column names of a table, as stored.
    virtual QStringList columns(const QString &table, const QString &archive) = 0;
    // The stored definition of a table with its indexes, equal for two archives that define it alike.
    virtual QString tableDefinition(const QString &table, const QString &archive) = 0;

    // Another archive file of this engine made readable beside this one for statements that read
    // both (the import): its tables are named `as`.table. Only outside a transaction.
    virtual void attach(const QString &path, const QString &as) = 0;
    virtual void detach(const QString &as) = 0;

    // A cache large enough to hold a usual archive whole, for a bulk command that rewrites every
    // row; the previous size comes back when the hold goes.
    virtual std::unique_ptr<EngineHold> bulkCache() = 0;
    // What the engine's own check of the archive finds wrong, in its words; empty when sound.
    virtual QStringList integrityFindings() = 0;
};

// One kind of engine.
class Engine {
public:
    virtual ~Engine() = default;
    virtual const SqlDialect &dialect() const = 0;
    // A connection named connectionName (for Qt SQL), not yet open.
    virtual std::unique_ptr<EngineConnection> connection(const QString &connectionName) const = 0;
    // The cause of an engine error: one of the codes of error.h, kErrEngine when not foreseen.
    virtual int errorCause(const QSqlError &error) const = 0;
    // The error's cause in the user's words, with what to do about it (engineErrorText); an engine
    // may name more, such as who holds a lock.
    virtual QString errorText(const QSqlError &error) const { return engineErrorText(errorCause(error), error.text()); }
    // What the error names when it is a unique index's refusal; nothing for any other error.
    virtual std::optional<UniqueRefusal> uniqueRefusal(const QSqlError &error) const = 0;
    // Writes a compacted copy of the archive file at source to target (which must not exist), checked
    // by the engine and on the disk; while the hold lives nobody else can write to the archive.
    // Throws objdb::Error, the archive untouched and no target left, when it cannot.
    virtual std::unique_ptr<EngineHold> compactedCopy(const QString &source, const QString &target) const = 0;
    // Whether the library's and the program's queries may be read forward only. An engine whose
    // driver then streams the rows drops a result still being read when the connection runs
    // another statement, which a loop over rows often does.
    virtual bool forwardOnlyQueries() const { return true; }
    // Whether the first bytes of a file are those of this engine's archives.
    virtual bool isArchiveHeader(const QByteArray &firstBytes) const = 0;
    // How many first bytes isArchiveHeader needs.
    virtual int headerSize() const = 0;
};

// The engine of the archive at path.
const Engine &engineFor(const QString &path);

} // namespace objdb
