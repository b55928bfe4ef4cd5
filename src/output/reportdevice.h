#pragma once
// The page every report of the program is drawn on: A4, 12 mm margins, the design's orientation.

#include "objdb/report/reportdesign.h"

#include <QPageLayout>

class QPrinter;

namespace output {

QPageLayout ReportPageLayout(const objdb::report::Design &design);
// The printer set up for the design: page, document name, creator, all pages.
void SetUpReportPrinter(QPrinter &printer, const objdb::report::Design &design);

} // namespace output
