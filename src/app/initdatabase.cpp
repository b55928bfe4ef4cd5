#include "app/startup.h"
#include "services/modGlobal.h"

#include "services/configuration.h"
#include "app/frmMain.h"
#include "services/frmMessage.h"
#include "services/messageservice.h"
#include "data/DB.h"
#include "desktop/modOSWinUtil.h"
#include "maintenance/optionslauncher.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/error.h"

#include <QCoreApplication>
#include <QDir>

namespace modGlobal {

namespace {

QString databasePath()
{
    return BuildFilePath(RootDir, QString::fromLatin1(kDatabaseFileName), QString());
}

} // namespace

bool InitDatabase()
{
    frmMessage *message = frmMessage::instance();
    message->ShowMsg(QStringLiteral("Inizializzazione del database..."), g_frmMain);
    QString path = databasePath();
    if (!modOSWinUtil::FileExists(path, 0)) {
        frmMessage::closeInstance();
        if (!RunOptionsDialog(g_frmMain))
            return false;
        path = databasePath();
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
        // The archive's own currency is known once the file is open.
        if (g_objDataContext->mainCurrency().Name(0) != QLatin1String("Euro"))
            g_objDataContext->SetConversionCurrency(std::make_shared<objdb::CurrencyEuro>());
        else
            g_objDataContext->SetConversionCurrency(std::make_shared<objdb::CurrencyLire>());
    } catch (const objdb::Error &e) {
        frmMessage::closeInstance();
        g_objDataContext.reset();
        g_objDatabase.reset();
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
