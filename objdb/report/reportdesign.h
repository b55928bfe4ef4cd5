#pragma once
// A report laid out in advance and bound at run time to a data source: a report header, column
// titles at the top of every page, one detail line per row, a page footer with the page number and
// the number of pages, and a report footer with the sums of some columns.

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace objdb::report {

// The faces of a report; a face the system lacks is replaced by its nearest match.
struct Faces {
    QString heading = QStringLiteral("Arial Black");
    QString label = QStringLiteral("Arial");
    QString data = QStringLiteral("Courier New");
};

// One column of the detail line, bound by name to a field of the data source.
struct Column {
    QString title;        // in the page header
    QString field;
    QString format;       // see formatValue; "" = the value's own text
    double weight = 1.0;  // its share of the line's width
    bool summed = false;  // its sum goes into the report footer
};

struct Design {
    QString name;         // "drMovimenti"
    QString title;        // the document's title (print jobs, PDF)
    bool landscape = false;
    // The report header, centred on the first page: the first line is the heading, the others follow
    // in the label face. "%d" stands for the print date.
    QStringList header;
    QList<Column> columns;
    // A yes/no field: rows where it is true carry `mark` in a narrow space before the first column.
    QString markField;
    QString mark = QStringLiteral("*");
    QString totalsLabel;  // before the sums in the report footer
    QStringList notes;    // under the sums
    // The page footer at the left and at the right: "%d" the print date, "%p" the page, "%P" the pages.
    QString pageFooterLeft = QStringLiteral("%d");
    QString pageFooterRight = QStringLiteral("Pag. %p / %P");
    QDate printDate;
    QString dateFormat = QStringLiteral("dd/MM/yyyy"); // of the print date
    Faces faces;
};

} // namespace objdb::report
