#include "objdb/backgroundread.h"

#include "objdb/database.h"
#include "objdb/error.h"

#include <QDeadlineTimer>
#include <QThread>
#include <atomic>
#include <optional>

namespace objdb {

struct BackgroundRead::Job {
    std::atomic<bool> stopped{false};
    QThread *thread = nullptr;
    Done onDone;
    Failed onFailed;
    // Written by the worker before it ends, read in the owner's thread once it has ended.
    std::any result;
    std::optional<Error> failure;
};

BackgroundRead::BackgroundRead(QObject *owner) : m_owner(owner), m_self(std::make_shared<BackgroundRead *>(this)) {}

BackgroundRead::~BackgroundRead()
{
    stop();
}

bool BackgroundRead::running() const
{
    return m_job != nullptr;
}

bool BackgroundRead::canReadApart(Database &db)
{
    return db.IsOpen() && !db.inTransaction() && db.inAutocommit();
}

void BackgroundRead::start(const QString &path, Work work, Done onDone, Failed onFailed)
{
    stop();
    auto job = std::make_shared<Job>();
    job->onDone = std::move(onDone);
    job->onFailed = std::move(onFailed);
    const std::weak_ptr<BackgroundRead *> self = m_self;
    QObject *owner = m_owner;
    job->thread = QThread::create([job, path, work = std::move(work), self, owner] {
        try {
            const auto db = Database::create();
            // A short wait on another desk's lock: this read is only ever a view of the rows.
            db->Open(kDatabaseFormat, path, nullptr, 2, true);
            db->stopWhen(&job->stopped);
            job->result = work(*db);
        } catch (const Error &e) {
            job->failure = e;
        } catch (const std::exception &e) {
            job->failure = Error(QString::fromLocal8Bit(e.what()), kErrEngine);
        }
        if (job->stopped)
            return;
        QMetaObject::invokeMethod(owner, [self, job] {
            if (const auto alive = self.lock())
                (*alive)->handOver(job);
        }, Qt::QueuedConnection);
    });
    m_job = job;
    job->thread->start();
}

void BackgroundRead::handOver(std::shared_ptr<Job> job)
{
    // Still the read in hand: nothing stopped or replaced it while the result was on its way.
    if (m_job != job)
        return;
    release();
    // The callbacks may start another read on this object, or delete it: nothing of it is used after.
    if (job->failure) {
        if (job->onFailed)
            job->onFailed(*job->failure);
        return;
    }
    job->onDone(std::move(job->result));
}

void BackgroundRead::release()
{
    m_job->thread->wait();
    delete m_job->thread;
    m_job->thread = nullptr;
    m_job.reset();
}

void BackgroundRead::stop()
{
    if (!m_job)
        return;
    // The engine asks between steps whether to go on: a stopped read ends at once, even mid-sort.
    m_job->stopped = true;
    release();
}

} // namespace objdb
