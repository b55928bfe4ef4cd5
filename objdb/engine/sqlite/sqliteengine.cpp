#include "objdb/engine/sqlite/sqliteengine.h"

#include "objdb/engine/sqlite/sqlitecompaction.h"
#include "objdb/engine/sqlite/sqlitedialect.h"
#include "objdb/engine/sqlite/sqliteerrors.h"
#include "objdb/engine/sqlite/sqlitefunctions.h"
#include "objdb/engine/sqlite/sqlitestatement.h"
#include "objdb/error.h"

#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlQuery>
#include <sqlite3.h>

namespace objdb {

namespace {

const char kSqliteHeader[] = "SQLite format 3"; // with its terminating zero: 16 bytes

// Failures of the engine's own statements, raised like the library's.
QSqlQuery run(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(sql))
        failEngine(QStringLiteral("Operazione sull'archivio non riuscita"), sqliteErrorCause(q.lastError()),
                   q.lastError().text());
    return q;
}

class CacheSize final : public EngineHold {
public:
    explicit CacheSize(QSqlDatabase &db) : m_db(db)
    {
        QSqlQuery q = run(m_db, QStringLiteral("PRAGMA cache_size"));
        m_previous = q.next() ? q.value(0).toLongLong() : -2000;
        run(m_db, QStringLiteral("PRAGMA cache_size = -65536")); // in KiB
    }
    ~CacheSize() override
    {
        if (m_db.isOpen())
            QSqlQuery(m_db).exec(QStringLiteral("PRAGMA cache_size = %1").arg(m_previous));
    }

private:
    QSqlDatabase m_db;
    qint64 m_previous = 0;
};

class SqliteConnection final : public EngineConnection {
public:
    explicit SqliteConnection(const QString &name) : m_name(name) {}
    ~SqliteConnection() override { close(); }

    bool open(const QString &path, const Options &options) override
    {
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        m_db.setDatabaseName(path);
        QString connectOptions = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(qMax(0, options.busySeconds) * 1000);
        if (options.readOnly)
            connectOptions += QStringLiteral(";QSQLITE_OPEN_READONLY");
        m_db.setConnectOptions(connectOptions);
        if (!m_db.open())
            return false;
        m_handle = *static_cast<sqlite3 *const *>(m_db.driver()->handle().constData());
        registerSqlFunctions(m_db);
        return true;
    }

    QSqlDatabase &sql() override { return m_db; }

    // The archive itself is SQLite's "main".
    static QString schema(const QString &archive)
    {
        return sqlName(archive.isEmpty() ? QStringLiteral("main") : archive);
    }

    void close() override
    {
        if (!m_db.isValid())
            return;
        m_handle = nullptr;
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }

    QSqlError beginWrite() override
    {
        // Waits up to the busy timeout for another writer to finish.
        QSqlQuery q(m_db);
        return q.exec(QStringLiteral("BEGIN IMMEDIATE")) ? QSqlError() : q.lastError();
    }

    bool inAutocommit() override { return m_handle && sqlite3_get_autocommit(m_handle); }

    void interruptWhen(std::function<bool()> stop) override
    {
        if (!m_handle)
            return;
        m_stop = std::move(stop);
        if (m_stop)
            sqlite3_progress_handler(m_handle, 1000, &askToStop, &m_stop);
        else
            sqlite3_progress_handler(m_handle, 0, nullptr, nullptr);
    }

    std::unique_ptr<EngineStatement> prepareSelect(const QString &sql) override
    {
        QSqlQuery q(m_db);
        q.setForwardOnly(true);
        if (!q.prepare(sql))
            failEngine(QStringLiteral("Istruzione non valida"), sqliteErrorCause(q.lastError()), q.lastError().text());
        return std::make_unique<SqliteStatement>(std::move(q));
    }

    qint64 lastInsertedKey() override { return m_handle ? sqlite3_last_insert_rowid(m_handle) : 0; }

