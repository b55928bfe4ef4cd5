// The repair of the archive: compacted, checked, put in place by one rename, and nothing lost or
// half done whatever fails or whenever the program dies.

#include "archivefixture.h"
#include "killharness.h"
#include "testsupport.h"

#include "maintenance/databaserepair.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <QtTest>

using MessageService::Answer;

namespace {

const QString kQuestion = QStringLiteral(
    "Questa funzione tenta il recupero del database...\nIn caso di errore uscire da tutti i terminali, riavviare "
    "l'applicazione e ripetere l'operazione.\n\nContinuare ?");
const QString kDone = QStringLiteral("Recupero completato");

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// An archive with free pages left by deleted rows, so that compaction has something to do.
void makeArchive(const QString &path)
{
    ArchiveFixture::fill(path, QStringLiteral("A"), 5, 300, 2);
    TestSupport::Archive archive = TestSupport::openArchive(path);
    archive.database->exec(QStringLiteral("INSERT INTO Compagnie (Codice, RagioneSociale) SELECT 'X' || OID, "
                                          "printf('%.500c', 'x') FROM Pagamenti"));
    archive.database->exec(QStringLiteral("DELETE FROM Compagnie WHERE Codice LIKE 'X%'"));
}

KillHarness::Operation repairOperation("repair", [](const QString &archivePath, const QStringList &) {
    TestSupport::ScriptedMessages messages;
    // A pause after each step, so that kills land between the renames too.
    RepairEnvironment environment{{}, nullptr, [](RepairStep) { QThread::msleep(20); }};
    if (!RepairDatabase(QFileInfo(archivePath).absolutePath(), nullptr, environment))
        throw std::runtime_error(messages.texts().join(QLatin1Char('\n')).toStdString());
});

} // namespace

