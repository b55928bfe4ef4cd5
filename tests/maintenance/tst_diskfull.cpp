// The maintenance commands when they cannot have the archive whole. When the space runs out
// partway, each tells so plainly, claims no success, and leaves the archive as it was, readable,
// whole and with every movement in agreement. The space runs out either through the engine's page
// limit on the program's connection (which behaves as a full disk does) or, where the machine lets
// the test mount one, on a small tmpfs. While another desk has the archive open, each refuses,
// naming that desk, and goes ahead once that desk's program is gone, however it ended.

#include "archivefixture.h"
#include "killharness.h"
#include "testsupport.h"

#include "maintenance/archivecheck.h"
#include "maintenance/archiveimport.h"
#include "maintenance/databaserepair.h"
#include "maintenance/frmDeletePayment.h"
#include "maintenance/modEuroConversion.h"
#include "services/configuration.h"
#include "services/deskmark.h"
#include "services/modGlobal.h"
#include "objdb/datasource.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSysInfo>
#include <QThread>
#include <QSqlQuery>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>

using MessageService::Answer;

namespace {

enum class Operation { Conversion, Purge, Import, Repair };
enum class Limit { PageCount, Tmpfs };

const QStringList kSuccesses{QStringLiteral("Conversione terminata."), QStringLiteral("I pagamenti sono stati eliminati."),
                             QStringLiteral("OPERAZIONE COMPLETATA."), QStringLiteral("Recupero completato")};

// Movements enough that every operation needs more than a few dozen pages of room.
void makeArchive(const QString &path, const QString &prefix)
{
    ArchiveFixture::fill(path, prefix, 20, 1500, 2);
}

// Rows and sums of every table, the deletion log's rows with them.
QString state(const QString &path)
{
    QString text = ArchiveFixture::fingerprint(path);
    TestSupport::Archive archive = TestSupport::openArchive(path);
    QSqlQuery q = archive.database->exec(QStringLiteral("SELECT COUNT(*) FROM Eliminazioni"));
    q.next();
    return text + QStringLiteral("\nEliminazioni %1").arg(q.value(0).toLongLong());
}

// A tmpfs mounted for the life of the object; mounted() false where the machine refuses.
class SmallTmpfs {
public:
    SmallTmpfs(const QString &folder, qint64 bytes) : m_folder(folder)
    {
        const QByteArray options = QByteArrayLiteral("size=") + QByteArray::number(bytes);
        if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData()) == 0)
            m_mounted = true;
        else
            m_error = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~SmallTmpfs()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    QString error() const { return m_error; }

private:
    QString m_folder;
    bool m_mounted = false;
    QString m_error;
};

// The operator goes ahead at every question and declines the details of an error.
Answer goAhead(const MessageService::Request &request)
{
    if (request.text.startsWith(QLatin1String("Confermi")))
        return Answer::Yes;
    return request.defaultAnswer;
}

class RecordedMessages {
public:
    RecordedMessages()
    {
        MessageService::setScript([this](const MessageService::Request &request) {
            m_seen.append(request);
            return goAhead(request);
        });
    }
    ~RecordedMessages() { MessageService::clearScript(); }
    const QList<MessageService::Request> &seen() const { return m_seen; }
    QString all() const
    {
        QStringList texts;
        for (const auto &r : m_seen)
            texts.append(r.text);
        return texts.join(QStringLiteral(" | "));
    }

private:
    QList<MessageService::Request> m_seen;
};

// The archive the commands work on, with an operator logged in and the engine's page limit set just
// above its size when asked.
class ProgramArchive {
public:
    ProgramArchive(const QString &path, bool limitPages)
    {
        m_archive = TestSupport::openArchive(path);
        m_archive.context->UserName = QStringLiteral("Verdi");
        if (limitPages) {
            QSqlQuery pages = m_archive.database->exec(QStringLiteral("PRAGMA page_count"));
            pages.next();
            m_archive.database->exec(QStringLiteral("PRAGMA max_page_count = %1").arg(pages.value(0).toLongLong() + 2));
        }
    }
    objdb::DataContext &context() { return *m_archive.context; }

private:
    TestSupport::Archive m_archive;
};

void run(Operation operation, const QString &archivePath, const QString &otherArchive, bool limitPages)
{
    switch (operation) {
    case Operation::Conversion: {
        ProgramArchive program(archivePath, limitPages);
        Settings::writeText(QStringLiteral("Configuration"), QStringLiteral("CurrencyConverted"), QStringLiteral("False"));
        ConvertArchiveToEuro(program.context());
        break;
    }
    case Operation::Purge: {
        ProgramArchive program(archivePath, limitPages);
        frmDeletePayment dialog(program.context());
        dialog.txtData->setText(QStringLiteral("31/12/2025"));
        dialog.cmdSetting->click();
        break;
    }
    case Operation::Import: {
        ProgramArchive program(archivePath, limitPages);
        ImportArchive(otherArchive, program.context().Tables().Item(QStringLiteral("Pagamenti")).OpenDataSource(), nullptr,
                      nullptr);
        break;
    }
    case Operation::Repair:
        RepairDatabase(QFileInfo(archivePath).absolutePath(), nullptr, {});
        break;
    }
}

// Another desk: a program that has the archive open, idle, until it is killed.
KillHarness::Operation otherDesk("other-desk", [](const QString &archivePath, const QStringList &) {
    const DeskMark mark(archivePath, QStringLiteral("Verdi"));
    for (;;)
        QThread::sleep(60);
});

const QList<std::pair<const char *, Operation>> kOperations{
    {"conversion", Operation::Conversion}, {"purge", Operation::Purge}, {"import", Operation::Import}, {"repair", Operation::Repair}};

} // namespace

