// The editing panel over the tests' own tables: inputs built from the definition, written through
// to the rules as they are finished and the rules' writes shown at once, a child's parent chosen
// first and followed live, save and discard, bad input, the keyboard (Tab from input to input,
// Enter stores the row).

#include "objdbtestsupport.h"
#include "paneldriver.h"
#include "testschema.h"

#include "objdb/amount.h"
#include "objdb/datasource.h"
#include "objdb/panel/editpanel.h"
#include "objdb/panel/editpaneldialog.h"
#include "objdb/panel/fieldtext.h"
#include "objdb/types.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using namespace objdb;
using PanelDriver::edit;
using PanelDriver::shownParent;
using PanelDriver::type;
using PanelDriver::whenShown;

namespace {

Amount money(int whole)
{
    return Amount::fromInteger(whole);
}

QStringList items(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts.append(combo->itemText(i));
    return texts;
}

QString dateText(const QDate &date)
{
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

} // namespace

class EditPanelTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void textAmountsAndDates();
    void inputsFollowTheDefinition();
    void rulesWritesAreShownBeforeSaving();
    void depositRoadThroughTwoPanels();
    void savedChildKeepsItsParent();
    void cancelledChildLeavesParentUnchanged();
    void rulesWritesToTheInputInHandAreShown();
    void calendarPickWritesTheDate();
    void badInputIsToldAndNotWritten();
    void refusedWritePutsTheInputBack();
    void duplicateCodeKeepsPanelOpen();
    void editCurrentChangesTheRow();
    void returnSavesOrPressesAFocusedButton();
    void depositTypedWithTheKeyboardOnly();

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
    // A new account typed into its panel and saved; its OID, 0 when refused.
    qint64 newAccount(const QString &description, const QString &amount);
    // Chooses the account through the chooser, checking it offers only `expectedRows` rows.
    void chooseThroughList(EditPanelDialog &panel, int expectedRows, const QString &description);

    std::unique_ptr<TestSupport::TempWorkDir> m_dir;
    TestSupport::RecordingSink m_sink;
    TestSupport::Archive m_archive;
};

void EditPanelTest::init()
{
    m_dir = std::make_unique<TestSupport::TempWorkDir>();
    m_sink = {};
    m_archive = TestSchema::openArchive(m_dir->databasePath(), &m_sink);
    // Stored out of the order of their codes and of their descriptions.
    auto kinds = view(QStringLiteral("Causali"));
    for (const auto &[code, description] : {std::pair{"03", "Storno"}, {"01", "Versamento"}, {"02", "Rimborso"}})
        QVERIFY(kinds->AddRow({QStringLiteral("Codice"), QString::fromLatin1(code), QStringLiteral("Descrizione"),
                               QString::fromLatin1(description)}));
}

void EditPanelTest::cleanup()
{
    m_archive = {};
    m_dir.reset();
}

qint64 EditPanelTest::newAccount(const QString &description, const QString &amount)
{
    EditPanelDialog panel(view(QStringLiteral("Conti")), QString(), nullptr);
    if (!panel.startNew({}))
        return 0;
    type(edit(panel, QStringLiteral("Descrizione")), description);
    type(edit(panel, QStringLiteral("Importo")), amount);
    return panel.save() ? panel.savedOid().toLongLong() : 0;
}

