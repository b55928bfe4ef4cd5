#include "maintenance/databaserepair.h"

#include "services/administratoronly.h"
#include "services/configuration.h"
#include "services/deskmark.h"
#include "services/frmMessage.h"
#include "services/messageservice.h"
#include "services/modGlobal.h"
#include "data/DB.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/error.h"
#include "objdb/maintenance/compaction.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include <filesystem>
#include <system_error>

namespace {

std::filesystem::path fsPath(const QString &path)
{
    return std::filesystem::path(path.toStdU16String());
}

// Replaces `target` by `source` in one step of the file system: whoever looks finds one or the other.
void replaceFile(const QString &source, const QString &target)
{
    std::error_code error;
    std::filesystem::rename(fsPath(source), fsPath(target), error);
    if (error)
        objdb::fail(QStringLiteral("Impossibile rinominare %1 in %2: %3.")
                        .arg(source, target, QString::fromLocal8Bit(error.message().c_str())));
}

// A second name for the original, so that it survives the rename over it: a hard link costs
// nothing; where the file system has none, a copy.
void keepOriginal(const QString &archive, const QString &kept)
{
    QFile::remove(kept);
    std::error_code error;
    std::filesystem::create_hard_link(fsPath(archive), fsPath(kept), error);
    if (error && !QFile::copy(archive, kept))
        objdb::fail(QStringLiteral("Impossibile conservare l'archivio originale come %1.").arg(kept));
}

// Opens the repaired archive once as start-up does and checks its references and parent links.
// Its indexes are not rebuilt: the compaction has just built every one of them from its table.
void reopen(const QString &archive, objdb::itfNotifyEvent *notify)
{
    auto database = objdb::Database::create();
    database->Open(objdb::kDatabaseFormat, archive, nullptr, 5);
    auto context = objdb::Application::Initialise(std::make_shared<DB>(), QCoreApplication::applicationName(), notify);
    context->Attach(database, true, false, true);
    context.reset();
    database->Close();
}

class WaitCursor {
public:
    explicit WaitCursor(QWidget *owner) : m_owner(owner)
    {
        if (m_owner)
            m_owner->setCursor(Qt::WaitCursor);
        QCoreApplication::processEvents();
    }
    ~WaitCursor()
    {
        if (m_owner)
            m_owner->unsetCursor();
    }

private:
    QWidget *m_owner;
};

} // namespace

bool RepairDatabase(const QString &directory, QWidget *owner, const RepairEnvironment &environment)
{
    if (environment.session && RefuseNonAdministrator(*environment.session, owner))
        return false;
    const QString archive = BuildFilePath(directory, QString::fromLatin1(modGlobal::kDatabaseFileName), QString());
    if (RefuseWhileOtherDesksIn(archive, owner))
        return false;
    MessageService::beep();
    const auto answer = MessageService::ask(
        {QStringLiteral("Questa funzione tenta il recupero del database...\n"
                        "In caso di errore uscire da tutti i terminali, riavviare l'applicazione e ripetere "
                        "l'operazione.\n\nContinuare ?"),
         QString(), MessageService::Icon::Question, MessageService::Buttons::OkCancel, MessageService::Answer::Ok, owner});
    if (answer != MessageService::Answer::Ok)
        return false;

    const auto told = [&](RepairStep step) {
        if (environment.afterStep)
            environment.afterStep(step);
    };
    WaitCursor cursor(owner);
    frmMessage *message = frmMessage::instance();
    message->ShowMsg(QStringLiteral("Controlli..."), owner);
    const QString copy = archive + QStringLiteral(".NEW");
    const QString kept = archive + QStringLiteral(".OLD");
    try {
        if (QFileInfo::exists(archive)) {
            if (environment.releaseDatabase)
                environment.releaseDatabase();
            message->ShowMsg(QStringLiteral("Ripristino Database in corso..."), owner);
            if (QFileInfo::exists(copy) && !QFile::remove(copy))
                objdb::fail(QStringLiteral("Impossibile eliminare il file %1.").arg(copy));
            {
                const objdb::CompactedCopy compacted(archive, copy);
                told(RepairStep::Compacted);
                keepOriginal(archive, kept);
                told(RepairStep::OriginalKept);
                replaceFile(copy, archive);
                told(RepairStep::Replaced);
            }
            try {
                reopen(archive, environment.notify);
            } catch (const objdb::Error &e) {
                replaceFile(kept, archive);
                objdb::fail(QStringLiteral("L'archivio recuperato non si apre: %1\n\nÈ stato rimesso l'archivio originale.")
                                .arg(e.description()));
            }
            QFile::remove(kept);
            told(RepairStep::Reopened);
        }
    } catch (const objdb::Error &e) {
        frmMessage::closeInstance();
        MessageService::ask({e.description(), QString(), MessageService::Icon::Critical, MessageService::Buttons::Ok,
                             MessageService::Answer::Ok, owner});
        return false;
    }
    frmMessage::closeInstance();
    MessageService::inform(QStringLiteral("Recupero completato"), MessageService::Icon::Information, QString(), owner);
    return true;
}
