// The order of the view and the layout of its grid: by one column from the order menu or a header
// click, by several in the sort editor; the column widths, the field sequence, the defaults.
#include "views/currentview.h"

#include "grid/columnfilters.h"
#include "grid/gridlayout.h"
#include "grid/sortorder.h"
#include "objdb/datasource.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/sorteditor.h"
#include "objdb/grid/viewutility.h"
#include "services/twips.h"

#include <QTableView>

void CurrentView::sortBy(const QString &order)
{
    if (m_objCurDS)
        SetSortOrder(order, *m_objCurDS);
}

void CurrentView::sortByColumn(int column)
{
    auto *model = objdb::ViewUtility::modelOf(&m_grid);
    if (!m_objCurDS || !model || column < 0 || column >= model->columnCount())
        return;
    SetSortOrder(model->fieldAt(column), *m_objCurDS);
    // The header flips its own mark on a click; the order in force decides it.
    ShowSortMark(m_grid, *m_objCurDS);
}

void CurrentView::editComplexOrder()
{
    if (!m_objCurDS)
        return;
    QString expression = m_objCurDS->Sort();
    if (!objdb::SortEditor(*m_objCurDS, QStringLiteral("Ordinamento Complesso"), expression, &m_owner))
        return;
    // The editor's result is a whole expression: one column alone is written with its direction,
    // so that it is not taken for a column to reverse.
    if (!expression.isEmpty() && !expression.contains(QLatin1Char(' ')) && !expression.contains(QLatin1Char(',')))
        expression += QStringLiteral(" ASC");
    SetSortOrder(expression, *m_objCurDS);
}

void CurrentView::storeColumnWidth(int column, int pixels)
{
    auto *model = objdb::ViewUtility::modelOf(&m_grid);
    if (!m_objGridSetting || !model || column < 0 || column >= model->columnCount())
        return;
    m_objGridSetting->SetColumnWidth(model->fieldAt(column), int(qRound(Twips::fromPixelsX(pixels, &m_grid))));
}

bool CurrentView::layoutApplies() const
{
    return !m_grid.isHidden() && isBound() && m_objGridSetting;
}

bool CurrentView::hasFieldSequence() const
{
    return m_objGridSetting && !m_objGridSetting->FieldSequence().isEmpty();
}

void CurrentView::showAllFields()
{
    ShowAllFieldsOnce(m_objCurDS, m_grid, *m_objGridSetting);
}

bool CurrentView::editFieldSequence()
{
    return EditGridFieldSequence(m_objCurDS, m_grid, *m_objGridSetting, &m_owner);
}

bool CurrentView::resetLayout()
{
    return ResetGridLayout(m_objCurDS, m_grid, *m_objGridSetting, &m_owner);
}

std::optional<CurrentView::Cell> CurrentView::currentCell() const
{
    auto *model = objdb::ViewUtility::modelOf(&m_grid);
    const QModelIndex current = m_grid.currentIndex();
    if (!m_objCurDS || !model || !current.isValid())
        return std::nullopt;
    return Cell{model->fieldAt(current.column()), ColumnFilters::cellValueText(current)};
}
