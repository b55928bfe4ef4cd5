// The movement and payment rules as their editing panels show them: a movement's outstanding
// amount before it is saved, a payment's movement chosen among the unpaid ones and followed live,
// the payment's date question and coverage date, and the program's tables as inputs; the panels
// and the movement picker at the keyboard.

#include "paneldriver.h"
#include "testsupport.h"

#include "objdb/amount.h"
#include "objdb/panel/editpanel.h"
#include "objdb/panel/editpaneldialog.h"
#include "objdb/panel/fieldtext.h"
#include "objdb/panel/parentchooser.h"
#include "objdb/grid/gridmodel.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
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
    void tabWalksTheFormInOrder_data();
    void tabWalksTheFormInOrder();
    void enterSavesFromAnyInput_data();
    void enterSavesFromAnyInput();
    void escapeAsksOnlyWhenSomethingChanged_data();
    void escapeAsksOnlyWhenSomethingChanged();
    void pickerTellsMovementsApartAndNarrows_data();
    void pickerTellsMovementsApartAndNarrows();

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
    // A shown and active panel on a new row of the table; a payment already has a movement of 100.
    std::unique_ptr<EditPanelDialog> keyboardPanel(const QString &table);
    // The stored value as a panel shows it.
    QString storedText(const QString &table, qint64 oid, const QString &field)
    {
        const QVariant value = stored(table, oid, field);
        return value.userType() == qMetaTypeId<Amount>() ? FieldText::amount(value) : value.toString();
    }

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
    QCOMPARE(listed.headers.size(), 5); // what they are: pickerTellsMovementsApartAndNarrows
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

std::unique_ptr<EditPanelDialog> PaymentPanelsTest::keyboardPanel(const QString &table)
{
    const bool payment = table == QStringLiteral("Pagamenti");
    const qint64 movement = payment ? newMovement(QStringLiteral("Polizza"), QStringLiteral("100"), QStringLiteral("0")) : 0;
    auto panel = std::make_unique<EditPanelDialog>(view(table), QString(), nullptr);
    if (!panel->startNew(payment ? QVariantList{QStringLiteral("Operatore"), QStringLiteral("Mario")} : QVariantList()))
        return nullptr;
    if (payment && !panel->setParent(movement))
        return nullptr;
    panel->show();
    panel->activateWindow();
    if (!QTest::qWaitForWindowActive(panel.get()))
        return nullptr;
    return panel;
}

void PaymentPanelsTest::tabWalksTheFormInOrder_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("walk"); // from the first input, once round the panel
    QTest::newRow("Compagnie") << "Compagnie"
                               << QStringList{"edit_Codice", "edit_RagioneSociale", "edit_Indirizzo", "cmdSave", "cmdCancel"};
    QTest::newRow("Movimenti") << "Movimenti"
                               << QStringList{"edit_Descrizione", "edit_Importo", "edit_ScontoPrivato", "edit_Sconto",
                                              "edit_Compagnia", "edit_Collaboratore", "cmdSave", "cmdCancel"};
    // No stop at the calendar buttons nor at the movement's shown values.
    QTest::newRow("Pagamenti") << "Pagamenti"
                               << QStringList{"edit_Data", "edit_Contanti", "edit_Bonifico_Bancomat", "edit_Assegno",
                                              "edit_Anticipo", "edit_DataCopertura", "edit_TipoOperazione", "cmdSave",
                                              "cmdCancel", "cmdChooseParent"};
}

void PaymentPanelsTest::tabWalksTheFormInOrder()
{
    QFETCH(QString, table);
    QFETCH(QStringList, walk);
    const auto panel = keyboardPanel(table);
    QVERIFY(panel);
    QWidget *first = panel->findChild<QWidget *>(walk.first());
    first->setFocus();
    QStringList walked;
    for (QWidget *at = QApplication::focusWidget(); walked.size() <= walk.size(); at = QApplication::focusWidget()) {
        walked.append(at ? at->objectName() : QStringLiteral("<none>"));
        QTest::keyClick(at, Qt::Key_Tab);
        if (QApplication::focusWidget() == first)
            break;
    }
    QCOMPARE(walked, walk);
}

