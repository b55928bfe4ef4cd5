// The transfer of a whole archive into an empty one: every table with its keys, the deletion log
// and the saved filters, checked on both sides; nothing left in the target of a transfer that is
// refused, stopped or found different.

#include "archivefixture.h"
#include "testsupport.h"

#include "maintenance/servertransfer.h"
#include "services/frmMessage.h"
#include "services/session.h"
#include "data/DB.h"
#include "objdb/filter/filterstore.h"
#include "objdb/maintenance/archivetransfer.h"

#include <QApplication>
#include <QPushButton>
#include <QSqlQuery>
#include <QTimer>
#include <QtTest>

using MessageService::Answer;

namespace {

const QString kLibraryRecordsOnly = QStringLiteral("objdb_meta,objdb_tables");

// The source archive, filled, open in a session as the program has it; the target, an empty archive
// beside it.
struct Transfer {
    Transfer(int companies, int movements, int paymentsEach)
    {
        ArchiveFixture::fill(dir.databasePath(), QStringLiteral("A"), companies, movements, paymentsEach);
        archive = TestSupport::openArchive(dir.databasePath());
        objdb::Database &db = *archive.database;
        db.exec(QStringLiteral("INSERT INTO Eliminazioni (Quando, Operatore, Comando, Tabella, OID_Eliminato, Contanti)"
                               " VALUES ('2025-03-02T10:00:00', 'Verdi', 'Elimina record', 'Pagamenti', 77, 125000)"));
        objdb::FilterStore::save(db, QStringLiteral("Movimenti"), QStringLiteral("Grandi"), false, QStringLiteral("[]"), false);
        session.database = archive.database;
        session.dataContext = archive.context;
        objdb::Database::create()->Create(objdb::kDatabaseFormat, target());
    }
    ~Transfer() { session.close(); }

    QString target() const { return dir.path() + QStringLiteral("/Server.mdb"); }
    // The target's tables, opened bare: only the library's records while nothing was laid down.
    QString targetTables() const
    {
        auto db = objdb::Database::create();
        db->Open(objdb::kDatabaseFormat, target());
        QStringList names = db->tables();
        names.sort();
        return names.join(QLatin1Char(','));
    }

    TestSupport::TempWorkDir dir;
    TestSupport::Archive archive;
    Session session;
};

// The keys of every row of the tables whose rows point at one another, and the deletion log.
QString keys(const QString &path)
{
    TestSupport::Archive archive = TestSupport::openArchive(path);
    QStringList lines;
    for (const char *table : {"Compagnie", "Collaboratori", "Movimenti", "Pagamenti", "Eliminazioni"}) {
        QSqlQuery q = archive.database->exec(QStringLiteral("SELECT OID FROM %1 ORDER BY OID").arg(QLatin1String(table)));
        QStringList oids;
        while (q.next())
            oids.append(q.value(0).toString());
        lines.append(QLatin1String(table) + QLatin1Char(' ') + oids.join(QLatin1Char(',')));
    }
    lines.append(objdb::FilterStore::names(*archive.database, QStringLiteral("Movimenti"), false).join(QLatin1Char('|')));
    return lines.join(QLatin1Char('\n'));
}

} // namespace

