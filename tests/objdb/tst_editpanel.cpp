// The editing panel on the program's own tables: inputs written through to the rules as they are
// finished, a payment's movement chosen first and followed live, save and discard, bad input.

#include "testsupport.h"

#include "objdb/amount.h"
#include "objdb/panel/editpanel.h"
#include "objdb/panel/editpaneldialog.h"
#include "objdb/panel/fieldtext.h"
#include "objdb/panel/parentchooser.h"
#include "objdb/types.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>

using namespace objdb;

namespace {

Amount money(int whole)
{
    return Amount::fromInteger(whole);
}

// Runs `action` on the first visible widget of type W named `name` once it appears (a modal
// dialog's loop is running by then); a watchdog closes it if the action left it open.
template <class W>
void whenShown(const QString &name, std::function<void(W *)> action, int triesLeft = 200)
{
    QTimer::singleShot(10, [=] {
        W *found = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *candidate = qobject_cast<W *>(w); candidate && candidate->isVisible() && w->objectName() == name)
                found = candidate;
        }
        if (!found) {
            if (triesLeft > 0)
                whenShown<W>(name, action, triesLeft - 1);
            return;
        }
        action(found);
        QPointer<W> guard(found);
        QTimer::singleShot(5000, [guard] {
            if (guard && guard->isVisible())
                guard->done(QDialog::Rejected);
        });
    });
}

} // namespace

class EditPanelTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void textAmountsAndDates();
    void inputsFollowTheDefinition();
    void movementShowsOutstandingAmountBeforeSaving();
    void paymentRoadThroughTwoPanels();
    void savedPaymentKeepsItsMovement();
    void cancelledPaymentLeavesMovementUnchanged();
    void rulesWritesAreShownAtOnce();
    void calendarPickWritesTheDate();
    void badInputIsToldAndNotWritten();
    void refusedWritePutsTheInputBack();
    void duplicateCodeKeepsPanelOpen();
    void editCurrentChangesTheRow();
    void returnGoesToTheNextInputAndPressesAFocusedButton();
    void paymentTypedWithTheKeyboardOnly();

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
    static QLineEdit *edit(QWidget &panel, const QString &field)
    {
        auto *w = panel.findChild<QLineEdit *>(QStringLiteral("edit_") + field);
        if (!w)
            qFatal("no input for %s", qPrintable(field));
        return w;
    }
    static QString shownParent(QWidget &panel, const QString &field)
    {
        return panel.findChild<QLineEdit *>(QStringLiteral("parent_") + field)->text();
    }
    static void type(QLineEdit *input, const QString &text)
    {
        input->selectAll();
        QTest::keyClick(input, Qt::Key_Backspace);
        QTest::keyClicks(input, text);
        QTest::keyClick(input, Qt::Key_Return);
    }
    qint64 newMovement(const QString &description, const QString &importo, const QString &sconto);
    // Chooses the movement through the chooser, checking it offers only `expectedRows` rows.
    void chooseThroughList(EditPanelDialog &panel, int expectedRows, const QString &description);

    std::unique_ptr<TestSupport::TempWorkDir> m_dir;
    std::unique_ptr<TestSupport::ScriptedMessages> m_answers;
    TestSupport::RecordingSink m_sink;
    TestSupport::Archive m_archive;
};

void EditPanelTest::init()
{
    m_dir = std::make_unique<TestSupport::TempWorkDir>();
    m_answers = std::make_unique<TestSupport::ScriptedMessages>();
    m_sink = {};
    m_archive = TestSupport::openArchive(m_dir->databasePath(), &m_sink);
}

void EditPanelTest::cleanup()
{
    m_archive = {};
    m_answers.reset();
    m_dir.reset();
}

qint64 EditPanelTest::newMovement(const QString &description, const QString &importo, const QString &sconto)
{
    EditPanelDialog panel(view(QStringLiteral("Movimenti")), QString(), nullptr);
    if (!panel.startNew({}))
        return 0;
    type(edit(panel, QStringLiteral("Descrizione")), description);
    type(edit(panel, QStringLiteral("Importo")), importo);
    type(edit(panel, QStringLiteral("Sconto")), sconto);
    return panel.save() ? panel.savedOid().toLongLong() : 0;
}

