#include "services/busymark.h"
#include "services/frmMessage.h"
#include "services/twips.h"
#include "testsupport.h"

#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QtTest>

using MessageService::Answer;

class tst_FrmMessage : public QObject {
    Q_OBJECT

private:
    static frmMessage *window() { return frmMessage::instance(); }

private slots:
    void initTestCase()
    {
        QVERIFY(window());
        QCOMPARE(window()->objectName(), QStringLiteral("frmMessage"));
        QCOMPARE(window()->cmdStop->toolTip(), QStringLiteral("Interrompe l'esecuzione"));
        QCOMPARE(window()->tmHourglass->interval(), 200);
    }

    void cleanup()
    {
        frmMessage::closeInstance();
        QVERIFY(!window()->isVisible());
    }

    void singleInstance() { QCOMPARE(frmMessage::instance(), frmMessage::instance()); }

    void zeroTotalGivesOneStep()
    {
        window()->ShowMsg(QStringLiteral("Attendere"), nullptr);
        window()->StartProgress(0);
        QCOMPARE(window()->MaxProgress(), 1);
        QCOMPARE(window()->pbNotify->value(), 0);
        QVERIFY(window()->Progress(0));
        QCOMPARE(window()->pbNotify->value(), 1);
        QCOMPARE(window()->lblCount->text(), QStringLiteral("1 / 1"));
        QVERIFY(window()->Progress(0)); // a full bar stays full
        QCOMPARE(window()->pbNotify->value(), 1);
    }

    void counterText_data()
    {
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("text");
        QTest::newRow("percent") << 10000 << 3700 << QStringLiteral("37 %");
        QTest::newRow("percent rounded") << 30000 << 10000 << QStringLiteral("33 %");
        QTest::newRow("counts") << 120 << 15 << QStringLiteral("15 / 120");
        QTest::newRow("largest counted total") << 9999 << 9999 << QStringLiteral("9999 / 9999");
    }

    void counterText()
    {
        QFETCH(int, total);
        QFETCH(int, count);
        QFETCH(QString, text);
        window()->ShowMsg(QStringLiteral("Conteggio"), nullptr);
        window()->StartProgress(total);
        QVERIFY(window()->Progress(count));
        QCOMPARE(window()->lblCount->text(), text);
    }

    void countAboveTotalLeavesTheBar()
    {
        window()->ShowMsg(QStringLiteral("x"), nullptr);
        window()->StartProgress(120);
        window()->Progress(10);
        window()->Progress(121);
        QCOMPARE(window()->pbNotify->value(), 10);
        QCOMPARE(window()->lblCount->text(), QStringLiteral("10 / 120"));
    }

    void noCountShowsTheStopButtonOnly()
    {
        window()->ShowMsg(QStringLiteral("x"), nullptr);
        window()->StartProgress(50);
        window()->Progress(7);
        QVERIFY(window()->cmdStop->isHidden());
        QVERIFY(window()->Progress(30, true));
        QVERIFY(!window()->cmdStop->isHidden());
        QCOMPARE(window()->pbNotify->value(), 7);
        QCOMPARE(window()->lblCount->text(), QStringLiteral("7 / 50"));
    }

    void startAndEndShowAndHideTheBar()
    {
        window()->ShowMsg(QStringLiteral("x"), nullptr);
        QVERIFY(window()->pbNotify->isHidden());
        QCOMPARE(window()->MaxProgress(), 0);
        window()->StartProgress(5, true);
        QVERIFY(!window()->pbNotify->isHidden());
        QVERIFY(!window()->shpNotify->isHidden());
        QVERIFY(!window()->cmdStop->isHidden());
        QVERIFY(window()->lblCount->text().isEmpty());
        window()->EndProgress();
        QVERIFY(window()->pbNotify->isHidden());
        QVERIFY(window()->shpNotify->isHidden());
        QVERIFY(window()->cmdStop->isHidden());
        QCOMPARE(window()->MaxProgress(), 0);
        QVERIFY(window()->isVisible());
        QCOMPARE(window()->lblMessage->text(), QStringLiteral("x"));
    }

