#include "testsupport.h"
#include "users/frmPassword.h"
#include "data/storedpassword.h"
#include "users/passwordcheck.h"
#include "users/scramble.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

using MessageService::Icon;

namespace {

QString allLatin1(int length, int offset)
{
    QString text;
    for (int i = 0; i < length; ++i)
        text.append(QChar((i + offset) % 256));
    return text;
}

const QString kWrongPasswordMessage = QStringLiteral(
    "La password non è corretta.\n\nFare attenzione all'utilizzo delle maiuscole/minuscole");

} // namespace

class TestPasswords : public QObject {
    Q_OBJECT

private:
    // Runs ValidatePassword with the given actions done inside its modal loop; the dialog is
    // cancelled afterwards if the actions left it open, so a failing test cannot hang.
    bool runDialog(frmPassword &dialog, bool change, const QString &stored,
                   const std::function<void()> &actions)
    {
        QTimer::singleShot(0, &dialog, [&dialog, actions] {
            actions();
            if (dialog.isVisible())
                dialog.reject();
        });
        return dialog.ValidatePassword(nullptr, change, stored);
    }

    template <typename T> static T *child(frmPassword &dialog, const char *name)
    {
        auto *widget = dialog.findChild<T *>(QLatin1String(name));
        Q_ASSERT(widget);
        return widget;
    }

private slots:
    void scrambleKeepsLengthAndRoundTrips_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("offset");
        QTest::newRow("all 256 codes, even length") << 256 << 0;
        QTest::newRow("255 codes, odd length") << 255 << 1;
        QTest::newRow("5 characters") << 5 << 97;
        QTest::newRow("one character") << 1 << 200;
    }
    void scrambleKeepsLengthAndRoundTrips()
    {
        QFETCH(int, length);
        QFETCH(int, offset);
        const QString plain = allLatin1(length, offset);
        const QString scrambled = ScrambleText(plain);
        QCOMPARE(scrambled.size(), plain.size());
        QVERIFY(scrambled != plain);
        QCOMPARE(ScrambleText(scrambled, true), plain);
    }

    void scrambleRotatesEachCode()
    {
        // Even length: a plain right rotation. Odd length: the top bit is flipped at odd positions.
        QCOMPARE(ScrambleText(QStringLiteral("ab")), QString::fromLatin1("\xB0\x31"));
        QCOMPARE(ScrambleText(QStringLiteral("abc")), QString::fromLatin1("\x30\x31\x31"));
        // Every single character survives the round trip except the blank (an empty text) and
        // the one that scrambles to a blank.
        for (int code = 0; code < 256; ++code) {
            const QString plain(QChar{code});
            if (plain == QLatin1String(" ") || ScrambleText(plain) == QLatin1String(" "))
                continue;
            QCOMPARE(ScrambleText(ScrambleText(plain), true), plain);
        }
    }

    void scrambleOfBlanksIsEmpty()
    {
        QCOMPARE(ScrambleText(QStringLiteral("    ")), QString());
        QCOMPARE(ScrambleText(QString()), QString());
        QCOMPARE(ScrambleText(QStringLiteral("   "), true), QString());
        QCOMPARE(ScrambleText(QStringLiteral("a  ")).size(), 3);
    }

    void hashVerifiesOnlyTheSamePassword()
    {
        const QString stored = hashPassword(QStringLiteral("Segreto1"));
        QVERIFY(isPasswordHash(stored));
        QVERIFY(stored.size() <= 128);
        QVERIFY(!stored.contains(QLatin1String("Segreto1")));
        QVERIFY(verifyPassword(QStringLiteral("Segreto1"), stored));
        QVERIFY(!verifyPassword(QStringLiteral("segreto1"), stored));
        QVERIFY(!verifyPassword(QStringLiteral("Segreto"), stored));
        QVERIFY(!verifyPassword(QString(), stored));
    }

    void hashesOfOnePasswordDifferBySalt()
    {
        const QString first = hashPassword(QStringLiteral("uguale"));
        const QString second = hashPassword(QStringLiteral("uguale"));
        QVERIFY(first != second);
        QVERIFY(verifyPassword(QStringLiteral("uguale"), first));
        QVERIFY(verifyPassword(QStringLiteral("uguale"), second));
    }

    void emptyPasswordIsStoredAsEmptyText()
    {
        QCOMPARE(hashPassword(QString()), QStringLiteral(""));
        QVERIFY(!hashPassword(QString()).isNull());
        QCOMPARE(hashPassword(QStringLiteral("   ")), QStringLiteral(""));
        for (const QString &stored : {QString(), QStringLiteral("")}) {
            QVERIFY(verifyPassword(QString(), stored));
            QVERIFY(verifyPassword(QStringLiteral("  "), stored));
            QVERIFY(!verifyPassword(QStringLiteral("x"), stored));
        }
    }

    void legacyScrambledPasswordsStillWork()
    {
        const QString legacy = ScrambleText(QStringLiteral("Rosa7"));
        QVERIFY(!isPasswordHash(legacy));
        QVERIFY(verifyPassword(QStringLiteral("Rosa7"), legacy));
        QVERIFY(!verifyPassword(QStringLiteral("rosa7"), legacy));
        QVERIFY(!verifyPassword(QString(), legacy));
        // "A" scrambles to a single blank, which must not be taken for "no password".
        const QString blankLooking = ScrambleText(QStringLiteral("A"));
        QCOMPARE(blankLooking, QStringLiteral(" "));
        QVERIFY(verifyPassword(QStringLiteral("A"), blankLooking));
        QVERIFY(!verifyPassword(QString(), blankLooking));
        QVERIFY(!verifyPassword(QStringLiteral(" "), blankLooking));
        // The plain text the operators' panel once stored.
        QVERIFY(verifyPassword(QStringLiteral("pw1"), QStringLiteral("pw1")));
        QVERIFY(!verifyPassword(QStringLiteral("PW1"), QStringLiteral("pw1")));
        // A damaged hash is never read as an older form.
        const QString damaged = hashPassword(QStringLiteral("abc")).chopped(4);
        QVERIFY(!verifyPassword(damaged, damaged));
    }

    void damagedHashIsRefused()
    {
        const QString stored = hashPassword(QStringLiteral("abc"));
        QString damaged = stored;
        damaged.chop(4);
        QVERIFY(!verifyPassword(QStringLiteral("abc"), damaged));
        QVERIFY(!isPasswordHash(QStringLiteral("$pbkdf2-sha256$999999999$AAAA$AAAA")));
        QVERIFY(!verifyPassword(QStringLiteral("abc"), QStringLiteral("$pbkdf2-sha256$x$$")));
    }

    void wrongPasswordKeepsDialogOpen()
    {
        TestSupport::ScriptedMessages messages;
        const int beepsBefore = MessageService::beepCount();
        frmPassword dialog;
        bool stillOpen = false;
        bool passwordFocused = false;
        int selected = 0;
        const bool result = runDialog(dialog, false, hashPassword(QStringLiteral("Giusta")), [&] {
            child<QLineEdit>(dialog, "txtPassword")->setText(QStringLiteral("giusta"));
            QTest::mouseClick(child<QPushButton>(dialog, "cmdConfirm"), Qt::LeftButton);
            stillOpen = dialog.isVisible();
            passwordFocused = dialog.focusWidget() == child<QLineEdit>(dialog, "txtPassword");
            selected = child<QLineEdit>(dialog, "txtPassword")->selectionLength();
        });
        QVERIFY(!result);
        QVERIFY(stillOpen);
        QVERIFY(passwordFocused);
        QCOMPARE(selected, 6); // typed again over the wrong one
        QCOMPARE(messages.texts(), QStringList{kWrongPasswordMessage});
        QCOMPARE(messages.seen().first().icon, Icon::Information);
        QCOMPARE(messages.seen().first().title, MessageService::commonTitle());
        QCOMPARE(MessageService::beepCount(), beepsBefore + 1);
    }

    void rightPasswordConfirms()
    {
        TestSupport::ScriptedMessages messages;
        frmPassword dialog;
        const bool result = runDialog(dialog, false, hashPassword(QStringLiteral("Giusta")), [&] {
            child<QLineEdit>(dialog, "txtPassword")->setText(QStringLiteral("Giusta"));
            QTest::mouseClick(child<QPushButton>(dialog, "cmdConfirm"), Qt::LeftButton);
        });
        QVERIFY(result);
        QVERIFY(!dialog.Changed());
        QVERIFY(messages.texts().isEmpty());
    }

    void emptyStoredPasswordAcceptsBlanks()
    {
        TestSupport::ScriptedMessages messages;
        frmPassword dialog;
        const bool result = runDialog(dialog, false, QString(), [&] {
            child<QLineEdit>(dialog, "txtPassword")->setText(QStringLiteral("   "));
            QTest::mouseClick(child<QPushButton>(dialog, "cmdConfirm"), Qt::LeftButton);
        });
        QVERIFY(result);
        QVERIFY(messages.texts().isEmpty());
    }

    void mismatchedConfirmationKeepsDialogOpen()
    {
        TestSupport::ScriptedMessages messages;
        frmPassword dialog;
        bool stillOpen = false;
        const bool result = runDialog(dialog, false, QString(), [&] {
            child<QCheckBox>(dialog, "chkNew")->setChecked(true);
            child<QLineEdit>(dialog, "txtNewPwd")->setText(QStringLiteral("nuova"));
            child<QLineEdit>(dialog, "txtConfirmNewPwd")->setText(QStringLiteral("Nuova"));
            QTest::mouseClick(child<QPushButton>(dialog, "cmdConfirm"), Qt::LeftButton);
            stillOpen = dialog.isVisible();
        });
        QVERIFY(!result);
        QVERIFY(stillOpen);
        QVERIFY(!dialog.Changed());
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("La password di conferma non corrisponde...")});
        QCOMPARE(messages.seen().first().icon, Icon::Exclamation);
    }

    void loginWithNewPasswordReportsChange()
    {
        TestSupport::ScriptedMessages messages;
        frmPassword dialog;
        const bool result = runDialog(dialog, false, ScrambleText(QStringLiteral("vecchia")), [&] {
            child<QLineEdit>(dialog, "txtPassword")->setText(QStringLiteral("vecchia"));
            child<QCheckBox>(dialog, "chkNew")->setChecked(true);
            child<QLineEdit>(dialog, "txtNewPwd")->setText(QStringLiteral("nuova"));
            child<QLineEdit>(dialog, "txtConfirmNewPwd")->setText(QStringLiteral("nuova"));
            QTest::mouseClick(child<QPushButton>(dialog, "cmdConfirm"), Qt::LeftButton);
        });
        QVERIFY(result);
        QVERIFY(dialog.Changed());
        QCOMPARE(dialog.Password(), QStringLiteral("nuova"));
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("La password e' stata modificata.")});
    }

    void changeModeAsksOnlyForTheNewPassword()
    {
        TestSupport::ScriptedMessages messages;
        frmPassword dialog;
        bool passwordDisabledAndEmpty = false;
        bool newPasswordFocused = false;
        bool checkLocked = false;
        const bool result = runDialog(dialog, true, hashPassword(QStringLiteral("attuale")), [&] {
            auto *password = child<QLineEdit>(dialog, "txtPassword");
            auto *chkNew = child<QCheckBox>(dialog, "chkNew");
            passwordDisabledAndEmpty = !password->isEnabled() && password->text().isEmpty();
            newPasswordFocused = dialog.focusWidget() == child<QLineEdit>(dialog, "txtNewPwd");
            checkLocked = chkNew->isChecked() && !chkNew->isEnabled();
            QTest::mouseClick(child<QPushButton>(dialog, "cmdConfirm"), Qt::LeftButton);
        });
        QVERIFY(passwordDisabledAndEmpty);
        QVERIFY(newPasswordFocused);
        QVERIFY(checkLocked);
        QVERIFY(result);
        QVERIFY(dialog.Changed());
        QCOMPARE(dialog.Password(), QString());
        QCOMPARE(messages.texts(),
                 QStringList{QStringLiteral("La password e' stata modificata.\n\nNOTA: Senza password "
                                            "sono disattivate tutte le restrizioni di accesso.")});
    }

    void newPasswordRowsShowOnlyWhenChanging()
    {
        TestSupport::ScriptedMessages messages;
        frmPassword dialog;
        int shortHeight = 0;
        int tallHeight = 0;
        int newRowTop = 0;
        int confirmRowBottom = 0;
        runDialog(dialog, false, QString(), [&] {
            shortHeight = dialog.height();
            newRowTop = child<QLineEdit>(dialog, "txtNewPwd")->geometry().top();
            confirmRowBottom = child<QLineEdit>(dialog, "txtConfirmNewPwd")->geometry().bottom();
            QVERIFY(!child<QLineEdit>(dialog, "txtNewPwd")->isEnabled());
            child<QCheckBox>(dialog, "chkNew")->setChecked(true);
            tallHeight = dialog.height();
        });
        QCOMPARE(shortHeight, newRowTop);
        QVERIFY(tallHeight > confirmRowBottom);
    }

    void eachCallStartsAfresh()
    {
        TestSupport::ScriptedMessages messages;
        frmPassword dialog;
        runDialog(dialog, true, QString(), [&] {
            child<QLineEdit>(dialog, "txtNewPwd")->setText(QStringLiteral("x"));
            child<QLineEdit>(dialog, "txtConfirmNewPwd")->setText(QStringLiteral("x"));
            QTest::mouseClick(child<QPushButton>(dialog, "cmdConfirm"), Qt::LeftButton);
        });
        QVERIFY(dialog.Changed());
        QString leftOver;
        bool passwordEnabled = false;
        const bool result = runDialog(dialog, false, QString(), [&] {
            leftOver = child<QLineEdit>(dialog, "txtNewPwd")->text()
                       + child<QLineEdit>(dialog, "txtConfirmNewPwd")->text();
            passwordEnabled = child<QLineEdit>(dialog, "txtPassword")->isEnabled();
            QTest::mouseClick(child<QPushButton>(dialog, "cmdCancel"), Qt::LeftButton);
        });
        QVERIFY(!result);
        QVERIFY(leftOver.isEmpty());
        QVERIFY(passwordEnabled);
        QVERIFY(!dialog.Changed());
        QCOMPARE(dialog.Password(), QString());
    }
};

COBRELLE_TEST_MAIN(TestPasswords)
#include "tst_passwords.moc"
