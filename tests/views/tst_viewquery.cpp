// What each section shows: its view opened as the main window opens it, on an archive whose rows
// are known, with the date selection and the period of "Mov. per Collaboratori".

#include "testsupport.h"

#include "views/dateselectioncaption.h"
#include "views/sectionview.h"
#include "views/viewquery.h"

#include "objdb/amount.h"
#include "objdb/datasource.h"

#include <QApplication>
#include <QtTest>

#include <optional>

using objdb::Amount;

namespace {

QVariant money(int whole)
{
    return QVariant::fromValue(Amount::fromInteger(whole));
}

QString shown(const QVariant &value)
{
    if (objdb::isNull(value))
        return QStringLiteral("-");
    if (value.userType() == qMetaTypeId<Amount>())
        return value.value<Amount>().toString(2);
    if (value.userType() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("sì") : QStringLiteral("no");
    return value.toString();
}

// The rows of a view in its order, each as its values of `fields` joined by "|".
QStringList rows(objdb::DataSource &view, const QStringList &fields)
{
    QStringList listed;
    for (bool more = view.MoveFirst(); more; more = view.MoveNext()) {
        QStringList values;
        for (const QString &field : fields)
            values.append(shown(view.GetField(field)));
        listed.append(values.join(QLatin1Char('|')));
    }
    return listed;
}

struct Selection {
    DateSelection kind = DateSelection::All;
    QDate date;
};

} // namespace

class TestViewQuery : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSupport::TempWorkDir> m_dir;
    std::unique_ptr<TestSupport::ScriptedMessages> m_answers; // a payment's own date is confirmed
    TestSupport::Archive m_archive;

    std::shared_ptr<objdb::DataSource> table(const char *name)
    {
        return m_archive.context->Tables().Item(QString::fromLatin1(name)).OpenDataSource();
    }

    qint64 collaborator(const char *code)
    {
        auto ds = table("Collaboratori");
        return ds->FindFirst(QStringLiteral("Codice='%1'").arg(QLatin1String(code))) ? ds->Bookmark() : 0;
    }

    qint64 movement(const char *description, int amount, const char *collaboratorCode)
    {
        auto ds = table("Movimenti");
        const bool added = ds->AddRow({"Descrizione", description, "Importo", money(amount), "Collaboratore",
                                       collaborator(collaboratorCode)});
        return added ? ds->Bookmark() : 0;
    }

    void payment(qint64 movementOid, const QDate &date, const char *typeCode, const QVariantList &amounts)
    {
        auto ds = table("Pagamenti");
        QVERIFY(ds->AddNew());
        QVERIFY(ds->SetField("OID_Movimenti", movementOid));
        QVERIFY(ds->SetField("Data", date));
        QVERIFY(ds->SetReferenceKey("TipoOperazione", QString::fromLatin1(typeCode)));
        for (qsizetype i = 0; i + 1 < amounts.size(); i += 2)
            QVERIFY(ds->SetField(amounts.at(i).toString(), amounts.at(i + 1)));
        ds->SaveRow();
    }

    // The section's view as the main window opens it.
    std::shared_ptr<objdb::DataSource> section(const QString &key, Selection selection = {},
                                               std::optional<QDate> from = {}, std::optional<QDate> to = {})
    {
        SectionViewRequest request;
        request.query = SectionQueryFor(key);
        request.selection = selection.kind;
        request.selectionDate = selection.date;
        request.periodFrom = from;
        request.periodTo = to;
        return OpenSectionView(*m_archive.context, request);
    }

private slots:
    // Six movements, each with one payment; "Auto Rossi" and "Moto Verdi" are not paid in full,
    // "Ufficio" belongs to the agency's own collaborator "00".
    void init()
    {
        m_dir = std::make_unique<TestSupport::TempWorkDir>();
        m_answers = std::make_unique<TestSupport::ScriptedMessages>();
        m_archive = TestSupport::openArchive(m_dir->databasePath());
        auto collaborators = table("Collaboratori");
        QVERIFY(collaborators->AddRow({"Codice", "01", "Nome", "Rossi Mario"}));
        QVERIFY(collaborators->AddRow({"Codice", "02", "Nome", "Bianchi Anna"}));

        payment(movement("Auto Bianchi", 50, "02"), QDate(2004, 1, 15), "01", {"Assegno", money(50)});
        payment(movement("Auto Rossi", 100, "01"), QDate(2005, 1, 10), "07",
                {"Contanti", money(30), "Assegno", money(20), "Anticipo", money(5), "Bonifico_Bancomat", money(10)});
        payment(movement("Ufficio", 70, "00"), QDate(2005, 1, 12), "01", {"Contanti", money(70)});
        payment(movement("Casa Rossi", 60, "01"), QDate(2005, 1, 31), "01", {"Bonifico_Bancomat", money(60)});
        payment(movement("Vita Rossi", 40, "01"), QDate(2005, 2, 1), "01", {"Contanti", money(40)});
        payment(movement("Moto Verdi", 90, "02"), QDate(2005, 3, 1), "07", {"Contanti", money(10)});
    }

