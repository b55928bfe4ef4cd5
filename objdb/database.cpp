#include "objdb/database.h"

#include "objdb/engine/engine.h"
#include "objdb/engine/serveraddress.h"
#include "objdb/error.h"
#include "objdb/sqldialect.h"
#include "objdb/types.h"

#include <QAtomicInt>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>

namespace objdb {

namespace {

QAtomicInt g_connectionCounter;

} // namespace

// Why an archive could not be opened: a lock, damage and a foreign file each have their message.
void Database::openFailure(const QString &path, const QSqlError &error) const
{
    if (isServerAddress(path)) {
        const auto address = ServerAddress::fromUri(path);
        failEngine(QStringLiteral("Impossibile aprire l'archivio %1").arg(address ? address->caption() : path), error);
    }
    switch (const int code = m_engine->errorCause(error)) {
    case kErrLocked:
        fail(QStringLiteral("L'archivio %1 è bloccato da un altro programma: riprovare più tardi.").arg(path), code);
    case kErrDamaged:
        fail(QStringLiteral("L'archivio %1 è danneggiato e non può essere aperto; il file non è stato modificato.").arg(path),
             code);
    case kErrNotArchive:
        fail(QStringLiteral("Il file %1 non è un archivio di dati valido.").arg(path), code);
    default:
        failEngine(QStringLiteral("Impossibile aprire l'archivio %1").arg(path), error);
    }
}

namespace {

[[noreturn]] void refuseFolder(const QString &path)
{
    fail(QStringLiteral("%1 è una cartella, non un archivio di dati.").arg(path));
}

} // namespace

std::shared_ptr<Database> Database::create()
{
    return std::shared_ptr<Database>(new Database());
}

Database::Database()
    : m_connectionName(QStringLiteral("objdb-%1").arg(g_connectionCounter.fetchAndAddRelaxed(1)))
{
}

Database::~Database()
{
    Close();
}

void Database::setClientName(const QString &name)
{
    setServerApplicationName(name);
}

void Database::Create(int format, const QString &path)
{
    if (format != kDatabaseFormat)
        fail(QStringLiteral("Formato di archivio non supportato: %1.").arg(format));
    if (isServerAddress(path)) {
        createOnServer(path);
        return;
    }
    const QFileInfo info(path);
    if (info.isDir())
        refuseFolder(path);
    if (info.exists())
        fail(QStringLiteral("L'archivio %1 esiste già.").arg(path));
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        fail(QStringLiteral("La cartella %1 non esiste: impossibile creare l'archivio.").arg(folder.filePath()));
    if (!folder.isWritable())
        fail(QStringLiteral("La cartella %1 è di sola lettura: impossibile creare l'archivio.").arg(folder.filePath()));
    openConnection(path, 5, false);
    try {
        initialiseMetadata();
    } catch (...) {
        Close();
        QFile::remove(path);
        throw;
    }
    Close();
}

void Database::Open(int format, const QString &path, itfProgress *, int busySeconds, bool readOnly)
{
    if (format != kDatabaseFormat)
        fail(QStringLiteral("Formato di archivio non supportato: %1.").arg(format));
    if (IsOpen())
        Close();
    if (isServerAddress(path)) {
        openOnServer(path, busySeconds, readOnly);
        return;
    }
    const QFileInfo info(path);
    if (info.isDir())
        refuseFolder(path);
    if (!info.exists())
        fail(QStringLiteral("L'archivio %1 non esiste.").arg(path));
    if (!info.isFile())
        fail(QStringLiteral("%1 non è un file: non può essere un archivio di dati.").arg(path));
    const bool emptyFile = info.size() == 0;
    if (!emptyFile) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            fail(QStringLiteral("Impossibile leggere l'archivio %1: %2").arg(path, file.errorString()), kErrFileAccess);
        const Engine &engine = engineFor(path);
        if (!engine.isArchiveHeader(file.read(engine.headerSize())))
            fail(QStringLiteral("Il file %1 non è un archivio di dati valido.").arg(path), kErrNotArchive);
    }
    if (!readOnly) {
        if (!info.isWritable())
            fail(QStringLiteral("L'archivio %1 è di sola lettura: impossibile aprirlo per la modifica.").arg(path), kErrReadOnly);
        if (!QFileInfo(info.absolutePath()).isWritable())
            fail(QStringLiteral("La cartella %1 è di sola lettura: impossibile modificare l'archivio.")
                     .arg(info.absolutePath()),
                 kErrReadOnly);
    } else if (emptyFile) {
        fail(QStringLiteral("Il file %1 è vuoto e non può essere letto.").arg(path));
    }
    openConnection(path, busySeconds, readOnly);
    try {
        if (!readOnly)
            checkNotLocked();
        if (emptyFile)
            initialiseMetadata();
        else
            checkIsArchive();
    } catch (...) {
        Close();
        throw;
    }
}