void EditPanelTest::chooseThroughList(EditPanelDialog &panel, int expectedRows, const QString &description)
{
    const PanelDriver::ChooserList listed = PanelDriver::chooseParent(panel, description);
    QCOMPARE(listed.rows, expectedRows);
    // The parent's indexed and computed columns, yes/no ones aside, its texts and references first.
    QCOMPARE(listed.headers, (QStringList{QStringLiteral("Descrizione"), QStringLiteral("Causale"), QStringLiteral("Importo"),
                                          QStringLiteral("Residuo")}));
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
    EditPanelDialog account(view(QStringLiteral("Conti")), QString(), nullptr);
    QVERIFY(account.startNew({}));
    QCOMPARE(account.objectName(), QStringLiteral("EditPanel"));
    QCOMPARE(account.windowTitle(), QStringLiteral("Conti clienti"));
    // A text longer than its column is refused as written, not cut short in the input.
    type(edit(account, QStringLiteral("Descrizione")), QString(41, QLatin1Char('d')));
    QCOMPARE(m_sink.messages.last(), QStringLiteral("Il testo del campo Descrizione supera la lunghezza massima di 40 caratteri."));
    QVERIFY(edit(account, QStringLiteral("Importo"))->isEnabled());
    QVERIFY(!edit(account, QStringLiteral("Residuo"))->isEnabled());
    auto *settled = account.findChild<QCheckBox *>(QStringLiteral("edit_Saldato"));
    QVERIFY(settled && !settled->isEnabled());
    // A reference is chosen from a list, by default in the referenced table's default order.
    auto *reason = account.findChild<QComboBox *>(QStringLiteral("edit_Causale"));
    QVERIFY(reason && !reason->isEditable());
    QCOMPARE(items(reason), (QStringList{QString(), "Rimborso", "Storno", "Versamento"}));
    QVERIFY(account.findChild<QPushButton *>(QStringLiteral("cmdSave")));
    QVERIFY(!account.findChild<QPushButton *>(QStringLiteral("cmdChooseParent")));

    EditPanelDialog kind(view(QStringLiteral("Causali")), QString(), nullptr);
    QVERIFY(kind.startNew({}));
    QCOMPARE(kind.windowTitle(), QStringLiteral("Causali"));
    QCOMPARE(edit(kind, QStringLiteral("Password"))->echoMode(), QLineEdit::Password);
    QCOMPARE(edit(kind, QStringLiteral("Descrizione"))->echoMode(), QLineEdit::Normal);

    // A child waits for its parent; the presets are written and shown; the rules order the list
    // of a reference.
    EditPanelDialog deposit(view(QStringLiteral("Versamenti")), QStringLiteral("Nuovo versamento"), nullptr);
    QVERIFY(deposit.startNew({QStringLiteral("Cassiere"), QStringLiteral("Mario")}));
    QCOMPARE(deposit.windowTitle(), QStringLiteral("Nuovo versamento"));
    QCOMPARE(edit(deposit, QStringLiteral("Cassiere"))->text(), QStringLiteral("Mario"));
    QVERIFY(!edit(deposit, QStringLiteral("Contanti"))->isEnabled());
    QVERIFY(deposit.findChild<QPushButton *>(QStringLiteral("cmdChooseParent"))->isEnabled());
    QCOMPARE(items(deposit.findChild<QComboBox *>(QStringLiteral("edit_Tipo"))),
             (QStringList{QString(), "Versamento", "Rimborso", "Storno"}));
}

void EditPanelTest::rulesWritesAreShownBeforeSaving()
{
    EditPanelDialog panel(view(QStringLiteral("Conti")), QString(), nullptr);
    QVERIFY(panel.startNew({}));
    auto *settled = panel.findChild<QCheckBox *>(QStringLiteral("edit_Saldato"));
    type(edit(panel, QStringLiteral("Descrizione")), QStringLiteral("Conto Rossi"));
    type(edit(panel, QStringLiteral("Importo")), QStringLiteral("0"));
    QVERIFY(settled->isChecked());
    type(edit(panel, QStringLiteral("Importo")), QStringLiteral("100"));
    QCOMPARE(edit(panel, QStringLiteral("Importo"))->text(), QStringLiteral("100,00"));
    QCOMPARE(edit(panel, QStringLiteral("Residuo"))->text(), QStringLiteral("100,00"));
    QVERIFY(!settled->isChecked());
    QVERIFY(view(QStringLiteral("Conti"))->IsEmpty());

    QVERIFY(panel.save());
    QCOMPARE(panel.result(), int(QDialog::Accepted));
    const qint64 oid = panel.savedOid().toLongLong();
    QVERIFY(oid > 0);
    QCOMPARE(stored(QStringLiteral("Conti"), oid, QStringLiteral("Residuo")).value<Amount>(), money(100));
    QCOMPARE(stored(QStringLiteral("Conti"), oid, QStringLiteral("Saldato")).toBool(), false);
}

