// "Find the next match" asks the archive for the first matching row after the current one in the
// order of the view: it must agree with stepping the rows one by one for every current row,
// whatever the order (ties, descending columns, Null values, several columns), keep the current
// row when nothing follows, and never need the view's key list.

#include "gridtestschema.h"
#include "objdbtestsupport.h"

#include "objdb/amount.h"

#include <QSqlDriver>
#include <QtTest>

#include <sqlite3.h>

using namespace objdb;

class TestFindNext : public GridTest::ArchiveTest {
    Q_OBJECT

    std::shared_ptr<DataSource> voci() { return m_context->Tables().Item(QStringLiteral("Voci")).OpenDataSource(); }

    // The matching rows after each row, by stepping the view: the reference the query must meet.
    static QHash<qint64, qint64> nextByStepping(DataSource &ds, const QString &criterion)
    {
        QList<qint64> order;
        for (bool ok = ds.MoveFirst(); ok; ok = ds.MoveNext())
            order.append(ds.Bookmark());
        auto matching = ds.Copy();
        matching->SetFilter(criterion);
        QSet<qint64> matches;
        for (bool ok = matching->MoveFirst(); ok; ok = matching->MoveNext())
            matches.insert(matching->Bookmark());
        QHash<qint64, qint64> next;
        for (int i = 0; i < order.size(); ++i)
            for (int j = i + 1; j < order.size(); ++j)
                if (matches.contains(order.at(j))) {
                    next.insert(order.at(i), order.at(j));
                    break;
                }
        return next;
    }

private slots:
    void init()
    {
        openNewArchive(GridTest::Columns::Plain);
        // Names repeat, amounts repeat and are sometimes Null, so that every order has ties.
        const QStringList names{"Rosa", "anna", "Bruno", "rosa", "Carla", "Anna", "Bruno", "Dario", "Rosa", "Elsa"};
        for (int i = 0; i < names.size(); ++i)
            m_db->exec(QStringLiteral("INSERT INTO Voci (Nome, Importo, Data) VALUES (?, ?, ?)"),
                       {names.at(i), i % 4 == 0 ? QVariant() : QVariant(qint64(i % 3) * Amount::kScale),
                        i % 5 == 0 ? QVariant() : QVariant(QDate(2024, 1, 1 + i % 3).toString(Qt::ISODate))});
    }

    void cleanup() { closeArchive(); }

    void agreesWithSteppingInEveryOrder_data()
    {
        QTest::addColumn<QString>("order");
        for (const char *order : {"", "Nome", "Nome DESC", "Importo", "Importo DESC", "Importo DESC, Nome",
                                  "Data, Importo DESC", "Data DESC, Nome DESC"})
            QTest::newRow(order) << QString::fromLatin1(order);
    }

    void agreesWithSteppingInEveryOrder()
    {
        QFETCH(QString, order);
        for (const QString &criterion : {QStringLiteral("Nome Like 'r*'"), QStringLiteral("Nome Like '*n*'")}) {
            auto ds = voci();
            ds->SetSort(order);
            const QHash<qint64, qint64> expected = nextByStepping(*ds, criterion);
            auto searched = voci();
            searched->SetSort(order);
            for (bool ok = ds->MoveFirst(); ok; ok = ds->MoveNext()) {
                const qint64 from = ds->Bookmark();
                QVERIFY(searched->FindOID(from));
                const bool found = searched->Find(criterion, true);
                QCOMPARE(found, expected.contains(from));
                QCOMPARE(searched->Bookmark(), found ? expected.value(from) : from);
            }
            QVERIFY(!searched->keysLoaded());
        }
    }

    void fromTheStartAndAfterTheLastMatch()
    {
        auto ds = voci();
        ds->SetSort(QStringLiteral("Nome, Importo"));
        QVERIFY(ds->Find(QStringLiteral("Nome Like 'ro*'"), false));
        QStringList seen;
        do
            seen.append(ds->GetField(QStringLiteral("Nome")).toString());
        while (ds->Find(QStringLiteral("Nome Like 'ro*'"), true));
        QCOMPARE(seen.size(), 3);
        // Nothing after the last match: the current row stays.
        const qint64 last = ds->Bookmark();
        QVERIFY(!ds->Find(QStringLiteral("Nome Like 'ro*'"), true));
        QCOMPARE(ds->Bookmark(), last);
    }

    // On an order an index gives, the next match is found by walking the index from the current
    // row: no statement of the search sorts the later rows (which costs as much as there are rows
    // after the current one).
    void walksTheIndexOfTheOrder()
    {
        COBRELLE_FILE_ONLY("counts SQLite's sorts");
        m_db->exec(QStringLiteral("CREATE INDEX Voci_Data ON Voci (Data)"));
        sqlite3 *handle = *static_cast<sqlite3 *const *>(m_db->sql().driver()->handle().constData());
        int sorts = 0;
        sqlite3_trace_v2(handle, SQLITE_TRACE_PROFILE, [](unsigned, void *counter, void *statement, void *) {
            *static_cast<int *>(counter) += sqlite3_stmt_status(static_cast<sqlite3_stmt *>(statement), SQLITE_STMTSTATUS_SORT, 0);
            return 0;
        }, &sorts);
        auto ds = voci();
        ds->SetSort(QStringLiteral("Data"));
        QVERIFY(ds->FindOID(2));
        sorts = 0;
        QVERIFY(ds->Find(QStringLiteral("Nome Like '*a*'"), true));
        QCOMPARE(sorts, 0);
        sqlite3_trace_v2(handle, 0, nullptr, nullptr);
    }

    // The value as the grid shows it, read by the column's type; hostile text stays a value.
    void criterionFromAShownValue()
    {
        m_db->exec(QStringLiteral("INSERT INTO Voci (Nome, Importo, Data) VALUES (?, ?, ?)"),
                   {QStringLiteral("O'Brien; --%_\\"), qint64(12'345'000), QStringLiteral("2005-03-07")});
        auto ds = voci();
        QCOMPARE(ds->BuildCriterion(QStringLiteral("Nome"), QStringLiteral("Rosa"), QStringLiteral("%")),
                 QStringLiteral("Nome = 'Rosa'"));
        QCOMPARE(ds->BuildCriterion(QStringLiteral("Nome"), QStringLiteral("O'B%"), QStringLiteral("%")),
                 QStringLiteral("Nome Like 'O''B*'"));
        QCOMPARE(ds->BuildCriterion(QStringLiteral("Importo"), QStringLiteral("dieci"), QStringLiteral("%")),
                 QStringLiteral("False"));
        const auto finds = [&](const char *field, const QString &shown) {
            const QString criterion = ds->BuildCriterion(QString::fromLatin1(field), shown, QStringLiteral("%"));
            return ds->Find(criterion, false) && ds->GetField(QStringLiteral("Nome")).toString().startsWith(QLatin1String("O'"));
        };
        QVERIFY(finds("Nome", QStringLiteral("O'Brien; --%_\\")));
        QVERIFY(finds("Importo", QStringLiteral("1.234,50")));
        QVERIFY(finds("Data", QStringLiteral("07/03/2005")));
        QVERIFY(!ds->Find(ds->BuildCriterion(QStringLiteral("Data"), QStringLiteral("31/02/2005"), QStringLiteral("%")), false));
    }
};

COBRELLE_TEST_MAIN(TestFindNext)
#include "tst_findnext.moc"
