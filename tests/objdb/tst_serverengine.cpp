// What must come out alike whichever engine holds the archive (run on a file and, with
// COBRELLE_TEST_ENGINE=postgres, on a server): the order of texts with accents, case and Null, by
// steps and by search; Like folding as foldText does; exact sums and their Null rule; dates across
// month ends; the refusal of a repeated unique value; the write lock another desk holds. Then the
// server engine's own parts: its causes of SQLSTATEs, what a unique refusal names, and its names.

#include "gridtestschema.h"
#include "objdbtestsupport.h"
#include "testschema.h"

#include "objdb/amount.h"
#include "objdb/engine/postgres/postgresdialect.h"
#include "objdb/engine/postgres/postgreserrors.h"
#include "objdb/error.h"
#include "objdb/sqldialect.h"
#include "objdb/types.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QThread>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <algorithm>
#include <limits>

using namespace objdb;

namespace {

// Names whose order tells byte order from a locale's and Null's place on each engine.
const QVariantList kNames{QStringLiteral("beta"), QStringLiteral("Alfa"), QVariant(), QStringLiteral("àlfa"),
                          QStringLiteral("ALFA"), QStringLiteral("alfa"), QStringLiteral("Zeta"),
                          QStringLiteral("être"), QStringLiteral("straße"), QStringLiteral(""),
                          QStringLiteral("10"), QStringLiteral("9"), QStringLiteral("_x"), QStringLiteral("Ökonomie"),
                          QStringLiteral("alfa"), QVariant(), QStringLiteral("ñandú")};

// The names in the order both engines give: Null first, then texts by their code points, equal
// ones by insertion; descending the other way round.
QStringList expectedOrder(bool descending)
{
    QList<std::pair<QVariant, int>> rows;
    for (int i = 0; i < kNames.size(); ++i)
        rows.append({kNames.at(i), i});
    std::stable_sort(rows.begin(), rows.end(), [](const auto &a, const auto &b) {
        if (a.first.isNull() != b.first.isNull())
            return a.first.isNull();
        return a.first.toString().compare(b.first.toString()) < 0;
    });
    if (descending)
        std::reverse(rows.begin(), rows.end());
    // Equal names keep their insertion order either way (the OID ends every order, ascending).
    QStringList names;
    for (qsizetype i = 0; i < rows.size();) {
        qsizetype end = i;
        while (end < rows.size() && rows.at(end).first == rows.at(i).first
               && rows.at(end).first.isNull() == rows.at(i).first.isNull())
            ++end;
        QList<std::pair<QVariant, int>> equal = rows.mid(i, end - i);
        std::sort(equal.begin(), equal.end(), [](const auto &a, const auto &b) { return a.second < b.second; });
        for (const auto &row : equal)
            names.append(row.first.isNull() ? QStringLiteral("<null>") : row.first.toString());
        i = end;
    }
    return names;
}

QString shown(const QVariant &name)
{
    return name.isNull() ? QStringLiteral("<null>") : name.toString();
}

} // namespace

class TestServerEngine : public GridTest::ArchiveTest {
    Q_OBJECT

    std::shared_ptr<DataSource> voci(const QString &filter = QString(), const QString &sort = QString())
    {
        auto ds = m_context->Tables().Item(QStringLiteral("Voci")).OpenDataSource();
        if (!sort.isEmpty())
            ds->SetSort(sort);
        if (!filter.isEmpty())
            ds->SetFilter(filter);
        return ds;
    }

    void insert(const QString &columns, const QList<QVariantList> &rows)
    {
        const qsizetype count = columns.count(QLatin1Char(',')) + 1;
        QStringList marks(count, QStringLiteral("?"));
        TransactionGuard transaction(*m_db);
        for (const QVariantList &row : rows)
            m_db->exec(QStringLiteral("INSERT INTO Voci (%1) VALUES (%2)").arg(columns, marks.join(QStringLiteral(", "))), row);
        transaction.commit();
    }

