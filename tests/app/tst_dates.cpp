// The date selection: captions and check marks, the four commands with what they store and
// refresh, the single-date and period dialogs, and the title that names the section and its dates.
#include "viewsfixture.h"

#include "services/configuration.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "views/frmDateSetting.h"
#include "views/datestep.h"
#include "views/frmFromDateToDate.h"

#include <QAction>
#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTest>

using namespace ViewsFixture;

namespace {

const QDate kMarch7(2005, 3, 7);

QString storedSelection()
{
    return Settings::readText(QStringLiteral("Configuration"), QStringLiteral("UseDateSelection"),
                              QStringLiteral("(none)"));
}

// Clicks (or double-clicks) the day shown as selected in a calendar.
void clickSelectedDay(QCalendarWidget *calendar, bool twice)
{
    auto *view = calendar->findChild<QTableView *>();
    QVERIFY(view);
    const QRect cell = view->visualRect(view->currentIndex());
    if (twice)
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    else
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
}

} // namespace

class DatesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<OpenArchive> m_archive;
    std::unique_ptr<frmMain> m_form;
    frmMain &form() { return *m_form; }
    template <class T>
    T *widget(const char *name) { return ViewsFixture::widget<T>(form(), QLatin1String(name)); }
    QString shownCondition() { return form().view().m_objCurDS->BaseFilter(); }

    void selectState(bool day, bool month)
    {
        form().view().setDateSelection(day ? DateSelection::Day : month ? DateSelection::Month : DateSelection::All);
        form().UpdateDateSelectionCaption();
    }

    // The payments, the section limited by the date selection, shown with the given selection.
    void showPayments(bool day, bool month)
    {
        m_archive = std::make_unique<OpenArchive>();
        modGlobal::AppSession().dataContext->UserLevel = 1;
        form().SetTreeViewNodes();
        tree(form())->setCurrentItem(form().nodeByIndex(6));
        selectState(day, month);
        form().RefreshDetailView();
        QVERIFY(showsTable(form(), QStringLiteral("Pagamenti")));
    }

