// Totals and averages of a column of the grid: the tools menu's items and the right-click
// counterparts on the current column.
#include "app/frmMain.h"

#include "grid/columntotals.h"
#include "services/errorreport.h"
#include "views/currentview.h"

#include "objdb/datasource.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"

#include <QAction>
#include <QMenu>
#include <QTableView>

void frmMain::connectTotalCommands()
{
    const auto byIndex = [this](void (frmMain::*handler)(int)) {
        return [this, handler](QAction *item) {
            const QVariant index = item->property("index");
            if (index.isValid())
                RunReportingFailures([&] { (this->*handler)(index.toInt()); });
        };
    };
    connect(mnuToolsTotal, &QMenu::triggered, this, byIndex(&frmMain::mnuTotalItems_Click));
    connect(mnuToolsAverage, &QMenu::triggered, this, byIndex(&frmMain::mnuAverageItems_Click));
    connect(mnuFieldTotal, &QAction::triggered, this, Guarded(this, &frmMain::mnuFieldTotal_Click));
    connect(mnuFieldAverage, &QAction::triggered, this, Guarded(this, &frmMain::mnuFieldAverage_Click));
    // The current column's total is offered only when the column has one.
    connect(mnuFieldFuncs, &QMenu::aboutToShow, this, [this] {
        const bool totalled = currentTotalItem() > 0;
        mnuFieldTotal->setEnabled(totalled);
        mnuFieldAverage->setEnabled(totalled);
    });
}

void frmMain::CalculateTotalColumn(const QString &p_strColName, std::function<QString(const objdb::ColumnSummary &)> message)
{
    m_view->showColumnSummary(p_strColName, std::move(message));
}

void frmMain::mnuTotalItems_Click(int Index)
{
    const QAction *item = mnuTotalItems.value(Index);
    if (!m_view->m_objCurDS || !item || Index == 0)
        return;
    const QString field = item->property("tag").toString();
    const QString name = item->text(), format = TotalFormatOf(*m_view->m_objCurDS->Field(field));
    CalculateTotalColumn(field, [name, format](const objdb::ColumnSummary &summary) { return TotalMessage(name, summary.sum, format); });
}

void frmMain::mnuAverageItems_Click(int Index)
{
    const QAction *item = mnuAverageItems.value(Index);
    if (!m_view->m_objCurDS || !item || Index == 0)
        return;
    const QString field = item->property("tag").toString();
    const QString name = item->text(), format = TotalFormatOf(*m_view->m_objCurDS->Field(field));
    CalculateTotalColumn(field, [name, format](const objdb::ColumnSummary &summary) { return AverageMessage(name, summary, format); });
}

int frmMain::currentTotalItem() const
{
    auto *model = objdb::ViewUtility::modelOf(dgView);
    const QModelIndex current = dgView->currentIndex();
    if (!model || !current.isValid())
        return 0;
    const QString field = model->fieldAt(current.column());
    for (int i = 1; i < mnuTotalItems.size(); ++i)
        if (mnuTotalItems.at(i)->property("tag").toString() == field)
            return i;
    return 0;
}

void frmMain::mnuFieldTotal_Click()
{
    mnuTotalItems_Click(currentTotalItem());
}

void frmMain::mnuFieldAverage_Click()
{
    mnuAverageItems_Click(currentTotalItem());
}
