#include "testsupport.h"

#include "data/DB.h"

namespace TestSupport {

ScriptedMessages::ScriptedMessages()
{
    MessageService::setScript([this](const MessageService::Request &request) {
        m_seen.append(request);
        if (!m_answers.isEmpty())
            return m_answers.dequeue();
        return request.defaultAnswer;
    });
}

ScriptedMessages::~ScriptedMessages()
{
    MessageService::clearScript();
}

QStringList ScriptedMessages::texts() const
{
    QStringList list;
    for (const auto &r : m_seen)
        list.append(r.text);
    return list;
}

Archive openArchive(const QString &path, objdb::itfNotifyEvent *sink)
{
    return openArchive(std::make_shared<DB>(), QStringLiteral("Cobrelle"), path, sink);
}

} // namespace TestSupport
