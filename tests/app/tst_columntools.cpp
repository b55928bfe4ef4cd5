// The column tools of the menus on a view: "Totalizza in" and "Media in" from the tools menu and
// on the current column, the order items, "Annulla ordinamento" and the combined sort through
// the deferred command, with the mark on the sorted column's header.

#include "viewsfixture.h"

#include "objdb/amount.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/sorteditor.h"
#include "objdb/grid/viewutility.h"

#include <QAction>
#include <QHeaderView>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QTableView>
#include <QtTest>

using namespace objdb;

class ColumnToolsTest : public ViewsFixture::MainWindowTest {
    Q_OBJECT

    void addMovement(const QString &description, qint64 units)
    {
        auto ds = modGlobal::AppSession().dataContext->Tables().Item("Movimenti").OpenDataSource();
        QVERIFY(ds->AddRow({"Descrizione", description, "Importo", QVariant::fromValue(Amount::fromUnits(units))}));
    }

    QAction *itemCaptioned(const char *array, const QString &caption)
    {
        for (QAction *item : ViewsFixture::items<QAction>(form(), QLatin1String(array)))
            if (item->text() == caption)
                return item;
        return nullptr;
    }

    int columnOf(const char *field) { return ViewUtility::modelOf(grid())->columnOfField(QString::fromLatin1(field)); }

