// The main window driven by its controls' names: layout, splitter, view toggles, keys,
// library notifications.
#include "app/frmMain.h"
#include "views/currentview.h"
#include "app/layout.h"
#include "desktop/modOSWinUtil.h"
#include "maintenance/archiveimport.h"
#include "services/twips.h"
#include "services/configuration.h"
#include "services/modGlobal.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"
#include "testsupport.h"
#include "windowtestsupport.h"

#include <functional>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

using MessageService::Answer;
using MessageService::Icon;

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<frmMain> m_form;
    TestSupport::TempWorkDir m_folder;
    TestSupport::Archive m_archive;

    frmMain &form() { return *m_form; }
    template <class T>
    T *widget(const char *name) { return WindowTest::widget<T>(form(), QLatin1String(name)); }
    QTableView *grid() { return widget<QTableView>("dgView"); }
    QTreeWidget *tree() { return widget<QTreeWidget>("tvTreeView"); }
    int splitterPx() { return widget<QWidget>("imgSplitter")->x(); }
    bool isYellow()
    {
        return widget<QPushButton>("cmdHideTree")->palette().color(QPalette::Button) == QColor(255, 255, 192);
    }
    void layoutAt(double twips) { LayoutMainWindow(*m_form, float(twips)); }

    // The companies' grid with its only record current, shown to the administrator.
    void showOneCompany()
    {
        modGlobal::AppSession().dataContext->UserLevel = 1;
        auto &companies = modGlobal::AppSession().dataContext->Tables().Item(QStringLiteral("Compagnie"));
        if (companies.OpenDataSource()->IsEmpty())
            QVERIFY(companies.OpenDataSource()->AddRow(
                {QStringLiteral("Codice"), QStringLiteral("C1"), QStringLiteral("RagioneSociale"), QStringLiteral("Alfa")}));
        form().SetTreeViewNodes();
        tree()->setCurrentItem(form().nodeByIndex(8));
        form().RefreshDetailView();
        QCOMPARE(form().view().m_objCurDS->TableName(), QStringLiteral("Compagnie"));
        QCOMPARE(form().view().m_objCurDS->RecordCount(), 1);
        auto *model = objdb::ViewUtility::modelOf(grid());
        QVERIFY(model);
        grid()->setCurrentIndex(model->index(0, 0));
        grid()->setFocus();
    }

    // Runs `act`; a modal window it opens is closed. "EditPanel(<company name shown>)" for the
    // editing panel, an empty string when nothing opened.
    QString panelOpenedBy(const std::function<void()> &act)
    {
        QString name;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            poll.stop();
            auto *field = modal->findChild<QLineEdit *>(QStringLiteral("edit_RagioneSociale"));
            name = modal->objectName();
            if (field)
                name += QLatin1Char('(') + field->text() + QLatin1Char(')');
            modal->close();
        });
        poll.start(10);
        act();
        // The window takes the keys again once active; the offscreen platform does not hand the
        // activation back as a window manager does.
        form().activateWindow();
        if (!QTest::qWaitForWindowActive(&form()))
            name += QStringLiteral(" left the window inactive");
        return name;
    }

