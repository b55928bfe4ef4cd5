#include "objdb/engine/sqlite/sqlitecompaction.h"

#include "objdb/engine/sqlite/sqliteerrors.h"
#include "objdb/error.h"

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <functional>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace objdb {

namespace {

QAtomicInt g_counter;

const QString kUntouched = QStringLiteral(" L'archivio non è stato modificato.");

[[noreturn]] void refuseInUse(const QString &path)
{
    fail(QStringLiteral("L'archivio %1 è in uso da un altro programma: chiuderlo su tutti i terminali e ripetere "
                        "l'operazione.").arg(path) + kUntouched, kErrLocked);
}

[[noreturn]] void engineFailure(const QString &path, const QSqlError &error)
{
    switch (const int code = sqliteErrorCause(error)) {
    case kErrLocked:
        refuseInUse(path);
    case kErrDamaged:
        fail(QStringLiteral("L'archivio %1 è danneggiato e non può essere letto per intero: il recupero non è "
                            "possibile.").arg(path) + kUntouched, code);
    case kErrNotArchive:
        fail(QStringLiteral("Il file %1 non è un archivio di dati: il recupero non è possibile.").arg(path) + kUntouched,
             code);
    case kErrDiskFull:
        fail(QStringLiteral("Il disco è pieno: impossibile scrivere la copia recuperata di %1.").arg(path) + kUntouched,
             code);
    default:
        fail(QStringLiteral("Recupero dell'archivio %1 non riuscito: %2.").arg(path, engineErrorText(code, error.text())) + kUntouched,
             code);
    }
}

QSqlQuery run(QSqlDatabase &db, const QString &path, const QString &sql, const QVariant &bind = QVariant())
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    const bool ok = bind.isValid() ? (q.prepare(sql) && (q.addBindValue(bind), q.exec())) : q.exec(sql);
    if (!ok)
        engineFailure(path, q.lastError());
    return q;
}

qint64 dataVersion(QSqlDatabase &db, const QString &path)
{
    QSqlQuery q = run(db, path, QStringLiteral("PRAGMA data_version"));
    return q.next() ? q.value(0).toLongLong() : -1;
}

// The engine's verdict on the database of q: "ok", or its first findings.
QString integrityVerdict(QSqlQuery &q)
{
    // The check seeks every index entry of every row: a cache that holds the whole of a usual
    // archive spares it most of its reads.
    q.exec(QStringLiteral("PRAGMA cache_size = -65536"));
    if (!q.exec(QStringLiteral("PRAGMA integrity_check(5)")))
        return q.lastError().text();
    QStringList findings;
    while (q.next())
        findings.append(q.value(0).toString());
    return findings.join(QStringLiteral("; "));
}

// Runs work on a connection of its own to the copy at path; an open that fails is the answer.
QString onCopy(const QString &path, bool readOnly, const std::function<QString(QSqlQuery &)> &work)
{
    const QString name = QStringLiteral("objdb-compaction-check-%1").arg(g_counter.fetchAndAddRelaxed(1));
    QString answer;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (readOnly)
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open()) {
            answer = db.lastError().text();
        } else {
            QSqlQuery q(db);
            answer = work(q);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return answer;
}

// The copy's verdict. VACUUM INTO moves each index's b-tree as it is, so an index that disagrees
// with its table in the archive comes over unchanged; the copy's indexes are then rebuilt from their
// tables and the copy checked again.
QString checkedCopy(const QString &path)
{
    const QString first = onCopy(path, true, integrityVerdict);
    if (first == QLatin1String("ok"))
        return first;
    return onCopy(path, false, [](QSqlQuery &q) {
        return q.exec(QStringLiteral("REINDEX")) ? integrityVerdict(q) : q.lastError().text();
    });
}

// The copy must be on the disk before a rename makes it the archive.
void flushToDisk(const QString &path)
{
#ifdef Q_OS_UNIX
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || ::fsync(file.handle()) != 0)
        fail(QStringLiteral("Impossibile scrivere su disco la copia recuperata %1.").arg(path), kErrDiskIo);
#else
    Q_UNUSED(path);
#endif
}

} // namespace

SqliteCompactedCopy::SqliteCompactedCopy(const QString &source, const QString &target)
    : m_connectionName(QStringLiteral("objdb-compaction-%1").arg(g_counter.fetchAndAddRelaxed(1)))
{
    if (!QFileInfo(source).isFile())
        fail(QStringLiteral("L'archivio %1 non esiste.").arg(source));
    if (QFileInfo::exists(target))
        fail(QStringLiteral("Il file %1 esiste già.").arg(target));
    // No waiting for locks: a lock held by someone else means a program is using the archive.
    m_source = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    m_source.setDatabaseName(source);
    m_source.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
    try {
        if (!m_source.open())
            engineFailure(source, m_source.lastError());
        // The engine's locks show a program only while it reads or writes: an exclusive lock is
        // granted only when no other connection holds any lock at all. Once it is granted and
        // given back, the copy reads under a shared lock, which keeps every writer from committing
        // until the copy is whole; then the write lock is taken for the life of this object and the
        // archive's data version proves that nobody committed in the short moment between the two.
        run(m_source, source, QStringLiteral("BEGIN EXCLUSIVE"));
        run(m_source, source, QStringLiteral("COMMIT"));
        const qint64 versionBefore = dataVersion(m_source, source);
        run(m_source, source, QStringLiteral("VACUUM INTO ?"), target);
        run(m_source, source, QStringLiteral("BEGIN IMMEDIATE"));
        if (dataVersion(m_source, source) != versionBefore)
            refuseInUse(source);
        const QString verdict = checkedCopy(target);
        if (verdict != QLatin1String("ok"))
            fail(QStringLiteral("La copia recuperata di %1 non supera il controllo di integrità (%2): il recupero non è "
                                "possibile.").arg(source, verdict) + kUntouched);
        flushToDisk(target);
    } catch (...) {
        m_source.close();
        m_source = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        QFile::remove(target);
        throw;
    }
}

SqliteCompactedCopy::~SqliteCompactedCopy()
{
    QSqlQuery(m_source).exec(QStringLiteral("ROLLBACK"));
    m_source.close();
    m_source = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

} // namespace objdb
