// Column filters of the main window: conditions joined in item order and applied with Like, the
// status texts and the pressed "Filter" button, the right-click commands on the current cell,
// values that are only ever data, and the complex filter edited, saved and loaded by name.

#include "viewsfixture.h"

#include "grid/frmSearchText.h"
#include "objdb/amount.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/filter/filter.h"
#include "objdb/filter/filtereditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

using namespace objdb;

class ColumnFiltersTest : public ViewsFixture::MainWindowTest {
    Q_OBJECT

    struct Reply {
        QString text;
        bool internal = false;
    };
    QStringList m_prompts; // "field:prefill" of every box asked
    QList<Reply> m_replies;
    QTimer m_answerer;

    // Answers the box of a column filter (the search dialog titled "Filtra") with the next reply:
    // typed, the internal option set by F2, confirmed; without a reply, left with Esc.
    void answerOpenBox()
    {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<frmSearchText *>(top);
            if (!box || !box->isVisible())
                continue;
            QCOMPARE(box->windowTitle(), QStringLiteral("Filtra"));
            QVERIFY(!box->findChild<QPushButton *>("cmdNext")->isVisible());
            auto *text = box->findChild<QLineEdit *>("txtSearch");
            m_prompts.append(box->findChild<QLabel *>("lblFieldName")->text() + ":" + text->text());
            if (m_replies.isEmpty()) {
                QTest::keyClick(text, Qt::Key_Escape);
                return;
            }
            const Reply reply = m_replies.takeFirst();
            text->setText(reply.text);
            if (reply.internal)
                QTest::keyClick(text, Qt::Key_F2);
            QTest::keyClick(text, Qt::Key_Return);
            return;
        }
    }

    void addMovements(const QList<QPair<QString, qint64>> &rows)
    {
        auto ds = modGlobal::AppSession().dataContext->Tables().Item("Movimenti").OpenDataSource();
        for (const auto &[text, whole] : rows)
            QVERIFY(ds->AddRow({"Descrizione", text, "Importo", QVariant::fromValue(Amount::fromInteger(whole))}));
    }

    // The next box is answered with text (and the internal option).
    void answer(const QString &text, bool internal = false) { m_replies.append({text, internal}); }

    QAction *filterItem(const QString &field)
    {
        for (QAction *item : m_form->findChildren<QAction *>())
            if (item->objectName().startsWith("mnuFilterItems_") && item->property("tag").toString() == field)
                return item;
        return nullptr;
    }
    int indexOf(const QString &field) { return filterItem(field)->property("index").toInt(); }

    QAction *action(const char *name) { return m_form->findChild<QAction *>(QLatin1String(name)); }
    QAction *filterButton()
    {
        for (QAction *a : widget<QToolBar>("tbToolBar")->actions())
            if (a->property("key").toString() == "Filter")
                return a;
        return nullptr;
    }
    QString status() { return widget<QLabel>("sbStatusBar_Panel1")->text(); }
    int rows() { return grid()->model()->rowCount(); }

    QStringList shownDescriptions()
    {
        auto *model = ViewUtility::modelOf(grid());
        const int column = model->columnOfField("Descrizione");
        QStringList texts;
        for (int r = 0; r < model->rowCount(); ++r)
            texts.append(model->index(r, column).data().toString());
        texts.sort();
        return texts;
    }

    void setCurrentCell(const QString &field, const QString &description)
    {
        auto *model = ViewUtility::modelOf(grid());
        const int descriptionColumn = model->columnOfField("Descrizione");
        for (int r = 0; r < model->rowCount(); ++r)
            if (model->index(r, descriptionColumn).data().toString() == description) {
                grid()->setCurrentIndex(model->index(r, model->columnOfField(field)));
                return;
            }
        QFAIL("no such row");
    }

    // The complex-filter editor, once open: adds "field op value", names it when asked, confirms.
    void driveEditor(const QString &field, const QString &op, const QString &value, const QString &saveAs,
                     bool confirm = true)
    {
        ViewsFixture::whenDialogOpens<objdb::FilterEditorDialog>([=, this](objdb::FilterEditorDialog *editor) {
            m_editorTitles.append(editor->windowTitle());
            auto *fields = editor->findChild<QComboBox *>("cboField");
            fields->setCurrentIndex(fields->findData(field));
            editor->findChild<QComboBox *>("cboOperator")->setCurrentText(op);
            editor->findChild<QLineEdit *>("txtValue")->setText(value);
            editor->addCondition();
            if (!saveAs.isEmpty()) {
                editor->findChild<QComboBox *>("cboName")->setEditText(saveAs);
                editor->saveByName();
            }
            if (confirm)
                editor->accept();
            else
                editor->reject();
        });
    }
    QStringList m_editorTitles;

    // A payment of the movement with that description, in cash and by bank; its OID, 0 when refused.
    qint64 addPayment(const QString &movement, qint64 cash, qint64 bank)
    {
        auto movements = modGlobal::AppSession().dataContext->Tables().Item("Movimenti").OpenDataSource();
        auto payments = modGlobal::AppSession().dataContext->Tables().Item("Pagamenti").OpenDataSource();
        if (!movements->FindFirst("Descrizione = '" + movement + "'") || !payments->AddNew()
            || !payments->SetParent(movements->Bookmark())
            || !payments->SetField("Contanti", QVariant::fromValue(Amount::fromInteger(cash)))
            || !payments->SetField("Bonifico_Bancomat", QVariant::fromValue(Amount::fromInteger(bank))))
            return 0;
        payments->SaveRow();
        return payments->Bookmark();
    }

    // The same-value filter of a cell, as the right-click menu gives it.
    void filterByTheCell(qint64 oid, const QString &field)
    {
        auto *model = ViewUtility::modelOf(grid());
        const int row = model->rowOfBookmark(oid);
        QVERIFY2(row >= 0 && model->columnOfField(field) >= 0, qPrintable(field));
        grid()->setCurrentIndex(model->index(row, model->columnOfField(field)));
        action("mnuFieldFilter")->trigger();
    }
    bool filterShortEnabled() { return m_form->findChild<QMenu *>("mnuFilterShort")->menuAction()->isEnabled(); }

    QStringList savedFilterItems()
    {
        QStringList names;
        for (QAction *item : ViewsFixture::items<QAction>(*m_form, QStringLiteral("mnuFilterComplexItems")))
            names.append(item->text());
        return names;
    }

