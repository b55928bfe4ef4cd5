// The commands on the current view wired to the main window's handlers: search, sorting, totals,
// filters and selections, the grid layout, and what the view tells the window.

#include "app/mainwindowcommands.h"

#include "app/commandtable.h"
#include "app/frmMain.h"
#include "grid/viewtotals.h"
#include "services/busymark.h"
#include "views/currentview.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>

void MainWindowCommands::connectViewCommands(frmMain &form)
{
    ConnectNumberedItems(form.mnuSearch, &form, &frmMain::mnuSearchItems_Click);
    ConnectNumberedItems(form.mnuOrderShort, &form, &frmMain::mnuOrderItems_Click);
    ConnectNumberedItems(form.mnuToolsTotal, &form, &frmMain::mnuTotalItems_Click);
    ConnectNumberedItems(form.mnuToolsAverage, &form, &frmMain::mnuAverageItems_Click);
    ConnectCommands(&form, {{form.mnuSearchNext, &frmMain::mnuSearchNext_Click},
                            {form.mnuFieldSearchNext, &frmMain::mnuFieldSearchNext_Click},
                            {form.mnuOrderCancel, &frmMain::mnuOrderCancel_Click},
                            {form.mnuOrderComplex, &frmMain::mnuOrderComplex_Click},
                            {form.mnuFieldTotal, &frmMain::mnuFieldTotal_Click},
                            {form.mnuFieldAverage, &frmMain::mnuFieldAverage_Click},
                            {form.mnuGridFldAll, &frmMain::mnuGridFldAll_Click},
                            {form.mnuGridFldSequence, &frmMain::mnuGridFldSequence_Click},
                            {form.mnuGridCancel, &frmMain::mnuGridCancel_Click}});
    QObject::connect(form.cmdGridSetting, &QPushButton::clicked, &form, &frmMain::cmdGridSetting_Click);
    // The current column's total is offered only when the column has one.
    QObject::connect(form.mnuFieldFuncs, &QMenu::aboutToShow, &form, [&form] {
        const bool totalled = form.currentTotalItem() > 0;
        form.mnuFieldTotal->setEnabled(totalled);
        form.mnuFieldAverage->setEnabled(totalled);
    });
    connectFilterCommands(form);
    connectViewSignals(form);
}

void MainWindowCommands::connectFilterCommands(frmMain &form)
{
    // Item 0 of both lists is their template: it is never a command.
    QObject::connect(form.mnuFilterShort, &QMenu::triggered, &form, [&form](QAction *item) {
        if (const int index = int(form.mnuFilterItems.indexOf(item)); index > 0)
            RunReportingFailures([&] { form.mnuFilterItems_Click(index); });
    });
    QObject::connect(form.mnuFilter, &QMenu::triggered, &form, [&form](QAction *item) {
        if (const int index = int(form.mnuFilterComplexItems.indexOf(item)); index > 0)
            RunReportingFailures([&] { form.mnuFilterComplexItems_Click(index); });
    });
    ConnectCommands(&form, {{form.mnuFilterComplex, &frmMain::mnuFilterComplex_Click},
                            {form.mnuDataSelBeforeQuery, &frmMain::mnuDataSelBeforeQuery_Click},
                            {form.mnuDataSelCancel, &frmMain::mnuDataSelCancel_Click},
                            {form.mnuFilterCancel, &frmMain::mnuFilterCancel_Click},
                            {form.mnuFieldFilter, &frmMain::mnuFieldFilter_Click},
                            {form.mnuFieldFilterCancel, &frmMain::mnuFieldFilterCancel_Click},
                            {form.mnuFieldFilterCancelAll, &frmMain::mnuFieldFilterCancelAll_Click}});
}

void MainWindowCommands::connectViewSignals(frmMain &form)
{
    CurrentView *view = form.m_view;
    QObject::connect(view, &CurrentView::statusMessage, &form, &frmMain::SetStatusMsg);
    QObject::connect(view, &CurrentView::busyChanged, form.m_busyMark, &BusyMark::set);
    QObject::connect(form.m_busyMark, &BusyMark::stopRequested, view, &CurrentView::readsApartStopped);
    // The row count in the status bar and the band under a dated view's grid.
    QObject::connect(view, &CurrentView::totalsShown, &form, [&form](const ViewTotals &totals) {
        form.sbRowCount->setText(RowCountText(form.selectedNodeText(), totals.rows));
        form.lblTotals->setText(TotalsBandText(totals));
        // The whole line, should the grid be narrower than the band's text.
        form.lblTotals->setToolTip(form.lblTotals->text());
    });
    QObject::connect(view, &CurrentView::totalsRefused, &form, [&form](const QString &refusal) {
        form.sbRowCount->clear();
        form.lblTotals->setText(refusal);
    });
    QObject::connect(view, &CurrentView::filtersChanged, &form, &frmMain::ShowFilterMarks);
    QObject::connect(view, &CurrentView::complexFilterNamesChanged, &form, &frmMain::RefreshComplexFilterItems);
    // A new date selection, stored by the view, is shown.
    QObject::connect(view, &CurrentView::dateSelectionChanged, &form, [&form] {
        form.UpdateDateSelectionCaption();
        form.RefreshDetailView(QString());
    });
}

void MainWindowCommands::enableDataCommands(frmMain &form, bool enabled)
{
    form.mnuOrder->menuAction()->setEnabled(enabled);
    for (const char *key : {"New", "Properties", "Delete", "Refresh", "Find", "Filter", "Print"})
        form.toolbarAction(QString::fromLatin1(key))->setEnabled(enabled);
    for (QAction *item : {form.mnuFileNew, form.mnuFileProperties, form.mnuFileDelete, form.mnuViewRefresh})
        item->setEnabled(enabled);
    for (QMenu *menu : {form.mnuSearch, form.mnuFilter, form.mnuPrintFunc, form.mnuFieldFuncs, form.mnuDataSelection})
        menu->menuAction()->setEnabled(enabled);
}
