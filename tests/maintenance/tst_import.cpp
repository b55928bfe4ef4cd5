// The import of another archive's rows: families whole, references matched by code, existing
// codes skipped, and nothing left of an import that is refused, fails, is stopped or is killed.

#include "archivefixture.h"
#include "killharness.h"
#include "testsupport.h"

#include "maintenance/archivecheck.h"
#include "maintenance/archiveimport.h"
#include "maintenance/settledpurge.h"
#include "services/frmMessage.h"
#include "objdb/datasource.h"
#include "objdb/viewer/datawindow.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTimer>
#include <QtTest>

using MessageService::Answer;

namespace {

const QString kView = QStringLiteral("Vuoi visualizzare i dati che verranno importati ?");
const QString kConfirm = QStringLiteral("Confermi l'importazione ?");
const QString kDone = QStringLiteral("OPERAZIONE COMPLETATA.");

// Answers every question as an operator who goes ahead: no viewer, yes to the import.
Answer goAhead(const MessageService::Request &request)
{
    if (request.text == kConfirm)
        return Answer::Yes;
    return request.defaultAnswer;
}

// Each imported movement (by its description, which the fixture makes unique) with the codes of its
// company and collaborator and the count and sum of its payments.
QStringList families(const QString &path, const QString &prefix)
{
    TestSupport::Archive archive = TestSupport::openArchive(path);
    QSqlQuery q = archive.database->exec(QStringLiteral(
        "SELECT m.Descrizione, c.Codice, k.Codice, m.ImportoInSospeso, m.Pagato, COUNT(p.OID), TOTAL(p.Contanti), t.Codice"
        " FROM Movimenti m LEFT JOIN Compagnie c ON c.OID = m.Compagnia LEFT JOIN Collaboratori k ON k.OID = m.Collaboratore"
        " LEFT JOIN Pagamenti p ON p.OID_Movimenti = m.OID LEFT JOIN TipiOperazione t ON t.OID = p.TipoOperazione"
        " WHERE m.Descrizione LIKE ? GROUP BY m.OID ORDER BY m.Descrizione"),
        {QStringLiteral("Polizza %1%").arg(prefix)});
    QStringList rows;
    while (q.next()) {
        QStringList values;
        for (int i = 0; i < 8; ++i)
            values.append(q.value(i).toString());
        rows.append(values.join(QLatin1Char('|')));
    }
    return rows;
}

struct Archives {
    TestSupport::TempWorkDir dir;
    QString target() const { return dir.databasePath(); }
    QString source() const { return dir.path() + QStringLiteral("/Altro.mdb"); }

    // The open archive: companies AC1..AC3; the other: BC1..BC3 and AC1, with a movement of AC1
    // and a payment whose movement is missing.
    Archives()
    {
        ArchiveFixture::fill(target(), QStringLiteral("A"), 3, 4, 2);
        ArchiveFixture::fill(source(), QStringLiteral("B"), 3, 6, 2);
        TestSupport::Archive other = TestSupport::openArchive(source());
        other.database->exec(QStringLiteral("INSERT INTO Compagnie (Codice, RagioneSociale) VALUES ('AC1', 'Omonima')"));
        other.database->exec(QStringLiteral("UPDATE Movimenti SET Compagnia = (SELECT OID FROM Compagnie WHERE Codice = 'AC1')"
                                            " WHERE Descrizione = 'Polizza B0'"));
        other.database->exec(QStringLiteral("INSERT INTO Pagamenti (Contanti, Bonifico_Bancomat, Assegno, Anticipo, OID_Movimenti)"
                                            " VALUES (10000, 0, 0, 0, 999)"));
    }
};

QByteArray sourceBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool importInto(const QString &target, const QString &table, const QString &source)
{
    TestSupport::Archive archive = TestSupport::openArchive(target);
    auto ds = archive.context->Tables().Item(table).OpenDataSource();
    return ImportArchive(source, ds, nullptr, nullptr);
}

KillHarness::Operation importOperation("import", [](const QString &archivePath, const QStringList &arguments) {
    MessageService::setScript(goAhead);
    if (!importInto(archivePath, QStringLiteral("Pagamenti"), arguments.value(0)))
        throw std::runtime_error("import refused");
});

// Every row of the tables an import of payments touches, keys included, each column by its name.
QString rowsWithKeys(const QString &path)
{
    TestSupport::Archive archive = TestSupport::openArchive(path);
    QStringList rows;
    for (const auto *table : {"Compagnie", "Collaboratori", "TipiOperazione", "Movimenti", "Pagamenti"}) {
        QSqlQuery q = archive.database->exec(QStringLiteral("SELECT * FROM %1 ORDER BY OID").arg(QLatin1String(table)));
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < q.record().count(); ++i)
                values.append(q.record().fieldName(i) + QLatin1Char('=') + q.value(i).toString());
            values.sort();
            rows.append(QLatin1String(table) + QLatin1Char(' ') + values.join(QLatin1Char(',')));
        }
    }
    return rows.join(QLatin1Char('\n'));
}

