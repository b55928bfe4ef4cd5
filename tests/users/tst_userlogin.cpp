// Choosing the operator and checking his password at login, on a real archive.

#include "testsupport.h"

#include "app/frmMain.h"
#include "services/modGlobal.h"
#include "users/passwordhash.h"
#include "users/scramble.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace objdb;

namespace {

// Runs `act` on the next modal dialog that opens (the same dialog shown again counts as well once
// it was closed); rejects it after a while so no test can hang.
void onNextModal(std::function<void(QWidget *)> act, QWidget *previous = nullptr)
{
    auto *timer = new QTimer(qApp);
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act, previous, started] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal != previous) {
            timer->deleteLater();
            timer->stop();
            act(modal);
        } else if (started->elapsed() > 10000) {
            timer->deleteLater();
            timer->stop();
            if (modal)
                modal->close();
        }
    });
    timer->start(10);
}

// Picks an operator in the list, then types a password (and optionally a new one) and confirms.
void answerLogin(const QString &operatorName, const QString &password, const QString &newPassword = QString())
{
    onNextModal([=](QWidget *selectOper) {
        auto *combo = selectOper->findChild<QComboBox *>("CmbOperatore");
        combo->setCurrentIndex(combo->findText(operatorName));
        onNextModal([=](QWidget *dialog) {
            dialog->findChild<QLineEdit *>("txtPassword")->setText(password);
            if (!newPassword.isNull()) {
                dialog->findChild<QCheckBox *>("chkNew")->setChecked(true);
                dialog->findChild<QLineEdit *>("txtNewPwd")->setText(newPassword);
                dialog->findChild<QLineEdit *>("txtConfirmNewPwd")->setText(newPassword);
            }
            QTest::mouseClick(dialog->findChild<QPushButton *>("cmdConfirm"), Qt::LeftButton);
            // A wrong password keeps the dialog open: give up then.
            QTimer::singleShot(200, dialog, [dialog] {
                if (dialog->isVisible())
                    QTest::mouseClick(dialog->findChild<QPushButton *>("cmdCancel"), Qt::LeftButton);
            });
        }, selectOper);
        QTest::mouseClick(selectOper->findChild<QPushButton *>("cmdConfirm"), Qt::LeftButton);
    });
}

} // namespace

