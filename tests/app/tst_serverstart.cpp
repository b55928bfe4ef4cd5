// The start on an archive kept on a server: the password asked unless the password file gives it,
// Esc ending the start, and a server that cannot be opened told with the options offered.

#include "app/startup.h"
#include "services/archivechoice.h"
#include "services/passwordfile.h"
#include "services/session.h"
#include "serverfixture.h"
#include "testsupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using MessageService::Answer;

class tst_ServerStart : public QObject {
    Q_OBJECT

private slots:
    void startOnTheServer_data()
    {
        QTest::addColumn<bool>("remembered");
        QTest::addColumn<QString>("password"); // typed in the password dialog; "" leaves it with Esc
        QTest::addColumn<int>("openOptions");  // the answer to the failure's question; -1: not asked
        QTest::addColumn<QStringList>("dialogs");
        QTest::newRow("Esc ends the start") << false << "" << -1 << QStringList{"frmServerPassword"};
        QTest::newRow("typed, the failure told") << false << "segreta" << int(Answer::No) << QStringList{"frmServerPassword"};
        QTest::newRow("remembered: not asked") << true << "" << int(Answer::No) << QStringList();
        QTest::newRow("options offered and left") << true << "" << int(Answer::Yes) << QStringList{"frmOptions"};
    }
    void startOnTheServer()
    {
        QFETCH(bool, remembered);
        QFETCH(QString, password);
        QFETCH(int, openOptions);
        QFETCH(QStringList, dialogs);
        TestSupport::PrivatePasswordFile passwords;
        const objdb::ServerAddress server = TestSupport::unreachableServer();
        WriteArchiveChoice({ArchiveKind::Server, server});
        QString error;
        QVERIFY(!remembered || PasswordFile::remember(server, QStringLiteral("ricordata"), &error));
        TestSupport::ScriptedMessages script;
        if (openOptions >= 0)
            script.push(Answer(openOptions));
        QStringList seen;
        QTimer answering;
        connect(&answering, &QTimer::timeout, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || seen.contains(modal->objectName()))
                return;
            seen.append(modal->objectName());
            if (auto *box = modal->findChild<QLineEdit *>(QStringLiteral("txtServerPassword")); box && !password.isEmpty()) {
                box->setText(password);
                modal->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
            } else {
                QTest::keyClick(modal, Qt::Key_Escape);
            }
        });
        answering.start(20);
        QVERIFY(!modGlobal::InitDatabase(modGlobal::AppSession(), nullptr, nullptr));
        QCOMPARE(seen, dialogs);
        QVERIFY(!modGlobal::AppSession().database && !modGlobal::AppSession().deskMark);
        QCOMPARE(script.texts().size(), openOptions < 0 ? 0 : 1);
        if (openOptions >= 0) {
            const QString told = script.texts().first();
            QVERIFY2(told.startsWith(QStringLiteral("Impossibile aprire l'archivio cassa su 127.0.0.1:1: "))
                         && told.endsWith(QStringLiteral("Aprire le impostazioni per correggerle?")),
                     qPrintable(told));
            // A password typed at start and refused is not tried again.
            QCOMPARE(objdb::serverPassword(server), QString());
        }
        WriteArchiveChoice({});
    }
};

COBRELLE_TEST_MAIN(tst_ServerStart)
#include "tst_serverstart.moc"
