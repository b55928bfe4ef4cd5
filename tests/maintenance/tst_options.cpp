#include "maintenance/frmOptions.h"
#include "maintenance/frmSelectDir.h"
#include "maintenance/optionslauncher.h"
#include "services/configuration.h"
#include "services/modGlobal.h"
#include "services/passwordfile.h"
#include "serverfixture.h"
#include "testsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

using MessageService::Answer;

namespace {

// The working directory, the archive choice and settings as the options dialog sees them, with what
// it did to them.
struct FakeSettings {
    explicit FakeSettings(QString root = QString()) : rootDir(std::move(root)) {}

    QString rootDir;
    QStringList written;
    ArchiveChoice choice;
    int choiceWrites = 0;
    int saves = 0;
    int reloads = 0;

    ArchiveChoiceAccess choiceAccess()
    {
        return {[this] { return choice; },
                [this](const ArchiveChoice &chosen) {
                    choice = chosen;
                    ++choiceWrites;
                }};
    }

    WorkDirAccess access()
    {
        return {[this] { return rootDir; },
                [this](const QString &dir) {
                    rootDir = dir;
                    written.append(dir);
                },
                [this] { ++saves; }};
    }
};

const QString kChangeQuestion = QStringLiteral("L'indirizzario di lavoro e' cambiato.\n\nConfermi ?");
const QString kArchiveChangeQuestion = QStringLiteral("L'archivio e' cambiato.\n\nConfermi ?");
const objdb::ServerAddress kServer{QStringLiteral("db.negozio"), 6543, QStringLiteral("cassa"), QStringLiteral("cassiere")};

template <typename T> T *child(QWidget &parent, const char *name)
{
    auto *widget = parent.findChild<T *>(QLatin1String(name));
    Q_ASSERT(widget);
    return widget;
}

// Clicks a button of the directory selector once it runs modally; closes it if it is not there.
void answerSelectorWith(const char *button)
{
    QTimer::singleShot(0, [button] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *selector = qobject_cast<frmSelectDir *>(modal);
        if (!selector) {
            if (modal)
                modal->close();
            return;
        }
        QTest::mouseClick(child<QPushButton>(*selector, button), Qt::LeftButton);
    });
}

void fillServer(QWidget &dialog, const QString &host, const QString &port, const QString &database,
                const QString &password, bool remember)
{
    child<QLineEdit>(dialog, "txtServerHost")->setText(host);
    child<QLineEdit>(dialog, "txtServerPort")->setText(port);
    child<QLineEdit>(dialog, "txtServerDatabase")->setText(database);
    child<QLineEdit>(dialog, "txtServerUser")->setText(QStringLiteral("cassiere"));
    child<QLineEdit>(dialog, "txtServerPassword")->setText(password);
    child<QCheckBox>(dialog, "chkRememberPassword")->setChecked(remember);
}

QList<QRadioButton *> resourceOptions(frmSelectDir &dialog)
{
    QList<QRadioButton *> options = dialog.findChildren<QRadioButton *>(QStringLiteral("optResource"));
    std::sort(options.begin(), options.end(), [](QRadioButton *a, QRadioButton *b) {
        return a->property("index").toInt() < b->property("index").toInt();
    });
    return options;
}

} // namespace

class TestOptions : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<frmOptions> openOptions(FakeSettings &settings)
    {
        auto dialog = std::make_unique<frmOptions>(settings.access(), settings.choiceAccess());
        dialog->onReloadDatabase = [&settings] { ++settings.reloads; };
        dialog->show();
        return dialog;
    }

