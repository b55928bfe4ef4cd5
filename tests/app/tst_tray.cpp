// The notification-area icon and the main window's answers to its mouse events.
#include "app/frmMain.h"
#include "desktop/clsOSTNA.h"
#include "services/modGlobal.h"
#include "testsupport.h"
#include "windowtestsupport.h"

#include <QAction>
#include <QMenu>
#include <QStyle>
#include <QTest>

using WindowTest::widget;

class TrayTest : public QObject {
    Q_OBJECT

    static QIcon someIcon() { return qApp->style()->standardIcon(QStyle::SP_ComputerIcon); }

private slots:
    void tipIsCutTo63Characters()
    {
        clsOSTNA tna;
        const QString longTip = QString(80, QLatin1Char('x'));
        tna.IconStart(someIcon(), longTip);
        QCOMPARE(tna.trayIcon()->toolTip(), longTip.left(63));
        tna.ChangeTip(QString(70, QLatin1Char('y')));
        QCOMPARE(tna.trayIcon()->toolTip().size(), 63);
        tna.ChangeTip(QStringLiteral("Cobrelle"));
        QCOMPARE(tna.trayIcon()->toolTip(), QStringLiteral("Cobrelle"));
    }

    void secondStartReplacesTheIcon()
    {
        QObject owner;
        auto *tna = new clsOSTNA(&owner);
        QVERIFY(tna->IconStart(someIcon(), QStringLiteral("primo")) != 0);
        QVERIFY(tna->IconStart(someIcon(), QStringLiteral("secondo")) != 0);
        QCOMPARE(owner.findChildren<QSystemTrayIcon *>().size(), 1);
        QVERIFY(tna->isStarted());
        QVERIFY(tna->trayIcon()->isVisible());
        QCOMPARE(tna->trayIcon()->toolTip(), QStringLiteral("secondo"));

        tna->IconStop();
        QVERIFY(!tna->isStarted());
        QVERIFY(!tna->trayIcon()->isVisible());
        tna->IconStop(); // stopping twice is harmless
        QVERIFY(!tna->isStarted());
    }

    void reasonsMapToMouseCodes()
    {
        QVERIFY(clsOSTNA::IsLeftButton(clsOSTNA::CodeForReason(QSystemTrayIcon::Trigger)));
        QVERIFY(clsOSTNA::IsDoubleClick(clsOSTNA::CodeForReason(QSystemTrayIcon::DoubleClick)));
        QVERIFY(clsOSTNA::IsRightButton(clsOSTNA::CodeForReason(QSystemTrayIcon::Context)));
        const int middle = clsOSTNA::CodeForReason(QSystemTrayIcon::MiddleClick);
        QVERIFY(!clsOSTNA::IsLeftButton(middle) && !clsOSTNA::IsRightButton(middle) && !clsOSTNA::IsDoubleClick(middle));
        QCOMPARE(clsOSTNA::CodeForReason(QSystemTrayIcon::Unknown), 0);
    }

    void clickShowsTheHiddenWindow_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("shows");
        QTest::newRow("single click") << int(QSystemTrayIcon::Trigger) << true;
        QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << true;
        QTest::newRow("middle click") << int(QSystemTrayIcon::MiddleClick) << false;
    }
    void clickShowsTheHiddenWindow()
    {
        QFETCH(int, reason);
        QFETCH(bool, shows);
        // With an open archive, showing the window asks for nothing.
        TestSupport::TempWorkDir folder;
        const TestSupport::Archive archive = TestSupport::openArchive(folder.databasePath());
        modGlobal::AppSession().database = archive.database;
        modGlobal::AppSession().dataContext = archive.context;
        frmMain form;
        form.Form_Load();
        QVERIFY(form.m_objTNA && form.m_objTNA->isStarted());
        QCOMPARE(form.m_objTNA->trayIcon()->toolTip(), QStringLiteral("Cobrelle"));
        // The icon carries the pop-up menu, which the desktop opens on a right click.
        QCOMPARE(form.m_objTNA->trayIcon()->contextMenu(), widget<QMenu>(form, "mnuPopUp"));
        QVERIFY(!form.isVisible());
        emit form.m_objTNA->trayIcon()->activated(QSystemTrayIcon::ActivationReason(reason));
        QCOMPARE(form.isVisible(), shows);

        widget<QAction>(form, "mnuClose")->trigger();
        QVERIFY(!form.m_objTNA->isStarted());
        modGlobal::AppSession().dataContext.reset();
        modGlobal::AppSession().database.reset();
    }

    void popUpItemsHaveTheirCaptions()
    {
        frmMain form;
        QCOMPARE(widget<QAction>(form, "mnuActivate")->text(), QStringLiteral("&Visualizza"));
        QCOMPARE(widget<QAction>(form, "mnuClose")->text(), QStringLiteral("&Chiudi"));
    }
};

COBRELLE_TEST_MAIN(TrayTest)
#include "tst_tray.moc"
