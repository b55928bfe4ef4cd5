#pragma once
// One connection of the PostgreSQL engine. The write lock is an advisory lock of the transaction,
// one for the whole archive as SQLite's file lock is; a session never waits for a lock longer than
// the busy time, nor stays idle inside a transaction for long (a desk that hangs gives it back).

#include "objdb/engine/engine.h"

#include <QSqlError>
#include <memory>

struct pg_conn;

namespace objdb {

class CancelWatcher;

// The driver text of the refusal beginWrite gives when another session holds the write lock; the
// database text is then that session's application name.
inline constexpr char kWriteLockHeld[] = "objdb write lock held";

class PostgresConnection final : public EngineConnection {
public:
    explicit PostgresConnection(const QString &name);
    ~PostgresConnection() override;

    bool open(const QString &uri, const Options &options) override;
    QSqlDatabase &sql() override { return m_db; }
    void close() override;

    QSqlError beginWrite() override;
    bool inAutocommit() override;
    void interruptWhen(std::function<bool()> stop) override;
    void installFunctions() override;

    std::unique_ptr<EngineStatement> prepareSelect(const QString &sql) override;
    qint64 lastInsertedKey() override;
    void keysWritten(const QString &table) override;

    bool hasTable(const QString &table, const QString &archive) override;
    QStringList tables() override;
    QStringList columns(const QString &table, const QString &archive) override;
    QString tableDefinition(const QString &table, const QString &archive) override;
    void attach(const QString &path, const QString &as) override;
    void detach(const QString &as) override;

    std::unique_ptr<EngineHold> bulkCache() override;
    QStringList integrityFindings() override;

private:
    // The application name of the session holding the write lock; "" when none or unknown.
    QString writeLockHolder();

    QString m_name;
    QSqlDatabase m_db;
    pg_conn *m_handle = nullptr;
    int m_busySeconds = 5;
    // Shared with the prepared statements, which ask it between rows on this connection's thread.
    std::shared_ptr<std::function<bool()>> m_stop = std::make_shared<std::function<bool()>>();
    std::unique_ptr<CancelWatcher> m_watcher;
};

} // namespace objdb
