#pragma once
// Runs a report design over the rows of a data source onto a canvas, page by page.

#include "objdb/amount.h"
#include "objdb/report/reportdesign.h"

#include <QLineF>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace objdb {
class DataSource;
class itfProgress;
}

namespace objdb::report {

// What a text is drawn as; the canvas picks the face and size.
enum class Style {
    Heading,      // the report's heading
    HeaderLine,   // the other lines of the report header
    ColumnTitle,  // the page header
    Data,         // a detail line
    Total,        // the sums in the report footer
    Label,        // the totals label and the notes
    PageFooter,
};

// Where a report is drawn. Measures are points (1/72 inch) from the top left of the printable area.
class Canvas {
public:
    virtual ~Canvas() = default;
    virtual QSizeF pageSize() const = 0;
    virtual void text(const QRectF &box, const QString &text, Style style, Qt::Alignment alignment) = 0;
    virtual void rule(const QLineF &line) = 0;
    // Ends the page and starts the next.
    virtual void newPage() = 0;
};

struct Result {
    bool complete = false; // false when the user stopped it
    int pages = 0;         // pages drawn (the number printed as "%P" when complete)
    int rows = 0;          // detail lines drawn
    QList<Amount> sums;    // per column of the design; zero for columns not summed
};

// Heights of the parts of a page in points, as the engine draws them.
struct Heights {
    static constexpr double heading = 24, headerLine = 14, headerGap = 8;
    static constexpr double columnTitles = 16, line = 12, pageFooter = 16;
    static constexpr double footerGap = 4, totals = 16, note = 12, footerEnd = 6;
};

// Throws objdb::Error naming the first field of the design that ds does not have: a report bound to
// the wrong view fails before a printer or a file is involved.
void CheckFields(const DataSource &ds, const Design &design);

// Reads the rows of ds in its order, in pages, and draws the design. The rows are counted first
// (in the same reading, so the count and the rows agree) so that every page knows the number of
// pages. Progress goes to `progress` (may be null); a stop ends the drawing where it is and returns
// an incomplete result, which the caller discards. Throws objdb::Error when a column's field is not
// in the data source or the reading fails.
Result Render(const DataSource &ds, const Design &design, Canvas &canvas, itfProgress *progress);

} // namespace objdb::report
