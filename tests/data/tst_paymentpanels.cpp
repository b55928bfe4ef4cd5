// The movement and payment rules as their editing panels show them: a movement's outstanding
// amount before it is saved, a payment's movement chosen among the unpaid ones and followed live,
// the payment's date question and coverage date, and the program's tables as inputs.

#include "paneldriver.h"
#include "testsupport.h"

#include "objdb/amount.h"
#include "objdb/panel/editpanel.h"
#include "objdb/panel/editpaneldialog.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using namespace objdb;
using PanelDriver::edit;
using PanelDriver::shownParent;
using PanelDriver::type;

namespace {

Amount money(int whole)
{
    return Amount::fromInteger(whole);
}

const QString kDateQuestion = QStringLiteral("Confermi il cambio della data del Movimento?");

} // namespace

class PaymentPanelsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void programTablesAsInputs();
    void movementShowsOutstandingAmountBeforeSaving();
    void paymentRoadThroughTwoPanels();
    void paymentDateAndCoverage();
    void overpaymentIsToldAndConfirmed_data();
    void overpaymentIsToldAndConfirmed();

private:
    std::shared_ptr<DataSource> view(const QString &table)
    {
        return m_archive.context->Tables().Item(table).OpenDataSource();
    }
    QVariant stored(const QString &table, qint64 oid, const QString &field)
    {
        auto ds = view(table);
        return ds->FindOID(oid) ? ds->GetField(field) : QVariant(QStringLiteral("<missing>"));
    }
    qint64 newMovement(const QString &description, const QString &importo, const QString &sconto);

    std::unique_ptr<TestSupport::TempWorkDir> m_dir;
    std::unique_ptr<TestSupport::ScriptedMessages> m_answers;
    TestSupport::RecordingSink m_sink;
    TestSupport::Archive m_archive;
};

void PaymentPanelsTest::init()
{
    m_dir = std::make_unique<TestSupport::TempWorkDir>();
    m_answers = std::make_unique<TestSupport::ScriptedMessages>();
    m_sink = {};
    m_archive = TestSupport::openArchive(m_dir->databasePath(), &m_sink);
}

void PaymentPanelsTest::cleanup()
{
    m_archive = {};
    m_answers.reset();
    m_dir.reset();
}

qint64 PaymentPanelsTest::newMovement(const QString &description, const QString &importo, const QString &sconto)
{
    EditPanelDialog panel(view(QStringLiteral("Movimenti")), QString(), nullptr);
    if (!panel.startNew({}))
        return 0;
    type(edit(panel, QStringLiteral("Descrizione")), description);
    type(edit(panel, QStringLiteral("Importo")), importo);
    type(edit(panel, QStringLiteral("Sconto")), sconto);
    return panel.save() ? panel.savedOid().toLongLong() : 0;
}

void PaymentPanelsTest::programTablesAsInputs()
{
    EditPanelDialog movement(view(QStringLiteral("Movimenti")), QString(), nullptr);
    QVERIFY(movement.startNew({}));
    QVERIFY(!edit(movement, QStringLiteral("ImportoInSospeso"))->isEnabled());
    auto *paid = movement.findChild<QCheckBox *>(QStringLiteral("edit_Pagato"));
    QVERIFY(paid && !paid->isEnabled());
    auto *company = movement.findChild<QComboBox *>(QStringLiteral("edit_Compagnia"));
    QVERIFY(company && !company->isEditable());

    EditPanelDialog oper(view(QStringLiteral("Operatori")), QString(), nullptr);
    QVERIFY(oper.startNew({}));
    QCOMPARE(edit(oper, QStringLiteral("Password"))->echoMode(), QLineEdit::Password);

    // A payment waits for its movement, carries its operator and lists the operation types by code.
    EditPanelDialog payment(view(QStringLiteral("Pagamenti")), QStringLiteral("Nuovo pagamento"), nullptr);
    QVERIFY(payment.startNew({QStringLiteral("Operatore"), QStringLiteral("Mario")}));
    QCOMPARE(edit(payment, QStringLiteral("Operatore"))->text(), QStringLiteral("Mario"));
    QVERIFY(!edit(payment, QStringLiteral("Operatore"))->isEnabled());
    QVERIFY(!edit(payment, QStringLiteral("Contanti"))->isEnabled());
    QVERIFY(payment.findChild<QPushButton *>(QStringLiteral("cmdChooseParent"))->isEnabled());
    auto *types = payment.findChild<QComboBox *>(QStringLiteral("edit_TipoOperazione"));
    auto byCode = view(QStringLiteral("TipiOperazione"));
    byCode->SetSort(QStringLiteral("Codice"));
    QStringList expected{QString()};
    for (bool more = byCode->MoveFirst(); more && !byCode->AtEOF(); more = byCode->MoveNext())
        expected.append(byCode->GetField(QStringLiteral("Descrizione")).toString());
    QStringList listed;
    for (int i = 0; i < types->count(); ++i)
        listed.append(types->itemText(i));
    QVERIFY(expected.size() > 2);
    QCOMPARE(listed, expected);
}

