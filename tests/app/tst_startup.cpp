// Start-up and shutdown: placement kept in the settings, close box against "Chiudi",
// first activation without a database, single running copy, splash texts.
#include "app/frmMain.h"
#include "views/currentview.h"
#include "app/frmSplash.h"
#include "app/startup.h"
#include "services/modGlobal.h"
#include "objdb/datacontext.h"
#include "objdb/grid/viewutility.h"
#include "app/singleinstance.h"
#include "services/twips.h"
#include "services/configuration.h"
#include "users/frmSelectOper.h"
#include "data/archivefacts.h"
#include "objdb/currency.h"
#include "testsupport.h"
#include "windowtestsupport.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QUuid>

using WindowTest::items;
using WindowTest::widget;

class StartupTest : public QObject {
    Q_OBJECT

    static constexpr double kMissing = -12345;
    static double stored(const char *key) { return Settings::readNumber(QLatin1String(key), kMissing); }
    static void store(const char *key, double value) { Settings::writeNumber(QLatin1String(key), value); }

    TestSupport::TempWorkDir m_folder;
    TestSupport::Archive m_archive;

    static std::unique_ptr<frmMain> loadedWindow()
    {
        auto form = std::make_unique<frmMain>();
        form->Form_Load();
        return form;
    }

private slots:
    void initTestCase() { m_archive = TestSupport::openArchive(m_folder.databasePath()); }

    void cleanupTestCase() { WindowTest::closeArchive(m_archive); }

    void init()
    {
        WindowTest::clearStoredSettings();
        // An open archive: activating the window asks for nothing.
        WindowTest::useArchive(m_folder, m_archive);
    }

    // With no placement stored the window takes about three quarters of the screen, centred;
    // a stored one rules.
    void placementAtLoad_data()
    {
        QTest::addColumn<QList<double>>("stored"); // left, top, width, height in twips; none when empty
        QTest::addColumn<double>("split");         // the stored splitter, 0 when none
        QTest::newRow("nothing stored") << QList<double>{} << 0.0;
        QTest::newRow("only a splitter stored") << QList<double>{} << 2400.0;
        QTest::newRow("a stored placement") << QList<double>{1500, 600, 9000, 7500} << 0.0;
    }
    void placementAtLoad()
    {
        QFETCH(QList<double>, stored);
        QFETCH(double, split);
        const char *keys[] = {"MainLeft", "MainTop", "MainWidth", "MainHeight"};
        for (int i = 0; i < stored.size(); ++i)
            store(keys[i], stored.at(i));
        if (split > 0)
            store("MainSplit", split);
        auto form = loadedWindow();
        const QRect placed = form->geometry();
        if (stored.isEmpty()) {
            const QRect screen = form->screen()->availableGeometry();
            QVERIFY2(screen.contains(placed), qPrintable(QString("%1x%2").arg(placed.width()).arg(placed.height())));
            QVERIFY(qAbs(placed.center().x() - screen.center().x()) <= 1);
            QVERIFY(qAbs(placed.center().y() - screen.center().y()) <= 1);
            QVERIFY(placed.width() >= screen.width() * 3 / 4 && placed.height() >= screen.height() * 3 / 4);
        } else {
            QCOMPARE(placed, QRect(Twips::toPixelsX(stored.at(0)), Twips::toPixelsY(stored.at(1)),
                                   std::max(Twips::toPixelsX(stored.at(2)), form->minimumWidth()),
                                   std::max(Twips::toPixelsY(stored.at(3)), form->minimumHeight())));
        }
        QCOMPARE(widget<QWidget>(*form, "imgSplitter")->x(), Twips::toPixelsX(split > 0 ? split : 3500));
        QCOMPARE(form->view().selectionDate(), QDate::currentDate());
    }

