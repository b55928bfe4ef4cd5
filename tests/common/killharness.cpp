#include "killharness.h"

#include "testsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <exception>

namespace KillHarness {

namespace {

const char kChildFlag[] = "--kill-harness-child";
const QByteArray kStarted = "killharness:started\n";
const QByteArray kDone = "killharness:done ";
constexpr int kStartTimeoutMs = 60000;

QHash<QString, Operation::Body> &operations()
{
    static QHash<QString, Operation::Body> registry;
    return registry;
}

quint32 chooseSeed(quint32 given)
{
    if (given != 0)
        return given;
    bool ok = false;
    const quint32 fromEnvironment = qEnvironmentVariable("COBRELLE_KILL_SEED").toUInt(&ok);
    if (ok && fromEnvironment != 0)
        return fromEnvironment;
    return QRandomGenerator::global()->bounded(1u, 0x7fffffffu);
}

// A copy of the source archive, writable, in a folder of its own.
QString copyArchive(const QTemporaryDir &folder, const QString &sourceArchive)
{
    const QString target = folder.filePath(QFileInfo(sourceArchive).fileName());
    if (!QFile::copy(sourceArchive, target))
        return QString();
    QFile(target).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

// The checks every kill must pass, then the caller's.
QString checkArchive(const QString &archivePath, const Check &wholeOrAbsent)
{
    if (!QFileInfo::exists(archivePath))
        return QStringLiteral("the archive is missing");
    try {
        TestSupport::Archive archive = TestSupport::openArchive(archivePath);
        QSqlQuery q = archive.database->exec(QStringLiteral("PRAGMA integrity_check"));
        const QString verdict = q.next() ? q.value(0).toString() : QStringLiteral("<no answer>");
        q.finish();
        archive.context.reset();
        archive.database->Close();
        if (verdict != QLatin1String("ok"))
            return QStringLiteral("integrity_check: ") + verdict;
    } catch (const objdb::Error &e) {
        return QStringLiteral("the archive does not open: ") + e.description();
    }
    return wholeOrAbsent(archivePath);
}

// Starts this program as the child that runs the operation and waits until the operation begins.
bool startProcess(QProcess &process, QByteArray &output, const QString &operation, const QString &archivePath,
                  const QStringList &arguments)
{
    // A killed child cannot remove its temporary files: they go into the archive's folder,
    // which the harness removes.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), QFileInfo(archivePath).absolutePath());
    process.setProcessEnvironment(environment);
    process.setProgram(QCoreApplication::applicationFilePath());
    process.setArguments(QStringList{QString::fromLatin1(kChildFlag), operation, archivePath} + arguments);
    process.start();
    if (!process.waitForStarted(kStartTimeoutMs))
        return false;
    QElapsedTimer waited;
    waited.start();
    while (!output.contains(kStarted)) {
        if (process.state() == QProcess::NotRunning || waited.elapsed() > kStartTimeoutMs)
            return false;
        process.waitForReadyRead(100);
        output += process.readAllStandardOutput();
    }
    return true;
}

struct Child {
    QProcess process;
    QByteArray output;

    bool start(const QString &operation, const QString &archivePath, const QStringList &arguments)
    {
        return startProcess(process, output, operation, archivePath, arguments);
    }

    void finish()
    {
        process.waitForFinished(kStartTimeoutMs);
        output += process.readAllStandardOutput();
    }

    QString diagnostics()
    {
        return QString::fromLocal8Bit(output + process.readAllStandardError()).trimmed();
    }

    // The operation's own duration in milliseconds as the child told it, or -1.
    double reportedSpan() const
    {
        const qsizetype at = output.indexOf(kDone);
        if (at < 0)
            return -1;
        return output.mid(at + kDone.size()).trimmed().toDouble();
    }
};

} // namespace

Operation::Operation(const char *name, Body body)
{
    operations().insert(QString::fromLatin1(name), std::move(body));
}

std::unique_ptr<QProcess> startChild(const QString &operation, const QString &archivePath, const QStringList &arguments)
{
    auto process = std::make_unique<QProcess>();
    QByteArray output;
    if (!startProcess(*process, output, operation, archivePath, arguments))
        return nullptr;
    return process;
}

int runChildIfAsked(int argc, char **argv)
{
    if (argc < 4 || qstrcmp(argv[1], kChildFlag) != 0)
        return -1;
    const QString name = QString::fromLocal8Bit(argv[2]);
    const QString archivePath = QString::fromLocal8Bit(argv[3]);
    QStringList arguments;
    for (int i = 4; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const auto found = operations().constFind(name);
    if (found == operations().constEnd()) {
        std::fprintf(stderr, "unknown operation %s\n", argv[2]);
        return 2;
    }
    std::fputs(kStarted.constData(), stdout);
    std::fflush(stdout);
    QElapsedTimer timer;
    timer.start();
    try {
        found.value()(archivePath, arguments);
    } catch (const objdb::Error &e) {
        std::fprintf(stderr, "operation failed: %s\n", qPrintable(e.description()));
        return 3;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "operation failed: %s\n", e.what());
        return 3;
    }
    std::printf("%s%.3f\n", kDone.constData(), timer.nsecsElapsed() / 1e6);
    std::fflush(stdout);
    return 0;
}

Outcome run(const QString &operation, const QString &sourceArchive, const Check &wholeOrAbsent, const Options &options)
{
    Outcome outcome;
    const quint32 seed = chooseSeed(options.seed);
    QRandomGenerator random(seed);
    const auto failed = [&](const QString &where, const QString &what) {
        outcome.failure = QStringLiteral("%1 \"%2\" (COBRELLE_KILL_SEED=%3): %4").arg(where, operation).arg(seed).arg(what);
        return outcome;
    };

    // The measuring run: whole, and how long the operation takes.
    double span = 0;
    {
        QTemporaryDir folder;
        const QString archive = copyArchive(folder, sourceArchive);
        if (archive.isEmpty())
            return failed(QStringLiteral("copy"), QStringLiteral("cannot copy %1").arg(sourceArchive));
        Child child;
        if (!child.start(operation, archive, options.arguments))
            return failed(QStringLiteral("start"), child.diagnostics());
        child.finish();
        if (child.process.exitStatus() != QProcess::NormalExit || child.process.exitCode() != 0)
            return failed(QStringLiteral("measuring run"), child.diagnostics());
        span = child.reportedSpan();
        outcome.spanMs = span;
        if (const QString wrong = checkArchive(archive, wholeOrAbsent); !wrong.isEmpty())
            return failed(QStringLiteral("measuring run"), QStringLiteral("after the whole operation: ") + wrong);
    }

    for (int moment = 0; moment < options.moments; ++moment) {
        // One moment in each equal slice of a little more than the operation's span.
        const double delayMs = (moment + random.generateDouble()) / options.moments * span * 1.1;
        QTemporaryDir folder;
        const QString archive = copyArchive(folder, sourceArchive);
        Child child;
        if (archive.isEmpty() || !child.start(operation, archive, options.arguments))
            return failed(QStringLiteral("moment %1").arg(moment), child.diagnostics());
        QThread::usleep(static_cast<unsigned long>(delayMs * 1000));
        child.process.kill();
        child.finish();
        if (child.process.exitStatus() == QProcess::CrashExit) {
            ++outcome.killedMidway;
        } else if (child.process.exitCode() == 0) {
            ++outcome.finishedFirst;
            // The measuring run was slower (a busy machine): the later moments spread over this span.
            if (const double ran = child.reportedSpan(); ran > 0)
                span = qMin(span, ran);
        } else {
            return failed(QStringLiteral("moment %1").arg(moment), child.diagnostics());
        }
        if (const QString wrong = checkArchive(archive, wholeOrAbsent); !wrong.isEmpty()) {
            folder.setAutoRemove(false);
            return failed(QStringLiteral("moment %1, killed after %2 ms of %3 ms").arg(moment).arg(delayMs, 0, 'f', 2).arg(span, 0, 'f', 2),
                          wrong + QStringLiteral(" (archive kept in %1)").arg(folder.path()));
        }
    }
    return outcome;
}

} // namespace KillHarness