void PaymentPanelsTest::movementShowsOutstandingAmountBeforeSaving()
{
    EditPanelDialog panel(view(QStringLiteral("Movimenti")), QString(), nullptr);
    QVERIFY(panel.startNew({}));
    type(edit(panel, QStringLiteral("Descrizione")), QStringLiteral("Polizza auto"));
    type(edit(panel, QStringLiteral("Importo")), QStringLiteral("100"));
    QCOMPARE(edit(panel, QStringLiteral("Importo"))->text(), QStringLiteral("100,00"));
    type(edit(panel, QStringLiteral("Sconto")), QStringLiteral("10"));
    QCOMPARE(edit(panel, QStringLiteral("ImportoInSospeso"))->text(), QStringLiteral("90,00"));
    QVERIFY(view(QStringLiteral("Movimenti"))->IsEmpty());

    QVERIFY(panel.save());
    const qint64 oid = panel.savedOid().toLongLong();
    QVERIFY(oid > 0);
    QCOMPARE(stored(QStringLiteral("Movimenti"), oid, QStringLiteral("ImportoInSospeso")).value<Amount>(), money(90));
    QCOMPARE(stored(QStringLiteral("Movimenti"), oid, QStringLiteral("Pagato")).toBool(), false);
}

void PaymentPanelsTest::paymentRoadThroughTwoPanels()
{
    const qint64 movement = newMovement(QStringLiteral("Polizza auto"), QStringLiteral("100"), QStringLiteral("10"));
    QVERIFY(movement > 0);
    // Already covered: never offered as a payment's movement.
    QVERIFY(view(QStringLiteral("Movimenti"))->AddRow({QStringLiteral("Descrizione"), QStringLiteral("Saldato"),
                                                      QStringLiteral("Importo"), QVariant::fromValue(Amount())}));

    EditPanelDialog first(view(QStringLiteral("Pagamenti")), QString(), nullptr);
    QVERIFY(first.startNew({QStringLiteral("Operatore"), QStringLiteral("Mario")}));
    first.show();
    const PanelDriver::ChooserList listed = PanelDriver::chooseParent(first, QStringLiteral("Polizza auto"));
    QCOMPARE(listed.rows, 1);
    QCOMPARE(listed.headers, (QStringList{QStringLiteral("Descrizione"), QStringLiteral("Importo"), QStringLiteral("Importo In Sospeso")}));
    QCOMPARE(first.findChild<QComboBox *>(QStringLiteral("edit_TipoOperazione"))->currentText(),
             QStringLiteral("Incasso Sospeso"));
    QCOMPARE(shownParent(first, QStringLiteral("Descrizione")), QStringLiteral("Polizza auto"));
    QCOMPARE(shownParent(first, QStringLiteral("ImportoInSospeso")), QStringLiteral("90,00"));

    type(edit(first, QStringLiteral("Contanti")), QStringLiteral("50"));
    QCOMPARE(shownParent(first, QStringLiteral("ImportoInSospeso")), QStringLiteral("40,00"));
    type(edit(first, QStringLiteral("Assegno")), QStringLiteral("30"));
    QCOMPARE(shownParent(first, QStringLiteral("ImportoInSospeso")), QStringLiteral("10,00"));
    QVERIFY(!first.findChild<QCheckBox *>(QStringLiteral("parent_Pagato"))->isChecked());
    QVERIFY(first.save());
    const qint64 payment = first.savedOid().toLongLong();
    QCOMPARE(stored(QStringLiteral("Movimenti"), movement, QStringLiteral("ImportoInSospeso")).value<Amount>(), money(10));
    QCOMPARE(stored(QStringLiteral("Movimenti"), movement, QStringLiteral("Pagato")).toBool(), false);
    QCOMPARE(stored(QStringLiteral("Pagamenti"), payment, QStringLiteral("Operatore")).toString(), QStringLiteral("Mario"));
    QCOMPARE(stored(QStringLiteral("Pagamenti"), payment, QStringLiteral("Cod_TipoOperazione")).toString(), QStringLiteral("07"));
    QCOMPARE(stored(QStringLiteral("Pagamenti"), payment, QStringLiteral("Contanti")).value<Amount>(), money(50));

    // The second payment settles the movement through the modal panel the program opens.
    PanelDriver::whenShown<EditPanelDialog>(QStringLiteral("EditPanel"), [&](EditPanelDialog *panel) {
        panel->setParent(movement);
        type(edit(*panel, QStringLiteral("Contanti")), QStringLiteral("10"));
        QCOMPARE(shownParent(*panel, QStringLiteral("ImportoInSospeso")), QStringLiteral("0,00"));
        QVERIFY(panel->findChild<QCheckBox *>(QStringLiteral("parent_Pagato"))->isChecked());
        QTest::mouseClick(panel->findChild<QPushButton *>(QStringLiteral("cmdSave")), Qt::LeftButton);
    });
    const QVariant second = EditPanel::editNew(view(QStringLiteral("Pagamenti")), {QStringLiteral("Operatore"), QStringLiteral("Mario")}, nullptr);
    QVERIFY(second.toLongLong() > payment);
    QCOMPARE(stored(QStringLiteral("Movimenti"), movement, QStringLiteral("ImportoInSospeso")).value<Amount>(), money(0));
    QCOMPARE(stored(QStringLiteral("Movimenti"), movement, QStringLiteral("Pagato")).toBool(), true);
    QVERIFY(m_sink.messages.isEmpty());
}

