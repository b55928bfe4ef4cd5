#include "objdb/engine/postgres/postgrescancel.h"

#include <chrono>
#include <libpq-fe.h>

namespace objdb {

namespace {

// How often the stop condition is asked, and how long a sent cancel is left to work before the
// next (the statement may end meanwhile and the next one start).
constexpr std::chrono::milliseconds kPoll{10};
constexpr std::chrono::milliseconds kAfterCancel{50};

} // namespace

CancelWatcher::CancelWatcher(pg_conn *connection, std::function<bool()> stop)
    : m_cancel(PQgetCancel(connection)), m_stop(std::move(stop)), m_thread([this] { watch(); })
{
}

CancelWatcher::~CancelWatcher()
{
    {
        const std::lock_guard lock(m_mutex);
        m_done = true;
    }
    m_wake.notify_all();
    m_thread.join();
    if (m_cancel)
        PQfreeCancel(m_cancel);
}

void CancelWatcher::watch()
{
    std::unique_lock lock(m_mutex);
    auto pause = kPoll;
    while (!m_wake.wait_for(lock, pause, [this] { return m_done; })) {
        pause = kPoll;
        if (m_cancel && m_stop()) {
            char reason[256];
            PQcancel(m_cancel, reason, int(sizeof reason));
            pause = kAfterCancel;
        }
    }
}

} // namespace objdb
