#include "objdb/engine/postgres/postgresconnection.h"

#include "objdb/engine/postgres/postgrescancel.h"
#include "objdb/engine/postgres/postgresdialect.h"
#include "objdb/engine/postgres/postgreserrors.h"
#include "objdb/engine/postgres/postgresfunctions.h"
#include "objdb/engine/postgres/postgresstatement.h"
#include "objdb/engine/serveraddress.h"
#include "objdb/error.h"
#include "objdb/sqldialect.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <libpq-fe.h>

namespace objdb {

namespace {

// The advisory lock that stands for the archive's write lock ("objdb" in its bytes); every program
// using the library takes the same one.
constexpr qint64 kWriteLockKey = 0x6F626A6462;
// How long a session may sit idle inside a transaction before the server ends it.
constexpr int kIdleInTransactionMs = 30'000;

// A value of a libpq connection string, quoted.
QString conninfoValue(const QString &value)
{
    QString quoted = value;
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
    // Qt's driver turns every ';' of the options into a space.
    quoted.replace(QLatin1Char(';'), QLatin1Char(','));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QSqlQuery run(QSqlDatabase &db, const QString &sql, const QVariantList &binds = {})
{
    return runEngineStatement(db, sql, binds, QStringLiteral("Operazione sull'archivio non riuscita"));
}

[[noreturn]] void fileOnly(const QString &what)
{
    fail(QStringLiteral("%1 è possibile solo con un archivio su file, non con un archivio su un server.").arg(what));
}

class NoHold final : public EngineHold {};

} // namespace

PostgresConnection::PostgresConnection(const QString &name) : m_name(name) {}

PostgresConnection::~PostgresConnection()
{
    close();
}

bool PostgresConnection::open(const QString &uri, const Options &options)
{
    const auto address = ServerAddress::fromUri(uri);
    if (!address)
        fail(QStringLiteral("%1 non è l'indirizzo di un archivio su un server.").arg(uri), kErrFileAccess);
    m_busySeconds = qMax(0, options.busySeconds);
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
    m_db.setHostName(address->host);
    m_db.setPort(address->port);
    m_db.setDatabaseName(address->database);
    m_db.setUserName(address->user);
    m_db.setPassword(serverPassword(*address));
    // A statement waits for a row lock at most the busy time (0 would mean for ever).
    QString settings = QStringLiteral("-c lock_timeout=%1 -c idle_in_transaction_session_timeout=%2 -c client_min_messages=warning")
                           .arg(qMax(1, m_busySeconds * 1000))
                           .arg(kIdleInTransactionMs);
    if (options.readOnly)
        settings += QStringLiteral(" -c default_transaction_read_only=on");
    QStringList connectOptions{QStringLiteral("sslmode=prefer"), QStringLiteral("connect_timeout=10"),
                               QStringLiteral("keepalives=1"), QStringLiteral("keepalives_idle=30"),
                               QStringLiteral("keepalives_interval=10"), QStringLiteral("keepalives_count=3"),
                               QStringLiteral("options=") + conninfoValue(settings)};
    if (const QString application = serverApplicationName(); !application.isEmpty())
        connectOptions.append(QStringLiteral("application_name=") + conninfoValue(application));
    m_db.setConnectOptions(connectOptions.join(QLatin1Char(';')));
    if (!m_db.open())
        return false;
    m_handle = *static_cast<PGconn *const *>(m_db.driver()->handle().constData());
    return true;
}

void PostgresConnection::close()
{
    if (!m_db.isValid())
        return;
    m_watcher.reset();
    m_handle = nullptr;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

QSqlError PostgresConnection::beginWrite()
{
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("BEGIN")))
        return q.lastError();
    // Waiting at all is left to lock_timeout; with no busy time the lock is only tried.
    const bool taken = m_busySeconds == 0
        ? q.exec(QStringLiteral("SELECT pg_catalog.pg_try_advisory_xact_lock(%1)").arg(kWriteLockKey)) && q.next()
            && q.value(0).toBool()
        : q.exec(QStringLiteral("SELECT pg_catalog.pg_advisory_xact_lock(%1)").arg(kWriteLockKey));
    if (taken)
        return QSqlError();
    const QSqlError error = q.lastError();
    q.finish();
    QSqlQuery(m_db).exec(QStringLiteral("ROLLBACK"));
    if (error.type() != QSqlError::NoError && postgresErrorCause(error) != kErrLocked)
        return error;
    return QSqlError(QString::fromLatin1(kWriteLockHeld), writeLockHolder(), QSqlError::TransactionError,
                     QString::fromLatin1(kLockNotAvailable));
}

QString PostgresConnection::writeLockHolder()
{
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("SELECT a.application_name FROM pg_catalog.pg_locks l "
                             "JOIN pg_catalog.pg_stat_activity a ON a.pid = l.pid "
                             "WHERE l.locktype = 'advisory' AND l.granted AND l.classid = ? AND l.objid = ? "
                             "AND l.objsubid = 1 AND l.database = (SELECT oid FROM pg_catalog.pg_database "
                             "WHERE datname = current_database())"));
    q.addBindValue(qlonglong(quint64(kWriteLockKey) >> 32));
    q.addBindValue(qlonglong(quint64(kWriteLockKey) & 0xFFFFFFFFu));
    return q.exec() && q.next() ? q.value(0).toString() : QString();
}

bool PostgresConnection::inAutocommit()
{
    return m_handle && PQtransactionStatus(m_handle) == PQTRANS_IDLE;
}

void PostgresConnection::interruptWhen(std::function<bool()> stop)
{
    m_watcher.reset();
    *m_stop = stop;
    if (m_handle && stop)
        m_watcher = std::make_unique<CancelWatcher>(m_handle, std::move(stop));
}

