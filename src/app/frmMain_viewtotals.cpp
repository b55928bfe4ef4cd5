// The totals kept in sight: the row count in the status bar and the band under a dated view's grid.
#include "app/frmMain.h"

#include "grid/viewtotals.h"
#include "objdb/backgroundread.h"
#include "objdb/datasource.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"
#include "services/busymark.h"

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
    m_busyMark->set(QStringLiteral("totals"), true);
    ComputeViewTotalsApart(
        *m_totalsRead, *m_objCurDS, fields,
        [this](const ViewTotals &totals) {
            m_busyMark->set(QStringLiteral("totals"), false);
            showViewTotals(totals);
        },
        [this](const QString &refusal) {
            // A total the library refuses (beyond its limits) is told in its place, not as a failure.
            m_busyMark->set(QStringLiteral("totals"), false);
            sbRowCount->clear();
            lblTotals->setText(refusal);
        });
}

void frmMain::showViewTotals(const ViewTotals &totals)
{
    sbRowCount->setText(RowCountText(selectedNodeText(), totals.rows));
    lblTotals->setText(TotalsBandText(totals));
    // The whole line, should the grid be narrower than the band's text.
    lblTotals->setToolTip(lblTotals->text());
}

void frmMain::watchGridBusy()
{
    auto *model = objdb::ViewUtility::modelOf(dgView);
    // The first screen is waited for; the keys behind it only put the current row back.
    const auto mark = [this, model] {
        m_busyMark->set(QStringLiteral("gridRows"), model && model->readingFirstScreen());
        m_busyMark->set(QStringLiteral("gridKeys"), model && model->busy() && !model->readingFirstScreen(), false);
    };
    mark();
    if (model)
        connect(model, &objdb::GridModel::busyChanged, m_busyMark, mark);
}

void frmMain::stopReadsApart()
{
    for (const auto &[read, work] : {std::pair{m_totalsRead.get(), "totals"}, std::pair{m_searchRead.get(), "search"},
                                     std::pair{m_columnTotalRead.get(), "columnTotal"}}) {
        read->stop();
        m_busyMark->set(QString::fromLatin1(work), false);
    }
    if (auto *model = objdb::ViewUtility::modelOf(dgView))
        model->stopReadingApart();
}

void frmMain::readsApartStopped()
{
    auto *model = objdb::ViewUtility::modelOf(dgView);
    if (model && model->readingFirstScreen())
        SetStatusMsg(QStringLiteral("Lettura dei dati interrotta."));
    stopReadsApart();
}
