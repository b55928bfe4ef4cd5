// Predefined selections of the sections: stored by node text, asked before the data, applied or
// declined, deleted; two sections of one table keep their own.

#include "viewsfixture.h"

#include "objdb/filter/filtereditor.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

using namespace objdb;
using MessageService::Answer;

class SelectionsTest : public ViewsFixture::MainWindowTest {
    Q_OBJECT

    QStringList m_told;      // every message and question, in order
    QList<Answer> m_answers; // answers to the questions
    QStringList m_editors;   // titles of the editors opened

    // The next editor adds "field op value" (when a field is given) and is confirmed or cancelled.
    void nextEditor(const QString &field, const QString &op, const QString &value, bool confirm = true)
    {
        ViewsFixture::whenDialogOpens<FilterEditorDialog>([=, this](FilterEditorDialog *editor) {
            m_editors.append(editor->windowTitle());
            if (!field.isEmpty()) {
                auto *fields = editor->findChild<QComboBox *>("cboField");
                fields->setCurrentIndex(fields->findData(field));
                editor->findChild<QComboBox *>("cboOperator")->setCurrentText(op);
                editor->findChild<QLineEdit *>("txtValue")->setText(value);
                editor->addCondition();
            }
            confirm ? editor->accept() : editor->reject();
        });
    }

    void addCompanies(const QStringList &names)
    {
        auto ds = modGlobal::AppSession().dataContext->Tables().Item("Compagnie").OpenDataSource();
        int code = 0;
        for (const QString &name : names)
            QVERIFY(ds->AddRow({"Codice", QString("C%1").arg(++code), "RagioneSociale", name}));
    }

    QAction *beforeQuery() { return m_form->findChild<QAction *>("mnuDataSelBeforeQuery"); }
    QString title() { return widget<QLabel>("lblTitle_1")->text(); }
    int rows() { return grid()->model()->rowCount(); }

private slots:
    void init()
    {
        m_told.clear();
        m_answers.clear();
        m_editors.clear();
        MessageService::setScript([this](const MessageService::Request &r) {
            m_told.append(r.text);
            return m_answers.isEmpty() ? Answer::Ok : m_answers.takeFirst();
        });
        m_archive = std::make_unique<ViewsFixture::OpenArchive>();
        m_form = std::make_unique<frmMain>();
        showWithTree();
        // Form_Load keeps the designed caption in the tag (the full load needs the tray and the placement).
        widget<QLabel>("lblTitle_1")->setProperty("tag", widget<QLabel>("lblTitle_1")->text());
        addCompanies({"Alfa", "alba", "Beta"});
        select("Compagnie");
    }

    void cleanup()
    {
        MessageService::clearScript();
        closeWindowAndArchive();
    }

    void storedSelectionIsAskedBeforeTheData()
    {
        QVERIFY(!beforeQuery()->isChecked());
        nextEditor("RagioneSociale", "Like", "al*");
        beforeQuery()->trigger();
        QCOMPARE(m_editors, QStringList{"Selezioni predefinite"});
        QVERIFY(beforeQuery()->isChecked());
        QCOMPARE(m_told.size(), 1);
        QVERIFY(m_told.first().startsWith("Selezioni predefinite impostate.\n\nN.B.: Tali impostazioni"));

        // Shown again: the editor comes first, already holding the stored condition.
        nextEditor(QString(), QString(), QString());
        select("Compagnie");
        QCOMPARE(m_editors.size(), 2);
        QCOMPARE(m_form->view().m_objCurDS->BaseFilter(), QStringLiteral("(RagioneSociale Like 'al*')"));
        QCOMPARE(rows(), 2);
        QCOMPARE(title(), QStringLiteral("Compagnie  [selezioni impostate]"));
        QVERIFY(beforeQuery()->isChecked());

        // Declined, then no data wanted.
        nextEditor(QString(), QString(), QString(), false);
        m_answers = {Answer::No};
        select("Compagnie");
        QCOMPARE(m_told.last(), QStringLiteral("Selezioni predefinite annullate...\n\nVuoi visualizzare tutti i dati?"));
        QCOMPARE(rows(), 0);
        QCOMPARE(title(), QStringLiteral("Compagnie  [nessun dato richiesto]"));

        // Declined, all data wanted.
        nextEditor(QString(), QString(), QString(), false);
        m_answers = {Answer::Yes};
        select("Compagnie");
        QCOMPARE(rows(), 3);
        QCOMPARE(title(), QStringLiteral("Compagnie"));
    }

    void deletedSelectionIsNoLongerAsked()
    {
        nextEditor("RagioneSociale", "=", "Beta");
        beforeQuery()->trigger();
        m_told.clear();
        m_form->findChild<QAction *>("mnuDataSelCancel")->trigger();
        QCOMPARE(m_told, QStringList{"Selezioni predefinite eliminate."});
        QVERIFY(!beforeQuery()->isChecked());

        // Nothing stored: no message, and the mark stays off.
        m_form->findChild<QAction *>("mnuDataSelCancel")->trigger();
        QCOMPARE(m_told.size(), 1);
        select("Compagnie");
        QCOMPARE(m_editors.size(), 1);
        QCOMPARE(rows(), 3);
        QVERIFY(!beforeQuery()->isChecked());
    }

    void sectionsOfOneTableKeepTheirOwn()
    {
        form().view().setDateSelection(DateSelection::Month);
        form().view().setSelectionDate(QDate(2005, 3, 10));
        select("Pagamenti");
        QVERIFY(m_form->view().m_objCurDS->BaseFilter().contains("Month(Data)"));
        nextEditor("Data", ">=", "01/01/2005");
        beforeQuery()->trigger();
        QVERIFY(beforeQuery()->isChecked());

        select("Statistiche");
        QVERIFY(!beforeQuery()->isChecked());
        QCOMPARE(m_editors.size(), 1);

        // A selection on the date field replaces the date selection.
        nextEditor(QString(), QString(), QString());
        select("Pagamenti");
        QCOMPARE(m_editors.size(), 2);
        QCOMPARE(m_form->view().m_objCurDS->BaseFilter(), QStringLiteral("(Data >= #01/01/2005#)"));
    }
};

COBRELLE_TEST_MAIN(SelectionsTest)
#include "tst_selections.moc"
