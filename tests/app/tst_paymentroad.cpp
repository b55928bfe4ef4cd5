// The road of one payment through the real windows: sections, editing panels, the rules behind
// them, the outstanding payments section, and what an ordinary operator may not do.

#include "viewsfixture.h"

#include "objdb/amount.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"
#include "objdb/panel/editpaneldialog.h"
#include "objdb/panel/parentchooser.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

using namespace objdb;

namespace {

void type(QWidget *panel, const QString &field, const QString &text)
{
    auto *input = panel->findChild<QLineEdit *>(QStringLiteral("edit_") + field);
    QVERIFY2(input, qPrintable(field));
    input->setFocus();
    input->selectAll();
    QTest::keyClick(input, Qt::Key_Backspace);
    QTest::keyClicks(input, text);
    emit input->editingFinished(); // as leaving the input does; Return would store the row
}

void choose(QWidget *panel, const QString &reference, const QString &shown)
{
    auto *combo = panel->findChild<QComboBox *>(QStringLiteral("edit_") + reference);
    QVERIFY2(combo, qPrintable(reference));
    const int index = combo->findText(shown);
    QVERIFY2(index >= 0, qPrintable(shown));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

QString shownParent(QWidget *panel, const QString &field)
{
    auto *input = panel->findChild<QLineEdit *>(QStringLiteral("parent_") + field);
    return input ? input->text() : QString();
}

Amount money(const char *text)
{
    return *Amount::parse(QString::fromLatin1(text));
}

} // namespace

class PaymentRoadTest : public ViewsFixture::MainWindowTest {
    Q_OBJECT

    // Opens the new-record panel of the current section, lets `fill` type into it and saves.
    void newRecord(std::function<void(EditPanelDialog *)> fill)
    {
        ViewsFixture::whenDialogOpens<EditPanelDialog>([fill](EditPanelDialog *panel) {
            fill(panel);
            QTest::mouseClick(panel->findChild<QPushButton *>("cmdSave"), Qt::LeftButton);
        });
        m_form->mnuFileNew_Click();
    }

    Amount outstanding(const QString &description)
    {
        auto ds = modGlobal::AppSession().dataContext->Tables().Item("Movimenti").OpenDataSource();
        return ds->FindFirst("Descrizione='" + description + "'") ? ds->GetField("ImportoInSospeso").value<Amount>() : Amount();
    }

    bool paid(const QString &description)
    {
        auto ds = modGlobal::AppSession().dataContext->Tables().Item("Movimenti").OpenDataSource();
        return ds->FindFirst("Descrizione='" + description + "'") && ds->GetField("Pagato").toBool();
    }

    // A payment against the only unpaid movement, typed amounts in the order given.
    void payWith(const QList<QPair<QString, QString>> &amounts, QStringList *liveOutstanding = nullptr)
    {
        newRecord([amounts, liveOutstanding](EditPanelDialog *panel) {
            ViewsFixture::whenDialogOpens<ParentChooser>([](ParentChooser *chooser) {
                auto *list = chooser->findChild<QTableView *>("lstCandidates");
                QCOMPARE(list->model()->rowCount(), 1); // only the unpaid movement is offered
                list->setCurrentIndex(list->model()->index(0, 0));
                QTest::mouseClick(chooser->findChild<QPushButton *>("cmdOk"), Qt::LeftButton);
            });
            QTest::mouseClick(panel->findChild<QPushButton *>("cmdChooseParent"), Qt::LeftButton);
            QCOMPARE(panel->findChild<QComboBox *>("edit_TipoOperazione")->currentText(), QStringLiteral("Incasso Sospeso"));
            for (const auto &[field, value] : amounts) {
                type(panel, field, value);
                if (liveOutstanding)
                    liveOutstanding->append(shownParent(panel, "ImportoInSospeso"));
            }
        });
    }

private slots:
    void init()
    {
        m_archive = std::make_unique<ViewsFixture::OpenArchive>();
        modGlobal::AppSession().dataContext->UserLevel = 1;
        m_form = std::make_unique<frmMain>();
        form().view().setDateSelection(DateSelection::All);
        m_form->m_strOperatore = QStringLiteral("Amministratore");
        showWithTree();
    }

    void cleanup() { closeWindowAndArchive(); }

