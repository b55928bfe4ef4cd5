#pragma once
// Printing the data of a view: its report printed, previewed or exported to PDF, or, for a view
// without a report, the offer of the browser page.

#include "output/viewinfo.h"

#include <QString>

namespace objdb {
class DataSource;
}

namespace output {

enum PrintMode : int {
    PrintModePrint = 0,   // the print dialog, then the printer
    PrintModePreview = 1, // the preview window
    PrintModeExport = 2,  // a PDF file chosen by the user
};

// Chooses the report by the data source's table and the node key, binds it to the data source and
// runs it in the mode; a view without a report is offered the browser page instead. Reports its
// own failures (the preview's as a message, the others through the common error report).
void PrintCurrentData(objdb::DataSource &ds, int mode, const QString &nodeKey, const ViewInfo &view);

} // namespace output
