#pragma once
// One archive, a file or a database on a server: creation, opening, closing, transactions.

#include <QSqlDatabase>
#include <QSqlError>
#include <QStringList>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace objdb {

class Engine;
class EngineConnection;
class EngineHold;
struct UniqueRefusal;
class SqlDialect;
class itfProgress;

inline constexpr int kDatabaseFormat = 3;

class Database : public std::enable_shared_from_this<Database> {
public:
    static std::shared_ptr<Database> create();
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // The name this program's connections to a server give themselves (e.g. "operator@host"): a
    // desk waiting for the write lock is told which one holds it.
    static void setClientName(const QString &name);

    // Creates a new archive file; refuses an existing path. On a server: lays the archive down in
    // its empty database; refuses a database that holds tables.
    void Create(int format, const QString &path);
    // Opens an archive. An empty file is initialised as a new archive. A file that is not an archive,
    // is read-only or is locked by another program throws, and the file is left untouched. On a
    // server, an empty database is laid down as a new file would be, under the write lock so that
    // two desks starting together do not both lay it down.
    void Open(int format, const QString &path, itfProgress *progress = nullptr, int busySeconds = 5,
              bool readOnly = false);
    // Closes the file, also while data sources are open: they become detached.
    void Close();
    bool IsOpen() const;
    bool isReadOnly() const { return m_readOnly; }
    QString path() const { return m_path; }

    // One transaction around several operations; nested Begin throws.
    void BeginTrans();
    void CommitTrans();
    void Rollback();
    bool inTransaction() const { return m_inTransaction; }
    // Whether the connection holds no transaction at all, its own or one begun by plain SQL.
    bool inAutocommit();
    // The engine asks between steps of a statement whether to go on: once *stop is set, the
    // statement in progress fails at once (a read on a thread of its own ends this way).
    void stopWhen(const std::atomic<bool> *stop);
    // Runs reads that must end within ms: a statement still running then fails at once, and the
    // answer is false (what the reads gathered is then incomplete). Other failures throw.
    bool readWithin(int ms, const std::function<void()> &reads);

    // Statement helpers for the library's own SQL; throw objdb::Error on failure.
    QSqlQuery prepare(const QString &sql) const;
    QSqlQuery exec(const QString &sql, const QVariantList &binds = {}) const;
    QSqlDatabase &sql() { return m_db; }
    // Raises an error of this connection's engine as "what: cause", with the number of its cause.
    [[noreturn]] void failEngine(const QString &what, const QSqlError &error) const;
    // What an error of this connection names when it is a unique index's refusal.
    std::optional<UniqueRefusal> uniqueRefusal(const QSqlError &error) const;

    // The engine's SQL, its schema, its fast reads and its own check of the archive.
    const SqlDialect &dialect() const;
    bool hasTable(const QString &table) const;
    QStringList tables() const;
    QStringList columns(const QString &table) const;
    // The key of the row the last INSERT added.
    qint64 lastInsertedKey() const;
    // What the engine finds wrong with the archive file, in its words; empty when sound.
    QStringList integrityFindings() const;
    // The open connection behind this database; throws when it is closed.
    EngineConnection &engine() const;

    // The main currency recorded in the file ("Euro" for every file this library creates).
    QString mainCurrency() const;
    // Dropping the last reference closes the database; data sources hold it weakly.
    std::weak_ptr<Database> weak() { return weak_from_this(); }

private:
    friend class Savepoint;
    Database();
    void openConnection(const QString &path, int busySeconds, bool readOnly);
    void openOnServer(const QString &uri, int busySeconds, bool readOnly);
    void createOnServer(const QString &uri);
    [[noreturn]] void openFailure(const QString &path, const QSqlError &error) const;
    void initialiseMetadata();
    void checkIsArchive();
    void checkNotLocked();

    QString m_connectionName;
    const Engine *m_engine = nullptr;
    std::unique_ptr<EngineConnection> m_connection;
    QSqlDatabase m_db; // the connection's, while open
    QString m_path;
    bool m_readOnly = false;
    bool m_inTransaction = false;
    int m_openSavepoints = 0;
};

// A savepoint that rolls back on scope exit unless committed; nests inside transactions. The
// outermost one is a transaction that takes the archive's write lock at once, so that what is read
// inside it is still what gets written over, whatever another program writes to the same file.
class Savepoint {
public:
    explicit Savepoint(Database &db);
    ~Savepoint();
    Savepoint(const Savepoint &) = delete;
    Savepoint &operator=(const Savepoint &) = delete;
    void commit();

private:
    Database &m_db;
    QString m_name; // empty for the outermost
    bool m_done = false;
};

// RAII over BeginTrans/CommitTrans: rolls back on scope exit unless committed.
class TransactionGuard {
public:
    explicit TransactionGuard(Database &db) : m_db(db) { m_db.BeginTrans(); }
    ~TransactionGuard();
    TransactionGuard(const TransactionGuard &) = delete;
    TransactionGuard &operator=(const TransactionGuard &) = delete;
    void commit();

private:
    Database &m_db;
    bool m_done = false;
};

// A page cache that holds a usual archive whole, for the length of a bulk command that rewrites
// every row (with the default cache each pass reads the file again); the connection's own size
// comes back on scope exit.
class BulkCache {
public:
    explicit BulkCache(Database &db);
    ~BulkCache();
    BulkCache(const BulkCache &) = delete;
    BulkCache &operator=(const BulkCache &) = delete;

private:
    std::unique_ptr<EngineHold> m_hold;
};

} // namespace objdb