void EditPanelTest::chooseThroughList(EditPanelDialog &panel, int expectedRows, const QString &description)
{
    int listed = -1;
    QStringList headers;
    whenShown<ParentChooser>(QStringLiteral("ParentChooser"), [&](ParentChooser *chooser) {
        QTableWidget *list = chooser->list();
        listed = list->rowCount();
        for (int c = 0; c < list->columnCount(); ++c)
            headers.append(list->horizontalHeaderItem(c)->text());
        for (int r = 0; r < list->rowCount(); ++r) {
            if (list->item(r, 0)->text() == description)
                list->selectRow(r);
        }
        chooser->accept();
    });
    QTest::mouseClick(panel.findChild<QPushButton *>(QStringLiteral("cmdChooseParent")), Qt::LeftButton);
    QCOMPARE(listed, expectedRows);
    QCOMPARE(headers, (QStringList{QStringLiteral("Descrizione"), QStringLiteral("Importo"), QStringLiteral("Importo In Sospeso")}));
}

void EditPanelTest::textAmountsAndDates()
{
    QCOMPARE(FieldText::amount(QVariant::fromValue(Amount::fromUnits(12345600))), QStringLiteral("1.234,56"));
    QCOMPARE(FieldText::amount(QVariant::fromValue(Amount::fromUnits(105000))), QStringLiteral("10,50"));
    QCOMPARE(FieldText::amount(QVariant::fromValue(Amount::fromUnits(12345))), QStringLiteral("1,2345"));
    QCOMPARE(FieldText::amount(QVariant::fromValue(Amount::fromUnits(-1230))), QStringLiteral("-0,123"));
    QCOMPARE(FieldText::amount(QVariant()), QString());

    QCOMPARE(FieldText::parseAmount(QStringLiteral("1.234,56")).value.value<Amount>(), Amount::fromUnits(12345600));
    QCOMPARE(FieldText::parseAmount(QStringLiteral("10,5")).value.value<Amount>(), Amount::fromUnits(105000));
    QCOMPARE(FieldText::parseAmount(QStringLiteral("10.5")).value.value<Amount>(), Amount::fromUnits(105000));
    QVERIFY(FieldText::parseAmount(QStringLiteral("  ")).ok());
    QVERIFY(FieldText::parseAmount(QStringLiteral("  ")).value.isNull());
    QCOMPARE(FieldText::parseAmount(QStringLiteral("abc")).error, QStringLiteral("Importo non valido: «abc»."));

    QCOMPARE(FieldText::parseDate(QStringLiteral("1/2/2005")).value.toDate(), QDate(2005, 2, 1));
    QCOMPARE(FieldText::date(QDate(2005, 2, 1)), QStringLiteral("01/02/2005"));
    QVERIFY(FieldText::parseDate(QString()).value.isNull());
    QCOMPARE(FieldText::parseDate(QStringLiteral("31/02/2005")).error,
             QStringLiteral("Data non valida: «31/02/2005». Scrivere la data come gg/mm/aaaa."));
    QVERIFY(!FieldText::parseDate(QStringLiteral("2005-02-01")).ok());
}

void EditPanelTest::inputsFollowTheDefinition()
{
    EditPanelDialog movement(view(QStringLiteral("Movimenti")), QString(), nullptr);
    QVERIFY(movement.startNew({}));
    QCOMPARE(movement.objectName(), QStringLiteral("EditPanel"));
    QCOMPARE(movement.windowTitle(), QStringLiteral("Movimenti"));
    QCOMPARE(edit(movement, QStringLiteral("Descrizione"))->maxLength(), 64);
    QVERIFY(!edit(movement, QStringLiteral("ImportoInSospeso"))->isEnabled());
    auto *paid = movement.findChild<QCheckBox *>(QStringLiteral("edit_Pagato"));
    QVERIFY(paid && !paid->isEnabled());
    auto *company = movement.findChild<QComboBox *>(QStringLiteral("edit_Compagnia"));
    QVERIFY(company && !company->isEditable());
    QCOMPARE(company->itemText(0), QString());
    QVERIFY(movement.findChild<QPushButton *>(QStringLiteral("cmdSave")));
    QVERIFY(!movement.findChild<QPushButton *>(QStringLiteral("cmdChooseParent")));

    EditPanelDialog oper(view(QStringLiteral("Operatori")), QString(), nullptr);
    QVERIFY(oper.startNew({}));
    QCOMPARE(edit(oper, QStringLiteral("Password"))->echoMode(), QLineEdit::Password);

    // A payment waits for its movement; its operation types come ordered by code.
    EditPanelDialog payment(view(QStringLiteral("Pagamenti")), QStringLiteral("Nuovo pagamento"), nullptr);
    QVERIFY(payment.startNew({QStringLiteral("Operatore"), QStringLiteral("Mario")}));
    QCOMPARE(payment.windowTitle(), QStringLiteral("Nuovo pagamento"));
    QCOMPARE(edit(payment, QStringLiteral("Operatore"))->text(), QStringLiteral("Mario"));
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

void EditPanelTest::movementShowsOutstandingAmountBeforeSaving()
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
    QCOMPARE(panel.result(), int(QDialog::Accepted));
    const qint64 oid = panel.savedOid().toLongLong();
    QVERIFY(oid > 0);
    QCOMPARE(stored(QStringLiteral("Movimenti"), oid, QStringLiteral("ImportoInSospeso")).value<Amount>(), money(90));
    QCOMPARE(stored(QStringLiteral("Movimenti"), oid, QStringLiteral("Pagato")).toBool(), false);
}