void EditPanelTest::depositRoadThroughTwoPanels()
{
    const qint64 account = newAccount(QStringLiteral("Conto Rossi"), QStringLiteral("100"));
    QVERIFY(account > 0);
    // Already settled: never offered as a deposit's account.
    QVERIFY(view(QStringLiteral("Conti"))->AddRow({QStringLiteral("Descrizione"), QStringLiteral("Chiuso"),
                                                  QStringLiteral("Importo"), QVariant::fromValue(Amount())}));

    EditPanelDialog first(view(QStringLiteral("Versamenti")), QString(), nullptr);
    QVERIFY(first.startNew({QStringLiteral("Cassiere"), QStringLiteral("Mario")}));
    first.show();
    chooseThroughList(first, 1, QStringLiteral("Conto Rossi"));
    // Written by the rules as the account was chosen.
    QCOMPARE(first.findChild<QComboBox *>(QStringLiteral("edit_Tipo"))->currentText(), QStringLiteral("Versamento"));
    QCOMPARE(shownParent(first, QStringLiteral("Descrizione")), QStringLiteral("Conto Rossi"));
    QCOMPARE(shownParent(first, QStringLiteral("Residuo")), QStringLiteral("100,00"));
    QVERIFY(edit(first, QStringLiteral("Contanti"))->isEnabled());
    // The keyboard goes on in the child's own first input.
    QCOMPARE(first.focusWidget(), edit(first, QStringLiteral("Data")));

    type(edit(first, QStringLiteral("Contanti")), QStringLiteral("50"));
    QCOMPARE(shownParent(first, QStringLiteral("Residuo")), QStringLiteral("50,00"));
    type(edit(first, QStringLiteral("Assegno")), QStringLiteral("30"));
    QCOMPARE(shownParent(first, QStringLiteral("Residuo")), QStringLiteral("20,00"));
    QVERIFY(!first.findChild<QCheckBox *>(QStringLiteral("parent_Saldato"))->isChecked());
    // Amounts already charged to this account would not follow the deposit to another one.
    QVERIFY(!first.findChild<QPushButton *>(QStringLiteral("cmdChooseParent"))->isEnabled());
    QVERIFY(first.save());
    const qint64 deposit = first.savedOid().toLongLong();
    QCOMPARE(stored(QStringLiteral("Conti"), account, QStringLiteral("Residuo")).value<Amount>(), money(20));
    QCOMPARE(stored(QStringLiteral("Conti"), account, QStringLiteral("Saldato")).toBool(), false);
    QCOMPARE(stored(QStringLiteral("Versamenti"), deposit, QStringLiteral("Cassiere")).toString(), QStringLiteral("Mario"));
    QCOMPARE(stored(QStringLiteral("Versamenti"), deposit, QStringLiteral("Cod_Tipo")).toString(), QStringLiteral("01"));
    QCOMPARE(stored(QStringLiteral("Versamenti"), deposit, QStringLiteral("Contanti")).value<Amount>(), money(50));

    // The second deposit goes through the modal panel of EditPanel::editNew.
    whenShown<EditPanelDialog>(QStringLiteral("EditPanel"), [&](EditPanelDialog *panel) {
        panel->setParent(account);
        type(edit(*panel, QStringLiteral("Contanti")), QStringLiteral("20"));
        QCOMPARE(shownParent(*panel, QStringLiteral("Residuo")), QStringLiteral("0,00"));
        QVERIFY(panel->findChild<QCheckBox *>(QStringLiteral("parent_Saldato"))->isChecked());
        QTest::mouseClick(panel->findChild<QPushButton *>(QStringLiteral("cmdSave")), Qt::LeftButton);
    });
    const QVariant second = EditPanel::editNew(view(QStringLiteral("Versamenti")), {QStringLiteral("Cassiere"), QStringLiteral("Mario")}, nullptr);
    QVERIFY(second.toLongLong() > deposit);
    QCOMPARE(stored(QStringLiteral("Conti"), account, QStringLiteral("Residuo")).value<Amount>(), money(0));
    QCOMPARE(stored(QStringLiteral("Conti"), account, QStringLiteral("Saldato")).toBool(), true);
    QVERIFY(m_sink.messages.isEmpty());
}

void EditPanelTest::savedChildKeepsItsParent()
{
    const qint64 account = newAccount(QStringLiteral("Conto"), QStringLiteral("100"));
    EditPanelDialog draft(view(QStringLiteral("Versamenti")), QString(), nullptr);
    QVERIFY(draft.startNew({}));
    // A child without its parent is not stored.
    QVERIFY(!draft.save());
    QCOMPARE(m_sink.messages, QStringList{QStringLiteral("Scegliere prima la riga di Conti clienti a cui appartiene.")});
    QVERIFY(view(QStringLiteral("Versamenti"))->IsEmpty());
    QVERIFY(draft.setParent(account));
    QVERIFY(draft.save());

    auto deposits = view(QStringLiteral("Versamenti"));
    QVERIFY(deposits->FindOID(draft.savedOid().toLongLong()));
    EditPanelDialog saved(deposits, QString(), nullptr);
    QVERIFY(saved.startCurrent(deposits->Bookmark(), {}));
    QVERIFY(!saved.findChild<QPushButton *>(QStringLiteral("cmdChooseParent"))->isEnabled());
    QVERIFY(edit(saved, QStringLiteral("Contanti"))->isEnabled());
    QCOMPARE(shownParent(saved, QStringLiteral("Descrizione")), QStringLiteral("Conto"));
}