private slots:
    void init()
    {
        m_prompts.clear();
        m_replies.clear();
        m_editorTitles.clear();
        frmSearchText::ForgetLastSearch();
        m_answerer.setInterval(5);
        connect(&m_answerer, &QTimer::timeout, this, &ColumnFiltersTest::answerOpenBox, Qt::UniqueConnection);
        m_answerer.start();
        m_archive = std::make_unique<ViewsFixture::OpenArchive>();
        modGlobal::AppSession().dataContext->UserLevel = 1; // the movements are shown to the administrator
        m_form = std::make_unique<frmMain>();
        showWithTree();
        addMovements({{"Affitto", 10}, {"affitto box", 20}, {"Bollo auto", 30}, {"Perché = sì", 40},
                      {"100% it's", 50}, {"a_b", 60}, {"axb", 70}, {"c:\\x*", 80}});
        select("Movimenti");
    }

    void cleanup()
    {
        m_answerer.stop();
        closeWindowAndArchive();
    }

    void twoColumnsJoinInItemOrderAndApplyLike()
    {
        QVERIFY(indexOf("Descrizione") < indexOf("Compagnia"));
        answer("nessuna");
        m_form->mnuFilterItems_Click(indexOf("Compagnia"));
        QCOMPARE(rows(), 0); // no movement has a company
        answer("aff");
        m_form->mnuFilterItems_Click(indexOf("Descrizione"));

        const QString shown = "Descrizione = 'aff*' AND Compagnia = 'nessuna*'";
        QCOMPARE(status(), "Attivato filtro (" + shown + ")");
        QCOMPARE(m_form->view().m_objCurDS->Filter(), QStringLiteral("Descrizione Like 'aff*' AND Compagnia Like 'nessuna*'"));
        QVERIFY(filterButton()->isChecked());
        QCOMPARE(filterItem("Descrizione")->text(), QStringLiteral("Descrizione = 'aff*'"));
        QVERIFY(filterItem("Descrizione")->isChecked());

        // Esc (or an empty text) clears that column only.
        m_form->mnuFilterItems_Click(indexOf("Compagnia"));
        QCOMPARE(filterItem("Compagnia")->text(), QStringLiteral("Compagnia"));
        QVERIFY(!filterItem("Compagnia")->isChecked());
        QCOMPARE(status(), QStringLiteral("Attivato filtro (Descrizione = 'aff*')"));
        QCOMPARE(shownDescriptions(), (QStringList{"Affitto", "affitto box"})); // case ignored

        // The box, the search dialog, offers the last confirmed value again for the same field
        // (leaving it with Esc confirmed nothing).
        QCOMPARE(m_prompts.last(), QStringLiteral("Compagnia:"));
        answer(QString());
        m_form->mnuFilterItems_Click(indexOf("Descrizione"));
        QCOMPARE(m_prompts.last(), QStringLiteral("Descrizione:aff"));
        QCOMPARE(status(), QStringLiteral("Nessun filtro"));
        QVERIFY(!filterButton()->isChecked());
        QCOMPARE(m_form->view().m_objCurDS->Filter(), QString());
        QCOMPARE(rows(), 8);
    }

    // A column whose caption is not its name: asked, shown and told by caption, applied by name.
    void aColumnIsFilteredByItsCaption()
    {
        form().view().setDateSelection(DateSelection::All); // every payment, without asking for a day
        select("Pagamenti");
        answer("Inc");
        m_form->mnuFilterItems_Click(indexOf("TipoOperazione"));
        QCOMPARE(m_prompts, QStringList{"Tipo Operazione:"});
        QCOMPARE(filterItem("TipoOperazione")->text(), QStringLiteral("Tipo Operazione = 'Inc*'"));
        QCOMPARE(status(), QStringLiteral("Attivato filtro (Tipo Operazione = 'Inc*')"));
        QCOMPARE(m_form->view().m_objCurDS->Filter(), QStringLiteral("TipoOperazione Like 'Inc*'"));
        m_form->mnuFilterCancel_Click();
        QCOMPARE(filterItem("TipoOperazione")->text(), QStringLiteral("Tipo Operazione"));
    }

    void internalSearchNeedsTwoCharacters()
    {
        answer("o", true);
        m_form->mnuFilterItems_Click(indexOf("Descrizione"));
        QCOMPARE(filterItem("Descrizione")->text(), QStringLiteral("Descrizione = 'o*'"));
        QCOMPARE(rows(), 0);
        answer("ol", true);
        m_form->mnuFilterItems_Click(indexOf("Descrizione"));
        QCOMPARE(filterItem("Descrizione")->text(), QStringLiteral("Descrizione = '*ol*'"));
        QCOMPARE(shownDescriptions(), QStringList{"Bollo auto"});
    }

    void typedValuesAreOnlyData()
    {
        // " = " inside the value stays " = ": only the operator after the field becomes Like.
        answer("Perché = s", false);
        m_form->mnuFilterItems_Click(indexOf("Descrizione"));
        QCOMPARE(m_form->view().m_objCurDS->Filter(), QStringLiteral("Descrizione Like 'Perché = s*'"));
        QCOMPARE(shownDescriptions(), QStringList{"Perché = sì"});

        const QList<QPair<QString, QStringList>> cases = {
            {"100%", {"100% it's"}}, {"it's", {"100% it's"}}, {"a_", {"a_b"}}, {"c:\\x", {"c:\\x*"}},
            {"'; DROP TABLE Movimenti; --", {}}, {QString(5000, 'x'), {}},
        };
        for (const auto &[text, expected] : cases) {
            answer(text, true);
            m_form->mnuFilterItems_Click(indexOf("Descrizione"));
            QCOMPARE(shownDescriptions(), expected);
        }
        m_form->mnuFieldFilterCancelAll_Click();
        QCOMPARE(rows(), 8);
    }

    void rightClickFiltersByTheCurrentCell()
    {
        setCurrentCell("Descrizione", "Bollo auto");
        answer("Bollo auto");
        m_form->mnuFieldFilter_Click();
        QCOMPARE(m_prompts.last(), QStringLiteral("Descrizione:Bollo auto")); // pre-filled with the cell
        QCOMPARE(shownDescriptions(), QStringList{"Bollo auto"});

        grid()->setCurrentIndex(grid()->model()->index(0, ViewUtility::modelOf(grid())->columnOfField("Descrizione")));
        m_form->mnuFieldFilterCancel_Click();
        QCOMPARE(m_prompts.last(), QStringLiteral("Descrizione:")); // opens empty; left empty it clears
        QCOMPARE(rows(), 8);
        QCOMPARE(status(), QStringLiteral("Nessun filtro"));

        answer("a");
        m_form->mnuFilterItems_Click(indexOf("Descrizione"));
        m_form->mnuFieldFilterCancelAll_Click();
        QCOMPARE(status(), QStringLiteral("Disattivato filtro"));
        QCOMPARE(filterItem("Descrizione")->text(), QStringLiteral("Descrizione"));
        QVERIFY(!filterButton()->isChecked());
        QCOMPARE(rows(), 8);
    }

    void aColumnWithoutItemFiltersThroughTheComplexFilter()
    {
        QVERIFY(!filterItem("Importo"));
        setCurrentCell("Importo", "Bollo auto");
        m_form->mnuFieldFilter_Click();
        QVERIFY(m_prompts.isEmpty());
        QCOMPARE(m_form->view().m_objCurDS->Filter(), QStringLiteral("Importo = 30"));
        QCOMPARE(shownDescriptions(), QStringList{"Bollo auto"});
        QVERIFY(action("mnuFilterComplex")->isChecked());
        QVERIFY(!m_form->findChild<QMenu *>("mnuFilterShort")->menuAction()->isEnabled());
        QVERIFY(filterButton()->isChecked());

        // While it is in force the other columns add to it too.
        setCurrentCell("Descrizione", "Bollo auto");
        m_form->mnuFieldFilter_Click();
        QVERIFY(m_prompts.isEmpty());
        QCOMPARE(m_form->view().m_objCurDS->Filter(), QStringLiteral("Importo = 30 And Descrizione = 'Bollo auto'"));

        m_form->mnuFieldFilterCancel_Click();
        setCurrentCell("Importo", "Bollo auto");
        m_form->mnuFieldFilterCancel_Click();
        QCOMPARE(m_form->view().m_objCurDS->Filter(), QString());
        QVERIFY(!action("mnuFilterComplex")->isChecked());
        QVERIFY(m_form->findChild<QMenu *>("mnuFilterShort")->menuAction()->isEnabled());
        QCOMPARE(rows(), 8);
    }

    // Every column a view shows filters by the value of its cell, computed and check-box ones too;
    // once every filter is cancelled, the next one applies its own condition only.
    void sameValueOnEveryColumnOfTheView_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("condition");
        QTest::newRow("ImportoPagamento") << "Pagamenti" << "ImportoPagamento" << "ImportoPagamento = 30";
        QTest::newRow("DescrizionePagamento") << "Pagamenti" << "DescrizionePagamento" << "DescrizionePagamento = 'Bollo auto'";
        QTest::newRow("SaldoCassa") << "Statistiche" << "SaldoCassa" << "SaldoCassa = 30";
        QTest::newRow("SaldoBanca") << "Statistiche" << "SaldoBanca" << "SaldoBanca = 0";
        QTest::newRow("Pagato, a check box") << "Pagamenti" << "Pagato" << "Pagato = True";
    }

    void sameValueOnEveryColumnOfTheView()
    {
        QFETCH(QString, section);
        QFETCH(QString, field);
        QFETCH(QString, condition);
        form().view().setDateSelection(DateSelection::All);
        const qint64 rent = addPayment("Affitto", 3, 2);
        const qint64 carTax = addPayment("Bollo auto", 30, 0); // pays it off
        QVERIFY(rent && carTax);
        select(section);
        QCOMPARE(rows(), 2);
        TestSupport::ScriptedMessages messages;

        filterByTheCell(carTax, "Contanti");
        filterByTheCell(carTax, field);
        QCOMPARE(messages.texts().join("|"), QString());
        QCOMPARE(m_form->view().m_objCurDS->Filter(), "Contanti = 30 And " + condition);
        QCOMPARE(rows(), 1);

        action("mnuFieldFilterCancelAll")->trigger();
        QCOMPARE(rows(), 2);
        filterByTheCell(rent, "Contanti");
        QCOMPARE(m_form->view().m_objCurDS->Filter(), QStringLiteral("Contanti = 3"));
        QCOMPARE(ViewUtility::modelOf(grid())->bookmarkAt(0), rent);
        QCOMPARE(rows(), 1);
    }

    // A complex filter cancelled, or left with its view, is gone: "Filtra colonna" is offered again
    // and the next filter applies its own condition only.
    void filtersCancelledOrLeftAreGone_data()
    {
        QTest::addColumn<QString>("leave");
        for (const char *leave : {"mnuFilterCancel", "mnuFieldFilterCancelAll", "mnuViewRefresh", "another view"})
            QTest::newRow(leave) << QString::fromLatin1(leave);
    }

    void filtersCancelledOrLeftAreGone()
    {
        QFETCH(QString, leave);
        TestSupport::ScriptedMessages messages;
        setCurrentCell("Importo", "Bollo auto");
        action("mnuFieldFilter")->trigger();
        QCOMPARE(rows(), 1);
        QVERIFY(!filterShortEnabled());
        if (leave == "another view") {
            select("Compagnie");
            QVERIFY(filterShortEnabled());
            select("Movimenti");
        } else {
            action(qPrintable(leave))->trigger();
        }
        QVERIFY(filterShortEnabled());
        QVERIFY(!action("mnuFilterComplex")->isChecked());
        QCOMPARE(rows(), 8);

        setCurrentCell("ImportoInSospeso", "Affitto");
        action("mnuFieldFilter")->trigger();
        QCOMPARE(m_form->view().m_objCurDS->Filter(), QStringLiteral("ImportoInSospeso = 10"));
        QCOMPARE(shownDescriptions(), QStringList{"Affitto"});
        QCOMPARE(messages.texts().join("|"), QString());
    }

    void complexFilterEditedSavedAndLoadedByName()
    {
        // Cancelled: nothing changes, and the item's check mark is not flipped by the click.
        driveEditor("Importo", ">", "45", QString(), false);
        action("mnuFilterComplex")->trigger();
        QTRY_COMPARE(m_editorTitles, QStringList{"FILTRO COMPLESSO"});
        QVERIFY(!action("mnuFilterComplex")->isChecked());
        QCOMPARE(rows(), 8);

        driveEditor("Importo", ">", "45", "Grandi");
        action("mnuFilterComplex")->trigger();
        QTRY_VERIFY(action("mnuFilterComplex")->isChecked());
        QCOMPARE(m_form->view().m_objCurDS->Filter(), QStringLiteral("Importo > 45"));
        QCOMPARE(rows(), 4);
        QVERIFY(filterButton()->isChecked());
        QVERIFY(!m_form->findChild<QMenu *>("mnuFilterShort")->menuAction()->isEnabled());
        QCOMPARE(savedFilterItems(), QStringList{"Grandi"});

        // A new window over the archive lists it and loads it into the editor.
        m_form = std::make_unique<frmMain>();
        showWithTree();
        select("Movimenti");
        QCOMPARE(savedFilterItems(), QStringList{"Grandi"});
        driveEditor("Descrizione", "Like", "*X*", QString());
        ViewsFixture::items<QAction>(*m_form, QStringLiteral("mnuFilterComplexItems")).first()->trigger();
        QTRY_COMPARE(m_form->view().m_objCurDS->Filter(), QStringLiteral("Importo > 45 And Descrizione Like '*X*'"));
        QCOMPARE(shownDescriptions(), (QStringList{"axb", "c:\\x*"}));

        m_form->mnuFilterCancel_Click();
        QVERIFY(!action("mnuFilterComplex")->isChecked());
        QCOMPARE(status(), QStringLiteral("Disattivato filtro"));
        QCOMPARE(rows(), 8);

        // A name deleted meanwhile is told, and no editor opens.
        QVERIFY(m_form->view().m_objCurDS->NewFilter()->Delete(QStringLiteral("Grandi"), false));
        QStringList told;
        MessageService::setScript([&told](const MessageService::Request &r) {
            told.append(r.text);
            return MessageService::Answer::Ok;
        });
        m_form->mnuFilterComplexItems_Click(1);
        MessageService::clearScript();
        QCOMPARE(told, QStringList{"Un filtro con questo nome non è presente!"});
        QTest::qWait(50);
        QCOMPARE(m_editorTitles.size(), 3);
    }
};

COBRELLE_TEST_MAIN(ColumnFiltersTest)
#include "tst_columnfilters.moc"
