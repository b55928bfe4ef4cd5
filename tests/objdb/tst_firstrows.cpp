// The first rows of a view read through kept statements: they follow filter and sort changes, give
// the same values as the current-row path for every kind of stored value, survive a reopened
// archive, share one schema per table, and a grid reads its first screen before the rest of its page.

#include "gridtestschema.h"
#include "objdbtestsupport.h"

#include "objdb/amount.h"
#include "objdb/error.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/types.h"
#include "objdb/viewschema.h"

#include <QSqlQuery>
#include <QtTest>

using namespace objdb;

namespace {

QString nameOf(int i)
{
    return QStringLiteral("voce %1").arg(i, 3, 10, QLatin1Char('0'));
}

QStringList names(const QList<QVariantList> &rows, int nameField)
{
    QStringList result;
    for (const auto &row : rows)
        result.append(row.value(nameField).toString());
    return result;
}

} // namespace

class TestFirstRows : public GridTest::ArchiveTest {
    Q_OBJECT

    Table &voci() { return m_context->Tables().Item(QStringLiteral("Voci")); }

    void insertRows(int count)
    {
        TransactionGuard transaction(*m_db);
        for (int i = 0; i < count; ++i)
            m_db->exec(QStringLiteral("INSERT INTO Voci (Nome, Importo, Data, Pagato) VALUES (?, ?, ?, ?)"),
                       {nameOf(i), qint64(i) * Amount::kScale, QDate(2024, 1, 1).addDays(i).toString(Qt::ISODate), i % 2});
        transaction.commit();
    }

private slots:
    void init()
    {
        openNewArchive(GridTest::Columns::Plain);
    }

    void cleanup() { closeArchive(); }

    void keptClausesAndStatementsFollowFilterAndSort()
    {
        insertRows(10);
        auto ds = voci().OpenDataSource();
        const int nome = 1; // after OID
        QCOMPARE(ds->fields().at(nome).name, QStringLiteral("Nome"));
        QCOMPARE(names(ds->firstRows(2), nome), (QStringList{nameOf(0), nameOf(1)}));

        ds->SetFilter(QStringLiteral("Nome >= '%1'").arg(nameOf(7)));
        QCOMPARE(names(ds->firstRows(5), nome), (QStringList{nameOf(7), nameOf(8), nameOf(9)}));
        ds->SetSort(QStringLiteral("Nome DESC"));
        QCOMPARE(names(ds->firstRows(2), nome), (QStringList{nameOf(9), nameOf(8)}));
        ds->SetSelection(QStringLiteral("Pagato = True"), QString());
        QCOMPARE(names(ds->firstRows(5), nome), (QStringList{nameOf(9), nameOf(7)}));
        QCOMPARE(ds->countRows(100), 2);

        // A refused filter leaves the previous one, and its rows, in force.
        QVERIFY_THROWS_EXCEPTION(Error, ds->SetFilter(QStringLiteral("Sconosciuto = 1")));
        QCOMPARE(names(ds->firstRows(5), nome), (QStringList{nameOf(9), nameOf(7)}));

        // Another data source with the same texts reuses the statements and sees rows written since.
        const int kept = m_context->statements().size();
        m_db->exec(QStringLiteral("INSERT INTO Voci (Nome, Pagato) VALUES ('voce 999', 1)"));
        auto again = voci().OpenDataSource(QStringLiteral("Nome >= '%1'").arg(nameOf(7)), QStringLiteral("Nome DESC"));
        again->SetSelection(QStringLiteral("Pagato = True"), QString());
        QCOMPARE(names(again->firstRows(5), nome), (QStringList{QStringLiteral("voce 999"), nameOf(9), nameOf(7)}));
        QCOMPARE(m_context->statements().size(), kept);
        QVERIFY(m_context->statements().size() <= StatementCache::kMaxStatements);
    }

    void valuesAreThoseOfTheCurrentRow_data()
    {
        QTest::addColumn<QString>("importo");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("pagato");
        QTest::addColumn<QString>("nome");
        QTest::newRow("usual storage") << "125000" << "'2024-02-29'" << "1" << "'abc'";
        QTest::newRow("nulls") << "NULL" << "NULL" << "NULL" << "NULL";
        QTest::newRow("empty text") << "0" << "''" << "0" << "''";
        QTest::newRow("text where numbers go") << "'17'" << "'2024-02-30'" << "'1'" << "42";
        QTest::newRow("odd dates") << "1.5" << "'2024-6-1'" << "2" << "'àèì'";
        QTest::newRow("date with time") << "-3" << "'2023-12-31T10:00:00'" << "0" << "x'41'";
    }

