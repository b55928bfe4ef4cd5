// The section tree: its nodes for each kind of operator, the selection kept by index, the tree
// click and the section buttons' tags.
#include "viewsfixture.h"

#include "app/layout.h"
#include "objdb/datacontext.h"
#include "views/frmFromDateToDate.h"

#include <QLabel>
#include <QLineEdit>

#include <QPushButton>
#include <QTest>

using namespace ViewsFixture;

class TreeTest : public MainWindowTest {
    Q_OBJECT

    void rebuildAs(int userLevel)
    {
        modGlobal::AppSession().dataContext->UserLevel = userLevel;
        form().SetTreeViewNodes();
    }
    QString caption(const char *table)
    {
        return modGlobal::AppSession().dataContext->Tables().Item(QLatin1String(table)).Caption();
    }

private slots:
    void init()
    {
        m_archive = std::make_unique<OpenArchive>();
        // The reference date of the date selection, as loading the window sets it.
        m_form = std::make_unique<frmMain>();
        form().view().setSelectionDate(QDate::currentDate());
    }

    void cleanup() { closeWindowAndArchive(); }

    void operatorSeesTenNodes()
    {
        rebuildAs(0);
        QCOMPARE(nodeKeys(form()), (QStringList{"-", "Statistiche", "Sospesi", "Mov. per Collaboratori", "-",
                                                "Pagamenti", "Compagnie", "Collaboratori", "-", "TipiOperazione"}));
        QCOMPARE(form().nodeByIndex(6)->text(0), caption("Pagamenti"));
        QCOMPARE(form().nodeByIndex(8)->text(0), caption("Collaboratori"));
        QCOMPARE(form().nodeByIndex(9)->text(0), QStringLiteral("Configurazione"));
        QCOMPARE(form().nodeByIndex(10)->parent(), form().nodeByIndex(9));
        QVERIFY(!form().nodeByIndex(11));
        QVERIFY(form().nodeByIndex(1)->isExpanded());
        QVERIFY(form().nodeByIndex(5)->isExpanded());
        // Nothing was selected before: the first node is.
        QCOMPARE(form().selectedNodeText(), QStringLiteral("Stampe"));
        QCOMPARE(form().indexOfNode(form().selectedNode()), 1);
    }

    void administratorSeesTwelveNodes()
    {
        rebuildAs(1);
        const QStringList keys = nodeKeys(form());
        QCOMPARE(keys.size(), 12);
        QCOMPARE(keys[6], QStringLiteral("Movimenti"));
        QCOMPARE(keys[11], QStringLiteral("Operatori"));
        QCOMPARE(form().nodeByIndex(7)->parent(), form().nodeByIndex(6));
        QCOMPARE(form().nodeByIndex(12)->parent(), form().nodeByIndex(10));
        QCOMPARE(form().nodeByIndex(12)->text(0), caption("Operatori"));
        // Every node carries its image.
        for (int i = 1; i <= 12; ++i)
            QVERIFY2(!form().nodeByIndex(i)->icon(0).isNull(), qPrintable(QString::number(i)));
    }

    void groupingNodesHaveNoKey()
    {
        rebuildAs(1);
        for (int index : {1, 5, 10}) {
            tree()->setCurrentItem(form().nodeByIndex(index));
            QVERIFY(form().selectedNodeKey().isEmpty());
        }
        tree()->setCurrentItem(form().nodeByIndex(4));
        QCOMPARE(form().selectedNodeKey(), QStringLiteral("Mov. per Collaboratori"));
        QCOMPARE(form().selectedNodeText(), QStringLiteral("Mov. per Collaboratori"));
    }

    void selectionIsRestoredByIndexAcrossAChangeOfOperator()
    {
        rebuildAs(1);
        tree()->setCurrentItem(form().nodeByIndex(8));
        QCOMPARE(form().selectedNodeKey(), QStringLiteral("Compagnie"));
        rebuildAs(0);
        QCOMPARE(form().indexOfNode(form().selectedNode()), 8);
        QCOMPARE(form().selectedNodeKey(), QStringLiteral("Collaboratori"));

        // An index beyond the new count selects nothing.
        rebuildAs(1);
        tree()->setCurrentItem(form().nodeByIndex(12));
        rebuildAs(0);
        QVERIFY(!form().selectedNode());
        QVERIFY(form().selectedNodeKey().isEmpty());
        // The caller refreshes the view, not the tree: nothing was opened.
        QVERIFY(!form().view().m_objCurDS);
        QVERIFY(!objdb::ViewUtility::modelOf(grid()));
    }