void Database::openConnection(const QString &path, int busySeconds, bool readOnly)
{
    m_engine = &engineFor(path);
    m_connection = m_engine->connection(m_connectionName);
    bool opened = false;
    try {
        opened = m_connection->open(path, {busySeconds, readOnly});
    } catch (...) {
        m_connection.reset();
        throw;
    }
    if (!opened) {
        const QSqlError error = m_connection->sql().lastError();
        m_connection.reset();
        openFailure(path, error);
    }
    m_db = m_connection->sql();
    m_path = path;
    m_readOnly = readOnly;
}

void Database::openOnServer(const QString &uri, int busySeconds, bool readOnly)
{
    openConnection(uri, busySeconds, readOnly);
    try {
        if (!readOnly) {
            // Under the write lock: another desk opening it now waits, then finds it laid down.
            const QSqlError error = m_connection->beginWrite();
            if (error.type() != QSqlError::NoError)
                openFailure(uri, error);
            if (tables().isEmpty())
                initialiseMetadata();
            m_connection->installFunctions();
            exec(QStringLiteral("COMMIT"));
        }
        checkIsArchive();
    } catch (...) {
        Close();
        throw;
    }
}

void Database::createOnServer(const QString &uri)
{
    openConnection(uri, 5, false);
    try {
        const QSqlError error = m_connection->beginWrite();
        if (error.type() != QSqlError::NoError)
            openFailure(uri, error);
        if (!tables().isEmpty())
            fail(QStringLiteral("L'archivio %1 esiste già.").arg(ServerAddress::fromUri(uri)->caption()));
        initialiseMetadata();
        m_connection->installFunctions();
        exec(QStringLiteral("COMMIT"));
    } catch (...) {
        Close();
        throw;
    }
    Close();
}

void Database::initialiseMetadata()
{
    const QString text = dialect().columnType(TypeText);
    exec(QStringLiteral("CREATE TABLE IF NOT EXISTS objdb_meta (key %1 PRIMARY KEY, value %1)").arg(text));
    exec(QStringLiteral("CREATE TABLE IF NOT EXISTS objdb_tables (name %1 PRIMARY KEY, version %2 NOT NULL)")
             .arg(text, dialect().columnType(TypeFloat)));
    exec(QStringLiteral("INSERT INTO objdb_meta (key, value) VALUES ('format', ?) ON CONFLICT (key) DO NOTHING"), {kDatabaseFormat});
    exec(QStringLiteral("INSERT INTO objdb_meta (key, value) VALUES ('main_currency', 'Euro') "
         "ON CONFLICT (key) DO NOTHING"));
}

void Database::checkIsArchive()
{
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("SELECT value FROM objdb_meta WHERE key = 'format'"))) {
        // A failure of no foreseen cause is the missing metadata table: some other program's database.
        if (m_engine->errorCause(q.lastError()) == kErrEngine)
            fail(QStringLiteral("Il file %1 non è un archivio di dati valido.").arg(m_path), kErrNotArchive);
        openFailure(m_path, q.lastError());
    }
    if (!q.next())
        fail(QStringLiteral("Il file %1 non è un archivio di dati valido.").arg(m_path), kErrNotArchive);
    if (q.value(0).toInt() != kDatabaseFormat)
        fail(QStringLiteral("L'archivio %1 ha un formato non supportato (%2).").arg(m_path, q.value(0).toString()));
}

// Takes the write lock once and gives it back: a file that another program holds, or that the
// engine cannot read, is refused before anything is written to it.
void Database::checkNotLocked()
{
    const QSqlError error = m_connection->beginWrite();
    if (error.type() != QSqlError::NoError)
        openFailure(m_path, error);
    QSqlQuery(m_db).exec(QStringLiteral("ROLLBACK"));
}

void Database::Close()
{
    if (!m_connection)
        return;
    if (m_inTransaction) {
        QSqlQuery(m_db).exec(QStringLiteral("ROLLBACK"));
        m_inTransaction = false;
    }
    m_db = QSqlDatabase();
    m_connection.reset();
}

bool Database::IsOpen() const
{
    return m_db.isValid() && m_db.isOpen();
}

void Database::BeginTrans()
{
    if (!IsOpen())
        fail(QStringLiteral("L'archivio non è aperto."));
    if (m_inTransaction)
        fail(QStringLiteral("Una transazione è già in corso."));
    const QSqlError error = m_connection->beginWrite();
    if (error.type() != QSqlError::NoError)
        failEngine(QStringLiteral("Operazione sull'archivio non riuscita"), error);
    m_inTransaction = true;
}

void Database::CommitTrans()
{
    if (!m_inTransaction)
        fail(QStringLiteral("Nessuna transazione in corso."));
    exec(QStringLiteral("COMMIT"));
    m_inTransaction = false;
}

void Database::Rollback()
{
    if (!m_inTransaction)
        fail(QStringLiteral("Nessuna transazione in corso."));
    m_inTransaction = false;
    exec(QStringLiteral("ROLLBACK"));
}

QSqlQuery Database::prepare(const QString &sql) const
{
    if (!IsOpen())
        fail(QStringLiteral("L'archivio non è aperto."));
    QSqlQuery q(m_db);
    q.setForwardOnly(m_engine->forwardOnlyQueries());
    if (!q.prepare(dialect().statement(sql)))
        failEngine(QStringLiteral("Istruzione non valida"), q.lastError());
    return q;
}

