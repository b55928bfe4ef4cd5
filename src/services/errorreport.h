#pragma once
// The common report of an unexpected failure: a one-line question to the user and, on request,
// the error report window with the details.

#include <QString>
#include <QtGlobal>
#include <exception>
#include <utility>

namespace objdb {
class Error;
}

// The error being reported: its number, its description and whether a change had already been
// saved when it happened. C++ has no pending error, so the handler that caught it passes it on.
struct PendingError {
    qint32 number = 0;
    QString description;
    bool written = false;

    PendingError() = default;
    PendingError(qint32 n, const QString &text) : number(n), description(text) {}
    PendingError(const objdb::Error &error);
    // Any other exception is an ordinary run-time failure, number 5; a library error caught as
    // std::exception keeps its own number.
    PendingError(const std::exception &error);

    // The exception being handled; call only inside a catch block.
    static PendingError current();
};

// "500 (1F4)": object-defined numbers are shown relative to their base.
QString ErrorCodeText(qint32 number);

// The question the report asks before offering the details: what became of the data, then the
// cause.
QString ErrorReportPrompt(const QString &context, const PendingError &error);

// Asks whether to show the details of the error; on Yes shows the error report window modally.
// Line breaks in the question are "\n".
void ShowErrorReport(const QString &context, const PendingError &error);

// Runs a slot, lambda or event handler that can reach the library. A failure it lets out goes to
// the common report instead of through Qt's event loop, which cannot carry exceptions.
template <typename Handler>
void RunReportingFailures(Handler &&handler, const QString &context = QString()) noexcept
{
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception &) {
        ShowErrorReport(context, PendingError::current());
    }
}

// A member slot for connect() that runs through RunReportingFailures.
template <typename Object, typename... Args>
auto Guarded(Object *object, void (Object::*slot)(Args...))
{
    return [object, slot](Args... args) { RunReportingFailures([&] { (object->*slot)(args...); }); };
}
