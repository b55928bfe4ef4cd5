// The two reports: which view prints with which, their texts, the pages and sums they come to on a
// known archive, and printing, preview and PDF export with their dialogs scripted.

#include "outputfixture.h"

#include "output/printcurrentdata.h"
#include "output/reports.h"

#include "objdb/report/pageplan.h"
#include "objdb/report/reportengine.h"
#include "objdb/report/valueformat.h"
#include "objdb/error.h"
#include "objdb/types.h"

#include <QApplication>
#include <QPrinter>
#include <QTemporaryDir>

using namespace OutputFixture;
using objdb::report::Style;

namespace {

// Keeps the texts drawn, page by page.
struct RecordingCanvas : objdb::report::Canvas {
    QSizeF size;
    QList<QStringList> pages{QStringList()};
    int marks = 0;

    explicit RecordingCanvas(QSizeF pageSize) : size(pageSize) {}
    QSizeF pageSize() const override { return size; }
    void text(const QRectF &, const QString &text, Style style, Qt::Alignment) override
    {
        pages.last().append(text);
        if (style == Style::Data && text == QLatin1String("*"))
            ++marks;
    }
    void rule(const QLineF &) override {}
    void newPage() override { pages.append(QStringList()); }
    QStringList all() const
    {
        QStringList texts;
        for (const QStringList &page : pages)
            texts += page;
        return texts;
    }
};

// A4 landscape and portrait inside margins of 12 mm, in points.
const QSizeF kLandscape(841.89 - 68.03, 595.28 - 68.03);
const QSizeF kPortrait(595.28 - 68.03, 841.89 - 68.03);

class ProgressLog : public objdb::itfProgress {
public:
    bool answer = true;
    QStringList calls;
    void OnStart(int, int total) override { calls.append(QStringLiteral("start %1").arg(total)); }
    bool OnProgress(int, int, int count, QObject *, QObject *) override
    {
        calls.append(QStringLiteral("progress %1").arg(count));
        return answer;
    }
    void OnEnd(int, int) override { calls.append(QStringLiteral("end")); }
    bool OnStopped() override { return !answer; }
};

objdb::report::Result render(const objdb::DataSource &ds, const QString &key, RecordingCanvas &canvas,
                             objdb::itfProgress *progress = nullptr, const QString &period = QString())
{
    const auto design = output::DesignFor(output::ReportFor(ds.TableName(), key), key, period, QDate(2005, 3, 31));
    return objdb::report::Render(ds, design, canvas, progress);
}

} // namespace

