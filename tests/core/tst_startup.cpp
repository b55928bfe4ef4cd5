// Start-up and shutdown: placement kept in the settings, close box against "Chiudi",
// first activation without a database, single running copy, splash texts.
#include "core/frmMain.h"
#include "core/frmSplash.h"
#include "core/modGlobal.h"
#include "core/singleinstance.h"
#include "core/twips.h"
#include "standins/standins.h"
#include "testsupport.h"

#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QUuid>

class StartupTest : public QObject {
    Q_OBJECT

    static double stored(const char *key) { return StandIn::settings().value(QLatin1String(key), -12345); }

    static std::unique_ptr<frmMain> loadedWindow()
    {
        auto form = std::make_unique<frmMain>();
        form->Form_Load();
        return form;
    }

private slots:
    void init()
    {
        StandIn::settings().clear();
        StandIn::setDatabaseOpen(true);
        StandIn::initDatabaseCalls() = 0;
    }

    void emptyStoreGivesDefaultPlacement()
    {
        auto form = loadedWindow();
        QCOMPARE(form->geometry(), QRect(Twips::toPixelsX(1000), Twips::toPixelsY(1000), Twips::toPixelsX(6500),
                                         Twips::toPixelsY(6500)));
        QCOMPARE(form->imgSplitter->x(), Twips::toPixelsX(3500));
        QVERIFY(modGlobal::SelectionDate.secsTo(QDateTime::currentDateTime()) < 5);
    }

    void placementSurvivesARestart()
    {
        StandIn::settings().insert(QStringLiteral("MainLeft"), 1500);
        StandIn::settings().insert(QStringLiteral("MainTop"), 600);
        StandIn::settings().insert(QStringLiteral("MainWidth"), 9000);
        StandIn::settings().insert(QStringLiteral("MainHeight"), 7500);
        StandIn::settings().insert(QStringLiteral("MainSplit"), 2400);
        auto form = loadedWindow();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(form->imgSplitter->x(), Twips::toPixelsX(2400));

        form->mnuFileClose->trigger();
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
        form->mnuClose->trigger();
        QCOMPARE(stored("MainState"), 2.0);
        QCOMPARE(stored("MainWidth"), std::round(Twips::fromPixelsX(normal.width())));
        QCOMPARE(stored("MainHeight"), std::round(Twips::fromPixelsY(normal.height())));

        // The next start opens maximised.
        auto next = loadedWindow();
        QVERIFY(next->windowState().testFlag(Qt::WindowMaximized));
    }

    void hiddenTreeLeavesTheStoredSplit()
    {
        StandIn::settings().insert(QStringLiteral("MainSplit"), 2700);
        auto form = loadedWindow();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->mnuHideSection->trigger();
        QCOMPARE(form->imgSplitter->x(), 0);
        form->mnuFileClose->trigger();
        QCOMPARE(stored("MainSplit"), 2700.0);
        // The next start shows the tree at the stored position.
        auto next = loadedWindow();
        next->show();
        QVERIFY(QTest::qWaitForWindowExposed(next.get()));
        QVERIFY(!next->cmdHideTreeShowsHidden());
        QCOMPARE(next->imgSplitter->x(), Twips::toPixelsX(2700));
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
        QVERIFY(!StandIn::settings().contains(QStringLiteral("MainState")));

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
        form->mnuFileClose->trigger();
        QTRY_VERIFY(other.isNull());
        QVERIFY(!form->isVisible());
    }

    void firstActivationWithoutDatabaseEndsWhenInitFails()
    {
        StandIn::setDatabaseOpen(false);
        StandIn::initDatabaseSucceeds() = false;
        auto form = loadedWindow();
        form->show();
        form->activateWindow();
        QTRY_COMPARE(StandIn::initDatabaseCalls(), 1);
        QTRY_VERIFY(!form->isVisible());
        QVERIFY(!form->property("pendingCalls").toStringList().contains(QStringLiteral("UserLogin")));
        QVERIFY(StandIn::settings().contains(QStringLiteral("MainState")));
        StandIn::initDatabaseSucceeds() = true;
    }

    void activationWithADatabaseDoesNotInitialiseAgain()
    {
        auto form = loadedWindow();
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QCOMPARE(StandIn::initDatabaseCalls(), 0);
        QVERIFY(form->property("pendingCalls").toStringList().isEmpty());
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
#include "standins/standins.cpp"
#include "tst_startup.moc"
