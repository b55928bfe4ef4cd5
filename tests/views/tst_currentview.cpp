// The current view alone, on a grid of its own and without any main window: its settings, the
// sections it opens with the date selection, its filters and the totals that follow them, the date
// commands, the order and the release.

#include "knowndays.h"
#include "testsupport.h"

#include "grid/columnfilters.h"
#include "grid/viewtotals.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"
#include "services/configuration.h"
#include "views/currentview.h"

#include <QApplication>
#include <QSettings>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

#include <memory>
#include <optional>

class TestCurrentView : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSupport::TempWorkDir> m_dir;
    TestSupport::Archive m_archive;
    TestSupport::RecordingSink m_sink;
    std::unique_ptr<QWidget> m_owner;
    QTableView *m_grid = nullptr;
    CurrentView *m_view = nullptr;
    // The totals the view told last.
    std::optional<ViewTotals> m_totals;

    static QString stored(const char *key)
    {
        return Settings::readText(QStringLiteral("Configuration"), QLatin1String(key), QStringLiteral("(none)"));
    }

    void open(const QString &key, DateSelection selection, const QDate &date, const QDate &periodEnd = QDate())
    {
        m_view->setDateSelection(selection);
        m_view->setSelectionDate(date);
        m_view->setSelectionPeriodEnd(periodEnd);
        QString note;
        const SectionViewRequest request = m_view->requestFor(*m_archive.context, key, key, QString(), note);
        m_view->open(*m_archive.context, request);
    }

    // The totals of the rows the view shows once it has read them.
    qint64 totalRows()
    {
        m_totals.reset();
        [&] { QTRY_VERIFY(m_totals.has_value()); }();
        return m_totals ? m_totals->rows : -1;
    }