void PaymentPanelsTest::overpaymentIsToldAndConfirmed_data()
{
    QTest::addColumn<QString>("cash");
    QTest::addColumn<QString>("cheque");
    QTest::addColumn<int>("answer"); // -1: none scripted, the question's default decides
    QTest::addColumn<QString>("warning");
    QTest::addColumn<bool>("saved");
    QTest::newRow("within the outstanding") << "50" << "40" << -1 << QString() << true;
    QTest::newRow("a cent over still settles") << "90,01" << "0" << -1 << QString() << true;
    const QString tenOver = QStringLiteral("Il pagamento supera di 10,00 l'importo in sospeso del movimento.");
    QTest::newRow("over, default answer") << "60" << "40" << -1 << tenOver << false;
    QTest::newRow("over, confirmed") << "60" << "40" << int(MessageService::Answer::Yes) << tenOver << true;
}

// The panel tells by how much a payment exceeds its movement's outstanding amount and stores it
// only when the operator says so; the rules charge it as before.
void PaymentPanelsTest::overpaymentIsToldAndConfirmed()
{
    QFETCH(QString, cash);
    QFETCH(QString, cheque);
    QFETCH(int, answer);
    QFETCH(QString, warning);
    QFETCH(bool, saved);
    const qint64 movement = newMovement(QStringLiteral("Polizza"), QStringLiteral("100"), QStringLiteral("10"));
    EditPanelDialog panel(view(QStringLiteral("Pagamenti")), QString(), nullptr);
    QVERIFY(panel.startNew({}));
    QVERIFY(panel.setParent(movement));
    type(edit(panel, QStringLiteral("Contanti")), cash);
    type(edit(panel, QStringLiteral("Assegno")), cheque);
    auto *shown = panel.findChild<QLabel *>(QStringLiteral("lblWarning"));
    QVERIFY(shown);
    QCOMPARE(shown->text(), warning);
    QCOMPARE(shown->isHidden(), warning.isEmpty());

    m_answers->clear();
    if (answer >= 0)
        m_answers->push(MessageService::Answer(answer));
    QCOMPARE(panel.save(), saved);
    if (warning.isEmpty()) {
        QVERIFY(m_answers->seen().isEmpty());
    } else {
        QCOMPARE(m_answers->seen().size(), 1);
        const MessageService::Request &question = m_answers->seen().first();
        QCOMPARE(question.text, warning + QStringLiteral("\n\nSalvare comunque il pagamento?"));
        QCOMPARE(question.buttons, MessageService::Buttons::YesNo);
        QCOMPARE(question.defaultAnswer, MessageService::Answer::No);
        QCOMPARE(question.icon, MessageService::Icon::Exclamation);
    }
    const Amount stored90 = money(90);
    const Amount outstanding = stored(QStringLiteral("Movimenti"), movement, QStringLiteral("ImportoInSospeso")).value<Amount>();
    if (saved)
        QCOMPARE(outstanding, stored90 - Amount::parse(cash).value() - Amount::parse(cheque).value());
    else
        QCOMPARE(outstanding, stored90);
}

