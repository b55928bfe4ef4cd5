// Filter objects: conditions rendered as criteria that a data source applies with every value bound,
// and the store of saved filters, where complex filters and predefined selections stay apart.

#include "objdbtestsupport.h"
#include "testschema.h"

#include "objdb/amount.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/filter/filter.h"

#include <QApplication>
#include <QtTest>

using namespace objdb;

namespace {

QVariant money(qint64 whole)
{
    return QVariant::fromValue(Amount::fromInteger(whole));
}

FilterCondition condition(const QString &column, const QString &op, const QString &value,
                          FilterCondition::Join join = FilterCondition::Join::And)
{
    FilterCondition c;
    c.join = join;
    c.column = column;
    c.op = op;
    c.value = value;
    return c;
}

} // namespace

class TstFilter : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSupport::TempWorkDir> m_dir;
    TestSupport::Archive m_archive;
    std::shared_ptr<DataSource> m_conti;

    // The descriptions the filter lets through, sorted.
    QStringList passing(const Filter &filter)
    {
        m_conti->SetFilter(filter.Criterion());
        QStringList result;
        for (bool more = m_conti->MoveFirst(); more; more = m_conti->MoveNext())
            result.append(m_conti->GetField(QStringLiteral("Descrizione")).toString());
        result.sort();
        return result;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<TestSupport::TempWorkDir>();
        m_archive = TestSchema::openArchive(m_dir->databasePath());
        m_conti = m_archive.context->Tables().Item(QStringLiteral("Conti")).OpenDataSource();
        const QList<QPair<QString, qint64>> rows = {
            {"Perché", 10}, {"perche", 20}, {"it's", 30}, {"a;b--c", 40}, {"100%", 50},
            {"a_b", 60}, {"axb", 70}, {"x*y", 80}, {"c:\\dir", 90}, {QString(40, QLatin1Char('L')), 100},
        };
        for (const auto &[text, amount] : rows)
            QVERIFY(m_conti->AddRow({"Descrizione", text, "Importo", money(amount)}));
    }

    void cleanup()
    {
        m_conti.reset();
        m_archive = {};
        m_dir.reset();
    }

    void conditionsBecomeCriteriaThatSelectTheRows()
    {
        auto filter = m_conti->NewFilter();
        QCOMPARE(filter->TableName(), QStringLiteral("Conti"));
        QCOMPARE(filter->Criterion(), QString());

        filter->setConditions({condition("Importo", ">=", "20"), condition("Importo", "<", "40,5")});
        QCOMPARE(filter->Criterion(), QStringLiteral("Importo >= 20 And Importo < 40.5"));
        QCOMPARE(passing(*filter), (QStringList{"a;b--c", "it's", "perche"}));

        // Or joins as the criterion language does: And binds closer.
        filter->setConditions({condition("Importo", "=", "10"), condition("Importo", "=", "1.000", FilterCondition::Join::Or)});
        QCOMPARE(filter->Criterion(), QStringLiteral("Importo = 10 Or Importo = 1000"));
        QCOMPARE(passing(*filter), QStringList{"Perché"});

        // Like ignores case and accents; = compares exactly.
        filter->setConditions({condition("Descrizione", "Like", "PERCHE")});
        QCOMPARE(passing(*filter), (QStringList{"Perché", "perche"}));
        filter->setConditions({condition("Descrizione", "=", "perche")});
        QCOMPARE(passing(*filter), QStringList{"perche"});

        filter->setConditions({condition("Saldato", "=", "No"), condition("Importo", "=", "30")});
        QCOMPARE(filter->Criterion(), QStringLiteral("Saldato = False And Importo = 30"));
        QCOMPARE(passing(*filter), QStringList{"it's"});
    }

    void hostileValuesAreOnlyData()
    {
        auto filter = m_conti->NewFilter();
        const QString longText(40, QLatin1Char('L'));
        for (const QString &value : {QStringLiteral("it's"), QStringLiteral("a;b--c"), QStringLiteral("100%"),
                                     QStringLiteral("a_b"), QStringLiteral("x*y"), QStringLiteral("c:\\dir"), longText}) {
            filter->setConditions({condition("Descrizione", "=", value)});
            QCOMPARE(passing(*filter), QStringList{value});
        }
        // In Like only '*' is a wildcard: '%', '_' and '\' match themselves.
        filter->setConditions({condition("Descrizione", "Like", "*%")});
        QCOMPARE(passing(*filter), QStringList{"100%"});
        filter->setConditions({condition("Descrizione", "Like", "a_b")});
        QCOMPARE(passing(*filter), QStringList{"a_b"});
        filter->setConditions({condition("Descrizione", "Like", "c:\\*")});
        QCOMPARE(passing(*filter), QStringList{"c:\\dir"});
        filter->setConditions({condition("Descrizione", "Like", "x*")});
        QCOMPARE(passing(*filter), QStringList{"x*y"});
        filter->setConditions({condition("Descrizione", "Like", "' Or 1=1 --")});
        QCOMPARE(passing(*filter), QStringList());
        // A value far longer than the column is a value like any other.
        filter->setConditions({condition("Descrizione", "Like", QString(20000, QLatin1Char('L')) + "*")});
        QCOMPARE(passing(*filter), QStringList());
        filter->setConditions({condition("Descrizione", "Like", "*" + QString(39, QLatin1Char('l')))});
        QCOMPARE(passing(*filter), QStringList{longText});
    }

    void refusesWhatDoesNotFit()
    {
        auto filter = m_conti->NewFilter();
        const auto refusal = [&](const FilterCondition &c) {
            return TestSupport::refusal([&] { filter->conditionText(c); });
        };
        QCOMPARE(refusal(condition("Importo", "=", "dieci")), QStringLiteral("Valore non valido per il campo Importo: atteso un numero."));
        QCOMPARE(refusal(condition("Importo", "Like", "1*")), QStringLiteral("L'operatore Like si usa solo con i campi di testo."));
        QCOMPARE(refusal(condition("Saldato", "=", "forse")), QStringLiteral("Valore non valido per il campo Saldato: atteso Sì oppure No."));
        QCOMPARE(refusal(condition("Manca", "=", "1")), QStringLiteral("Il campo Manca non è presente nella tabella Conti."));
        QCOMPARE(refusal(condition("Importo", "; DROP", "1")), QStringLiteral("Operatore non valido: ; DROP."));
        // A malformed criterion is refused with the parser's position.
        QVERIFY(TestSupport::refusal([&] { filter->check(QStringLiteral("Importo = = 3")); }).contains(QStringLiteral("posizione 11")));
        QCOMPARE(TestSupport::refusal([&] { filter->check(QStringLiteral("Importo = 3")); }), QStringLiteral("<accepted>"));

        // Secret columns are never offered.
        auto causali = m_archive.context->Tables().Item(QStringLiteral("Causali")).NewFilter();
        QStringList names;
        for (const FieldDef &f : causali->columns())
            names.append(f.name);
        QVERIFY(names.contains(QStringLiteral("Codice")));
        QVERIFY(!names.contains(QStringLiteral("Password")));
    }

    // A data source's filter names every field of its view, computed and renamed ones too, and
    // its editor's check accepts them; the table's own filter knows its columns only.
    void aViewsFilterNamesTheViewsFields()
    {
        OpenOptions options;
        options.fieldList = QStringLiteral("*, ((Importo + Importo)) AS Doppio, Descrizione AS Nome");
        auto view = m_archive.context->Tables().Item(QStringLiteral("Conti")).OpenDataSource(QString(), QString(), options);
        auto filter = view->NewFilter();
        filter->setConditions({condition("Doppio", ">", "100"), condition("Nome", "Like", "*L")});
        QCOMPARE(TestSupport::refusal([&] { filter->check(filter->Criterion()); }), QStringLiteral("<accepted>"));
        view->SetFilter(filter->Criterion());
        QCOMPARE(view->RecordCount(), 1);
        QVERIFY(view->MoveFirst());
        QCOMPARE(view->GetField(QStringLiteral("Importo")).value<Amount>(), Amount::fromInteger(100));

        auto ownColumns = m_archive.context->Tables().Item(QStringLiteral("Conti")).NewFilter();
        QCOMPARE(TestSupport::refusal([&] { ownColumns->conditionText(condition("Doppio", "=", "1")); }),
                 QStringLiteral("Il campo Doppio non è presente nella tabella Conti."));
    }

    void addingAndRemovingAColumnsConditions()
    {
        auto filter = m_conti->NewFilter();
        filter->setConditions({condition("Importo", ">", "5"), condition("Descrizione", "=", "x", FilterCondition::Join::Or)});
        filter->AddCondition(QStringLiteral("Descrizione"), QStringLiteral("it's"));
        QVERIFY(filter->HasConditionOn(QStringLiteral("descrizione")));
        filter->RemoveConditions(QStringLiteral("Importo"));
        // The condition that becomes the first one no longer joins with Or.
        QCOMPARE(filter->Criterion(), QStringLiteral("Descrizione = 'x' And Descrizione = 'it''s'"));
        filter->RemoveConditions(QStringLiteral("Descrizione"));
        QVERIFY(!filter->HasConditionOn(QStringLiteral("Descrizione")));
        QCOMPARE(filter->Criterion(), QString());
    }

    void savedFiltersAndSelectionsStayApart()
    {
        auto filter = m_conti->NewFilter();
        QCOMPARE(filter->SavedNames(), QString()); // nothing stored yet: reading creates nothing
        QVERIFY(!filter->Load(QStringLiteral("Grandi"), false));

        filter->setConditions({condition("Importo", ">", "50")});
        QVERIFY(filter->Save(QStringLiteral("Grandi"), false, false));
        QCOMPARE(filter->Name(), QStringLiteral("Grandi"));
        filter->setConditions({condition("Descrizione", "Like", "a*")});
        QVERIFY(filter->Save(QStringLiteral("altri; --'"), false, false));
        // The same name as a predefined selection is another entry.
        filter->setConditions({condition("Importo", "=", "10")});
        QVERIFY(filter->Save(QStringLiteral("Grandi"), true, true));
        QVERIFY(!filter->Save(QStringLiteral("Grandi"), true, false)); // taken, no overwrite
        QVERIFY(filter->Save(QStringLiteral("Sezione"), true, true));

        QCOMPARE(filter->SavedNames(), QStringLiteral("altri; --'|Grandi"));
        QCOMPARE(TestSupport::refusal([&] { filter->Save(QStringLiteral("a|b"), false, true); }),
                 QStringLiteral("Il nome del filtro non può contenere il carattere \"|\"."));

        auto other = m_conti->NewFilter();
        QVERIFY(other->Load(QStringLiteral("Grandi"), false));
        QCOMPARE(other->Criterion(), QStringLiteral("Importo > 50"));
        QVERIFY(other->Load(QStringLiteral("Grandi"), true));
        QCOMPARE(other->Criterion(), QStringLiteral("Importo = 10"));
        QVERIFY(other->Load(QStringLiteral("altri; --'"), false));
        QCOMPARE(other->conditions(), (QList<FilterCondition>{condition("Descrizione", "Like", "a*")}));
        QVERIFY(!other->Exists(QStringLiteral("Sezione"), false));
        QVERIFY(other->Exists(QStringLiteral("Sezione"), true));

        // Another table has a store of its own.
        auto causali = m_archive.context->Tables().Item(QStringLiteral("Causali")).NewFilter();
        QCOMPARE(causali->SavedNames(), QString());
        QVERIFY(!causali->Exists(QStringLiteral("Sezione"), true));

        QVERIFY(other->Delete(QStringLiteral("Grandi"), true));
        QVERIFY(!other->Delete(QStringLiteral("Grandi"), true));
        QVERIFY(other->Exists(QStringLiteral("Grandi"), false));
        QCOMPARE(other->SavedNames(), QStringLiteral("altri; --'|Grandi"));
    }
};

COBRELLE_TEST_MAIN(TstFilter)
#include "tst_filter.moc"
