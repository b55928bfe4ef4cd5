#pragma once
// The program's test fixtures, over the library's: scripted message boxes and the program's
// archive.

#include "objdbtestsupport.h"

#include "services/messageservice.h"

#include <QList>
#include <QQueue>
#include <QStringList>

namespace TestSupport {

// While alive, every message box is answered from the queue (or with its default answer when the
// queue is empty) and recorded.
class ScriptedMessages {
public:
    ScriptedMessages();
    ~ScriptedMessages();
    void push(MessageService::Answer answer) { m_answers.enqueue(answer); }
    const QList<MessageService::Request> &seen() const { return m_seen; }
    QStringList texts() const;
    void clear() { m_seen.clear(); }

private:
    QQueue<MessageService::Answer> m_answers;
    QList<MessageService::Request> m_seen;
};

// The program's archive opened (created when missing) at path, as the program opens it.
Archive openArchive(const QString &path, objdb::itfNotifyEvent *sink = nullptr);

} // namespace TestSupport
