#include "objdb/report/reportengine.h"

#include "objdb/datasource.h"
#include "objdb/error.h"
#include "objdb/notify.h"
#include "objdb/progresspacer.h"
#include "objdb/report/pageplan.h"
#include "objdb/report/valueformat.h"
#include "objdb/types.h"

#include <limits>
#include <optional>

namespace objdb::report {

namespace {

constexpr int kRowsPerRead = 500;
constexpr double kMarkWidth = 10; // the space before the first column that holds the mark
constexpr double kPad = 2;        // inside each column, left and right

int fieldIndex(const DataSource &ds, const QString &name, const Design &design)
{
    const QList<FieldDef> &fields = ds.fields();
    for (int i = 0; i < fields.size(); ++i)
        if (fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    fail(QStringLiteral("Il report %1 legge il campo %2, che non è tra i dati visualizzati.").arg(design.name, name));
}

double reportHeaderHeight(const Design &design)
{
    return design.header.isEmpty()
               ? 0.0
               : Heights::heading + double(design.header.size() - 1) * Heights::headerLine + Heights::headerGap;
}

double reportFooterHeight(const Design &design)
{
    return Heights::footerGap + Heights::totals + double(design.notes.size()) * Heights::note + Heights::footerEnd;
}

// Draws the parts of the report at the running vertical position.
class Drawer {
public:
    Drawer(const DataSource &ds, const Design &design, Canvas &canvas) : m_design(design), m_canvas(canvas)
    {
        m_size = canvas.pageSize();
        for (const Column &column : design.columns) {
            const int index = fieldIndex(ds, column.field, design);
            m_fields.append(index);
            m_types.append(ds.fields().at(index).type);
        }
        m_mark = design.markField.isEmpty() ? -1 : fieldIndex(ds, design.markField, design);
        const double gutter = m_mark >= 0 ? kMarkWidth : 0.0;
        double weights = 0;
        for (const Column &column : design.columns)
            weights += column.weight;
        double x = gutter;
        for (const Column &column : design.columns) {
            const double width = weights > 0 ? (m_size.width() - gutter) * column.weight / weights : 0.0;
            m_left.append(x);
            m_width.append(width);
            x += width;
        }
    }

    const QList<int> &fields() const { return m_fields; }

    void pageTop(int page)
    {
        if (page > 1)
            m_canvas.newPage();
        m_y = 0;
        if (page == 1 && !m_design.header.isEmpty()) {
            for (int i = 0; i < m_design.header.size(); ++i) {
                const double height = i == 0 ? Heights::heading : Heights::headerLine;
                m_canvas.text(QRectF(0, m_y, m_size.width(), height), expand(m_design.header.at(i), page, 0),
                              i == 0 ? Style::Heading : Style::HeaderLine, Qt::AlignHCenter | Qt::AlignVCenter);
                m_y += height;
            }
            m_y += Heights::headerGap;
        }
        for (int i = 0; i < m_design.columns.size(); ++i)
            m_canvas.text(cell(i, Heights::columnTitles), m_design.columns.at(i).title, Style::ColumnTitle, alignment(i));
        m_y += Heights::columnTitles;
        m_canvas.rule(QLineF(0, m_y - 1, m_size.width(), m_y - 1));
    }

    void row(const QVariantList &values)
    {
        if (m_mark >= 0 && values.value(m_mark).toBool())
            m_canvas.text(QRectF(0, m_y, kMarkWidth, Heights::line), m_design.mark, Style::Data,
                          Qt::AlignLeft | Qt::AlignVCenter);
        for (int i = 0; i < m_fields.size(); ++i)
            m_canvas.text(cell(i, Heights::line),
                          formatValue(values.value(m_fields.at(i)), m_types.at(i), m_design.columns.at(i).format),
                          Style::Data, alignment(i));
        m_y += Heights::line;
    }

    void reportFooter(const QList<Amount> &sums)
    {
        m_y += Heights::footerGap;
        m_canvas.rule(QLineF(0, m_y, m_size.width(), m_y));
        if (!m_design.totalsLabel.isEmpty())
            m_canvas.text(QRectF(0, m_y, m_left.value(0, 0) + m_width.value(0, 0), Heights::totals), m_design.totalsLabel,
                          Style::Label, Qt::AlignLeft | Qt::AlignVCenter);
        for (int i = 0; i < m_design.columns.size(); ++i)
            if (m_design.columns.at(i).summed)
                m_canvas.text(cell(i, Heights::totals),
                              formatValue(QVariant::fromValue(sums.at(i)), TypeAmount, m_design.columns.at(i).format),
                              Style::Total, alignment(i));
        m_y += Heights::totals;
        for (const QString &note : m_design.notes) {
            m_canvas.text(QRectF(0, m_y, m_size.width(), Heights::note), note, Style::Label, Qt::AlignLeft | Qt::AlignVCenter);
            m_y += Heights::note;
        }
        m_y += Heights::footerEnd / 2;
        m_canvas.rule(QLineF(0, m_y, m_size.width(), m_y));
        m_y += Heights::footerEnd / 2;
    }

    void pageFooter(int page, int pages)
    {
        const double top = m_size.height() - Heights::pageFooter;
        m_canvas.rule(QLineF(0, top, m_size.width(), top));
        const QRectF box(0, top, m_size.width(), Heights::pageFooter);
        m_canvas.text(box, expand(m_design.pageFooterLeft, page, pages), Style::PageFooter, Qt::AlignLeft | Qt::AlignVCenter);
        m_canvas.text(box, expand(m_design.pageFooterRight, page, pages), Style::PageFooter, Qt::AlignRight | Qt::AlignVCenter);
    }

private:
    QRectF cell(int column, double height) const
    {
        return QRectF(m_left.at(column) + kPad, m_y, qMax(0.0, m_width.at(column) - 2 * kPad), height);
    }

    Qt::Alignment alignment(int column) const
    {
        return (isNumberFormat(m_design.columns.at(column).format) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    }

    QString expand(QString text, int page, int pages) const
    {
        text.replace(QLatin1String("%d"), m_design.printDate.toString(m_design.dateFormat));
        text.replace(QLatin1String("%p"), QString::number(page));
        text.replace(QLatin1String("%P"), QString::number(pages));
        return text;
    }

    const Design &m_design;
    Canvas &m_canvas;
    QSizeF m_size;
    QList<int> m_fields;
    QList<int> m_types;
    int m_mark = -1;
    QList<double> m_left;
    QList<double> m_width;
    double m_y = 0;
};

} // namespace

void CheckFields(const DataSource &ds, const Design &design)
{
    for (const Column &column : design.columns)
        fieldIndex(ds, column.field, design);
    if (!design.markField.isEmpty())
        fieldIndex(ds, design.markField, design);
}

Result Render(const DataSource &ds, const Design &design, Canvas &canvas, itfProgress *progress)
{
    Result result;
    result.sums = QList<Amount>(design.columns.size());
    Drawer draw(ds, design, canvas);
    PageMetrics metrics;
    metrics.page = canvas.pageSize().height();
    metrics.reportHeader = reportHeaderHeight(design);
    metrics.pageHeader = Heights::columnTitles;
    metrics.line = Heights::line;
    metrics.pageFooter = Heights::pageFooter;
    metrics.reportFooter = reportFooterHeight(design);

    std::optional<PagePlan> plan;
    std::optional<ProgressPacer> pacer;
    int page = 0;
    int onPage = 0;
    // Counted while the rows are being read, so that the count sees the same rows.
    const auto start = [&] {
        const int total = ds.countRows(std::numeric_limits<int>::max());
        plan.emplace(metrics, total);
        pacer.emplace(progress, ActionRead, total);
        page = 1;
        draw.pageTop(page);
    };
    ds.readPages(kRowsPerRead, [&](const QList<QVariantList> &rows) {
        if (!plan)
            start();
        for (const QVariantList &values : rows) {
            if (onPage >= plan->rowsOnPage(page)) {
                draw.pageFooter(page, plan->pageCount());
                draw.pageTop(++page);
                onPage = 0;
            }
            draw.row(values);
            ++onPage;
            ++result.rows;
            for (int i = 0; i < design.columns.size(); ++i)
                if (design.columns.at(i).summed)
                    if (const auto amount = toAmount(values.value(draw.fields().at(i)), design.columns.at(i).field))
                        result.sums[i] += *amount;
        }
        return pacer->step(result.rows);
    });
    if (!plan)
        start();
    result.pages = page;
    if (pacer->stopped() || !pacer->finish(result.rows))
        return result;
    if (plan->footerOnOwnPage()) {
        draw.pageFooter(page, plan->pageCount());
        draw.pageTop(++page);
    }
    draw.reportFooter(result.sums);
    draw.pageFooter(page, plan->pageCount());
    result.pages = page;
    result.complete = true;
    return result;
}

} // namespace objdb::report
