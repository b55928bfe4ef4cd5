#pragma once
// Fixtures of the library's own tests: the test environment, a temporary working folder per test,
// a sink that records what the library tells and asks, an archive opened over a definition.
// They know nothing of the program, so that the library's tests link the library alone.

#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/definition.h"
#include "objdb/error.h"
#include "objdb/notify.h"
#include "objdb/sqldialect.h"
#include "testserver.h"

#include <functional>
#include <memory>

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class QWidget;

namespace TestSupport {

// Test mode for QStandardPaths, a private settings store, the organisation and application
// names, the Italian locale.
// Call first in initTestCase (or use COBRELLE_TEST_MAIN).
void initEnvironment();

// The SQL dialect of the archives the tests open, for rendering without an archive.
const objdb::SqlDialect &archiveDialect();

// Runs `act` on the next modal window that opens (the same window shown again counts once it was
// closed); a window still not there or left open after patienceMs is closed, so no test hangs.
void onNextModal(std::function<void(QWidget *)> act, QWidget *previous = nullptr, int patienceMs = 10000);

// A fresh folder for one test, and the test's archive: a file inside it, or (when the run's
// archives are server databases, serverArchives()) a fresh database on the test server, dropped
// with the folder.
class TempWorkDir {
public:
    TempWorkDir();
    ~TempWorkDir();
    TempWorkDir(const TempWorkDir &) = delete;
    TempWorkDir &operator=(const TempWorkDir &) = delete;
    QString path() const { return m_dir.path(); }
    QString databasePath() const;

private:
    QTemporaryDir m_dir;
    mutable QString m_serverArchive;
};

// Records what the library tells and asks; questions are answered with `answerOk`.
class RecordingSink : public objdb::itfNotifyEvent {
public:
    void OnEvent(int action, QObject *, const QString &detail) override { events.append({action, detail}); }
    void OnInternalMessage(QObject *, const QString &detail) override { messages.append(detail); }
    void OnQueryMessage(QObject *, int, const QString &text, bool &cancel) override
    {
        questions.append(text);
        cancel = !answerOk;
    }
    void OnReportRequest(QObject *, int, const QString &, const QString &) override {}

    QList<QPair<int, QString>> events;
    QStringList messages;
    QStringList questions;
    bool answerOk = true;
};

// An archive and the data context attached to it. The context goes before the archive.
struct Archive {
    std::shared_ptr<objdb::Database> database;
    std::shared_ptr<objdb::DataContext> context;
};

// The archive at path (created when missing) attached to a new context over the definition.
Archive openArchive(std::shared_ptr<objdb::itfDefDatabase> definition, const QString &programName,
                    const QString &path, objdb::itfNotifyEvent *sink = nullptr);

// A fault planted in the archive, in its engine's own SQL: deleting a row of table whose column
// holds value fails the statement, until the fault goes.
class DeleteFault {
public:
    DeleteFault(objdb::Database &db, const QString &table, const QString &column, const QString &value);
    ~DeleteFault();
    DeleteFault(const DeleteFault &) = delete;
    DeleteFault &operator=(const DeleteFault &) = delete;

private:
    objdb::Database &m_db;
    QString m_table;
};

// The message of the library's refusal, or "<accepted>" when nothing was refused.
template <typename F>
QString refusal(F f)
{
    try {
        f();
    } catch (const objdb::Error &e) {
        return e.description();
    }
    return QStringLiteral("<accepted>");
}

} // namespace TestSupport

// Skips a test of what only an archive file has (its bytes, its locks, SQLite's own interface) when
// this run's archives are server databases.
#define COBRELLE_FILE_ONLY(why)                                                                      \
    do {                                                                                             \
        if (TestSupport::serverArchives())                                                           \
            QSKIP("file archives only: " why);                                                      \
    } while (false)

// QTEST_MAIN with the test environment prepared before the QApplication exists.
#define COBRELLE_TEST_MAIN(TestClass)                                                                \
    int main(int argc, char **argv)                                                                  \
    {                                                                                                \
        TestSupport::initEnvironment();                                                              \
        QApplication app(argc, argv);                                                                \
        TestClass tc;                                                                                \
        QTEST_SET_MAIN_SOURCE_PATH                                                                   \
        return QTest::qExec(&tc, argc, argv);                                                        \
    }