void EditPanelTest::cancelledChildLeavesParentUnchanged()
{
    const qint64 account = newAccount(QStringLiteral("Conto"), QStringLiteral("100"));
    EditPanelDialog panel(view(QStringLiteral("Versamenti")), QString(), nullptr);
    QVERIFY(panel.startNew({}));
    panel.show();
    QVERIFY(panel.setParent(account));
    type(edit(panel, QStringLiteral("Contanti")), QStringLiteral("50"));
    type(edit(panel, QStringLiteral("Assegno")), QStringLiteral("20"));
    QCOMPARE(shownParent(panel, QStringLiteral("Residuo")), QStringLiteral("30,00"));

    m_sink.answerOk = false; // "Continuare?" — no: the panel stays
    QTest::mouseClick(panel.findChild<QPushButton *>(QStringLiteral("cmdCancel")), Qt::LeftButton);
    QVERIFY(panel.isVisible());
    QCOMPARE(m_sink.questions, QStringList{QStringLiteral("Le modifiche non salvate andranno perse. Continuare?")});

    m_sink.answerOk = true;
    QTest::keyClick(&panel, Qt::Key_Escape);
    QVERIFY(!panel.isVisible());
    QCOMPARE(panel.result(), int(QDialog::Rejected));
    QVERIFY(panel.savedOid().isNull());
    QCOMPARE(stored(QStringLiteral("Conti"), account, QStringLiteral("Residuo")).value<Amount>(), money(100));
    QVERIFY(view(QStringLiteral("Versamenti"))->IsEmpty());

    // Nothing typed: closing asks nothing.
    m_sink.questions.clear();
    EditPanelDialog untouched(view(QStringLiteral("Conti")), QString(), nullptr);
    QVERIFY(untouched.startNew({}));
    untouched.reject();
    QVERIFY(m_sink.questions.isEmpty());
}

void EditPanelTest::rulesWritesToTheInputInHandAreShown()
{
    const qint64 account = newAccount(QStringLiteral("Conto"), QStringLiteral("100"));
    EditPanelDialog panel(view(QStringLiteral("Versamenti")), QString(), nullptr);
    QVERIFY(panel.startNew({}));
    QVERIFY(panel.setParent(account));
    const QString today = dateText(QDate::currentDate());
    QCOMPARE(edit(panel, QStringLiteral("DataValuta"))->text(), today);

    // Another input written by the rules.
    type(edit(panel, QStringLiteral("Data")), QStringLiteral("01/01/2005"));
    QCOMPARE(edit(panel, QStringLiteral("DataValuta"))->text(), QStringLiteral("01/01/2005"));
    // The input in hand overwritten by the rules.
    type(edit(panel, QStringLiteral("Data")), dateText(QDate::currentDate().addDays(3)));
    QCOMPARE(edit(panel, QStringLiteral("Data"))->text(), today);
    QCOMPARE(panel.dataSource().GetField(QStringLiteral("Data")).toDate(), QDate::currentDate());
    QCOMPARE(edit(panel, QStringLiteral("DataValuta"))->text(), today);

    type(edit(panel, QStringLiteral("Assegno")), QStringLiteral("5"));
    QCOMPARE(edit(panel, QStringLiteral("Assegno"))->text(), QStringLiteral("5,00"));
    QCOMPARE(shownParent(panel, QStringLiteral("Residuo")), QStringLiteral("95,00"));
    QVERIFY(m_sink.messages.isEmpty());
}

