#include "services/deferredcommand.h"

#include "services/errorreport.h"

#include <utility>

DeferredCommand::DeferredCommand(QObject *parent) : QTimer(parent)
{
    setInterval(1);
    connect(this, &QTimer::timeout, this, &DeferredCommand::tick);
}

void DeferredCommand::post(std::function<void()> command)
{
    m_pending = std::move(command);
    start();
}

void DeferredCommand::tick()
{
    if (m_running)
        return;
    stop();
    const std::function<void()> command = std::exchange(m_pending, nullptr);
    if (!command)
        return;
    m_running = true;
    try {
        command();
    } catch (const std::exception &) {
        // The next command may run while the report is read.
        m_running = false;
        ShowErrorReport(QString(), PendingError::current());
        return;
    }
    m_running = false;
}
