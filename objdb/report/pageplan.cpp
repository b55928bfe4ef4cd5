#include "objdb/report/pageplan.h"

#include <algorithm>
#include <cmath>

namespace objdb::report {

namespace {

// Lines that fit in a height; at least one, so that a page too small still moves on.
int linesIn(double height, double line)
{
    return line > 0 ? std::max(1, int(std::floor(height / line + 1e-9))) : 1;
}

} // namespace

PagePlan::PagePlan(const PageMetrics &m, int rows) : m_rows(std::max(0, rows))
{
    const double body = m.page - m.pageFooter - m.pageHeader;
    m_first = linesIn(body - m.reportHeader, m.line);
    m_following = linesIn(body, m.line);

    int lastRows = 0; // lines on the last page holding rows
    if (m_rows <= m_first) {
        m_pages = 1;
        lastRows = m_rows;
    } else {
        const int rest = m_rows - m_first;
        m_pages = 1 + (rest + m_following - 1) / m_following;
        lastRows = rest - (m_pages - 2) * m_following;
    }
    const double used = (m_pages == 1 ? m.reportHeader : 0.0) + m.pageHeader + lastRows * m.line;
    if (used + m.reportFooter > m.page - m.pageFooter + 1e-9) {
        m_footerOnOwnPage = true;
        ++m_pages;
    }
}

int PagePlan::rowsOnPage(int page) const
{
    if (page <= 1)
        return std::min(m_rows, m_first);
    const int before = m_first + (page - 2) * m_following;
    if (page > m_pages)
        return m_following;
    return std::clamp(m_rows - before, 0, m_following);
}

} // namespace objdb::report