    void rebuildWithoutArchiveIsReported()
    {
        TestSupport::ScriptedMessages script;
        modGlobal::AppSession().dataContext.reset();
        form().SetTreeViewNodes();
        QCOMPARE(script.seen().size(), 1);
        QCOMPARE(script.seen()[0].icon, MessageService::Icon::Critical);
        QVERIFY(!form().nodeByIndex(1));
    }

    void treeClickRefreshesTheView()
    {
        rebuildAs(0);
        form().resize(800, 600);
        form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
        LayoutMainWindow(*m_form, 3000);
        QTreeWidgetItem *node = form().nodeByIndex(3);
        const QRect rect = tree()->visualItemRect(node);
        QVERIFY(rect.isValid());
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(form().selectedNodeKey(), QStringLiteral("Sospesi"));
        // The unpaid payments are shown.
        QVERIFY(showsTable(form(), QStringLiteral("Pagamenti")));
        QCOMPARE(form().view().m_objCurDS->BaseFilter(), QStringLiteral("Pagato= False"));

        // A grouping node shows its page in place of the grid.
        QTreeWidgetItem *archive = form().nodeByIndex(5);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {},
                          tree()->visualItemRect(archive).center());
        QVERIFY(showsSectionPage(form()));
        QCOMPARE(widget<QLabel>("sbStatusBar_Panel1")->text(), QStringLiteral("Sezione: <Archivio>"));
    }

    void periodSectionAsksForThePeriod()
    {
        rebuildAs(0);
        tree()->setCurrentItem(form().nodeByIndex(4));
        whenDialogOpens<frmFromDateToDate>([](frmFromDateToDate *dialog) {
            dialog->txtFromDate->setText(QStringLiteral("01/02/2005"));
            dialog->txtToDate->setText(QStringLiteral("28/02/2005"));
            dialog->cmdSet->click();
        });
        form().tvTreeView_Click();
        QVERIFY(showsTable(form(), QStringLiteral("Pagamenti")));
        QCOMPARE(form().view().m_objCurDS->BaseFilter(),
                 QStringLiteral("Pagato= True and Collaboratori.Codice <> '00'And Data >= #02/01/2005# AND Data < #03/01/2005#"));
        QCOMPARE(form().view().periodCaption(), QStringLiteral("Da data: 01/02/2005 A Data: 28/02/2005"));

        // Cancelled, the section shows every period.
        whenDialogOpens<frmFromDateToDate>([](frmFromDateToDate *dialog) { dialog->reject(); });
        form().tvTreeView_Click();
        QVERIFY(showsTable(form(), QStringLiteral("Pagamenti")));
        QCOMPARE(form().view().m_objCurDS->BaseFilter(), QStringLiteral("Pagato= True and Collaboratori.Codice <> '00'"));
    }

    void sectionButtonTagIsAnIndexOrAKey_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("table"); // "" for a grouping node's page
        QTest::newRow("index") << "3" << "Sospesi" << "Pagamenti";
        QTest::newRow("key") << "Compagnie" << "Compagnie" << "Compagnie";
        QTest::newRow("grouping index") << "9" << "" << "";
        QTest::newRow("unknown key keeps the selection") << "Nessuna" << "Pagamenti" << "Pagamenti";
        QTest::newRow("index past the end keeps the selection") << "40" << "Pagamenti" << "Pagamenti";
        QTest::newRow("empty tag keeps the selection") << "" << "Pagamenti" << "Pagamenti";
    }

    void sectionButtonTagIsAnIndexOrAKey()
    {
        QFETCH(QString, tag);
        QFETCH(QString, selected);
        rebuildAs(0);
        tree()->setCurrentItem(form().nodeByIndex(6));
        ModalWatchdog watchdog;
        widget<QPushButton>("acmdSectionItem_0")->setProperty("tag", tag);
        form().acmdSectionItem_Click(0);
        QCOMPARE(form().selectedNodeKey(), selected);
        // The view is refreshed whatever the tag named.
        QFETCH(QString, table);
        if (table.isEmpty())
            QVERIFY(showsSectionPage(form()));
        else
            QVERIFY(showsTable(form(), table));
        QVERIFY(watchdog.closed.isEmpty());
    }
};

COBRELLE_TEST_MAIN(TreeTest)
#include "tst_tree.moc"
