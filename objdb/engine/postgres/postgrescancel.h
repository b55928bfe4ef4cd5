#pragma once
// Stops a running statement of a PostgreSQL connection from outside it: a small watcher thread asks
// the stop condition every few milliseconds and, once it is true, sends the server a cancel
// request for whatever the connection is running (the statement fails with 57014).

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

struct pg_conn;
struct pg_cancel;

namespace objdb {

class CancelWatcher {
public:
    // connection: libpq's handle of an open connection; stop: asked on the watcher's thread.
    CancelWatcher(pg_conn *connection, std::function<bool()> stop);
    ~CancelWatcher();
    CancelWatcher(const CancelWatcher &) = delete;
    CancelWatcher &operator=(const CancelWatcher &) = delete;

private:
    void watch();

    pg_cancel *m_cancel;
    std::function<bool()> m_stop;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_done = false;
    std::thread m_thread;
};

} // namespace objdb
