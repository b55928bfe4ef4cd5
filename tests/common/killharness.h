#pragma once
// Sudden death of an operation: runs it in a child process on a copy of a real archive, kills the
// child with SIGKILL at spread, seeded random moments, and after every kill checks that the archive
// still opens through the library, that the engine finds it sound, and what the caller asks.
//
// Use:
//   1. Register the operations at file scope of the test (the child runs them):
//        static KillHarness::Operation repairOp("repair", [](const QString &archive, const QStringList &args) {
//            ... // work on the archive at `archive`; throw or return
//        });
//   2. End the test file with KILL_HARNESS_TEST_MAIN(TestClass) instead of COBRELLE_TEST_MAIN.
//   3. In a test:
//        const auto outcome = KillHarness::run("repair", sourceArchive, [](const QString &archive) {
//            return QString(); // empty when the operation is whole or absent, else what is wrong
//        });
//        QVERIFY2(outcome.failure.isEmpty(), qPrintable(outcome.failure));
//
// First the operation runs once to its end, which measures it and must pass the check; then each
// moment copies the source archive afresh into a folder of its own (same file name), starts the
// child, waits until the operation begins, kills it after a delay drawn within the measured span
// (stratified, so the kills spread over the whole operation) and checks the copy. The seed is taken
// from COBRELLE_KILL_SEED when set, else drawn, and is named in every failure; a failed moment's
// folder is kept and named too.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QProcess;

namespace KillHarness {

// An operation the child process can run: the path of its archive copy and the caller's arguments.
class Operation {
public:
    using Body = std::function<void(const QString &archivePath, const QStringList &arguments)>;
    Operation(const char *name, Body body);
};

struct Options {
    int moments = 20;          // kills after the measuring run
    quint32 seed = 0;          // 0: COBRELLE_KILL_SEED, else drawn
    QStringList arguments;     // handed to the operation
};

struct Outcome {
    QString failure;           // empty when every check passed
    int killedMidway = 0;      // kills that landed while the operation was running
    int finishedFirst = 0;     // moments where the operation ended before the kill
    double spanMs = 0;         // the operation's own duration in the measuring run
};

// What the caller checks on the archive after a kill: empty when the operation is whole or absent.
using Check = std::function<QString(const QString &archivePath)>;

Outcome run(const QString &operation, const QString &sourceArchive, const Check &wholeOrAbsent,
            const Options &options = {});

// Starts the operation in a child process and returns it once the operation has begun, or nullptr;
// for a test that holds something in another process and kills it itself.
std::unique_ptr<QProcess> startChild(const QString &operation, const QString &archivePath,
                                     const QStringList &arguments = {});

// When this process was started by run() or startChild() as its child: runs the operation and returns the exit
// code (0 done). Otherwise returns -1. KILL_HARNESS_TEST_MAIN calls it.
int runChildIfAsked(int argc, char **argv);

} // namespace KillHarness

#define KILL_HARNESS_TEST_MAIN(TestClass)                                                            \
    int main(int argc, char **argv)                                                                  \
    {                                                                                                \
        TestSupport::initEnvironment();                                                              \
        QApplication app(argc, argv);                                                                \
        if (const int childCode = KillHarness::runChildIfAsked(argc, argv); childCode >= 0)          \
            return childCode;                                                                        \
        TestClass tc;                                                                                \
        QTEST_SET_MAIN_SOURCE_PATH                                                                   \
        return QTest::qExec(&tc, argc, argv);                                                        \
    }