void EditPanelTest::calendarPickWritesTheDate()
{
    const qint64 account = newAccount(QStringLiteral("Conto"), QStringLiteral("100"));
    EditPanelDialog panel(view(QStringLiteral("Versamenti")), QString(), nullptr);
    QVERIFY(panel.startNew({}));
    QVERIFY(!panel.findChild<QToolButton *>(QStringLiteral("cal_Data"))->isEnabled());
    QVERIFY(panel.setParent(account));
    auto *button = panel.findChild<QToolButton *>(QStringLiteral("cal_Data"));
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    auto *calendar = panel.findChild<QCalendarWidget *>(QStringLiteral("calendarPopup"));
    QVERIFY(calendar && calendar->isVisible());
    QCOMPARE(calendar->selectedDate(), QDate::currentDate());

    // The picked date is written like a typed one: the rules follow it.
    emit calendar->clicked(QDate(2005, 3, 4));
    QCOMPARE(edit(panel, QStringLiteral("Data"))->text(), QStringLiteral("04/03/2005"));
    QCOMPARE(panel.dataSource().GetField(QStringLiteral("Data")).toDate(), QDate(2005, 3, 4));
    QCOMPARE(edit(panel, QStringLiteral("DataValuta"))->text(), QStringLiteral("04/03/2005"));

    // From the keyboard: F4 opens the calendar on the typed date.
    QTRY_VERIFY(!panel.findChild<QCalendarWidget *>(QStringLiteral("calendarPopup"))); // gone once picked
    QTest::keyClick(edit(panel, QStringLiteral("Data")), Qt::Key_F4);
    auto *again = panel.findChild<QCalendarWidget *>(QStringLiteral("calendarPopup"));
    QVERIFY(again && again->isVisible());
    QCOMPARE(again->selectedDate(), QDate(2005, 3, 4));
    again->close();
    QTRY_VERIFY(!panel.findChild<QCalendarWidget *>(QStringLiteral("calendarPopup")));
    QTest::keyClick(edit(panel, QStringLiteral("Data")), Qt::Key_Down, Qt::AltModifier); // as a drop-down list opens
    QVERIFY(panel.findChild<QCalendarWidget *>(QStringLiteral("calendarPopup")));

    // Emptied by hand: no date at all.
    type(edit(panel, QStringLiteral("DataValuta")), QString());
    QCOMPARE(edit(panel, QStringLiteral("DataValuta"))->text(), QString());
    QVERIFY(panel.dataSource().GetField(QStringLiteral("DataValuta")).isNull());
}

void EditPanelTest::badInputIsToldAndNotWritten()
{
    const qint64 account = newAccount(QStringLiteral("Conto"), QStringLiteral("100"));
    EditPanelDialog panel(view(QStringLiteral("Versamenti")), QString(), nullptr);
    QVERIFY(panel.startNew({}));
    QVERIFY(panel.setParent(account));

    type(edit(panel, QStringLiteral("Contanti")), QStringLiteral("abc"));
    QCOMPARE(m_sink.messages, QStringList{QStringLiteral("Importo non valido: «abc».")});
    QCOMPARE(edit(panel, QStringLiteral("Contanti"))->text(), QStringLiteral("0,00"));
    // The Return that finished the refused text leaves the keyboard on that input.
    QCOMPARE(panel.focusWidget(), edit(panel, QStringLiteral("Contanti")));
    QCOMPARE(panel.dataSource().GetField(QStringLiteral("Contanti")).value<Amount>(), money(0));
    QCOMPARE(shownParent(panel, QStringLiteral("Residuo")), QStringLiteral("100,00"));

    type(edit(panel, QStringLiteral("DataValuta")), QStringLiteral("01/01/2005"));
    type(edit(panel, QStringLiteral("Data")), QStringLiteral("31/02/2005"));
    QCOMPARE(m_sink.messages.last(), QStringLiteral("Data non valida: «31/02/2005». Scrivere la data come gg/mm/aaaa."));
    QCOMPARE(panel.dataSource().GetField(QStringLiteral("Data")).toDate(), QDate::currentDate());
    // The rule of the date never ran: it would have copied the date.
    QCOMPARE(panel.dataSource().GetField(QStringLiteral("DataValuta")).toDate(), QDate(2005, 1, 1));

    // Save writes the unfinished input first: bad text there stops the save.
    edit(panel, QStringLiteral("Assegno"))->setText(QStringLiteral("1,2,3"));
    QVERIFY(!panel.save());
    QCOMPARE(m_sink.messages.last(), QStringLiteral("Importo non valido: «1,2,3»."));
    QVERIFY(view(QStringLiteral("Versamenti"))->IsEmpty());

    // Bad text finished by the click on Save (the input loses the focus first) stops that Save too.
    type(edit(panel, QStringLiteral("Assegno")), QStringLiteral("x"));
    QVERIFY(!panel.save());
    QVERIFY(view(QStringLiteral("Versamenti"))->IsEmpty());
    QVERIFY(panel.save());
    QCOMPARE(view(QStringLiteral("Versamenti"))->RecordCount(), 1);
}

