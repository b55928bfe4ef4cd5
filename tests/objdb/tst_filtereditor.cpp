// The filter editor: conditions built from columns, operators and values, refusals told and never
// applied, the criterion shown, and saving and loading by name only under the complex-filter title.

#include "objdbtestsupport.h"
#include "testschema.h"

#include "objdb/filter/filtereditor.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

using namespace objdb;

class TstFilterEditor : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSupport::TempWorkDir> m_dir;
    TestSupport::Archive m_archive;
    std::shared_ptr<Filter> m_filter;
    TestSupport::RecordingSink m_sink;

    static void type(FilterEditorDialog &editor, const QString &join, const QString &field, const QString &op,
                     const QString &value)
    {
        auto *fields = editor.findChild<QComboBox *>("cboField");
        fields->setCurrentIndex(fields->findData(field));
        QVERIFY(fields->currentIndex() >= 0);
        editor.findChild<QComboBox *>("cboJoin")->setCurrentText(join);
        editor.findChild<QComboBox *>("cboOperator")->setCurrentText(op);
        editor.findChild<QLineEdit *>("txtValue")->setText(value);
        editor.addCondition();
    }
    static QString criterion(FilterEditorDialog &editor) { return editor.findChild<QLabel *>("lblCriterion")->text(); }
    static QString error(FilterEditorDialog &editor) { return editor.findChild<QLabel *>("lblError")->text(); }

private slots:
    void init()
    {
        m_dir = std::make_unique<TestSupport::TempWorkDir>();
        m_archive = TestSchema::openArchive(m_dir->databasePath());
        m_filter = m_archive.context->Tables().Item(QStringLiteral("Conti")).NewFilter();
        m_sink = {};
    }

    void cleanup()
    {
        m_filter.reset();
        m_archive = {};
        m_dir.reset();
    }

    void buildsConditionsAndRefusesWhatDoesNotFit()
    {
        FilterEditorDialog editor(*m_filter, &m_sink, QStringLiteral("Selezioni predefinite"));
        QVERIFY(!editor.findChild<QComboBox *>("cboName")); // saving by name is the complex filter's
        type(editor, "And", "Descrizione", "Like", "it's*");
        type(editor, "Or", "Importo", ">=", "1.234,5");
        QCOMPARE(criterion(editor), QStringLiteral("Descrizione Like 'it''s*' Or Importo >= 1234.5"));

        type(editor, "And", "Importo", "<", "molto");
        QCOMPARE(error(editor), QStringLiteral("Valore non valido per il campo Importo: atteso un numero."));
        QCOMPARE(m_sink.messages, QStringList{error(editor)});
        QCOMPARE(editor.findChild<QListWidget *>("lstConditions")->count(), 2);
        QCOMPARE(editor.findChild<QLineEdit *>("txtValue")->text(), QStringLiteral("molto")); // kept to correct

        // Nothing reaches the filter before OK.
        QCOMPARE(m_filter->Criterion(), QString());
        editor.findChild<QListWidget *>("lstConditions")->setCurrentRow(0);
        editor.removeCondition();
        QCOMPARE(criterion(editor), QStringLiteral("Importo >= 1234.5")); // the first joins nothing
        editor.accept();
        QCOMPARE(m_filter->Criterion(), QStringLiteral("Importo >= 1234.5"));
    }

    void offersOnlyTheFieldsAGridShows()
    {
        auto payments = m_archive.context->Tables().Item(QStringLiteral("Versamenti")).NewFilter();
        FilterEditorDialog editor(*payments, &m_sink, QStringLiteral("Filtro"));
        auto *fields = editor.findChild<QComboBox *>("cboField");
        QCOMPARE(fields->findData(QStringLiteral("OID")), -1);
        QCOMPARE(fields->findData(QStringLiteral("OID_Conti")), -1);
        QVERIFY(fields->count() > 0);
        QVERIFY(fields->currentData().toString() != QLatin1String("OID"));
        // Fields and conditions go by the captions the grid's headers show.
        QCOMPARE(fields->itemText(fields->findData(QStringLiteral("DataValuta"))), QStringLiteral("Data Valuta"));
        type(editor, "And", "DataValuta", "=", "01/02/2024");
        QVERIFY(editor.findChild<QListWidget *>("lstConditions")->item(0)->text().startsWith("Data Valuta = "));
        QVERIFY(criterion(editor).startsWith("DataValuta = "));
    }

    void cancellingLeavesTheFilter()
    {
        m_filter->AddCondition(QStringLiteral("Descrizione"), QStringLiteral("x"));
        FilterEditorDialog editor(*m_filter, &m_sink, QStringLiteral("Selezioni predefinite"));
        QCOMPARE(criterion(editor), QStringLiteral("Descrizione = 'x'"));
        type(editor, "And", "Importo", "=", "3");
        editor.reject();
        QCOMPARE(m_filter->Criterion(), QStringLiteral("Descrizione = 'x'"));
    }

    void savesAndLoadsByName()
    {
        FilterEditorDialog editor(*m_filter, &m_sink, FilterEditorDialog::complexTitle());
        auto *name = editor.findChild<QComboBox *>("cboName");
        type(editor, "And", "Importo", ">", "5");
        name->setEditText(QStringLiteral("a|b"));
        editor.saveByName();
        QCOMPARE(error(editor), QStringLiteral("Il nome del filtro non può contenere il carattere \"|\"."));
        name->setEditText(QStringLiteral("Grandi"));
        editor.saveByName();
        QCOMPARE(m_filter->SavedNames(), QStringLiteral("Grandi"));
        QCOMPARE(name->count(), 1);

        // A taken name is replaced only when the user agrees.
        type(editor, "And", "Descrizione", "=", "y");
        m_sink.answerOk = false;
        editor.saveByName();
        QCOMPARE(m_sink.questions.size(), 1);
        auto stored = m_archive.context->Tables().Item(QStringLiteral("Conti")).NewFilter();
        QVERIFY(stored->Load(QStringLiteral("Grandi"), false));
        QCOMPARE(stored->Criterion(), QStringLiteral("Importo > 5"));
        m_sink.answerOk = true;
        editor.saveByName();
        QVERIFY(stored->Load(QStringLiteral("Grandi"), false));
        QCOMPARE(stored->Criterion(), QStringLiteral("Importo > 5 And Descrizione = 'y'"));
        // Saved as a complex filter, never as a selection.
        QVERIFY(!stored->Exists(QStringLiteral("Grandi"), true));

        editor.findChild<QListWidget *>("lstConditions")->setCurrentRow(1);
        editor.removeCondition();
        name->setEditText(QStringLiteral("Nessuno"));
        editor.loadByName();
        QCOMPARE(error(editor), QStringLiteral("Un filtro con questo nome non è presente!"));
        name->setEditText(QStringLiteral("Grandi"));
        editor.loadByName();
        QCOMPARE(criterion(editor), QStringLiteral("Importo > 5 And Descrizione = 'y'"));
    }
};

COBRELLE_TEST_MAIN(TstFilterEditor)
#include "tst_filtereditor.moc"
