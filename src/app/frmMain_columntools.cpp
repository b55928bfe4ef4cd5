// The column commands of the grid: text search in a column ("Cerca", "Cerca successivo", the
// right-click "Cerca valore successivo"), sorting by one column, by several in the sort editor or back
// to the view's own order, and the totals and averages of a column. The view does the work.

#include "app/frmMain.h"

#include "grid/columntotals.h"
#include "grid/frmSearchText.h"
#include "services/messageservice.h"
#include "views/currentview.h"
#include "views/fieldmenus.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QPushButton>

namespace {

// The box of the total (the mean) of the column of a total item.
void showColumnSummary(frmMain &window, const QAction *item, bool average)
{
    const QString field = item->property("tag").toString();
    window.CalculateTotalColumn(field, ColumnSummaryMessage(*window.view().m_objCurDS, field, item->text(), average));
}

} // namespace

void frmMain::mnuSearchItems_Click(int Index)
{
    if (Index <= 0 || Index >= mnuSearchItems.size())
        return;
    if (frmSearchText::GetSelection(this, mnuSearchItems.at(Index)->text(), true, true))
        ExecuteSearch(Index);
}

void frmMain::ExecuteSearch(int Index)
{
    const QAction *item = mnuSearchItems.value(Index);
    if (!m_view->m_objCurDS || !item || Index == 0)
        return;
    toolbarAction(QStringLiteral("Find"))->setProperty("tag", QString::number(Index));
    m_view->searchText(item->property("tag").toString(), item->text());
}

void frmMain::mnuSearchNext_Click()
{
    // The "Find" button keeps the item of the last search.
    const int index = toolbarAction(QStringLiteral("Find"))->property("tag").toInt();
    if (index <= 0) {
        mnuSearch->popup(QCursor::pos());
    } else if (frmSearchText::sSearchText.isEmpty()) {
        mnuSearchItems_Click(index);
    } else {
        frmSearchText::bNext = true;
        ExecuteSearch(index);
    }
}

void frmMain::mnuFieldSearchNext_Click()
{
    const auto cell = m_view->currentCell();
    if (!cell)
        return;
    if (const int index = MenuItems::indexOfField(mnuSearchItems, cell->field); index > 0) {
        frmSearchText::SearchNextValue(cell->field, cell->text);
        ExecuteSearch(index);
        return;
    }
    // A column without a search item: the next row holding the same value.
    m_view->searchSameValue(cell->field, cell->text);
}

void frmMain::mnuOrderItems_Click(int Index)
{
    if (Index > 0 && Index < mnuOrderItems.size())
        m_view->sortBy(mnuOrderItems.at(Index)->property("tag").toString());
}

void frmMain::mnuOrderCancel_Click()
{
    m_view->sortBy(QString());
}

void frmMain::mnuOrderComplex_Click()
{
    PostCommand([this] { m_view->editComplexOrder(); });
}

void frmMain::CalculateTotalColumn(const QString &p_strColName, std::function<QString(const objdb::ColumnSummary &)> message)
{
    m_view->showColumnSummary(p_strColName, std::move(message));
}

void frmMain::mnuTotalItems_Click(int Index)
{
    if (const QAction *item = mnuTotalItems.value(Index); m_view->m_objCurDS && item && Index > 0)
        showColumnSummary(*this, item, false);
}

void frmMain::mnuAverageItems_Click(int Index)
{
    if (const QAction *item = mnuAverageItems.value(Index); m_view->m_objCurDS && item && Index > 0)
        showColumnSummary(*this, item, true);
}

int frmMain::currentTotalItem() const
{
    const auto cell = m_view->currentCell();
    return cell ? MenuItems::indexOfField(mnuTotalItems, cell->field) : 0;
}

void frmMain::mnuFieldTotal_Click()
{
    mnuTotalItems_Click(currentTotalItem());
}

void frmMain::mnuFieldAverage_Click()
{
    mnuAverageItems_Click(currentTotalItem());
}

bool frmMain::gridLayoutApplies() const
{
    return MessageService::appliesOrBeep(m_view->layoutApplies());
}

void frmMain::UpdateFieldSequenceMark()
{
    mnuGridFldSequence->setChecked(m_view->hasFieldSequence());
}

void frmMain::cmdGridSetting_Click()
{
    mnuGridSetting->popup(cmdGridSetting->mapToGlobal(QPoint(0, cmdGridSetting->height())));
}

void frmMain::mnuGridFldAll_Click()
{
    if (gridLayoutApplies())
        m_view->showAllFields();
}

void frmMain::mnuGridFldSequence_Click()
{
    // Triggering has already inverted the check mark: it is put right before anything can fail.
    UpdateFieldSequenceMark();
    if (gridLayoutApplies() && m_view->editFieldSequence())
        UpdateFieldSequenceMark();
}

void frmMain::mnuGridCancel_Click()
{
    if (gridLayoutApplies() && m_view->resetLayout())
        UpdateFieldSequenceMark();
}
