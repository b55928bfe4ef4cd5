#pragma once
// Runs a table's data-event handlers for one data source: whether a handler is running (its own
// writes raise no further events), and what becomes of a refusal (CancelOperation) or an error.

#include <QString>
#include <functional>
#include <optional>

namespace objdb::source {

class EventDispatch {
public:
    bool inHandler() const { return m_depth > 0; }
    // Called by a handler: the operation in hand is abandoned with this message.
    void cancel(const QString &message);
    bool cancelled() const { return m_cancelMessage.has_value(); }

    // Runs the handlers; the message of a refusal or of an error they raised, or nothing.
    std::optional<QString> run(const std::function<void()> &handlers);
    // Runs the handlers letting their errors through; a refusal throws its message.
    void runOrFail(const std::function<void()> &handlers);
    // Runs handlers that cannot refuse (a candidate list's preparation).
    void call(const std::function<void()> &handlers);

private:
    std::optional<QString> takeCancelMessage();

    int m_depth = 0;
    std::optional<QString> m_cancelMessage;
};

} // namespace objdb::source
