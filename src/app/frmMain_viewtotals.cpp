// What the current view tells the window: its totals kept in sight (the row count in the status bar
// and the band under a dated view's grid), its status messages, its reads apart on the busy mark and
// a date selection moved.
#include "app/frmMain.h"

#include "grid/viewtotals.h"
#include "services/busymark.h"
#include "services/configuration.h"
#include "views/currentview.h"

#include <QLabel>

void frmMain::connectViewSignals()
{
    connect(m_view, &CurrentView::statusMessage, this, &frmMain::SetStatusMsg);
    connect(m_view, &CurrentView::busyChanged, m_busyMark, &BusyMark::set);
    connect(m_busyMark, &BusyMark::stopRequested, m_view, &CurrentView::readsApartStopped);
    connect(m_view, &CurrentView::totalsShown, this, &frmMain::showViewTotals);
    connect(m_view, &CurrentView::totalsRefused, this, &frmMain::showTotalsRefused);
    // A new date selection is stored and shown.
    connect(m_view, &CurrentView::dateSelectionChanged, this, [this] {
        UpdateDateSelectionCaption();
        WriteConfiguration();
        RefreshDetailView(QString());
    });
}

void frmMain::showViewTotals(const ViewTotals &totals)
{
    sbRowCount->setText(RowCountText(selectedNodeText(), totals.rows));
    lblTotals->setText(TotalsBandText(totals));
    // The whole line, should the grid be narrower than the band's text.
    lblTotals->setToolTip(lblTotals->text());
}

void frmMain::showTotalsRefused(const QString &refusal)
{
    sbRowCount->clear();
    lblTotals->setText(refusal);
}
