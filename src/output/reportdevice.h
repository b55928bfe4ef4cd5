#pragma once
// The page every report of the program is drawn on: A4, 12 mm margins, the design's orientation.

#include "objdb/report/reportdesign.h"

#include <QPageLayout>

#include <functional>

class QPagedPaintDevice;
class QPrinter;
class QWidget;

namespace output {

QPageLayout ReportPageLayout(const objdb::report::Design &design);
// The printer set up for the design: page, document name, creator, all pages.
void SetUpReportPrinter(QPrinter &printer, const objdb::report::Design &design);
// Asks where to save the report as PDF (proposing `proposedName`.pdf) and draws it there with
// `draw`, written beside the file and put in its place only once complete; a failed write throws.
// Nothing is written when the user chooses no file or `draw` returns false.
void ExportReportPdf(QWidget *owner, const objdb::report::Design &design, const QString &proposedName,
                     const std::function<bool(QPagedPaintDevice &)> &draw);

} // namespace output