class TestDiskFull : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setApplicationName(QStringLiteral("Cobrelle")); }

    void operationStopsCleanlyWhenSpaceRunsOut_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<int>("limit");
        const QList<std::pair<const char *, Operation>> operations{{"conversion", Operation::Conversion},
                                                                   {"purge", Operation::Purge},
                                                                   {"import", Operation::Import},
                                                                   {"repair", Operation::Repair}};
        for (const auto &[name, operation] : operations) {
            QTest::addRow("%s, page limit", name) << int(operation) << int(Limit::PageCount);
            QTest::addRow("%s, small tmpfs", name) << int(operation) << int(Limit::Tmpfs);
        }
    }
    void operationStopsCleanlyWhenSpaceRunsOut()
    {
        QFETCH(int, operation);
        QFETCH(int, limit);
        const auto op = Operation(operation);
        if (op == Operation::Repair && Limit(limit) == Limit::PageCount)
            QSKIP("the repair writes its copy through a connection of its own, to a new file: only a full file "
                  "system limits it");
        if (op == Operation::Conversion && Limit(limit) == Limit::PageCount)
            QSKIP("the conversion rewrites amounts in place, never longer, and needs no new page of the archive: "
                  "only its journal needs room, which only a full file system takes away");

        TestSupport::TempWorkDir work;
        const QString made = work.path() + QStringLiteral("/made.mdb");
        const QString other = work.path() + QStringLiteral("/Altro.mdb");
        makeArchive(made, QStringLiteral("A"));
        if (op == Operation::Import)
            makeArchive(other, QStringLiteral("B"));
        const QString before = state(made);

        const QString folder = work.path() + QStringLiteral("/disk");
        QVERIFY(QDir().mkpath(folder));
        const QString archive = folder + QLatin1Char('/') + QString::fromLatin1(modGlobal::kDatabaseFileName);
        std::unique_ptr<SmallTmpfs> tmpfs;
        if (Limit(limit) == Limit::Tmpfs) {
            // Room for the archive and a little more: less than any of the operations needs.
            tmpfs = std::make_unique<SmallTmpfs>(folder, QFileInfo(made).size() + 64 * 1024);
            if (!tmpfs->mounted())
                QSKIP(qPrintable(QStringLiteral("a tmpfs cannot be mounted here (%1)").arg(tmpfs->error())));
        }
        QVERIFY(QFile::copy(made, archive));

        {
            RecordedMessages messages;
            run(op, archive, other, Limit(limit) == Limit::PageCount);
            bool failureTold = false;
            for (const auto &request : messages.seen()) {
                QVERIFY2(!kSuccesses.contains(request.text), qPrintable(messages.all()));
                // The cause and the outcome in so many words, not a report to be opened.
                if (request.icon == MessageService::Icon::Critical
                    && request.text.contains(QStringLiteral("disco è pieno"), Qt::CaseInsensitive)
                    && request.text.contains(QStringLiteral("non è stato modificato")))
                    failureTold = true;
            }
            QVERIFY2(failureTold, qPrintable(messages.all()));
        }

        QVERIFY(QFileInfo::exists(archive));
        {
            TestSupport::Archive reopened = TestSupport::openArchive(archive);
            QSqlQuery integrity = reopened.database->exec(QStringLiteral("PRAGMA integrity_check"));
            QVERIFY(integrity.next());
            QCOMPARE(integrity.value(0).toString(), QStringLiteral("ok"));
            const auto report = ArchiveCheck::Run(*reopened.context);
            QVERIFY2(report.clean, qPrintable(report.lines.mid(0, 3).join(QLatin1String("; "))));
        }
        QCOMPARE(state(archive), before);
    }

    void operationRefusesWhileAnotherDeskIsIn_data()
    {
        QTest::addColumn<int>("operation");
        for (const auto &[name, operation] : kOperations)
            QTest::addRow("%s", name) << int(operation);
    }
    void operationRefusesWhileAnotherDeskIsIn()
    {
        QFETCH(int, operation);
        const auto op = Operation(operation);
        TestSupport::TempWorkDir work;
        const QString archive = work.databasePath();
        const QString other = work.path() + QStringLiteral("/Altro.mdb");
        makeArchive(archive, QStringLiteral("A"));
        if (op == Operation::Import)
            makeArchive(other, QStringLiteral("B"));
        const QString before = state(archive);
        // This desk's own mark is no other desk.
        const DeskMark own(archive, QStringLiteral("Rossi"));
        QVERIFY(own.held());

        std::unique_ptr<QProcess> desk = KillHarness::startChild(QStringLiteral("other-desk"), archive);
        QVERIFY(desk);
        QTRY_COMPARE(OtherDesksOn(archive), QStringList{QStringLiteral("Verdi@") + QSysInfo::machineHostName()});
        {
            RecordedMessages messages;
            run(op, archive, other, false);
            QCOMPARE(messages.seen().size(), 1);
            QCOMPARE(messages.seen().first().text,
                     QStringLiteral("L'archivio %1 è in uso da Verdi@%2.\n\nChiudere il programma sugli altri terminali "
                                    "e ripetere l'operazione.").arg(archive, QSysInfo::machineHostName()));
        }
        QCOMPARE(state(archive), before);

        // The system gives a killed program's lock back: its mark is gone and the command goes ahead.
        desk->kill();
        QVERIFY(desk->waitForFinished());
        QCOMPARE(OtherDesksOn(archive), QStringList());
        QCOMPARE(QDir(archive + QStringLiteral(".desks")).entryList(QDir::Files).size(), 1);
        RecordedMessages messages;
        run(op, archive, other, false);
        QVERIFY2(kSuccesses.contains(messages.seen().last().text), qPrintable(messages.all()));
    }
};

KILL_HARNESS_TEST_MAIN(TestDiskFull)
#include "tst_diskfull.moc"
