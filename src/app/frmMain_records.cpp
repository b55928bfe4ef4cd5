// Record commands of the main window (new, change, delete) and the grid's own events.

#include "app/frmMain.h"

#include "services/administratoronly.h"
#include "services/errorreport.h"
#include "services/messageservice.h"
#include "grid/recordcommands.h"
#include "objdb/datasource.h"
#include "objdb/grid/viewutility.h"
#include "views/currentview.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTableView>

bool frmMain::recordCommandApplies(bool needsGrid, qint64 bookmark) const
{
    // The statistics are computed, not rows of a table.
    return MessageService::appliesOrBeep((!needsGrid || !dgView->isHidden()) && m_view->m_objCurDS && bookmark != 0
                                         && currentSectionKey() != QLatin1String("Statistiche"));
}

void frmMain::mnuFileNew_Click()
{
    if (recordCommandApplies(true, -1))
        AddRecord(m_view->m_objCurDS, *dgView, m_view->gridSetting(), NewRecordPresets(*m_view->m_objCurDS, m_strOperatore), this);
}

void frmMain::dgView_DblClick()
{
    if (ColumnChosen(*dgView))
        return;
    if (const qint64 bookmark = m_view->currentBookmark(); recordCommandApplies(true, bookmark))
        EditRecord(m_view->m_objCurDS, bookmark, this);
}

void frmMain::Form_DblClick()
{
    const auto &ds = m_view->m_objCurDS;
    if (recordCommandApplies(true, ds ? ds->Bookmark() : 0))
        RunReportingFailures([&] { objdb::ViewUtility::Binding(ds).EditCurrentRow({}, QString(), true, this); });
}

void frmMain::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Controls that do not take a double click (labels, the title bar) pass it on to the window:
    // only the window's own free area, where no control lies, opens the panel.
    QMainWindow::mouseDoubleClickEvent(event);
    const QWidget *under = childAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && (!under || under == centralWidget()))
        Form_DblClick();
}

void frmMain::mnuFileProperties_Click()
{
    dgView_DblClick();
}

void frmMain::mnuFileDelete_Click()
{
    RunReportingFailures([&] {
        const qint64 bookmark = m_view->currentBookmark();
        if (recordCommandApplies(false, bookmark) && !RefuseNonAdministrator(m_objSession, this))
            DeleteChosenRows(*m_view->m_objCurDS, *dgView, bookmark, this);
    });
}

void frmMain::dgView_ColumnResize(int column, int, int newSize)
{
    // Only the user's own drag is kept; widths set when the grid is bound are not.
    if (QApplication::mouseButtons() != Qt::NoButton)
        m_view->storeColumnWidth(column, newSize);
}

void frmMain::dgView_HeadClick(int column)
{
    m_view->sortByColumn(column);
}

void frmMain::dgView_MouseUpRight(const QPoint &pos)
{
    const QPoint global = dgView->viewport()->mapToGlobal(pos);
    if (dgView->indexAt(pos).isValid())
        mnuFieldFuncs->popup(global);
    else
        mnuAssociation->popup(global);
}
