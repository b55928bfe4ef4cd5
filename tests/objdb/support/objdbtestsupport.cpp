#include "objdbtestsupport.h"

#include "testserver.h"

#include "objdb/engine/engine.h"
#include "objdb/engine/serveraddress.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>

namespace TestSupport {

const objdb::SqlDialect &archiveDialect()
{
    return objdb::engineFor(serverArchives() ? QStringLiteral("postgresql://user@host/archive") : QStringLiteral("archive.mdb"))
        .dialect();
}

void onNextModal(std::function<void(QWidget *)> act, QWidget *previous, int patienceMs)
{
    auto *timer = new QTimer(qApp);
    QElapsedTimer started;
    started.start();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act, previous, started, patienceMs] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal != previous) {
            timer->deleteLater();
            timer->stop();
            act(modal);
        } else if (started.elapsed() > patienceMs) {
            timer->deleteLater();
            timer->stop();
            if (modal)
                modal->close();
        }
    });
    timer->start(10);
}

void initEnvironment()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("Cobrelle"));
    QCoreApplication::setApplicationName(QStringLiteral("Cobrelle"));
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    // The per-user settings store of a test program lives in its own folder, removed at exit, so
    // that test programs running side by side never meet nor touch the user's own settings.
    static QTemporaryDir settingsFolder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

TempWorkDir::TempWorkDir()
{
    m_dir.setAutoRemove(true);
}

TempWorkDir::~TempWorkDir()
{
    if (!m_serverArchive.isEmpty())
        dropServerArchive(m_serverArchive);
}

QString TempWorkDir::databasePath() const
{
    if (!serverArchives())
        return m_dir.filePath(QStringLiteral("Cobrelle.mdb"));
    if (m_serverArchive.isEmpty())
        m_serverArchive = newServerArchive();
    return m_serverArchive;
}

Archive openArchive(std::shared_ptr<objdb::itfDefDatabase> definition, const QString &programName,
                    const QString &path, objdb::itfNotifyEvent *sink)
{
    Archive archive;
    archive.context = objdb::Application::Initialise(std::move(definition), programName, sink);
    archive.database = objdb::Database::create();
    // A server's empty database is laid down by opening it.
    if (!objdb::isServerAddress(path) && !QFileInfo::exists(path))
        archive.database->Create(objdb::kDatabaseFormat, path);
    archive.database->Open(objdb::kDatabaseFormat, path);
    archive.context->Attach(archive.database);
    return archive;
}

} // namespace TestSupport