class TestRepair : public QObject {
    Q_OBJECT

private slots:
    void repairKeepsEveryRowAndRemovesItsFiles()
    {
        TestSupport::TempWorkDir dir;
        makeArchive(dir.databasePath());
        const QString before = ArchiveFixture::fingerprint(dir.databasePath());
        const qint64 sizeBefore = QFileInfo(dir.databasePath()).size();
        QFile leftover(dir.databasePath() + QStringLiteral(".NEW"));
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.write("left by an earlier run");
        leftover.close();

        TestSupport::ScriptedMessages messages;
        int releases = 0;
        QVERIFY(RepairDatabase(dir.path(), nullptr, {[&] { ++releases; }, nullptr, {}}));
        QCOMPARE(messages.texts(), (QStringList{kQuestion, kDone}));
        QCOMPARE(messages.seen().first().buttons, MessageService::Buttons::OkCancel);
        QCOMPARE(messages.seen().first().icon, MessageService::Icon::Question);
        QCOMPARE(messages.seen().last().icon, MessageService::Icon::Information);
        QCOMPARE(releases, 1);
        QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("Cobrelle.mdb")});
        QVERIFY(QFileInfo(dir.databasePath()).size() < sizeBefore);
        QCOMPARE(ArchiveFixture::fingerprint(dir.databasePath()), before);
    }

    // The date index of the payments misses a change of their dates (written while the index was
    // hidden from the engine): the repair rebuilds it from the table, and days read through it find
    // their payments again.
    void repairMendsAnIndexThatDisagreesWithItsTable()
    {
        TestSupport::TempWorkDir dir;
        makeArchive(dir.databasePath());
        const auto raw = [&](const QStringList &statements) {
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
                db.setDatabaseName(dir.databasePath());
                QVERIFY(db.open());
                QSqlQuery q(db);
                for (const auto &sql : statements)
                    QVERIFY2(q.exec(sql), qPrintable(sql));
                db.close();
            }
            QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        };
        const QString index = QStringLiteral("Pagamenti_Data_idx");
        QString definition;
        qint64 root = 0;
        {
            TestSupport::Archive archive = TestSupport::openArchive(dir.databasePath());
            QSqlQuery q = archive.database->exec(QStringLiteral("SELECT sql, rootpage FROM sqlite_master WHERE name = ?"), {index});
            QVERIFY(q.next());
            definition = q.value(0).toString();
            root = q.value(1).toLongLong();
        }
        raw({QStringLiteral("PRAGMA writable_schema = ON"), QStringLiteral("DELETE FROM sqlite_master WHERE name = '%1'").arg(index)});
        raw({QStringLiteral("UPDATE Pagamenti SET Data = '2025-04-02' WHERE OID % 3 = 0")});
        raw({QStringLiteral("PRAGMA writable_schema = ON"),
             QStringLiteral("INSERT INTO sqlite_master VALUES ('index', '%1', 'Pagamenti', %2, '%3')").arg(index).arg(root).arg(definition)});
        const QString before = ArchiveFixture::fingerprint(dir.databasePath());

        TestSupport::ScriptedMessages messages;
        QVERIFY2(RepairDatabase(dir.path(), nullptr, {}), qPrintable(messages.texts().join(QLatin1Char('\n'))));
        QCOMPARE(messages.texts(), (QStringList{kQuestion, kDone}));
        QCOMPARE(ArchiveFixture::fingerprint(dir.databasePath()), before);
        TestSupport::Archive repaired = TestSupport::openArchive(dir.databasePath());
        QSqlQuery check = repaired.database->exec(QStringLiteral("PRAGMA integrity_check"));
        QVERIFY(check.next());
        QCOMPARE(check.value(0).toString(), QStringLiteral("ok"));
        QSqlQuery day = repaired.database->exec(
            QStringLiteral("SELECT COUNT(*) FROM Pagamenti INDEXED BY Pagamenti_Data_idx WHERE Data = '2025-04-02'"));
        QVERIFY(day.next());
        QCOMPARE(day.value(0).toInt(), 200);
    }

    void missingArchiveTouchesNothing()
    {
        TestSupport::TempWorkDir dir;
        TestSupport::ScriptedMessages messages;
        int releases = 0;
        QVERIFY(RepairDatabase(dir.path(), nullptr, {[&] { ++releases; }, nullptr, {}}));
        QCOMPARE(messages.texts(), (QStringList{kQuestion, kDone}));
        QCOMPARE(releases, 0);
        QVERIFY(filesIn(dir.path()).isEmpty());
    }

    void cancelTouchesNothing()
    {
        TestSupport::TempWorkDir dir;
        makeArchive(dir.databasePath());
        const QByteArray before = contentsOf(dir.databasePath());
        TestSupport::ScriptedMessages messages;
        messages.push(Answer::Cancel);
        int releases = 0;
        QVERIFY(!RepairDatabase(dir.path(), nullptr, {[&] { ++releases; }, nullptr, {}}));
        QCOMPARE(messages.texts(), QStringList{kQuestion});
        QCOMPARE(releases, 0);
        QCOMPARE(contentsOf(dir.databasePath()), before);
        QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("Cobrelle.mdb")});
    }

    void refusalsLeaveTheArchiveAsItWas_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("told");
        QTest::newRow("damaged") << "damaged" << "è danneggiato e non può essere letto per intero";
        QTest::newRow("another program reading") << "reading" << "è in uso da un altro programma";
        QTest::newRow("another program writing") << "writing" << "è in uso da un altro programma";
        QTest::newRow("repaired file does not open") << "foreign" << "È stato rimesso l'archivio originale";
    }

    void refusalsLeaveTheArchiveAsItWas()
    {
        QFETCH(QString, situation);
        QFETCH(QString, told);
        TestSupport::TempWorkDir dir;
        const QString path = dir.databasePath();
        makeArchive(path);
        QSqlDatabase other;
        if (situation == QLatin1String("damaged")) {
            // Garbage over the first page of the payments: a table the engine cannot read.
            qint64 offset = 0;
            int pageSize = 0;
            {
                TestSupport::Archive archive = TestSupport::openArchive(path);
                QSqlQuery q = archive.database->exec(QStringLiteral(
                    "SELECT rootpage, (SELECT page_size FROM pragma_page_size) FROM sqlite_master WHERE name = 'Pagamenti'"));
                QVERIFY(q.next());
                pageSize = q.value(1).toInt();
                offset = (q.value(0).toLongLong() - 1) * pageSize;
            }
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            file.seek(offset);
            file.write(QByteArray(pageSize, '\xA5'));
        } else if (situation == QLatin1String("foreign")) {
            // Sound for the engine, but no archive of the library: the repaired copy cannot open.
            TestSupport::openArchive(path).database->exec(QStringLiteral("DROP TABLE objdb_meta"));
        } else {
            other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
            other.setDatabaseName(path);
            QVERIFY(other.open());
            QSqlQuery q(other);
            QVERIFY(q.exec(situation == QLatin1String("reading") ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE")));
            QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*) FROM Pagamenti")));
            QVERIFY(q.next());
        }
        const QByteArray before = contentsOf(path);

        TestSupport::ScriptedMessages messages;
        QVERIFY(!RepairDatabase(dir.path(), nullptr, {}));
        QCOMPARE(messages.texts().size(), 2);
        QVERIFY2(messages.texts().last().contains(told), qPrintable(messages.texts().last()));
        QCOMPARE(messages.seen().last().buttons, MessageService::Buttons::Ok);
        QCOMPARE(contentsOf(path), before);
        QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("Cobrelle.mdb")});
        if (other.isValid()) {
            other.close();
            other = QSqlDatabase();
            QSqlDatabase::removeDatabase(QStringLiteral("other"));
        }
    }

    void killedRepairLeavesOldOrRepairedArchive()
    {
        TestSupport::TempWorkDir dir;
        makeArchive(dir.databasePath());
        const QString before = ArchiveFixture::fingerprint(dir.databasePath());
        const auto outcome = KillHarness::run(QStringLiteral("repair"), dir.databasePath(), [&](const QString &archive) {
            const QString after = ArchiveFixture::fingerprint(archive);
            return after == before ? QString() : QStringLiteral("rows changed:\n%1\ninstead of\n%2").arg(after, before);
        });
        QVERIFY2(outcome.failure.isEmpty(), qPrintable(outcome.failure));
        QVERIFY(outcome.killedMidway >= 15);
    }
};

KILL_HARNESS_TEST_MAIN(TestRepair)
#include "tst_repair.moc"
