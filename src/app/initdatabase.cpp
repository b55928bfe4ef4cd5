#include "app/startup.h"
#include "services/modGlobal.h"

#include "services/configuration.h"
#include "services/deskmark.h"
#include "app/frmMain.h"
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
bool usableArchivePath(const QString &path)
{
    if (!modOSWinUtil::FileExists(path, 0))
        return false;
    if (QFileInfo(path).size() > 0)
        return true;
    frmMessage::closeInstance();
    return MessageService::askYesNo(
        QStringLiteral("Il file %1 è vuoto. Creare un nuovo archivio?").arg(QDir::toNativeSeparators(path)),
        MessageService::Icon::Question, MessageService::Answer::No, QString(), g_frmMain);
}

} // namespace

bool InitDatabase()
{
    frmMessage *message = frmMessage::instance();
    message->ShowMsg(QStringLiteral("Inizializzazione del database..."), g_frmMain);
    QString path = databasePath();
    if (!usableArchivePath(path)) {
        frmMessage::closeInstance();
        // A folder without an archive gets a new one; an empty file is asked about again.
        do {
            if (!RunOptionsDialog(g_frmMain))
                return false;
            path = databasePath();
        } while (modOSWinUtil::FileExists(path, 0) && !usableArchivePath(path));
        message->ShowMsg(QStringLiteral("Inizializzazione del database..."), g_frmMain);
    }
    try {
        g_objDataContext = objdb::Application::Initialise(std::make_shared<DB>(), QCoreApplication::applicationName(),
                                                          g_frmMain, {});
        DatabaseFormat = objdb::kDatabaseFormat;
        g_objDatabase = objdb::Database::create();
        if (!modOSWinUtil::FileExists(path, 0)) {
            // A folder chosen in the options may not exist yet, as the one a first start proposes.
            QDir().mkpath(RootDir);
            g_objDatabase->Create(DatabaseFormat, path);
        }
        g_objDatabase->Open(DatabaseFormat, path, nullptr, 5);
        g_objDataContext->Attach(g_objDatabase, true);
        g_objDeskMark = std::make_unique<DeskMark>(path, OperatorName);
        // The archive says whether its amounts are in lire or Euro, once the file is open.
        ArchiveFacts::AdoptConversionSetting(*g_objDatabase);
        g_objDataContext->SetConversionCurrency(ArchiveFacts::ConversionCurrency(*g_objDatabase));
    } catch (const objdb::Error &e) {
        frmMessage::closeInstance();
        g_objDataContext.reset();
        g_objDatabase.reset();
        g_objDeskMark.reset();
        MessageService::ask({QStringLiteral("Inizializzazione database fallita: \n\n") + e.description(), QString(),
                             MessageService::Icon::Critical, MessageService::Buttons::Ok, MessageService::Answer::Ok,
                             g_frmMain});
        return false;
    }
    frmMessage::closeInstance();
    return true;
}

bool IsDatabaseReady()
{
    return g_objDatabase && g_objDataContext && g_objDataContext->State() == 5;
}

} // namespace modGlobal