void EditPanelTest::refusedWritePutsTheInputBack()
{
    EditPanelDialog panel(view(QStringLiteral("Conti")), QString(), nullptr);
    QVERIFY(panel.startNew({}));
    auto *reason = panel.findChild<QComboBox *>(QStringLiteral("edit_Causale"));
    const int refund = reason->findText(QStringLiteral("Rimborso"));
    QVERIFY(refund > 0);
    // The reason goes away while the list is open: the choice is refused and undone.
    auto kinds = view(QStringLiteral("Causali"));
    QVERIFY(kinds->FindFirst(QStringLiteral("Codice='02'")));
    QVERIFY(kinds->DeleteCurrentRow());
    reason->setCurrentIndex(refund);
    emit reason->activated(refund);
    QCOMPARE(reason->currentIndex(), 0);
    QCOMPARE(m_sink.messages.size(), 1);
    QVERIFY2(m_sink.messages.first().contains(QStringLiteral("non esiste")), qPrintable(m_sink.messages.first()));
    QVERIFY(panel.dataSource().GetField(QStringLiteral("Causale")).isNull());
}

void EditPanelTest::duplicateCodeKeepsPanelOpen()
{
    EditPanelDialog panel(view(QStringLiteral("Causali")), QString(), nullptr);
    QVERIFY(panel.startNew({}));
    panel.show();
    type(edit(panel, QStringLiteral("Codice")), QStringLiteral("01"));
    type(edit(panel, QStringLiteral("Descrizione")), QStringLiteral("Giroconto"));
    QTest::mouseClick(panel.findChild<QPushButton *>(QStringLiteral("cmdSave")), Qt::LeftButton);
    QVERIFY(panel.isVisible());
    QVERIFY(panel.savedOid().isNull());
    QCOMPARE(m_sink.messages.size(), 1);
    QVERIFY2(m_sink.messages.first().startsWith(QStringLiteral("Impossibile salvare:")), qPrintable(m_sink.messages.first()));
    QCOMPARE(edit(panel, QStringLiteral("Descrizione"))->text(), QStringLiteral("Giroconto"));
    QCOMPARE(view(QStringLiteral("Causali"))->RecordCount(), 3);

    // Corrected, the same panel stores the row.
    type(edit(panel, QStringLiteral("Codice")), QStringLiteral("04"));
    QVERIFY(panel.save());
    QCOMPARE(view(QStringLiteral("Causali"))->RecordCount(), 4);
}

void EditPanelTest::editCurrentChangesTheRow()
{
    const qint64 account = newAccount(QStringLiteral("Conto"), QStringLiteral("100"));
    auto accounts = view(QStringLiteral("Conti"));
    QVERIFY(accounts->FindOID(account));
    whenShown<EditPanelDialog>(QStringLiteral("EditPanel"), [&](EditPanelDialog *panel) {
        QCOMPARE(panel->windowTitle(), QStringLiteral("Scheda conto"));
        QCOMPARE(edit(*panel, QStringLiteral("Descrizione"))->text(), QStringLiteral("Conto"));
        type(edit(*panel, QStringLiteral("Importo")), QStringLiteral("80"));
        QCOMPARE(edit(*panel, QStringLiteral("Residuo"))->text(), QStringLiteral("80,00"));
        QTest::mouseClick(panel->findChild<QPushButton *>(QStringLiteral("cmdSave")), Qt::LeftButton);
    });
    const QVariant saved = EditPanel::editCurrent(accounts, {}, QStringLiteral("Scheda conto"), nullptr);
    QCOMPARE(saved.toLongLong(), account);
    QCOMPARE(stored(QStringLiteral("Conti"), account, QStringLiteral("Residuo")).value<Amount>(), money(80));

    // Cancelled: Null, and the archive keeps the stored values.
    whenShown<EditPanelDialog>(QStringLiteral("EditPanel"), [&](EditPanelDialog *panel) {
        type(edit(*panel, QStringLiteral("Importo")), QStringLiteral("500"));
        m_sink.answerOk = true;
        panel->reject();
    });
    QVERIFY(EditPanel::editCurrent(accounts, {}, QString(), nullptr).isNull());
    QCOMPARE(stored(QStringLiteral("Conti"), account, QStringLiteral("Importo")).value<Amount>(), money(80));
}

