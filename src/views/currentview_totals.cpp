// The totals of the view: the row count and the band under a dated view's grid, read once the
// grid's first screen is painted, and the total or mean of one column; on a big archive each is
// read apart from the window.
#include "views/currentview.h"

#include "grid/columntotals.h"
#include "grid/viewtotals.h"
#include "objdb/backgroundread.h"
#include "objdb/datasource.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"

#include <QTimer>

void CurrentView::queueTotals()
{
    tmTotals->start();
}

void CurrentView::stopTotals()
{
    tmTotals->stop();
}

void CurrentView::refreshTotals()
{
    if (!m_objCurDS || !m_objCurDSEvents)
        return;
    // Only a dated view has the band; every view has its row count.
    const QStringList fields = m_dateField.isEmpty() ? QStringList() : TotalsFieldsOf(m_objCurDS->TableName());
    emit busyChanged(QStringLiteral("totals"), true, true);
    ComputeViewTotalsApart(
        *m_totalsRead, *m_objCurDS, fields,
        [this](const ViewTotals &totals) {
            emit busyChanged(QStringLiteral("totals"), false, true);
            emit totalsShown(totals);
        },
        [this](const QString &refusal) {
            // A total the library refuses (beyond its limits) is told in its place, not as a failure.
            emit busyChanged(QStringLiteral("totals"), false, true);
            emit totalsRefused(refusal);
        });
}

void CurrentView::showColumnSummary(const QString &field, std::function<QString(const objdb::ColumnSummary &)> message)
{
    ShowColumnSummaryBox(*m_columnTotalRead, *m_objCurDS, field, std::move(message), &m_owner,
                         [this](bool busy) { emit busyChanged(QStringLiteral("columnTotal"), busy, true); });
}

void CurrentView::stopReadsApart()
{
    for (const auto &[read, work] : {std::pair{m_totalsRead.get(), "totals"}, std::pair{m_searchRead.get(), "search"},
                                     std::pair{m_columnTotalRead.get(), "columnTotal"}}) {
        read->stop();
        emit busyChanged(QString::fromLatin1(work), false, true);
    }
    if (auto *model = objdb::ViewUtility::modelOf(&m_grid))
        model->stopReadingApart();
}

void CurrentView::readsApartStopped()
{
    auto *model = objdb::ViewUtility::modelOf(&m_grid);
    if (model && model->readingFirstScreen())
        emit statusMessage(QStringLiteral("Lettura dei dati interrotta."));
    stopReadsApart();
}
