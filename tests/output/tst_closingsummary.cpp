// The closing summary of a day, a month or a period on an archive whose figures are known: by way of
// paying, payments and movements, outstanding at the end, operators' shares; agreeing with the
// totals band, named for what it covers, and its report exported as a PDF.
#include "outputfixture.h"
#include "../views/knowndays.h"

#include "grid/viewtotals.h"
#include "maintenance/settledpurge.h"
#include "output/closingperiod.h"
#include "output/closingsummary.h"
#include "output/frmClosingSummary.h"
#include "views/sectionview.h"

#include "objdb/database.h"
#include "objdb/datacontext.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

using objdb::Amount;
using output::ClosingSummary;

namespace {

Amount euros(double value)
{
    return Amount::fromUnits(KnownDays::units(value));
}

} // namespace

class ClosingSummaryTest : public QObject {
    Q_OBJECT

    TestSupport::TempWorkDir m_folder;
    TestSupport::Archive m_archive;

private slots:
    void initTestCase()
    {
        m_archive = TestSupport::openArchive(m_folder.databasePath());
        KnownDays::fill(*m_archive.database);
    }
    void cleanupTestCase() { m_archive = {}; }

    void sumsOfAKnownArchive_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QList<double>>("methods"); // cash, transfer, cheque, advance
        QTest::addColumn<QList<qint64>>("counts");  // payments, settled, opened
        QTest::addColumn<double>("opened");
        QTest::addColumn<double>("outstanding");
        QTest::addColumn<QStringList>("operators");
        QTest::newRow("the day both movements open") << QDate(2005, 3, 7) << QDate(2005, 3, 7)
                                                     << QList<double>{46, 20, 2.5, 0} << QList<qint64>{3, 1, 2} << 140.0
                                                     << 67.5
                                                     << QStringList{"Amministratore 1 12,50", "Rossi 2 56,00"};
        QTest::newRow("a day of one advance") << QDate(2005, 3, 8) << QDate(2005, 3, 8) << QList<double>{0, 0, 0, 5}
                                              << QList<qint64>{1, 0, 0} << 0.0 << 62.5
                                              << QStringList{"Amministratore 1 5,00"};
        // The Null cheque counts as nothing, as the rules count it.
        QTest::newRow("the month") << QDate(2005, 3, 1) << QDate(2005, 3, 31) << QList<double>{47, 20, 2.5, 5}
                                   << QList<qint64>{5, 1, 2} << 140.0 << 61.5
                                   << QStringList{"Amministratore 3 18,50", "Rossi 2 56,00"};
        QTest::newRow("the day before anything") << QDate(2005, 3, 6) << QDate(2005, 3, 6) << QList<double>{0, 0, 0, 0}
                                                 << QList<qint64>{0, 0, 0} << 0.0 << 0.0 << QStringList{};
    }

    void sumsOfAKnownArchive()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QList<double>, methods);
        QFETCH(QList<qint64>, counts);
        QFETCH(double, opened);
        QFETCH(double, outstanding);
        QFETCH(QStringList, operators);
        const ClosingSummary s = output::ComputeClosingSummary(*m_archive.database, from, to);
        QCOMPARE((QList<Amount>{s.cash, s.transfer, s.cheque, s.advance}),
                 (QList<Amount>{euros(methods[0]), euros(methods[1]), euros(methods[2]), euros(methods[3])}));
        QCOMPARE((QList<qint64>{s.payments, s.movementsSettled, s.movementsOpened}), counts);
        QCOMPARE(s.openedAmount, euros(opened));
        QCOMPARE(s.outstandingAtEnd, euros(outstanding));
        QStringList shares;
        for (const output::OperatorShare &share : s.operators)
            shares.append(QStringLiteral("%1 %2 %3").arg(share.name).arg(share.payments).arg(share.total.toDisplayString()));
        QCOMPARE(shares, operators);
    }

    // A purge of settled payments changes nothing of what a later day tells: "Polizza C", 50,00 paid
    // 30,00 on 07/03 and 20,00 on 09/03, loses its first payment to the purge and still opened on
    // 07/03 and owes nothing after 09/03.
    void aPurgeChangesNoLaterDay()
    {
        TestSupport::TempWorkDir folder;
        TestSupport::Archive archive = TestSupport::openArchive(folder.databasePath());
        KnownDays::fill(*archive.database);
        archive.database->exec(QStringLiteral("INSERT INTO Movimenti (OID, Descrizione, Importo, ScontoPrivato, Sconto, "
                                              "ImportoInSospeso, Pagato) VALUES (3, 'Polizza C', 500000, 0, 0, 0, 1)"));
        for (const char *day : {"2005-03-07", "2005-03-09"})
            archive.database->exec(QStringLiteral("INSERT INTO Pagamenti (Data, Contanti, Bonifico_Bancomat, Assegno, Anticipo, "
                                                  "Operatore, TipoOperazione, OID_Movimenti) VALUES (?, ?, 0, 0, 0, 'Rossi', 7, 3)"),
                                   {QString::fromLatin1(day), QByteArray(day).endsWith('7') ? 300000 : 200000});
        const auto figures = [&](const QDate &day) {
            const ClosingSummary s = output::ComputeClosingSummary(*archive.database, day, day);
            return QStringLiteral("%1 %2 %3 %4 %5").arg(s.payments).arg(s.movementsOpened).arg(s.movementsSettled)
                .arg(s.openedAmount.toDisplayString(), s.outstandingAtEnd.toDisplayString());
        };
        const QString before = figures(QDate(2005, 3, 9));
        QCOMPARE(before, QStringLiteral("1 0 1 0,00 62,50"));
        SettledPurge::Run(*archive.context, QDate(2005, 3, 7), [](int, int) { return true; });
        QCOMPARE(figures(QDate(2005, 3, 9)), before);
        QCOMPARE(figures(QDate(2005, 3, 31)), QStringLiteral("1 0 0 0,00 61,50"));
    }

    // The summary of a day and the band under that day's payments tell the same sums.
    void agreesWithTheBandOfTheDay()
    {
        SectionViewRequest request;
        request.query = SectionQueryFor(QStringLiteral("Pagamenti"));
        request.selection = DateSelection::Day;
        request.selectionDate = QDate(2005, 3, 7);
        auto view = OpenSectionView(*m_archive.context, request);
        const ViewTotals band = ComputeViewTotals(*view, TotalsFieldsOf(QStringLiteral("Pagamenti")));
        const ClosingSummary s = output::ComputeClosingSummary(*m_archive.database, request.selectionDate,
                                                               request.selectionDate);
        QCOMPARE(band.rows, s.payments);
        QCOMPARE((QList<QVariant>{band.columns[0].sum, band.columns[1].sum, band.columns[2].sum, band.columns[3].sum,
                                  band.columns[4].sum}),
                 (QList<QVariant>{QVariant::fromValue(s.cash), QVariant::fromValue(s.transfer), QVariant::fromValue(s.cheque),
                                  QVariant::fromValue(s.advance), QVariant::fromValue(s.received())}));
    }

    void headingNamesWhatItCovers_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("heading");
        QTest::newRow("a day") << QDate(2005, 3, 7) << QDate(2005, 3, 7) << "Chiusura giornata del 07/03/2005";
        QTest::newRow("a month") << QDate(2005, 2, 1) << QDate(2005, 2, 28) << "Chiusura mensile di febbraio 2005";
        QTest::newRow("a week") << QDate(2005, 2, 28) << QDate(2005, 3, 6)
                                << "Chiusura del periodo dal 28/02/2005 al 06/03/2005";
        QTest::newRow("a month and a day") << QDate(2005, 3, 1) << QDate(2005, 4, 1)
                                           << "Chiusura del periodo dal 01/03/2005 al 01/04/2005";
    }

    void periodFollowsTheSelection_data()
    {
        QTest::addColumn<bool>("administrator");
        QTest::addColumn<int>("selection");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        const QDate today(2005, 3, 9);
        QTest::newRow("an operator, whatever is selected") << false << int(DateSelection::Month) << today << today;
        QTest::newRow("the administrator's day") << true << int(DateSelection::Day) << QDate(2005, 2, 14) << QDate(2005, 2, 14);
        QTest::newRow("his month") << true << int(DateSelection::Month) << QDate(2005, 2, 1) << QDate(2005, 2, 28);
        QTest::newRow("his period") << true << int(DateSelection::Period) << QDate(2005, 2, 14) << QDate(2005, 3, 2);
        QTest::newRow("all dates: today") << true << int(DateSelection::All) << today << today;
    }

    // The selected day is the 14th of February, a period's last day the 2nd of March.
    void periodFollowsTheSelection()
    {
        QFETCH(bool, administrator);
        QFETCH(int, selection);
        const auto [from, to] = output::ClosingPeriodFor(administrator, DateSelection(selection), QDate(2005, 2, 14),
                                                         QDate(2005, 3, 2), QDate(2005, 3, 9));
        QTEST(from, "from");
        QTEST(to, "to");
    }

    // The window and the printed heading name the day, the month or the period.
    void headingNamesWhatItCovers()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        output::frmClosingSummary window(m_archive.database, from, to, true, nullptr);
        QTEST(window.windowTitle(), "heading");
        QTEST(window.findChild<QLabel *>(QStringLiteral("lblPeriod"))->text(), "heading");
        QTEST(window.design().header.mid(0, 2).join(QLatin1Char(' ')), "heading");
    }

    void windowShowsAndExportsThePdf()
    {
        OutputFixture::ScriptedDialogs dialogs;
        const QString pdf = m_folder.path() + QStringLiteral("/chiusura");
        dialogs->saveFile = [&](QWidget *, const QString &, const QString &proposed, const QStringList &, QString *) {
            [&] { QVERIFY(proposed.endsWith(QStringLiteral("Chiusura giornata 2005-03-07.pdf"))); }();
            return pdf;
        };
        output::frmClosingSummary operatorWindow(m_archive.database, QDate(2005, 3, 7), QDate(2005, 3, 7), false, nullptr);
        QVERIFY(operatorWindow.findChild<QPushButton *>(QStringLiteral("cmdDay"))->isHidden());
        output::frmClosingSummary window(m_archive.database, QDate(2005, 3, 7), QDate(2005, 3, 7), true, nullptr);
        QVERIFY(!window.findChild<QPushButton *>(QStringLiteral("cmdDay"))->isHidden());
        QCOMPARE(window.windowTitle(), QStringLiteral("Chiusura giornata del 07/03/2005"));
        // The figures come from a read of their own, handed over through the event loop.
        auto *list = window.findChild<QTreeWidget *>(QStringLiteral("lstSummary"));
        auto *exportPdf = window.findChild<QPushButton *>(QStringLiteral("cmdExport"));
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("Calcolo in corso..."));
        QVERIFY(!exportPdf->isEnabled());
        QTRY_VERIFY(exportPdf->isEnabled());
        const auto shown = list->findItems(QStringLiteral("    Totale incassato"), Qt::MatchExactly);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first()->text(1), QStringLiteral("68,50"));

        exportPdf->click();
        QFile file(pdf + QStringLiteral(".pdf"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5) == "%PDF-");
        QVERIFY(file.size() > 1000);
    }
    // Inside a transaction of the window's connection the figures are read in place, at once, with
    // what the transaction changed.
    void windowReadsInPlaceWithinATransaction()
    {
        objdb::TransactionGuard transaction(*m_archive.database);
        m_archive.database->exec(QStringLiteral("UPDATE Pagamenti SET Contanti = Contanti + 10000 WHERE OID_Movimenti = 2"));
        output::frmClosingSummary window(m_archive.database, QDate(2005, 3, 7), QDate(2005, 3, 7), true, nullptr);
        QVERIFY(window.findChild<QPushButton *>(QStringLiteral("cmdExport"))->isEnabled());
        QCOMPARE(window.summary().cash, euros(47));
    }
};

COBRELLE_TEST_MAIN(ClosingSummaryTest)
#include "tst_closingsummary.moc"
