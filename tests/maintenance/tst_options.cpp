#include "maintenance/frmOptions.h"
#include "maintenance/frmSelectDir.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

using MessageService::Answer;

namespace {

// The working directory and settings as the options dialog sees them, with what it did to them.
struct FakeSettings {
    explicit FakeSettings(QString root = QString()) : rootDir(std::move(root)) {}

    QString rootDir;
    QStringList written;
    int saves = 0;
    int reloads = 0;

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
        auto dialog = std::make_unique<frmOptions>(settings.access());
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

    void sameDirectoryInOtherCaseIsNoChange()
    {
        TestSupport::ScriptedMessages messages;
        FakeSettings settings(QStringLiteral("/Dati/Cassa"));
        auto dialog = openOptions(settings);
        child<QLineEdit>(*dialog, "txtWorkDir")->setText(QStringLiteral("/dati/CASSA"));
        QTest::mouseClick(child<QPushButton>(*dialog, "cmdOK"), Qt::LeftButton);
        QVERIFY(messages.texts().isEmpty());
        QVERIFY(dialog->Confirmed());
        QVERIFY(!dialog->isVisible());
        QVERIFY(settings.written.isEmpty());
        QCOMPARE(settings.reloads, 0);
        QCOMPARE(settings.saves, 1);
    }

    void confirmedChangeSetsDirectoryAndReloads()
    {
        TestSupport::ScriptedMessages messages;
        messages.push(Answer::Yes);
        FakeSettings settings(QStringLiteral("/dati/cassa"));
        auto dialog = openOptions(settings);
        child<QLineEdit>(*dialog, "txtWorkDir")->setText(QStringLiteral("/dati/nuova"));
        QTest::mouseClick(child<QPushButton>(*dialog, "cmdOK"), Qt::LeftButton);
        QCOMPARE(messages.texts(), QStringList{kChangeQuestion});
        QCOMPARE(messages.seen().first().icon, MessageService::Icon::Question);
        QCOMPARE(messages.seen().first().buttons, MessageService::Buttons::YesNo);
        QCOMPARE(settings.written, QStringList{QStringLiteral("/dati/nuova")});
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
};

COBRELLE_TEST_MAIN(TestOptions)
#include "tst_options.moc"
