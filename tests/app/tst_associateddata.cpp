// The menu "Dati associati": its three lists numbered as one for each view, rebuilt without
// leftovers, the agreement of the container captions, and the commands that show the related rows
// of the current row in the data window, or refuse a row that cannot navigate.

#include "viewsfixture.h"

#include "data/associateddata.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/viewer/datawindow.h"

#include <QAction>
#include <QLabel>
#include <QHeaderView>
#include <QMenu>
#include <QtTest>

using namespace objdb;

class AssociatedDataTest : public ViewsFixture::MainWindowTest {
    Q_OBJECT

    // Every box is answered and recorded; none is expected unless a case says so.
    std::unique_ptr<TestSupport::ScriptedMessages> m_messages;

    // Two companies and a collaborator; movements M1 (company A, two payments) and M2 (company A),
    // M3 (company B).
    void addData()
    {
        auto &tables = modGlobal::AppSession().dataContext->Tables();
        TransactionGuard transaction(*modGlobal::AppSession().database);
        auto companies = tables.Item("Compagnie").OpenDataSource();
        QVERIFY(companies->AddRow({"Codice", "A", "RagioneSociale", "Alfa"}));
        QVERIFY(companies->AddRow({"Codice", "B", "RagioneSociale", "Beta"}));
        auto collaborators = tables.Item("Collaboratori").OpenDataSource();
        QVERIFY(collaborators->AddRow({"Codice", "01", "Nome", "Rossi"}));
        auto movements = tables.Item("Movimenti").OpenDataSource();
        for (const auto &[description, company] : {std::pair{"M1", "A"}, {"M2", "A"}, {"M3", "B"}}) {
            QVERIFY(movements->AddNew());
            QVERIFY(movements->SetField("Descrizione", description));
            QVERIFY(movements->SetField("Importo", QVariant::fromValue(Amount::fromInteger(100))));
            QVERIFY(movements->SetReferenceKey("Compagnia", company));
            QVERIFY(movements->SetReferenceKey("Collaboratore", "01"));
            movements->SaveRow();
        }
        QVERIFY(movements->FindFirst("Descrizione='M1'"));
        const qint64 m1 = movements->Bookmark();
        auto payments = tables.Item("Pagamenti").OpenDataSource();
        for (int i = 0; i < 2; ++i) {
            QVERIFY(payments->AddNew());
            QVERIFY(payments->SetParent(m1));
            QVERIFY(payments->SetField("Contanti", QVariant::fromValue(Amount::fromInteger(10))));
            payments->SaveRow();
        }
        transaction.commit();
    }

    // The visible entries of the menu, headers included: "caption [tag]", disabled ones marked "-".
    QStringList menuEntries()
    {
        QStringList entries;
        for (QAction *action : widget<QMenu>("mnuAssociation")->actions()) {
            if (!action->isVisible())
                continue;
            QString entry = action->text();
            const QString tag = action->property("tag").toString();
            if (!tag.isEmpty())
                entry += " [" + tag + "]";
            if (!action->isEnabled() && !tag.isEmpty())
                entry += " -";
            entries.append(entry);
        }
        return entries;
    }

    void makeCurrent(const QString &field, const QString &value)
    {
        auto *model = ViewUtility::modelOf(grid());
        const int column = model->columnOfField(field);
        for (int row = 0; row < model->rowCount(); ++row)
            if (model->data(model->index(row, column)).toString() == value) {
                grid()->setCurrentIndex(model->index(row, column));
                return;
            }
        QFAIL(qPrintable("no row " + value));
    }

    // The archive opened again as the program opens it, telling the main window what the library
    // opens.
    void reopenReportingToTheWindow()
    {
        form().ReleaseDatabase();
        const TestSupport::Archive archive = TestSupport::openArchive(m_archive->folder.databasePath(), &form());
        modGlobal::AppSession().database = archive.database;
        modGlobal::AppSession().dataContext = archive.context;
        modGlobal::AppSession().dataContext->UserLevel = 1;
    }

    QString status() { return widget<QLabel>("sbStatusBar_Panel1")->text(); }

    QAction *item(const QString &name) { return widget<QAction>(qPrintable(name)); }

    static QString shownRows(const QString &field)
    {
        auto &window = DataWindow::instance();
        auto *model = ViewUtility::modelOf(window.findChild<QTableView *>("dgData"));
        QStringList values;
        for (int row = 0; row < model->rowCount(); ++row)
            values.append(model->data(model->index(row, model->columnOfField(field))).toString());
        values.sort();
        return values.join(',');
    }

private slots:
    void init()
    {
        m_archive = std::make_unique<ViewsFixture::OpenArchive>();
        modGlobal::AppSession().dataContext->UserLevel = 1;
        m_form = std::make_unique<frmMain>();
        form().view().setDateSelection(DateSelection::All);
        m_messages = std::make_unique<TestSupport::ScriptedMessages>();
        showWithTree();
    }

