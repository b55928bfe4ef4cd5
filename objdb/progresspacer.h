#pragma once
// Tells a progress sink how a long operation goes: OnStart at once, OnProgress at most every 50 ms
// (each call runs the window's pending events, which would otherwise dominate the work) and once at
// the end, OnEnd always, after a stop or a failure too.

#include <QElapsedTimer>

namespace objdb {

class itfProgress;

class ProgressPacer {
public:
    static constexpr int kIntervalMs = 50;

    // sink may be null: then nothing is told and nothing stops.
    ProgressPacer(itfProgress *sink, int action, int total);
    ~ProgressPacer();
    ProgressPacer(const ProgressPacer &) = delete;
    ProgressPacer &operator=(const ProgressPacer &) = delete;

    // count items are done; false once the user has stopped the operation.
    bool step(int count);
    // The last count, told whatever the time since the previous one; false when stopped.
    bool finish(int count);
    bool stopped() const { return m_stopped; }

private:
    bool tell(int count);

    itfProgress *m_sink;
    int m_action;
    int m_total;
    QElapsedTimer m_clock;
    bool m_stopped = false;
};

} // namespace objdb