void PaymentPanelsTest::enterSavesFromAnyInput_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("typed");   // input, text, input, text...; each left with Tab
    QTest::addColumn<QString>("enterOn");     // where Enter is pressed, after the text typed there
    QTest::addColumn<QString>("enterText");
    QTest::addColumn<QString>("field");       // a stored field and its value as the panel shows it
    QTest::addColumn<QString>("value");
    QTest::newRow("Compagnie, in the last field")
        << "Compagnie" << QStringList{"edit_Codice", "ALFA", "edit_RagioneSociale", "Alfa Assicurazioni"}
        << "edit_Indirizzo" << "Via Po 1" << "Indirizzo" << "Via Po 1";
    QTest::newRow("Movimenti, in a field not yet left")
        << "Movimenti" << QStringList{"edit_Descrizione", "Polizza auto"} << "edit_Importo" << "100"
        << "ImportoInSospeso" << "100,00";
    QTest::newRow("Movimenti, on a combo")
        << "Movimenti" << QStringList{"edit_Descrizione", "Polizza auto", "edit_Importo", "80"} << "edit_Collaboratore"
        << QString() << "Importo" << "80,00";
    QTest::newRow("Pagamenti, in an amount")
        << "Pagamenti" << QStringList{"edit_Contanti", "30"} << "edit_Assegno" << "20" << "Assegno" << "20,00";
    QTest::newRow("Pagamenti, on the operation type")
        << "Pagamenti" << QStringList{"edit_Contanti", "30"} << "edit_TipoOperazione" << QString() << "Contanti" << "30,00";
}

// Enter stores the row from any input, the text typed there included; Tab leaves the others.
void PaymentPanelsTest::enterSavesFromAnyInput()
{
    QFETCH(QString, table);
    QFETCH(QStringList, typed);
    QFETCH(QString, enterOn);
    QFETCH(QString, enterText);
    QFETCH(QString, field);
    QFETCH(QString, value);
    const auto panel = keyboardPanel(table);
    QVERIFY(panel);
    const auto typeAt = [&](const QString &input, const QString &text) {
        auto *widget = panel->findChild<QWidget *>(input);
        QVERIFY2(widget && widget->isEnabled(), qPrintable(input));
        widget->setFocus();
        if (auto *line = qobject_cast<QLineEdit *>(widget))
            line->selectAll();
        QTest::keyClicks(widget, text);
    };
    for (qsizetype i = 0; i + 1 < typed.size(); i += 2) {
        typeAt(typed.at(i), typed.at(i + 1));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    typeAt(enterOn, enterText);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!panel->isVisible());
    QCOMPARE(panel->result(), int(QDialog::Accepted));
    QCOMPARE(storedText(table, panel->savedOid().toLongLong(), field), value);
    QVERIFY(m_sink.messages.isEmpty());
}

void PaymentPanelsTest::escapeAsksOnlyWhenSomethingChanged_data()
{
    QTest::addColumn<QString>("typed");    // typed in "Importo"
    QTest::addColumn<bool>("left");        // and left with Tab
    QTest::addColumn<bool>("answerOk");    // the answer to the question, when asked
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("closed");
    QTest::newRow("nothing typed") << QString() << false << false << false << true;
    QTest::newRow("written, stay") << "100" << true << false << true << false;
    QTest::newRow("written, leave") << "100" << true << true << true << true;
    QTest::newRow("typed, not yet left") << "100" << false << false << true << false;
    QTest::newRow("typed, not yet left, leave") << "100" << false << true << true << true;
}

void PaymentPanelsTest::escapeAsksOnlyWhenSomethingChanged()
{
    QFETCH(QString, typed);
    QFETCH(bool, left);
    QFETCH(bool, answerOk);
    QFETCH(bool, asked);
    QFETCH(bool, closed);
    const auto panel = keyboardPanel(QStringLiteral("Movimenti"));
    QVERIFY(panel);
    QLineEdit *amount = edit(*panel, QStringLiteral("Importo"));
    amount->setFocus();
    amount->selectAll();
    QTest::keyClicks(amount, typed);
    if (left)
        QTest::keyClick(amount, Qt::Key_Tab);
    m_sink.answerOk = answerOk;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCOMPARE(m_sink.questions, asked ? QStringList{QStringLiteral("Le modifiche non salvate andranno perse. Continuare?")} : QStringList());
    QCOMPARE(panel->isVisible(), !closed);
    if (closed)
        QCOMPARE(panel->result(), int(QDialog::Rejected));
    QVERIFY(view(QStringLiteral("Movimenti"))->IsEmpty());
}

