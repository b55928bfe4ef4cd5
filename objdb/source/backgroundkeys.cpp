#include "objdb/source/backgroundkeys.h"

#include "objdb/sqlfunctions.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <sqlite3.h>

#include <optional>

namespace objdb::source {

struct BackgroundKeys::Job {
    std::atomic<bool> stopped{false};
};

namespace {

// SQLite asks between steps of its program whether to go on: a stopped read ends at once, even in
// the middle of its sort.
int stopWhenAsked(void *job)
{
    return static_cast<std::atomic<bool> *>(job)->load() ? 1 : 0;
}

std::optional<QList<qint64>> readKeys(const QString &path, const QString &sql, const QVariantList &binds,
                                      std::atomic<bool> &stopped)
{
    static std::atomic<int> serial{0};
    const QString name = QStringLiteral("objdb_keys_%1").arg(++serial);
    std::optional<QList<qint64>> keys;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
        if (db.open()) {
            try {
                registerSqlFunctions(db);
                auto *handle = *static_cast<sqlite3 *const *>(db.driver()->handle().constData());
                sqlite3_progress_handler(handle, 1000, &stopWhenAsked, &stopped);
                QSqlQuery query(db);
                query.setForwardOnly(true);
                if (query.prepare(sql)) {
                    for (const QVariant &bind : binds)
                        query.addBindValue(bind);
                    if (query.exec()) {
                        QList<qint64> read;
                        while (query.next())
                            read.append(query.value(0).toLongLong());
                        if (!query.lastError().isValid() && !stopped)
                            keys = std::move(read);
                    }
                }
            } catch (...) {
                keys.reset(); // the functions could not be registered: read the ordinary way
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return keys;
}

} // namespace

BackgroundKeys::~BackgroundKeys()
{
    stop();
}

void BackgroundKeys::stop()
{
    if (!m_thread)
        return;
    m_job->stopped = true;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    m_job.reset();
}

void BackgroundKeys::start(const QString &path, const QString &sql, const QVariantList &binds,
                           std::function<void(QList<qint64>)> onDone)
{
    stop();
    auto job = std::make_shared<Job>();
    m_job = job;
    QObject *owner = m_owner;
    m_thread = QThread::create([=, this] {
        auto keys = readKeys(path, sql, binds, job->stopped);
        if (!keys || job->stopped)
            return;
        QMetaObject::invokeMethod(owner, [=, this, keys = std::move(*keys)] {
            // Still the read in hand: nothing stopped or replaced it while the keys were on their way.
            if (m_job != job || job->stopped)
                return;
            m_thread->wait();
            delete m_thread;
            m_thread = nullptr;
            m_job.reset();
            onDone(keys);
        }, Qt::QueuedConnection);
    });
    m_thread->start();
}

} // namespace objdb::source
