// Walking the date selection a day, a month or a period at a time: keys, the date button's arrows
// and the items of "Selezioni in data", across month and year ends; and the place kept for the next
// start.
#include "viewsfixture.h"

#include "services/configuration.h"
#include "services/messageservice.h"
#include "views/datestep.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTest>

using namespace ViewsFixture;

class DayByDayTest : public MainWindowTest {
    Q_OBJECT

    QString shownCondition() { return form().view().m_objCurDS->BaseFilter(); }
    QPushButton *dateButton() { return widget<QPushButton>("cmdDateSel"); }

    // The payments shown to the administrator, limited by the given selection of `date`.
    void showPayments(bool month, const QDate &date)
    {
        modGlobal::AppSession().dataContext->UserLevel = 1;
        form().view().setDateSelection(month ? DateSelection::Month : DateSelection::Day);
        form().view().setSelectionDate(date);
        showWithTree();
        form().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form()));
        select(QStringLiteral("Pagamenti"));
        QVERIFY(showsTable(form(), QStringLiteral("Pagamenti")));
    }

    // The payments limited to the period from..to.
    void showPeriod(const QDate &from, const QDate &to)
    {
        showPayments(false, from);
        form().view().setSelectionPeriodEnd(to);
        form().view().setDateSelection(DateSelection::Period);
        select(QStringLiteral("Pagamenti"));
    }

    // A window loaded as at the next start, its tree built.
    std::unique_ptr<frmMain> restarted()
    {
        auto next = std::make_unique<frmMain>();
        next->Form_Load();
        next->SetTreeViewNodes();
        return next;
    }

    static QString stored(const char *key) { return Settings::readText(QStringLiteral("Settings"), QLatin1String(key)); }

    // Clicks the date button `offset` pixels from its left edge (from its right edge when negative).
    void clickDateButton(int offset)
    {
        QPushButton *button = dateButton();
        const int x = offset >= 0 ? offset : button->width() + offset;
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(x, button->height() / 2));
    }

