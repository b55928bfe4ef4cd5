#include "objdb/progresspacer.h"

#include "objdb/notify.h"

namespace objdb {

ProgressPacer::ProgressPacer(itfProgress *sink, int action, int total) : m_sink(sink), m_action(action), m_total(total)
{
    if (m_sink)
        m_sink->OnStart(m_action, m_total);
    m_clock.start();
}

ProgressPacer::~ProgressPacer()
{
    if (m_sink)
        m_sink->OnEnd(m_action, m_total);
}

bool ProgressPacer::step(int count)
{
    if (m_stopped || m_clock.elapsed() < kIntervalMs)
        return !m_stopped;
    return tell(count);
}

bool ProgressPacer::finish(int count)
{
    return m_stopped ? false : tell(count);
}

bool ProgressPacer::tell(int count)
{
    m_clock.restart();
    if (m_sink && !m_sink->OnProgress(m_action, m_total, count, nullptr, nullptr))
        m_stopped = true;
    return !m_stopped;
}

} // namespace objdb
