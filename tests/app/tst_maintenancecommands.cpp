// The maintenance commands of the tools menu as the user reaches them: the check of the archive, the
// deletion log, the purge, the import, the Euro conversion and the repair only for the
// administrator, the log read-only in the library's data window, the purge dialog over the current
// view.
#include "app/frmMain.h"
#include "views/currentview.h"
#include "maintenance/archivecheck.h"
#include "maintenance/frmOptions.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/viewer/datawindow.h"
#include "testsupport.h"
#include "windowtestsupport.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using MessageService::Answer;

class MaintenanceCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<frmMain> m_form;
    TestSupport::TempWorkDir m_folder;
    TestSupport::Archive m_archive;

    frmMain &form() { return *m_form; }
    QAction *item(const char *name) { return WindowTest::widget<QAction>(form(), QLatin1String(name)); }

    // Triggers the item; the modal window it opens is read by `look` and closed. Its objectName, or
    // "" when none opened.
    QString modalOpenedBy(QAction *action, const std::function<void(QWidget *)> &look = {})
    {
        QString name;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            poll.stop();
            name = modal->objectName();
            if (look)
                look(modal);
            modal->close();
        });
        poll.start(10);
        action->trigger();
        return name;
    }

private slots:
    void initTestCase()
    {
        m_archive = TestSupport::openArchive(m_folder.databasePath());
        WindowTest::useArchive(m_folder, m_archive);
        auto &movements = m_archive.context->Tables().Item(QStringLiteral("Movimenti"));
        auto ds = movements.OpenDataSource();
        QVERIFY(ds->AddRow({QStringLiteral("Descrizione"), QStringLiteral("Da eliminare")}));
        QCOMPARE(ds->DeleteRows({ds->Bookmark()}), 1);
    }

    void cleanupTestCase() { WindowTest::closeArchive(m_archive); }

    void init()
    {
        WindowTest::clearStoredSettings();
        m_form = std::make_unique<frmMain>();
        form().Form_Load();
        form().show();
    }

    void cleanup() { m_form.reset(); }

    void onlyTheAdministratorChecksOrReadsTheLog()
    {
        m_archive.context->UserLevel = 0;
        TestSupport::ScriptedMessages script;
        const int beeps = MessageService::beepCount();
        QCOMPARE(modalOpenedBy(item("mnuVerifyArchive")), QString());
        QCOMPARE(modalOpenedBy(item("mnuDeletionLog")), QString());
        QCOMPARE(script.texts(), QStringList(2, QStringLiteral("Operazione consentita solo all'Amministratore")));
        QCOMPARE(MessageService::beepCount(), beeps + 2);
    }

    // Refused for a plain operator whether invoked from the menu or directly, before any question;
    // disabled in his menus; the repair refused and its button disabled in his options dialog.
    void bulkCommandsAreTheAdministrators()
    {
        m_archive.context->UserLevel = 0;
        form().view().m_objCurDS = m_archive.context->Tables().Item(QStringLiteral("Pagamenti")).OpenDataSource();
        TestSupport::ScriptedMessages script;
        const int beeps = MessageService::beepCount();
        QCOMPARE(modalOpenedBy(item("mnuDeletePayment")), QString());
        QCOMPARE(modalOpenedBy(item("mnuImport")), QString());
        form().mnuDeletePayment_Click();
        form().mnuImport_Click();
        form().ConvertArchive();
        form().UpdateAdministratorCommands();
        for (const char *name : {"mnuDeletePayment", "mnuImport", "mnuVerifyArchive", "mnuDeletionLog"})
            QVERIFY2(!item(name)->isEnabled(), name);

        item("mnuToolsOptions")->trigger();
        auto *options = WindowTest::widget<frmOptions>(form(), QStringLiteral("frmOptions"));
        auto *repair = WindowTest::widget<QPushButton>(*options, QStringLiteral("cmdRepairDB"));
        QVERIFY(!repair->isEnabled());
        repair->setEnabled(true); // the refusal stands when the button is reached all the same
        repair->click();
        options->close();
        QCOMPARE(script.texts(), QStringList(6, QStringLiteral("Operazione consentita solo all'Amministratore")));
        QCOMPARE(MessageService::beepCount(), beeps + 6);

        m_archive.context->UserLevel = 1;
        form().UpdateAdministratorCommands();
        QVERIFY(item("mnuDeletePayment")->isEnabled());
    }

    void theCheckListsItsFindings()
    {
        m_archive.context->UserLevel = 1;
        QStringList lines;
        QCOMPARE(modalOpenedBy(item("mnuVerifyArchive"),
                               [&](QWidget *window) {
                                   auto *list = window->findChild<QListWidget *>(QStringLiteral("lstResult"));
                                   for (int i = 0; list && i < list->count(); ++i)
                                       lines.append(list->item(i)->text());
                               }),
                 QStringLiteral("frmArchiveCheck"));
        QCOMPARE(lines, QStringList{ArchiveCheck::kCleanLine});
    }

    void theLogOpensReadOnlyInTheDataWindow()
    {
        m_archive.context->UserLevel = 1;
        item("mnuDeletionLog")->trigger();
        auto &window = objdb::DataWindow::instance();
        QVERIFY(window.isVisible());
        QVERIFY(window.isReadOnly());
        QCOMPARE(window.dataSource()->TableName(), QStringLiteral("Eliminazioni"));
        QVERIFY(window.dataSource()->isReadOnly());
        QCOMPARE(window.dataSource()->RecordCount(), 1);
        window.close();
    }

    void thePurgeNeedsAView()
    {
        m_archive.context->UserLevel = 1;
        form().view().m_objCurDS.reset();
        const int beeps = MessageService::beepCount();
        QCOMPARE(modalOpenedBy(item("mnuDeletePayment")), QString());
        QCOMPARE(MessageService::beepCount(), beeps + 1);
        form().view().m_objCurDS = m_archive.context->Tables().Item(QStringLiteral("Pagamenti")).OpenDataSource();
        QCOMPARE(modalOpenedBy(item("mnuDeletePayment")), QStringLiteral("frmDeletePayment"));
    }
};

COBRELLE_TEST_MAIN(MaintenanceCommandsTest)
#include "tst_maintenancecommands.moc"
