#pragma once
// A report canvas over a printer or a PDF writer: points become device units, each style gets its
// face and size, texts too wide for their box are cut with an ellipsis.

#include "objdb/report/reportengine.h"

#include <QFont>
#include <QHash>
#include <QPainter>

class QPagedPaintDevice;

namespace objdb::report {

class PainterCanvas : public Canvas {
public:
    // Starts painting on the device, whose page layout is already set; throws objdb::Error when the
    // device cannot be painted on (a printer that refuses the job, a file that cannot be written).
    PainterCanvas(QPagedPaintDevice &device, const Faces &faces);
    ~PainterCanvas() override;
    PainterCanvas(const PainterCanvas &) = delete;
    PainterCanvas &operator=(const PainterCanvas &) = delete;

    QSizeF pageSize() const override { return m_size; }
    void text(const QRectF &box, const QString &text, Style style, Qt::Alignment alignment) override;
    void rule(const QLineF &line) override;
    void newPage() override;
    // Ends the painting; false when the device failed to finish.
    bool end();

private:
    QRectF toDevice(const QRectF &box) const;

    QPagedPaintDevice &m_device;
    QPainter m_painter;
    QSizeF m_size;
    double m_scale = 1;
    QHash<int, QFont> m_fonts;
};

} // namespace objdb::report
