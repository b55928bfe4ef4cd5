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

// Runs `act` on the next modal dialog that opens; rejects it after a while so no test can hang.
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
        addOperator(" Amministratore", QString(""));
        addOperator("amministratore", QString(""));
        TestSupport::ScriptedMessages messages;
        answerLogin("amministratore", QString());
        QVERIFY(m_form->UserLogin(true, false));
        QCOMPARE(modGlobal::g_objDataContext->UserLevel, 0);
        answerLogin(" Amministratore", QString());
        QVERIFY(m_form->UserLogin(true, false));
        QCOMPARE(modGlobal::g_objDataContext->UserLevel, 0);
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

    // The archive lost while the list is open: confirming does not end the program; the login
    // fails and the error report offers its details.
    void archiveLostWhileChoosing()
    {
        TestSupport::ScriptedMessages messages;
        onNextModal([](QWidget *list) {
            modGlobal::g_objDatabase->Close();
            QTest::mouseClick(list->findChild<QPushButton *>("cmdConfirm"), Qt::LeftButton);
        });
        QVERIFY(!m_form->UserLogin(true, false));
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY(messages.texts().first().endsWith(QStringLiteral("Visualizzare dettagli ?")));
    }
};

COBRELLE_TEST_MAIN(TestUserLogin)
#include "tst_userlogin.moc"