    void onePaymentFromMovementToSettlement()
    {
        TestSupport::ScriptedMessages messages;
        select("Compagnie");
        newRecord([](EditPanelDialog *p) {
            type(p, "Codice", "ALFA");
            type(p, "RagioneSociale", "Alfa Assicurazioni");
        });
        select("Collaboratori");
        newRecord([](EditPanelDialog *p) {
            type(p, "Codice", "K1");
            type(p, "Nome", "Rossi");
        });
        QCOMPARE(m_form->view().m_objCurDS->RecordCount(), 2);

        select("Movimenti");
        newRecord([](EditPanelDialog *p) {
            type(p, "Descrizione", "Polizza auto");
            type(p, "Importo", "100");
            type(p, "Sconto", "10");
            choose(p, "Compagnia", "Alfa Assicurazioni");
            choose(p, "Collaboratore", "Rossi");
        });
        QCOMPARE(outstanding("Polizza auto"), money("90"));

        select("Pagamenti");
        QStringList live;
        payWith({{"Contanti", "50"}, {"Assegno", "30"}}, &live);
        QCOMPARE(live, (QStringList{"40,00", "10,00"}));
        QCOMPARE(outstanding("Polizza auto"), money("10"));
        QVERIFY(!paid("Polizza auto"));
        // The new payment is in the grid, with its operator.
        auto *model = ViewUtility::modelOf(grid());
        QVERIFY(model);
        QCOMPARE(model->rowCount(), 1);
        auto payments = modGlobal::AppSession().dataContext->Tables().Item("Pagamenti").OpenDataSource();
        QVERIFY(payments->MoveFirst());
        QCOMPARE(payments->GetField("Operatore").toString(), QStringLiteral("Amministratore"));

        select("Sospesi");
        QCOMPARE(m_form->view().m_objCurDS->RecordCount(), 1);

        select("Pagamenti");
        payWith({{"Contanti", "10"}});
        QCOMPARE(outstanding("Polizza auto"), Amount());
        QVERIFY(paid("Polizza auto"));
        QCOMPARE(ViewUtility::modelOf(grid())->rowCount(), 2);

        select("Sospesi");
        QVERIFY(m_form->view().m_objCurDS->IsEmpty());
        select("Statistiche");
        QCOMPARE(m_form->view().m_objCurDS->RecordCount(), 2);
        QVERIFY(messages.seen().isEmpty());
    }

    // A movement saved before its amount is known, paid 30, then given its amount: the grid shows
    // what is left. An emptied discount or payment amount is stored as 0 and changes nothing.
    void movementWithoutAmountKeepsItsPayments()
    {
        TestSupport::ScriptedMessages messages;
        select("Movimenti");
        newRecord([](EditPanelDialog *p) { type(p, "Descrizione", "Da definire"); });
        select("Pagamenti");
        payWith({{"Contanti", "30"}, {"Assegno", ""}});
        QCOMPARE(outstanding("Da definire"), money("-30"));

        select("Movimenti");
        auto *model = ViewUtility::modelOf(grid());
        QCOMPARE(model->rowCount(), 1);
        grid()->setCurrentIndex(model->index(0, 0));
        ViewsFixture::whenDialogOpens<EditPanelDialog>([](EditPanelDialog *panel) {
            type(panel, "Importo", "100");
            type(panel, "Sconto", "");
            QCOMPARE(panel->findChild<QLineEdit *>("edit_Sconto")->text(), QStringLiteral("0,00"));
            QTest::mouseClick(panel->findChild<QPushButton *>("cmdSave"), Qt::LeftButton);
        });
        m_form->mnuFileProperties_Click();
        model = ViewUtility::modelOf(grid());
        QCOMPARE(model->index(0, model->columnOfField("ImportoInSospeso")).data().toString(), QStringLiteral("70,00"));
        QVERIFY(messages.seen().isEmpty());
    }

    void ordinaryOperatorSeesTenNodesAndCannotDelete()
    {
        select("Collaboratori");
        grid()->setCurrentIndex(grid()->model()->index(0, 0));
        modGlobal::AppSession().dataContext->UserLevel = 0;
        m_form->SetTreeViewNodes();
        QCOMPARE(ViewsFixture::nodeKeys(*m_form).size(), 10);
        QVERIFY(!ViewsFixture::nodeKeys(*m_form).contains("Movimenti"));
        QVERIFY(!ViewsFixture::nodeKeys(*m_form).contains("Operatori"));
        select("Collaboratori");
        grid()->setCurrentIndex(grid()->model()->index(0, 0));
        TestSupport::ScriptedMessages messages;
        const int beeps = MessageService::beepCount();
        m_form->mnuFileDelete_Click();
        QCOMPARE(messages.texts(), QStringList{"Operazione consentita solo all'Amministratore"});
        QCOMPARE(MessageService::beepCount(), beeps + 1);
        QCOMPARE(m_form->view().m_objCurDS->RecordCount(), 1);
    }

    void statisticsIsReadOnly()
    {
        select("Statistiche");
        const int beeps = MessageService::beepCount();
        m_form->mnuFileNew_Click();
        m_form->mnuFileDelete_Click();
        QCOMPARE(MessageService::beepCount(), beeps + 2);
    }

    void administratorDeletesAfterConfirming()
    {
        select("Collaboratori");
        grid()->setCurrentIndex(grid()->model()->index(0, 0));
        TestSupport::ScriptedMessages messages;
        messages.push(MessageService::Answer::No);
        m_form->mnuFileDelete_Click();
        QCOMPARE(messages.texts(), QStringList{"Confermi l'eliminazione dei dati selezionati ?"});
        QCOMPARE(m_form->view().m_objCurDS->RecordCount(), 1);
        messages.push(MessageService::Answer::Yes);
        m_form->mnuFileDelete_Click();
        QCOMPARE(m_form->view().m_objCurDS->RecordCount(), 0);
    }
};

COBRELLE_TEST_MAIN(PaymentRoadTest)
#include "tst_paymentroad.moc"