class tst_ArchiveTransfer : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { MessageService::clearScript(); }

    // Past one page of rows too; the target is the source, keys and sums alike.
    void copiesTheWholeArchive_data()
    {
        QTest::addColumn<int>("movements");
        QTest::addColumn<int>("paymentsEach");
        QTest::newRow("no movements") << 0 << 0;
        QTest::newRow("a few") << 7 << 2;
        QTest::newRow("several pages") << 1300 << 1;
    }
    void copiesTheWholeArchive()
    {
        QFETCH(int, movements);
        QFETCH(int, paymentsEach);
        Transfer transfer(3, movements, paymentsEach);
        TestSupport::ScriptedMessages messages;
        messages.push(Answer::Yes);
        QVERIFY(TransferArchive(transfer.session, transfer.target(), nullptr));
        const QStringList texts = messages.texts();
        QCOMPARE(texts.size(), 2);
        QCOMPARE(messages.seen().first().defaultAnswer, Answer::No);
        QVERIFY2(texts.last().startsWith(QStringLiteral("Trasferimento completato")), qPrintable(texts.last()));
        const QString source = transfer.dir.databasePath();
        transfer.session.close();
        QCOMPARE(ArchiveFixture::fingerprint(transfer.target()), ArchiveFixture::fingerprint(source));
        QCOMPARE(keys(transfer.target()), keys(source));
    }

    void refusesATargetHoldingRows()
    {
        Transfer transfer(2, 3, 1);
        // An archive the program has opened once holds the rows a new archive starts with.
        TestSupport::openArchive(transfer.target());
        const QString before = ArchiveFixture::fingerprint(transfer.target());
        TestSupport::ScriptedMessages messages;
        QVERIFY(!TransferArchive(transfer.session, transfer.target(), nullptr));
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY2(messages.texts().first().contains(QStringLiteral("contiene già dei dati")), qPrintable(messages.texts().first()));
        QCOMPARE(ArchiveFixture::fingerprint(transfer.target()), before);
    }

    void declinedOrStoppedLeavesTheTargetUntouched_data()
    {
        QTest::addColumn<bool>("stop");
        QTest::addColumn<QString>("lastText"); // "" = the question was the only message
        QTest::newRow("declined") << false << "";
        QTest::newRow("stopped") << true << "Trasferimento interrotto: l'archivio %1 non è stato modificato.";
    }
    void declinedOrStoppedLeavesTheTargetUntouched()
    {
        QFETCH(bool, stop);
        QFETCH(QString, lastText);
        Transfer transfer(2, 40, 2);
        QStringList texts;
        MessageService::setScript([&](const MessageService::Request &r) {
            texts.append(r.text);
            if (r.text.startsWith(QStringLiteral("Copiare le ")) && stop) {
                // The stop button, pressed while the rows are being copied.
                QTimer::singleShot(0, [] { frmMessage::instance()->cmdStop->click(); });
                return Answer::Yes;
            }
            return r.text == QLatin1String("Confermi l'interruzione ?") ? Answer::Yes : r.defaultAnswer;
        });
        QVERIFY(!TransferArchive(transfer.session, transfer.target(), nullptr));
        if (lastText.isEmpty())
            QCOMPARE(texts.size(), 1);
        else
            QCOMPARE(texts.last(), lastText.arg(transfer.target()));
        QCOMPARE(transfer.targetTables(), kLibraryRecordsOnly);
    }

    // What the comparison finds when the copy differs from its source.
    void comparisonFindsDifferences_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column"); // "" = only the row count differs
        QTest::newRow("an amount") << "UPDATE Pagamenti SET Assegno = Assegno + 1 WHERE OID = (SELECT MIN(OID) FROM Pagamenti)"
                                   << "Pagamenti" << "Assegno";
        QTest::newRow("a row") << "DELETE FROM Collaboratori WHERE OID = (SELECT MAX(OID) FROM Collaboratori)"
                               << "Collaboratori" << "";
        QTest::newRow("a logged amount") << "UPDATE Eliminazioni SET Contanti = NULL" << "Eliminazioni" << "Contanti";
    }
    void comparisonFindsDifferences()
    {
        QFETCH(QString, change);
        QFETCH(QString, table);
        QFETCH(QString, column);
        Transfer transfer(3, 5, 2);
        auto target = objdb::Database::create();
        target->Open(objdb::kDatabaseFormat, transfer.target());
        objdb::ArchiveTransfer copy(*transfer.archive.database, *target, transfer.archive.context->tableDefs());
        objdb::TransactionGuard transaction(*target);
        auto context = objdb::Application::Initialise(std::make_shared<DB>(), QStringLiteral("Cobrelle"), nullptr);
        context->Attach(target, true);
        QVERIFY(copy.copy(nullptr));
        target->exec(change);
        for (const objdb::TransferCheck &check : copy.compare()) {
            QCOMPARE(check.matches(), check.table != table);
            if (check.table != table)
                continue;
            QCOMPARE(check.sourceRows == check.targetRows, !column.isEmpty());
            for (qsizetype i = 0; i < check.amountColumns.size(); ++i)
                QCOMPARE(check.sourceSums.at(i) == check.targetSums.at(i), check.amountColumns.at(i) != column);
        }
    }
};

COBRELLE_TEST_MAIN(tst_ArchiveTransfer)
#include "tst_archivetransfer.moc"