class TestUserLogin : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSupport::TempWorkDir> m_dir;
    std::unique_ptr<frmMain> m_form;

    QString storedPassword(const QString &name)
    {
        auto &t = modGlobal::g_objDataContext->Tables().Item("Operatori");
        auto ds = t.OpenDataSource("Nome=" + t.Literal("Nome", name));
        const QVariant v = ds->GetField("Password");
        return v.isNull() ? QString() : v.toString();
    }

    void addOperator(const QString &name, const QVariant &password)
    {
        auto ds = modGlobal::g_objDataContext->Tables().Item("Operatori").OpenDataSource();
        QVERIFY(ds->AddRow({"Nome", name, "Password", password}));
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<TestSupport::TempWorkDir>();
        const auto archive = TestSupport::openArchive(m_dir->databasePath());
        modGlobal::g_objDatabase = archive.database;
        modGlobal::g_objDataContext = archive.context;
        m_form = std::make_unique<frmMain>();
    }

    void cleanup()
    {
        m_form.reset();
        modGlobal::g_objDataContext.reset();
        modGlobal::g_objDatabase.reset();
        m_dir.reset();
    }

    void administratorWithEmptyPassword()
    {
        TestSupport::ScriptedMessages messages;
        answerLogin("Amministratore", QString());
        QVERIFY(m_form->UserLogin(true, false));
        QCOMPARE(m_form->m_strOperatore, QStringLiteral("Amministratore"));
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Cobrelle  [ Amministratore ]"));
        QCOMPARE(modGlobal::g_objDataContext->UserLevel, 1);
    }

    void otherOperatorsAreOrdinary()
    {
        // Names are trimmed when written; an archive of an earlier version may still hold this one.
        modGlobal::g_objDatabase->exec("INSERT INTO Operatori (Nome, Password) VALUES (' Amministratore', '')");
        addOperator("amministratore", QString(""));
        TestSupport::ScriptedMessages messages;
        answerLogin("amministratore", QString());
        QVERIFY(m_form->UserLogin(true, false));
        QCOMPARE(modGlobal::g_objDataContext->UserLevel, 0);
        answerLogin(" Amministratore", QString());
        QVERIFY(m_form->UserLogin(true, false));
        QCOMPARE(modGlobal::g_objDataContext->UserLevel, 0);
    }

    // With no archive open there is nobody to log in: refused, never a dereference of nothing.
    void loginWithoutArchiveIsRefused()
    {
        modGlobal::g_objDataContext.reset();
        TestSupport::ScriptedMessages messages;
        QVERIFY(!m_form->UserLogin(false, false));
    }

    void wrongPasswordIsRefused()
    {
        addOperator("Mario", hashPassword("Segreto"));
        TestSupport::ScriptedMessages messages;
        answerLogin("Mario", "segreto");
        QVERIFY(!m_form->UserLogin(true, false));
        QVERIFY(messages.texts().join("|").contains("La password non è corretta."));
    }

    void cancelledListMeansNoOperator()
    {
        onNextModal([](QWidget *dialog) { QTest::mouseClick(dialog->findChild<QPushButton *>("cmdCancel"), Qt::LeftButton); });
        QVERIFY(!m_form->UserLogin(true, false));
        QVERIFY(m_form->m_strOperatore.isEmpty());
    }

    void oldScrambledPasswordBecomesAHash()
    {
        addOperator("Lucia", ScrambleText("Rosso5", false));
        TestSupport::ScriptedMessages messages;
        answerLogin("Lucia", "Rosso5");
        QVERIFY(m_form->UserLogin(true, false));
        const QString stored = storedPassword("Lucia");
        QVERIFY(isPasswordHash(stored));
        QVERIFY(verifyPassword("Rosso5", stored));
        QVERIFY(!stored.contains("Rosso5"));
    }

    void newPasswordIsStoredAsAHash()
    {
        TestSupport::ScriptedMessages messages;
        answerLogin("Amministratore", QString(), "Nuova!1");
        QVERIFY(m_form->UserLogin(true, false));
        const QString stored = storedPassword("Amministratore");
        QVERIFY(isPasswordHash(stored));
        QVERIFY(verifyPassword("Nuova!1", stored));
        // The next login needs it.
        answerLogin("Amministratore", QString());
        QVERIFY(!m_form->UserLogin(true, false));
        answerLogin("Amministratore", "Nuova!1");
        QVERIFY(m_form->UserLogin(true, false));
    }

    void operatorListPreselectsTheLastConfirmed()
    {
        addOperator("Bruno", QString(""));
        TestSupport::ScriptedMessages messages;
        answerLogin("Bruno", QString());
        QVERIFY(m_form->UserLogin(true, false));
        QString shown;
        onNextModal([&shown](QWidget *dialog) {
            shown = dialog->findChild<QComboBox *>("CmbOperatore")->currentText();
            QTest::mouseClick(dialog->findChild<QPushButton *>("cmdCancel"), Qt::LeftButton);
        });
        QVERIFY(!m_form->UserLogin(true, false));
        QCOMPARE(shown, QStringLiteral("Bruno"));
    }

    // A login that fails says why and offers the list again: a name that is blank (kept from an
    // archive of an earlier version), an operator removed by another desk while the list was open.
    void failedLoginSaysWhyAndOffersTheListAgain()
    {
        modGlobal::g_objDatabase->exec("INSERT INTO Operatori (Nome, Password) VALUES ('  ', '')");
        addOperator("Bruno", QString(""));
        TestSupport::ScriptedMessages messages;
        onNextModal([&](QWidget *list) {
            auto *combo = list->findChild<QComboBox *>("CmbOperatore");
            QCOMPARE(combo->currentIndex(), 0); // the blank name sorts first
            QTest::mouseClick(list->findChild<QPushButton *>("cmdConfirm"), Qt::LeftButton);
            onNextModal([&](QWidget *again) {
                auto *names = again->findChild<QComboBox *>("CmbOperatore");
                names->setCurrentIndex(names->findText("Bruno"));
                modGlobal::g_objDatabase->exec("DELETE FROM Operatori WHERE Nome = 'Bruno'");
                QTest::mouseClick(again->findChild<QPushButton *>("cmdConfirm"), Qt::LeftButton);
                answerLogin("Amministratore", QString());
            });
        });
        // The third showing of the list logs in.
        QVERIFY(m_form->UserLogin(true, false));
        QCOMPARE(messages.texts(),
                 (QStringList{"L'operatore scelto ha un nome vuoto e non può accedere: sceglierne un altro dall'elenco.",
                              "L'operatore Bruno non è più presente nell'archivio."}));
        QCOMPARE(m_form->m_strOperatore, QStringLiteral("Amministratore"));
    }

    // The archive lost while the list is open: confirming does not end the program; the error
    // report offers its details and the list comes back, whose cancelling ends the login.
    void archiveLostWhileChoosing()
    {
        TestSupport::ScriptedMessages messages;
        bool listAgain = false;
        onNextModal([&](QWidget *list) {
            modGlobal::g_objDatabase->Close();
            QTest::mouseClick(list->findChild<QPushButton *>("cmdConfirm"), Qt::LeftButton);
            onNextModal([&](QWidget *again) {
                listAgain = true;
                QTest::mouseClick(again->findChild<QPushButton *>("cmdCancel"), Qt::LeftButton);
            });
        });
        QVERIFY(!m_form->UserLogin(true, false));
        QVERIFY(listAgain);
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY(messages.texts().first().endsWith(QStringLiteral("Visualizzare dettagli ?")));
    }
};

COBRELLE_TEST_MAIN(TestUserLogin)
#include "tst_userlogin.moc"