    void valuesAreThoseOfTheCurrentRow()
    {
        QFETCH(QString, importo);
        QFETCH(QString, data);
        QFETCH(QString, pagato);
        QFETCH(QString, nome);
        m_db->exec(QStringLiteral("INSERT INTO Voci (Nome, Importo, Data, Pagato) VALUES (%1, %2, %3, %4)")
                       .arg(nome, importo, data, pagato));
        auto ds = voci().OpenDataSource();
        const auto rows = ds->firstRows(1);
        QCOMPARE(rows.size(), 1);
        for (int i = 0; i < ds->FieldCount(); ++i) {
            const QVariant read = rows.at(0).at(i);
            const QVariant current = ds->GetField(ds->fields().at(i).name);
            QVERIFY2(read.metaType() == current.metaType() && read == current,
                     qPrintable(ds->fields().at(i).name + QLatin1String(": ") + read.toString() + QLatin1String(" / ")
                                + current.toString()));
        }
    }

    void reopenedArchivePreparesAgain()
    {
        insertRows(3);
        auto ds = voci().OpenDataSource();
        QCOMPARE(ds->firstRows(5).size(), 3);
        m_db->Close();
        QVERIFY_THROWS_EXCEPTION(Error, ds->firstRows(5));
        m_db->Open(kDatabaseFormat, m_dir->databasePath());
        m_db->exec(QStringLiteral("DELETE FROM Voci WHERE Nome = ?"), {nameOf(0)});
        QCOMPARE(ds->firstRows(5).size(), 2);
        // The statement was reset after reading: a write needing an exclusive lock is not held up.
        m_db->exec(QStringLiteral("VACUUM"));
    }

    void oneSchemaPerTableWhateverTheFieldList()
    {
        insertRows(2);
        auto all = voci().OpenDataSource();
        OpenOptions options;
        options.fieldList = QStringLiteral("Nome, Importo + 1 AS PiuUno");
        auto few = voci().OpenDataSource(QString(), QString(), options);
        const TableDef &def = voci().def();
        QCOMPARE(m_context->viewSchema(def).get(), m_context->viewSchema(def).get());
        QCOMPARE(few->FieldCount(), 2);
        QCOMPARE(all->FieldCount(), 5);
        const auto rows = few->firstRows(2);
        QCOMPARE(rows.at(1).at(0).toString(), nameOf(1));
        QCOMPARE(rows.at(1).at(1).value<Amount>(), Amount::fromInteger(2));
        // The same field list again gives the same fields and placeholder values.
        auto same = voci().OpenDataSource(QString(), QString(), options);
        QCOMPARE(same->firstRows(2).at(1).at(1).value<Amount>(), Amount::fromInteger(2));
        QCOMPARE(voci().OpenDataSource()->FieldCount(), 5);
    }

    void aColumnNamedAgainReadsTheSameValues()
    {
        insertRows(3);
        OpenOptions options;
        // Aliases of plain columns around computed fields whose constants are bound.
        options.fieldList = QStringLiteral("Nome AS Etichetta, Importo - 5 AS Meno, *, Importo AS Valore, Importo + 1 AS PiuUno");
        auto ds = voci().OpenDataSource(QString(), QStringLiteral("Nome DESC"), options);
        const auto first = ds->firstRows(3);
        QCOMPARE(first.size(), 3);
        const QList<QVariantList> byKey = ds->fetchRows(ds->keys());
        QCOMPARE(first, byKey);
        const QVariantList &row = first.at(0); // voce 002
        const auto field = [&](const char *name) {
            for (int i = 0; i < ds->FieldCount(); ++i)
                if (ds->fields().at(i).name == QLatin1String(name))
                    return row.at(i);
            return QVariant();
        };
        QCOMPARE(field("Etichetta").toString(), nameOf(2));
        QCOMPARE(field("Nome").toString(), nameOf(2));
        QCOMPARE(field("Meno").value<Amount>(), Amount::fromInteger(-3));
        QCOMPARE(field("Valore").value<Amount>(), Amount::fromInteger(2));
        QCOMPARE(field("PiuUno").value<Amount>(), Amount::fromInteger(3));
    }

    void gridReadsItsFirstScreenThenThePage()
    {
        insertRows(150);
        auto ds = voci().OpenDataSource();
        GridModel model(ds);
        QCOMPARE(model.rowCount(), GridModel::kPageSize);
        QCOMPARE(model.cachedRowCount(), GridModel::kFirstScreenRows);
        QCOMPARE(model.data(model.index(GridModel::kFirstScreenRows - 1, 0)).toString(), nameOf(GridModel::kFirstScreenRows - 1));
        QCOMPARE(model.cachedRowCount(), GridModel::kFirstScreenRows);
        QCOMPARE(model.data(model.index(GridModel::kFirstScreenRows, 0)).toString(), nameOf(GridModel::kFirstScreenRows));
        QCOMPARE(model.cachedRowCount(), GridModel::kPageSize);
        QCOMPARE(model.data(model.index(99, 0)).toString(), nameOf(99));
        QVERIFY(!ds->keysLoaded());

        // Exactly one screen of rows: nothing more to count or fetch.
        ds->SetFilter(QStringLiteral("Nome < '%1'").arg(nameOf(GridModel::kFirstScreenRows)));
        QCOMPARE(model.rowCount(), GridModel::kFirstScreenRows);
        QVERIFY(!model.canFetchMore(QModelIndex()));
    }
};

COBRELLE_TEST_MAIN(TestFirstRows)
#include "tst_firstrows.moc"