private slots:
    void cleanup() { frmSelectDir::setResourcePicker({}); }

    void showsCurrentWorkingDirectory()
    {
        FakeSettings settings(QStringLiteral("/dati/cassa"));
        auto dialog = openOptions(settings);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Impostazioni"));
        QCOMPARE(child<QLineEdit>(*dialog, "txtWorkDir")->text(), QStringLiteral("/dati/cassa"));
        QCOMPARE(child<QGroupBox>(*dialog, "frmGeneralParameter")->title(), QStringLiteral("Parametri Generali:"));
        QCOMPARE(child<QPushButton>(*dialog, "cmdCancel")->text(), QStringLiteral("&Esci"));
        QCOMPARE(child<QPushButton>(*dialog, "cmdRepairDB")->text(), QStringLiteral("&Recupera Database"));
    }

    // One folder spelt another way is no change: no question, no reload, settings saved. "$T" is
    // a folder that exists, holding "cassa" and a link to it.
    void sameFolderIsNoChange_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::newRow("same text") << "$T/cassa" << "$T/cassa";
        QTest::newRow("trailing separator") << "$T/cassa" << "$T/cassa/";
        QTest::newRow("dot segments") << "$T/cassa" << "$T/./altro/../cassa";
        QTest::newRow("link to it") << "$T/cassa" << "$T/collegamento";
        QTest::newRow("missing folder, same path") << "/dati/nuova" << "/dati//nuova/";
    }
    void sameFolderIsNoChange()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir("cassa"));
        QVERIFY(QFile::link(folder.filePath("cassa"), folder.filePath("collegamento")));
        TestSupport::ScriptedMessages messages;
        FakeSettings settings(stored.replace("$T", folder.path()));
        auto dialog = openOptions(settings);
        child<QLineEdit>(*dialog, "txtWorkDir")->setText(typed.replace("$T", folder.path()));
        QTest::mouseClick(child<QPushButton>(*dialog, "cmdOK"), Qt::LeftButton);
        QVERIFY(messages.texts().isEmpty());
        QVERIFY(dialog->Confirmed());
        QVERIFY(!dialog->isVisible());
        QVERIFY(settings.written.isEmpty());
        QCOMPARE(settings.reloads, 0);
        QCOMPARE(settings.saves, 1);
    }

    // Another folder, also one whose name differs only in letter case (two folders here), is a
    // change the user confirms.
    void confirmedChangeSetsDirectoryAndReloads_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::newRow("other folder") << "$T/cassa" << "$T/nuova";
        QTest::newRow("other letter case") << "$T/Cassa" << "$T/cassa";
    }
    void confirmedChangeSetsDirectoryAndReloads()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QTemporaryDir folder;
        for (const char *name : {"Cassa", "cassa", "nuova"})
            QVERIFY(QDir(folder.path()).mkdir(name));
        stored.replace("$T", folder.path());
        typed.replace("$T", folder.path());
        TestSupport::ScriptedMessages messages;
        messages.push(Answer::Yes);
        FakeSettings settings(stored);
        auto dialog = openOptions(settings);
        child<QLineEdit>(*dialog, "txtWorkDir")->setText(typed);
        QTest::mouseClick(child<QPushButton>(*dialog, "cmdOK"), Qt::LeftButton);
        QCOMPARE(messages.texts(), QStringList{kChangeQuestion});
        QCOMPARE(messages.seen().first().icon, MessageService::Icon::Question);
        QCOMPARE(messages.seen().first().buttons, MessageService::Buttons::YesNo);
        QCOMPARE(settings.written, QStringList{typed});
        QCOMPARE(settings.reloads, 1);
        QCOMPARE(settings.saves, 1);
        QVERIFY(dialog->Confirmed());
        QVERIFY(!dialog->isVisible());
    }

    void refusedChangeKeepsDialogOpen()
    {
        TestSupport::ScriptedMessages messages;
        messages.push(Answer::No);
        FakeSettings settings(QStringLiteral("/dati/cassa"));
        auto dialog = openOptions(settings);
        child<QLineEdit>(*dialog, "txtWorkDir")->setText(QStringLiteral("/altrove"));
        QTest::mouseClick(child<QPushButton>(*dialog, "cmdOK"), Qt::LeftButton);
        QCOMPARE(messages.texts(), QStringList{kChangeQuestion});
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->Confirmed());
        QCOMPARE(child<QLineEdit>(*dialog, "txtWorkDir")->text(), QStringLiteral("/altrove"));
        QCOMPARE(settings.rootDir, QStringLiteral("/dati/cassa"));
        QCOMPARE(settings.saves, 0);
        QCOMPARE(settings.reloads, 0);
    }

    // The dialog of a start whose working directory holds no archive: with nothing stored it
    // proposes a folder in the user's documents, never the program's own; a stored one rules.
    void startWithoutArchiveProposes_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("proposed"); // "" = the documents folder
        QTest::newRow("nothing stored") << "" << "";
        QTest::newRow("a stored folder") << "/dati/cassa" << "/dati/cassa";
    }
    void startWithoutArchiveProposes()
    {
        QFETCH(QString, stored);
        QFETCH(QString, proposed);
        if (proposed.isEmpty())
            proposed = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + "/Cobrelle";
        const QString before = modGlobal::RootDir;
        Settings::writeText("Configuration", "RootDir", stored);
        modGlobal::RootDir = stored.isEmpty() ? QCoreApplication::applicationDirPath() : stored;
        QString shown;
        QTimer::singleShot(0, [&shown] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            shown = child<QLineEdit>(*modal, "txtWorkDir")->text();
            QTest::mouseClick(child<QPushButton>(*modal, "cmdCancel"), Qt::LeftButton);
        });
        QVERIFY(!RunOptionsDialog(nullptr));
        modGlobal::RootDir = before;
        Settings::writeText("Configuration", "RootDir", QString());
        QCOMPARE(shown, proposed);
    }

    void exitChangesNothing()
    {
        TestSupport::ScriptedMessages messages;
        FakeSettings settings(QStringLiteral("/dati/cassa"));
        auto dialog = openOptions(settings);
        child<QLineEdit>(*dialog, "txtWorkDir")->setText(QStringLiteral("/altrove"));
        QTest::mouseClick(child<QPushButton>(*dialog, "cmdCancel"), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QVERIFY(!dialog->Confirmed());
        QVERIFY(messages.texts().isEmpty());
        QCOMPARE(settings.saves, 0);
    }

    void repairWorksOnTheTypedDirectory()
    {
        TestSupport::TempWorkDir typed;
        TestSupport::openArchive(typed.databasePath());
        TestSupport::ScriptedMessages messages;
        FakeSettings settings(QStringLiteral("/dati/cassa"));
        auto dialog = openOptions(settings);
        int releases = 0;
        dialog->repairEnvironment.releaseDatabase = [&] { ++releases; };
        child<QLineEdit>(*dialog, "txtWorkDir")->setText(typed.path());
        QTest::mouseClick(child<QPushButton>(*dialog, "cmdRepairDB"), Qt::LeftButton);
        QCOMPARE(messages.texts().size(), 2);
        QVERIFY(messages.texts().first().startsWith(QStringLiteral("Questa funzione tenta il recupero del database...")));
        QCOMPARE(messages.texts().last(), QStringLiteral("Recupero completato"));
        QCOMPARE(releases, 1);
        QVERIFY(dialog->isVisible());
        QCOMPARE(settings.rootDir, QStringLiteral("/dati/cassa"));
    }

    void selectingWorkDirFillsTheBox()
    {
        QTemporaryDir dir;
        FakeSettings settings(dir.path() + QLatin1Char('/'));
        auto dialog = openOptions(settings);
        answerSelectorWith("cmdOk");
        QTest::mouseClick(child<QPushButton>(*dialog, "cmdSelWorkDir"), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>(*dialog, "txtWorkDir")->text(), dir.path());

        answerSelectorWith("cmdEsci");
        QTest::mouseClick(child<QPushButton>(*dialog, "cmdSelWorkDir"), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>(*dialog, "txtWorkDir")->text(), dir.path());
    }

    void selectDirRemovesTrailingSeparator()
    {
        QTemporaryDir dir;
        frmSelectDir dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Selezione indirizzario"));
        dialog.setSelectedDir(dir.path() + QLatin1Char('/'));
        dialog.show();
        QVERIFY(resourceOptions(dialog)[0]->isChecked());
        QVERIFY(resourceOptions(dialog)[0]->font().bold());
        QVERIFY(!resourceOptions(dialog)[1]->font().bold());
        QVERIFY(child<QComboBox>(dialog, "driveSelect")->isEnabled());
        QCOMPARE(child<QComboBox>(dialog, "driveSelect")->currentData().toString(),
                 QStorageInfo(dir.path()).rootPath());
        QVERIFY(!child<QPushButton>(dialog, "cmdSelectRes")->isEnabled());
        QTest::mouseClick(child<QPushButton>(dialog, "cmdOk"), Qt::LeftButton);
        QCOMPARE(dialog.SelectedDir(), dir.path());
    }

    void unreachableLocationIsOtherResource()
    {
        frmSelectDir dialog;
        dialog.setSelectedDir(QStringLiteral("\\\\server\\share\\"));
        dialog.show();
        QVERIFY(resourceOptions(dialog)[1]->isChecked());
        QVERIFY(resourceOptions(dialog)[1]->font().bold());
        QVERIFY(!child<QComboBox>(dialog, "driveSelect")->isEnabled());
        QVERIFY(child<QPushButton>(dialog, "cmdSelectRes")->isEnabled());
        QTest::mouseClick(child<QPushButton>(dialog, "cmdOk"), Qt::LeftButton);
        QCOMPARE(dialog.SelectedDir(), QStringLiteral("\\\\server\\share"));
    }

    void rootDirectoryKeepsItsSeparator()
    {
        frmSelectDir dialog;
        dialog.setSelectedDir(QStringLiteral("/"));
        dialog.show();
        QTest::mouseClick(child<QPushButton>(dialog, "cmdOk"), Qt::LeftButton);
        QCOMPARE(dialog.SelectedDir(), QStringLiteral("/"));
    }

    void otherResourceTakesTheChosenFilesFolder()
    {
        QString startedIn;
        QString answer = QStringLiteral("\\\\server\\share\\dati\\Cobrelle.mdb");
        frmSelectDir::setResourcePicker([&](QWidget *, const QString &start) {
            startedIn = start;
            return answer;
        });
        frmSelectDir dialog;
        dialog.setSelectedDir(QStringLiteral("/non/esiste"));
        dialog.show();
        QTest::mouseClick(child<QPushButton>(dialog, "cmdSelectRes"), Qt::LeftButton);
        QCOMPARE(startedIn, QStringLiteral("/non/esiste"));
        QCOMPARE(dialog.SelectedDir(), QStringLiteral("\\\\server\\share\\dati"));

        answer = QStringLiteral("/mnt/rete/archivio.odb");
        QTest::mouseClick(child<QPushButton>(dialog, "cmdSelectRes"), Qt::LeftButton);
        QCOMPARE(dialog.SelectedDir(), QStringLiteral("/mnt/rete"));

        answer.clear(); // cancelled
        QTest::mouseClick(child<QPushButton>(dialog, "cmdSelectRes"), Qt::LeftButton);
        QCOMPARE(dialog.SelectedDir(), QStringLiteral("/mnt/rete"));
    }

    void esciEmptiesTheSelection()
    {
        QTemporaryDir dir;
        frmSelectDir dialog;
        dialog.setSelectedDir(dir.path());
        dialog.show();
        QTest::mouseClick(child<QPushButton>(dialog, "cmdEsci"), Qt::LeftButton);
        QVERIFY(dialog.SelectedDir().isEmpty());
        QVERIFY(!dialog.isVisible());
    }

    // ---- the archive on a server ------------------------------------------------------------

    // Parts that name no archive are told, and so is a server that does not answer; nothing is saved.
    void serverButtonsTell_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("told"); // how the message begins
        QTest::newRow("no host") << "" << "5432" << "cassa" << "cmdOK" << "Indicare il nome o l'indirizzo del server.";
        QTest::newRow("port 65536") << "db" << "65536" << "cassa" << "cmdTestConnection"
                                    << "La porta del server deve essere un numero da 1 a 65535.";
        QTest::newRow("no database") << "db" << "5432" << "" << "cmdOK" << "Indicare il nome del database sul server.";
        QTest::newRow("no server there") << "127.0.0.1" << "1" << "cassa" << "cmdTestConnection"
                                         << "Connessione a cassa su 127.0.0.1:1 non riuscita:\n\n";
    }
    void serverButtonsTell()
    {
        QFETCH(QString, host);
        QFETCH(QString, port);
        QFETCH(QString, database);
        QFETCH(QString, button);
        QFETCH(QString, told);
        TestSupport::ScriptedMessages messages;
        FakeSettings settings(QStringLiteral("/dati/cassa"));
        auto dialog = openOptions(settings);
        child<QRadioButton>(*dialog, "optArchiveServer")->setChecked(true);
        fillServer(*dialog, host, port, database, QString(), false);
        QTest::mouseClick(child<QPushButton>(*dialog, button.toLatin1().constData()), Qt::LeftButton);
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY2(messages.texts().first().startsWith(told), qPrintable(messages.texts().first()));
        QCOMPARE(messages.seen().first().icon, MessageService::Icon::Exclamation);
        QVERIFY(dialog->isVisible());
        QCOMPARE(settings.choiceWrites + settings.saves + settings.reloads, 0);
    }

    // A server chosen: the choice kept, the archive reopened; the password goes to the client
    // library's password file only when it is to be remembered, and is this run's in any case.
    void choosingTheServer_data()
    {
        QTest::addColumn<bool>("remember");
        QTest::newRow("remembered") << true;
        QTest::newRow("not remembered") << false;
    }
    void choosingTheServer()
    {
        QFETCH(bool, remember);
        TestSupport::PrivatePasswordFile passwords;
        QString error;
        QVERIFY(PasswordFile::remember(kServer, QStringLiteral("vecchia"), &error));
        objdb::setServerPassword(kServer, QString());
        TestSupport::ScriptedMessages messages;
        messages.push(Answer::Yes);
        FakeSettings settings(QStringLiteral("/dati/cassa"));
        auto dialog = openOptions(settings);
        child<QRadioButton>(*dialog, "optArchiveServer")->setChecked(true);
        fillServer(*dialog, kServer.host, QStringLiteral(" 6543"), kServer.database, QStringLiteral("segreta"), remember);
        QTest::mouseClick(child<QPushButton>(*dialog, "cmdOK"), Qt::LeftButton);
        QCOMPARE(messages.texts(), QStringList{kArchiveChangeQuestion});
        QVERIFY(dialog->Confirmed());
        QCOMPARE(settings.choice, (ArchiveChoice{ArchiveKind::Server, kServer}));
        QCOMPARE(settings.reloads, 1);
        QCOMPARE(settings.saves, 1);
        QCOMPARE(settings.rootDir, QStringLiteral("/dati/cassa"));
        QCOMPARE(PasswordFile::holds(kServer), remember);
        QCOMPARE(objdb::serverPassword(kServer), QStringLiteral("segreta"));
        objdb::setServerPassword(kServer, QString());
    }

    // The dialog opened on a server whose password the file remembers keeps it remembered.
    void aRememberedPasswordStaysRemembered()
    {
        TestSupport::PrivatePasswordFile passwords;
        QString error;
        QVERIFY(PasswordFile::remember(kServer, QStringLiteral("vecchia"), &error));
        FakeSettings settings(QStringLiteral("/dati/cassa"));
        settings.choice = {ArchiveKind::Server, kServer};
        auto dialog = openOptions(settings);
        QVERIFY(child<QCheckBox>(*dialog, "chkRememberPassword")->isChecked());
        QTest::mouseClick(child<QPushButton>(*dialog, "cmdOK"), Qt::LeftButton);
        QVERIFY(dialog->Confirmed());
        QVERIFY(passwords.read().contains(":vecchia"));
    }

    // Through the program's own settings store: the server is kept there, its password never.
    void passwordNeverReachesTheSettingsStore()
    {
        TestSupport::PrivatePasswordFile passwords;
        const QString password = QStringLiteral("Segretissima:42");
        Settings::writeText("Configuration", "RootDir", QStringLiteral("/dati/cassa"));
        TestSupport::ScriptedMessages messages;
        messages.push(Answer::Yes);
        TestSupport::onNextModal([&](QWidget *modal) {
            child<QRadioButton>(*modal, "optArchiveServer")->setChecked(true);
            fillServer(*modal, kServer.host, QStringLiteral("6543"), kServer.database, password, true);
            QTest::mouseClick(child<QPushButton>(*modal, "cmdOK"), Qt::LeftButton);
        });
        QVERIFY(RunOptionsDialog(nullptr));
        QCOMPARE(ReadArchiveChoice(), (ArchiveChoice{ArchiveKind::Server, kServer}));
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Cobrelle"), QStringLiteral("Cobrelle"));
        for (const QString &key : store.allKeys())
            QVERIFY2(!store.value(key).toString().contains(QStringLiteral("Segretissima")), qPrintable(key));
        QVERIFY(passwords.read().contains("Segretissima\\:42"));
        WriteArchiveChoice({});
        Settings::writeText("Configuration", "RootDir", QString());
        objdb::setServerPassword(kServer, QString());
    }
};

COBRELLE_TEST_MAIN(TestOptions)
#include "tst_options.moc"
