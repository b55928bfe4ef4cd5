// The detail view: the same view keeps its order and current record, grouping nodes disable the
// data commands, the period of "Mov. per Collaboratori", the field menus, the deferred command.

#include "viewsfixture.h"

#include "services/configuration.h"
#include "objdb/amount.h"
#include "objdb/currency.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/filter/filter.h"
#include "objdb/filter/filtereditor.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"
#include "views/frmFromDateToDate.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QtTest>

using namespace objdb;

class DetailViewTest : public ViewsFixture::MainWindowTest {
    Q_OBJECT

    void addCompanies(int count)
    {
        auto ds = modGlobal::AppSession().dataContext->Tables().Item("Compagnie").OpenDataSource();
        for (int i = 0; i < count; ++i)
            QVERIFY(ds->AddRow({"Codice", QString("C%1").arg(i, 3, 10, QChar('0')), "RagioneSociale",
                                QString("Compagnia %1").arg(char('A' + i % 26))}));
    }

    QString currentCode()
    {
        auto *model = ViewUtility::modelOf(grid());
        const qint64 oid = model->bookmarkAt(grid()->currentIndex().row());
        auto ds = modGlobal::AppSession().dataContext->Tables().Item("Compagnie").OpenDataSource();
        return ds->FindOID(oid) ? ds->GetField("Codice").toString() : QString();
    }

    QStringList captions(const char *array)
    {
        QStringList list;
        for (const QAction *item : ViewsFixture::items<QAction>(form(), QLatin1String(array)))
            list.append(item->text());
        return list;
    }

private slots:
    void init()
    {
        m_archive = std::make_unique<ViewsFixture::OpenArchive>();
        modGlobal::AppSession().dataContext->UserLevel = 1;
        m_form = std::make_unique<frmMain>();
        form().view().setDateSelection(DateSelection::Day);
        form().view().setSelectionDate(QDate(2005, 3, 7));
        showWithTree();
    }

    void cleanup() { closeWindowAndArchive(); }

    void sameViewKeepsOrderAndCurrentRecord()
    {
        addCompanies(30);
        select("Compagnie");
        m_form->view().m_objCurDS->SetSort("Codice DESC");
        grid()->setCurrentIndex(grid()->model()->index(5, 1));
        const QString code = currentCode();
        QCOMPARE(code, QStringLiteral("C024"));
        m_form->mnuViewRefresh_Click();
        QCOMPARE(m_form->view().m_objCurDS->Sort(), QStringLiteral("Codice DESC"));
        QCOMPARE(currentCode(), code);
        // Another section, then back: the default order again.
        select("Collaboratori");
        select("Compagnie");
        QCOMPARE(m_form->view().m_objCurDS->Sort(), m_form->view().m_objCurDS->DefaultSort());
    }

    void groupingNodeShowsThePageAndDisablesDataCommands()
    {
        select("Compagnie");
        QVERIFY(!grid()->isHidden());
        QVERIFY(widget<QAction>("mnuFileNew")->isEnabled());
        QVERIFY(widget<QAction>("tbToolBar_Find")->isEnabled());
        QPointer<QAbstractItemModel> companies(grid()->model());
        select("Archivio");
        QVERIFY(grid()->isHidden());
        QVERIFY(companies.isNull()); // the rows of the view left behind are not kept
        QVERIFY(widget<QPushButton>("cmdGridSetting")->isHidden());
        for (const char *name : {"mnuFileNew", "mnuFileProperties", "mnuFileDelete", "mnuViewRefresh"})
            QVERIFY2(!widget<QAction>(name)->isEnabled(), name);
        for (const char *name : {"mnuSearch", "mnuFilter", "mnuOrder", "mnuPrintFunc", "mnuFieldFuncs"})
            QVERIFY2(!widget<QMenu>(name)->menuAction()->isEnabled(), name);
        for (const char *key : {"New", "Properties", "Delete", "Refresh", "Find", "Filter", "Print"})
            QVERIFY(!ViewsFixture::widget<QAction>(form(), QStringLiteral("tbToolBar_") + key)->isEnabled());
        QVERIFY(ViewsFixture::items<QPushButton>(form(), QStringLiteral("acmdSectionItem")).size() > 1);
        QCOMPARE(widget<QLabel>("sbStatusBar_Panel1")->text(), QStringLiteral("Sezione: <Archivio>"));
        // Refresh without a bound view only beeps.
        const int beeps = MessageService::beepCount();
        m_form->mnuViewRefresh_Click();
        QCOMPARE(MessageService::beepCount(), beeps + 1);
    }

