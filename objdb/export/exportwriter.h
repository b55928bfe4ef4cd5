#pragma once
// The export of a data source's rows to a file: CSV as spreadsheets set up for Italy read it, or an
// HTML page. The rows are read in pages and written as they come, so any number of rows takes the
// same memory; the file appears only when complete.

#include <QString>

namespace objdb {

class DataSource;
class itfProgress;

enum class ExportFormat : int {
    Csv = 1,  // UTF-8 with BOM, ";" between fields, decimal comma, quoted as RFC 4180 says
    Html = 2, // a UTF-8 page, well formed (it reads as XML), every value escaped
};

struct ExportOptions {
    ExportFormat format = ExportFormat::Html;
    QString fieldList;              // "A;B;C" in that order; "" = the fields a grid shows by default
    QString title;                  // the page's title and heading ("" = the table's caption)
    QString subtitle;               // a line under the heading (the period shown), "" = none
    itfProgress *progress = nullptr; // told the rows done; a stop ends the export
};

// Writes the rows of ds, in its order, to file and returns how many were written. The rows go to a
// temporary file beside it, renamed over file only once complete, so a stopped or failed export
// leaves whatever file was there before. Values are written as the grid shows them (amounts
// "1.234,50", dates "dd/mm/yyyy", yes/no "Sì"/"No"; in CSV amounts without grouping).
// Throws objdb::Error: kErrStopped when the user stopped it, kErrFileAccess naming the file when it
// cannot be written, kErrRefused for an unknown field in the list or a failed read.
int ExportData(const DataSource &ds, const QString &file, const ExportOptions &options);

// Throws the error of a file that cannot be written (kErrFileAccess):
// "Impossibile scrivere il file "<file>": <reason>".
[[noreturn]] void failFileWrite(const QString &file, const QString &reason);

} // namespace objdb
