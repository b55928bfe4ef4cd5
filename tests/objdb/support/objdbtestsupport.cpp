#include "objdbtestsupport.h"

#include "testserver.h"

#include "objdb/engine/engine.h"
#include "objdb/engine/serveraddress.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
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
    // Nor the user's password file of the PostgreSQL client library.
    qputenv("PGPASSFILE", QFile::encodeName(settingsFolder.filePath(QStringLiteral("pgpass"))));
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

DeleteFault::DeleteFault(objdb::Database &db, const QString &table, const QString &column, const QString &value)
    : m_db(db), m_table(table)
{
    // The value is the test's own constant, spliced as a literal: a trigger takes no binds.
    const QString condition = QStringLiteral("old.%1 = '%2'").arg(objdb::sqlName(column), QString(value).replace(QLatin1Char('\''), QStringLiteral("''")));
    if (objdb::isServerAddress(db.path())) {
        db.exec(QStringLiteral("CREATE OR REPLACE FUNCTION objdb_test_fault() RETURNS trigger LANGUAGE plpgsql AS "
                               "$$ BEGIN RAISE EXCEPTION 'riga guasta'; END $$"));
        db.exec(QStringLiteral("CREATE TRIGGER objdb_test_fault BEFORE DELETE ON %1 FOR EACH ROW WHEN (%2) "
                               "EXECUTE FUNCTION objdb_test_fault()")
                    .arg(objdb::sqlName(table), condition));
    } else {
        db.exec(QStringLiteral("CREATE TRIGGER objdb_test_fault BEFORE DELETE ON %1 WHEN %2 "
                               "BEGIN SELECT RAISE(ABORT, 'riga guasta'); END")
                    .arg(objdb::sqlName(table), condition));
    }
}

DeleteFault::~DeleteFault()
{
    m_db.exec(objdb::isServerAddress(m_db.path())
                  ? QStringLiteral("DROP TRIGGER objdb_test_fault ON %1").arg(objdb::sqlName(m_table))
                  : QStringLiteral("DROP TRIGGER objdb_test_fault"));
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