    void insertNames()
    {
        QList<QVariantList> rows;
        for (const QVariant &name : kNames)
            rows.append({name});
        insert(QStringLiteral("Nome"), rows);
    }

private slots:
    void initTestCase() { Database::setClientName(QString()); }
    void init() { openNewArchive(GridTest::Columns::Plain); }
    void cleanup()
    {
        closeArchive();
        Database::setClientName(QString());
    }

    void textsSortByTheirBytesWithNullAtTheLowEnd_data()
    {
        QTest::addColumn<QString>("sort");
        QTest::addColumn<bool>("descending");
        QTest::newRow("ascending") << "Nome" << false;
        QTest::newRow("descending") << "Nome DESC" << true;
    }

    // Stepping goes by the ordered keys, searching by the key-set conditions after the current row:
    // both must agree with the order itself.
    void textsSortByTheirBytesWithNullAtTheLowEnd()
    {
        QFETCH(QString, sort);
        QFETCH(bool, descending);
        insertNames();
        const QStringList expected = expectedOrder(descending);

        auto ds = voci(QString(), sort);
        QStringList stepped;
        for (bool more = ds->MoveFirst(); more && !ds->AtEOF(); more = ds->MoveNext())
            stepped.append(shown(ds->GetField(QStringLiteral("Nome"))));
        QCOMPARE(stepped, expected);

        auto searched = voci(QString(), sort);
        QStringList found;
        for (bool hit = searched->FindFirst(QStringLiteral("OID > 0")); hit; hit = searched->Find(QStringLiteral("OID > 0"), true))
            found.append(shown(searched->GetField(QStringLiteral("Nome"))));
        QCOMPARE(found, expected);
    }

    void likeFoldsCaseAndAccents_data()
    {
        QTest::addColumn<QString>("criterion");
        QTest::addColumn<QStringList>("matches");
        QTest::newRow("accent and case") << "Nome Like 'citta'" << QStringList{"Città", "CITTÀ", "citta"};
        QTest::newRow("prefix") << "Nome Like 'ca*'" << QStringList{"Caffè", "çà va"};
        QTest::newRow("inside") << "Nome Like '*OE*'" << QStringList{"Noël"};
        QTest::newRow("sharp s stays") << "Nome Like 'stra*e'" << QStringList{"Straße"};
        QTest::newRow("accented pattern") << "Nome Like '*È'" << QStringList{"Caffè", "Straße"};
        QTest::newRow("negated") << "Not Nome Like '*a*'" << QStringList{"Noël"};
    }

    void likeFoldsCaseAndAccents()
    {
        QFETCH(QString, criterion);
        QFETCH(QStringList, matches);
        insert(QStringLiteral("Nome"), {{"Città"}, {"CITTÀ"}, {"citta"}, {"Caffè"}, {"çà va"}, {"Noël"}, {"Straße"}, {QVariant()}});
        auto ds = voci(criterion, QStringLiteral("Nome"));
        QStringList got;
        for (bool more = ds->MoveFirst(); more && !ds->AtEOF(); more = ds->MoveNext())
            got.append(ds->GetField(QStringLiteral("Nome")).toString());
        std::sort(matches.begin(), matches.end(), [](const QString &a, const QString &b) { return a.compare(b) < 0; });
        QCOMPARE(got, matches);
    }

    void foldingInSqlEqualsTheLibrarys_data()
    {
        QTest::addColumn<QString>("text");
        for (const char *text : {"Perché", "PERCHÉ", "Città", "Ærø", "Ångström", "Straße", "STRASSE", "Ÿvonne", "ΣΊΣΥΦΟΣ",
                                 "Dvořák", "Łódź", "İstanbul", "Noël", "naïve", "Ĉu", "ﬁne", "µ-metro", "ſ", "Ǆ", "a\u0301b",
                                 "ABC xyz 123 _-%", ""})
            QTest::newRow(text) << QString::fromUtf8(text);
    }

