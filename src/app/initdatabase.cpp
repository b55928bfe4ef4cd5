#include "app/startup.h"
#include "services/modGlobal.h"

#include "services/archivechoice.h"
#include "services/configuration.h"
#include "services/deskmark.h"
#include "services/passwordfile.h"
#include "services/session.h"
#include "services/frmMessage.h"
#include "services/messageservice.h"
#include "data/DB.h"
#include "data/archivefacts.h"
#include "desktop/modOSWinUtil.h"
#include "maintenance/frmServerPassword.h"
#include "maintenance/optionslauncher.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <optional>

namespace modGlobal {

namespace {

const QString kInitialising = QStringLiteral("Inizializzazione del database...");

QString databasePath()
{
    return BuildFilePath(RootDir, QString::fromLatin1(kDatabaseFileName), QString());
}

// A file of no bytes is most often a copy or a restore of the real archive that failed: an archive
// is made in it only when the user says so.
bool usableArchivePath(const QString &path, QWidget *parent)
{
    if (!modOSWinUtil::FileExists(path, 0))
        return false;
    if (QFileInfo(path).size() > 0)
        return true;
    frmMessage::closeInstance();
    return MessageService::askYesNo(
        QStringLiteral("Il file %1 è vuoto. Creare un nuovo archivio?").arg(QDir::toNativeSeparators(path)),
        MessageService::Icon::Question, MessageService::Answer::No, QString(), parent);
}

// The server's password for this run, unless the password file gives it; false when the user
// gave up, which ends the start as a refused login does.
bool knowServerPassword(const objdb::ServerAddress &address, QWidget *parent)
{
    if (!objdb::serverPassword(address).isEmpty() || PasswordFile::holds(address))
        return true;
    frmMessage::closeInstance();
    const std::optional<QString> password = frmServerPassword::Ask(address, parent);
    if (!password)
        return false;
    objdb::setServerPassword(address, *password);
    return true;
}

// The archive this desk is to open: the server's URI, or the file of the working directory once
// there is one or the user agreed to make it; the options are offered until the user gives up.
std::optional<QString> archiveToOpen(QWidget *parent)
{
    bool optionsShown = false;
    for (;;) {
        const ArchiveChoice choice = ReadArchiveChoice();
        if (choice.kind == ArchiveKind::Server) {
            if (!knowServerPassword(choice.server, parent))
                return std::nullopt;
            return choice.server.uri();
        }
        const QString path = databasePath();
        // A folder chosen in the options without an archive gets a new one; an empty file is asked about.
        if (optionsShown && !modOSWinUtil::FileExists(path, 0))
            return path;
        if (usableArchivePath(path, parent))
            return path;
        frmMessage::closeInstance();
        if (!RunOptionsDialog(parent))
            return std::nullopt;
        optionsShown = true;
    }
}

void openArchive(Session &session, const QString &archive, objdb::itfNotifyEvent *notify)
{
    const bool onServer = objdb::isServerAddress(archive);
    session.dataContext =
        objdb::Application::Initialise(std::make_shared<DB>(), QCoreApplication::applicationName(), notify, {});
    DatabaseFormat = objdb::kDatabaseFormat;
    session.database = objdb::Database::create();
    // An empty database on a server is laid down by the open itself; a file is made first, in a
    // folder chosen in the options that may not exist yet, as the one a first start proposes.
    if (!onServer && !modOSWinUtil::FileExists(archive, 0)) {
        QDir().mkpath(RootDir);
        session.database->Create(DatabaseFormat, archive);
    }
    session.database->Open(DatabaseFormat, archive, nullptr, 5);
    session.dataContext->Attach(session.database, true);
    // The desks' marks lie beside a file; a server knows its connections itself.
    if (!onServer)
        session.deskMark = std::make_unique<DeskMark>(archive, session.operatorName);
    session.dataContext->UserName = session.operatorName;
    // The archive says whether its amounts are in lire or Euro, once it is open.
    ArchiveFacts::AdoptConversionSetting(*session.database);
    session.dataContext->SetConversionCurrency(ArchiveFacts::ConversionCurrency(*session.database));
}

// A server that cannot be reached, or refuses the user, is most often set wrong: the options are
// offered. True when the user changed them and the start is to try again.
bool offerOptionsAfter(const objdb::Error &error, const QString &archive, QWidget *parent)
{
    // A password asked at start and refused is asked again.
    if (const auto address = objdb::ServerAddress::fromUri(archive))
        objdb::setServerPassword(*address, QString());
    // The library's text names the archive and says what failed.
    const bool open = MessageService::askYesNo(error.description() + QStringLiteral("\n\nAprire le impostazioni per correggerle?"),
                                               MessageService::Icon::Critical, MessageService::Answer::Yes, QString(),
                                               parent);
    return open && RunOptionsDialog(parent);
}

} // namespace

bool InitDatabase(Session &session, QWidget *parent, objdb::itfNotifyEvent *notify)
{
    frmMessage *message = frmMessage::instance();
    for (;;) {
        message->ShowMsg(kInitialising, parent);
        const std::optional<QString> archive = archiveToOpen(parent);
        if (!archive) {
            frmMessage::closeInstance();
            return false;
        }
        message->ShowMsg(kInitialising, parent);
        try {
            openArchive(session, *archive, notify);
            frmMessage::closeInstance();
            return true;
        } catch (const objdb::Error &e) {
            frmMessage::closeInstance();
            session.dataContext.reset();
            session.database.reset();
            session.deskMark.reset();
            if (objdb::isServerAddress(*archive)) {
                if (offerOptionsAfter(e, *archive, parent))
                    continue;
                return false;
            }
            MessageService::ask({QStringLiteral("Inizializzazione database fallita: \n\n") + e.description(), QString(),
                                 MessageService::Icon::Critical, MessageService::Buttons::Ok,
                                 MessageService::Answer::Ok, parent});
            return false;
        }
    }
}

} // namespace modGlobal
