#pragma once
// The library's windows at the boundary to Qt's event loop, which cannot carry exceptions: a step
// of a slot that reaches the data runs through one of these, and its failure is told, not thrown.

#include "objdb/error.h"
#include "objdb/notify.h"

#include <optional>
#include <utility>

namespace objdb {

// Runs `step`; the description of the failure it let out, or nothing when it ran through.
template <typename Step>
std::optional<QString> failureOf(Step &&step) noexcept
{
    try {
        std::forward<Step>(step)();
    } catch (const Error &e) {
        return e.description();
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    }
    return std::nullopt;
}

// Runs `step`; a failure is told through the sink, the way the library tells every refusal.
// False when the step failed.
template <typename Step>
bool runTellingFailures(itfNotifyEvent *sink, QObject *source, Step &&step) noexcept
{
    const std::optional<QString> failure = failureOf(std::forward<Step>(step));
    if (failure && sink)
        sink->OnInternalMessage(source, *failure);
    return !failure;
}

} // namespace objdb
