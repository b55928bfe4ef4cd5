#include "app/startup.h"
#include "services/modGlobal.h"

#include "services/configuration.h"
#include "services/deskmark.h"
#include "services/session.h"
#include "services/frmMessage.h"
#include "services/messageservice.h"
#include "data/DB.h"
#include "data/archivefacts.h"
#include "desktop/modOSWinUtil.h"
#include "maintenance/optionslauncher.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace modGlobal {

namespace {

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

} // namespace

bool InitDatabase(Session &session, QWidget *parent, objdb::itfNotifyEvent *notify)
{
    frmMessage *message = frmMessage::instance();
    message->ShowMsg(QStringLiteral("Inizializzazione del database..."), parent);
    QString path = databasePath();
    if (!usableArchivePath(path, parent)) {
        frmMessage::closeInstance();
        // A folder without an archive gets a new one; an empty file is asked about again.
        do {
            if (!RunOptionsDialog(parent))
                return false;
            path = databasePath();
        } while (modOSWinUtil::FileExists(path, 0) && !usableArchivePath(path, parent));
        message->ShowMsg(QStringLiteral("Inizializzazione del database..."), parent);
    }
    try {
        session.dataContext =
            objdb::Application::Initialise(std::make_shared<DB>(), QCoreApplication::applicationName(), notify, {});
        DatabaseFormat = objdb::kDatabaseFormat;
        session.database = objdb::Database::create();
        if (!modOSWinUtil::FileExists(path, 0)) {
            // A folder chosen in the options may not exist yet, as the one a first start proposes.
            QDir().mkpath(RootDir);
            session.database->Create(DatabaseFormat, path);
        }
        session.database->Open(DatabaseFormat, path, nullptr, 5);
        session.dataContext->Attach(session.database, true);
        session.deskMark = std::make_unique<DeskMark>(path, session.operatorName);
        session.dataContext->UserName = session.operatorName;
        // The archive says whether its amounts are in lire or Euro, once the file is open.
        ArchiveFacts::AdoptConversionSetting(*session.database);
        session.dataContext->SetConversionCurrency(ArchiveFacts::ConversionCurrency(*session.database));
    } catch (const objdb::Error &e) {
        frmMessage::closeInstance();
        session.dataContext.reset();
        session.database.reset();
        session.deskMark.reset();
        MessageService::ask({QStringLiteral("Inizializzazione database fallita: \n\n") + e.description(), QString(),
                             MessageService::Icon::Critical, MessageService::Buttons::Ok, MessageService::Answer::Ok,
                             parent});
        return false;
    }
    frmMessage::closeInstance();
    return true;
}

} // namespace modGlobal