    void cleanup()
    {
        m_archive = {};
        m_answers.reset();
        m_dir.reset();
    }

    // Every payment, in date order, with the description and amount of its movement.
    void paymentsShowTheirMovements()
    {
        auto view = section("Pagamenti");
        QCOMPARE(rows(*view, {"Data", "DescrizionePagamento", "ImportoPagamento", "Contanti"}),
                 (QStringList{"2004-01-15|Auto Bianchi|50.00|0.00", "2005-01-10|Auto Rossi|100.00|30.00",
                              "2005-01-12|Ufficio|70.00|70.00", "2005-01-31|Casa Rossi|60.00|0.00",
                              "2005-02-01|Vita Rossi|40.00|40.00", "2005-03-01|Moto Verdi|90.00|10.00"}));
    }

    // A payment's cash balance is its cash, cheque and advance; its bank balance the transfer.
    void statisticsShowTheBalances()
    {
        auto view = section("Statistiche");
        QCOMPARE(rows(*view, {"Descrizione", "SaldoCassa", "SaldoBanca", "TipoSospeso"}),
                 (QStringList{"Auto Bianchi|50.00|0.00|no", "Auto Rossi|55.00|10.00|sì", "Ufficio|70.00|0.00|no",
                              "Casa Rossi|0.00|60.00|no", "Vita Rossi|40.00|0.00|no", "Moto Verdi|10.00|0.00|sì"}));
    }

    // Only the payments of movements not yet paid, with their balances, whatever the date selection.
    void outstandingShowsThePaymentsOfUnpaidMovements()
    {
        for (const Selection &selection : {Selection{}, Selection{DateSelection::Day, QDate(2005, 1, 12)},
                                           Selection{DateSelection::Month, QDate(2004, 1, 1)}}) {
            auto view = section("Sospesi", selection);
            QCOMPARE(rows(*view, {"Descrizione", "ImportoInSospeso", "SaldoCassa", "SaldoBanca"}),
                     (QStringList{"Auto Rossi|35.00|55.00|10.00", "Moto Verdi|80.00|10.00|0.00"}));
        }
    }

