#include "testsupport.h"

#include "data/DB.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

namespace TestSupport {

void initEnvironment()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("Cobrelle"));
    QCoreApplication::setApplicationName(QStringLiteral("Cobrelle"));
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

TempWorkDir::TempWorkDir()
{
    m_dir.setAutoRemove(true);
}

QString TempWorkDir::databasePath() const
{
    return m_dir.filePath(QStringLiteral("Cobrelle.mdb"));
}

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
    Archive archive;
    archive.context = objdb::Application::Initialise(std::make_shared<DB>(), QStringLiteral("Cobrelle"), sink);
    archive.database = objdb::Database::create();
    if (!QFileInfo::exists(path))
        archive.database->Create(objdb::kDatabaseFormat, path);
    archive.database->Open(objdb::kDatabaseFormat, path);
    archive.context->Attach(archive.database);
    return archive;
}

} // namespace TestSupport
