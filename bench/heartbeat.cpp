#include "heartbeat.h"

#include <algorithm>

Heartbeat::Heartbeat(std::function<void()> onTick) : m_onTick(std::move(onTick))
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(2);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        mark();
        m_onTick();
    });
}

void Heartbeat::start()
{
    m_clock.start();
    m_lastNs = 0;
    m_longestNs = 0;
    m_timer.start();
}

void Heartbeat::mark()
{
    const qint64 now = m_clock.nsecsElapsed();
    m_longestNs = std::max(m_longestNs, now - m_lastNs);
    m_lastNs = now;
}
