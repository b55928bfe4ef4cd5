// The grid layout of a table as the user sets it from the "Griglia" menu: the field-sequence editor
// and its check mark, all fields shown once, the reset to the defaults, and the layout kept in the
// program's INI file for the next start.

#include "viewsfixture.h"

#include "services/configuration.h"
#include "objdb/grid/fieldsequencedialog.h"
#include "objdb/grid/gridmodel.h"

#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QSettings>
#include <QtTest>

using namespace objdb;
using MessageService::Answer;

class GridLayoutTest : public ViewsFixture::MainWindowTest {
    Q_OBJECT

    static QString iniPath() { return ProgramFolder() + QStringLiteral("/Cobrelle.INI"); }
    QAction *mark() { return widget<QAction>("mnuGridFldSequence"); }

    QStringList shownFields()
    {
        GridModel *model = ViewUtility::modelOf(grid());
        QStringList fields;
        for (int column = 0; model && column < model->columnCount(); ++column)
            fields.append(model->fieldAt(column));
        return fields;
    }

    // Opens the sequence editor from the menu and lets `drive` answer it.
    void editSequence(std::function<void(FieldSequenceDialog *)> drive)
    {
        ViewsFixture::whenDialogOpens<FieldSequenceDialog>(std::move(drive));
        mark()->trigger();
    }

    // Keeps the company name first and the code after it, dropping the address.
    void chooseNameThenCode()
    {
        editSequence([](FieldSequenceDialog *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Sequenza di Visualizzazione Campi"));
            dialog->chosenList()->item(2)->setSelected(true);
            dialog->removeSelected();
            dialog->chosenList()->setCurrentRow(1);
            dialog->moveUp();
            dialog->accept();
        });
    }

    void openWindow()
    {
        m_form = std::make_unique<frmMain>();
        showWithTree();
        select("Compagnie");
    }

private slots:
    void init()
    {
        QFile::remove(iniPath());
        m_archive = std::make_unique<ViewsFixture::OpenArchive>();
        openWindow();
    }

    void cleanup()
    {
        closeWindowAndArchive();
        QFile::remove(iniPath());
    }

    void buttonPopsUpTheGridMenu()
    {
        auto *menu = widget<QMenu>("mnuGridSetting");
        QTest::mouseClick(widget<QPushButton>("cmdGridSetting"), Qt::LeftButton);
        QTRY_VERIFY(menu->isVisible());
        QStringList captions;
        for (const QAction *item : menu->actions())
            captions.append(item->text());
        QCOMPARE(captions, (QStringList{"Visualizza &tutti i campi", "Imposta &sequenza campi...",
                                        "Annulla sequenza campi e dimensioni"}));
        menu->close();
    }

    void sequenceEditorSetsColumnsAndMark()
    {
        QCOMPARE(shownFields(), (QStringList{"Codice", "RagioneSociale", "Indirizzo"}));
        QVERIFY(!mark()->isChecked());

        chooseNameThenCode();
        QCOMPARE(shownFields(), (QStringList{"RagioneSociale", "Codice"}));
        QVERIFY(mark()->isChecked());

        // Cancelled: the layout and the mark stay as they were.
        editSequence([](FieldSequenceDialog *dialog) { dialog->reject(); });
        QCOMPARE(shownFields(), (QStringList{"RagioneSociale", "Codice"}));
        QVERIFY(mark()->isChecked());

        // The defaults confirmed are the empty sequence: all fields, no mark.
        editSequence([](FieldSequenceDialog *dialog) {
            dialog->restoreDefaults();
            dialog->accept();
        });
        QCOMPARE(shownFields(), (QStringList{"Codice", "RagioneSociale", "Indirizzo"}));
        QVERIFY(!mark()->isChecked());
    }

    void allFieldsOnceLeaveTheSequenceInForce()
    {
        chooseNameThenCode();
        widget<QAction>("mnuGridFldAll")->trigger();
        QCOMPARE(shownFields(), (QStringList{"Codice", "RagioneSociale", "Indirizzo"}));
        QVERIFY(mark()->isChecked());

        widget<QAction>("mnuViewRefresh")->trigger();
        QCOMPARE(shownFields(), (QStringList{"RagioneSociale", "Codice"}));
        QVERIFY(mark()->isChecked());
    }

    void resetAsksAndNoChangesNothing()
    {
        // A layout from the INI file: a sequence and a width.
        closeWindowAndArchive();
        m_archive = std::make_unique<ViewsFixture::OpenArchive>();
        {
            QSettings ini(iniPath(), QSettings::IniFormat);
            ini.setValue("Compagnie/Sequence", "Indirizzo;Codice");
            ini.setValue("Compagnie/Width/Codice", 3000);
        }
        openWindow();
        const int wide = ViewUtility::twipsToPixels(3000, grid()->logicalDpiX());
        QCOMPARE(shownFields(), (QStringList{"Indirizzo", "Codice"}));
        QCOMPARE(grid()->columnWidth(1), wide);
        QVERIFY(mark()->isChecked());

        TestSupport::ScriptedMessages messages;
        messages.push(Answer::No);
        widget<QAction>("mnuGridCancel")->trigger();
        QCOMPARE(messages.texts(), QStringList{"Vuoi ripristinare le impostazioni predefinite per la griglia corrente?"});
        QCOMPARE(messages.seen().first().icon, MessageService::Icon::Question);
        QCOMPARE(messages.seen().first().buttons, MessageService::Buttons::YesNo);
        QCOMPARE(shownFields(), (QStringList{"Indirizzo", "Codice"}));
        QCOMPARE(grid()->columnWidth(1), wide);
        QVERIFY(mark()->isChecked());

        messages.push(Answer::Yes);
        widget<QAction>("mnuGridCancel")->trigger();
        QCOMPARE(shownFields(), (QStringList{"Codice", "RagioneSociale", "Indirizzo"}));
        QVERIFY(grid()->columnWidth(0) != wide);
        QVERIFY(!mark()->isChecked());
    }

    void layoutOutlivesTheProgram()
    {
        chooseNameThenCode();
        widget<QAction>("mnuFileClose")->trigger();
        QVERIFY(!m_form->isVisible());
        m_form.reset();

        openWindow();
        QCOMPARE(shownFields(), (QStringList{"RagioneSociale", "Codice"}));
        QVERIFY(mark()->isChecked());
        // Another table has a layout of its own.
        select("Collaboratori");
        QVERIFY(!shownFields().isEmpty());
        QVERIFY(!mark()->isChecked());
    }

    void commandsWithoutAViewOnlyBeep()
    {
        select("Archivio");
        TestSupport::ScriptedMessages messages;
        const int beeps = MessageService::beepCount();
        for (const char *name : {"mnuGridFldAll", "mnuGridFldSequence", "mnuGridCancel"})
            widget<QAction>(name)->trigger();
        QCOMPARE(MessageService::beepCount(), beeps + 3);
        QVERIFY(messages.seen().isEmpty());
        QVERIFY(!mark()->isChecked());
    }
};

COBRELLE_TEST_MAIN(GridLayoutTest)
#include "tst_gridlayout.moc"