    void foldingInSqlEqualsTheLibrarys()
    {
        QFETCH(QString, text);
        const QString sql = QStringLiteral("SELECT %1(CAST(? AS TEXT))").arg(m_db->dialect().foldFunction());
        QSqlQuery q = m_db->exec(sql, {text});
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), foldText(text));
    }

    void sumsAreExactOrRefused_data()
    {
        QTest::addColumn<QVariantList>("units");
        QTest::addColumn<QString>("sum"); // the units of the sum, "null", or the refusal
        const qint64 top = std::numeric_limits<qint64>::max() - 10;
        QTest::newRow("ten thousandths") << QVariantList(2000, qint64(1)) << "2000";
        QTest::newRow("the money bound") << QVariantList{qlonglong(Amount::kMaxUnits), qlonglong(-Amount::kMaxUnits), qlonglong(Amount::kMaxUnits)}
                                         << QString::number(Amount::kMaxUnits);
        QTest::newRow("past 64 bits midway") << QVariantList{qlonglong(top), qlonglong(top), qlonglong(-top)} << QString::number(top);
        QTest::newRow("past 64 bits") << QVariantList{qlonglong(top), qlonglong(top)} << "Il totale di Importo è troppo grande per essere calcolato.";
        QTest::newRow("a null") << QVariantList{qint64(10), QVariant(), qint64(5)} << "null";
        QTest::newRow("no rows") << QVariantList{} << "0";
    }

    void sumsAreExactOrRefused()
    {
        QFETCH(QVariantList, units);
        QFETCH(QString, sum);
        QList<QVariantList> rows;
        for (const QVariant &u : units)
            rows.append({QStringLiteral("voce"), u});
        insert(QStringLiteral("Nome, Importo"), rows);
        QString got;
        const QString refused = TestSupport::refusal([&] {
            const ColumnSummary s = voci()->SummarizeColumn(QStringLiteral("Importo"));
            QCOMPARE(s.rows, units.size());
            got = isNull(s.sum) ? QStringLiteral("null") : QString::number(s.sum.value<Amount>().units());
        });
        QCOMPARE(got.isEmpty() ? refused : got, sum);
    }

    void datesAcrossMonthEnds_data()
    {
        QTest::addColumn<QString>("criterion");
        QTest::addColumn<QStringList>("dates");
        QTest::newRow("February") << "Month(Data) = 2 And Year(Data) = 2024" << QStringList{"2024-02-01", "2024-02-29"};
        QTest::newRow("day 31") << "Day(Data) = 31" << QStringList{"2023-12-31", "2024-01-31"};
        QTest::newRow("range over the leap day")
            << "Data >= #02/29/2024# And Data < #03/02/2024#" << QStringList{"2024-02-29", "2024-03-01"};
        QTest::newRow("year end") << "Year(Data) = 2023" << QStringList{"2023-12-31"};
        QTest::newRow("January") << "Month(Data) = 1" << QStringList{"2024-01-31"};
    }

    void datesAcrossMonthEnds()
    {
        QFETCH(QString, criterion);
        QFETCH(QStringList, dates);
        insert(QStringLiteral("Nome, Data"), {{"a", "2023-12-31"}, {"b", "2024-01-31"}, {"c", "2024-02-01"}, {"d", "2024-02-29"},
                                              {"e", "2024-03-01"}, {"f", "2024-03-02"}, {"g", QVariant()}});
        auto ds = voci(criterion, QStringLiteral("Data"));
        QStringList got;
        for (bool more = ds->MoveFirst(); more && !ds->AtEOF(); more = ds->MoveNext())
            got.append(isoDate(ds->GetField(QStringLiteral("Data")).toDate()));
        QCOMPARE(got, dates);
    }

    void aRepeatedUniqueValueIsRefusedByName()
    {
        const TestSupport::TempWorkDir dir;
        TestSupport::Archive archive = TestSchema::openArchive(dir.databasePath(), &m_sink);
        auto causali = archive.context->Tables().Item(QStringLiteral("Causali")).OpenDataSource();
        QVERIFY(causali->AddRow({"Codice", "01", "Descrizione", "contanti"}));
        const QString refused = TestSupport::refusal([&] { causali->AddRow({"Codice", "01", "Descrizione", "di nuovo"}); });
        QCOMPARE(refused, QStringLiteral("Impossibile salvare: in Causali esiste già una riga con lo stesso valore del campo Codice."));
        QCOMPARE(archive.context->Tables().Item(QStringLiteral("Causali")).OpenDataSource()->RecordCount(), 1);
        archive.context.reset();
    }

    void theWriteLockNamesTheDeskHoldingIt()
    {
        Database::setClientName(QStringLiteral("cassa1@banco"));
        auto holder = Database::create();
        holder->Open(kDatabaseFormat, m_dir->databasePath());
        Database::setClientName(QStringLiteral("cassa2@retro"));
        auto writer = Database::create();
        writer->Open(kDatabaseFormat, m_dir->databasePath(), nullptr, 1);
        holder->BeginTrans();
        const QString refused = TestSupport::refusal([&] { writer->BeginTrans(); });
        holder->Rollback();
        const QString expected = TestSupport::serverArchives()
            ? QStringLiteral("l'archivio è occupato dal terminale cassa1@banco, che vi sta scrivendo")
            : QStringLiteral("l'archivio è occupato da un altro terminale che vi sta scrivendo");
        QVERIFY2(refused.contains(expected), qPrintable(refused));
        // Given back, it is the next desk's at once.
        writer->BeginTrans();
        writer->CommitTrans();
    }

    // Two desks opening a new, empty archive at the same moment: one lays it down, the other finds it.
    void twoDesksStartingTogetherLayItDownOnce()
    {
        const TestSupport::TempWorkDir dir;
        const QString path = dir.databasePath();
        if (!TestSupport::serverArchives()) {
            QFile empty(path);
            QVERIFY(empty.open(QIODevice::WriteOnly));
        }
        QStringList failures;
        QMutex mutex;
        const auto start = [&] {
            try {
                Database::create()->Open(kDatabaseFormat, path);
            } catch (const Error &e) {
                const QMutexLocker lock(&mutex);
                failures.append(e.description());
            }
        };
        std::unique_ptr<QThread> first(QThread::create(start)), second(QThread::create(start));
        first->start();
        second->start();
        QVERIFY(first->wait(30'000) && second->wait(30'000));
        QCOMPARE(failures, QStringList());
        auto db = Database::create();
        db->Open(kDatabaseFormat, path);
        QSqlQuery q = db->exec(QStringLiteral("SELECT COUNT(*) FROM objdb_meta WHERE key = 'format'"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
    }

    void aLongStatementStopsAtTheDeadline()
    {
        QElapsedTimer clock;
        clock.start();
        const bool finished = m_db->readWithin(100, [&] {
            m_db->exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200000000) "
                                      "SELECT COUNT(*) FROM n"));
        });
        QVERIFY(!finished);
        QVERIFY2(clock.elapsed() < 10'000, "the statement ran on past its deadline");
        // The connection serves the next statement, which nothing stops.
        QSqlQuery q = m_db->exec(QStringLiteral("SELECT COUNT(*) FROM Voci"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 0);
    }

    // --- the server engine's own parts, without a server -----------------------------------

    void causesOfTheServersCodes_data()
    {
        QTest::addColumn<QString>("sqlState");
        QTest::addColumn<int>("cause");
        QTest::newRow("lock not available") << "55P03" << kErrLocked;
        QTest::newRow("deadlock") << "40P01" << kErrLocked;
        QTest::newRow("canceled") << "57014" << kErrStopped;
        QTest::newRow("numeric out of range") << "22003" << kErrOverflow;
        QTest::newRow("read-only transaction") << "25006" << kErrReadOnly;
        QTest::newRow("disk full") << "53100" << kErrDiskFull;
        QTest::newRow("data corrupted") << "XX001" << kErrDamaged;
        QTest::newRow("connection failure") << "08006" << kErrConnectionLost;
        QTest::newRow("admin shutdown") << "57P01" << kErrConnectionLost;
        QTest::newRow("cannot connect now") << "57P03" << kErrConnectionLost;
        QTest::newRow("undefined table") << "42P01" << kErrEngine;
        QTest::newRow("unique violation") << "23505" << kErrEngine;
    }

    void causesOfTheServersCodes()
    {
        QFETCH(QString, sqlState);
        QFETCH(int, cause);
        QCOMPARE(postgresErrorCause(QSqlError(QString(), QStringLiteral("ERROR"), QSqlError::StatementError, sqlState)), cause);
    }

    void aDroppedConnectionIsLostWithoutACode()
    {
        const QSqlError dropped(QStringLiteral("QPSQL: Unable to create query"),
                                QStringLiteral("server closed the connection unexpectedly"), QSqlError::StatementError);
        QCOMPARE(postgresErrorCause(dropped), kErrConnectionLost);
        QVERIFY(engineErrorText(kErrConnectionLost, QString()).startsWith(QStringLiteral("connessione al server persa")));
    }

    void whatAUniqueRefusalNames_data()
    {
        QTest::addColumn<QString>("databaseText");
        QTest::addColumn<QString>("named"); // "table.column", or "" for none
        QTest::newRow("index and detail")
            << "ERROR:  duplicate key value violates unique constraint \"causali_codice_idx\"\nDETAIL:  Key (codice)=(01) already exists."
            << "causali.codice";
        QTest::newRow("an underscore in the column")
            << "ERROR:  duplicate key value violates unique constraint \"righe_oid_conti_idx\"\nDETAIL:  Key (oid_conti)=(1) already exists."
            << "righe.oid_conti";
        QTest::newRow("the key") << "ERROR:  duplicate key value violates unique constraint \"voci_pkey\"\nDETAIL:  Key (oid)=(3) already exists."
                                 << "voci.oid";
        QTest::newRow("no index of ours") << "ERROR:  duplicate key value violates unique constraint \"altro\"" << "";
    }

    void whatAUniqueRefusalNames()
    {
        QFETCH(QString, databaseText);
        QFETCH(QString, named);
        const auto refusal = postgresUniqueRefusal(QSqlError(QString(), databaseText, QSqlError::StatementError, "23505"));
        QCOMPARE(refusal ? refusal->table + QLatin1Char('.') + refusal->column : QString(), named);
        QVERIFY(!postgresUniqueRefusal(QSqlError(QString(), databaseText, QSqlError::StatementError, "23503")));
    }

    void namesReachTheServerInItsCase_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("sent");
        QTest::newRow("quoted names") << "SELECT t0.\"Nome\" FROM \"Voci\" AS t0" << "SELECT t0.\"nome\" FROM \"voci\" AS t0";
        QTest::newRow("literals kept") << "SELECT 'Èx \"Ab\"' FROM \"Voci\"" << "SELECT 'Èx \"Ab\"' FROM \"voci\"";
        QTest::newRow("doubled quote in a literal") << "SELECT 'l''\"A\"', \"B\"" << "SELECT 'l''\"A\"', \"b\"";
        QTest::newRow("collation kept") << "CREATE TABLE \"T\" (\"N\" TEXT COLLATE \"C\")" << "CREATE TABLE \"t\" (\"n\" TEXT COLLATE \"C\")";
        QTest::newRow("function body kept") << "AS $f$ SELECT \"X\" $f$; \"Y\"" << "AS $f$ SELECT \"X\" $f$; \"y\"";
        QTest::newRow("a placeholder's dollar") << "SELECT $1, \"Z\"" << "SELECT $1, \"z\"";
    }

    void namesReachTheServerInItsCase()
    {
        QFETCH(QString, sql);
        QFETCH(QString, sent);
        QCOMPARE(PostgresDialect().statement(sql), sent);
    }
};

COBRELLE_TEST_MAIN(TestServerEngine)
#include "tst_serverengine.moc"