    void dateSelectionLimitsPaymentsAndStatistics_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QStringList>("expected");
        for (const char *key : {"Pagamenti", "Statistiche"}) {
            const QString k = QString::fromLatin1(key);
            QTest::addRow("%s, a day", key) << k << int(DateSelection::Day) << QDate(2005, 1, 10) << QStringList{"Auto Rossi"};
            QTest::addRow("%s, the last of a month", key)
                << k << int(DateSelection::Day) << QDate(2005, 1, 31) << QStringList{"Casa Rossi"};
            QTest::addRow("%s, a day without payments", key)
                << k << int(DateSelection::Day) << QDate(2005, 1, 11) << QStringList{};
            QTest::addRow("%s, a month", key) << k << int(DateSelection::Month) << QDate(2005, 1, 20)
                                              << QStringList{"Auto Rossi", "Ufficio", "Casa Rossi"};
            QTest::addRow("%s, the same month of another year", key)
                << k << int(DateSelection::Month) << QDate(2004, 1, 1) << QStringList{"Auto Bianchi"};
            QTest::addRow("%s, all", key) << k << int(DateSelection::All) << QDate(2005, 1, 10)
                                          << QStringList{"Auto Bianchi", "Auto Rossi", "Ufficio", "Casa Rossi",
                                                         "Vita Rossi", "Moto Verdi"};
        }
    }

    void dateSelectionLimitsPaymentsAndStatistics()
    {
        QFETCH(QString, key);
        QFETCH(int, kind);
        QFETCH(QDate, date);
        auto view = section(key, {DateSelection(kind), date});
        QTEST(rows(*view, {"Descrizione"}), "expected");
    }

    void stepItemsNameTheUnitOfTheSelection_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("captions"); // previous, next, current
        QTest::newRow("a day") << int(DateSelection::Day)
                               << QStringList{"Giorno p&recedente\tAlt+Sinistra", "Giorno &successivo\tAlt+Destra", "&Oggi\tAlt+Home"};
        QTest::newRow("all dates") << int(DateSelection::All)
                                   << QStringList{"Giorno p&recedente\tAlt+Sinistra", "Giorno &successivo\tAlt+Destra", "&Oggi\tAlt+Home"};
        QTest::newRow("a month") << int(DateSelection::Month)
                                 << QStringList{"Mese p&recedente\tAlt+Sinistra", "Mese &successivo\tAlt+Destra",
                                                "Mese &corrente\tAlt+Home"};
        QTest::newRow("a period") << int(DateSelection::Period)
                                  << QStringList{"Periodo p&recedente\tAlt+Sinistra", "Periodo &successivo\tAlt+Destra",
                                                 "Periodo &corrente\tAlt+Home"};
    }

    void stepItemsNameTheUnitOfTheSelection()
    {
        QFETCH(int, kind);
        const DateStepCaptions steps = StepCaptionsFor(DateSelection(kind));
        QTEST((QStringList{steps.previous, steps.next, steps.current}), "captions");
    }

    // Paid movements of the collaborators other than the agency's own "00", within the period
    // when one was chosen (both days included); the date selection plays no part.
    void collaboratorsSectionShowsPaidMovementsInThePeriod()
    {
        const Selection aDay{DateSelection::Day, QDate(2005, 3, 1)};
        QCOMPARE(rows(*section("Mov. per Collaboratori", aDay), {"Descrizione", "Collaboratore"}),
                 (QStringList{"Auto Bianchi|Bianchi Anna", "Casa Rossi|Rossi Mario", "Vita Rossi|Rossi Mario"}));
        QCOMPARE(rows(*section("Mov. per Collaboratori", aDay, QDate(2005, 1, 1), QDate(2005, 1, 31)), {"Descrizione"}),
                 QStringList{"Casa Rossi"});
        QCOMPARE(rows(*section("Mov. per Collaboratori", {}, QDate(2005, 2, 1), QDate(2005, 2, 1)), {"Descrizione"}),
                 QStringList{"Vita Rossi"});
        QCOMPARE(rows(*section("Mov. per Collaboratori", {}, QDate(2004, 1, 16), QDate(2005, 1, 30)), {"Descrizione"}),
                 QStringList{});
        QCOMPARE(PeriodCaptionFor(QDate(2005, 1, 1), QDate(2005, 1, 31)), QStringLiteral("Da data: 01/01/2005 A Data: 31/01/2005"));
    }

    // The other sections list their own table whole, whatever the date selection.
    void tableSectionsListTheirTable()
    {
        const Selection aDay{DateSelection::Day, QDate(2005, 1, 10)};
        QCOMPARE(rows(*section("Movimenti", aDay), {"Descrizione", "Pagato"}),
                 (QStringList{"Auto Bianchi|sì", "Auto Rossi|no", "Casa Rossi|sì", "Moto Verdi|no", "Ufficio|sì",
                              "Vita Rossi|sì"}));
        QCOMPARE(rows(*section("Collaboratori", aDay), {"Codice"}), (QStringList{"00", "01", "02"}));
        QCOMPARE(section("TipiOperazione", aDay)->RecordCount(), 7);
        QCOMPARE(rows(*section("Operatori", aDay), {"Nome"}), QStringList{"Amministratore"});
        QVERIFY(section("Compagnie", aDay)->IsEmpty());
    }
};

COBRELLE_TEST_MAIN(TestViewQuery)
#include "tst_viewquery.moc"