void PostgresConnection::installFunctions()
{
    installSqlFunctions(m_db);
}

std::unique_ptr<EngineStatement> PostgresConnection::prepareSelect(const QString &sql)
{
    // Not forward only: the driver streams such a result and, read to its end or not, leaves the
    // connection busy with it (inAutocommit could not tell) until the next statement drops it.
    QSqlQuery q(m_db);
    if (!q.prepare(PostgresDialect().statement(sql)))
        failEngine(QStringLiteral("Istruzione non valida"), postgresErrorCause(q.lastError()), q.lastError().text());
    return std::make_unique<PostgresStatement>(std::move(q), m_stop);
}

qint64 PostgresConnection::lastInsertedKey()
{
    QSqlQuery q(m_db);
    return q.exec(QStringLiteral("SELECT pg_catalog.lastval()")) && q.next() ? q.value(0).toLongLong() : 0;
}

void PostgresConnection::keysWritten(const QString &table)
{
    // An identity column's sequence does not follow the keys written into it: it is moved past the
    // highest one, so that the next new row gets a key of its own.
    const QString name = SqlDialect::quoteIdentifier(table.toLower());
    run(m_db, QStringLiteral("SELECT pg_catalog.setval(pg_catalog.pg_get_serial_sequence(?, 'oid'), "
                             "COALESCE((SELECT MAX(oid) FROM %1), 0) + 1, false)")
                  .arg(name),
        {name});
}

bool PostgresConnection::hasTable(const QString &table, const QString &archive)
{
    if (!archive.isEmpty())
        fileOnly(QStringLiteral("Leggere un altro archivio accanto a questo"));
    return run(m_db, QStringLiteral("SELECT 1 FROM pg_catalog.pg_tables WHERE schemaname = current_schema() AND tablename = ?"),
               {table.toLower()})
        .next();
}

QStringList PostgresConnection::tables()
{
    QSqlQuery q = run(m_db, QStringLiteral("SELECT tablename FROM pg_catalog.pg_tables WHERE schemaname = current_schema() "
                                           "ORDER BY tablename"));
    QStringList names;
    while (q.next())
        names.append(q.value(0).toString());
    return names;
}

QStringList PostgresConnection::columns(const QString &table, const QString &archive)
{
    if (!archive.isEmpty())
        fileOnly(QStringLiteral("Leggere un altro archivio accanto a questo"));
    QSqlQuery q = run(m_db, QStringLiteral("SELECT column_name FROM information_schema.columns "
                                           "WHERE table_schema = current_schema() AND table_name = ? ORDER BY ordinal_position"),
                      {table.toLower()});
    QStringList names;
    while (q.next())
        names.append(q.value(0).toString());
    return names;
}

QString PostgresConnection::tableDefinition(const QString &table, const QString &archive)
{
    if (!archive.isEmpty())
        fileOnly(QStringLiteral("Leggere un altro archivio accanto a questo"));
    QSqlQuery q = run(m_db,
                      QStringLiteral("SELECT string_agg(part, ';' ORDER BY kind, part) FROM ("
                                     "SELECT 0 AS kind, format('%s %s %s', column_name, data_type, "
                                     "coalesce(collation_name, '')) AS part FROM information_schema.columns "
                                     "WHERE table_schema = current_schema() AND table_name = ? "
                                     "UNION ALL SELECT 1, indexdef FROM pg_catalog.pg_indexes "
                                     "WHERE schemaname = current_schema() AND tablename = ?) parts"),
                      {table.toLower(), table.toLower()});
    return q.next() ? q.value(0).toString() : QString();
}

void PostgresConnection::attach(const QString &, const QString &)
{
    fileOnly(QStringLiteral("Leggere un altro archivio accanto a questo"));
}

void PostgresConnection::detach(const QString &) {}

std::unique_ptr<EngineHold> PostgresConnection::bulkCache()
{
    // The server sizes its own cache.
    return std::make_unique<NoHold>();
}

QStringList PostgresConnection::integrityFindings()
{
    // Every table is read whole (a damaged page fails the read); with the amcheck extension
    // installed, every index is also checked against its own structure.
    QStringList findings;
    for (const QString &table : tables()) {
        QSqlQuery q(m_db);
        if (!q.exec(QStringLiteral("SELECT count(*) FROM %1").arg(sqlName(table.toLower()))))
            findings.append(QStringLiteral("tabella %1: %2").arg(table, q.lastError().databaseText()));
    }
    QSqlQuery amcheck = run(m_db, QStringLiteral("SELECT 1 FROM pg_catalog.pg_extension WHERE extname = 'amcheck'"));
    if (!amcheck.next())
        return findings;
    QSqlQuery indexes = run(m_db, QStringLiteral("SELECT c.relname FROM pg_catalog.pg_index i "
                                                 "JOIN pg_catalog.pg_class c ON c.oid = i.indexrelid "
                                                 "JOIN pg_catalog.pg_am a ON a.oid = c.relam "
                                                 "WHERE a.amname = 'btree' AND c.relnamespace = "
                                                 "pg_catalog.to_regnamespace(current_schema())::oid ORDER BY c.relname"));
    QStringList names;
    while (indexes.next())
        names.append(indexes.value(0).toString());
    for (const QString &index : names) {
        QSqlQuery q(m_db);
        q.prepare(QStringLiteral("SELECT bt_index_check(to_regclass(quote_ident(?)))"));
        q.addBindValue(index);
        if (!q.exec())
            findings.append(QStringLiteral("indice %1: %2").arg(index, q.lastError().databaseText()));
    }
    return findings;
}

} // namespace objdb