    void cleanup()
    {
        m_messages.reset();
        DataWindow::instance().close();
        closeWindowAndArchive();
    }

    void agreementPhrase_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("plural");
        QTest::addColumn<QString>("phrase");
        QTest::newRow("feminine") << "Compagnia" << false << " con stessa ";
        QTest::newRow("accented a") << "Città" << true << " con stessa ";
        QTest::newRow("plural in i") << "Movimenti" << false << " con stessi ";
        QTest::newRow("accented i") << "LUNEDÌ" << false << " con stessi ";
        QTest::newRow("singular in e") << "Collaboratore" << false << " con stesso ";
        QTest::newRow("plural in e") << "Collaboratore" << true << " con stesse ";
        QTest::newRow("other, plural") << "Conto" << true << " con stesso ";
        QTest::newRow("empty") << "" << true << " con stesso ";
    }
    void agreementPhrase()
    {
        QFETCH(QString, word);
        QFETCH(bool, plural);
        QFETCH(QString, phrase);
        QCOMPARE(AgreementPhrase(word, plural), phrase);
    }

    void listsAreNumberedAsOne_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("movements") << "Movimenti"
                                   << QStringList{"< Associati >", "Compagnia (Compagnie) [1]", "Collaboratore (Collaboratori) [2]",
                                                  "< Riferimenti >", "Movimenti (Pagamenti) [3]", "< Contenitori >"};
        QTest::newRow("payments") << "Pagamenti"
                                  << QStringList{"< Associati >", "TipoOperazione (Tipi Operazione) [1]",
                                                 "Compagnia (Compagnie) [2]", "Collaboratore (Collaboratori) [3]",
                                                 "< Riferimenti >", "< Contenitori >",
                                                 "Pagamenti con stessi Movimenti [4]"};
        QTest::newRow("companies") << "Compagnie"
                                   << QStringList{"< Associati >", "< Riferimenti >", "Compagnia (Movimenti) [1]",
                                                  "< Contenitori >"};
        // No operator is referred to: the headers go too.
        QTest::newRow("nothing associated") << "Operatori" << QStringList{};
    }
    void listsAreNumberedAsOne()
    {
        QFETCH(QString, section);
        QFETCH(QStringList, entries);
        addData();
        select(section);
        QCOMPARE(m_messages->texts().join("|"), QString());
        QCOMPARE(menuEntries(), entries);
    }

    void aRebuildLeavesNothingBehind()
    {
        addData();
        select("Pagamenti");
        select("Movimenti");
        QCOMPARE(WindowTest::items<QAction>(form(), "mnuReferencedItem").size(), 2);
        QCOMPARE(WindowTest::items<QAction>(form(), "mnuRefItem").size(), 1);
        QCOMPARE(WindowTest::items<QAction>(form(), "mnuContItem").size(), 0);
        QCOMPARE(widget<QMenu>("mnuAssociation")->actions().size(), 6);
        // A grouping node: the lists are emptied and their headers hidden.
        select("Archivio");
        QVERIFY(menuEntries().isEmpty());
        QCOMPARE(widget<QMenu>("mnuAssociation")->actions().size(), 3);
    }

    void anItemShowsTheRelatedRowsOfTheCurrentRow_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("shownField");
        QTest::addColumn<QString>("shown");
        QTest::newRow("a movement's company") << "Movimenti" << "Descrizione" << "M3" << "mnuReferencedItem_1"
                                              << "Compagnie - Compagnia (Compagnie)" << "Codice" << "B";
        QTest::newRow("a movement's payments") << "Movimenti" << "Descrizione" << "M1" << "mnuRefItem_1"
                                               << "Pagamenti - Movimenti (Pagamenti)" << "Contanti" << "10,00,10,00";
        QTest::newRow("a company's movements") << "Compagnie" << "Codice" << "A" << "mnuRefItem_1"
                                               << "Movimenti - Compagnia (Movimenti)" << "Descrizione" << "M1,M2";
        QTest::newRow("payments of the same movement") << "Pagamenti" << "Contanti" << "10,00" << "mnuContItem_1"
                                                       << "Pagamenti - Pagamenti con stessi Movimenti" << "Descrizione"
                                                       << "M1,M1";
    }
    void anItemShowsTheRelatedRowsOfTheCurrentRow()
    {
        QFETCH(QString, section);
        QFETCH(QString, field);
        QFETCH(QString, current);
        QFETCH(QString, item);
        QFETCH(QString, title);
        QFETCH(QString, shownField);
        QFETCH(QString, shown);
        addData();
        select(section);
        makeCurrent(field, current);
        this->item(item)->trigger();
        QTRY_VERIFY(DataWindow::instance().isVisible());
        QCOMPARE(DataWindow::instance().windowTitle(), title);
        QCOMPARE(shownRows(shownField), shown);
        // The main view stays as it was.
        QCOMPARE(form().view().m_objCurDS->TableName(), section);
    }

    void theStatusBarKeepsDescribingTheView()
    {
        reopenReportingToTheWindow();
        addData();
        select("Movimenti");
        const QString viewStatus = status();
        QCOMPARE(viewStatus, QStringLiteral("Sezione: <Movimenti>"));
        makeCurrent("Descrizione", "M3");
        item("mnuReferencedItem_1")->trigger();
        QTRY_VERIFY(DataWindow::instance().isVisible());
        QCOMPARE(shownRows("Codice"), QStringLiteral("B"));
        QCOMPARE(status(), viewStatus);
    }

    void releasingTheArchiveEmptiesTheDataWindow()
    {
        addData();
        select("Movimenti");
        makeCurrent("Descrizione", "M1");
        item("mnuRefItem_1")->trigger();
        DataWindow &window = DataWindow::instance();
        QTRY_VERIFY(window.isVisible());
        // As on a change of working directory: no row of the closed archive may be read after it.
        form().ReleaseDatabase();
        QVERIFY(!window.isVisible());
        QVERIFY(!window.dataSource());
        QVERIFY(!ViewUtility::modelOf(window.findChild<QTableView *>("dgData")));
    }

    void aRowThatCannotNavigateIsRefused()
    {
        addData();
        select("Movimenti");
        makeCurrent("Descrizione", "M1");
        TestSupport::ScriptedMessages &messages = *m_messages;
        QVERIFY(form().view().m_objCurDS->FindFirst("Descrizione='M1'"));
        QVERIFY(form().view().m_objCurDS->SetField("Descrizione", "M1 cambiato"));
        item("mnuRefItem_1")->trigger();
        QTRY_COMPARE(messages.texts(), QStringList{"Operazione non abilitata in questa fase"});
        QCOMPARE(messages.seen().first().icon, MessageService::Icon::Information);
        QVERIFY(!DataWindow::instance().isVisible());
    }

    void rightClickOnARowNumberOffersItsAssociatedData()
    {
        addData();
        select("Movimenti");
        makeCurrent("Descrizione", "M1");
        QHeaderView *rows = grid()->verticalHeader();
        auto *model = ViewUtility::modelOf(grid());
        const int m3 = [&] {
            for (int row = 0; row < model->rowCount(); ++row)
                if (model->data(model->index(row, model->columnOfField("Descrizione"))).toString() == "M3")
                    return row;
            return -1;
        }();
        QVERIFY(m3 >= 0);
        const QPoint at(rows->width() / 2, rows->sectionViewportPosition(m3) + rows->sectionSize(m3) / 2);
        emit rows->customContextMenuRequested(at);
        QMenu *menu = widget<QMenu>("mnuAssociation");
        QTRY_VERIFY(menu->isVisible());
        menu->close();
        QCOMPARE(grid()->currentIndex().row(), m3);
        // A cell's right click keeps its own menu, which offers the associated data too.
        const QRect cell = grid()->visualRect(model->index(m3, 0));
        emit grid()->customContextMenuRequested(cell.center());
        QMenu *fieldFuncs = widget<QMenu>("mnuFieldFuncs");
        QTRY_VERIFY(fieldFuncs->isVisible());
        QVERIFY(fieldFuncs->actions().contains(menu->menuAction()));
        QVERIFY(menu->menuAction()->isEnabled() && menu->menuAction()->isVisible());
        fieldFuncs->close();
        QVERIFY(!menu->isVisible());
    }

    void anEmptyViewPostsNothing()
    {
        select("Compagnie");
        QVERIFY(form().view().m_objCurDS->IsEmpty());
        QCOMPARE(menuEntries(), (QStringList{"< Associati >", "< Riferimenti >", "Compagnia (Movimenti) [1] -",
                                             "< Contenitori >"}));
        form().mnuRefItem_Click(1);
        QVERIFY(!widget<QTimer>("tmFunc")->isActive());
    }
};

COBRELLE_TEST_MAIN(AssociatedDataTest)
#include "tst_associateddata.moc"
