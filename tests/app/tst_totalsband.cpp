// The totals in sight: the band under a dated view's grid and the row count in the status bar,
// following the date selection and the filter, after the grid's first screen; the closing summary
// of the period shown.
#include "viewsfixture.h"
#include "../views/knowndays.h"
#include "output/frmClosingSummary.h"
#include "views/datestep.h"
#include "views/viewquery.h"

#include <QAction>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

using namespace ViewsFixture;

class TotalsBandTest : public MainWindowTest {
    Q_OBJECT

    QLabel *band() { return widget<QLabel>("lblTotals"); }
    QLabel *rowCount() { return widget<QLabel>("sbStatusBar_RowCount"); }

    void showPayments(DateSelection selection, const QDate &date, const QDate &periodEnd = QDate())
    {
        form().view().setDateSelection(selection);
        form().view().setSelectionDate(date);
        form().view().setSelectionPeriodEnd(periodEnd);
        select(QStringLiteral("Pagamenti"));
    }

private slots:
    void init()
    {
        WindowTest::clearStoredSettings();
        m_archive = std::make_unique<OpenArchive>();
        KnownDays::fill(*modGlobal::AppSession().database);
        modGlobal::AppSession().dataContext->UserLevel = 1;
        m_form = std::make_unique<frmMain>();
        showWithTree();
    }
    void cleanup() { closeWindowAndArchive(); }

    void bandSumsTheRowsShown_data()
    {
        QTest::addColumn<int>("selection");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QDate>("periodEnd");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("count");
        QTest::newRow("a day") << int(DateSelection::Day) << QDate(2005, 3, 7) << QDate() << QString()
                               << "Righe: 3   Contanti: 46,00   Bonifico Bancomat: 20,00   Assegno: 2,50   "
                                  "Anticipo: 0,00   Totale: 68,50"
                               << "Pagamenti: 3 righe";
        QTest::newRow("a day with a filter") << int(DateSelection::Day) << QDate(2005, 3, 7) << QDate() << "Operatore = 'Rossi'"
                                             << "Righe: 2   Contanti: 36,00   Bonifico Bancomat: 20,00   Assegno: 0,00   "
                                                "Anticipo: 0,00   Totale: 56,00"
                                             << "Pagamenti: 2 righe";
        QTest::newRow("an empty day") << int(DateSelection::Day) << QDate(2005, 3, 9) << QDate() << QString()
                                      << "Righe: 0   Contanti: 0,00   Bonifico Bancomat: 0,00   Assegno: 0,00   "
                                         "Anticipo: 0,00   Totale: 0,00"
                                      << "Pagamenti: 0 righe";
        // A Null amount makes its column's total and the overall one Null, as "Totalizza" does.
        QTest::newRow("a month with a Null") << int(DateSelection::Month) << QDate(2005, 3, 1) << QDate() << QString()
                                             << "Righe: 5   Contanti: 47,00   Bonifico Bancomat: 20,00   Assegno:    "
                                                "Anticipo: 5,00   Totale: "
                                             << "Pagamenti: 5 righe";
        QTest::newRow("a period of two days") << int(DateSelection::Period) << QDate(2005, 3, 7) << QDate(2005, 3, 8) << QString()
                                              << "Righe: 4   Contanti: 46,00   Bonifico Bancomat: 20,00   Assegno: 2,50   "
                                                 "Anticipo: 5,00   Totale: 73,50"
                                              << "Pagamenti: 4 righe";
        QTest::newRow("one row") << int(DateSelection::Day) << QDate(2005, 3, 31) << QDate() << QString()
                                 << "Righe: 1   Contanti: 1,00   Bonifico Bancomat: 0,00   Assegno:    "
                                    "Anticipo: 0,00   Totale: "
                                 << "Pagamenti: 1 riga";
    }

    void bandSumsTheRowsShown()
    {
        QFETCH(int, selection);
        QFETCH(QDate, date);
        QFETCH(QDate, periodEnd);
        QFETCH(QString, filter);
        showPayments(DateSelection(selection), date, periodEnd);
        if (!filter.isEmpty())
            form().view().m_objCurDS->SetFilter(filter);
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

    // The administrator's closing summary of a period covers the period, as its band does.
    void closingSummaryOfThePeriodShown()
    {
        showPayments(DateSelection::Period, QDate(2005, 3, 7), QDate(2005, 3, 8));
        QDate from, to;
        QString heading;
        whenDialogOpens<output::frmClosingSummary>([&](output::frmClosingSummary *window) {
            // The figures are read apart from the window: they come after it opens.
            QTRY_VERIFY(window->summary().from.isValid());
            from = window->summary().from;
            to = window->summary().to;
            heading = window->windowTitle();
            window->reject();
        });
        widget<QAction>("mnuClosingSummary")->trigger();
        QCOMPARE(from, QDate(2005, 3, 7));
        QCOMPARE(to, QDate(2005, 3, 8));
        QCOMPARE(heading, QStringLiteral("Chiusura del periodo dal 07/03/2005 al 08/03/2005"));
    }

    void aLongMessageLeavesTheRowCountInSight()
    {
        showPayments(DateSelection::Day, QDate(2005, 3, 7));
        QTRY_COMPARE(rowCount()->text(), QStringLiteral("Pagamenti: 3 righe"));
        const int width = form().width();
        const QString message = QStringLiteral("Filtro: ") + QStringLiteral("Descrizione Like '*polizza*' And ").repeated(20);
        form().SetStatusMsg(message);
        QCoreApplication::processEvents();
        QCOMPARE(form().width(), width);
        auto *bar = widget<QStatusBar>("sbStatusBar");
        QTRY_VERIFY(rowCount()->geometry().right() < bar->width());
        QVERIFY(rowCount()->width() >= rowCount()->sizeHint().width());
        QCOMPARE(widget<QLabel>("sbStatusBar_Panel1")->toolTip(), message);
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
