#include "output/reportdevice.h"

#include "output/outputdialogs.h"
#include "output/outputfiles.h"
#include "objdb/export/exportwriter.h"

#include <QCoreApplication>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

namespace output {

QPageLayout ReportPageLayout(const objdb::report::Design &design)
{
    return QPageLayout(QPageSize(QPageSize::A4), design.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
}

void SetUpReportPrinter(QPrinter &printer, const objdb::report::Design &design)
{
    printer.setPageLayout(ReportPageLayout(design));
    printer.setDocName(design.title);
    printer.setCreator(QCoreApplication::applicationName());
    printer.setPrintRange(QPrinter::AllPages);
}

void ExportReportPdf(QWidget *owner, const objdb::report::Design &design, const QString &proposedName,
                     const std::function<bool(QPagedPaintDevice &)> &draw)
{
    QString file = dialogs().saveFile(owner, QStringLiteral("Esporta stampa"), ProposedFile(proposedName, QStringLiteral("pdf")),
                                      {QStringLiteral("Documento PDF (*.pdf)")}, nullptr);
    if (file.isEmpty())
        return;
    file = WithExtension(file, {QStringLiteral("pdf")});
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        objdb::failFileWrite(file, out.errorString());
    {
        QPdfWriter writer(&out);
        writer.setPageLayout(ReportPageLayout(design));
        writer.setTitle(design.title);
        writer.setCreator(QCoreApplication::applicationName());
        if (!draw(writer))
            return; // out discards what was written
    }
    if (!out.commit())
        objdb::failFileWrite(file, out.errorString());
}

} // namespace output