void EditPanelTest::paymentRoadThroughTwoPanels()
{
    const qint64 movement = newMovement(QStringLiteral("Polizza auto"), QStringLiteral("100"), QStringLiteral("10"));
    QVERIFY(movement > 0);
    // Already covered: never offered as a payment's movement.
    QVERIFY(view(QStringLiteral("Movimenti"))->AddRow({QStringLiteral("Descrizione"), QStringLiteral("Saldato"),
                                                      QStringLiteral("Importo"), QVariant::fromValue(Amount())}));

    EditPanelDialog first(view(QStringLiteral("Pagamenti")), QString(), nullptr);
    QVERIFY(first.startNew({QStringLiteral("Operatore"), QStringLiteral("Mario")}));
    first.show();
    chooseThroughList(first, 1, QStringLiteral("Polizza auto"));
    QCOMPARE(first.findChild<QComboBox *>(QStringLiteral("edit_TipoOperazione"))->currentText(),
             QStringLiteral("Incasso Sospeso"));
    QCOMPARE(shownParent(first, QStringLiteral("Descrizione")), QStringLiteral("Polizza auto"));
    QCOMPARE(shownParent(first, QStringLiteral("ImportoInSospeso")), QStringLiteral("90,00"));
    QVERIFY(edit(first, QStringLiteral("Contanti"))->isEnabled());
    // The keyboard goes on in the payment's own first input.
    QCOMPARE(first.focusWidget(), edit(first, QStringLiteral("Data")));

    type(edit(first, QStringLiteral("Contanti")), QStringLiteral("50"));
    QCOMPARE(shownParent(first, QStringLiteral("ImportoInSospeso")), QStringLiteral("40,00"));
    type(edit(first, QStringLiteral("Assegno")), QStringLiteral("30"));
    QCOMPARE(shownParent(first, QStringLiteral("ImportoInSospeso")), QStringLiteral("10,00"));
    QVERIFY(!first.findChild<QCheckBox *>(QStringLiteral("parent_Pagato"))->isChecked());
    // Amounts already charged to this movement would not follow the payment to another one.
    QVERIFY(!first.findChild<QPushButton *>(QStringLiteral("cmdChooseParent"))->isEnabled());
    QVERIFY(first.save());
    const qint64 payment = first.savedOid().toLongLong();
    QCOMPARE(stored(QStringLiteral("Movimenti"), movement, QStringLiteral("ImportoInSospeso")).value<Amount>(), money(10));
    QCOMPARE(stored(QStringLiteral("Movimenti"), movement, QStringLiteral("Pagato")).toBool(), false);
    QCOMPARE(stored(QStringLiteral("Pagamenti"), payment, QStringLiteral("Operatore")).toString(), QStringLiteral("Mario"));
    QCOMPARE(stored(QStringLiteral("Pagamenti"), payment, QStringLiteral("Cod_TipoOperazione")).toString(), QStringLiteral("07"));
    QCOMPARE(stored(QStringLiteral("Pagamenti"), payment, QStringLiteral("Contanti")).value<Amount>(), money(50));

    // The second payment goes through the modal panel the program opens.
    whenShown<EditPanelDialog>(QStringLiteral("EditPanel"), [&](EditPanelDialog *panel) {
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

void EditPanelTest::savedPaymentKeepsItsMovement()
{
    const qint64 movement = newMovement(QStringLiteral("Polizza"), QStringLiteral("100"), QStringLiteral("0"));
    EditPanelDialog draft(view(QStringLiteral("Pagamenti")), QString(), nullptr);
    QVERIFY(draft.startNew({}));
    // A payment without its movement is not stored.
    QVERIFY(!draft.save());
    QCOMPARE(m_sink.messages.size(), 1);
    QVERIFY(draft.setParent(movement));
    QVERIFY(draft.save());

    auto payments = view(QStringLiteral("Pagamenti"));
    QVERIFY(payments->FindOID(draft.savedOid().toLongLong()));
    EditPanelDialog saved(payments, QString(), nullptr);
    QVERIFY(saved.startCurrent(payments->Bookmark(), {}));
    QVERIFY(!saved.findChild<QPushButton *>(QStringLiteral("cmdChooseParent"))->isEnabled());
    QVERIFY(edit(saved, QStringLiteral("Contanti"))->isEnabled());
    QCOMPARE(shownParent(saved, QStringLiteral("Descrizione")), QStringLiteral("Polizza"));
}

void EditPanelTest::cancelledPaymentLeavesMovementUnchanged()
{
    const qint64 movement = newMovement(QStringLiteral("Polizza"), QStringLiteral("100"), QStringLiteral("10"));
    EditPanelDialog panel(view(QStringLiteral("Pagamenti")), QString(), nullptr);
    QVERIFY(panel.startNew({}));
    panel.show();
    QVERIFY(panel.setParent(movement));
    type(edit(panel, QStringLiteral("Contanti")), QStringLiteral("50"));
    type(edit(panel, QStringLiteral("Anticipo")), QStringLiteral("20"));
    QCOMPARE(shownParent(panel, QStringLiteral("ImportoInSospeso")), QStringLiteral("20,00"));

    m_sink.answerOk = false; // "Continuare?" — no: the panel stays
    QTest::mouseClick(panel.findChild<QPushButton *>(QStringLiteral("cmdCancel")), Qt::LeftButton);
    QVERIFY(panel.isVisible());
    QCOMPARE(m_sink.questions, QStringList{QStringLiteral("Le modifiche non salvate andranno perse. Continuare?")});

    m_sink.answerOk = true;
    QTest::keyClick(&panel, Qt::Key_Escape);
    QVERIFY(!panel.isVisible());
    QCOMPARE(panel.result(), int(QDialog::Rejected));
    QVERIFY(panel.savedOid().isNull());
    QCOMPARE(stored(QStringLiteral("Movimenti"), movement, QStringLiteral("ImportoInSospeso")).value<Amount>(), money(90));
    QVERIFY(view(QStringLiteral("Pagamenti"))->IsEmpty());

    // Nothing typed: closing asks nothing.
    m_sink.questions.clear();
    EditPanelDialog untouched(view(QStringLiteral("Movimenti")), QString(), nullptr);
    QVERIFY(untouched.startNew({}));
    untouched.reject();
    QVERIFY(m_sink.questions.isEmpty());
}

void EditPanelTest::rulesWritesAreShownAtOnce()
{
    const qint64 movement = newMovement(QStringLiteral("Polizza"), QStringLiteral("100"), QStringLiteral("0"));
    EditPanelDialog panel(view(QStringLiteral("Pagamenti")), QString(), nullptr);
    QVERIFY(panel.startNew({}));
    QVERIFY(panel.setParent(movement));
    const QString today = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    QCOMPARE(edit(panel, QStringLiteral("DataCopertura"))->text(), today);

    // The date question answered No puts today back in the input.
    m_answers->push(MessageService::Answer::No);
    type(edit(panel, QStringLiteral("Data")), QStringLiteral("01/01/2005"));
    QCOMPARE(m_answers->texts(), QStringList{QStringLiteral("Confermi il cambio della data del Movimento?")});
    QCOMPARE(edit(panel, QStringLiteral("Data"))->text(), today);

    type(edit(panel, QStringLiteral("Anticipo")), QStringLiteral("5"));
    QCOMPARE(edit(panel, QStringLiteral("DataCopertura"))->text(), QString());
    QCOMPARE(edit(panel, QStringLiteral("Anticipo"))->text(), QStringLiteral("5,00"));
    QCOMPARE(shownParent(panel, QStringLiteral("ImportoInSospeso")), QStringLiteral("95,00"));
}

void EditPanelTest::calendarPickWritesTheDate()
{
    const qint64 movement = newMovement(QStringLiteral("Polizza"), QStringLiteral("100"), QStringLiteral("0"));
    EditPanelDialog panel(view(QStringLiteral("Pagamenti")), QString(), nullptr);
    QVERIFY(panel.startNew({}));
    QVERIFY(!panel.findChild<QToolButton *>(QStringLiteral("cal_Data"))->isEnabled());
    QVERIFY(panel.setParent(movement));
    auto *button = panel.findChild<QToolButton *>(QStringLiteral("cal_Data"));
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    auto *calendar = panel.findChild<QCalendarWidget *>(QStringLiteral("calendarPopup"));
    QVERIFY(calendar && calendar->isVisible());
    QCOMPARE(calendar->selectedDate(), QDate::currentDate());

    m_answers->push(MessageService::Answer::Yes); // keep the other date
    emit calendar->clicked(QDate(2005, 3, 4));
    QCOMPARE(edit(panel, QStringLiteral("Data"))->text(), QStringLiteral("04/03/2005"));
    QCOMPARE(panel.dataSource().GetField(QStringLiteral("Data")).toDate(), QDate(2005, 3, 4));
    QCOMPARE(m_answers->seen().size(), 1);

    // From the keyboard: F4 opens the calendar on the typed date.
    QTRY_VERIFY(!panel.findChild<QCalendarWidget *>(QStringLiteral("calendarPopup"))); // gone once picked
    QTest::keyClick(edit(panel, QStringLiteral("Data")), Qt::Key_F4);
    auto *again = panel.findChild<QCalendarWidget *>(QStringLiteral("calendarPopup"));
    QVERIFY(again && again->isVisible());
    QCOMPARE(again->selectedDate(), QDate(2005, 3, 4));
    again->close();

    // Emptied by hand: no date at all.
    type(edit(panel, QStringLiteral("DataCopertura")), QString());
    QCOMPARE(edit(panel, QStringLiteral("DataCopertura"))->text(), QString());
    QVERIFY(panel.dataSource().GetField(QStringLiteral("DataCopertura")).isNull());
}

void EditPanelTest::badInputIsToldAndNotWritten()
{
    const qint64 movement = newMovement(QStringLiteral("Polizza"), QStringLiteral("100"), QStringLiteral("0"));
    EditPanelDialog panel(view(QStringLiteral("Pagamenti")), QString(), nullptr);
    QVERIFY(panel.startNew({}));
    QVERIFY(panel.setParent(movement));

    type(edit(panel, QStringLiteral("Contanti")), QStringLiteral("abc"));
    QCOMPARE(m_sink.messages, QStringList{QStringLiteral("Importo non valido: «abc».")});
    QCOMPARE(edit(panel, QStringLiteral("Contanti"))->text(), QStringLiteral("0,00"));
    // The Return that finished the refused text leaves the keyboard on that input.
    QCOMPARE(panel.focusWidget(), edit(panel, QStringLiteral("Contanti")));
    QCOMPARE(panel.dataSource().GetField(QStringLiteral("Contanti")).value<Amount>(), money(0));
    QCOMPARE(shownParent(panel, QStringLiteral("ImportoInSospeso")), QStringLiteral("100,00"));

    type(edit(panel, QStringLiteral("Data")), QStringLiteral("31/02/2005"));
    QCOMPARE(m_sink.messages.last(), QStringLiteral("Data non valida: «31/02/2005». Scrivere la data come gg/mm/aaaa."));
    QCOMPARE(panel.dataSource().GetField(QStringLiteral("Data")).toDate(), QDate::currentDate());
    QVERIFY(m_answers->seen().isEmpty()); // the date rule never ran

    // Save writes the unfinished input first: bad text there stops the save.
    edit(panel, QStringLiteral("Assegno"))->setText(QStringLiteral("1,2,3"));
    QVERIFY(!panel.save());
    QCOMPARE(m_sink.messages.last(), QStringLiteral("Importo non valido: «1,2,3»."));
    QVERIFY(view(QStringLiteral("Pagamenti"))->IsEmpty());

    // Bad text finished by the click on Save (the input loses the focus first) stops that Save too.
    type(edit(panel, QStringLiteral("Assegno")), QStringLiteral("x"));
    QVERIFY(!panel.save());
    QVERIFY(view(QStringLiteral("Pagamenti"))->IsEmpty());
    QVERIFY(panel.save());
    QCOMPARE(view(QStringLiteral("Pagamenti"))->RecordCount(), 1);
}

void EditPanelTest::refusedWritePutsTheInputBack()
{
    QVERIFY(view(QStringLiteral("Compagnie"))->AddRow({QStringLiteral("Codice"), QStringLiteral("C1"),
                                                      QStringLiteral("RagioneSociale"), QStringLiteral("Alfa")}));
    EditPanelDialog panel(view(QStringLiteral("Movimenti")), QString(), nullptr);
    QVERIFY(panel.startNew({}));
    auto *company = panel.findChild<QComboBox *>(QStringLiteral("edit_Compagnia"));
    QCOMPARE(company->count(), 2);
    // The company goes away while the list is open: the choice is refused and undone.
    auto companies = view(QStringLiteral("Compagnie"));
    QVERIFY(companies->FindFirst(QStringLiteral("Codice='C1'")));
    QVERIFY(companies->DeleteCurrentRow());
    company->setCurrentIndex(1);
    emit company->activated(1);
    QCOMPARE(company->currentIndex(), 0);
    QCOMPARE(m_sink.messages.size(), 1);
    QVERIFY(m_sink.messages.first().contains(QStringLiteral("non esiste")));
    QVERIFY(panel.dataSource().GetField(QStringLiteral("Compagnia")).isNull());
}

void EditPanelTest::duplicateCodeKeepsPanelOpen()
{
    QVERIFY(view(QStringLiteral("Compagnie"))->AddRow({QStringLiteral("Codice"), QStringLiteral("C1"),
                                                      QStringLiteral("RagioneSociale"), QStringLiteral("Alfa")}));
    EditPanelDialog panel(view(QStringLiteral("Compagnie")), QString(), nullptr);
    QVERIFY(panel.startNew({}));
    panel.show();
    type(edit(panel, QStringLiteral("Codice")), QStringLiteral("C1"));
    type(edit(panel, QStringLiteral("RagioneSociale")), QStringLiteral("Beta"));
    QTest::mouseClick(panel.findChild<QPushButton *>(QStringLiteral("cmdSave")), Qt::LeftButton);
    QVERIFY(panel.isVisible());
    QVERIFY(panel.savedOid().isNull());
    QCOMPARE(m_sink.messages.size(), 1);
    QVERIFY(m_sink.messages.first().startsWith(QStringLiteral("Impossibile salvare:")));
    QCOMPARE(edit(panel, QStringLiteral("RagioneSociale"))->text(), QStringLiteral("Beta"));
    QCOMPARE(view(QStringLiteral("Compagnie"))->RecordCount(), 1);

    // Corrected, the same panel stores the row.
    type(edit(panel, QStringLiteral("Codice")), QStringLiteral("C2"));
    QVERIFY(panel.save());
    QCOMPARE(view(QStringLiteral("Compagnie"))->RecordCount(), 2);
}

void EditPanelTest::editCurrentChangesTheRow()
{
    const qint64 movement = newMovement(QStringLiteral("Polizza"), QStringLiteral("100"), QStringLiteral("10"));
    auto movements = view(QStringLiteral("Movimenti"));
    QVERIFY(movements->FindOID(movement));
    whenShown<EditPanelDialog>(QStringLiteral("EditPanel"), [&](EditPanelDialog *panel) {
        QCOMPARE(panel->windowTitle(), QStringLiteral("Scheda movimento"));
        QCOMPARE(edit(*panel, QStringLiteral("Descrizione"))->text(), QStringLiteral("Polizza"));
        type(edit(*panel, QStringLiteral("Sconto")), QStringLiteral("20"));
        QCOMPARE(edit(*panel, QStringLiteral("ImportoInSospeso"))->text(), QStringLiteral("80,00"));
        QTest::mouseClick(panel->findChild<QPushButton *>(QStringLiteral("cmdSave")), Qt::LeftButton);
    });
    const QVariant saved = EditPanel::editCurrent(movements, {}, QStringLiteral("Scheda movimento"), nullptr);
    QCOMPARE(saved.toLongLong(), movement);
    QCOMPARE(stored(QStringLiteral("Movimenti"), movement, QStringLiteral("ImportoInSospeso")).value<Amount>(), money(80));

    // Cancelled: Null, and the file keeps the stored values.
    whenShown<EditPanelDialog>(QStringLiteral("EditPanel"), [&](EditPanelDialog *panel) {
        type(edit(*panel, QStringLiteral("Importo")), QStringLiteral("500"));
        m_sink.answerOk = true;
        panel->reject();
    });
    QVERIFY(EditPanel::editCurrent(movements, {}, QString(), nullptr).isNull());
    QCOMPARE(stored(QStringLiteral("Movimenti"), movement, QStringLiteral("Importo")).value<Amount>(), money(100));
}

void EditPanelTest::returnGoesToTheNextInputAndPressesAFocusedButton()
{
    EditPanelDialog panel(view(QStringLiteral("Compagnie")), QString(), nullptr);
    QVERIFY(panel.startNew({}));
    panel.show();
    QVERIFY(QTest::qWaitForWindowActive(&panel));
    QLineEdit *code = edit(panel, QStringLiteral("Codice"));
    code->setFocus();
    QTest::keyClicks(code, QStringLiteral("C7"));
    QTest::keyClick(code, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), edit(panel, QStringLiteral("RagioneSociale")));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Gamma"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // through the address, left empty
    QVERIFY(panel.isVisible());
    QVERIFY(panel.savedOid().isNull());
    QCOMPARE(view(QStringLiteral("Compagnie"))->RecordCount(), 0);

    auto *save = panel.findChild<QPushButton *>(QStringLiteral("cmdSave"));
    QCOMPARE(QApplication::focusWidget(), save);
    QTest::keyClick(save, Qt::Key_Return);
    QVERIFY(!panel.isVisible());
    QVERIFY(!panel.savedOid().isNull());
    QCOMPARE(stored(QStringLiteral("Compagnie"), panel.savedOid().toLongLong(), QStringLiteral("RagioneSociale")).toString(),
             QStringLiteral("Gamma"));
}

// The payment road as a keyboard user goes it: Return from input to input, amounts typed over the
// shown zeros, Return on Save.
void EditPanelTest::paymentTypedWithTheKeyboardOnly()
{
    const qint64 movement = newMovement(QStringLiteral("Polizza casa"), QStringLiteral("100"), QStringLiteral("10"));
    EditPanelDialog panel(view(QStringLiteral("Pagamenti")), QString(), nullptr);
    QVERIFY(panel.startNew({}));
    panel.show();
    QVERIFY(QTest::qWaitForWindowActive(&panel));
    chooseThroughList(panel, 1, QStringLiteral("Polizza casa"));
    const auto typeHere = [&](const QString &text) {
        if (!text.isEmpty())
            QTest::keyClicks(panel.focusWidget(), text);
        QTest::keyClick(panel.focusWidget(), Qt::Key_Return);
    };
    QCOMPARE(panel.focusWidget(), edit(panel, QStringLiteral("Data")));
    typeHere(QString());
    QCOMPARE(panel.focusWidget(), edit(panel, QStringLiteral("Contanti")));
    typeHere(QStringLiteral("50"));
    QCOMPARE(shownParent(panel, QStringLiteral("ImportoInSospeso")), QStringLiteral("40,00"));
    QCOMPARE(panel.focusWidget(), edit(panel, QStringLiteral("Bonifico_Bancomat")));
    typeHere(QString());
    typeHere(QStringLiteral("30"));
    QCOMPARE(shownParent(panel, QStringLiteral("ImportoInSospeso")), QStringLiteral("10,00"));
    QCOMPARE(panel.focusWidget(), edit(panel, QStringLiteral("Anticipo")));
    for (int input = 0; input < 8 && panel.isVisible(); ++input)
        typeHere(QString()); // on to Save, which Return presses
    QVERIFY(!panel.isVisible());
    const qint64 payment = panel.savedOid().toLongLong();
    QCOMPARE(stored(QStringLiteral("Pagamenti"), payment, QStringLiteral("Contanti")).value<Amount>(), money(50));
    QCOMPARE(stored(QStringLiteral("Pagamenti"), payment, QStringLiteral("Bonifico_Bancomat")).value<Amount>(), money(0));
    QCOMPARE(stored(QStringLiteral("Pagamenti"), payment, QStringLiteral("Assegno")).value<Amount>(), money(30));
    QCOMPARE(stored(QStringLiteral("Movimenti"), movement, QStringLiteral("ImportoInSospeso")).value<Amount>(), money(10));
}

COBRELLE_TEST_MAIN(EditPanelTest)
#include "tst_editpanel.moc"