    QStringList descriptionsShown()
    {
        QStringList shown;
        auto *model = ViewUtility::modelOf(grid());
        const int column = model->columnOfField("Descrizione");
        for (int row = 0; row < model->rowCount(); ++row)
            shown.append(model->index(row, column).data().toString());
        return shown;
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        m_archive = std::make_unique<ViewsFixture::OpenArchive>();
        modGlobal::AppSession().dataContext->UserLevel = 1;
        m_form = std::make_unique<frmMain>();
        showWithTree();
        addMovement("Beta", 1'000'000);  // 100,00
        addMovement("Alfa", 2'500);      // 0,25
        addMovement("Gamma", 20'000);    // 2,00
        select("Movimenti");
    }

    void cleanup() { closeWindowAndArchive(); }

    void totalsAndMeansOfTheView()
    {
        TestSupport::ScriptedMessages messages;
        QAction *total = itemCaptioned("mnuTotalItems", "Importo");
        QAction *mean = itemCaptioned("mnuAverageItems", "Importo");
        QVERIFY(total && mean);
        total->trigger();
        mean->trigger();
        // 102,25 / 3 = 34,0833...
        QCOMPARE(messages.texts(), (QStringList{"Totale Importo: 102,25", "Media Importo: 34,08"}));
        QCOMPARE(messages.seen().first().icon, MessageService::Icon::None);

        // The filter in force limits the rows; the grid keeps its current row.
        m_form->view().m_objCurDS->SetFilter("Importo < 50");
        grid()->setCurrentIndex(grid()->model()->index(1, columnOf("Importo")));
        const QModelIndex current = grid()->currentIndex();
        messages.clear();
        // The right-click items act on the current column, offered only where it has a total.
        QMenu *fieldFuncs = widget<QMenu>("mnuFieldFuncs");
        emit fieldFuncs->aboutToShow();
        QVERIFY(widget<QAction>("mnuFieldTotal")->isEnabled());
        widget<QAction>("mnuFieldTotal")->trigger();
        widget<QAction>("mnuFieldAverage")->trigger();
        QCOMPARE(messages.texts(), (QStringList{"Totale Importo: 2,25", "Media Importo: 1,13"}));
        QCOMPARE(grid()->currentIndex(), current);

        grid()->setCurrentIndex(grid()->model()->index(0, columnOf("Descrizione")));
        emit fieldFuncs->aboutToShow();
        QVERIFY(!widget<QAction>("mnuFieldTotal")->isEnabled());
        QVERIFY(!widget<QAction>("mnuFieldAverage")->isEnabled());
    }

    // The column menus name the columns as the grid's headers do, by caption.
    void menusNameColumnsByCaption_data()
    {
        QTest::addColumn<QString>("array");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("caption");
        QTest::newRow("filter") << "mnuFilterItems" << "TipoOperazione" << "Tipo Operazione";
        QTest::newRow("search") << "mnuSearchItems" << "DescrizionePagamento" << "Descrizione Pagamento";
        QTest::newRow("sort") << "mnuOrderItems" << "DataCopertura" << "Data Copertura";
        QTest::newRow("total") << "mnuTotalItems" << "Bonifico_Bancomat" << "Bonifico Bancomat";
        QTest::newRow("average") << "mnuAverageItems" << "Bonifico_Bancomat" << "Bonifico Bancomat";
    }
    void menusNameColumnsByCaption()
    {
        QFETCH(QString, array);
        QFETCH(QString, field);
        QFETCH(QString, caption);
        form().view().setDateSelection(DateSelection::All); // every payment, without asking for a day
        select("Pagamenti");
        QStringList captions;
        for (QAction *item : ViewsFixture::items<QAction>(form(), array))
            if (item->property("tag").toString() == field)
                captions.append(item->text());
        QCOMPARE(captions, QStringList{caption});
        auto *model = ViewUtility::modelOf(grid());
        QCOMPARE(model->headerData(model->columnOfField(field), Qt::Horizontal).toString(), caption);
    }

    void orderItemsCancelAndMark()
    {
        QHeaderView *header = grid()->horizontalHeader();
        QAction *byAmount = itemCaptioned("mnuOrderItems", "Importo");
        QVERIFY(byAmount);
        byAmount->trigger();
        QCOMPARE(descriptionsShown(), (QStringList{"Alfa", "Gamma", "Beta"}));
        QCOMPARE(header->sortIndicatorSection(), columnOf("Importo"));
        byAmount->trigger();
        QCOMPARE(descriptionsShown(), (QStringList{"Beta", "Gamma", "Alfa"}));
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);

        widget<QAction>("mnuOrderCancel")->trigger();
        QCOMPARE(m_form->view().m_objCurDS->Sort(), m_form->view().m_objCurDS->DefaultSort());
        QCOMPARE(descriptionsShown(), (QStringList{"Alfa", "Beta", "Gamma"}));
        QCOMPARE(header->sortIndicatorSection(), columnOf("Descrizione"));
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    }

    // The editor opens on the next tick with the order in force; one column confirmed unchanged
    // keeps its direction instead of being reversed as a repeated column choice would be.
    void combinedSortThroughTheDeferredCommand()
    {
        QString title;
        ViewsFixture::whenDialogOpens<SortEditorDialog>([&title](SortEditorDialog *dialog) {
            title = dialog->windowTitle();
            dialog->accept();
        });
        widget<QAction>("mnuOrderComplex")->trigger();
        QTRY_COMPARE(title, QStringLiteral("Ordinamento Complesso"));
        QCOMPARE(m_form->view().m_objCurDS->Sort(), QStringLiteral("Descrizione"));
        QCOMPARE(descriptionsShown(), (QStringList{"Alfa", "Beta", "Gamma"}));

        ViewsFixture::whenDialogOpens<SortEditorDialog>([](SortEditorDialog *dialog) {
            auto *available = dialog->findChild<QListWidget *>("lstAvailable");
            available->setCurrentItem(available->findItems("Importo", Qt::MatchExactly).value(0));
            dialog->addSelected();
            dialog->toggleDirection();
            dialog->moveUp();
            dialog->accept();
        });
        widget<QAction>("mnuOrderComplex")->trigger();
        QTRY_COMPARE(m_form->view().m_objCurDS->Sort(), QStringLiteral("Importo DESC, Descrizione"));
        QCOMPARE(descriptionsShown(), (QStringList{"Beta", "Gamma", "Alfa"}));
        QCOMPARE(grid()->horizontalHeader()->sortIndicatorSection(), columnOf("Importo"));
    }
};

COBRELLE_TEST_MAIN(ColumnToolsTest)
#include "tst_columntools.moc"