class TestReports : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(QStandardPaths::isTestModeEnabled()); }

    void reportChoice_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("report");
        QTest::newRow("Statistiche") << "Pagamenti" << "Statistiche" << int(output::ReportKind::Movimenti);
        QTest::newRow("Sospesi") << "Pagamenti" << "Sospesi" << int(output::ReportKind::Movimenti);
        QTest::newRow("Mov. per Collaboratori")
            << "Pagamenti" << "Mov. per Collaboratori" << int(output::ReportKind::MovimentiCollaboratori);
        QTest::newRow("Pagamenti") << "Pagamenti" << "Pagamenti" << int(output::ReportKind::None);
        QTest::newRow("Movimenti") << "Movimenti" << "Movimenti" << int(output::ReportKind::None);
        QTest::newRow("other table, report key") << "Movimenti" << "Sospesi" << int(output::ReportKind::None);
    }
    void reportChoice()
    {
        QFETCH(QString, table);
        QFETCH(QString, key);
        QFETCH(int, report);
        QCOMPARE(int(output::ReportFor(table, key)), report);
    }

    // The heading set for "Sospesi" belongs to that use only; the title is the node key.
    void headingsAndTitles()
    {
        const QDate day(2005, 3, 7);
        const auto outstanding = output::DesignFor(output::ReportKind::Movimenti, "Sospesi", QString(), day);
        QCOMPARE(outstanding.header.value(0), QStringLiteral("Movimenti in sospeso"));
        QCOMPARE(outstanding.title, QStringLiteral("Sospesi"));
        QVERIFY(outstanding.landscape);
        const auto statistics = output::DesignFor(output::ReportKind::Movimenti, "Statistiche", QString(), day);
        QCOMPARE(statistics.header.value(0), QStringLiteral("Movimenti"));
        QCOMPARE(statistics.title, QStringLiteral("Statistiche"));
        const auto collaborators = output::DesignFor(output::ReportKind::MovimentiCollaboratori, "Mov. per Collaboratori",
                                                     "Da data: 01/03/2005 A Data: 31/03/2005", day);
        QCOMPARE(collaborators.header, (QStringList{"Movimenti Per Collaboratore", "Da data: 01/03/2005 A Data: 31/03/2005",
                                                    "(Escluso sospesi e Cod. 00)"}));
    }

    void valueFormats_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("text");
        const auto amount = [](qint64 units) { return QVariant::fromValue(objdb::Amount::fromUnits(units)); };
        QTest::newRow("date") << QVariant(QDate(2005, 3, 7)) << int(objdb::TypeDate) << "d/MM/yyyy" << "7/03/2005";
        QTest::newRow("amount") << amount(12345000) << int(objdb::TypeAmount) << "#,#0.00" << "1.234,50";
        QTest::newRow("amount rounded") << amount(-50050) << int(objdb::TypeAmount) << "#,#0.00" << "-5,01";
        QTest::newRow("zero amount") << amount(0) << int(objdb::TypeAmount) << "#,#0.00" << "0,00";
        QTest::newRow("code") << QVariant("07") << int(objdb::TypeText) << "#,##" << "7";
        QTest::newRow("code 00") << QVariant("00") << int(objdb::TypeText) << "#,##" << "";
        QTest::newRow("code grouped") << QVariant("1234") << int(objdb::TypeText) << "#,##" << "1.234";
        QTest::newRow("code not a number") << QVariant("A1") << int(objdb::TypeText) << "#,##" << "A1";
        QTest::newRow("null") << QVariant() << int(objdb::TypeAmount) << "#,#0.00" << "";
        QTest::newRow("no format") << QVariant(true) << int(objdb::TypeYesNo) << "" << "Sì";
    }
    void valueFormats()
    {
        QFETCH(QVariant, value);
        QFETCH(int, type);
        QFETCH(QString, format);
        QFETCH(QString, text);
        QCOMPARE(objdb::report::formatValue(value, type, format), text);
    }

    // Page 1 holds 3 lines under the report header, the others 4; the report footer needs 2 lines.
    void pagePlan_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pages");
        QTest::addColumn<bool>("footerAlone");
        QTest::addColumn<QList<int>>("perPage");
        QTest::newRow("none") << 0 << 1 << false << QList<int>{0};
        QTest::newRow("first page with room") << 1 << 1 << false << QList<int>{1};
        QTest::newRow("first page full") << 3 << 2 << true << QList<int>{3, 0};
        QTest::newRow("two pages, room") << 5 << 2 << false << QList<int>{3, 2};
        QTest::newRow("two pages full") << 7 << 3 << true << QList<int>{3, 4, 0};
        QTest::newRow("three pages") << 9 << 3 << false << QList<int>{3, 4, 2};
    }
    void pagePlan()
    {
        QFETCH(int, rows);
        QFETCH(int, pages);
        QFETCH(bool, footerAlone);
        QFETCH(QList<int>, perPage);
        objdb::report::PageMetrics m;
        m.page = 110;
        m.pageFooter = 10;
        m.pageHeader = 20;
        m.reportHeader = 20;
        m.line = 20;
        m.reportFooter = 40;
        const objdb::report::PagePlan plan(m, rows);
        QCOMPARE(plan.pageCount(), pages);
        QCOMPARE(plan.footerOnOwnPage(), footerAlone);
        for (int page = 1; page <= perPage.size(); ++page)
            QCOMPARE(plan.rowsOnPage(page), perPage.at(page - 1));
    }

    // 45 outstanding payments of "Sospesi" on A4 landscape: 37 lines on the first page, 8 on the
    // second with the totals; every page numbered out of 2.
    void outstandingReportOnAKnownArchive()
    {
        SmallArchive data(45);
        auto ds = data.section("Sospesi");
        RecordingCanvas canvas(kLandscape);
        const auto result = render(*ds, "Sospesi", canvas);
        QVERIFY(result.complete);
        QCOMPARE(result.rows, 45);
        QCOMPARE(result.pages, 2);
        QCOMPARE(canvas.pages.size(), 2);
        QVERIFY(canvas.pages[0].contains("Movimenti in sospeso"));
        QVERIFY(canvas.pages[0].contains("AL 31/03/2005"));
        QVERIFY(!canvas.pages[1].contains("Movimenti in sospeso"));
        QVERIFY(canvas.pages[0].contains("Pag. 1 / 2"));
        QVERIFY(canvas.pages[1].contains("Pag. 2 / 2"));
        QCOMPARE(canvas.pages[1].count("Importo In Sospeso"), 1); // column titles on every page
        const auto lines = [](const QStringList &page) {
            return page.filter(QRegularExpression(QStringLiteral("^Polizza \\d+$"))).size();
        };
        QCOMPARE(lines(canvas.pages[0]), 37);
        QCOMPARE(lines(canvas.pages[1]), 8);
        QCOMPARE(canvas.marks, 15); // payments of type 07
        // Sconto 45 x 1, cash 45 x 10, bank 45 x 5, outstanding sum of 84 + i for i = 0..44.
        const QStringList last = canvas.pages[1];
        const qsizetype totals = last.indexOf("Totali:");
        QVERIFY(totals > 0);
        QCOMPARE(last.mid(totals + 1, 4), (QStringList{"45,00", "450,00", "225,00", "4.770,00"}));
        QCOMPARE(last.value(totals + 5), QStringLiteral("* = Incasso Sospeso"));
        QCOMPARE(result.sums.value(8), objdb::Amount::fromInteger(4770));
        // A detail line: date as d/MM/yyyy, codes as numbers.
        const qsizetype first = canvas.pages[0].indexOf("Polizza 0");
        QCOMPARE(canvas.pages[0].mid(first - 1, 9), (QStringList{"1/03/2005", "Polizza 0", "100,00", "1,00", "10,00", "12",
                                                                 "5", "5,00", "84,00"}));
    }

    // The collaborators' report of a period: only settled movements, the period line, the sum of
    // Importo, numbered pages on A4 portrait.
    void collaboratorsReportOfAPeriod()
    {
        SmallArchive data(30, 2); // i = 0, 2, ..., 28 settled
        auto ds = data.section("Mov. per Collaboratori", QDate(2005, 3, 1), QDate(2005, 3, 10));
        RecordingCanvas canvas(kPortrait);
        const auto result = render(*ds, "Mov. per Collaboratori", canvas, nullptr, "Da data: 01/03/2005 A Data: 10/03/2005");
        QVERIFY(result.complete);
        // Settled movements paid on 1..10 March: i = 0, 2, 4, 6, 8, 28 (1 March), each with two payments.
        QCOMPARE(result.rows, 12);
        QCOMPARE(result.pages, 1);
        const QStringList page = canvas.pages[0];
        QCOMPARE(page.mid(0, 3), (QStringList{"Movimenti Per Collaboratore", "Da data: 01/03/2005 A Data: 10/03/2005",
                                              "(Escluso sospesi e Cod. 00)"}));
        const qsizetype totals = page.indexOf("Totali:");
        QVERIFY(totals > 0);
        // 2 x (100 + 102 + 104 + 106 + 108 + 128)
        QCOMPARE(page.value(totals + 1), QStringLiteral("1.296,00"));
        QVERIFY(page.contains("Pag. 1 / 1"));
        QCOMPARE(page.value(totals + 2), QStringLiteral("* = Incasso Sospeso"));
    }

    // A stop ends the drawing at once: no totals, no last page footer, OnEnd after OnStart.
    void stopEndsTheReport()
    {
        SmallArchive data(45);
        auto ds = data.section("Sospesi");
        RecordingCanvas canvas(kLandscape);
        ProgressLog progress;
        progress.answer = false;
        const auto result = render(*ds, "Sospesi", canvas, &progress);
        QVERIFY(!result.complete);
        QVERIFY(!canvas.all().contains("Totali:"));
        QCOMPARE(progress.calls.first(), QStringLiteral("start 45"));
        QCOMPARE(progress.calls.last(), QStringLiteral("end"));
    }

    void missingFieldIsRefused()
    {
        SmallArchive data(1);
        auto ds = data.section("Pagamenti"); // no SaldoCassa
        RecordingCanvas canvas(kLandscape);
        QVERIFY_THROWS_EXCEPTION(objdb::Error, render(*ds, "Statistiche", canvas));
    }

    // --- the commands, their dialogs scripted ---------------------------------------------------------

    void viewWithoutReportOffersTheBrowser()
    {
        SmallArchive data(1);
        auto ds = data.section("Pagamenti");
        ScriptedDialogs dialogs;
        int opened = 0;
        dialogs->print = [&](QPrinter &, QWidget *) { return ++opened, false; };
        dialogs->saveFile = [&](QWidget *, const QString &, const QString &, const QStringList &, QString *) {
            return ++opened, QString();
        };
        TestSupport::ScriptedMessages script;
        script.push(MessageService::Answer::No);
        output::PrintCurrentData(*ds, output::PrintModePrint, "Pagamenti", {});
        QCOMPARE(script.seen().size(), 1);
        const MessageService::Request asked = script.seen().first();
        QCOMPARE(asked.text, QStringLiteral("Non sono disponibili Report personalizzati per questi dati.\n\n"
                                            "Visualizzare/Stampare da Internet Browser ?"));
        QCOMPARE(asked.icon, MessageService::Icon::Question);
        QCOMPARE(asked.buttons, MessageService::Buttons::YesNo);
        QCOMPARE(asked.defaultAnswer, MessageService::Answer::No);
        QCOMPARE(opened, 0);
    }

    void exportWritesTheWholePdf()
    {
        SmallArchive data(45);
        auto ds = data.section("Sospesi");
        QTemporaryDir dir;
        ScriptedDialogs dialogs;
        QString proposed;
        dialogs->saveFile = [&](QWidget *, const QString &, const QString &name, const QStringList &, QString *) {
            proposed = name;
            return dir.filePath("sospesi"); // no extension typed
        };
        TestSupport::ScriptedMessages script;
        output::PrintCurrentData(*ds, output::PrintModeExport, "Sospesi", {});
        QVERIFY(script.seen().isEmpty());
        QVERIFY(proposed.endsWith("/Sospesi.pdf"));
        QCOMPARE(pdfPageCount(dir.filePath("sospesi.pdf")), 2);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"sospesi.pdf"});
        QVERIFY(!frmMessage::instance()->isVisible());
    }

    // Stopped from the progress window, the export leaves the file that was there.
    void stoppedExportLeavesThePreviousFile()
    {
        SmallArchive data(45);
        auto ds = data.section("Sospesi");
        QTemporaryDir dir;
        const QString target = dir.filePath("sospesi.pdf");
        {
            QFile previous(target);
            QVERIFY(previous.open(QIODevice::WriteOnly));
            previous.write("previous");
        }
        ScriptedDialogs dialogs;
        dialogs->saveFile = [&](QWidget *, const QString &, const QString &, const QStringList &, QString *) { return target; };
        TestSupport::ScriptedMessages script;
        script.push(MessageService::Answer::Yes); // "Confermi l'interruzione ?"
        StopOnProgress stop;
        output::PrintCurrentData(*ds, output::PrintModeExport, "Sospesi", {});
        QCOMPARE(stop.presses(), 1);
        QCOMPARE(script.texts(), QStringList{"Confermi l'interruzione ?"});
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("previous"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"sospesi.pdf"});
    }

    // A file that cannot be written is named in the error report.
    void unwritableExportNamesTheFile()
    {
        SmallArchive data(2);
        auto ds = data.section("Sospesi");
        QTemporaryDir dir;
        const QString target = dir.filePath("missing/folder/sospesi.pdf");
        ScriptedDialogs dialogs;
        dialogs->saveFile = [&](QWidget *, const QString &, const QString &, const QStringList &, QString *) { return target; };
        TestSupport::ScriptedMessages script;
        output::PrintCurrentData(*ds, output::PrintModeExport, "Sospesi", {});
        QCOMPARE(script.seen().size(), 1);
        QVERIFY(script.seen().first().text.startsWith(
            QStringLiteral("Impossibile scrivere il file \"%1\"").arg(QDir::toNativeSeparators(target))));
        QCOMPARE(script.seen().first().icon, MessageService::Icon::Critical);
    }

    void printGoesThroughThePrintDialog()
    {
        SmallArchive data(45);
        auto ds = data.section("Sospesi");
        QTemporaryDir dir;
        ScriptedDialogs dialogs;
        QPageLayout::Orientation orientation = QPageLayout::Portrait;
        dialogs->print = [&](QPrinter &printer, QWidget *) {
            orientation = printer.pageLayout().orientation();
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir.filePath("printed.pdf"));
            return true;
        };
        output::PrintCurrentData(*ds, output::PrintModePrint, "Sospesi", {});
        QCOMPARE(orientation, QPageLayout::Landscape);
        QCOMPARE(pdfPageCount(dir.filePath("printed.pdf")), 2);

        dialogs->print = [&](QPrinter &printer, QWidget *) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir.filePath("cancelled.pdf"));
            return false;
        };
        output::PrintCurrentData(*ds, output::PrintModePrint, "Sospesi", {});
        QVERIFY(!QFile::exists(dir.filePath("cancelled.pdf")));
    }

    void previewDrawsThePages()
    {
        SmallArchive data(45);
        auto ds = data.section("Sospesi");
        QTemporaryDir dir;
        ScriptedDialogs dialogs;
        bool drawn = false;
        dialogs->preview = [&](QPrinter &printer, QWidget *, const std::function<bool(QPrinter *)> &paint) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir.filePath("preview.pdf"));
            drawn = paint(&printer);
        };
        output::PrintCurrentData(*ds, output::PrintModePreview, "Sospesi", {});
        QVERIFY(drawn);
        QCOMPARE(pdfPageCount(dir.filePath("preview.pdf")), 2);
    }

    // A preview that fails tells the error's description in a message, before any window opens.
    void failedPreviewTellsWhy()
    {
        SmallArchive data(1);
        auto ds = data.section("Pagamenti");
        ScriptedDialogs dialogs;
        int previews = 0;
        dialogs->preview = [&](QPrinter &, QWidget *, const std::function<bool(QPrinter *)> &) { ++previews; };
        TestSupport::ScriptedMessages script;
        output::PrintCurrentData(*ds, output::PrintModePreview, "Statistiche", {}); // a view without SaldoCassa
        QCOMPARE(previews, 0);
        QCOMPARE(script.seen().size(), 1);
        QVERIFY(script.seen().first().text.contains("SaldoCassa"));
        QCOMPARE(script.seen().first().buttons, MessageService::Buttons::Ok);
    }
};

COBRELLE_TEST_MAIN(TestReports)
#include "tst_reports.moc"
