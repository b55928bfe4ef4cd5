#include "app/startup.h"

#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "app/singleinstance.h"
#include "services/configuration.h"
#include "services/messageservice.h"
#include "services/modGlobal.h"
#include "views/currentview.h"
#include "services/session.h"

#include <QApplication>
#include <QTimer>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

Session &modGlobal::AppSession()
{
    static Session session;
    return session;
}

// The program's pictures are compiled into a static library, whose resource table the linker
// leaves out unless something asks for it by name.
static void initResources()
{
    Q_INIT_RESOURCE(cobrelle);
}

int modGlobal::Main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QLatin1String(kProductName));
    QCoreApplication::setApplicationName(QLatin1String(kProductName));
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    QLocale::setDefault(italian);
    // Qt's own texts (standard buttons "Sì", "No", "Annulla") in Italian.
    QTranslator qtTranslation;
    if (qtTranslation.load(italian, QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslation);
    initResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/cobrelle.png")));
    // The window hides behind its tray icon; only "Chiudi" ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    SingleInstance instance;
    if (!instance.tryAcquire()) {
        instance.requestActivation();
        MessageService::inform(SingleInstance::alreadyRunningMessage(), MessageService::Icon::Information,
                               QLatin1String(kProductName));
        return 0;
    }

    auto splash = std::make_unique<frmSplash>();
    splash->show();
    splash->repaint();

    ReadConfiguration();

    frmMain mainWindow;
    mainWindow.view().readSettings();
    mainWindow.Form_Load();
    splash.reset();
    QObject::connect(&instance, &SingleInstance::activationRequested, &mainWindow, &frmMain::mnuActivate_Click);
    mainWindow.show();
    mainWindow.activateWindow();
    // Desktops without a window manager never activate the window: the first activation's work
    // (archive, login, tree) must not wait for one.
    QTimer::singleShot(0, &mainWindow, &frmMain::Form_Activate);
    const int exitCode = QApplication::exec();
    // The archive closes while Qt's database connections still exist; left to the exit handlers,
    // it would be closed after them and crash the ending process.
    mainWindow.ReleaseDatabase();
    return exitCode;
}
