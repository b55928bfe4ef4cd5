// The totals in sight: the band under a dated view's grid and the row count in the status bar,
// following the date selection and the filter, after the grid's first screen.
#include "viewsfixture.h"
#include "knowndays.h"
#include "views/viewquery.h"

#include <QLabel>
#include <QStatusBar>
#include <QTimer>

using namespace ViewsFixture;

class TotalsBandTest : public MainWindowTest {
    Q_OBJECT

    QLabel *band() { return widget<QLabel>("lblTotals"); }
    QLabel *rowCount() { return widget<QLabel>("sbStatusBar_RowCount"); }

    void showPayments(DateSelection selection, const QDate &date)
    {
        modGlobal::UseDateSelection = selection == DateSelection::Day;
        modGlobal::UseMonthSelection = selection == DateSelection::Month;
        modGlobal::SelectionDate = date.startOfDay();
        select(QStringLiteral("Pagamenti"));
    }

private slots:
    void init()
    {
        WindowTest::clearStoredSettings();
        m_archive = std::make_unique<OpenArchive>();
        KnownDays::fill(*modGlobal::g_objDatabase);
        modGlobal::g_objDataContext->UserLevel = 1;
        m_form = std::make_unique<frmMain>();
        showWithTree();
    }
    void cleanup() { closeWindowAndArchive(); }

    void bandSumsTheRowsShown_data()
    {
        QTest::addColumn<int>("selection");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("count");
        QTest::newRow("a day") << int(DateSelection::Day) << QDate(2005, 3, 7) << QString()
                               << "Righe: 3   Contanti: 46,00   Bonifico Bancomat: 20,00   Assegno: 2,50   "
                                  "Anticipo: 0,00   Totale: 68,50"
                               << "Pagamenti: 3 righe";
        QTest::newRow("a day with a filter") << int(DateSelection::Day) << QDate(2005, 3, 7) << "Operatore = 'Rossi'"
                                             << "Righe: 2   Contanti: 36,00   Bonifico Bancomat: 20,00   Assegno: 0,00   "
                                                "Anticipo: 0,00   Totale: 56,00"
                                             << "Pagamenti: 2 righe";
        QTest::newRow("an empty day") << int(DateSelection::Day) << QDate(2005, 3, 9) << QString()
                                      << "Righe: 0   Contanti: 0,00   Bonifico Bancomat: 0,00   Assegno: 0,00   "
                                         "Anticipo: 0,00   Totale: 0,00"
                                      << "Pagamenti: 0 righe";
        // A Null amount makes its column's total and the overall one Null, as "Totalizza" does.
        QTest::newRow("a month with a Null") << int(DateSelection::Month) << QDate(2005, 3, 1) << QString()
                                             << "Righe: 5   Contanti: 47,00   Bonifico Bancomat: 20,00   Assegno:    "
                                                "Anticipo: 5,00   Totale: "
                                             << "Pagamenti: 5 righe";
        QTest::newRow("one row") << int(DateSelection::Day) << QDate(2005, 3, 31) << QString()
                                 << "Righe: 1   Contanti: 1,00   Bonifico Bancomat: 0,00   Assegno:    "
                                    "Anticipo: 0,00   Totale: "
                                 << "Pagamenti: 1 riga";
    }

    void bandSumsTheRowsShown()
    {
        QFETCH(int, selection);
        QFETCH(QDate, date);
        QFETCH(QString, filter);
        showPayments(DateSelection(selection), date);
        if (!filter.isEmpty())
            form().m_objCurDS->SetFilter(filter);
        QFETCH(QString, expected);
        QFETCH(QString, count);
        QVERIFY(!band()->isHidden());
        QTRY_COMPARE(band()->text(), expected);
        QCOMPARE(rowCount()->text(), count);
        QVERIFY(band()->y() >= grid()->geometry().bottom());
    }

    void totalsWaitForTheFirstScreenAndFollowTheDay()
    {
        showPayments(DateSelection::Day, QDate(2005, 3, 7));
        // Queued behind the grid's painting, not run inside the refresh.
        QVERIFY(widget<QTimer>("tmTotals")->isActive());
        QVERIFY(!band()->text().startsWith(QStringLiteral("Righe: 3")));
        QTRY_VERIFY(band()->text().startsWith(QStringLiteral("Righe: 3")));
        form().mnuSelNext_Click();
        QTRY_COMPARE(band()->text(), QStringLiteral("Righe: 1   Contanti: 0,00   Bonifico Bancomat: 0,00   Assegno: 0,00   "
                                                    "Anticipo: 5,00   Totale: 5,00"));
        QCOMPARE(rowCount()->text(), QStringLiteral("Pagamenti: 1 riga"));
    }

    void undatedViewsCountWithoutABand()
    {
        select(QStringLiteral("Movimenti"));
        QVERIFY(band()->isHidden());
        QTRY_COMPARE(rowCount()->text(), QStringLiteral("Movimenti: 2 righe"));
        // A grouping node has no rows to count.
        select(QStringLiteral("Archivio"));
        QVERIFY(showsSectionPage(form()));
        QCOMPARE(rowCount()->text(), QString());
    }
};

COBRELLE_TEST_MAIN(TotalsBandTest)
#include "tst_totalsband.moc"
