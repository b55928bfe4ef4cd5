// The output commands of the main window, found by their names: they beep without a view and hand
// the current view, its node key and its title to the printing, the browser page and the export.

#include "../output/outputfixture.h"

#include "app/frmMain.h"
#include "views/currentview.h"
#include "app/startup.h"
#include "desktop/modOSWinUtil.h"
#include "services/configuration.h"
#include "services/modGlobal.h"

#include <QAction>
#include <QApplication>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTreeWidget>

using namespace OutputFixture;

class TestOutputCommands : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<SmallArchive> m_data;
    std::unique_ptr<frmMain> m_form;
    QList<QUrl> m_opened;

    QAction *action(const char *name) { return m_form->findChild<QAction *>(QLatin1String(name)); }

    // Selects the tree node with the key and shows its view, as a click on it does.
    void open(const QString &key)
    {
        auto *tree = m_form->findChild<QTreeWidget *>(QStringLiteral("tvTreeView"));
        QVERIFY(tree);
        for (int i = 1; QTreeWidgetItem *node = m_form->nodeByIndex(i); ++i)
            if (node->data(0, Qt::UserRole).toString() == key) {
                const TestSupport::ScriptedMessages failures;
                tree->setCurrentItem(node);
                m_form->RefreshDetailView();
                QVERIFY2(failures.seen().isEmpty(), qPrintable(failures.texts().join('\n')));
                return;
            }
        QFAIL(qPrintable(key));
    }

private slots:
    void init()
    {
        m_data = std::make_unique<SmallArchive>(45);
        modGlobal::RootDir = m_data->folder.path();
        modGlobal::AppSession().database = m_data->archive.database;
        modGlobal::AppSession().dataContext = m_data->archive.context;
        modGlobal::AppSession().dataContext->UserLevel = 1;
        m_form = std::make_unique<frmMain>();
        m_form->view().setDateSelection(DateSelection::All); // every date
        m_form->view().setSelectionDate(QDate(2005, 3, 1));
        m_form->resize(900, 600);
        m_form->show();
        m_form->SetTreeViewNodes();
        m_opened.clear();
        modOSWinUtil::setUrlOpener([this](const QUrl &url) {
            m_opened.append(url);
            return true;
        });
        QFile::remove(QDir(ProgramFolder()).filePath("TableData.htm"));
    }

    void cleanup()
    {
        modOSWinUtil::setUrlOpener({});
        m_form.reset();
        modGlobal::AppSession().dataContext.reset();
        modGlobal::AppSession().database.reset();
        m_data.reset();
        QFile::remove(QDir(ProgramFolder()).filePath("TableData.htm"));
    }

    void withoutAViewEveryCommandBeeps()
    {
        TestSupport::ScriptedMessages script;
        const int before = MessageService::beepCount();
        for (const char *name : {"mnuPrint", "mnuPreview", "mnuPrintExport", "mnuViewWebBrowser", "mnuSave"}) {
            QVERIFY2(action(name), name);
            action(name)->trigger();
        }
        QCOMPARE(MessageService::beepCount(), before + 5);
        QVERIFY(script.seen().isEmpty());
    }

    // "Pagamenti" has no report: printing offers the browser, whose page is headed with the view.
    void paymentsPrintOffersTheBrowser()
    {
        open("Pagamenti");
        QVERIFY(!QTest::currentTestFailed());
        TestSupport::ScriptedMessages script;
        script.push(MessageService::Answer::Yes); // use the browser
        script.push(MessageService::Answer::No);  // keep the field sequence
        action("mnuPrint")->trigger();
        QCOMPARE(script.seen().size(), 2);
        QVERIFY(script.texts().first().startsWith("Non sono disponibili Report personalizzati per questi dati."));
        QCOMPARE(m_opened.size(), 1);
        const QString page = m_opened.first().toLocalFile();
        QCOMPARE(page, QDir(ProgramFolder()).filePath("TableData.htm"));
        QFile file(page);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("<h1>Pagamenti</h1>"));
    }

    // "Sospesi" previews its report, bound to the view's data source, with every row.
    void outstandingPreviewThroughTheWindow()
    {
        open("Sospesi");
        QVERIFY(!QTest::currentTestFailed());
        ScriptedDialogs dialogs;
        QTemporaryDir dir;
        QString owner;
        dialogs->preview = [&](QPrinter &printer, QWidget *parent, const std::function<bool(QPrinter *)> &paint) {
            owner = parent ? parent->objectName() : QString();
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir.filePath("preview.pdf"));
            QVERIFY(paint(&printer));
        };
        action("mnuPreview")->trigger();
        QCOMPARE(owner, QStringLiteral("frmMain"));
        QCOMPARE(pdfPageCount(dir.filePath("preview.pdf")), 2);
    }

    // The data export writes what the grid shows.
    void exportDataOfTheView()
    {
        open("Sospesi");
        QVERIFY(!QTest::currentTestFailed());
        ScriptedDialogs dialogs;
        QTemporaryDir dir;
        dialogs->saveFile = [&](QWidget *, const QString &caption, const QString &, const QStringList &, QString *) {
            return caption == QLatin1String("Esporta dati") ? dir.filePath("sospesi.csv") : QString();
        };
        action("mnuSave")->trigger();
        QFile file(dir.filePath("sospesi.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 1 + 45 + 1); // captions, rows, nothing after the last line end
        QVERIFY(lines.first().startsWith("\xEF\xBB\xBF"));
    }
};

COBRELLE_TEST_MAIN(TestOutputCommands)
#include "tst_outputcommands.moc"
