#include "grid/sortorder.h"

#include "services/errorreport.h"

#include "objdb/datasource.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"
#include "objdb/query/criterion.h"

#include <QHeaderView>
#include <QTableView>

void SetSortOrder(const QString &order, objdb::DataSource &ds)
{
    // The data source keeps its previous order when the new one is refused.
    RunReportingFailures([&] {
        QString expression = order;
        if (!order.contains(QLatin1Char(' ')) && !order.contains(QLatin1Char(','))) {
            const QString current = ds.Sort();
            if (!order.isEmpty() && current.contains(order))
                expression = order + (current.contains(QLatin1String("DESC")) ? QStringLiteral(" ASC") : QStringLiteral(" DESC"));
        }
        ds.SetSort(expression);
    });
}

void ShowSortMark(QTableView &grid, const objdb::DataSource &ds)
{
    const auto order = objdb::query::SortOrder::parse(ds.Sort());
    const objdb::GridModel *model = objdb::ViewUtility::modelOf(&grid);
    const int column = model && !order.isEmpty() ? model->columnOfField(order.keys().first().field) : -1;
    QHeaderView *header = grid.horizontalHeader();
    header->setSortIndicatorShown(column >= 0);
    if (column >= 0)
        header->setSortIndicator(column, order.keys().first().descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}
