// Record commands of the main window (new, change, delete) and the grid's own events.

#include "app/frmMain.h"

#include "services/administratoronly.h"
#include "services/errorreport.h"
#include "services/messageservice.h"
#include "services/modGlobal.h"
#include "services/twips.h"
#include "grid/recordcommands.h"
#include "grid/sortorder.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"

#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QTableView>

namespace {

const QString kStatistics = QStringLiteral("Statistiche");

// Restores the pointer however the command ends.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

void frmMain::mnuFileNew_Click()
{
    if (dgView->isHidden() || !m_objCurDS || currentSectionKey() == kStatistics) {
        MessageService::beep();
        return;
    }
    // A new payment carries the operator who records it.
    QVariantList presets;
    if (m_objCurDS->TableName() == QLatin1String("Pagamenti"))
        presets = {QStringLiteral("Operatore"), m_strOperatore};
    AddRecord(m_objCurDS, *dgView, m_objGridSetting.get(), presets, this);
}

void frmMain::dgView_DblClick()
{
    if (ColumnChosen(*dgView))
        return;
    const qint64 bookmark = currentGridBookmark();
    if (dgView->isHidden() || !m_objCurDS || bookmark == 0 || currentSectionKey() == kStatistics) {
        MessageService::beep();
        return;
    }
    EditRecord(m_objCurDS, bookmark, this);
}

void frmMain::Form_DblClick()
{
    if (dgView->isHidden() || !m_objCurDS || m_objCurDS->Bookmark() == 0 || currentSectionKey() == kStatistics) {
        MessageService::beep();
        return;
    }
    RunReportingFailures([&] { objdb::ViewUtility::Binding(m_objCurDS).EditCurrentRow({}, QString(), true, this); });
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
    WaitCursor wait;
    RunReportingFailures([&] {
        const qint64 bookmark = currentGridBookmark();
        if (!m_objCurDS || bookmark == 0 || currentSectionKey() == kStatistics) {
            MessageService::beep();
        } else if (!RefuseNonAdministrator(m_objSession, this)) {
            DeleteChosenRows(*m_objCurDS, *dgView, bookmark, this);
        }
    });
}

void frmMain::dgView_ColumnResize(int column, int, int newSize)
{
    // Only the user's own drag is kept; widths set when the grid is bound are not.
    if (QApplication::mouseButtons() == Qt::NoButton)
        return;
    auto *model = objdb::ViewUtility::modelOf(dgView);
    if (!m_objGridSetting || !model || column < 0 || column >= model->columnCount())
        return;
    m_objGridSetting->SetColumnWidth(model->fieldAt(column), int(qRound(Twips::fromPixelsX(newSize, dgView))));
}

void frmMain::dgView_HeadClick(int column)
{
    auto *model = objdb::ViewUtility::modelOf(dgView);
    if (!m_objCurDS || !model || column < 0 || column >= model->columnCount())
        return;
    SetSortOrder(model->fieldAt(column), *m_objCurDS);
    // The header flips its own mark on a click; the order in force decides it.
    ShowSortMark(*dgView, *m_objCurDS);
}

void frmMain::dgView_MouseUpRight(const QPoint &pos)
{
    const QPoint global = dgView->viewport()->mapToGlobal(pos);
    if (dgView->indexAt(pos).isValid())
        mnuFieldFuncs->popup(global);
    else
        mnuAssociation->popup(global);
}