    // The default window of a first start cuts no label: the tree's, the title bar's, the date button's.
    void firstStartCutsNoLabel()
    {
        modGlobal::AppSession().dataContext = m_archive.context;
        modGlobal::AppSession().dataContext->UserLevel = 1;
        auto form = loadedWindow();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->SetTreeViewNodes();
        form->RefreshDetailView();
        auto *tree = widget<QTreeWidget>(*form, "tvTreeView");
        tree->expandAll();
        QVERIFY(form->width() > Twips::toPixelsX(6500));
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            const QRect shown = tree->visualItemRect(*it);
            const int needed = tree->fontMetrics().horizontalAdvance((*it)->text(0));
            QVERIFY2(shown.left() + tree->iconSize().width() + needed <= tree->viewport()->width(),
                     qPrintable((*it)->text(0)));
        }
        // Every section page's heading in full.
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            if ((*it)->childCount() == 0)
                continue;
            tree->setCurrentItem(*it);
            QTRY_VERIFY(form->findChild<QPushButton *>("acmdSectionItem_1"));
            auto *heading = form->findChild<QPushButton *>("acmdSectionItem_1");
            QVERIFY2(heading->width() >= heading->sizeHint().width(), qPrintable(heading->text()));
        }
        for (const char *name : {"lblTitle_1", "cmdDateSel"}) {
            auto *control = widget<QWidget>(*form, name);
            if (control->isHidden())
                continue;
            QVERIFY2(control->width() >= control->sizeHint().width(), name);
            QVERIFY2(control->mapTo(form.get(), QPoint(control->width(), 0)).x() <= form->width(), name);
        }
    }

    void placementSurvivesARestart()
    {
        store("MainLeft", 1500);
        store("MainTop", 600);
        store("MainWidth", 9000);
        store("MainHeight", 7500);
        store("MainSplit", 2400);
        auto form = loadedWindow();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(widget<QWidget>(*form, "imgSplitter")->x(), Twips::toPixelsX(2400));

        widget<QAction>(*form, "mnuFileClose")->trigger();
        QVERIFY(!form->isVisible());
        QCOMPARE(stored("MainState"), 0.0);
        QCOMPARE(stored("MainLeft"), 1500.0);
        QCOMPARE(stored("MainTop"), 600.0);
        QCOMPARE(stored("MainWidth"), 9000.0);
        QCOMPARE(stored("MainHeight"), 7500.0);
        QCOMPARE(stored("MainSplit"), 2400.0);
    }

    void maximisedWindowStoresItsNormalPlacement()
    {
        auto form = loadedWindow();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        const QRect normal = form->geometry();
        form->showMaximized();
        QTRY_VERIFY(form->isMaximized());
        widget<QAction>(*form, "mnuClose")->trigger();
        QCOMPARE(stored("MainState"), 2.0);
        QCOMPARE(stored("MainWidth"), std::round(Twips::fromPixelsX(normal.width())));
        QCOMPARE(stored("MainHeight"), std::round(Twips::fromPixelsY(normal.height())));

        // The next start opens maximised.
        auto next = loadedWindow();
        QVERIFY(next->windowState().testFlag(Qt::WindowMaximized));
    }

    void hiddenTreeLeavesTheStoredSplit()
    {
        store("MainSplit", 2700);
        auto form = loadedWindow();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        widget<QAction>(*form, "mnuHideSection")->trigger();
        QCOMPARE(widget<QWidget>(*form, "imgSplitter")->x(), 0);
        widget<QAction>(*form, "mnuFileClose")->trigger();
        QCOMPARE(stored("MainSplit"), 2700.0);
        // The next start shows the tree at the stored position.
        auto next = loadedWindow();
        next->show();
        QVERIFY(QTest::qWaitForWindowExposed(next.get()));
        QVERIFY(!next->cmdHideTreeShowsHidden());
        QCOMPARE(widget<QWidget>(*next, "imgSplitter")->x(), Twips::toPixelsX(2700));
    }

    void closeBoxKeepsTheProgramRunning()
    {
        auto form = loadedWindow();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
        QVERIFY(!form->close());
        if (QSystemTrayIcon::isSystemTrayAvailable())
            QVERIFY(!form->isVisible());
        else
            QTRY_VERIFY(form->isMinimized());
        QCOMPARE(lastClosed.count(), 0);
        // Nothing was unloaded: no placement written, tray icon still there.
        QCOMPARE(stored("MainState"), kMissing);

        form->mnuActivate_Click();
        QTRY_VERIFY(form->isVisible() && !form->isMinimized());
    }

    void chiudiClosesOtherWindowsToo()
    {
        auto form = loadedWindow();
        form->show();
        QPointer<QWidget> other = new QWidget;
        other->setAttribute(Qt::WA_DeleteOnClose);
        other->show();
        widget<QAction>(*form, "mnuFileClose")->trigger();
        QTRY_VERIFY(other.isNull());
        QVERIFY(!form->isVisible());
    }

    void firstActivationWithoutDatabaseEndsWhenInitFails()
    {
        // A working directory whose archive is no archive at all.
        TestSupport::TempWorkDir broken;
        QFile file(broken.databasePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not an archive, just text");
        file.close();
        modGlobal::AppSession().database.reset();
        modGlobal::AppSession().dataContext.reset();
        modGlobal::RootDir = broken.path();

        TestSupport::ScriptedMessages script;
        auto form = loadedWindow();
        form->show();
        form->activateWindow();
        QTRY_VERIFY(!form->isVisible());
        // The initialisation ran once and told why; nobody was asked to log in.
        QCOMPARE(script.texts().size(), 1);
        QVERIFY(script.texts()[0].startsWith(QStringLiteral("Inizializzazione database fallita: ")));
        QVERIFY(!modGlobal::AppSession().isReady());
        QVERIFY(!form->findChild<frmSelectOper *>());
        QVERIFY(!form->view().m_objCurDS);
        QVERIFY(!objdb::ViewUtility::modelOf(widget<QTableView>(*form, "dgView")));
        QVERIFY(stored("MainState") != kMissing);
    }

    // The archive as the first activation finds it in the working directory: a file of no bytes is
    // asked about (No leaves it as it is and offers the options), and the currency the amounts can
    // be shown in is the other one than the archive's own.
    void initialisationReadsTheArchive_data()
    {
        QTest::addColumn<QString>("archive");
        QTest::addColumn<int>("answer"); // to the question about an empty file
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QString>("offered");
        const int yes = int(MessageService::Answer::Yes);
        const int no = int(MessageService::Answer::No);
        QTest::newRow("empty file, Yes") << "empty" << yes << true << "Euro";
        QTest::newRow("empty file, No") << "empty" << no << false << "";
        QTest::newRow("kept in lire") << "lire" << -1 << true << "Euro";
        QTest::newRow("converted") << "converted" << -1 << true << "Lire";
        QTest::newRow("converted before the archive kept it") << "setting" << -1 << true << "Lire";
    }
    void initialisationReadsTheArchive()
    {
        QFETCH(QString, archive);
        QFETCH(int, answer);
        QFETCH(bool, opened);
        QFETCH(QString, offered);
        TestSupport::TempWorkDir folder;
        if (archive == QLatin1String("empty")) {
            QFile file(folder.databasePath());
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else {
            TestSupport::Archive made = TestSupport::openArchive(folder.databasePath());
            if (archive == QLatin1String("converted"))
                made.database->exec(QStringLiteral("UPDATE InfoArchivio SET Convertito = 1"));
        }
        if (archive == QLatin1String("setting"))
            Settings::writeText(QStringLiteral("Configuration"), QStringLiteral("CurrencyConverted"), QStringLiteral("True"));
        modGlobal::AppSession().database.reset();
        modGlobal::AppSession().dataContext.reset();
        modGlobal::RootDir = folder.path();

        TestSupport::ScriptedMessages script;
        if (answer >= 0)
            script.push(MessageService::Answer(answer));
        QTimer options; // the options dialog offered after No: left with "Esci"
        connect(&options, &QTimer::timeout, [] {
            QWidget *modal = QApplication::activeModalWidget();
            if (modal && modal->objectName() == QLatin1String("frmOptions"))
                modal->findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click();
        });
        options.start(20);
        const bool initialised = modGlobal::InitDatabase(modGlobal::AppSession(), nullptr, nullptr);
        options.stop();
        QCOMPARE(initialised, opened);
        if (archive == QLatin1String("empty")) {
            QCOMPARE(script.texts().value(0), QStringLiteral("Il file %1 è vuoto. Creare un nuovo archivio?")
                                                  .arg(QDir::toNativeSeparators(folder.databasePath())));
            QCOMPARE(script.seen().value(0).defaultAnswer, MessageService::Answer::No);
            QCOMPARE(QFileInfo(folder.databasePath()).size() > 0, opened);
        } else {
            QCOMPARE(script.texts(), QStringList());
        }
        const auto currency = modGlobal::AppSession().dataContext ? modGlobal::AppSession().dataContext->ConversionCurrency() : nullptr;
        QCOMPARE(currency ? currency->Name(0) : QString(), offered);
        if (opened)
            QCOMPARE(ArchiveFacts::Conversion(*modGlobal::AppSession().database).converted, offered == QLatin1String("Lire"));
        QCOMPARE(Settings::readText(QStringLiteral("Configuration"), QStringLiteral("CurrencyConverted")), QString());
        modGlobal::AppSession().dataContext.reset();
        modGlobal::AppSession().database.reset();
    }

    void firstActivationLogsInAndBuildsTheTree()
    {
        modGlobal::AppSession().database.reset();
        modGlobal::AppSession().dataContext.reset();
        m_archive = {};
        modGlobal::RootDir = m_folder.path();

        auto form = loadedWindow();
        bool operatorChosen = false;
        bool passwordAsked = false;
        auto *answer = new QTimer(form.get());
        connect(answer, &QTimer::timeout, form.get(), [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            if (modal->objectName() == QLatin1String("frmSelectOper")) {
                auto *names = modal->findChild<QComboBox *>(QStringLiteral("CmbOperatore"));
                names->setCurrentIndex(names->findText(QStringLiteral("Amministratore")));
                modal->findChild<QPushButton *>(QStringLiteral("cmdConfirm"))->click();
                operatorChosen = true;
            } else if (modal->objectName() == QLatin1String("frmPassword")) {
                // The administrator of a new archive has no password.
                modal->findChild<QPushButton *>(QStringLiteral("cmdConfirm"))->click();
                passwordAsked = true;
            } else {
                modal->close();
            }
        });
        answer->start(20);
        form->show();
        form->activateWindow();
        // The first node, a grouping one, is shown: its section page.
        QTRY_VERIFY_WITH_TIMEOUT(!items<QPushButton>(*form, "acmdSectionItem").isEmpty(), 10000);
        answer->stop();
        QVERIFY(widget<QTableView>(*form, "dgView")->isHidden());
        QCOMPARE(items<QPushButton>(*form, "acmdSectionItem").first()->text(),
                 QStringLiteral("VOCI PRINCIPALI PER LA SEZIONE STAMPE :"));
        QCOMPARE(widget<QLabel>(*form, "sbStatusBar_Panel1")->text(), QStringLiteral("Sezione: <Stampe>"));
        QVERIFY(operatorChosen && passwordAsked);
        QVERIFY(modGlobal::AppSession().isReady());
        QCOMPARE(form->m_strOperatore, QStringLiteral("Amministratore"));
        QCOMPARE(modGlobal::AppSession().dataContext->UserLevel, 1);
        // The administrator's tree, with the first node selected.
        QVERIFY(form->nodeByIndex(12));
        QCOMPARE(form->selectedNodeText(), QStringLiteral("Stampe"));

        // The next tests share this archive.
        m_archive = {modGlobal::AppSession().database, modGlobal::AppSession().dataContext};
        widget<QAction>(*form, "mnuFileClose")->trigger();
    }

    void activationWithADatabaseDoesNotInitialiseAgain()
    {
        const objdb::Database *database = modGlobal::AppSession().database.get();
        auto form = loadedWindow();
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QCOMPARE(modGlobal::AppSession().database.get(), database);
        // Nor is the view shown again.
        QVERIFY(!form->view().m_objCurDS);
        QVERIFY(items<QPushButton>(*form, "acmdSectionItem").isEmpty());
        QVERIFY(!widget<QLabel>(*form, "sbStatusBar_Panel1")->text().startsWith(QStringLiteral("Sezione:")));
        QVERIFY(!form->nodeByIndex(1)); // the tree is built by the first activation only
    }

    void secondCopyIsRefusedAndWakesTheFirst()
    {
        const QString key = QStringLiteral("cobrelle-test-") + QUuid::createUuid().toString(QUuid::Id128);
        SingleInstance first(key);
        QVERIFY(first.tryAcquire());
        QSignalSpy woken(&first, &SingleInstance::activationRequested);

        SingleInstance second(key);
        QVERIFY(!second.tryAcquire());
        QVERIFY(second.requestActivation());
        QTRY_COMPARE(woken.count(), 1);
    }

    void freedLockLetsTheNextCopyRun()
    {
        const QString key = QStringLiteral("cobrelle-test-") + QUuid::createUuid().toString(QUuid::Id128);
        {
            SingleInstance first(key);
            QVERIFY(first.tryAcquire());
        }
        SingleInstance next(key);
        QVERIFY(next.tryAcquire());
        // Nobody listens for a refused copy that finds no running one.
        SingleInstance orphan(QStringLiteral("cobrelle-test-none-") + QUuid::createUuid().toString(QUuid::Id128));
        QVERIFY(!orphan.requestActivation());
    }

    void refusalMessageText()
    {
        QCOMPARE(SingleInstance::alreadyRunningMessage(),
                 QStringLiteral("L'applicazione e' stata gia' avviata\n\nControlla la barra dei menu' per la "
                                "riattivazione premendo doppio click sull'icona corrispondente..."));
    }

    void splashShowsNameAndVersion()
    {
        frmSplash splash;
        QCOMPARE(splash.lblVersion->text(), QStringLiteral("Version 3.0.26"));
        QCOMPARE(splash.lblProductName->text(), QStringLiteral("Cobrelle"));
        QCOMPARE(splash.lblPlatform->text(), QStringLiteral("For Windows 95/98/NT/2000/XP"));
        QCOMPARE(splash.lblEuroReady->text(), QStringLiteral("Euro ready"));
    }
};

COBRELLE_TEST_MAIN(StartupTest)
#include "tst_startup.moc"