    void showingAFinishedProgressEndsIt()
    {
        window()->StartProgress(3);
        window()->Progress(3);
        window()->ShowMsg(QStringLiteral("Fatto"), nullptr);
        QVERIFY(window()->pbNotify->isHidden());
    }

    void stopAskedTwiceClosesTheWindow()
    {
        TestSupport::ScriptedMessages messages;
        QWidget owner;
        owner.show();
        window()->ShowMsg(QStringLiteral("Lavoro"), &owner);
        window()->StartProgress(100, true);
        QVERIFY(window()->Progress(1));

        messages.push(Answer::No);
        window()->cmdStop->click();
        QVERIFY(!window()->Stopped());
        QCOMPARE(messages.seen().size(), 1);
        const MessageService::Request &question = messages.seen().first();
        QCOMPARE(question.text, QStringLiteral("Confermi l'interruzione ?"));
        QCOMPARE(question.icon, MessageService::Icon::Question);
        QCOMPARE(question.buttons, MessageService::Buttons::YesNo);
        QCOMPARE(question.title, MessageService::commonTitle());

        messages.push(Answer::Yes);
        window()->cmdStop->click();
        QVERIFY(window()->Stopped());
        QVERIFY(window()->isVisible());
        QVERIFY(!window()->Progress(2));
        QVERIFY(window()->OnStopped());

        messages.push(Answer::Yes);
        window()->cmdStop->click();
        QVERIFY(!window()->isVisible());
        QVERIFY(owner.isEnabled());
        // The operation still running learns of the stop after the window has gone.
        QVERIFY(!window()->Progress(3));
        QVERIFY(!window()->OnProgress(objdb::ActionCopy, 100, 4, nullptr, nullptr));
    }

