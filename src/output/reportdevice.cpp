#include "output/reportdevice.h"

#include <QCoreApplication>
#include <QPrinter>

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

} // namespace output
