#pragma once
// Where the rows of a report fall: how many detail lines each page holds and how many pages the
// report takes, worked out from the row count alone, so that "Pag. n / N" is known from the first page.

namespace objdb::report {

// Heights in points of the parts of a page.
struct PageMetrics {
    double page = 0;          // the printable height
    double reportHeader = 0;  // first page only
    double pageHeader = 0;    // every page
    double line = 0;          // one detail line
    double pageFooter = 0;    // every page, at the bottom
    double reportFooter = 0;  // after the last line
};

class PagePlan {
public:
    PagePlan(const PageMetrics &metrics, int rows);

    int pageCount() const { return m_pages; }
    // Detail lines on a page (1-based); pages past the plan hold as many as any following page.
    int rowsOnPage(int page) const;
    // Whether the report footer, not fitting under the last line, takes a page of its own.
    bool footerOnOwnPage() const { return m_footerOnOwnPage; }
    int rowsOnFirstPage() const { return m_first; }
    int rowsOnFollowingPages() const { return m_following; }

private:
    int m_rows;
    int m_first;
    int m_following;
    int m_pages;
    bool m_footerOnOwnPage = false;
};

} // namespace objdb::report
