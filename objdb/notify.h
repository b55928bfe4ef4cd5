#pragma once
// The two interfaces through which the library talks to the program while it works.

#include <QString>
#include <QVariant>

class QObject;

namespace objdb {

// Action codes of OnEvent.
enum Action : int {
    ActionOpen = 1,
    ActionRead = 2,
    ActionSave = 3,
    ActionDelete = 4,
    ActionExport = 5,
    ActionCopy = 6,
    ActionCheck = 7,
};

// Notifications and questions of the library. The library opens no message box itself.
class itfNotifyEvent {
public:
    virtual ~itfNotifyEvent() = default;
    // At the start of an open, read, save, deletion, export or copy; detail is a caption or file name.
    virtual void OnEvent(int action, QObject *source, const QString &detail) = 0;
    // Refusals and warnings (cancelled operations, unique-index refusals, invalid input).
    virtual void OnInternalMessage(QObject *source, const QString &detail) = 0;
    // A question; on return cancel is true unless the user chose OK. type 3 is a warning.
    virtual void OnQueryMessage(QObject *source, int type, const QString &text, bool &cancel) = 0;
    // Print (0), preview (1) or export (2) asked from a data window.
    virtual void OnReportRequest(QObject *source, int func, const QString &title, const QString &details) = 0;
};

// Progress of long operations. OnProgress runs pending window events; false stops the operation.
class itfProgress {
public:
    virtual ~itfProgress() = default;
    virtual void OnStart(int action, int total) = 0;
    virtual bool OnProgress(int action, int total, int count, QObject *source, QObject *destination) = 0;
    virtual void OnEnd(int action, int total) = 0;
    virtual bool OnStopped() = 0;
};

// Texts the library supplies to the program.
namespace Application {
// "Apertura", "Lettura", ... for the action codes above; "" for an unknown code.
QString ActionText(int action);
// The library's message text by number (language 0 is Italian). 124 is the refusal message.
QString Message(int number, int language = 0);
} // namespace Application

} // namespace objdb
