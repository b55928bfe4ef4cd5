#pragma once
// Reading work on the archive done on a thread of its own, through a read-only Database of its own
// on the same file (a Qt SQL connection serves only the thread that opened it), so that the window's
// thread keeps answering while the engine sorts, scans or sums. The result is handed to the owner's
// thread; a read that was stopped, or replaced by a newer one, never hands anything over: a result
// that arrives after the user moved on is dropped.
//
// The worker sees what is committed to the file, not the changes of an open transaction on the
// window's connection: callers read the ordinary way while one is open (see canReadApart).

#include <QObject>
#include <QString>
#include <any>
#include <functional>
#include <memory>

namespace objdb {

class Database;
class Error;

class BackgroundRead {
public:
    using Work = std::function<std::any(Database &)>;
    using Done = std::function<void(std::any)>;
    using Failed = std::function<void(const Error &)>;

    // owner: the object in whose thread results are handed over; none arrives once it is gone.
    explicit BackgroundRead(QObject *owner);
    ~BackgroundRead(); // stops a read in progress and waits for its thread
    BackgroundRead(const BackgroundRead &) = delete;
    BackgroundRead &operator=(const BackgroundRead &) = delete;

    // Starts work on a read-only connection to the archive at path; a read in progress is stopped
    // first. onDone gets work's result in the owner's thread; onFailed the error it raised (or
    // the connection's), when given.
    void start(const QString &path, Work work, Done onDone, Failed onFailed = {});
    // Typed form of start.
    template <class Result>
    void start(const QString &path, std::function<Result(Database &)> work, std::function<void(Result)> onDone,
               Failed onFailed = {})
    {
        start(
            path, [work = std::move(work)](Database &db) -> std::any { return work(db); },
            [onDone = std::move(onDone)](std::any result) { onDone(std::any_cast<Result>(std::move(result))); },
            std::move(onFailed));
    }
    // Stops the read in progress: its result never arrives.
    void stop();
    bool running() const;

    // Whether the window's connection to db can be read apart: no transaction of its own is open
    // (its changes would be missing from a read on another connection).
    static bool canReadApart(Database &db);

private:
    struct Job;
    void handOver(std::shared_ptr<Job> job); // by value: it outlives m_job
    void release();

    QObject *m_owner;
    std::shared_ptr<Job> m_job;
    // The queued hand-over finds this object through it; gone with the object.
    std::shared_ptr<BackgroundRead *> m_self;
};

} // namespace objdb
