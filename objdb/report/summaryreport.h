#pragma once
// A summary report: not one line per row of a data source but a few titled blocks of figures, each
// line a label and its value, under the design's report header and over its page footer.

#include "objdb/report/reportengine.h"

#include <QList>
#include <QString>

namespace objdb::report {

struct SummaryLine {
    QString label;
    QString value;
};

struct SummarySection {
    QString title;
    QList<SummaryLine> lines;
};

// Draws design.header, then each section (its title, a rule, its lines: label at the left, value at
// the right), with the page footer on every page; a section that does not fit goes on a new page.
// Only the header, the page footer, the print date and the faces of the design are used. Returns the
// pages drawn.
int RenderSummary(const Design &design, const QList<SummarySection> &sections, Canvas &canvas);

} // namespace objdb::report