    void paymentsFollowTheDateSelection()
    {
        select("Pagamenti");
        QCOMPARE(m_form->view().m_objCurDS->BaseFilter(), QStringLiteral("Data >= #03/07/2005# AND Data < #03/08/2005#"));
        QVERIFY(!widget<QPushButton>("cmdDateSel")->isHidden());
        QCOMPARE(widget<QPushButton>("cmdDateSel")->property("tag").toString(), QStringLiteral("Data"));
        QCOMPARE(widget<QPushButton>("cmdDateSel")->text(), QStringLiteral("< 07 mar 2005 >"));
        form().view().setDateSelection(DateSelection::Month);
        select("Statistiche");
        QCOMPARE(m_form->view().m_objCurDS->BaseFilter(), QStringLiteral("Month(Data) = 3 AND Year(Data) = 2005"));
        select("Sospesi");
        QCOMPARE(m_form->view().m_objCurDS->BaseFilter(), QStringLiteral("Pagato= False"));
        QVERIFY(widget<QPushButton>("cmdDateSel")->isHidden());
    }

    // The conversion-currency item shows the view's amounts converted, and back; the choice is kept.
    void amountsInTheConversionCurrency()
    {
        modGlobal::AppSession().dataContext->SetConversionCurrency(std::make_shared<CurrencyLire>());
        form().view().setDateSelection(DateSelection::All);
        auto payments = modGlobal::AppSession().dataContext->Tables().Item("Pagamenti").OpenDataSource();
        QVERIFY(payments->AddRow({"Contanti", QVariant::fromValue(Amount::fromInteger(50))}));
        select("Pagamenti");
        auto cash = [&] {
            auto *model = ViewUtility::modelOf(grid());
            return model->index(0, model->columnOfField("Contanti")).data().toString();
        };
        QCOMPARE(cash(), QStringLiteral("50,00"));

        widget<QAction>("mnuViewCurrencyConversion")->trigger();
        QVERIFY(form().view().currencyConversion());
        QVERIFY(widget<QAction>("mnuViewCurrencyConversion")->isChecked());
        QCOMPARE(cash(), QStringLiteral("96.814")); // 50 x 1936,27, in whole lire
        QVERIFY(TextToBool(Settings::readText("Configuration", "CurrencyConversion")));

        widget<QAction>("mnuViewCurrencyConversion")->trigger();
        QVERIFY(!form().view().currencyConversion());
        QCOMPARE(cash(), QStringLiteral("50,00"));
        QVERIFY(!TextToBool(Settings::readText("Configuration", "CurrencyConversion")));
        // Nothing stored changed.
        QVERIFY(payments->FindOID(payments->Bookmark()));
        QCOMPARE(payments->GetField("Contanti").value<Amount>(), Amount::fromInteger(50));
    }

    void periodOfTheCollaboratorsSection()
    {
        ViewsFixture::whenDialogOpens<frmFromDateToDate>([](frmFromDateToDate *dialog) {
            dialog->findChild<QLineEdit *>("txtFromDate")->setText("01/01/2005");
            dialog->findChild<QLineEdit *>("txtToDate")->setText("31/01/2005");
            QTest::mouseClick(dialog->findChild<QPushButton *>("cmdSet"), Qt::LeftButton);
        });
        select("Mov. per Collaboratori");
        QCOMPARE(m_form->view().m_objCurDS->BaseFilter(),
                 QStringLiteral("Pagato= True and Collaboratori.Codice <> '00'And Data >= #01/01/2005# AND Data < #02/01/2005#"));
        QCOMPARE(form().view().periodCaption(), QStringLiteral("Da data: 01/01/2005 A Data: 31/01/2005"));
        // Cancelled: all dates.
        ViewsFixture::whenDialogOpens<frmFromDateToDate>([](frmFromDateToDate *dialog) { dialog->reject(); });
        m_form->mnuViewRefresh_Click();
        QCOMPARE(m_form->view().m_objCurDS->BaseFilter(), QStringLiteral("Pagato= True and Collaboratori.Codice <> '00'"));
    }

