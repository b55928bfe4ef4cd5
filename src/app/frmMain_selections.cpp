// Predefined selections of the current section: the view keeps and asks for them, the menu item's
// check mark tells whether one is stored.

#include "app/frmMain.h"

#include "views/currentview.h"

#include <QAction>

void frmMain::mnuDataSelBeforeQuery_Click()
{
    // The check mark tells whether a selection is stored, not that the item was chosen.
    mnuDataSelBeforeQuery->setChecked(!mnuDataSelBeforeQuery->isChecked());
    if (m_view->m_objCurDS && m_view->editPredefinedSelection(selectedNodeText()))
        mnuDataSelBeforeQuery->setChecked(true);
}

void frmMain::mnuDataSelCancel_Click()
{
    if (!m_view->m_objCurDS)
        return;
    m_view->deletePredefinedSelection(selectedNodeText());
    mnuDataSelBeforeQuery->setChecked(false);
}
