#pragma once
// Shared test fixtures: a temporary working folder per test and scripted message boxes.

#include "services/messageservice.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/notify.h"

#include <memory>

#include <QList>
#include <QQueue>
#include <QString>
#include <QTemporaryDir>

namespace TestSupport {

// Test mode for QStandardPaths, a private settings store, the organisation and application
// names, the Italian locale.
// Call first in initTestCase (or use COBRELLE_TEST_MAIN).
void initEnvironment();

// A fresh folder for one test; the database path inside it.
class TempWorkDir {
public:
    TempWorkDir();
    QString path() const { return m_dir.path(); }
    QString databasePath() const;

private:
    QTemporaryDir m_dir;
};

// While alive, every message box is answered from the queue (or with its default answer when the
// queue is empty) and recorded.
class ScriptedMessages {
public:
    ScriptedMessages();
    ~ScriptedMessages();
    void push(MessageService::Answer answer) { m_answers.enqueue(answer); }
    const QList<MessageService::Request> &seen() const { return m_seen; }
    QStringList texts() const;
    void clear() { m_seen.clear(); }

private:
    QQueue<MessageService::Answer> m_answers;
    QList<MessageService::Request> m_seen;
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

// The program's archive opened (created when missing) at path, as the program opens it.
struct Archive {
    std::shared_ptr<objdb::Database> database;
    std::shared_ptr<objdb::DataContext> context;
};
Archive openArchive(const QString &path, objdb::itfNotifyEvent *sink = nullptr);

} // namespace TestSupport

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
