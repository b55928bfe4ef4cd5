// The column commands of the grid: text search in a column ("Cerca", "Cerca successivo", the
// right-click "Cerca valore successivo"), sorting by one column, by several in the sort editor or back
// to the view's own order, and the totals and averages of a column. The view does the work.
#include "app/frmMain.h"

#include "app/commandtable.h"
#include "grid/columnfilters.h"
#include "grid/columntotals.h"
#include "grid/frmSearchText.h"
#include "objdb/datasource.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"
#include "views/currentview.h"
#include "views/fieldmenus.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QTableView>

namespace {

// The box of the total (the mean) of the column of a total item.
void showColumnSummary(frmMain &window, const QAction *item, bool average)
{
    const QString field = item->property("tag").toString();
    window.CalculateTotalColumn(field, ColumnSummaryMessage(*window.view().m_objCurDS, field, item->text(), average));
}

} // namespace

void frmMain::connectSearchCommands()
{
    ConnectNumberedItems(mnuSearch, this, &frmMain::mnuSearchItems_Click);
    ConnectCommands(this, {{mnuSearchNext, &frmMain::mnuSearchNext_Click}, {mnuFieldSearchNext, &frmMain::mnuFieldSearchNext_Click}});
}

void frmMain::connectSortCommands()
{
    ConnectNumberedItems(mnuOrderShort, this, &frmMain::mnuOrderItems_Click);
    ConnectCommands(this, {{mnuOrderCancel, &frmMain::mnuOrderCancel_Click}, {mnuOrderComplex, &frmMain::mnuOrderComplex_Click}});
}

void frmMain::connectTotalCommands()
{
    ConnectNumberedItems(mnuToolsTotal, this, &frmMain::mnuTotalItems_Click);
    ConnectNumberedItems(mnuToolsAverage, this, &frmMain::mnuAverageItems_Click);
    ConnectCommands(this, {{mnuFieldTotal, &frmMain::mnuFieldTotal_Click}, {mnuFieldAverage, &frmMain::mnuFieldAverage_Click}});
    // The current column's total is offered only when the column has one.
    connect(mnuFieldFuncs, &QMenu::aboutToShow, this, [this] {
        const bool totalled = currentTotalItem() > 0;
        mnuFieldTotal->setEnabled(totalled);
        mnuFieldAverage->setEnabled(totalled);
    });
}

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
    bool numeric = false;
    const int index = toolbarAction(QStringLiteral("Find"))->property("tag").toString().toInt(&numeric);
    if (!numeric) {
        mnuSearch->popup(QCursor::pos());
        return;
    }
    if (frmSearchText::sSearchText.isEmpty()) {
        mnuSearchItems_Click(index);
        return;
    }
    frmSearchText::bNext = true;
    ExecuteSearch(index);
}

void frmMain::mnuFieldSearchNext_Click()
{
    auto *model = objdb::ViewUtility::modelOf(dgView);
    const QModelIndex current = dgView->currentIndex();
    if (!m_view->m_objCurDS || !model || !current.isValid())
        return;
    const QString field = model->fieldAt(current.column());
    const QString cellText = ColumnFilters::cellValueText(current);
    if (const int index = MenuItems::indexOfField(mnuSearchItems, field); index > 0) {
        frmSearchText::SearchNextValue(field, cellText);
        ExecuteSearch(index);
        return;
    }
    // A column without a search item: the next row holding the same value.
    m_view->searchSameValue(field, cellText);
    frmSearchText::sLastValue.clear();
    frmSearchText::sSearchText.clear();
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
    auto *model = objdb::ViewUtility::modelOf(dgView);
    const QModelIndex current = dgView->currentIndex();
    if (!model || !current.isValid())
        return 0;
    return MenuItems::indexOfField(mnuTotalItems, model->fieldAt(current.column()));
}

void frmMain::mnuFieldTotal_Click()
{
    mnuTotalItems_Click(currentTotalItem());
}

void frmMain::mnuFieldAverage_Click()
{
    mnuAverageItems_Click(currentTotalItem());
}
