#pragma once
// One command kept for the next tick of a timer: a command that rebuilds the very menu that raised
// it runs once the menu has closed.

#include <QTimer>
#include <functional>

class DeferredCommand : public QTimer {
public:
    explicit DeferredCommand(QObject *parent = nullptr);

    // Runs the command on the next tick; it replaces one still pending. A command posted while one
    // runs (its editor open) waits until that one has ended.
    void post(std::function<void()> command);
    bool isPending() const { return bool(m_pending); }

private:
    void tick();

    std::function<void()> m_pending;
    bool m_running = false;
};
