#include "objdb/source/eventdispatch.h"

#include "objdb/error.h"
#include "objdb/notify.h"

#include <QScopeGuard>
#include <exception>
#include <utility>

namespace objdb::source {

void EventDispatch::cancel(const QString &message)
{
    m_cancelMessage = message.isEmpty() ? Application::Message(kErrRefused) : message;
}

std::optional<QString> EventDispatch::takeCancelMessage()
{
    return std::exchange(m_cancelMessage, std::nullopt);
}

void EventDispatch::call(const std::function<void()> &handlers)
{
    ++m_depth;
    const auto leave = qScopeGuard([this] { --m_depth; });
    handlers();
}

std::optional<QString> EventDispatch::run(const std::function<void()> &handlers)
{
    m_cancelMessage.reset();
    try {
        call(handlers);
    } catch (const Error &e) {
        m_cancelMessage = e.description();
    } catch (const std::exception &e) {
        m_cancelMessage = QString::fromLocal8Bit(e.what());
    }
    return takeCancelMessage();
}

void EventDispatch::runOrFail(const std::function<void()> &handlers)
{
    m_cancelMessage.reset();
    call(handlers);
    if (const auto message = takeCancelMessage())
        fail(*message);
}

} // namespace objdb::source
