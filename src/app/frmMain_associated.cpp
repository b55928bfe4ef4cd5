// The menu "Dati associati": its three lists rebuilt for every view, and their commands, which run
// one tick later through tmFunc and show the related rows of the current row in the data window.

#include "app/frmMain.h"

#include "data/associateddata.h"
#include "objdb/datasource.h"

#include "views/associatedmenu.h"
#include "views/currentview.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTableView>

void frmMain::connectAssociatedCommands()
{
    associatedMenu().setHeaders();
    connect(mnuAssociation, &QMenu::triggered, this, [this](QAction *item) {
        if (const auto [items, index] = associatedMenu().find(item); items)
            AssociatedItem_Click(*items, index);
    });
    // A right click on a row's number chooses the row and offers its associated data.
    dgView->verticalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(dgView->verticalHeader(), &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QHeaderView *rows = dgView->verticalHeader();
        const int row = rows->logicalIndexAt(pos);
        if (row < 0 || !dgView->model())
            return;
        dgView->setCurrentIndex(dgView->model()->index(row, qMax(0, dgView->currentIndex().column())));
        mnuAssociation->popup(rows->viewport()->mapToGlobal(pos));
    });
    BuildAssociatedMenus(nullptr, true);
}

AssociatedMenu frmMain::associatedMenu()
{
    return {mnuAssociation, mnuReferencedItem, mnuRefItem, mnuContItem};
}

void frmMain::BuildAssociatedMenus(const objdb::DataSource *p_objDS, bool p_blnClearOnly)
{
    associatedMenu().rebuild(p_blnClearOnly ? nullptr : p_objDS);
}

void frmMain::mnuReferencedItem_Click(int Index)
{
    AssociatedItem_Click(mnuReferencedItem, Index);
}

void frmMain::mnuRefItem_Click(int Index)
{
    AssociatedItem_Click(mnuRefItem, Index);
}

void frmMain::mnuContItem_Click(int Index)
{
    AssociatedItem_Click(mnuContItem, Index);
}

void frmMain::AssociatedItem_Click(const QList<QAction *> &items, int Index)
{
    if (!m_view->m_objCurDS || m_view->m_objCurDS->IsEmpty() || Index < 1 || Index >= items.size())
        return;
    PostCommand([this, kind = RelationOf(items), number = RelationNumberOf(items.at(Index))] { ShowAssociatedCommand(kind, number); });
}

void frmMain::ShowAssociatedCommand(objdb::RelationKind kind, int n)
{
    if (!m_view->m_objCurDS)
        return;
    // The row the user sees as current is the one whose related data is asked for.
    m_view->followCurrentRow();
    // The related rows open in a window apart: the status bar goes on describing this window's view.
    const QString status = sbPanel1->text();
    ShowAssociatedData(*m_view->m_objCurDS, kind, n, this);
    SetStatusMsg(status);
}
