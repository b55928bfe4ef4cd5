// The totals kept in sight: the row count in the status bar and the band under a dated view's grid.
#include "app/frmMain.h"

#include "grid/viewtotals.h"
#include "objdb/datasource.h"

#include <QLabel>
#include <QTimer>
#include <QTreeWidget>

void frmMain::queueViewTotals()
{
    tmTotals->start();
}

void frmMain::RefreshViewTotals()
{
    if (!m_objCurDS || !m_objCurDSEvents)
        return;
    const QStringList fields = lblTotals->isHidden() ? QStringList() : TotalsFieldsOf(m_objCurDS->TableName());
    try {
        const ViewTotals totals = ComputeViewTotals(*m_objCurDS, fields);
        sbRowCount->setText(RowCountText(selectedNodeText(), totals.rows));
        lblTotals->setText(TotalsBandText(totals));
        // The whole line, should the grid be narrower than the band's text.
        lblTotals->setToolTip(lblTotals->text());
    } catch (const std::exception &error) {
        // A total the library refuses (beyond its limits) is told in its place, not as a failure.
        sbRowCount->clear();
        lblTotals->setText(QString::fromUtf8(error.what()));
    }
}
