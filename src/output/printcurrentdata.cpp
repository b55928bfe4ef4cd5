#include "output/printcurrentdata.h"

#include "output/browserpage.h"
#include "output/outputdialogs.h"
#include "output/progresswindow.h"
#include "output/reportdevice.h"
#include "output/reports.h"

#include "services/errorreport.h"
#include "services/messageservice.h"

#include "objdb/datasource.h"
#include "objdb/report/paintercanvas.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QPageLayout>
#include <QPrinter>

namespace output {

namespace {


// Draws the report on the device; false when the user stopped it.
bool draw(QPagedPaintDevice &device, objdb::DataSource &ds, const objdb::report::Design &design,
          const ProgressWindow &window)
{
    objdb::report::PainterCanvas canvas(device, design.faces);
    const objdb::report::Result result = objdb::report::Render(ds, design, canvas, window.sink());
    return canvas.end() && result.complete;
}

void printReport(objdb::DataSource &ds, const objdb::report::Design &design, QWidget *owner)
{
    QPrinter printer(QPrinter::HighResolution);
    SetUpReportPrinter(printer, design);
    if (!dialogs().print(printer, owner))
        return;
    bool printed = false;
    {
        const ProgressWindow window(QStringLiteral("Stampa in corso..."), owner);
        objdb::report::PainterCanvas canvas(printer, design.faces);
        const objdb::report::Result result = objdb::report::Render(ds, design, canvas, window.sink());
        if (!result.complete)
            printer.abort(); // the job is withdrawn rather than printed in part
        printed = canvas.end() && result.complete;
    }
    // Printing to a file cannot be withdrawn: what was written of it goes.
    if (!printed && printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        QFile::remove(printer.outputFileName());
}

void previewReport(objdb::DataSource &ds, const objdb::report::Design &design, QWidget *owner)
{
    QPrinter printer(QPrinter::HighResolution);
    SetUpReportPrinter(printer, design);
    QString failure;
    dialogs().preview(printer, owner, [&](QPrinter *target) {
        try {
            // Once the preview window is up it is the window to stand over.
            QWidget *modal = QApplication::activeModalWidget();
            const ProgressWindow window(QStringLiteral("Preparazione dell'anteprima..."), modal ? modal : owner);
            return draw(*target, ds, design, window);
        } catch (const std::exception &) {
            failure = PendingError::current().description;
            return false;
        }
    });
    if (!failure.isEmpty())
        MessageService::inform(failure, MessageService::Icon::Critical, QString(), owner);
}

void exportReport(objdb::DataSource &ds, const objdb::report::Design &design, QWidget *owner)
{
    ExportReportPdf(owner, design, design.title, [&](QPagedPaintDevice &device) {
        const ProgressWindow window(QStringLiteral("Esportazione della stampa..."), owner);
        return draw(device, ds, design, window);
    });
}

} // namespace

void PrintCurrentData(objdb::DataSource &ds, int mode, const QString &nodeKey, const ViewInfo &view)
{
    const ReportKind report = ReportFor(ds.TableName(), nodeKey);
    if (report == ReportKind::None) {
        const QString question = QStringLiteral("Non sono disponibili Report personalizzati per questi dati.\n\n"
                                                "Visualizzare/Stampare da Internet Browser ?");
        if (MessageService::askYesNo(question, MessageService::Icon::Question, MessageService::Answer::No, QString(),
                                     view.owner)) {
            ViewInfo browser = view;
            if (QWidget *active = QApplication::activeWindow())
                browser.owner = active;
            ShowInBrowser(ds, QString(), browser);
        }
        return;
    }
    const objdb::report::Design design = DesignFor(report, nodeKey, view.period, QDate::currentDate());
    if (mode == PrintModePreview) {
        try {
            objdb::report::CheckFields(ds, design);
            previewReport(ds, design, view.owner);
        } catch (const std::exception &) {
            MessageService::inform(PendingError::current().description, MessageService::Icon::Critical, QString(),
                                   view.owner);
        }
        return;
    }
    RunReportingFailures([&] {
        objdb::report::CheckFields(ds, design);
        if (mode == PrintModeExport)
            exportReport(ds, design, view.owner);
        else
            printReport(ds, design, view.owner);
    });
}

} // namespace output
