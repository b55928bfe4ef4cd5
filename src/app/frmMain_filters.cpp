// Column filters, the complex filter and the predefined selections of the current view: the menu
// items keep the column filters in their captions and the marks of what is in force, the check mark
// of mnuDataSelBeforeQuery whether a selection is stored; the view applies and keeps them.

#include "app/frmMain.h"

#include "grid/columnfilters.h"
#include "grid/frmSearchText.h"
#include "views/currentview.h"
#include "views/fieldmenus.h"

#include <QAction>
#include <QMenu>

void frmMain::ShowFilterMarks(bool filtered, bool complex)
{
    toolbarAction(QStringLiteral("Filter"))->setChecked(filtered);
    mnuFilterComplex->setChecked(complex);
    mnuFilterShort->menuAction()->setEnabled(!complex);
}

void frmMain::mnuFilterItems_Click(int Index)
{
    if (!m_view->m_objCurDS || Index < 1 || Index >= mnuFilterItems.size())
        return;
    frmSearchText::GetFilterText(this, mnuFilterItems.at(Index)->property("title").toString());
    // The text is empty also when the dialog was left with Esc.
    MarkFilterItem(mnuFilterItems.at(Index), frmSearchText::sSearchText, frmSearchText::bInternal);
    m_view->applyColumnFilters(FilterItemsOf(mnuFilterItems));
}

void frmMain::mnuFilterCancel_Click()
{
    if (!m_view->m_objCurDS)
        return;
    m_view->cancelFilters();
    ResetFilterItems(mnuFilterItems);
}

void frmMain::mnuFieldFilterCancelAll_Click()
{
    mnuFilterCancel_Click();
}

void frmMain::mnuFieldFilter_Click()
{
    if (const auto cell = m_view->currentCell())
        filterCurrentColumn(cell->field, cell->text, false);
}

void frmMain::mnuFieldFilterCancel_Click()
{
    if (const auto cell = m_view->currentCell())
        filterCurrentColumn(cell->field, QString(), true);
}

void frmMain::filterCurrentColumn(const QString &field, const QString &value, bool cancelOnly)
{
    if (const int index = MenuItems::indexOfField(mnuFilterItems, field); index > 0 && !mnuFilterComplex->isChecked()) {
        frmSearchText::sLastName = mnuFilterItems.at(index)->property("title").toString();
        frmSearchText::sLastValue = value;
        mnuFilterItems_Click(index);
        return;
    }
    // A complex filter in force, or a column with no item: the condition goes to the complex filter.
    m_view->filterInComplex(field, value, cancelOnly);
}

void frmMain::mnuFilterComplex_Click()
{
    // The check mark tells whether a complex filter is in force, not that the item was chosen.
    mnuFilterComplex->setChecked(!mnuFilterComplex->isChecked());
    PostCommand([this] { EditComplexFilter(); });
}

void frmMain::EditComplexFilter()
{
    // The tag of mnuFilter names the saved filter the editor opens on, when one was chosen.
    const QString savedName = mnuFilter->property("tag").toString();
    mnuFilter->setProperty("tag", QString());
    m_view->editComplexFilter(savedName);
}

void frmMain::mnuFilterComplexItems_Click(int Index)
{
    if (!m_view->m_objCurDS || Index < 1 || Index >= mnuFilterComplexItems.size())
        return;
    const QString name = mnuFilterComplexItems.at(Index)->text();
    if (!m_view->complexFilterExists(name))
        return;
    mnuFilter->setProperty("tag", name);
    PostCommand([this] { EditComplexFilter(); });
}

void frmMain::RefreshComplexFilterItems()
{
    MenuItems::replaceByNames(mnuFilterComplexItems, mnuFilter, m_view->complexFilterNames());
}

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