QSqlQuery Database::exec(const QString &sql, const QVariantList &binds) const
{
    if (binds.isEmpty()) {
        // Run as it is: a server prepares only queries, not statements such as CREATE or COMMIT.
        if (!IsOpen())
            fail(QStringLiteral("L'archivio non è aperto."));
        QSqlQuery q(m_db);
        q.setForwardOnly(m_engine->forwardOnlyQueries());
        if (!q.exec(dialect().statement(sql)))
            failEngine(QStringLiteral("Operazione sull'archivio non riuscita"), q.lastError());
        return q;
    }
    QSqlQuery q = prepare(sql);
    // A flag is stored as 0 or 1 by every engine (SQLite binds it so itself).
    for (const auto &b : binds)
        q.addBindValue(b.typeId() == QMetaType::Bool ? QVariant(b.toBool() ? 1 : 0) : b);
    if (!q.exec())
        failEngine(QStringLiteral("Operazione sull'archivio non riuscita"), q.lastError());
    return q;
}

QString Database::mainCurrency() const
{
    QSqlQuery q = exec(QStringLiteral("SELECT value FROM objdb_meta WHERE key = 'main_currency'"));
    return q.next() ? q.value(0).toString() : QStringLiteral("Euro");
}

Savepoint::Savepoint(Database &db) : m_db(db)
{
    if (m_db.inTransaction() || m_db.m_openSavepoints > 0) {
        static QAtomicInt counter;
        m_name = QStringLiteral("objdb_sp%1").arg(counter.fetchAndAddRelaxed(1));
        m_db.exec(QStringLiteral("SAVEPOINT ") + m_name);
    } else {
        // Waits up to the busy timeout for another writer to finish.
        const QSqlError error = m_db.engine().beginWrite();
        if (error.type() != QSqlError::NoError)
            m_db.failEngine(QStringLiteral("Operazione sull'archivio non riuscita"), error);
    }
    ++m_db.m_openSavepoints;
}

Savepoint::~Savepoint()
{
    if (m_done)
        return;
    --m_db.m_openSavepoints;
    if (!m_db.IsOpen())
        return;
    QSqlQuery q(m_db.sql());
    if (m_name.isEmpty()) {
        q.exec(QStringLiteral("ROLLBACK"));
    } else {
        q.exec(QStringLiteral("ROLLBACK TO SAVEPOINT ") + m_name);
        q.exec(QStringLiteral("RELEASE SAVEPOINT ") + m_name);
    }
}

void Savepoint::commit()
{
    m_db.exec(m_name.isEmpty() ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE SAVEPOINT ") + m_name);
    m_done = true;
    --m_db.m_openSavepoints;
}

TransactionGuard::~TransactionGuard()
{
    if (!m_done && m_db.inTransaction()) {
        try {
            m_db.Rollback();
        } catch (const Error &) {
            // The connection is gone; nothing left to undo.
        }
    }
}

void TransactionGuard::commit()
{
    m_db.CommitTrans();
    m_done = true;
}

BulkCache::BulkCache(Database &db) : m_hold(db.engine().bulkCache()) {}

BulkCache::~BulkCache() = default;

void Database::failEngine(const QString &what, const QSqlError &error) const
{
    if (!m_engine)
        objdb::failEngine(what, kErrEngine, error.text());
    fail(QStringLiteral("%1: %2.").arg(what, m_engine->errorText(error)), m_engine->errorCause(error));
}

EngineConnection &Database::engine() const
{
    if (!IsOpen())
        fail(QStringLiteral("L'archivio non è aperto."));
    return *m_connection;
}

std::optional<UniqueRefusal> Database::uniqueRefusal(const QSqlError &error) const
{
    return (m_engine ? *m_engine : engineFor(m_path)).uniqueRefusal(error);
}

const SqlDialect &Database::dialect() const
{
    return (m_engine ? *m_engine : engineFor(m_path)).dialect();
}

bool Database::hasTable(const QString &table) const
{
    return engine().hasTable(table, QString());
}

QStringList Database::tables() const
{
    return engine().tables();
}

QStringList Database::columns(const QString &table) const
{
    return engine().columns(table, QString());
}

qint64 Database::lastInsertedKey() const
{
    return engine().lastInsertedKey();
}

QStringList Database::integrityFindings() const
{
    return engine().integrityFindings();
}

bool Database::inAutocommit()
{
    return IsOpen() && m_connection->inAutocommit();
}

bool Database::readWithin(int ms, const std::function<void()> &reads)
{
    if (!IsOpen()) {
        reads();
        return true;
    }
    QDeadlineTimer deadline(ms);
    m_connection->interruptWhen([&deadline] { return deadline.hasExpired(); });
    try {
        reads();
    } catch (const Error &) {
        m_connection->interruptWhen({});
        if (deadline.hasExpired())
            return false;
        throw;
    }
    m_connection->interruptWhen({});
    return true;
}

void Database::stopWhen(const std::atomic<bool> *stop)
{
    if (IsOpen())
        m_connection->interruptWhen([stop] { return stop->load(); });
}

} // namespace objdb