    bool hasTable(const QString &table, const QString &archive) override
    {
        QSqlQuery q(m_db);
        q.prepare(QStringLiteral("SELECT 1 FROM %1.sqlite_master WHERE type = 'table' AND name = ?").arg(schema(archive)));
        q.addBindValue(table);
        if (!q.exec())
            failEngine(QStringLiteral("Operazione sull'archivio non riuscita"), sqliteErrorCause(q.lastError()),
                       q.lastError().text());
        return q.next();
    }

    QStringList tables() override
    {
        QSqlQuery q = run(m_db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
        QStringList names;
        while (q.next())
            names.append(q.value(0).toString());
        return names;
    }

    QStringList columns(const QString &table, const QString &archive) override
    {
        QSqlQuery q = run(m_db, QStringLiteral("PRAGMA %1.table_info(%2)").arg(schema(archive), sqlName(table)));
        QStringList names;
        while (q.next())
            names.append(q.value(1).toString());
        return names;
    }

    QString tableDefinition(const QString &table, const QString &archive) override
    {
        QSqlQuery q(m_db);
        q.prepare(QStringLiteral("SELECT group_concat(sql, ';') FROM (SELECT sql FROM %1.sqlite_master "
                                 "WHERE tbl_name = ? ORDER BY type, name)").arg(schema(archive)));
        q.addBindValue(table);
        if (!q.exec())
            failEngine(QStringLiteral("Operazione sull'archivio non riuscita"), sqliteErrorCause(q.lastError()),
                       q.lastError().text());
        return q.next() ? q.value(0).toString() : QString();
    }

    void attach(const QString &path, const QString &as) override
    {
        QSqlQuery q(m_db);
        q.prepare(QStringLiteral("ATTACH DATABASE ? AS ") + sqlName(as));
        q.addBindValue(path);
        if (!q.exec())
            failEngine(QStringLiteral("Impossibile leggere l'archivio %1").arg(path), sqliteErrorCause(q.lastError()),
                       q.lastError().text());
    }

    void detach(const QString &as) override { QSqlQuery(m_db).exec(QStringLiteral("DETACH DATABASE ") + sqlName(as)); }

    std::unique_ptr<EngineHold> bulkCache() override { return std::make_unique<CacheSize>(m_db); }

    QStringList integrityFindings() override
    {
        QSqlQuery q = run(m_db, QStringLiteral("PRAGMA integrity_check"));
        QStringList findings;
        while (q.next()) {
            const QString result = q.value(0).toString();
            if (result != QLatin1String("ok"))
                findings.append(result);
        }
        return findings;
    }

private:
    static int askToStop(void *stop) { return (*static_cast<const std::function<bool()> *>(stop))() ? 1 : 0; }

    QString m_name;
    QSqlDatabase m_db;
    sqlite3 *m_handle = nullptr;
    std::function<bool()> m_stop;
};

} // namespace

const SqlDialect &SqliteEngine::dialect() const
{
    static const SqliteDialect dialect;
    return dialect;
}

std::unique_ptr<EngineConnection> SqliteEngine::connection(const QString &connectionName) const
{
    return std::make_unique<SqliteConnection>(connectionName);
}

int SqliteEngine::errorCause(const QSqlError &error) const
{
    return sqliteErrorCause(error);
}

std::optional<UniqueRefusal> SqliteEngine::uniqueRefusal(const QSqlError &error) const
{
    static const QRegularExpression unique(QStringLiteral("UNIQUE constraint failed: (\\w+)\\.(\\w+)"));
    const auto match = unique.match(error.text());
    if (!match.hasMatch())
        return std::nullopt;
    return UniqueRefusal{match.captured(1), match.captured(2)};
}

std::unique_ptr<EngineHold> SqliteEngine::compactedCopy(const QString &source, const QString &target) const
{
    return std::make_unique<SqliteCompactedCopy>(source, target);
}

bool SqliteEngine::isArchiveHeader(const QByteArray &firstBytes) const
{
    return firstBytes == QByteArray(kSqliteHeader, sizeof kSqliteHeader);
}

int SqliteEngine::headerSize() const
{
    return int(sizeof kSqliteHeader);
}

} // namespace objdb