    void escapeWithoutStopButtonStillAsks()
    {
        TestSupport::ScriptedMessages messages;
        window()->ShowMsg(QStringLiteral("x"), nullptr);
        window()->StartProgress(10, false);
        QVERIFY(window()->cmdStop->isHidden());
        messages.push(Answer::Yes);
        QTest::keyClick(window(), Qt::Key_Escape);
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("Confermi l'interruzione ?")});
        QVERIFY(window()->Stopped());
        QVERIFY(window()->isVisible());
    }

    void escapeIsServedInsideProgress()
    {
        TestSupport::ScriptedMessages messages;
        window()->ShowMsg(QStringLiteral("x"), nullptr);
        window()->StartProgress(10, true);
        messages.push(Answer::Yes);
        QCoreApplication::postEvent(window(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        QVERIFY(!window()->Progress(1));
        QCOMPARE(messages.seen().size(), 1);
    }

    void startingAgainClearsTheStop()
    {
        TestSupport::ScriptedMessages messages;
        window()->ShowMsg(QStringLiteral("x"), nullptr);
        window()->StartProgress(10, true);
        messages.push(Answer::Yes);
        window()->cmdStop->click();
        QVERIFY(window()->Stopped());
        window()->OnStart(objdb::ActionCopy, 10);
        QVERIFY(!window()->Stopped());
        QVERIFY(!window()->cmdStop->isHidden()); // library operations may always be stopped
        QVERIFY(window()->OnProgress(objdb::ActionCopy, 10, 4, nullptr, nullptr));
        QCOMPARE(window()->lblCount->text(), QStringLiteral("4 / 10"));
        window()->OnEnd(objdb::ActionCopy, 10);
        QCOMPARE(window()->MaxProgress(), 0);
    }

    void closingReloadsTheWindow()
    {
        TestSupport::ScriptedMessages messages;
        window()->ShowMsg(QStringLiteral("x"), nullptr);
        window()->StartProgress(10, true);
        messages.push(Answer::Yes);
        window()->cmdStop->click();
        frmMessage::closeInstance();
        QVERIFY(!window()->tmHourglass->isActive());
        window()->ShowMsg(QStringLiteral("di nuovo"), nullptr);
        QVERIFY(!window()->Stopped());
        QVERIFY(window()->pbNotify->isHidden());
        QVERIFY(window()->cmdStop->isHidden());
        QVERIFY(window()->tmHourglass->isActive());
    }

    void ownerIsDisabledAndRestored()
    {
        QWidget owner;
        owner.show();
        window()->ShowMsg(QStringLiteral("x"), &owner);
        QVERIFY(!owner.isEnabled());
        window()->ShowMsg(QStringLiteral("y"), &owner); // same owner: only the text changes
        QCOMPARE(window()->lblMessage->text(), QStringLiteral("y"));
        QVERIFY(!owner.isEnabled());
        frmMessage::closeInstance();
        QVERIFY(owner.isEnabled());
    }

    void ownerKeepsItsFormerDisabledState()
    {
        QWidget owner;
        owner.show();
        owner.setEnabled(false);
        window()->ShowMsg(QStringLiteral("x"), &owner);
        frmMessage::closeInstance();
        QVERIFY(!owner.isEnabled());
    }

    void switchingOwnerReleasesTheFirst()
    {
        QWidget first;
        QWidget second;
        first.show();
        second.show();
        window()->ShowMsg(QStringLiteral("x"), &first);
        QVERIFY(!first.isEnabled());
        window()->ShowMsg(QStringLiteral("y"), &second);
        QVERIFY(first.isEnabled());
        QVERIFY(!second.isEnabled());
        frmMessage::closeInstance();
        QVERIFY(second.isEnabled());
    }

    void ownerDestroyedWhileShown()
    {
        auto *owner = new QWidget;
        owner->show();
        window()->ShowMsg(QStringLiteral("x"), owner);
        delete owner;
        window()->ShowMsg(QStringLiteral("y"), nullptr);
        QCOMPARE(window()->lblMessage->text(), QStringLiteral("y"));
    }

    void anotherModalWindowPreventsShowing()
    {
        QWidget owner;
        owner.show();
        QDialog modal;
        modal.setModal(true);
        modal.show();
        window()->ShowMsg(QStringLiteral("x"), &owner);
        QVERIFY(!window()->isVisible());
        QVERIFY(owner.isEnabled());
        modal.hide();
    }

    void placedInTwips()
    {
        window()->ShowMsg(QStringLiteral("x"), nullptr, 1440, 2880);
        QCOMPARE(window()->y(), Twips::toPixelsY(1440, window()));
        QCOMPARE(window()->x(), Twips::toPixelsX(2880, window()));
    }

    void hourglassIsAnimated()
    {
        window()->ShowMsg(QStringLiteral("x"), nullptr);
        const int first = window()->hourglassFrame();
        QTRY_VERIFY_WITH_TIMEOUT(window()->hourglassFrame() != first, 2000);
        QVERIFY(!window()->imgHourglass->pixmap().isNull());
    }

    // Work read apart: the status bar marks it; work the user waits for brings the waiting window
    // after a second, whose stop button asks every work to end; work behind the screen never does.
    void busyMarkAndItsWaitingWindow_data()
    {
        QTest::addColumn<bool>("waitedFor");
        QTest::newRow("waited for") << true;
        QTest::newRow("behind the screen") << false;
    }

    void busyMarkAndItsWaitingWindow()
    {
        QFETCH(bool, waitedFor);
        QStatusBar bar;
        bar.show();
        BusyMark mark(&bar);
        auto *label = bar.findChild<QLabel *>(QStringLiteral("sbStatusBar_Busy"));
        QVERIFY(label && label->isHidden());
        QSignalSpy stop(&mark, &BusyMark::stopRequested);
        mark.set(QStringLiteral("rows"), true, waitedFor);
        mark.set(QStringLiteral("sums"), true, false);
        QVERIFY(label->isVisible());
        QTest::qWait(BusyMark::kWaitingWindowMs + 300);
        QCOMPARE(window()->isVisible(), waitedFor);
        if (waitedFor) {
            TestSupport::ScriptedMessages messages;
            messages.push(Answer::Yes); // "Confermi l'interruzione ?"
            window()->cmdStop->click();
            QTRY_COMPARE(stop.size(), 1);
            QVERIFY(!window()->isVisible());
        }
        mark.set(QStringLiteral("rows"), false);
        QVERIFY(label->isVisible()); // the other work still runs
        mark.set(QStringLiteral("sums"), false);
        QVERIFY(label->isHidden());
    }
};

COBRELLE_TEST_MAIN(tst_FrmMessage)
#include "tst_frmmessage.moc"
