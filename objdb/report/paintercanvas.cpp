#include "objdb/report/paintercanvas.h"

#include "objdb/error.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPen>

namespace objdb::report {

namespace {

QFont fontFor(const Faces &faces, Style style)
{
    QFont font;
    switch (style) {
    case Style::Heading:
        font = QFont(faces.heading);
        font.setPointSizeF(16);
        font.setWeight(QFont::Black);
        break;
    case Style::HeaderLine:
        font = QFont(faces.label);
        font.setPointSizeF(10);
        break;
    case Style::ColumnTitle:
        font = QFont(faces.label);
        font.setPointSizeF(8.5);
        font.setBold(true);
        break;
    case Style::Data:
        font = QFont(faces.data);
        font.setPointSizeF(8.5);
        break;
    case Style::Total:
        font = QFont(faces.data);
        font.setPointSizeF(8.5);
        font.setBold(true);
        break;
    case Style::Label:
        font = QFont(faces.label);
        font.setPointSizeF(8.5);
        font.setBold(true);
        break;
    case Style::PageFooter:
        font = QFont(faces.label);
        font.setPointSizeF(8);
        break;
    }
    // A face the system lacks is replaced by one of its kind.
    font.setStyleHint(style == Style::Data || style == Style::Total ? QFont::TypeWriter : QFont::SansSerif);
    return font;
}

} // namespace

PainterCanvas::PainterCanvas(QPagedPaintDevice &device, const Faces &faces) : m_device(device)
{
    m_size = device.pageLayout().paintRect(QPageLayout::Point).size();
    if (!m_painter.begin(&device))
        fail(QStringLiteral("Impossibile avviare la stampa."));
    // Fonts are sized in points against the device's own resolution; boxes are scaled here.
    m_scale = device.logicalDpiY() / 72.0;
    for (const Style style : {Style::Heading, Style::HeaderLine, Style::ColumnTitle, Style::Data, Style::Total,
                              Style::Label, Style::PageFooter})
        m_fonts.insert(int(style), fontFor(faces, style));
    QPen pen(Qt::black);
    pen.setWidthF(0.5 * m_scale);
    m_painter.setPen(pen);
}

PainterCanvas::~PainterCanvas()
{
    if (m_painter.isActive())
        m_painter.end();
}

QRectF PainterCanvas::toDevice(const QRectF &box) const
{
    return QRectF(box.x() * m_scale, box.y() * m_scale, box.width() * m_scale, box.height() * m_scale);
}

void PainterCanvas::text(const QRectF &box, const QString &text, Style style, Qt::Alignment alignment)
{
    if (text.isEmpty())
        return;
    const QFont &font = m_fonts[int(style)];
    m_painter.setFont(font);
    const QRectF rect = toDevice(box);
    const QFontMetricsF metrics(font, &m_device);
    if (metrics.horizontalAdvance(text) <= rect.width())
        m_painter.drawText(rect, int(alignment) | Qt::TextSingleLine, text);
    else
        m_painter.drawText(rect, int(alignment) | Qt::TextSingleLine, metrics.elidedText(text, Qt::ElideRight, rect.width()));
}

void PainterCanvas::rule(const QLineF &line)
{
    m_painter.drawLine(QLineF(line.p1() * m_scale, line.p2() * m_scale));
}

void PainterCanvas::newPage()
{
    if (!m_device.newPage())
        fail(QStringLiteral("Impossibile iniziare una nuova pagina di stampa."));
}

bool PainterCanvas::end()
{
    return m_painter.end();
}

} // namespace objdb::report
