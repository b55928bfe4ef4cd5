#include "objdb/report/summaryreport.h"

namespace objdb::report {

namespace {

double sectionHeight(const SummarySection &section)
{
    return Heights::columnTitles + double(section.lines.size()) * Heights::line + Heights::headerGap;
}

QString expand(const Design &design, QString text, int page, int pages)
{
    text.replace(QLatin1String("%d"), design.printDate.toString(design.dateFormat));
    text.replace(QLatin1String("%p"), QString::number(page));
    text.replace(QLatin1String("%P"), QString::number(pages));
    return text;
}

} // namespace

int RenderSummary(const Design &design, const QList<SummarySection> &sections, Canvas &canvas)
{
    const QSizeF size = canvas.pageSize();
    const double bottom = size.height() - Heights::pageFooter;
    double headerHeight = 0;
    if (!design.header.isEmpty())
        headerHeight = Heights::heading + double(design.header.size() - 1) * Heights::headerLine + Heights::headerGap;

    // The page of each section, known before drawing so that every footer tells the number of pages.
    QList<int> pageOf;
    int pages = 1;
    double y = headerHeight;
    for (const SummarySection &section : sections) {
        if (y > 0 && y + sectionHeight(section) > bottom) {
            ++pages;
            y = 0;
        }
        pageOf.append(pages);
        y += sectionHeight(section);
    }

    const auto footer = [&](int page) {
        const QRectF box(0, bottom, size.width(), Heights::pageFooter);
        canvas.rule(QLineF(0, bottom, size.width(), bottom));
        canvas.text(box, expand(design, design.pageFooterLeft, page, pages), Style::PageFooter, Qt::AlignLeft | Qt::AlignVCenter);
        canvas.text(box, expand(design, design.pageFooterRight, page, pages), Style::PageFooter, Qt::AlignRight | Qt::AlignVCenter);
    };

    y = 0;
    for (int i = 0; i < design.header.size(); ++i) {
        const double height = i == 0 ? Heights::heading : Heights::headerLine;
        canvas.text(QRectF(0, y, size.width(), height), expand(design, design.header.at(i), 1, pages),
                    i == 0 ? Style::Heading : Style::HeaderLine, Qt::AlignHCenter | Qt::AlignVCenter);
        y += height;
    }
    y = headerHeight;
    int page = 1;
    for (int s = 0; s < sections.size(); ++s) {
        if (pageOf.at(s) != page) {
            footer(page);
            canvas.newPage();
            ++page;
            y = 0;
        }
        const SummarySection &section = sections.at(s);
        canvas.text(QRectF(0, y, size.width(), Heights::columnTitles), section.title, Style::ColumnTitle,
                    Qt::AlignLeft | Qt::AlignVCenter);
        y += Heights::columnTitles;
        canvas.rule(QLineF(0, y - 1, size.width(), y - 1));
        for (const SummaryLine &line : section.lines) {
            const QRectF box(0, y, size.width(), Heights::line);
            canvas.text(box, line.label, Style::Label, Qt::AlignLeft | Qt::AlignVCenter);
            canvas.text(box, line.value, Style::Data, Qt::AlignRight | Qt::AlignVCenter);
            y += Heights::line;
        }
        y += Heights::headerGap;
    }
    footer(page);
    return pages;
}

} // namespace objdb::report