// A changed date is confirmed through the message service, typed or picked in the calendar; an
// advance empties a coverage date of today.
void PaymentPanelsTest::paymentDateAndCoverage()
{
    const qint64 movement = newMovement(QStringLiteral("Polizza"), QStringLiteral("100"), QStringLiteral("0"));
    EditPanelDialog panel(view(QStringLiteral("Pagamenti")), QString(), nullptr);
    QVERIFY(panel.startNew({}));
    QVERIFY(panel.setParent(movement));
    const QString today = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    QCOMPARE(edit(panel, QStringLiteral("DataCopertura"))->text(), today);

    // Answered No: today goes back in the input.
    m_answers->push(MessageService::Answer::No);
    type(edit(panel, QStringLiteral("Data")), QStringLiteral("01/01/2005"));
    QCOMPARE(m_answers->texts(), QStringList{kDateQuestion});
    QCOMPARE(edit(panel, QStringLiteral("Data"))->text(), today);

    // Picked in the calendar and answered Yes: the date stays.
    m_answers->clear();
    m_answers->push(MessageService::Answer::Yes);
    QTest::mouseClick(panel.findChild<QToolButton *>(QStringLiteral("cal_Data")), Qt::LeftButton);
    auto *calendar = panel.findChild<QCalendarWidget *>(QStringLiteral("calendarPopup"));
    QVERIFY(calendar && calendar->isVisible());
    emit calendar->clicked(QDate(2005, 3, 4));
    QCOMPARE(m_answers->texts(), QStringList{kDateQuestion});
    QCOMPARE(edit(panel, QStringLiteral("Data"))->text(), QStringLiteral("04/03/2005"));

    type(edit(panel, QStringLiteral("Anticipo")), QStringLiteral("5"));
    QCOMPARE(edit(panel, QStringLiteral("DataCopertura"))->text(), QString());
    QCOMPARE(edit(panel, QStringLiteral("Anticipo"))->text(), QStringLiteral("5,00"));
    QCOMPARE(shownParent(panel, QStringLiteral("ImportoInSospeso")), QStringLiteral("95,00"));
}

COBRELLE_TEST_MAIN(PaymentPanelsTest)
#include "tst_paymentpanels.moc"