    void fieldMenusFollowTheView()
    {
        select("Compagnie");
        QCOMPARE(captions("mnuSearchItems"), (QStringList{"Codice", "Ragione Sociale", "Indirizzo"}));
        QCOMPARE(captions("mnuFilterItems"), captions("mnuSearchItems"));
        // The first text field longer than 16 characters is the default search field.
        QCOMPARE(widget<QAction>("tbToolBar_Find")->property("tag").toString(), QStringLiteral("2"));
        QVERIFY(captions("mnuTotalItems").isEmpty());
        select("Movimenti");
        QCOMPARE(captions("mnuTotalItems"), (QStringList{"Importo", "Sconto Privato", "Sconto", "Importo In Sospeso"}));
        QCOMPARE(captions("mnuAverageItems"), captions("mnuTotalItems"));
        QVERIFY(captions("mnuOrderItems").contains("Pagato"));
        select("Pagamenti");
        for (const QString &caption : captions("mnuOrderItems") + captions("mnuTotalItems"))
            QVERIFY2(!caption.startsWith("OID"), qPrintable(caption));
        // Rebuilding leaves nothing of the previous view behind.
        select("Compagnie");
        QCOMPARE(ViewsFixture::items<QAction>(form(), QStringLiteral("mnuSearchItems")).size(), 3);
        QCOMPARE(widget<QAction>("tbToolBar_Find")->menu()->actions().size(), 3);
    }

    void keyboardInTheTreeOpensTheSection()
    {
        select("Compagnie");
        tree()->setFocus();
        QTest::keyClick(tree(), Qt::Key_Down);
        QTRY_COMPARE(m_form->view().m_objCurDS->TableName(), QStringLiteral("Collaboratori"));
    }

    // From the tree, Tab reaches the grid on its first row, and Return opens that record.
    void keyboardFromTheTreeToTheRecord()
    {
        addCompanies(3);
        select("Collaboratori");
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        tree()->setFocus();
        QTest::keyClick(tree(), Qt::Key_Up);
        QTRY_COMPARE(m_form->view().m_objCurDS->TableName(), QStringLiteral("Compagnie"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), grid());
        QCOMPARE(grid()->currentIndex().row(), 0);
        QString opened;
        ViewsFixture::whenDialogOpens<QDialog>([&](QDialog *panel) {
            if (auto *code = panel->findChild<QLineEdit *>("edit_Codice"))
                opened = code->text();
            panel->reject();
        });
        QTest::keyClick(grid(), Qt::Key_Return);
        QCOMPARE(opened, QStringLiteral("C000"));
    }

    // A change of working directory (a repair too) drops the archive and all that is bound to it:
    // the view, the section's stored selection, the complex filter. The next archive's view opens.
    void reloadingTheDatabaseDropsTheView()
    {
        addCompanies(3);
        select("Compagnie");
        auto stored = m_form->view().m_objCurDS->GetTable().NewFilter();
        stored->AddCondition("Codice", "C001");
        QVERIFY(stored->Save(m_form->selectedNodeText(), true, true));
        ViewsFixture::whenDialogOpens<FilterEditorDialog>([](FilterEditorDialog *editor) { editor->accept(); });
        m_form->RefreshDetailView();
        QCOMPARE(grid()->model()->rowCount(), 1);
        QPointer<QAbstractItemModel> model(grid()->model());
        m_form->ReloadDatabase();
        QVERIFY(!modGlobal::AppSession().database && !modGlobal::AppSession().dataContext);
        QVERIFY(!m_form->view().m_objCurDS);
        QVERIFY(!grid()->model());
        QVERIFY(model.isNull());
        QVERIFY(!widget<QAction>("mnuFileNew")->isEnabled());

        m_archive.reset();
        m_archive = std::make_unique<ViewsFixture::OpenArchive>();
        modGlobal::AppSession().dataContext->UserLevel = 1;
        TestSupport::ScriptedMessages messages;
        select("Compagnie");
        QCOMPARE(messages.texts().join("|"), QString());
        QVERIFY(ViewsFixture::showsTable(form(), "Compagnie"));
        QVERIFY(widget<QAction>("mnuFileNew")->isEnabled());
    }

    void refreshInsideARefreshIsDropped()
    {
        select("Compagnie");
        m_form->m_blnRefreshing = true;
        select("Collaboratori");
        QCOMPARE(m_form->view().m_objCurDS->TableName(), QStringLiteral("Compagnie"));
        m_form->m_blnRefreshing = false;
    }
};

COBRELLE_TEST_MAIN(DetailViewTest)
#include "tst_detailview.moc"