void PaymentPanelsTest::pickerTellsMovementsApartAndNarrows_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("companies"); // the rows listed, by company
    QTest::addColumn<QString>("chosen");        // the outstanding amount of the movement Enter takes
    const QString alfa = QStringLiteral("Alfa Assicurazioni"), beta = QStringLiteral("Beta Rischi");
    const QString cattolica = QStringLiteral("Società Cattolica");
    QTest::newRow("nothing typed") << QString() << QStringList{alfa, beta, cattolica} << "100,00";
    QTest::newRow("a company, in another case") << "BETA" << QStringList{beta} << "200,00";
    QTest::newRow("a company, without its accent") << "societa" << QStringList{cattolica} << "300,00";
    QTest::newRow("a collaborator") << "bianc" << QStringList{beta, cattolica} << "200,00";
    QTest::newRow("a description") << "moto" << QStringList{cattolica} << "300,00";
    QTest::newRow("taken as it is") << "a*a" << QStringList{} << QString();
}

// Movements of the same description are told apart by their company and collaborator; what the
// operator types narrows the list in the archive, and Enter takes the first row listed.
void PaymentPanelsTest::pickerTellsMovementsApartAndNarrows()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, companies);
    QFETCH(QString, chosen);
    const auto add = [&](const QString &table, const QVariantList &values) {
        auto ds = view(table);
        return ds->AddRow(values) ? ds->Bookmark() : 0;
    };
    const qint64 rossi = add(QStringLiteral("Collaboratori"), {"Codice", "K1", "Nome", "Rossi"});
    const qint64 bianchi = add(QStringLiteral("Collaboratori"), {"Codice", "K2", "Nome", "Bianchi"});
    struct Movement {
        const char *description, *company;
        qint64 collaborator;
        int amount;
    };
    for (const Movement &m : {Movement{"Polizza auto", "Alfa Assicurazioni", rossi, 100}, {"Polizza auto", "Beta Rischi", bianchi, 200},
                              {"Polizza moto", "Società Cattolica", bianchi, 300}, {"Polizza casa", "Alfa Assicurazioni", rossi, 0}}) {
        const qint64 company = add(QStringLiteral("Compagnie"), {"Codice", QString::number(m.amount), "RagioneSociale", QString::fromUtf8(m.company)});
        QVERIFY(add(QStringLiteral("Movimenti"), {"Descrizione", m.description, "Importo", QVariant::fromValue(money(m.amount)),
                                                  "Compagnia", company, "Collaboratore", m.collaborator}));
    }
    EditPanelDialog panel(view(QStringLiteral("Pagamenti")), QString(), nullptr);
    QVERIFY(panel.startNew({}));
    panel.show();
    QVERIFY(QTest::qWaitForWindowActive(&panel));
    QStringList headers, listed;
    QString firstCompany;
    PanelDriver::whenShown<ParentChooser>(QStringLiteral("ParentChooser"), [&](ParentChooser *chooser) {
        const GridModel *model = chooser->model();
        for (int c = 0; c < model->columnCount(); ++c)
            headers.append(model->headerData(c, Qt::Horizontal).toString());
        QTRY_COMPARE(QApplication::focusWidget(), chooser->narrowingInput());
        if (!typed.isEmpty()) {
            QTest::keyClicks(chooser->narrowingInput(), typed);
            // Enter before the pause in typing is over shows the narrowed list first.
            QTest::keyClick(chooser->narrowingInput(), Qt::Key_Return);
            QVERIFY(chooser->isVisible());
        }
        const int company = model->columnOfField(QStringLiteral("Compagnia"));
        for (int r = 0; r < model->rowCount(); ++r)
            listed.append(model->index(r, company).data().toString());
        QTest::keyClick(chooser->narrowingInput(), Qt::Key_Return);
        if (chooser->isVisible())
            chooser->reject(); // nothing to take
    });
    // A new payment opens on the list of its movements: Enter there opens it.
    QCOMPARE(QApplication::focusWidget(), panel.findChild<QPushButton *>(QStringLiteral("cmdChooseParent")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(headers, (QStringList{"Descrizione", "Compagnia", "Collaboratore", "Importo", "Importo In Sospeso"}));
    QCOMPARE(listed, companies);
    QCOMPARE(shownParent(panel, QStringLiteral("ImportoInSospeso")), chosen);
}

COBRELLE_TEST_MAIN(PaymentPanelsTest)
#include "tst_paymentpanels.moc"