private slots:
    void initTestCase()
    {
        // An open archive: activating the window asks for nothing.
        m_archive = TestSupport::openArchive(m_folder.databasePath());
        WindowTest::useArchive(m_folder, m_archive);
    }

    void cleanupTestCase() { WindowTest::closeArchive(m_archive); }

    void init()
    {
        WindowTest::clearStoredSettings();
        Settings::writeNumber(QStringLiteral("MainWidth"), 9000);
        Settings::writeNumber(QStringLiteral("MainHeight"), 6000);
        m_form = std::make_unique<frmMain>();
        form().Form_Load();
        form().show();
        form().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form()));
    }

    void cleanup()
    {
        // The remembered position outlives a window; leave the tree shown for the next test.
        if (form().isVisible() && form().cmdHideTreeShowsHidden())
            layoutAt(-1);
        m_form.reset();
    }

    void controlsCarryTheirNames()
    {
        for (const char *name :
             {"tbToolBar", "picTitles", "lblTitle_0", "lblTitle_1", "cmdHideTree", "cmdDateSel", "tvTreeView",
              "imgSplitter", "picSplitter", "dgView", "cmdGridSetting", "acmdSectionItem_0", "sbStatusBar",
              "sbStatusBar_Panel1", "tmFunc", "mnuFile", "mnuFileNew", "mnuFileProperties", "mnuFileDelete",
              "mnuFileClose", "mnuView", "mnuViewToolbar", "mnuViewStatusBar", "mnuHideSection", "mnuViewRefresh",
              "mnuViewCurrencyConversion", "mnuSearch", "mnuSearchItems_0", "mnuFilter", "mnuFilterShort",
              "mnuFilterItems_0", "mnuFilterComplex", "mnuFilterComplexItems_0", "mnuOrder", "mnuOrderItems_0",
              "mnuSelection", "mnuSelAll", "mnuSelDate", "mnuSelMonth", "mnuSelPeriod", "mnuAssociation",
              "mnuReferencedItem_0", "mnuRefItem_0", "mnuContItem_0", "mnuTools", "mnuToolsOptions", "mnuChangeUser",
              "mnuChangePwd", "mnuToolsTotal", "mnuTotalItems_0", "mnuToolsAverage", "mnuAverageItems_0",
              "mnuPrintFunc", "mnuFieldFuncs", "mnuDataSelection", "mnuDataSelBeforeQuery", "mnuDataSelCancel",
              "mnuHelp", "mnuHelpContents", "mnuHelpSearchForHelpOn", "mnuHelpAbout", "mnuPopUp", "mnuActivate", "mnuClose",
              "tbToolBar_Find", "tbToolBar_Log"})
            QVERIFY2(form().findChild<QObject *>(QLatin1String(name)), name);
        QCOMPARE(widget<QLabel>("lblTitle_1")->property("tag").toString(), QStringLiteral("Dettagli:"));
        QCOMPARE(form().windowTitle(), QStringLiteral("Cobrelle  [  ]"));
        QVERIFY(!widget<QAction>("mnuSearchItems_0")->isVisible());
        QCOMPARE(widget<QTimer>("tmFunc")->interval(), 1);
    }

    void requestedPositionsSnap()
    {
        layoutAt(1000);
        QCOMPARE(splitterPx(), Twips::toPixelsX(1500));
        QVERIFY(widget<QAction>("mnuHideSection")->isChecked());

        layoutAt(4000);
        QCOMPARE(splitterPx(), Twips::toPixelsX(4000));
        QCOMPARE(grid()->x(), Twips::toPixelsX(4000 + Layout::kSplitterWidth));
        QCOMPARE(widget<QLabel>("lblTitle_0")->width(), tree()->width());
        QVERIFY(tree()->geometry().right() < widget<QWidget>("imgSplitter")->x());
        QVERIFY(grid()->geometry().right() < form().width());
    }

    void positionPastTheGridRoomIsPulledBack()
    {
        const double width = Twips::fromPixelsX(form().width());
        layoutAt(width);
        QCOMPARE(splitterPx(), Twips::toPixelsX(width - Layout::kGridMinWidth));
        // The tree shrinks with the splitter instead of running under the grid.
        QVERIFY(tree()->geometry().right() < widget<QWidget>("imgSplitter")->x());
    }

    void smallRequestHidesAndRestoreBringsItBack()
    {
        layoutAt(2500);
        const QColor before = widget<QPushButton>("cmdHideTree")->palette().color(QPalette::Button);
        layoutAt(400);
        QVERIFY(form().cmdHideTreeShowsHidden());
        QVERIFY(!widget<QAction>("mnuHideSection")->isChecked());
        QVERIFY(isYellow());
        QVERIFY(!tree()->isVisible());
        QCOMPARE(splitterPx(), 0);

        // A resize keeps the tree hidden.
        form().resize(form().width() + 30, form().height());
        QVERIFY(form().cmdHideTreeShowsHidden());

        layoutAt(-1);
        QVERIFY(!form().cmdHideTreeShowsHidden());
        QVERIFY(widget<QAction>("mnuHideSection")->isChecked());
        QCOMPARE(widget<QPushButton>("cmdHideTree")->palette().color(QPalette::Button), before);
        QCOMPARE(splitterPx(), Twips::toPixelsX(2500));
    }

    void smallRequestWhileHiddenRestores()
    {
        layoutAt(3000);
        layoutAt(0);
        layoutAt(300);
        QVERIFY(!form().cmdHideTreeShowsHidden());
        QCOMPARE(splitterPx(), Twips::toPixelsX(3000));

        // Shown again, the tree forgets that position: the next hide remembers the new one.
        layoutAt(2000);
        layoutAt(0);
        layoutAt(-1);
        QCOMPARE(splitterPx(), Twips::toPixelsX(2000));
    }

    void hideSectionMenuAndButtonToggle()
    {
        layoutAt(2000);
        widget<QAction>("mnuHideSection")->trigger();
        QVERIFY(form().cmdHideTreeShowsHidden());
        QVERIFY(!widget<QAction>("mnuHideSection")->isChecked());
        QTest::mouseClick(widget<QPushButton>("cmdHideTree"), Qt::LeftButton);
        QVERIFY(!form().cmdHideTreeShowsHidden());
        QVERIFY(widget<QAction>("mnuHideSection")->isChecked());
        QCOMPARE(splitterPx(), Twips::toPixelsX(2000));
    }

    void narrowWindowSnapsToMinimumWidth()
    {
        form().resize(Twips::toPixelsX(2000), form().height());
        // The content's own minimum is wider still.
        QVERIFY(form().minimumWidth() >= Twips::toPixelsX(Layout::kMinWindowWidth));
        QCOMPARE(form().width(), form().minimumWidth());
    }

    void togglingBarsGivesTheGridTheRoom()
    {
        const int gridHeight = grid()->height();
        widget<QAction>("mnuViewToolbar")->trigger();
        QVERIFY(!widget<QAction>("mnuViewToolbar")->isChecked());
        QVERIFY(!widget<QToolBar>("tbToolBar")->isVisible());
        QVERIFY(grid()->height() > gridHeight);
        QCOMPARE(tree()->height(), grid()->height());

        const int withoutToolbar = grid()->height();
        widget<QAction>("mnuViewStatusBar")->trigger();
        QVERIFY(!widget<QStatusBar>("sbStatusBar")->isVisible());
        QVERIFY(grid()->height() > withoutToolbar);

        widget<QAction>("mnuViewToolbar")->trigger();
        widget<QAction>("mnuViewStatusBar")->trigger();
        QTest::qWait(10);
        QCOMPARE(grid()->height(), gridHeight);
        // The grid ends where the status bar begins.
        const QPoint gridBottom = grid()->mapTo(&form(), QPoint(0, grid()->height()));
        QVERIFY(qAbs(gridBottom.y() - widget<QStatusBar>("sbStatusBar")->y()) <= 2);
    }

    void splitterDragMovesTheSplitter()
    {
        layoutAt(2000);
        QWidget *handle = widget<QWidget>("imgSplitter");
        // Moves without a press do nothing.
        QTest::mouseMove(handle, QPoint(40, 10));
        QVERIFY(!widget<QWidget>("picSplitter")->isVisible());

        QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(2, 10));
        QVERIFY(widget<QWidget>("picSplitter")->isVisible());
        QCOMPARE(widget<QWidget>("picSplitter")->width(), handle->width() / 2);
        QTest::mouseMove(handle, QPoint(Twips::toPixelsX(1000), 10));
        QCOMPARE(widget<QWidget>("picSplitter")->x(), Twips::toPixelsX(3000));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(Twips::toPixelsX(1000), 10));
        QVERIFY(!widget<QWidget>("picSplitter")->isVisible());
        QCOMPARE(splitterPx(), Twips::toPixelsX(3000));
    }

    void splitterDraggedFarLeftHidesTheTree()
    {
        layoutAt(2500);
        QWidget *handle = widget<QWidget>("imgSplitter");
        QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(2, 10));
        QTest::mouseMove(handle, QPoint(-handle->x() - 50, 10));
        QCOMPARE(widget<QWidget>("picSplitter")->x(), Twips::toPixelsX(Layout::kDragMargin));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(-handle->x() - 50, 10));
        QVERIFY(form().cmdHideTreeShowsHidden());
        widget<QAction>("mnuHideSection")->trigger();
        QCOMPARE(splitterPx(), Twips::toPixelsX(2500));
    }

    void splitterBarStaysOffTheRightEdge()
    {
        QWidget *handle = widget<QWidget>("imgSplitter");
        QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(2, 10));
        QTest::mouseMove(handle, QPoint(form().width() * 2, 10));
        QCOMPARE(widget<QWidget>("picSplitter")->x(),
                 Twips::toPixelsX(Twips::fromPixelsX(form().width()) - Layout::kDragMargin));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(form().width() * 2, 10));
    }

    void deleteWithoutAViewBeeps()
    {
        TestSupport::ScriptedMessages script;
        const int beeps = MessageService::beepCount();
        QTest::keyClick(grid(), Qt::Key_Delete);
        QCOMPARE(MessageService::beepCount(), beeps + 1);
        QVERIFY(script.seen().isEmpty());
    }

    void importTakesTheChosenArchiveIntoTheView()
    {
        modGlobal::AppSession().dataContext->UserLevel = 1; // the import is the administrator's
        TestSupport::ScriptedMessages script;
        const int beeps = MessageService::beepCount();
        widget<QAction>("mnuImport")->trigger();
        QCOMPARE(MessageService::beepCount(), beeps + 1);
        QVERIFY(script.seen().isEmpty());

        showOneCompany();
        TestSupport::TempWorkDir other;
        TestSupport::openArchive(other.databasePath()).context->Tables().Item(QStringLiteral("Compagnie")).OpenDataSource()->AddRow(
            {QStringLiteral("Codice"), QStringLiteral("C2"), QStringLiteral("RagioneSociale"), QStringLiteral("Beta")});
        setImportFilePicker([&](QWidget *) { return other.databasePath(); });
        script.push(MessageService::Answer::Yes); // go on
        script.push(MessageService::Answer::No);  // no viewer
        script.push(MessageService::Answer::Ok);  // the counts
        script.push(MessageService::Answer::Yes); // confirmed
        widget<QAction>("mnuImport")->trigger();
        setImportFilePicker({});
        QCOMPARE(script.seen().first().text,
                 QStringLiteral("Questa funzione permette di importare < Compagnie > nell'archivio corrente.\n\nATTENZIONE!\n"
                                "L'operazione deve essere guidata da personale tecnico!\n\nContinuare ?"));
        QCOMPARE(script.seen().first().icon, MessageService::Icon::Exclamation);
        QCOMPARE(script.seen().first().defaultAnswer, MessageService::Answer::No);
        QCOMPARE(script.texts().last(), QStringLiteral("OPERAZIONE COMPLETATA."));
        QCOMPARE(form().view().m_objCurDS->RecordCount(), 2);
        // The archive is shared by the tests of this window: the imported company goes again.
        modGlobal::AppSession().database->exec(QStringLiteral("DELETE FROM Compagnie WHERE Codice = 'C2'"));
    }

    void recordKeysReachTheirCommands()
    {
        showOneCompany();
        TestSupport::ScriptedMessages script;
        script.push(Answer::No);
        QTest::keyClick(grid(), Qt::Key_Delete);
        QCOMPARE(script.texts(), QStringList{"Confermi l'eliminazione dei dati selezionati ?"});

        // New opens an empty panel, Enter the panel of the current record.
        QCOMPARE(panelOpenedBy([this] { QTest::keyClick(tree(), Qt::Key_Insert); }),
                 QStringLiteral("EditPanel()"));
        QCOMPARE(panelOpenedBy([this] { QTest::keyClick(grid(), Qt::Key_Plus, Qt::KeypadModifier); }),
                 QStringLiteral("EditPanel()"));
        // The only record opens though its selected cell fills the column.
        QCOMPARE(panelOpenedBy([this] { QTest::keyClick(grid(), Qt::Key_Return); }),
                 QStringLiteral("EditPanel(Alfa)"));

        // With a modifier the keys belong to the controls.
        script.clear();
        const int beeps = MessageService::beepCount();
        QTest::keyClick(grid(), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(panelOpenedBy([this] { QTest::keyClick(grid(), Qt::Key_Insert, Qt::ControlModifier); }),
                 QString());
        QVERIFY(script.seen().isEmpty());
        QCOMPARE(MessageService::beepCount(), beeps);
        // Refused and cancelled, nothing changed.
        QCOMPARE(form().view().m_objCurDS->RecordCount(), 1);
    }

    void doubleClickOnAFreeAreaEditsTheSourcesCurrentRow()
    {
        showOneCompany();
        QVERIFY(form().view().m_objCurDS->FindFirst(QStringLiteral("Codice='C1'")));
        QWidget *client = form().centralWidget();
        QPoint free(-1, -1);
        for (int y = client->height() - 1; y >= 0 && free.x() < 0; y -= 4)
            for (int x = client->width() - 1; x >= 0 && free.x() < 0; x -= 4)
                if (!client->childAt(x, y))
                    free = QPoint(x, y);
        QVERIFY(free.x() >= 0);
        QCOMPARE(panelOpenedBy([&] { QTest::mouseDClick(client, Qt::LeftButton, {}, free); }), QStringLiteral("EditPanel(Alfa)"));
        // Controls that take no double click of their own do not pass it on to the window.
        for (const char *name : {"lblTitle_0", "lblTitle_1", "picTitles", "sbStatusBar_Panel1"}) {
            QWidget *control = widget<QWidget>(name);
            QCOMPARE(panelOpenedBy([&] { QTest::mouseDClick(control, Qt::LeftButton, {}, QPoint(2, 2)); }), QString());
        }
        // Without a current row there is nothing to open.
        showOneCompany();
        form().view().m_objCurDS->SetFilter(QStringLiteral("Codice='nessuno'"));
        QCOMPARE(panelOpenedBy([&] { QTest::mouseDClick(client, Qt::LeftButton, {}, free); }), QString());
    }

    void helpKeyButtonAndMenuOpenTheGuide()
    {
        QList<QUrl> opened;
        modOSWinUtil::setUrlOpener([&](const QUrl &url) {
            opened.append(url);
            return true;
        });
        TestSupport::ScriptedMessages script;
        QTest::keyClick(tree(), Qt::Key_F1);
        widget<QAction>("tbToolBar_Help")->trigger();
        widget<QAction>("mnuHelpSearchForHelpOn")->trigger();
        modOSWinUtil::setUrlOpener({});
        QVERIFY(script.seen().isEmpty());
        QCOMPARE(opened.size(), 3);
        for (const QUrl &url : opened)
            QVERIFY2(url.toLocalFile().endsWith(QStringLiteral("/guida.html")), qPrintable(url.toString()));
        QCOMPARE(opened.last().fragment(), QStringLiteral("indice"));
        QCOMPARE(widget<QMenu>("mnuHelp")->title(), QStringLiteral("&Guida"));
    }

    void keysOfOtherWindowsAreLeftAlone()
    {
        TestSupport::ScriptedMessages script;
        const int beeps = MessageService::beepCount();
        QLineEdit other;
        other.show();
        QTest::keyClick(&other, Qt::Key_Delete);
        QCOMPARE(MessageService::beepCount(), beeps);
        QVERIFY(script.seen().isEmpty());
    }

    void lettersOpenTheSearchOnlyWithANumericTag()
    {
        showOneCompany();
        QAction *field = WindowTest::items<QAction>(form(), QStringLiteral("mnuSearchItems")).value(0);
        QVERIFY(field);
        QSignalSpy searched(field, &QAction::triggered);
        // Letters open no record command.
        TestSupport::ScriptedMessages script;
        const int beeps = MessageService::beepCount();
        QAction *find = widget<QAction>("tbToolBar_Find");

        find->setProperty("tag", QString());
        QTest::keyClick(grid(), Qt::Key_M);
        find->setProperty("tag", QStringLiteral("abc"));
        QTest::keyClick(grid(), Qt::Key_7);
        QCOMPARE(searched.count(), 0);

        // The search dialog opens with the typed character as its first input; it is left with Esc.
        QStringList firstInputs;
        const auto leaveTheSearch = [&firstInputs] {
            QTimer::singleShot(0, [&firstInputs] {
                if (QWidget *dialog = QApplication::activeModalWidget()) {
                    firstInputs.append(dialog->findChild<QLineEdit *>(QStringLiteral("txtSearch"))->text());
                    QTest::keyClick(dialog, Qt::Key_Escape);
                }
            });
        };
        find->setProperty("tag", QStringLiteral("1"));
        leaveTheSearch();
        QTest::keyClick(grid(), Qt::Key_M);
        QCOMPARE(searched.count(), 1);
        // The window takes the keys again once it is active again after the dialog.
        form().activateWindow();
        QTRY_VERIFY(form().isActiveWindow());
        leaveTheSearch();
        QTest::keyClick(grid(), Qt::Key_4, Qt::KeypadModifier);
        QCOMPARE(searched.count(), 2);
        QCOMPARE(firstInputs, (QStringList{"M", "4"}));
        QCOMPARE(MessageService::beepCount(), beeps);
        QVERIFY(script.seen().isEmpty());
    }

    void conversionKeyAsksFirst()
    {
        TestSupport::ScriptedMessages script;
        QSignalSpy conversion(&form(), &frmMain::currencyConversionRequested);
        const auto all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
        script.push(Answer::No);
        QTest::keyClick(grid(), Qt::Key_R, all);
        QCOMPARE(conversion.count(), 0);
        QCOMPARE(script.seen().size(), 1);
        const MessageService::Request asked = script.seen().first();
        QVERIFY(asked.text.startsWith(QStringLiteral("ATTENZIONE! - Questa operazione converte la valuta")));
        QVERIFY(asked.text.endsWith(QStringLiteral("\n\nContinuare ?\n\n")));
        QCOMPARE(asked.icon, Icon::Exclamation);
        QCOMPARE(asked.buttons, MessageService::Buttons::YesNo);
        QCOMPARE(asked.defaultAnswer, Answer::No);

        // Confirmed, the conversion asks its own question (answered No: nothing is converted).
        script.clear();
        script.push(Answer::Yes);
        script.push(Answer::No);
        QTest::keyClick(grid(), Qt::Key_R, all);
        QCOMPARE(conversion.count(), 1);
        QCOMPARE(script.texts().size(), 2);
        QCOMPARE(script.seen().last().title, QStringLiteral("Conversione Valuta"));
    }

    void libraryEventsShowInTheStatusBar()
    {
        form().OnEvent(objdb::ActionRead, nullptr, QStringLiteral("Pagamenti"));
        QCOMPARE(widget<QLabel>("sbStatusBar_Panel1")->text(), QStringLiteral("Lettura <Pagamenti>..."));
        form().OnEvent(objdb::ActionSave, nullptr, QString());
        QCOMPARE(widget<QLabel>("sbStatusBar_Panel1")->text(), QStringLiteral("Salvataggio"));
    }

    void libraryMessagesGoThroughTheMessageService()
    {
        TestSupport::ScriptedMessages script;
        form().OnInternalMessage(nullptr, QStringLiteral("Valore non valido"));
        QCOMPARE(script.seen().size(), 1);
        QCOMPARE(script.seen()[0].text, QStringLiteral("Valore non valido"));
        QCOMPARE(script.seen()[0].icon, Icon::Exclamation);
        QCOMPARE(script.seen()[0].buttons, MessageService::Buttons::Ok);

        // A report request reaches the printing of its data source: the companies have no report.
        showOneCompany();
        script.clear();
        script.push(Answer::No);
        form().OnReportRequest(form().view().m_objCurDS.get(), 1, QStringLiteral("Compagnie"), QString());
        QCOMPARE(script.seen().size(), 1);
        QVERIFY(script.seen()[0].text.startsWith(QStringLiteral("Non sono disponibili Report personalizzati")));
    }

    void queryMessageAnswerSetsCancel_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("cancelIn");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("expectedIcon");
        QTest::addColumn<int>("expectedDefault");
        QTest::addColumn<bool>("cancelOut");
        QTest::newRow("warning, ok") << 3 << true << int(Answer::Ok) << int(Icon::Exclamation)
                                     << int(Answer::Cancel) << false;
        QTest::newRow("warning, cancel") << 3 << false << int(Answer::Cancel) << int(Icon::Exclamation)
                                         << int(Answer::Ok) << true;
        QTest::newRow("question, ok") << 1 << false << int(Answer::Ok) << int(Icon::Question)
                                      << int(Answer::Ok) << false;
        QTest::newRow("question, cancel") << 0 << true << int(Answer::Cancel) << int(Icon::Question)
                                          << int(Answer::Cancel) << true;
    }

    void queryMessageAnswerSetsCancel()
    {
        QFETCH(int, type);
        QFETCH(bool, cancelIn);
        QFETCH(int, answer);
        TestSupport::ScriptedMessages script;
        script.push(Answer(answer));
        bool cancel = cancelIn;
        form().OnQueryMessage(nullptr, type, QStringLiteral("Salvare le modifiche?"), cancel);
        QCOMPARE(script.seen().size(), 1);
        QCOMPARE(script.seen()[0].buttons, MessageService::Buttons::OkCancel);
        QFETCH(int, expectedIcon);
        QFETCH(int, expectedDefault);
        QFETCH(bool, cancelOut);
        QCOMPARE(int(script.seen()[0].icon), expectedIcon);
        QCOMPARE(int(script.seen()[0].defaultAnswer), expectedDefault);
        QCOMPARE(cancel, cancelOut);
    }

    void deferredCommandRunsOnceAndWaitsForTheRunning()
    {
        QStringList ran;
        const auto reference = [&ran](int n) { return [&ran, n] { ran.append(QString("ref %1").arg(n)); }; };
        form().PostCommand(reference(2));
        form().PostCommand(reference(3)); // replaces the pending one
        QTRY_COMPARE(ran, QStringList{"ref 3"});
        QVERIFY(!widget<QTimer>("tmFunc")->isActive());
        form().PostCommand([&] {
            ran.append("filter");
            // A command posted while this one runs waits for it.
            form().PostCommand(reference(7));
            QTest::qWait(20);
            ran.append("filter end");
        });
        QTRY_COMPARE(ran, (QStringList{"ref 3", "filter", "filter end", "ref 7"}));
    }
};

COBRELLE_TEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