private slots:
    void init()
    {
        WindowTest::clearStoredSettings();
        m_archive = std::make_unique<OpenArchive>();
        m_form = std::make_unique<frmMain>();
    }
    void cleanup() { closeWindowAndArchive(); }

    void walksAcrossMonthAndYearEnds_data()
    {
        QTest::addColumn<bool>("month");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<QDate>("reached");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("condition");
        QTest::newRow("day into the new year") << false << QDate(2004, 12, 31) << int(Qt::Key_Right) << QDate(2005, 1, 1)
                                               << "< 01 gen 2005 >" << "Data >= #01/01/2005# AND Data < #01/02/2005#";
        QTest::newRow("day back over a leap day") << false << QDate(2004, 3, 1) << int(Qt::Key_Left) << QDate(2004, 2, 29)
                                                  << "< 29 feb 2004 >" << "Data >= #02/29/2004# AND Data < #03/01/2004#";
        QTest::newRow("day back into the old year") << false << QDate(2005, 1, 1) << int(Qt::Key_Left)
                                                    << QDate(2004, 12, 31) << "< 31 dic 2004 >"
                                                    << "Data >= #12/31/2004# AND Data < #01/01/2005#";
        QTest::newRow("month from the 31st") << true << QDate(2005, 1, 31) << int(Qt::Key_Right) << QDate(2005, 2, 28)
                                             << "< febbraio 2005 >" << "Month(Data) = 2 AND Year(Data) = 2005";
        QTest::newRow("month into the new year") << true << QDate(2005, 12, 15) << int(Qt::Key_Right)
                                                 << QDate(2006, 1, 15) << "< gennaio 2006 >"
                                                 << "Month(Data) = 1 AND Year(Data) = 2006";
        QTest::newRow("month back into the old year") << true << QDate(2006, 1, 15) << int(Qt::Key_Left)
                                                      << QDate(2005, 12, 15) << "< dicembre 2005 >"
                                                      << "Month(Data) = 12 AND Year(Data) = 2005";
    }

    void walksAcrossMonthAndYearEnds()
    {
        QFETCH(bool, month);
        QFETCH(QDate, start);
        QFETCH(int, key);
        showPayments(month, start);
        QTest::keyClick(grid(), Qt::Key(key), Qt::AltModifier);
        QTEST(form().view().selectionDate(), "reached");
        QTEST(dateButton()->text(), "caption");
        QTEST(shownCondition(), "condition");
        QCOMPARE(form().view().dateSelection() == DateSelection::Month, month);
    }

    void periodWalksByItsLength_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<int>("key");
        QTest::addColumn<QDate>("reachedFrom");
        QTest::addColumn<QDate>("reachedTo");
        QTest::addColumn<QString>("condition");
        QTest::newRow("a week over a month end") << QDate(2024, 5, 27) << QDate(2024, 6, 2) << int(Qt::Key_Right)
                                                 << QDate(2024, 6, 3) << QDate(2024, 6, 9)
                                                 << "Data >= #06/03/2024# AND Data < #06/10/2024#";
        QTest::newRow("a week into the new year") << QDate(2024, 12, 26) << QDate(2025, 1, 1) << int(Qt::Key_Right)
                                                  << QDate(2025, 1, 2) << QDate(2025, 1, 8)
                                                  << "Data >= #01/02/2025# AND Data < #01/09/2025#";
        QTest::newRow("a week back into the old year") << QDate(2025, 1, 1) << QDate(2025, 1, 7) << int(Qt::Key_Left)
                                                       << QDate(2024, 12, 25) << QDate(2024, 12, 31)
                                                       << "Data >= #12/25/2024# AND Data < #01/01/2025#";
        // Whole months move by months, whatever their number of days.
        QTest::newRow("January to February") << QDate(2025, 1, 1) << QDate(2025, 1, 31) << int(Qt::Key_Right)
                                             << QDate(2025, 2, 1) << QDate(2025, 2, 28)
                                             << "Data >= #02/01/2025# AND Data < #03/01/2025#";
        QTest::newRow("a quarter into the new year") << QDate(2024, 10, 1) << QDate(2024, 12, 31) << int(Qt::Key_Right)
                                                     << QDate(2025, 1, 1) << QDate(2025, 3, 31)
                                                     << "Data >= #01/01/2025# AND Data < #04/01/2025#";
    }

    void periodWalksByItsLength()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(int, key);
        QFETCH(QDate, reachedFrom);
        QFETCH(QDate, reachedTo);
        showPeriod(from, to);
        QCOMPARE(widget<QAction>("mnuSelNext")->text(), QStringLiteral("Periodo &successivo\tAlt+Destra"));
        QTest::keyClick(grid(), Qt::Key(key), Qt::AltModifier);
        QCOMPARE(form().view().selectionDate(), reachedFrom);
        QCOMPARE(form().view().selectionPeriodEnd(), reachedTo);
        QTEST(shownCondition(), "condition");
        const QString shown = reachedFrom.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral(" - ")
            + reachedTo.toString(QStringLiteral("dd/MM/yyyy"));
        QCOMPARE(dateButton()->text(), QStringLiteral("< ") + shown + QStringLiteral(" >"));

        // The button's arrows walk it too; "Periodo corrente" holds today.
        clickDateButton(-2);
        clickDateButton(2);
        QCOMPARE(form().view().selectionDate(), reachedFrom);
        widget<QAction>("mnuSelToday")->trigger();
        QCOMPARE(int(form().view().dateSelection()), int(DateSelection::Period));
        QVERIFY(form().view().selectionDate() <= QDate::currentDate());
        QVERIFY(form().view().selectionPeriodEnd() >= QDate::currentDate());
    }

    void arrowsOfTheButtonMoveAndItsDateOpensTheMenu()
    {
        showPayments(false, QDate(2005, 3, 7));
        clickDateButton(2);
        QCOMPARE(form().view().selectionDate(), QDate(2005, 3, 6));
        clickDateButton(-2);
        clickDateButton(-2);
        QCOMPARE(form().view().selectionDate(), QDate(2005, 3, 8));
        QCOMPARE(shownCondition(), QStringLiteral("Data >= #03/08/2005# AND Data < #03/09/2005#"));
        QVERIFY(!widget<QMenu>("mnuSelection")->isVisible());
        clickDateButton(dateButton()->width() / 2);
        QTRY_VERIFY(widget<QMenu>("mnuSelection")->isVisible());
        widget<QMenu>("mnuSelection")->hide();
        QCOMPARE(form().view().selectionDate(), QDate(2005, 3, 8));
    }

    void menuItemsFollowTheModeAndTodayReturns()
    {
        showPayments(true, QDate(2005, 3, 7));
        QCOMPARE(widget<QAction>("mnuSelNext")->text(), QStringLiteral("Mese &successivo\tAlt+Destra"));
        widget<QAction>("mnuSelNext")->trigger();
        QCOMPARE(dateButton()->text(), QStringLiteral("< aprile 2005 >"));
        widget<QAction>("mnuSelPrevious")->trigger();
        widget<QAction>("mnuSelPrevious")->trigger();
        QCOMPARE(shownCondition(), QStringLiteral("Month(Data) = 2 AND Year(Data) = 2005"));
        QTest::keyClick(grid(), Qt::Key_Home, Qt::AltModifier);
        QCOMPARE(form().view().selectionDate(), QDate::currentDate());
        QCOMPARE(int(form().view().dateSelection()), int(DateSelection::Month));
    }

    void allDatesHaveNoDayToMoveFrom()
    {
        showPayments(false, QDate(2005, 3, 7));
        form().view().setDateSelection(DateSelection::All);
        form().UpdateDateSelectionCaption();
        QVERIFY(!widget<QAction>("mnuSelNext")->isEnabled());
        const int beeps = MessageService::beepCount();
        QTest::keyClick(grid(), Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(MessageService::beepCount(), beeps + 1);
        QCOMPARE(form().view().selectionDate(), QDate(2005, 3, 7));
        // "< tutti >" has no arrows: a click on its "<" opens the menu.
        clickDateButton(2);
        QTRY_VERIFY(widget<QMenu>("mnuSelection")->isVisible());
        widget<QMenu>("mnuSelection")->hide();
        // Today selects today's day.
        widget<QAction>("mnuSelToday")->trigger();
        QCOMPARE(int(form().view().dateSelection()), int(DateSelection::Day));
        QCOMPARE(form().view().selectionDate(), QDate::currentDate());
    }

    void sectionsWithoutDatesOnlyBeep()
    {
        showPayments(false, QDate(2005, 3, 7));
        select(QStringLiteral("Sospesi"));
        const int beeps = MessageService::beepCount();
        QTest::keyClick(grid(), Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(MessageService::beepCount(), beeps + 1);
        QCOMPARE(form().view().selectionDate(), QDate(2005, 3, 7));
    }

    void placeSurvivesARestart_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("section");
        QTest::addColumn<bool>("nextDay");
        QTest::addColumn<QDate>("reachedFrom");
        QTest::addColumn<QDate>("reachedTo");
        const QDate today = QDate::currentDate();
        const int month = int(DateSelection::Month), day = int(DateSelection::Day), period = int(DateSelection::Period);
        QTest::newRow("a past month, again the same day")
            << month << QDate(2005, 1, 31) << QDate() << "Statistiche" << false << QDate(2005, 1, 31) << QDate();
        QTest::newRow("a past month, the next morning")
            << month << QDate(2005, 1, 31) << QDate() << "Statistiche" << true << today << QDate();
        QTest::newRow("a past day, again the same day")
            << day << QDate(2004, 12, 31) << QDate() << "Pagamenti" << false << QDate(2004, 12, 31) << QDate();
        QTest::newRow("a past day, the next morning")
            << day << QDate(2004, 12, 31) << QDate() << "Pagamenti" << true << today << QDate();
        QTest::newRow("all dates of the outstanding, the next morning")
            << int(DateSelection::All) << today << QDate() << "Sospesi" << true << today << QDate();
        QTest::newRow("a past week, again the same day") << period << today.addDays(-10) << today.addDays(-4) << "Pagamenti"
                                                         << false << today.addDays(-10) << today.addDays(-4);
        // The week that holds today, as the arrows would reach it.
        QTest::newRow("a past week, the next morning") << period << today.addDays(-10) << today.addDays(-4) << "Pagamenti"
                                                       << true << today.addDays(-3) << today.addDays(3);
    }

    void placeSurvivesARestart()
    {
        QFETCH(int, mode);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QString, section);
        QFETCH(bool, nextDay);
        showPayments(false, from);
        form().view().setDateSelection(DateSelection(mode));
        form().view().setSelectionPeriodEnd(to);
        select(section);
        widget<QAction>("mnuFileClose")->trigger();
        if (nextDay) // left yesterday
            Settings::writeText(QStringLiteral("Settings"), QStringLiteral("LastDay"),
                                QDate::currentDate().addDays(-1).toString(Qt::ISODate));

        // The new window starts from nothing but what was stored.
        auto next = restarted();
        QCOMPARE(int(next->view().dateSelection()), mode);
        QTEST(next->view().selectionDate(), "reachedFrom");
        if (mode == int(DateSelection::Period))
            QTEST(next->view().selectionPeriodEnd(), "reachedTo");
        QCOMPARE(next->selectedNodeKey(), section);
        closeWindowAndArchive();
        m_form = std::move(next);
        m_archive = std::make_unique<OpenArchive>();
    }

    void unreadableStoredValuesFallBack_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("date");
        QTest::addColumn<bool>("month");
        QTest::addColumn<QDate>("reached");
        QTest::newRow("a date that no longer parses") << "month" << "2005-02-31" << true << QDate::currentDate();
        QTest::newRow("a date of another format") << "day" << "07/03/2005" << false << QDate::currentDate();
        QTest::newRow("an unknown mode") << "week" << "2005-03-07" << false << QDate(2005, 3, 7);
        QTest::newRow("a period without its end") << "period" << "2005-03-07" << false << QDate::currentDate();
    }

    void unreadableStoredValuesFallBack()
    {
        QFETCH(QString, mode);
        QFETCH(QString, date);
        Settings::writeText(QStringLiteral("Settings"), QStringLiteral("LastDateMode"), mode);
        Settings::writeText(QStringLiteral("Settings"), QStringLiteral("LastDate"), date);
        Settings::writeText(QStringLiteral("Settings"), QStringLiteral("LastSection"), QStringLiteral("Nessuna"));
        Settings::writeText(QStringLiteral("Settings"), QStringLiteral("LastDay"), QDate::currentDate().toString(Qt::ISODate));
        modGlobal::AppSession().dataContext->UserLevel = 1;
        auto next = restarted();
        QTEST(next->view().dateSelection() == DateSelection::Month, "month");
        QTEST(next->view().selectionDate(), "reached");
        // A section no longer in the tree leaves the tree's first node.
        QCOMPARE(next->selectedNode(), next->nodeByIndex(1));
    }
};

COBRELLE_TEST_MAIN(DayByDayTest)
#include "tst_daybyday.moc"
