#pragma once
// "Esporta dati...": the rows of a view written to a CSV file or an HTML page of the user's choice.

#include "output/viewinfo.h"

#include <QString>

namespace objdb {
class DataSource;
}

namespace output {

// Asks for the format and the file, then writes the fields of fieldList (the grid's sequence, "" =
// the fields a grid shows by default) with the message window's progress and stop. Failures go to
// the common error report.
void ExportData(objdb::DataSource &ds, const QString &fieldList, const ViewInfo &view);

} // namespace output
