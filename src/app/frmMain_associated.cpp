// The commands of the menu "Dati associati", which run one tick later through tmFunc and show the
// related rows of the current row in the data window.

#include "app/frmMain.h"

#include "app/associatedmenus.h"
#include "data/associateddata.h"

#include "objdb/datasource.h"
#include "objdb/relations/relations.h"
#include "views/currentview.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTableView>

void frmMain::BuildAssociatedMenus(const objdb::DataSource *p_objDS, bool p_blnClearOnly)
{
    AssociatedMenus::build(*this, p_blnClearOnly ? nullptr : p_objDS);
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
    const int number = items.at(Index)->property("tag").toString().toInt();
    const auto kind = objdb::RelationKind(items.first()->property("kind").toInt());
    PostCommand([this, kind, number] { ShowAssociatedCommand(kind, number); });
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