private slots:
    void init()
    {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Cobrelle"), QStringLiteral("Cobrelle"))
            .clear();
        m_form = std::make_unique<frmMain>();
        form().view().setSelectionDate(kMarch7);
    }

    void cleanup()
    {
        m_form.reset();
        m_archive.reset();
    }

    void captionsFollowTheSelection_data()
    {
        QTest::addColumn<bool>("day");
        QTest::addColumn<bool>("month");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QString>("menu");
        QTest::newRow("month") << false << true << "< marzo 2005 >" << "Dati del mese 03/2005 relativi a "
                               << "Solo in data < marzo 2005 >";
        QTest::newRow("day") << true << false << "< 07 mar 2005 >" << "Dati del giorno 07/03/2005 relativi a "
                             << "Solo in data < 07 mar 2005 >";
        QTest::newRow("all") << false << false << "< tutti >" << "Nessuna selezione per " << "Seleziona per ";
    }

    void captionsFollowTheSelection()
    {
        QFETCH(bool, day);
        QFETCH(bool, month);
        selectState(day, month);
        QTEST(widget<QPushButton>("cmdDateSel")->text(), "caption");
        QTEST(widget<QPushButton>("cmdDateSel")->toolTip(), "tip");
        QTEST(widget<QMenu>("mnuSelection")->title(), "menu");
        QCOMPARE(widget<QAction>("mnuSelAll")->isChecked(), !day && !month);
        QCOMPARE(widget<QAction>("mnuSelDate")->isChecked(), day);
        QCOMPARE(widget<QAction>("mnuSelMonth")->isChecked(), month);
    }

    void captionNamesTheDateField()
    {
        OpenArchive archive;
        form().view().m_objCurDS = modGlobal::AppSession().dataContext->Tables().Item(QStringLiteral("Pagamenti")).OpenDataSource();
        widget<QPushButton>("cmdDateSel")->setProperty("tag", QStringLiteral("DataCopertura"));
        QCOMPARE(form().view().m_objCurDS->Field(QStringLiteral("DataCopertura"))->caption, QStringLiteral("Data Copertura"));
        selectState(true, false);
        QCOMPARE(widget<QPushButton>("cmdDateSel")->text(), QStringLiteral("Copertura  < 07 mar 2005 >"));
        QCOMPARE(widget<QPushButton>("cmdDateSel")->toolTip(),
                 QStringLiteral("Dati del giorno 07/03/2005 relativi a Data Copertura"));
        selectState(false, false);
        QCOMPARE(widget<QMenu>("mnuSelection")->title(), QStringLiteral("Seleziona per Data Copertura"));

        // A field captioned just "Data" adds nothing before the date.
        widget<QPushButton>("cmdDateSel")->setProperty("tag", QStringLiteral("Data"));
        selectState(false, true);
        QCOMPARE(widget<QPushButton>("cmdDateSel")->text(), QStringLiteral("< marzo 2005 >"));
        QCOMPARE(widget<QPushButton>("cmdDateSel")->toolTip(), QStringLiteral("Dati del mese 03/2005 relativi a Data"));
        form().view().m_objCurDS.reset();
    }

    void loadingTheWindowShowsTheSelection()
    {
        form().view().setDateSelection(DateSelection::Day);
        form().Form_Load();
        QVERIFY(widget<QAction>("mnuSelDate")->isChecked());
        QVERIFY(widget<QPushButton>("cmdDateSel")->text().startsWith(QStringLiteral("< ")));
        QVERIFY(widget<QPushButton>("cmdDateSel")->text() != QStringLiteral("< tutti >"));
    }

    void allWhenAlreadyCheckedDoesNothing()
    {
        showPayments(false, false);
        const objdb::DataSource *shown = form().view().m_objCurDS.get();
        widget<QAction>("mnuSelAll")->trigger();
        QCOMPARE(storedSelection(), QStringLiteral("(none)"));
        // Not even read again.
        QCOMPARE(form().view().m_objCurDS.get(), shown);
        QVERIFY(widget<QAction>("mnuSelAll")->isChecked());
    }

    void allFromADaySelectionStoresAndRefreshes()
    {
        showPayments(true, false);
        QCOMPARE(shownCondition(), QStringLiteral("Data >= #03/07/2005# AND Data < #03/08/2005#"));
        widget<QAction>("mnuSelAll")->trigger();
        QCOMPARE(int(form().view().dateSelection()), int(DateSelection::All));
        QCOMPARE(storedSelection(), QStringLiteral("False"));
        QVERIFY(showsTable(form(), QStringLiteral("Pagamenti")));
        QCOMPARE(shownCondition(), QString());
        QCOMPARE(widget<QPushButton>("cmdDateSel")->text(), QStringLiteral("< tutti >"));
        QVERIFY(widget<QAction>("mnuSelAll")->isChecked());
        QVERIFY(!widget<QAction>("mnuSelDate")->isChecked());
    }

    void cancellingTheMonthDialogChangesNothing()
    {
        showPayments(true, false);
        const objdb::DataSource *shown = form().view().m_objCurDS.get();
        const QString caption = widget<QPushButton>("cmdDateSel")->text();
        whenDialogOpens<frmDateSetting>([](frmDateSetting *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Impostazione della data"));
            QCOMPARE(dialog->calTimeSetting->selectedDate(), kMarch7);
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        widget<QAction>("mnuSelMonth")->trigger();
        QCOMPARE(int(form().view().dateSelection()), int(DateSelection::Day));
        QVERIFY(form().view().dateSelection() != DateSelection::Month);
        QCOMPARE(form().view().selectionDate(), kMarch7);
        QCOMPARE(widget<QPushButton>("cmdDateSel")->text(), caption);
        QVERIFY(widget<QAction>("mnuSelDate")->isChecked());
        QVERIFY(!widget<QAction>("mnuSelMonth")->isChecked());
        QCOMPARE(storedSelection(), QStringLiteral("(none)"));
        QCOMPARE(form().view().m_objCurDS.get(), shown);
    }

    void monthChosenOnTheDialog()
    {
        showPayments(true, false);
        whenDialogOpens<frmDateSetting>([](frmDateSetting *dialog) {
            dialog->calTimeSetting->setSelectedDate(QDate(2006, 4, 18));
            QTest::mouseClick(dialog->cmdSetting, Qt::LeftButton);
        });
        widget<QAction>("mnuSelMonth")->trigger();
        QVERIFY(form().view().dateSelection() != DateSelection::Day);
        QCOMPARE(int(form().view().dateSelection()), int(DateSelection::Month));
        QCOMPARE(form().view().selectionDate(), QDate(2006, 4, 18));
        QCOMPARE(widget<QPushButton>("cmdDateSel")->text(), QStringLiteral("< aprile 2006 >"));
        QVERIFY(widget<QAction>("mnuSelMonth")->isChecked());
        QCOMPARE(storedSelection(), QStringLiteral("False"));
        QCOMPARE(shownCondition(), QStringLiteral("Month(Data) = 4 AND Year(Data) = 2006"));
    }

    void dayChosenByDoubleClick()
    {
        showPayments(false, true);
        whenDialogOpens<frmDateSetting>([](frmDateSetting *dialog) {
            dialog->calTimeSetting->setSelectedDate(QDate(2005, 12, 31));
            clickSelectedDay(dialog->calTimeSetting, true);
        });
        widget<QAction>("mnuSelDate")->trigger();
        QCOMPARE(int(form().view().dateSelection()), int(DateSelection::Day));
        QVERIFY(form().view().dateSelection() != DateSelection::Month);
        QCOMPARE(form().view().selectionDate(), QDate(2005, 12, 31));
        QCOMPARE(widget<QPushButton>("cmdDateSel")->text(), QStringLiteral("< 31 dic 2005 >"));
        QCOMPARE(storedSelection(), QStringLiteral("True"));
        QCOMPARE(shownCondition(), QStringLiteral("Data >= #12/31/2005# AND Data < #01/01/2006#"));
    }

    void periodChosenOnTheDialog()
    {
        TestSupport::ScriptedMessages script;
        showPayments(true, false);
        int opened = 0;
        // An end before the start is told and asked again, with what was typed.
        whenDialogOpens<frmFromDateToDate>([&](frmFromDateToDate *dialog) {
            ++opened;
            QCOMPARE(dialog->txtFromDate->text(), QStringLiteral("07/03/2005"));
            QCOMPARE(dialog->txtToDate->text(), QStringLiteral("07/03/2005"));
            dialog->txtFromDate->setText(QStringLiteral("28/02/2005"));
            dialog->txtToDate->setText(QStringLiteral("27/02/2005"));
            dialog->cmdSet->click();
            whenDialogOpens<frmFromDateToDate>([&](frmFromDateToDate *again) {
                ++opened;
                QCOMPARE(again->txtFromDate->text(), QStringLiteral("28/02/2005"));
                again->txtToDate->setText(QStringLiteral("06/03/2005"));
                again->cmdSet->click();
            });
        });
        widget<QAction>("mnuSelPeriod")->trigger();
        QCOMPARE(opened, 2);
        QCOMPARE(script.texts(), QStringList{"La data di fine periodo precede la data di inizio."});
        QCOMPARE(int(form().view().dateSelection()), int(DateSelection::Period));
        QCOMPARE(form().view().selectionDate(), QDate(2005, 2, 28));
        QCOMPARE(form().view().selectionPeriodEnd(), QDate(2005, 3, 6));
        QVERIFY(widget<QAction>("mnuSelPeriod")->isChecked());
        QVERIFY(!widget<QAction>("mnuSelDate")->isChecked());
        QCOMPARE(widget<QPushButton>("cmdDateSel")->text(), QStringLiteral("< 28/02/2005 - 06/03/2005 >"));
        QCOMPARE(widget<QPushButton>("cmdDateSel")->toolTip(),
                 QStringLiteral("Dati del periodo dal 28/02/2005 al 06/03/2005 relativi a Data"));
        QCOMPARE(widget<QMenu>("mnuSelection")->title(), QStringLiteral("Solo nel periodo"));
        QCOMPARE(shownCondition(), QStringLiteral("Data >= #02/28/2005# AND Data < #03/07/2005#"));
        QCOMPARE(storedSelection(), QStringLiteral("False"));
    }

    void titleNamesTheSectionAndItsDates_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("title");
        const int day = int(DateSelection::Day);
        QTest::newRow("a day") << "Pagamenti" << day << "Pagamenti — 12/06/2024";
        QTest::newRow("a month") << "Pagamenti" << int(DateSelection::Month) << "Pagamenti — giugno 2024";
        QTest::newRow("a period") << "Statistiche" << int(DateSelection::Period)
                                  << "Statistiche — dal 12/06/2024 al 18/06/2024";
        QTest::newRow("all dates") << "Pagamenti" << int(DateSelection::All) << "Pagamenti — tutte le date";
        QTest::newRow("a section without dates") << "Sospesi" << day << "Sospesi";
        QTest::newRow("a grouping node") << "Archivio" << day << "Archivio";
    }

    void titleNamesTheSectionAndItsDates()
    {
        QFETCH(QString, section);
        QFETCH(int, mode);
        m_archive = std::make_unique<OpenArchive>();
        modGlobal::AppSession().dataContext->UserLevel = 1;
        form().SetTreeViewNodes();
        form().view().setSelectionDate(QDate(2024, 6, 12));
        form().view().setSelectionPeriodEnd(QDate(2024, 6, 18));
        form().view().setDateSelection(DateSelection(mode));
        // A message of an earlier operation does not stay once the view has changed.
        form().SetStatusMsg(QStringLiteral("Salvataggio <Pagamenti>..."));
        QVERIFY(openSection(form(), section));
        QTEST(widget<QLabel>("lblTitle_1")->text(), "title");
        QCOMPARE(widget<QLabel>("sbStatusBar_Panel1")->text(), QStringLiteral("Sezione: <") + section + QLatin1Char('>'));
    }

    void dateDialogStartsTodayWithoutADateAndCentres()
    {
        QRect placed;
        whenDialogOpens<frmDateSetting>([&placed](frmDateSetting *dialog) {
            QCOMPARE(dialog->calTimeSetting->selectedDate(), QDate::currentDate());
            placed = dialog->frameGeometry();
            dialog->reject();
        });
        QVERIFY(!frmDateSetting::SetDate(QVariant(), -1, -1, nullptr).isValid());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(qAbs(placed.center().x() - screen.center().x()) <= placed.width() / 2 + 1);
    }

    void dateButtonPopsUpTheSelectionMenu()
    {
        OpenArchive archive; // an open archive keeps the first activation from asking for one
        form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
        widget<QPushButton>("cmdDateSel")->click();
        QTRY_VERIFY(widget<QMenu>("mnuSelection")->isVisible());
        widget<QMenu>("mnuSelection")->hide();
    }

    void periodRefusesAnImpossibleStartFirst()
    {
        TestSupport::ScriptedMessages script;
        QVariant from = QDate(2005, 1, 1);
        QVariant to = QDate(2005, 1, 31);
        whenDialogOpens<frmFromDateToDate>([&script](frmFromDateToDate *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Selezione Periodo"));
            QCOMPARE(dialog->txtFromDate->text(), QStringLiteral("01/01/2005"));
            QCOMPARE(dialog->txtToDate->text(), QStringLiteral("31/01/2005"));
            QCOMPARE(dialog->calToData->selectedDate(), QDate(2005, 1, 31));
            dialog->txtFromDate->setText(QStringLiteral("31/02/2005"));
            dialog->txtToDate->setText(QStringLiteral("domani"));
            dialog->cmdSet->click();
            QCOMPARE(script.texts(), QStringList{"La data di inizio periodo non è valida."});
            QCOMPARE(script.seen()[0].icon, MessageService::Icon::Critical);
            QCOMPARE(script.seen()[0].buttons, MessageService::Buttons::Ok);
            QCOMPARE(script.seen()[0].title, MessageService::commonTitle());
            QVERIFY(dialog->isVisible());

            dialog->txtFromDate->setText(QStringLiteral("1/2/2005"));
            dialog->cmdSet->click();
            QCOMPARE(script.texts().last(), QStringLiteral("La data di fine periodo non è valida."));
            QVERIFY(dialog->isVisible());

            // An end before the start is accepted.
            dialog->txtToDate->setText(QStringLiteral("15/01/2005"));
            dialog->cmdSet->click();
        });
        QVERIFY(frmFromDateToDate::SetDate(from, to, -1, -1, nullptr));
        QCOMPARE(from.toDate(), QDate(2005, 2, 1));
        QCOMPARE(to.toDate(), QDate(2005, 1, 15));
    }

    void periodCancelledLeavesTheArguments()
    {
        QVariant from;
        QVariant to = QDate(2005, 6, 30);
        whenDialogOpens<frmFromDateToDate>([](frmFromDateToDate *dialog) {
            QCOMPARE(dialog->txtFromDate->text(), frmFromDateToDate::dateText(QDate::currentDate()));
            dialog->txtFromDate->setText(QStringLiteral("01/06/2005"));
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QVERIFY(!frmFromDateToDate::SetDate(from, to, -1, -1, nullptr));
        QVERIFY(from.isNull());
        QCOMPARE(to.toDate(), QDate(2005, 6, 30));
    }

    void periodCalendarsAndTextsFollowEachOther()
    {
        frmFromDateToDate dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.calFromData->setSelectedDate(QDate(2005, 3, 7));
        clickSelectedDay(dialog.calFromData, false);
        QCOMPARE(dialog.txtFromDate->text(), QStringLiteral("07/03/2005"));

        // A valid text moves its calendar when the box loses the focus; an invalid one does not.
        dialog.txtToDate->setText(QStringLiteral("20/04/2005"));
        emit dialog.txtToDate->editingFinished();
        QCOMPARE(dialog.calToData->selectedDate(), QDate(2005, 4, 20));
        dialog.txtToDate->setText(QStringLiteral("30/02/2005"));
        emit dialog.txtToDate->editingFinished();
        QCOMPARE(dialog.calToData->selectedDate(), QDate(2005, 4, 20));
    }
};

COBRELLE_TEST_MAIN(DatesTest)
#include "tst_dates.moc"