int importsRecorded(const QString &path)
{
    TestSupport::Archive archive = TestSupport::openArchive(path);
    QSqlQuery q = archive.database->exec(QStringLiteral("SELECT COUNT(*) FROM Importazioni"));
    return q.next() ? q.value(0).toInt() : -1;
}

} // namespace

class TestImport : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { MessageService::clearScript(); }

    void familiesComeWhole_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("payments bring their movements") << "Pagamenti";
        QTest::newRow("movements bring their payments") << "Movimenti";
    }

    void familiesComeWhole()
    {
        QFETCH(QString, table);
        Archives archives;
        const QStringList before = families(archives.target(), QStringLiteral("A"));
        const QByteArray source = sourceBytes(archives.source());
        QList<MessageService::Request> seen;
        MessageService::setScript([&](const MessageService::Request &r) {
            seen.append(r);
            return goAhead(r);
        });
        QVERIFY(importInto(archives.target(), table, archives.source()));
        QCOMPARE(seen.size(), 4);
        QCOMPARE(seen[0].text, kView);
        // AC1 is matched, not copied; type 07 is there already; the payment without its movement stays behind.
        QCOMPARE(seen[1].text, QStringLiteral("Righe da importare: 24\n    Compagnie: 3\n    Collaboratori: 3\n    Movimenti: 6"
                                              "\n    Pagamenti: 12\n\nRighe non importate (già presenti o senza il loro movimento):"
                                              "\n    Compagnie: 1\n    Tipi Operazione: 1\n    Pagamenti: 1"));
        QCOMPARE(seen[2].text, kConfirm);
        QCOMPARE(seen[3].text, kDone);
        QCOMPARE(sourceBytes(archives.source()), source);

        QCOMPARE(families(archives.target(), QStringLiteral("A")), before);
        QStringList imported = families(archives.target(), QStringLiteral("B"));
        QCOMPARE(imported, families(archives.source(), QStringLiteral("B")));
        QVERIFY(imported.first().startsWith(QStringLiteral("Polizza B0|AC1|BK1|")));
        TestSupport::Archive result = TestSupport::openArchive(archives.target());
        QCOMPARE(ArchiveFixture::movementsOutOfLine(*result.database), 0);
        QSqlQuery q = result.database->exec(QStringLiteral("SELECT RagioneSociale FROM Compagnie WHERE Codice = 'AC1'"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("Compagnia A1"));
    }

    // Into an empty archive every row keeps its key, whether the engine copies the tables directly
    // (same definition) or row by row (a column the open archive lacks in the other one's order).
    void everythingIntoAnEmptyArchive_data()
    {
        QTest::addColumn<bool>("sameDefinition");
        QTest::newRow("same definition") << true;
        QTest::newRow("columns in another order") << false;
    }

    void everythingIntoAnEmptyArchive()
    {
        QFETCH(bool, sameDefinition);
        TestSupport::TempWorkDir dir;
        const QString source = dir.path() + QStringLiteral("/Altro.mdb");
        ArchiveFixture::fill(source, QStringLiteral("B"), 4, 9, 2);
        {
            TestSupport::Archive other = TestSupport::openArchive(source);
            // Gaps in every table's keys.
            other.database->exec(QStringLiteral("DELETE FROM Pagamenti WHERE OID_Movimenti = (SELECT MIN(OID) FROM Movimenti)"));
            other.database->exec(QStringLiteral("DELETE FROM Movimenti WHERE OID = (SELECT MIN(OID) FROM Movimenti)"));
            other.database->exec(QStringLiteral("DELETE FROM Compagnie WHERE Codice = 'BC1'"));
            other.database->exec(QStringLiteral("UPDATE Movimenti SET Compagnia = NULL WHERE Compagnia NOT IN (SELECT OID FROM Compagnie)"));
            if (!sameDefinition) {
                other.database->exec(QStringLiteral("ALTER TABLE Pagamenti DROP COLUMN Anticipo"));
                other.database->exec(QStringLiteral("ALTER TABLE Pagamenti ADD COLUMN Anticipo INTEGER"));
                other.database->exec(QStringLiteral("UPDATE Pagamenti SET Anticipo = 0"));
            }
        }
        TestSupport::openArchive(dir.databasePath());
        MessageService::setScript(goAhead);
        QVERIFY(importInto(dir.databasePath(), QStringLiteral("Pagamenti"), source));
        QCOMPARE(rowsWithKeys(dir.databasePath()), rowsWithKeys(source));
    }

    // A movement's purged payments are in the log: they come with it, pointing at its new key.
    void purgedPaymentsComeWithTheirMovement()
    {
        Archives archives;
        {
            TestSupport::Archive other = TestSupport::openArchive(archives.source());
            const auto purge = SettledPurge::Run(*other.context, QDate(2025, 3, 1), [](int, int) { return true; });
            QVERIFY(purge.deleted > 0);
        }
        MessageService::setScript(goAhead);
        QVERIFY(importInto(archives.target(), QStringLiteral("Movimenti"), archives.source()));
        TestSupport::Archive result = TestSupport::openArchive(archives.target());
        const ArchiveCheck::Report report = ArchiveCheck::Run(*result.context);
        QVERIFY2(report.clean, qPrintable(report.lines.join(QLatin1Char('\n'))));
        QSqlQuery q = result.database->exec(QStringLiteral("SELECT COUNT(*) FROM Eliminazioni e JOIN Movimenti m ON m.OID = e.OID_Movimenti"
                                                           " WHERE m.Descrizione LIKE 'Polizza B%'"));
        QVERIFY(q.next());
        QVERIFY(q.value(0).toInt() > 0);
    }

    void viewerShowsTheRowsAndTheImportWaitsForIt()
    {
        Archives archives;
        qint64 shownRows = -1;
        QStringList texts;
        MessageService::setScript([&](const MessageService::Request &r) {
            texts.append(r.text);
            if (r.text == kView) {
                // The user looks at the rows, then closes the window.
                QTimer::singleShot(0, [&] {
                    objdb::DataWindow &window = objdb::DataWindow::instance();
                    shownRows = window.isVisible() ? window.dataSource()->RecordCount() : -2;
                    window.close();
                });
                return Answer::Yes;
            }
            return r.text == kConfirm ? Answer::No : r.defaultAnswer;
        });
        QVERIFY(!importInto(archives.target(), QStringLiteral("Pagamenti"), archives.source()));
        QCOMPARE(shownRows, 13);
        QCOMPARE(texts.last(), kConfirm);
    }

    void referenceTableSkipsCodesAlreadyPresent()
    {
        Archives archives;
        TestSupport::ScriptedMessages messages;
        messages.push(Answer::No);
        messages.push(Answer::Ok);
        messages.push(Answer::Yes);
        QVERIFY(importInto(archives.target(), QStringLiteral("Compagnie"), archives.source()));
        QCOMPARE(messages.texts()[1], QStringLiteral("Righe da importare: 3\n    Compagnie: 3\n\nRighe non importate "
                                                     "(già presenti o senza il loro movimento):\n    Compagnie: 1"));
        TestSupport::Archive result = TestSupport::openArchive(archives.target());
        QSqlQuery q = result.database->exec(QStringLiteral("SELECT GROUP_CONCAT(Codice || ':' || RagioneSociale) FROM "
                                                           "(SELECT * FROM Compagnie ORDER BY Codice)"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("AC1:Compagnia A1,AC2:Compagnia A2,AC3:Compagnia A3,"
                                                       "BC1:Compagnia B1,BC2:Compagnia B2,BC3:Compagnia B3"));
    }

    void refusalsChangeNothing_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("told");
        QTest::newRow("not confirmed") << "no" << kConfirm;
        QTest::newRow("empty table") << "empty" << "L'archivio non contiene dati da importare";
        QTest::newRow("table missing") << "notable" << "L'archivio selezionato non contiene dati < Pagamenti > da importare!";
        QTest::newRow("not an archive") << "text" << "non è un archivio di dati valido";
        QTest::newRow("column missing") << "column" << "nella tabella Movimenti manca la colonna Sconto";
        QTest::newRow("unique name taken") << "unique" << "la riga di Collaboratori con Codice = BK1: Nome \"Collaboratore A1\"";
        QTest::newRow("the open archive itself") << "itself" << "L'archivio selezionato è quello aperto";
        QTest::newRow("nothing new") << "orphans" << "Non ci sono righe da importare";
    }

    void refusalsChangeNothing()
    {
        QFETCH(QString, situation);
        QFETCH(QString, told);
        Archives archives;
        QString source = archives.source();
        {
            TestSupport::Archive other = TestSupport::openArchive(source);
            if (situation == QLatin1String("empty"))
                other.database->exec(QStringLiteral("DELETE FROM Pagamenti"));
            else if (situation == QLatin1String("notable"))
                other.database->exec(QStringLiteral("DROP TABLE Pagamenti"));
            else if (situation == QLatin1String("column"))
                other.database->exec(QStringLiteral("ALTER TABLE Movimenti DROP COLUMN Sconto"));
            else if (situation == QLatin1String("orphans"))
                other.database->exec(QStringLiteral("DELETE FROM Movimenti"));
            else if (situation == QLatin1String("unique"))
                other.database->exec(QStringLiteral("UPDATE Collaboratori SET Nome = 'Collaboratore A1' WHERE Codice = 'BK1'"));
        }
        if (situation == QLatin1String("text")) {
            QFile file(source);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write("Codice;Nome\n01;Rossi\n");
        } else if (situation == QLatin1String("itself")) {
            source = archives.target();
        }
        const QString before = ArchiveFixture::fingerprint(archives.target());
        QList<MessageService::Request> seen;
        MessageService::setScript([&](const MessageService::Request &r) {
            seen.append(r);
            return r.text == kConfirm ? Answer::No : r.defaultAnswer;
        });
        QVERIFY(!importInto(archives.target(), QStringLiteral("Pagamenti"), source));
        QVERIFY(!seen.isEmpty());
        QVERIFY2(seen.last().text.contains(told), qPrintable(seen.last().text));
        QCOMPARE(ArchiveFixture::fingerprint(archives.target()), before);
        QCOMPARE(importsRecorded(archives.target()), 0);
    }

    // Each import is recorded in the archive; the same archive imported again (from its file, a copy
    // of it, or by its file when it is of an older structure without an identity) asks first,
    // naming the earlier import, with No as the default.
    void repeatedImportAsksFirst_data()
    {
        QTest::addColumn<QString>("again");
        QTest::addColumn<bool>("yes");
        QTest::newRow("same file, default answer") << "same" << false;
        QTest::newRow("same file, Yes") << "same" << true;
        QTest::newRow("a copy of it elsewhere") << "copy" << false;
        QTest::newRow("an older archive, known by its file") << "older" << false;
    }

    void repeatedImportAsksFirst()
    {
        QFETCH(QString, again);
        QFETCH(bool, yes);
        Archives archives;
        if (again == QLatin1String("older")) {
            TestSupport::Archive other = TestSupport::openArchive(archives.source());
            for (const char *table : {"InfoArchivio", "Importazioni"}) {
                other.database->exec(QStringLiteral("DROP TABLE %1").arg(QLatin1String(table)));
                other.database->exec(QStringLiteral("DELETE FROM objdb_tables WHERE name = ?"), {QLatin1String(table)});
            }
        }
        MessageService::setScript(goAhead);
        QVERIFY(importInto(archives.target(), QStringLiteral("Pagamenti"), archives.source()));
        QCOMPARE(importsRecorded(archives.target()), 1);
        QString source = archives.source();
        if (again == QLatin1String("copy")) {
            source = archives.dir.path() + QStringLiteral("/Copia.mdb");
            QVERIFY(QFile::copy(archives.source(), source));
        }
        const QString before = ArchiveFixture::fingerprint(archives.target());
        const QString asked = QStringLiteral("L'archivio selezionato è già stato importato il %1 alle ")
                                  .arg(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
        QList<MessageService::Request> seen;
        MessageService::setScript([&](const MessageService::Request &r) {
            seen.append(r);
            if (r.text.startsWith(asked))
                return yes ? Answer::Yes : r.defaultAnswer;
            return goAhead(r);
        });
        QCOMPARE(importInto(archives.target(), QStringLiteral("Pagamenti"), source), yes);
        QVERIFY(!seen.isEmpty());
        QVERIFY2(seen.first().text.startsWith(asked), qPrintable(seen.first().text));
        QVERIFY(seen.first().text.contains(QStringLiteral("(< Pagamenti >, 24 righe)")));
        QCOMPARE(seen.first().defaultAnswer, Answer::No);
        QCOMPARE(ArchiveFixture::fingerprint(archives.target()) == before, !yes);
        QCOMPARE(importsRecorded(archives.target()), yes ? 2 : 1);
    }

    void stopRollsBack()
    {
        Archives archives;
        const QString before = ArchiveFixture::fingerprint(archives.target());
        QStringList texts;
        MessageService::setScript([&](const MessageService::Request &r) {
            texts.append(r.text);
            if (r.text == kConfirm) {
                // The stop button, pressed while the rows are being copied.
                QTimer::singleShot(0, [] { frmMessage::instance()->cmdStop->click(); });
                return Answer::Yes;
            }
            if (r.text == QLatin1String("Confermi l'interruzione ?"))
                return Answer::Yes;
            return r.defaultAnswer;
        });
        QVERIFY(!importInto(archives.target(), QStringLiteral("Pagamenti"), archives.source()));
        QVERIFY(texts.contains(QStringLiteral("Confermi l'interruzione ?")));
        QCOMPARE(texts.last(), QStringLiteral("Importazione interrotta: l'archivio non è stato modificato."));
        QCOMPARE(ArchiveFixture::fingerprint(archives.target()), before);
    }

    void killedImportIsWholeOrAbsent()
    {
        TestSupport::TempWorkDir dir;
        const QString source = dir.path() + QStringLiteral("/Altro.mdb");
        ArchiveFixture::fill(dir.databasePath(), QStringLiteral("A"), 3, 20, 2);
        ArchiveFixture::fill(source, QStringLiteral("B"), 50, 4000, 3);
        const QString absent = ArchiveFixture::fingerprint(dir.databasePath());
        const QString whole = [&] {
            TestSupport::TempWorkDir scratch;
            QFile::copy(dir.databasePath(), scratch.databasePath());
            MessageService::setScript(goAhead);
            importInto(scratch.databasePath(), QStringLiteral("Pagamenti"), source);
            return ArchiveFixture::fingerprint(scratch.databasePath());
        }();
        QVERIFY(whole != absent);
        KillHarness::Options options;
        options.arguments = QStringList{source};
        const auto outcome = KillHarness::run(
            QStringLiteral("import"), dir.databasePath(),
            [&](const QString &archive) {
                const QString now = ArchiveFixture::fingerprint(archive);
                if (now != whole && now != absent)
                    return QStringLiteral("half an import:\n") + now;
                if (importsRecorded(archive) != (now == whole ? 1 : 0))
                    return QStringLiteral("the import's record disagrees with its rows");
                TestSupport::Archive opened = TestSupport::openArchive(archive);
                const qint64 wrong = ArchiveFixture::movementsOutOfLine(*opened.database);
                return wrong == 0 ? QString() : QStringLiteral("%1 movements disagree with their payments").arg(wrong);
            },
            options);
        QVERIFY2(outcome.failure.isEmpty(), qPrintable(outcome.failure));
        QVERIFY2(outcome.killedMidway >= 15, qPrintable(QStringLiteral("only %1 kills landed midway of %2 ms")
                                                              .arg(outcome.killedMidway)
                                                              .arg(outcome.spanMs)));
    }
};

KILL_HARNESS_TEST_MAIN(TestImport)
#include "tst_import.moc"