void EditPanelTest::returnSavesOrPressesAFocusedButton()
{
    EditPanelDialog panel(view(QStringLiteral("Causali")), QString(), nullptr);
    QVERIFY(panel.startNew({}));
    panel.show();
    QVERIFY(QTest::qWaitForWindowActive(&panel));
    QVERIFY(panel.findChild<QPushButton *>(QStringLiteral("cmdSave"))->isDefault());
    QLineEdit *code = edit(panel, QStringLiteral("Codice"));
    code->setFocus();
    QTest::keyClicks(code, QStringLiteral("04"));
    QTest::keyClick(code, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), edit(panel, QStringLiteral("Descrizione")));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Giroconto"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(!panel.isVisible());
    QCOMPARE(stored(QStringLiteral("Causali"), panel.savedOid().toLongLong(), QStringLiteral("Descrizione")).toString(),
             QStringLiteral("Giroconto"));

    // On a button, Return presses that button.
    EditPanelDialog other(view(QStringLiteral("Causali")), QString(), nullptr);
    QVERIFY(other.startNew({}));
    other.show();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    auto *cancel = other.findChild<QPushButton *>(QStringLiteral("cmdCancel"));
    cancel->setFocus();
    QTest::keyClick(cancel, Qt::Key_Return);
    QVERIFY(!other.isVisible());
    QCOMPARE(other.result(), int(QDialog::Rejected));
    QCOMPARE(view(QStringLiteral("Causali"))->RecordCount(), 4);
}

// A child row as a keyboard user records it: the parent from the list, Tab from input to input,
// amounts typed over the shown zeros, a refused amount kept in hand, Enter to store.
void EditPanelTest::depositTypedWithTheKeyboardOnly()
{
    const qint64 account = newAccount(QStringLiteral("Conto casa"), QStringLiteral("100"));
    EditPanelDialog panel(view(QStringLiteral("Versamenti")), QString(), nullptr);
    QVERIFY(panel.startNew({}));
    panel.show();
    QVERIFY(QTest::qWaitForWindowActive(&panel));
    chooseThroughList(panel, 1, QStringLiteral("Conto casa"));
    QVERIFY(QTest::qWaitForWindowActive(&panel)); // again, once the list has gone
    const auto typeHere = [&](const QString &text, Qt::Key finish) {
        if (!text.isEmpty())
            QTest::keyClicks(panel.focusWidget(), text);
        QTest::keyClick(panel.focusWidget(), finish);
    };
    QCOMPARE(panel.focusWidget(), edit(panel, QStringLiteral("Data")));
    typeHere(QString(), Qt::Key_Tab); // past the calendar button
    QCOMPARE(panel.focusWidget(), edit(panel, QStringLiteral("Contanti")));
    QVERIFY(edit(panel, QStringLiteral("Contanti"))->hasSelectedText()); // typing replaces the zeros
    typeHere(QStringLiteral("50"), Qt::Key_Tab);
    QCOMPARE(shownParent(panel, QStringLiteral("Residuo")), QStringLiteral("50,00"));
    QCOMPARE(panel.focusWidget(), edit(panel, QStringLiteral("Assegno")));
    typeHere(QStringLiteral("3x"), Qt::Key_Return);
    QCOMPARE(m_sink.messages, QStringList{QStringLiteral("Importo non valido: «3x».")});
    QVERIFY(panel.isVisible());
    QCOMPARE(panel.focusWidget(), edit(panel, QStringLiteral("Assegno")));
    typeHere(QStringLiteral("30"), Qt::Key_Return);
    QVERIFY(!panel.isVisible());
    const qint64 deposit = panel.savedOid().toLongLong();
    QCOMPARE(stored(QStringLiteral("Versamenti"), deposit, QStringLiteral("Contanti")).value<Amount>(), money(50));
    QCOMPARE(stored(QStringLiteral("Versamenti"), deposit, QStringLiteral("Assegno")).value<Amount>(), money(30));
    QCOMPARE(stored(QStringLiteral("Versamenti"), deposit, QStringLiteral("DataValuta")).toDate(), QDate::currentDate());
    QCOMPARE(stored(QStringLiteral("Conti"), account, QStringLiteral("Residuo")).value<Amount>(), money(20));
}

COBRELLE_TEST_MAIN(EditPanelTest)
#include "tst_editpanel.moc"
