// The query behind each section: table, field list, condition and date clauses.

#include "testsupport.h"

#include "views/viewquery.h"

#include <QApplication>
#include <QtTest>

class TestViewQuery : public QObject {
    Q_OBJECT

private slots:
    void catalogue_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("fieldList");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("dateField");
        const QString balance = QStringLiteral(
            "*, TipiOperazione.TipoSospeso ,((Contanti + Assegno + Anticipo)) AS SaldoCassa, ((Bonifico_Bancomat)) AS SaldoBanca");
        QTest::newRow("Pagamenti") << "Pagamenti" << "Pagamenti"
                                   << "*, Movimenti.Descrizione AS DescrizionePagamento, Movimenti.Importo AS ImportoPagamento"
                                   << "" << "Data";
        QTest::newRow("Statistiche") << "Statistiche" << "Pagamenti" << balance << "" << "Data";
        QTest::newRow("Sospesi") << "Sospesi" << "Pagamenti" << balance << "Pagato= False" << "";
        QTest::newRow("Mov. per Collaboratori") << "Mov. per Collaboratori" << "Pagamenti" << "*, TipiOperazione.TipoSospeso"
                                                << "Pagato= True and Collaboratori.Codice <> '00'" << "";
        for (const char *table : {"Movimenti", "Compagnie", "Collaboratori", "TipiOperazione", "Operatori"})
            QTest::newRow(table) << table << table << "" << "" << "";
    }

    void catalogue()
    {
        QFETCH(QString, key);
        const SectionQuery q = SectionQueryFor(key);
        QTEST(q.table, "table");
        QTEST(q.fieldList, "fieldList");
        QTEST(q.condition, "condition");
        QTEST(q.dateField, "dateField");
    }

    void dateClauses()
    {
        QCOMPARE(WithDateSelection(QString(), "Data", DateSelection::Month, QDate(2005, 3, 7)),
                 QStringLiteral("Month(Data) = 3 AND Year(Data) = 2005"));
        QCOMPARE(WithDateSelection(QString(), "Data", DateSelection::Day, QDate(2004, 12, 31)),
                 QStringLiteral("Data >= #12/31/2004# AND Data < #01/01/2005#"));
        QCOMPARE(WithDateSelection("Pagato= False", "Data", DateSelection::Day, QDate(2005, 1, 9)),
                 QStringLiteral("Pagato= FalseAnd Data >= #01/09/2005# AND Data < #01/10/2005#"));
        QCOMPARE(WithDateSelection("Pagato= False", "Data", DateSelection::Month, QDate(2005, 11, 9)),
                 QStringLiteral("Pagato= False And Month(Data) = 11 AND Year(Data) = 2005"));
        QCOMPARE(WithDateSelection("X=1", "Data", DateSelection::All, QDate(2005, 1, 9)), QStringLiteral("X=1"));
        QCOMPARE(WithDateSelection("X=1", QString(), DateSelection::Day, QDate(2005, 1, 9)), QStringLiteral("X=1"));
    }

    void period()
    {
        const SectionQuery q = SectionQueryFor("Mov. per Collaboratori");
        QCOMPARE(WithPeriod(q.condition, QDate(2005, 1, 1), QDate(2005, 1, 31)),
                 QStringLiteral("Pagato= True and Collaboratori.Codice <> '00'And Data >= #01/01/2005# AND Data < #02/01/2005#"));
        QCOMPARE(PeriodCaptionFor(QDate(2005, 1, 1), QDate(2005, 1, 31)), QStringLiteral("Da data: 01/01/2005 A Data: 31/01/2005"));
    }

    // Every section's query opens on the real schema, with its date clause, and filters right.
    void queriesOpenOnTheArchive()
    {
        TestSupport::TempWorkDir dir;
        auto archive = TestSupport::openArchive(dir.databasePath());
        auto &movements = archive.context->Tables().Item("Movimenti");
        auto m = movements.OpenDataSource();
        QVERIFY(m->AddRow({"Descrizione", "Polizza", "Importo", QVariant::fromValue(objdb::Amount::fromInteger(100)),
                           "Collaboratore", 1}));
        const qint64 mov = m->Bookmark();
        auto p = archive.context->Tables().Item("Pagamenti").OpenDataSource();
        QVERIFY(p->AddRow({"OID_Movimenti", mov, "Contanti", QVariant::fromValue(objdb::Amount::fromInteger(30)),
                           "Assegno", QVariant::fromValue(objdb::Amount::fromInteger(20))}));
        for (const char *key : {"Pagamenti", "Statistiche", "Sospesi", "Mov. per Collaboratori"}) {
            SectionQuery q = SectionQueryFor(key);
            q.condition = WithDateSelection(q.condition, q.dateField, DateSelection::Day, QDate::currentDate());
            objdb::OpenOptions options;
            options.fieldList = q.fieldList;
            auto view = archive.context->Tables().Item(q.table).OpenDataSource(q.condition, QString(), options);
            const bool expectRow = QByteArray(key) != "Mov. per Collaboratori"; // unpaid, and collaborator "00"
            QCOMPARE(view->IsEmpty(), !expectRow);
            if (QByteArray(key) == "Statistiche" || QByteArray(key) == "Sospesi") {
                QVERIFY(view->MoveFirst());
                QCOMPARE(view->GetField("SaldoCassa").value<objdb::Amount>(), objdb::Amount::fromInteger(50));
                QCOMPARE(view->GetField("SaldoBanca").value<objdb::Amount>(), objdb::Amount());
                QCOMPARE(view->GetField("TipoSospeso").isNull(), true);
            }
        }
        auto yesterday = archive.context->Tables().Item("Pagamenti").OpenDataSource(
            WithDateSelection(QString(), "Data", DateSelection::Day, QDate::currentDate().addDays(-1)));
        QVERIFY(yesterday->IsEmpty());
    }
};

COBRELLE_TEST_MAIN(TestViewQuery)
#include "tst_viewquery.moc"
