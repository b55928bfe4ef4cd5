#pragma once
// A heartbeat on the window's thread: a timer ticking every 2 ms notes the longest time between two
// moments the thread answered. Those moments are its own ticks and the ends of the calls the harness
// makes into the window (mark()): a click delivered by sendEvent runs to its end before any tick.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

class Heartbeat : public QObject {
public:
    // onTick runs after every tick, on the window's thread (the harness answers modal windows there).
    explicit Heartbeat(std::function<void()> onTick);

    // Starts ticking (or starts again); the first gap runs from now.
    void start();
    // The thread answered now.
    void mark();
    // The longest gap since start().
    double longestGapMs() const { return double(m_longestNs) / 1e6; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastNs = 0;
    qint64 m_longestNs = 0;
    std::function<void()> m_onTick;
};