private slots:
    void init()
    {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Cobrelle"), QStringLiteral("Cobrelle"))
            .clear();
        m_dir = std::make_unique<TestSupport::TempWorkDir>();
        m_archive = TestSupport::openArchive(m_dir->databasePath());
        KnownDays::fill(*m_archive.database);
        m_archive.context->UserLevel = 1;
        m_owner = std::make_unique<QWidget>();
        m_grid = new QTableView(m_owner.get());
        m_owner->resize(800, 500);
        m_owner->show();
        m_view = new CurrentView(*m_grid, *m_owner, m_sink);
        connect(m_view, &CurrentView::totalsShown, this, [this](const ViewTotals &totals) { m_totals = totals; });
    }

    void cleanup()
    {
        m_owner.reset();
        m_archive = {};
        m_dir.reset();
    }

    void settingsAreReadAndWritten_data()
    {
        QTest::addColumn<QString>("useDateSelection");
        QTest::addColumn<QString>("currencyConversion");
        QTest::addColumn<int>("selection");
        QTest::addColumn<bool>("converted");
        QTest::newRow("first start") << QString() << QString() << int(DateSelection::Day) << false;
        QTest::newRow("empty and a true word") << "" << " vero " << int(DateSelection::Day) << true;
        QTest::newRow("false words") << "falso" << "False" << int(DateSelection::All) << false;
    }

    void settingsAreReadAndWritten()
    {
        QFETCH(QString, useDateSelection);
        QFETCH(QString, currencyConversion);
        QFETCH(bool, converted);
        if (!useDateSelection.isNull())
            Settings::writeText(QStringLiteral("Configuration"), QStringLiteral("UseDateSelection"), useDateSelection);
        if (!currencyConversion.isNull())
            Settings::writeText(QStringLiteral("Configuration"), QStringLiteral("CurrencyConversion"), currencyConversion);
        m_view->setDateSelection(DateSelection::Period);
        m_view->setCurrencyConversion(!converted);
        m_view->readSettings();
        QTEST(int(m_view->dateSelection()), "selection");
        QCOMPARE(m_view->currencyConversion(), converted);
        // Reading writes nothing.
        if (useDateSelection.isNull())
            QCOMPARE(stored("UseDateSelection"), QStringLiteral("(none)"));

        // Only a day selection is stored as such: a month is never.
        m_view->setDateSelection(DateSelection::Month);
        m_view->setCurrencyConversion(true);
        m_view->writeSettings();
        QCOMPARE(stored("UseDateSelection"), QStringLiteral("False"));
        QCOMPARE(stored("CurrencyConversion"), QStringLiteral("True"));
        m_view->setDateSelection(DateSelection::Day);
        m_view->writeSettings();
        m_view->setDateSelection(DateSelection::All);
        m_view->readSettings();
        QCOMPARE(int(m_view->dateSelection()), int(DateSelection::Day));
        QVERIFY(m_view->currencyConversion());
    }

    void opensTheSectionWithTheDateSelection_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("selection");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("dateField");
        QTest::addColumn<qint64>("rows");
        QTest::newRow("a day") << "Pagamenti" << int(DateSelection::Day) << QDate(2005, 3, 7)
                               << "Data >= #03/07/2005# AND Data < #03/08/2005#" << "Data" << qint64(3);
        QTest::newRow("a month") << "Pagamenti" << int(DateSelection::Month) << QDate(2005, 3, 10)
                                 << "Month(Data) = 3 AND Year(Data) = 2005" << "Data" << qint64(5);
        QTest::newRow("all dates") << "Pagamenti" << int(DateSelection::All) << QDate(2005, 3, 7) << QString() << "Data"
                                   << qint64(5);
        QTest::newRow("no date field") << "Sospesi" << int(DateSelection::Day) << QDate(2005, 3, 7) << "Pagato= False"
                                       << QString() << qint64(4);
    }

    void opensTheSectionWithTheDateSelection()
    {
        QFETCH(QString, key);
        QFETCH(int, selection);
        QFETCH(QDate, date);
        open(key, DateSelection(selection), date);
        QVERIFY(m_view->isBound());
        QTEST(m_view->m_objCurDS->BaseFilter(), "condition");
        QTEST(m_view->dateField(), "dateField");
        QTEST(totalRows(), "rows");
        QCOMPARE(qint64(objdb::ViewUtility::modelOf(m_grid)->rowCount()), m_totals->rows);
        // The band sums only a dated view's amounts.
        QCOMPARE(m_totals->columns.isEmpty(), m_view->dateField().isEmpty());
    }

    void filtersAreAppliedAndTakenAway_data()
    {
        QTest::addColumn<bool>("complex");
        QTest::newRow("column filter") << false;
        QTest::newRow("complex filter") << true;
    }

    void filtersAreAppliedAndTakenAway()
    {
        QFETCH(bool, complex);
        open(QStringLiteral("Pagamenti"), DateSelection::All, QDate());
        QCOMPARE(totalRows(), qint64(5));
        QSignalSpy marks(m_view, &CurrentView::filtersChanged);
        QSignalSpy status(m_view, &CurrentView::statusMessage);
        if (complex) {
            m_view->filterInComplex(QStringLiteral("Operatore"), QStringLiteral("Rossi"), false);
        } else {
            const QString title = QStringLiteral("Operatore");
            m_view->applyColumnFilters({{title, ColumnFilters::filteredCaption(title, QStringLiteral("Rossi"), false), title}});
            QCOMPARE(m_view->m_objCurDS->Filter(), QStringLiteral("Operatore Like 'Rossi*'"));
            QCOMPARE(status.takeFirst().at(0).toString(), QStringLiteral("Attivato filtro (Operatore = 'Rossi*')"));
        }
        QCOMPARE(marks.takeFirst(), (QVariantList{true, complex}));
        QCOMPARE(totalRows(), qint64(2));

        m_view->cancelFilters();
        QCOMPARE(m_view->m_objCurDS->Filter(), QString());
        QCOMPARE(marks.takeFirst(), (QVariantList{false, false}));
        QCOMPARE(status.takeLast().at(0).toString(), QStringLiteral("Disattivato filtro"));
        QCOMPARE(totalRows(), qint64(5));
    }

    void dateCommandsMoveAndStore_data()
    {
        QTest::addColumn<int>("selection");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QDate>("periodEnd");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QDate>("reached");
        QTest::addColumn<QDate>("reachedEnd");
        QTest::addColumn<QString>("stored");
        QTest::newRow("a day on") << int(DateSelection::Day) << QDate(2005, 3, 7) << QDate() << 1 << QDate(2005, 3, 8)
                                  << QDate() << "True";
        QTest::newRow("a month on, to its last day") << int(DateSelection::Month) << QDate(2005, 3, 31) << QDate() << 1
                                                     << QDate(2005, 4, 30) << QDate() << "False";
        QTest::newRow("a week back") << int(DateSelection::Period) << QDate(2005, 3, 7) << QDate(2005, 3, 13) << -1
                                     << QDate(2005, 2, 28) << QDate(2005, 3, 6) << "False";
    }

    void dateCommandsMoveAndStore()
    {
        QFETCH(int, selection);
        QFETCH(QDate, date);
        QFETCH(QDate, periodEnd);
        QFETCH(int, steps);
        open(QStringLiteral("Pagamenti"), DateSelection(selection), date, periodEnd);
        QSignalSpy changed(m_view, &CurrentView::dateSelectionChanged);
        m_view->stepSelection(steps);
        QCOMPARE(changed.size(), 1);
        QTEST(m_view->selectionDate(), "reached");
        QTEST(m_view->selectionPeriodEnd(), "reachedEnd");
        QCOMPARE(int(m_view->dateSelection()), selection);
        QTEST(stored("UseDateSelection"), "stored");

        // All dates have no day to move from: today's day is selected.
        m_view->setDateSelection(DateSelection::All);
        m_view->selectToday();
        QCOMPARE(int(m_view->dateSelection()), int(DateSelection::Day));
        QCOMPARE(m_view->selectionDate(), QDate::currentDate());
        QCOMPARE(stored("UseDateSelection"), QStringLiteral("True"));
        QCOMPARE(changed.size(), 2);
    }

    void aSecondSortOnTheFieldReversesAndReleaseLetsAllGo()
    {
        open(QStringLiteral("Pagamenti"), DateSelection::All, QDate());
        m_view->sortBy(QStringLiteral("Operatore"));
        QCOMPARE(m_view->m_objCurDS->Sort(), QStringLiteral("Operatore"));
        m_view->sortBy(QStringLiteral("Operatore"));
        QCOMPARE(m_view->m_objCurDS->Sort(), QStringLiteral("Operatore DESC"));
        QVERIFY(m_view->gridSetting());

        m_view->release();
        QVERIFY(!m_view->m_objCurDS);
        QVERIFY(!m_view->isBound());
        QVERIFY(!objdb::ViewUtility::modelOf(m_grid));
        QCOMPARE(m_view->dateField(), QString());
        // The grid setting stays for the next view of the same table.
        QVERIFY(m_view->gridSetting());
    }
};

COBRELLE_TEST_MAIN(TestCurrentView)
#include "tst_currentview.moc"
