// Choosing the operator and checking his password at login, on a real archive.

#include "testsupport.h"

#include "app/frmMain.h"
#include "app/startup.h"
#include "objdb/datacontext.h"
#include "services/modGlobal.h"
#include "data/storedpassword.h"
#include "users/passwordcheck.h"
#include "users/scramble.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace objdb;
using TestSupport::onNextModal;

namespace {

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
        auto &t = modGlobal::AppSession().dataContext->Tables().Item("Operatori");
        auto ds = t.OpenDataSource("Nome=" + t.Literal("Nome", name));
        const QVariant v = ds->GetField("Password");
        return v.isNull() ? QString() : v.toString();
    }

    void addOperator(const QString &name, const QVariant &password)
    {
        auto ds = modGlobal::AppSession().dataContext->Tables().Item("Operatori").OpenDataSource();
        QVERIFY(ds->AddRow({"Nome", name, "Password", password}));
    }

    // A row as an archive of an earlier version may hold it, past today's rules.
    void addStoredOperator(const QString &name, const QString &storedPassword)
    {
        modGlobal::AppSession().database->exec("INSERT INTO Operatori (Nome, Password) VALUES (?, ?)", {name, storedPassword});
    }

    // Logs the administrator in, as at start-up.
    void logInAdministrator()
    {
        answerLogin("Amministratore", QString());
        QVERIFY(m_form->UserLogin(true, false));
        QCOMPARE(modGlobal::AppSession().dataContext->UserLevel, 1);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<TestSupport::TempWorkDir>();
        const auto archive = TestSupport::openArchive(m_dir->databasePath());
        modGlobal::AppSession().database = archive.database;
        modGlobal::AppSession().dataContext = archive.context;
        m_form = std::make_unique<frmMain>();
    }

    void cleanup()
    {
        m_form.reset();
        modGlobal::AppSession().dataContext.reset();
        modGlobal::AppSession().database.reset();
        m_dir.reset();
    }

    void administratorWithEmptyPassword()
    {
        TestSupport::ScriptedMessages messages;
        answerLogin("Amministratore", QString());
        QVERIFY(m_form->UserLogin(true, false));
        QCOMPARE(m_form->m_strOperatore, QStringLiteral("Amministratore"));
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Cobrelle  [ Amministratore ]"));
        QCOMPARE(modGlobal::AppSession().dataContext->UserLevel, 1);
    }

    void otherOperatorsAreOrdinary()
    {
        // Names are trimmed when written; an archive of an earlier version may still hold this one.
        addStoredOperator(" Amministratore", "");
        addStoredOperator("amministratore", "");
        TestSupport::ScriptedMessages messages;
        answerLogin("amministratore", QString());
        QVERIFY(m_form->UserLogin(true, false));
        QCOMPARE(modGlobal::AppSession().dataContext->UserLevel, 0);
        answerLogin(" Amministratore", QString());
        QVERIFY(m_form->UserLogin(true, false));
        QCOMPARE(modGlobal::AppSession().dataContext->UserLevel, 0);
    }

    // With no archive open there is nobody to log in: refused, never a dereference of nothing.
    void loginWithoutArchiveIsRefused()
    {
        modGlobal::AppSession().dataContext.reset();
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

    // The older forms of a stored password log in and are rewritten as a hash: the scrambled form
    // of the first archives and the plain text the operators' panel once stored.
    void olderStoredPasswordBecomesAHash_data()
    {
        QTest::addColumn<QString>("legacy");
        QTest::newRow("scrambled") << ScrambleText("Rosso5", false);
        QTest::newRow("plain") << QStringLiteral("Rosso5");
    }
    void olderStoredPasswordBecomesAHash()
    {
        QFETCH(QString, legacy);
        addStoredOperator("Lucia", legacy);
        TestSupport::ScriptedMessages messages;
        answerLogin("Lucia", "Rosso5");
        QVERIFY(m_form->UserLogin(true, false));
        const QString stored = storedPassword("Lucia");
        QVERIFY(isPasswordHash(stored));
        QVERIFY(verifyPassword("Rosso5", stored));
        QVERIFY(!stored.contains("Rosso5"));
    }

    // The administrator creates an operator with a password, who then logs in with it.
    void operatorCreatedWithAPasswordLogsInWithIt()
    {
        addOperator("Rossi", "pw1");
        TestSupport::ScriptedMessages messages;
        answerLogin("Rossi", "pw1");
        QVERIFY(m_form->UserLogin(true, false));
        QCOMPARE(m_form->m_strOperatore, QStringLiteral("Rossi"));
        QVERIFY(messages.texts().isEmpty());
        QVERIFY(verifyPassword("pw1", storedPassword("Rossi")));
    }

    // A change of operator that is cancelled, at the list or at the password, keeps the session:
    // the operator, the title, the rights; the title changes only once the password is right.
    void cancelledChangeKeepsTheSession_data()
    {
        QTest::addColumn<bool>("atPassword");
        QTest::newRow("list cancelled") << false;
        QTest::newRow("password cancelled") << true;
    }
    void cancelledChangeKeepsTheSession()
    {
        QFETCH(bool, atPassword);
        addOperator("Mario", "pw2");
        TestSupport::ScriptedMessages messages;
        logInAdministrator();
        m_form->show();
        const QString title = m_form->windowTitle();
        QString titleWhileAsked;
        onNextModal([&](QWidget *list) {
            if (!atPassword) {
                QTest::mouseClick(list->findChild<QPushButton *>("cmdCancel"), Qt::LeftButton);
                return;
            }
            auto *combo = list->findChild<QComboBox *>("CmbOperatore");
            combo->setCurrentIndex(combo->findText("Mario"));
            onNextModal([&](QWidget *password) {
                titleWhileAsked = m_form->windowTitle();
                QTest::mouseClick(password->findChild<QPushButton *>("cmdCancel"), Qt::LeftButton);
            }, list);
            QTest::mouseClick(list->findChild<QPushButton *>("cmdConfirm"), Qt::LeftButton);
        });
        m_form->mnuChangeUser_Click();
        QVERIFY(m_form->isVisible());
        QCOMPARE(m_form->m_strOperatore, QStringLiteral("Amministratore"));
        // The logs in the archive go on naming him.
        QCOMPARE(modGlobal::AppSession().operatorName, QStringLiteral("Amministratore"));
        QCOMPARE(modGlobal::AppSession().dataContext->UserName, QStringLiteral("Amministratore"));
        QCOMPARE(m_form->windowTitle(), title);
        QCOMPARE(modGlobal::AppSession().dataContext->UserLevel, 1);
        if (atPassword)
            QCOMPARE(titleWhileAsked, title);

        // The change that succeeds switches the session over.
        answerLogin("Mario", "pw2");
        m_form->mnuChangeUser_Click();
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Cobrelle  [ Mario ]"));
        QCOMPARE(modGlobal::AppSession().dataContext->UserLevel, 0);
        QCOMPARE(modGlobal::AppSession().dataContext->UserName, QStringLiteral("Mario"));
        // His menus offer none of the administrator's bulk commands.
        for (const char *item : {"mnuDeletePayment", "mnuImport", "mnuVerifyArchive", "mnuDeletionLog"})
            QVERIFY2(!m_form->findChild<QAction *>(item)->isEnabled(), item);
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
        modGlobal::AppSession().database->exec("INSERT INTO Operatori (Nome, Password) VALUES ('  ', '')");
        addOperator("Bruno", QString(""));
        TestSupport::ScriptedMessages messages;
        onNextModal([&](QWidget *list) {
            auto *combo = list->findChild<QComboBox *>("CmbOperatore");
            QCOMPARE(combo->currentIndex(), 0); // the blank name sorts first
            QTest::mouseClick(list->findChild<QPushButton *>("cmdConfirm"), Qt::LeftButton);
            onNextModal([&](QWidget *again) {
                auto *names = again->findChild<QComboBox *>("CmbOperatore");
                names->setCurrentIndex(names->findText("Bruno"));
                modGlobal::AppSession().database->exec("DELETE FROM Operatori WHERE Nome = 'Bruno'");
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
            modGlobal::AppSession().database->Close();
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
